#include "ExceptionText.h"
#include "GLTestContext.h"
#include "Renderer/FontRenderer/FontRenderer.h"
#include "Renderer/OpenGL/GLErrorBox.h"
#include "Renderer/OpenGL/GLRenderContextInfo.h"
#include "Renderer/OpenGL/GLRenderer.h"
#include "ResultCodes.h"
#include "Utilities/Graphics/Bitmap.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using svtest::RGBA;

constexpr int32_t kSize = 64;

// Window handles of the tests, each standing for an unmapped X window of the tests' own.
std::map<svp::HWND, svp::GLWindow>& TestWindows()
{
    static std::map<svp::HWND, svp::GLWindow> windows;
    return windows;
}

svp::GLWindow ResolveTestWindow(svp::HWND window)
{
    const auto found = TestWindows().find(window);
    return found != TestWindows().end() ? found->second : 0;
}

struct Box
{
    std::string caption;
    std::string text;
    uint32_t style;
};

std::vector<Box>& Boxes()
{
    static std::vector<Box> boxes;
    return boxes;
}

void RecordBox(const SV::WideString& caption, const SV::WideString& text, uint32_t style)
{
    Boxes().push_back({caption.ToNarrow().GetText(), text.ToNarrow().GetText(), style});
}

uint32_t gNow = 1000;
uint32_t TestClock()
{
    return gNow;
}

class GLRendererX11Test : public testing::Test
{
protected:
    void SetUp() override
    {
        svp::SetGLWindowResolver(&ResolveTestWindow);
        SV::SetGLErrorServices(nullptr, &RecordBox);
        SV::LGLRenderer::SetClock(&TestClock);
        Boxes().clear();
        gNow = 1000;
        mWindow = MakeWindow(1);
        mRenderer = SV::RCPtr<SV::LGLRenderer>(
            new SV::LGLRenderer(SV::RCPtr<SV::LFontRenderer>(), mWindow));
    }

    void TearDown() override
    {
        mRenderer = nullptr;
        for (const auto& [handle, window] : TestWindows()) {
            svp::DestroyScratchWindow(window);
        }
        TestWindows().clear();
        svp::SetGLWindowResolver(nullptr);
        SV::SetGLErrorServices(nullptr, nullptr);
        SV::LGLRenderer::SetClock(nullptr);
    }

    // A handle for a new kSize x kSize window in the visual every test format shares.
    static svp::HWND MakeWindow(uintptr_t number)
    {
        svp::PIXELFORMATDESCRIPTOR request;
        request.dwFlags = svp::PFD_DRAW_TO_WINDOW | svp::PFD_SUPPORT_OPENGL | svp::PFD_SWAP_COPY |
                          svp::PFD_DOUBLEBUFFER;
        request.cColorBits = 32;
        const svp::HWND handle = reinterpret_cast<svp::HWND>(number);
        TestWindows()[handle] =
            svp::CreateScratchWindow(svp::ChoosePixelFormat(0, request), kSize, kSize);
        return handle;
    }

    // A context for the window, its frame started.
    SV::RCPtr<SV::LRenderContextInfo> StartFrame(int32_t offscreenOnly = 1)
    {
        SV::RCPtr<SV::LRenderContextInfo> context;
        EXPECT_EQ(
            mRenderer->InitRenderContextInfo({0, 0, kSize, kSize}, mWindow, offscreenOnly, context),
            S_OK);
        mRenderer->RenderStart(context);
        glClear(GL_COLOR_BUFFER_BIT);
        return context;
    }

    static RGBA Pixel(int32_t x, int32_t y)
    {
        unsigned char pixel[4] = {};
        glReadBuffer(GL_BACK);
        glReadPixels(x, kSize - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        return {pixel[0], pixel[1], pixel[2], pixel[3]};
    }

    svp::HWND mWindow = nullptr;
    SV::RCPtr<SV::LGLRenderer> mRenderer;
};

const SV::ColorT kRed{1, 0, 0, 1};
const SV::ColorT kGreen{0, 1, 0, 1};
const SV::ColorT kBlue{0, 0, 1, 1};
const RGBA kRedPixel{255, 0, 0, 255};
const RGBA kGreenPixel{0, 255, 0, 255};
const RGBA kBluePixel{0, 0, 255, 255};

TEST_F(GLRendererX11Test, MakesAContextForTheWindowsFormatAndAnswersTypeZero)
{
    EXPECT_EQ(mRenderer->GetRendererType(), 0);
    EXPECT_NE(mRenderer->GetGLContext(), nullptr);
    EXPECT_GT(mRenderer->GetPixelFormatIndex(), 0);
    EXPECT_TRUE(mRenderer->IsDoubleBuffered());
    EXPECT_EQ(svp::GetCurrentContext(), nullptr) << "the set-up releases its context";
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(GLRendererX11Test, AFrameDrawsFillsRectanglesAndLinesInTargetPixels)
{
    const SV::RCPtr<SV::LRenderContextInfo> context = StartFrame();
    EXPECT_EQ(svp::GetCurrentContext(), mRenderer->GetGLContext());
    EXPECT_GT(context->GetMaxSurfaceSize().first, 0);

    mRenderer->FillRect({0, 0, 10, 10}, kRed, true);
    mRenderer->FillRect({10, 0, 10, 10}, {0, 1, 0, 0.5f}, false);
    mRenderer->DrawFilledRect({30, 30, 20, 20}, kBlue, kGreen, 1.0f);
    mRenderer->DrawLine({0, 60.5f}, {64, 60.5f}, kRed, 1.0f);

    EXPECT_EQ(Pixel(5, 5), kRedPixel);
    // An unblended fill takes its colour as it is, alpha included.
    EXPECT_EQ(Pixel(15, 5), (RGBA{0, 255, 0, 128}));
    EXPECT_EQ(Pixel(40, 40), kBluePixel);
    // The smoothed outline on the top edge covers half of the row on either side of it.
    EXPECT_GT(Pixel(40, 30).g, 0);
    EXPECT_EQ(Pixel(32, 60).r, 255);
    EXPECT_EQ(Pixel(25, 5), RGBA{});
    mRenderer->RenderFinish(context);
    EXPECT_EQ(svp::GetCurrentContext(), mRenderer->GetGLContext())
        << "an offscreen frame ends with a flush and keeps the context";
}

TEST_F(GLRendererX11Test, ClipsAndOriginsFollowTheStateStack)
{
    const SV::RCPtr<SV::LRenderContextInfo> context = StartFrame();
    mRenderer->PushClipState();
    mRenderer->PushClipRect({10, 10, 20, 20}, {0, 0, 100, 100}, SV::RCPtr<SV::LStencil>(), true);
    // Relative to the new origin (10, 10), clipped to the bounds.
    mRenderer->FillRect({-10, -10, 64, 64}, kGreen, true);
    mRenderer->PopClip();
    mRenderer->PopClip();
    mRenderer->FillRect({50, 50, 5, 5}, kRed, true);

    EXPECT_EQ(Pixel(9, 9), RGBA{});
    EXPECT_EQ(Pixel(10, 10), kGreenPixel);
    EXPECT_EQ(Pixel(29, 29), kGreenPixel);
    EXPECT_EQ(Pixel(30, 30), RGBA{});
    EXPECT_EQ(Pixel(52, 52), kRedPixel) << "the pop restored the whole clip";
    mRenderer->RenderFinish(context);
}

TEST_F(GLRendererX11Test, AClipWithNothingInsideTheTargetScissorsToOnePixelRightOfIt)
{
    const SV::RCPtr<SV::LRenderContextInfo> context = StartFrame();
    const std::vector<SV::RectT<double>> outside = {
        {-50, 0, 40, 10}, {0, 70, 10, 10}, {5, 5, 0.4, 10}};
    for (const SV::RectT<double>& clip : outside) {
        mRenderer->SetClipRect(clip);
        GLint box[4] = {};
        glGetIntegerv(GL_SCISSOR_BOX, box);
        EXPECT_EQ(box[0], kSize);
        EXPECT_EQ(box[1], 0);
        EXPECT_EQ(box[2], 1);
        EXPECT_EQ(box[3], 1);
    }
    // The clip of a fresh state covers everything.
    mRenderer->SetClipRect({-5e15, -5e15, 1e16, 1e16});
    mRenderer->FillRect({0, 0, kSize, kSize}, kRed, true);
    EXPECT_EQ(Pixel(0, 0), kRedPixel);
    EXPECT_EQ(Pixel(kSize - 1, kSize - 1), kRedPixel);
    mRenderer->RenderFinish(context);
}

TEST_F(GLRendererX11Test, TranslatingMovesTheModelViewMatrixOnlyForARealMove)
{
    const SV::RCPtr<SV::LRenderContextInfo> context = StartFrame();
    GLfloat before[16] = {};
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    mRenderer->Translate({2, -3});
    GLfloat after[16] = {};
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    EXPECT_EQ(after[12] - before[12], 2.0f);
    EXPECT_EQ(after[13] - before[13], -3.0f);
    mRenderer->Translate({-2, 3});
    mRenderer->RenderFinish(context);
}

TEST_F(GLRendererX11Test, TheFirstColourRectangleEndsUpOnTop)
{
    const SV::RCPtr<SV::LRenderContextInfo> context = StartFrame();
    SV::ColorRectListT<float> list;
    list.AddRect({0, 0, 10, 10}, 0xFFFF0000);
    list.AddRect({5, 0, 10, 10}, 0xFF0000FF);
    list.SetScale(2, 1);
    mRenderer->FillColorRectList(list, {1, 0}, true);
    EXPECT_EQ(Pixel(15, 5), kRedPixel);
    EXPECT_EQ(Pixel(25, 5), kBluePixel);
    // Replayed from the cache, placed anew.
    mRenderer->FillColorRectList(list, {1, 20}, true);
    EXPECT_EQ(Pixel(15, 25), kRedPixel);
    mRenderer->RenderFinish(context);
}

TEST_F(GLRendererX11Test, ACachedPolygonIsRecordedAnewOnlyWhenItsChangedFlagIsSet)
{
    const SV::RCPtr<SV::LRenderContextInfo> context = StartFrame();
    SV::PolylineT<float> square;
    square.SetPoints({{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    mRenderer->FillPolygon(square, kRed, {0, 0}, {1, 1}, true);
    EXPECT_EQ(Pixel(5, 5), kRedPixel);

    // Moved without the flag: the old list is replayed, in the new colour.
    std::vector<SV::PointT<float>> moved = {{20, 0}, {30, 0}, {30, 10}, {20, 10}};
    square.SetPoints(moved);
    square.SetChanged(false);
    glClear(GL_COLOR_BUFFER_BIT);
    mRenderer->FillPolygon(square, kGreen, {0, 0}, {1, 1}, true);
    EXPECT_EQ(Pixel(5, 5), kGreenPixel);
    EXPECT_EQ(Pixel(25, 5), RGBA{});

    // The outline consumes the flag and frees the stale fill, which is then recorded anew.
    square.SetChanged(true);
    mRenderer->DrawPolygon(square, kBlue, {0, 0}, {1, 1}, true);
    EXPECT_FALSE(square.IsChanged());
    glClear(GL_COLOR_BUFFER_BIT);
    mRenderer->FillPolygon(square, kGreen, {0, 0}, {1, 1}, true);
    EXPECT_EQ(Pixel(25, 5), kGreenPixel);
    EXPECT_EQ(Pixel(5, 5), RGBA{});
    mRenderer->RenderFinish(context);
}

TEST_F(GLRendererX11Test, LineSegmentsPairTheirPointsAndIgnoreAnOddOne)
{
    const SV::RCPtr<SV::LRenderContextInfo> context = StartFrame();
    glDisable(GL_LINE_SMOOTH);
    SV::PolylineT<float> points;
    points.SetPoints({{0, 5.5f}, {20, 5.5f}, {0, 15.5f}, {20, 15.5f}, {40, 40}});
    mRenderer->DrawLineSegments(points, kRed, {0, 0}, {1, 1}, false);
    EXPECT_EQ(Pixel(10, 5), kRedPixel);
    EXPECT_EQ(Pixel(10, 15), kRedPixel);
    EXPECT_EQ(Pixel(10, 10), RGBA{}) << "no segment joins the pairs";
    EXPECT_EQ(Pixel(30, 28), RGBA{}) << "the fifth point makes no segment";

    mRenderer->DrawPolyline(points, kBlue, {0, 0}, {1, 1}, false);
    EXPECT_EQ(Pixel(10, 10).b, 255) << "a polyline joins every point";
    mRenderer->RenderFinish(context);
}

TEST_F(GLRendererX11Test, ContextSurfacesAreOnlyCopiedFromOffscreenContexts)
{
    const SV::RCPtr<SV::LRenderContextInfo> offscreen = StartFrame(1);
    mRenderer->RenderFinish(offscreen);
    SV::RCPtr<SV::LRenderContextInfo> shown;
    ASSERT_EQ(mRenderer->InitRenderContextInfo({0, 0, kSize, kSize}, mWindow, 0, shown), S_OK);
    mRenderer->RenderStart(offscreen);
    EXPECT_EQ(mRenderer->DrawContextSurface(shown, {0, 0}, {0, 0, 10, 10}), E_INVALIDARG);
    EXPECT_EQ(mRenderer->DrawContextSurface(offscreen, {0, 0}, {0, 0, 10, 10}), S_OK);
    mRenderer->RenderFinish(offscreen);
    EXPECT_EQ(mRenderer->CopyContextSurface(shown, {0, 0}), E_INVALIDARG);
    EXPECT_EQ(mRenderer->CopyContextSurface(offscreen, {0, 0}), S_OK);
}

TEST_F(GLRendererX11Test, APresentedFrameReleasesTheContextAndTheNextTakesItBack)
{
    const SV::RCPtr<SV::LRenderContextInfo> context = StartFrame(0);
    mRenderer->FillRect({0, 0, kSize, kSize}, kBlue, false);
    mRenderer->RenderFinish(context);
    EXPECT_EQ(svp::GetCurrentContext(), nullptr);

    mRenderer->RenderStart(context);
    EXPECT_EQ(svp::GetCurrentContext(), mRenderer->GetGLContext());
    mRenderer->FillRect({0, 0, 4, 4}, kRed, true);
    EXPECT_EQ(Pixel(1, 1), kRedPixel);
    mRenderer->RenderFinish(context);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(GLRendererX11Test, AnOuterFrameIsPurgedOnlyMoreThanFiveMinutesAfterTheLastPurge)
{
    const SV::RCPtr<SV::LRenderContextInfo> outer = StartFrame();
    SV::PolylineT<float> line;
    line.SetPoints({{0, 0}, {10, 10}});
    mRenderer->DrawPolyline(line, kRed, {0, 0}, {1, 1}, true);
    mRenderer->RenderFinish(outer);
    mRenderer->PurgeCaches(); // the line's list was used before this purge

    // A nested frame ends without purging and gives the outer context its viewport back.
    mRenderer->RenderStart(outer);
    const svp::HWND other = MakeWindow(2);
    SV::RCPtr<SV::LRenderContextInfo> inner;
    ASSERT_EQ(mRenderer->InitRenderContextInfo({0, 0, 16, 16}, other, 1, inner), S_OK);
    gNow = 1000 + 300001;
    mRenderer->RenderStart(inner);
    mRenderer->RenderFinish(inner);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], kSize);
    EXPECT_EQ(mRenderer->GetLastPurgeTime(), 1000u);

    gNow = 1000 + 300000;
    mRenderer->RenderFinish(outer);
    EXPECT_EQ(mRenderer->GetLastPurgeTime(), 1000u) << "exactly five minutes is not more";
    EXPECT_TRUE(mRenderer->GetPolylineCache().GetEntry(0).object);

    mRenderer->RenderStart(outer);
    gNow = 1000 + 300001;
    mRenderer->RenderFinish(outer);
    EXPECT_EQ(mRenderer->GetLastPurgeTime(), 1000u + 300001u);
    EXPECT_FALSE(mRenderer->GetPolylineCache().GetEntry(0).object);
}

TEST_F(GLRendererX11Test, TheClockComparesByUnsignedDifferenceAcrossTheWrap)
{
    gNow = 0xFFFFFF00u;
    mRenderer =
        SV::RCPtr<SV::LGLRenderer>(new SV::LGLRenderer(SV::RCPtr<SV::LFontRenderer>(), mWindow));
    const SV::RCPtr<SV::LRenderContextInfo> context = StartFrame();
    gNow = 0xFFFFFF00u + 300001u; // past 2^32
    mRenderer->RenderFinish(context);
    EXPECT_EQ(mRenderer->GetLastPurgeTime(), gNow);
}

TEST_F(GLRendererX11Test, ExtensionsCountOnlyAsWholeWords)
{
    std::string extensions;
    ASSERT_TRUE(svp::GetExtensionsString(extensions));
    const std::string first = extensions.substr(0, extensions.find(' '));
    EXPECT_TRUE(mRenderer->IsWGLExtensionSupported(0, first.c_str()));
    EXPECT_FALSE(mRenderer->IsWGLExtensionSupported(0, first.substr(0, first.size() - 1).c_str()));
    EXPECT_FALSE(mRenderer->IsWGLExtensionSupported(0, ""));
    EXPECT_FALSE(mRenderer->IsWGLExtensionSupported(0, (first + " x").c_str()));
}

TEST_F(GLRendererX11Test, AWindowWithoutItsFormatShowsTheBoxAndThrows)
{
    // The handle has no X window: no format can be set on it.
    const svp::HWND missing = reinterpret_cast<svp::HWND>(uintptr_t(99));
    SV::RCPtr<SV::LRenderContextInfo> context;
    EXPECT_EQ(svtest::ExceptionTextOf<SV::Exception<std::runtime_error>>([&] {
                  (void)mRenderer->InitRenderContextInfo({0, 0, 8, 8}, missing, 0, context);
              }),
              "Runtime Error : SV::LGLRenderer::InitRenderContextInfo : "
              "Renderer\\OpenGL\\GLRenderer : Line 334");
    EXPECT_TRUE(context) << "the new context stays in the out pointer";
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].caption, "OpenGL Error");
    EXPECT_EQ(Boxes()[0].text,
              "SetPixelFormat failed.Updating your video card driver, with the latest driver "
              "from the manufacturer of your video card, may solve this issue.");
    EXPECT_EQ(Boxes()[0].style, 0x30u);
}

// A 10 x 10 picture: red left half, blue right half, with a 4 x 4 green square cut from its
// bottom-right corner as a bitmap of its own.
SV::RCPtr<SV::LBitmap> TestPicture()
{
    SV::RCPtr<SV::LBitmap> picture = SV::LBitmap::CreateFilledBitmap(10, 10, {1, 0, 0, 1});
    const SV::RCPtr<SV::LBitmapData> data = picture->GetPixelData();
    for (int32_t y = 0; y < 10; ++y) {
        for (int32_t x = 0; x < 10; ++x) {
            *data->GetPixelForWrite(x, y) =
                x >= 6 && y >= 6 ? 0xFF00FF00 : (x < 5 ? 0xFFFF0000 : 0xFF0000FF);
        }
    }
    return picture;
}

TEST_F(GLRendererX11Test, BitmapsAreStretchedTiledAndCentredFromOneTexturePerPicture)
{
    const SV::RCPtr<SV::LRenderContextInfo> context = StartFrame();
    const SV::RCPtr<SV::LBitmap> picture = TestPicture();
    const SV::RCPtr<SV::LBitmap> corner = picture->CreateSubBitmap(6, 6, 4, 4);

    mRenderer->DrawBitmap(picture, {0, 0, 20, 20}, SV::ResizeType::Stretch);
    EXPECT_EQ(Pixel(2, 2), kRedPixel);
    EXPECT_EQ(Pixel(17, 2), kBluePixel);
    EXPECT_EQ(Pixel(17, 17), kGreenPixel);

    // Tiles of 4 x 4 from (30, 0) into 10 x 10: whole tiles reach 2 pixels beyond.
    mRenderer->DrawBitmap(corner, {30, 0, 10, 10}, SV::ResizeType::Tile);
    EXPECT_EQ(Pixel(31, 1), kGreenPixel);
    EXPECT_EQ(Pixel(41, 11), kGreenPixel);
    EXPECT_EQ(Pixel(43, 11), RGBA{});
    EXPECT_EQ(mRenderer->GetPictureTextureCache().GetKeyCount(), 1) << "one texture per picture";

    // A 10 x 10 bitmap centred in 7 x 7 at (50, 50) starts at (49, 49): -3 / 2 truncates to -1.
    mRenderer->DrawBitmap(picture, {50, 50, 7, 7}, SV::ResizeType::Center);
    EXPECT_EQ(Pixel(49, 49), kRedPixel);
    EXPECT_EQ(Pixel(48, 48), RGBA{});
    EXPECT_EQ(Pixel(58, 58), kGreenPixel);
    mRenderer->RenderFinish(context);
}

TEST_F(GLRendererX11Test, AnUnknownResizeTypeIsStretchedOnlyAtTheBitmapsOwnSize)
{
    const SV::RCPtr<SV::LRenderContextInfo> context = StartFrame();
    const SV::RCPtr<SV::LBitmap> picture = TestPicture();
    const auto unknown = static_cast<SV::ResizeType>(7);
    EXPECT_EQ(svtest::ExceptionTextOf([&] {
                  mRenderer->DrawBitmap(picture, {0, 0, 10, 10}, unknown);
              }),
              "no exception");
    EXPECT_EQ(Pixel(1, 1), kRedPixel);
    EXPECT_EQ(svtest::ExceptionTextOf([&] {
                  mRenderer->DrawBitmap(picture, {0, 0, 11, 10}, unknown);
              }),
              "Logic Error : Invalid ResizeType passed to DrawBitmap! : "
              "SV::LGLRenderer::DrawBitmap : Renderer\\OpenGL\\GLRenderer : Line 1152");
    EXPECT_EQ(svtest::ExceptionTextOf<SV::Exception<SV::FailedResultException>>([&] {
                  mRenderer->DrawBitmap(SV::RCPtr<SV::LBitmap>(), {0, 0, 10, 10},
                                        SV::ResizeType::Stretch);
              }),
              "Failed Result : SVRESULT = 80070057 : SV::LGLRenderer::DrawBitmap : "
              "Renderer\\OpenGL\\GLRenderer : Line 1102");
    mRenderer->RenderFinish(context);
}

} // namespace
