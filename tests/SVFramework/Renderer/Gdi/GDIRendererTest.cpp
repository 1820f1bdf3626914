#include "Renderer/Gdi/GDIRenderer.h"

#include "ExceptionText.h"
#include "Renderer/Font.h"
#include "Renderer/Gdi/GDITextDrawer.h"
#include "ResultCodes.h"
#include "Utilities/Graphics/Bitmap.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

using SV::ColorT;
using SV::RCPtr;
using SV::RectT;

constexpr int32_t kWidth = 80;
constexpr int32_t kHeight = 60;
constexpr uint32_t kRed = 0xFFFF0000u;
constexpr uint32_t kBlue = 0xFF0000FFu;

uint32_t gNow = 0;
uint32_t FakeClock()
{
    return gNow;
}

ColorT Color(uint32_t argb)
{
    ColorT color;
    color.FromARGB(argb);
    return color;
}

// A picture whose every pixel tells where it is: 0xFF00xxyy.
RCPtr<SV::LBitmap> Numbered(int32_t width, int32_t height, uint32_t alpha = 0xFF)
{
    const RCPtr<SV::LBitmap> bitmap = SV::LBitmap::CreateFilledBitmap(width, height, {});
    const RCPtr<SV::LBitmapData> pixels(new SV::LBitmapData(bitmap, SV::LBitmapData::kLockWrite));
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            *pixels->GetPixelForWrite(x, y) =
                alpha << 24 | static_cast<uint32_t>(x) << 8 | static_cast<uint32_t>(y) | 0x400000u;
        }
    }
    return bitmap;
}

uint32_t NumberOf(int32_t x, int32_t y, uint32_t alpha = 0xFF)
{
    return alpha << 24 | static_cast<uint32_t>(x) << 8 | static_cast<uint32_t>(y) | 0x400000u;
}

class GDIRendererTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gNow = 1000;
        mRenderer = RCPtr<SV::LGDIRenderer>(new SV::LGDIRenderer(96, &FakeClock));
        mContext = MakeContext(0);
    }

    RCPtr<SV::LRenderContextInfo> MakeContext(int32_t offscreenOnly,
                                              RectT<int32_t> target = {0, 0, kWidth, kHeight})
    {
        RCPtr<SV::LRenderContextInfo> context;
        EXPECT_EQ(mRenderer->InitRenderContextInfo(target, nullptr, offscreenOnly, context), 0);
        return context;
    }

    static SV::LGDIRenderContextInfo& Gdi(const RCPtr<SV::LRenderContextInfo>& context)
    {
        return dynamic_cast<SV::LGDIRenderContextInfo&>(*context.Get());
    }

    // One frame over the context with the given dirty rectangles.
    void Frame(const std::function<void()>& draw,
               const std::vector<SV::RectRegion::Edges>& dirty = {{0, 0, 10, 10}})
    {
        FrameOn(mContext, draw, dirty);
    }

    void FrameOn(const RCPtr<SV::LRenderContextInfo>& context, const std::function<void()>& draw,
                 const std::vector<SV::RectRegion::Edges>& dirty = {{0, 0, 10, 10}})
    {
        context->GetRegion().Clear();
        for (const SV::RectRegion::Edges& rect : dirty) {
            context->GetRegion().AddRect(rect);
        }
        mRenderer->RenderStart(context);
        draw();
        mRenderer->RenderFinish(context);
    }

    uint32_t Pixel(int32_t x, int32_t y) const
    {
        return Gdi(mContext).GetCurrentSurface()->GetPixel(x, y);
    }

    // The pixels of the picture that are not transparent, as "x,y" texts, row by row.
    std::vector<std::string> Painted(const RCPtr<SV::LRenderContextInfo>& context) const
    {
        std::vector<std::string> painted;
        const auto& surface = Gdi(context).GetCurrentSurface();
        const auto [width, height] = surface->GetSize();
        for (int32_t y = 0; y < height; ++y) {
            for (int32_t x = 0; x < width; ++x) {
                if (surface->GetPixel(x, y) != 0) {
                    painted.push_back(std::to_string(x) + "," + std::to_string(y));
                }
            }
        }
        return painted;
    }

    std::vector<std::string> Painted() const { return Painted(mContext); }

    static std::vector<std::string> Block(int32_t x, int32_t y, int32_t width, int32_t height)
    {
        std::vector<std::string> pixels;
        for (int32_t row = y; row < y + height; ++row) {
            for (int32_t column = x; column < x + width; ++column) {
                pixels.push_back(std::to_string(column) + "," + std::to_string(row));
            }
        }
        return pixels;
    }

    RCPtr<SV::LGDIRenderer> mRenderer;
    RCPtr<SV::LRenderContextInfo> mContext;
};

TEST_F(GDIRendererTest, AnswersItsTypeAndAContextOfTheTargetSize)
{
    EXPECT_EQ(mRenderer->GetRendererType(), 1);
    EXPECT_EQ(Gdi(mContext).GetMaxSurfaceSize(), (std::pair<int32_t, int32_t>{4096, 4096}));
    EXPECT_EQ(Gdi(mContext).GetCurrentSurface()->GetSize(),
              (std::pair<int32_t, int32_t>{kWidth, kHeight}));
    // A surface of no size is made 1 x 1.
    const RCPtr<SV::LRenderContextInfo> empty = MakeContext(0, {0, 0, 0, -4});
    EXPECT_EQ(Gdi(empty).GetSpareSurface()->GetSize(), (std::pair<int32_t, int32_t>{1, 1}));
}

TEST_F(GDIRendererTest, FillsWithoutBlendingExactlyTheColourMovedByTheOriginIgnoringTheClip)
{
    const uint32_t colours[] = {0x80FF4020u, 0x00000000u, 0xFF123456u, 0x40808080u, 0xC0204060u};
    for (uint32_t colour : colours) {
        Frame([&] {
            mRenderer->FillRect({0, 0, kWidth, kHeight}, Color(0xFF00FF00u), false);
            mRenderer->PushClipRect({5, 6, 10, 10}, {0, 0, 2, 2}, nullptr, true);
            mRenderer->FillRect({1, 1, 3, 2}, Color(colour), false);
            mRenderer->PopClip();
        });
        EXPECT_EQ(Pixel(6, 7), colour) << std::hex << colour;
        EXPECT_EQ(Pixel(8, 8), colour) << std::hex << colour;
        EXPECT_EQ(Pixel(9, 8), 0xFF00FF00u);
        EXPECT_EQ(Pixel(6, 9), 0xFF00FF00u);
    }
    // Rectangles reaching past the picture are cut, not wrapped.
    Frame([&] { mRenderer->FillRect({-5, kHeight - 1, 10, 10}, Color(kRed), false); });
    EXPECT_EQ(Pixel(0, kHeight - 1), kRed);
    EXPECT_EQ(Pixel(kWidth - 1, 0), 0xFF00FF00u);
}

TEST_F(GDIRendererTest, BlendsFillsUnderTheCurrentTranslationAndClip)
{
    Frame([&] {
        mRenderer->FillRect({0, 0, 4, 4}, Color(kBlue), true);
        mRenderer->FillRect({0, 0, 4, 4}, Color(0x80FF0000u), true);
        mRenderer->PushClipRect({10, 10, 40, 40}, {0, 0, 13, 12}, nullptr, true);
        mRenderer->FillRect({0, 0, 30, 30}, Color(kRed), true);
        mRenderer->PopClip();
        // Fills of no size draw nothing.
        mRenderer->FillRect({60, 0, -5, 5}, Color(kRed), true);
    });
    const uint32_t mixed = Pixel(1, 1);
    EXPECT_EQ(mixed >> 24, 0xFFu);
    EXPECT_NEAR(static_cast<int>((mixed >> 16) & 0xFF), 0x80, 1);
    EXPECT_NEAR(static_cast<int>(mixed & 0xFF), 0x7F, 1);

    std::vector<std::string> expected = Block(0, 0, 4, 4);
    const std::vector<std::string> clipped = Block(10, 10, 3, 2);
    // The clip (0, 0, 13, 12) met the bounds (10, 10, 40, 40): 3 x 2 pixels at (10, 10).
    std::vector<std::string> painted = Painted();
    EXPECT_EQ(painted.size(), expected.size() + clipped.size());
    EXPECT_EQ(Pixel(10, 10), kRed);
    EXPECT_EQ(Pixel(12, 11), kRed);
    EXPECT_EQ(Pixel(13, 11), 0u);
    EXPECT_EQ(Pixel(12, 12), 0u);
}

TEST_F(GDIRendererTest, DrawsShapesWithPixelCentresOnWholeCoordinates)
{
    struct Case
    {
        const char* name;
        std::function<void(SV::LGDIRenderer&)> draw;
        std::vector<std::string> pixels;
    };
    const ColorT red = Color(kRed);
    std::vector<std::string> outline;
    for (int32_t x = 2; x <= 5; ++x) {
        outline.push_back(std::to_string(x) + ",3");
    }
    for (int32_t y = 4; y <= 5; ++y) {
        outline.push_back("2," + std::to_string(y));
        outline.push_back("5," + std::to_string(y));
    }
    for (int32_t x = 2; x <= 5; ++x) {
        outline.push_back(std::to_string(x) + ",6");
    }
    const Case cases[] = {
        {"rectangle outline (2, 3, 3, 3) covers 4 x 4",
         [&](SV::LGDIRenderer& r) {
             r.DrawRect({2, 3, 3, 3}, red, 1.0f);
         },
         outline},
        {"horizontal line covers its row",
         [&](SV::LGDIRenderer& r) {
             r.DrawLine({1.0f, 4.0f}, {5.0f, 4.0f}, red, 1.0f);
         },
         {"1,4", "2,4", "3,4", "4,4"}},
        {"a pen thinner than a pixel still draws",
         [&](SV::LGDIRenderer& r) {
             r.DrawLine({0.0f, 0.0f}, {0.0f, 3.0f}, red, 0.0f);
         },
         {"0,0", "0,1", "0,2"}},
        {"filled rectangle",
         [&](SV::LGDIRenderer& r) {
             r.FillRect({3, 2, 2, 3}, red, true);
         },
         Block(3, 2, 2, 3)},
        {"filled rectangle and outline",
         [&](SV::LGDIRenderer& r) {
             r.DrawFilledRect({3, 4, 2, 1}, red, Color(0), 1.0f);
         },
         {"3,4", "4,4"}},
    };
    for (const Case& c : cases) {
        Frame([&] { c.draw(*mRenderer); }, {{0, 0, kWidth, kHeight}});
        EXPECT_EQ(Painted(), c.pixels) << c.name;
    }
}

TEST_F(GDIRendererTest, DrawsPolylinesFromCachedPathsUntilTheyChange)
{
    SV::PolylineT<float> polyline;
    polyline.SetPoints({{0, 0}, {3, 0}, {0, 2}, {3, 2}, {9, 9}});
    const ColorT red = Color(kRed);

    // Five points make two segments; the odd last point is left out.
    Frame(
        [&] {
            mRenderer->DrawLineSegments(polyline, red, {1, 1}, {1, 1}, true);
        },
        {{0, 0, kWidth, kHeight}});
    EXPECT_EQ(Painted(), (std::vector<std::string>{"1,1", "2,1", "3,1", "1,3", "2,3", "3,3"}));
    EXPECT_FALSE(polyline.IsChanged());
    EXPECT_TRUE(mRenderer->GetPathCache().Lookup(polyline, false));

    // Unchanged points keep the cached path even when the points themselves are edited behind
    // the flag's back; a change with the flag set builds the path again.
    polyline.SetPoints({{0, 0}, {0, 2}});
    polyline.SetChanged(false);
    Frame(
        [&] {
            mRenderer->DrawLineSegments(polyline, red, {1, 1}, {1, 1}, true);
        },
        {{0, 0, kWidth, kHeight}});
    EXPECT_EQ(Painted().size(), 6u);
    polyline.SetChanged(true);
    Frame(
        [&] {
            mRenderer->DrawLineSegments(polyline, red, {1, 1}, {1, 1}, false);
        },
        {{0, 0, kWidth, kHeight}});
    EXPECT_EQ(Painted(), (std::vector<std::string>{"1,1", "1,2"}));
    // Not kept: the entry is empty again.
    EXPECT_FALSE(mRenderer->GetPathCache().Lookup(polyline, false));
}

TEST_F(GDIRendererTest, FillsAndOutlinesPolygonsScaledWithoutScalingThePen)
{
    SV::PolylineT<float> square;
    square.SetPoints({{0, 0}, {2, 0}, {2, 2}, {0, 2}});
    const ColorT red = Color(kRed);

    Frame(
        [&] {
            mRenderer->FillPolygon(square, red, {4, 4}, {2, 2}, true);
        },
        {{0, 0, kWidth, kHeight}});
    EXPECT_EQ(Painted(), Block(4, 4, 4, 4));

    Frame(
        [&] {
            mRenderer->DrawPolygon(square, red, {0, 0}, {1, 1}, true);
        },
        {{0, 0, kWidth, kHeight}});
    EXPECT_EQ(Painted(),
              (std::vector<std::string>{"0,0", "1,0", "2,0", "0,1", "2,1", "0,2", "1,2", "2,2"}));

    // An open polyline leaves the closing side out; its flat end stops at the last point.
    SV::PolylineT<float> open;
    open.SetPoints({{0, 0}, {2, 0}, {2, 2}});
    Frame(
        [&] {
            mRenderer->DrawPolyline(open, red, {0, 0}, {1, 1}, true);
        },
        {{0, 0, kWidth, kHeight}});
    EXPECT_EQ(Painted(), (std::vector<std::string>{"0,0", "1,0", "2,0", "2,1"}));

    // Overlapping figures of one polygon cancel where they overlap (alternate filling).
    SV::PolylineT<float> twice;
    twice.SetPoints({{0, 0}, {4, 0}, {4, 2}, {0, 2}, {0, 0}, {2, 0}, {2, 2}, {0, 2}});
    Frame(
        [&] {
            mRenderer->FillPolygon(twice, red, {0, 0}, {1, 1}, false);
        },
        {{0, 0, kWidth, kHeight}});
    EXPECT_EQ(Painted(), (std::vector<std::string>{"2,0", "3,0", "2,1", "3,1"}));
    // The origin is back where it was.
    EXPECT_EQ(mContext->GetState().origin, (SV::PointT<double>{0, 0}));
}

TEST_F(GDIRendererTest, FillsColourRectangleListsScaledFromTheLastToTheFirst)
{
    SV::ColorRectListT<float> list;
    list.AddRect({0, 0, 2, 1}, kRed);
    list.AddRect({1, 0, 2, 1}, kBlue);
    list.SetScale(2.0f, 1.5f);
    Frame([&] { mRenderer->FillColorRectList(list, {10, 20}, true); });
    // Scaled: (0, 0, 4, 1.5 -> 2) red and (2, 0, 4, 2) blue; red is drawn last, on top.
    EXPECT_EQ(Pixel(10, 20), kRed);
    EXPECT_EQ(Pixel(13, 21), kRed);
    EXPECT_EQ(Pixel(14, 21), kBlue);
    EXPECT_EQ(Pixel(15, 20), kBlue);
    EXPECT_EQ(Pixel(16, 20), 0u);
    EXPECT_EQ(Pixel(10, 22), 0u);
    EXPECT_EQ(mContext->GetState().origin, (SV::PointT<double>{0, 0}));
}

TEST_F(GDIRendererTest, KeepsThePictureForSmallFramesAndStartsAfreshForAWholeTargetRepaint)
{
    Frame([&] { mRenderer->FillRect({0, 0, 5, 5}, Color(kRed), true); });
    const auto* surface = Gdi(mContext).GetCurrentSurface().Get();

    // Two dirty rectangles: the picture is kept and drawn over.
    Frame(
        [&] {
            mRenderer->FillRect({20, 20, 1, 1}, Color(kBlue), true);
        },
        {{0, 0, 10, 10}, {30, 30, 40, 40}});
    EXPECT_EQ(Gdi(mContext).GetCurrentSurface().Get(), surface);
    EXPECT_EQ(Pixel(0, 0), kRed);
    EXPECT_EQ(Pixel(20, 20), kBlue);

    // Exactly the whole target: both pictures start transparent.
    Frame([&] {}, {{0, 0, kWidth, kHeight}});
    EXPECT_TRUE(Painted().empty());

    Frame([&] { mRenderer->FillRect({0, 0, 5, 5}, Color(kRed), true); });
    // A new target size: both pictures follow it.
    mContext->SetTarget({0, 0, 30, 20});
    Frame([&] {});
    EXPECT_EQ(Gdi(mContext).GetCurrentSurface()->GetSize(), (std::pair<int32_t, int32_t>{30, 20}));
    EXPECT_EQ(Gdi(mContext).GetSpareSurface()->GetSize(), (std::pair<int32_t, int32_t>{30, 20}));
    EXPECT_TRUE(Painted().empty());
}

TEST_F(GDIRendererTest, NestsContextsWithoutTranslatingTheInnerOneAndRefusesAMismatchedFinish)
{
    const RCPtr<SV::LRenderContextInfo> inner = MakeContext(1);
    mContext->GetState().origin = {5, 5};
    inner->GetState().origin = {7, 7};

    mRenderer->RenderStart(mContext);
    mRenderer->FillRect({0, 0, 1, 1}, Color(kRed), true);
    mRenderer->RenderStart(inner);
    EXPECT_EQ(mRenderer->GetCurrentGdiContext().Get(), inner.Get());
    mRenderer->FillRect({0, 0, 1, 1}, Color(kBlue), true);

    EXPECT_EQ(svtest::ExceptionTextOf<SV::Exception<std::runtime_error>>(
                  [&] { mRenderer->RenderFinish(mContext); }),
              "Runtime Error : RenderFinish context does not match RenderStart context : "
              "SV::LRenderer::RenderFinish : Renderer\\Renderer : Line 250");
    EXPECT_EQ(mRenderer->GetCurrentGdiContext().Get(), inner.Get());

    mRenderer->RenderFinish(inner);
    EXPECT_EQ(mRenderer->GetCurrentGdiContext().Get(), mContext.Get());
    mRenderer->FillRect({1, 0, 1, 1}, Color(kRed), true);
    mRenderer->RenderFinish(mContext);
    EXPECT_FALSE(mRenderer->GetCurrentGdiContext());

    EXPECT_EQ(Pixel(5, 5), kRed);
    EXPECT_EQ(Pixel(6, 5), kRed);
    EXPECT_EQ(Painted(inner), (std::vector<std::string>{"0,0"}));
    EXPECT_EQ(Gdi(inner).GetCurrentSurface()->GetPixel(0, 0), kBlue);
}

TEST_F(GDIRendererTest, DrawsNothingOutsideAFrame)
{
    mRenderer->FillRect({0, 0, 5, 5}, Color(kRed), true);
    mRenderer->FillRect({0, 0, 5, 5}, Color(kRed), false);
    mRenderer->DrawRect({0, 0, 5, 5}, Color(kRed), 1.0f);
    mRenderer->DrawLine({0, 0}, {5, 5}, Color(kRed), 1.0f);
    EXPECT_TRUE(Painted().empty());
    EXPECT_EQ(svtest::ExceptionTextOf<SV::Exception<std::runtime_error>>([&] {
                  mRenderer->DrawBitmap(nullptr, {0, 0, 5, 5}, SV::ResizeType::Stretch);
              }),
              "Runtime Error : SV::LGDIRenderer::DrawBitmap : Renderer\\Gdi\\GDIRenderer : "
              "Line 562");
}

TEST_F(GDIRendererTest, MovesAnOffscreenPictureAndCopiesItIntoAFrame)
{
    const RCPtr<SV::LRenderContextInfo> offscreen = MakeContext(1, {0, 0, 20, 20});
    FrameOn(offscreen, [&] { mRenderer->FillRect({0, 0, 20, 20}, Color(kRed), true); });

    EXPECT_EQ(mRenderer->CopyContextSurface(offscreen, {0, -10}), 0);
    EXPECT_EQ(Painted(offscreen), Block(0, 0, 20, 10));

    Frame([&] {
        EXPECT_EQ(mRenderer->DrawContextSurface(offscreen, {30, 40}, {5, 5, 4, 3}), 0);
        EXPECT_EQ(mRenderer->DrawContextSurface(mContext, {0, 0}, {0, 0, 4, 3}), E_INVALIDARG);
    });
    EXPECT_EQ(Painted(), Block(30, 40, 4, 3));
    EXPECT_EQ(mRenderer->CopyContextSurface(mContext, {0, -10}), E_INVALIDARG);
    EXPECT_EQ(mRenderer->CopyContextSurface(nullptr, {0, 0}), E_INVALIDARG);
}

// The skin's "Arial" at 9: 2048 units to the em, cell 1854 above and 434 below, 2355 per line.
TEST_F(GDIRendererTest, TakesFontMetricsFromTheDesignUnits)
{
    struct Case
    {
        const char16_t* family;
        float size;
        int32_t style;
        int32_t height;
        int32_t ascent;
        int32_t descent;
    };
    const Case cases[] = {
        {u"Liberation Sans", 9.0f, 0, 14, -11, 3},
        {u"Arial", 9.0f, 1, 14, -11, 3},
        {u"Liberation Sans", 12.0f, 0, 19, -15, 4},
        {u"Liberation Sans", 20.0f, 2, 31, -25, 6},
    };
    for (const Case& c : cases) {
        int32_t height = 0;
        int32_t ascent = 0;
        int32_t descent = 0;
        EXPECT_EQ(mRenderer->GetFontMetrics(SV::LFont::GetFont(c.family, c.size, c.style), height,
                                            ascent, descent),
                  0);
        EXPECT_EQ(height, c.height) << c.size;
        EXPECT_EQ(ascent, c.ascent) << c.size;
        EXPECT_EQ(descent, c.descent) << c.size;
    }
}

TEST_F(GDIRendererTest, MeasuresTextAtTheScreenResolution)
{
    const auto font = SV::LFont::GetFont(u"Liberation Sans", 9.0f, 0);
    EXPECT_EQ(mRenderer->MeasureText(u"", font), (RectT<float>{0, 0, 0, 0}));

    SV::GDITextDrawer drawer;
    const double right = drawer.MeasureWidth(u"Tempo", u"Liberation Sans", 12.0, 0);
    const RectT<float> at96 = mRenderer->MeasureText(u"Tempo", font);
    EXPECT_EQ(at96, (RectT<float>{0, -11, static_cast<float>(right), 14}));

    const RCPtr<SV::LGDIRenderer> at120(new SV::LGDIRenderer(120, &FakeClock));
    const RectT<float> measured = at120->MeasureText(u"Tempo", font);
    EXPECT_EQ(measured.width, std::floor(80.0 * right / 100.0 + 3.0 + 0.5));
    EXPECT_EQ(measured.height, 14.0f);
}

TEST_F(GDIRendererTest, DrawsTextWithItsLayoutBoxOnePixelHigher)
{
    const auto font = SV::LFont::GetFont(u"Liberation Sans", 12.0f, 0);
    Frame([&] {
        mRenderer->PushClipRect({4, 3, 60, 50}, {0, 0, 60, 50}, nullptr, true);
        mRenderer->DrawText(u"Hg", font, {6, 17}, Color(kBlue));
        mRenderer->PopClip();
    });

    cairo_surface_t* expected = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
    cairo_t* cr = cairo_create(expected);
    SV::GDITextDrawer drawer;
    drawer.Draw(cr, u"Hg", u"Liberation Sans", 16.0, 0, 10.0, 19.0, Color(kBlue));
    cairo_surface_flush(expected);
    const auto* rows = cairo_image_surface_get_data(expected);
    const int stride = cairo_image_surface_get_stride(expected);
    int inked = 0;
    for (int32_t y = 0; y < kHeight; ++y) {
        for (int32_t x = 0; x < kWidth; ++x) {
            const uint32_t want = SV::UnpremultiplyArgb(
                reinterpret_cast<const uint32_t*>(rows + static_cast<ptrdiff_t>(y) * stride)[x]);
            ASSERT_EQ(Pixel(x, y), want) << x << ", " << y;
            inked += want != 0;
        }
    }
    EXPECT_GT(inked, 20);
    cairo_destroy(cr);
    cairo_surface_destroy(expected);
}

TEST_F(GDIRendererTest, FitsBitmapsByStretchingTilingOrCentring)
{
    const RCPtr<SV::LBitmap> bitmap = Numbered(10, 10);
    struct Case
    {
        SV::ResizeType resize;
        RectT<int32_t> destination;
        std::function<uint32_t(int32_t, int32_t)> expected; // at a point of the destination
    };
    const auto tiled = [](int32_t x, int32_t y) { return NumberOf(x % 10, y % 10); };
    const Case cases[] = {
        // Up to a 3 x 3 grid of copies, and one repeated fill beyond it.
        {SV::ResizeType::Tile, {2, 3, 25, 25}, tiled},
        {SV::ResizeType::Tile, {2, 3, 30, 30}, tiled},
        {SV::ResizeType::Tile, {2, 3, 7, 4}, tiled},
        {SV::ResizeType::Stretch,
         {2, 3, 20, 30},
         [](int32_t x, int32_t y) { return NumberOf(x / 2, y / 3); }},
        {SV::ResizeType::Center,
         {2, 3, 20, 14},
         [](int32_t x, int32_t y) {
             return x >= 5 && x < 15 && y >= 2 && y < 12 ? NumberOf(x - 5, y - 2) : 0u;
         }},
        // The same size is drawn 1:1 whatever the resize type says.
        {static_cast<SV::ResizeType>(7), {2, 3, 10, 10}, tiled},
    };
    for (const Case& c : cases) {
        Frame([&] { mRenderer->DrawBitmap(bitmap, c.destination, c.resize); },
              {{0, 0, kWidth, kHeight}});
        for (int32_t y = 0; y < kHeight; ++y) {
            for (int32_t x = 0; x < kWidth; ++x) {
                const int32_t dx = x - c.destination.x;
                const int32_t dy = y - c.destination.y;
                const bool inside =
                    dx >= 0 && dy >= 0 && dx < c.destination.width && dy < c.destination.height;
                ASSERT_EQ(Pixel(x, y), inside ? c.expected(dx, dy) : 0u)
                    << "resize " << static_cast<int>(c.resize) << " size " << c.destination.width
                    << " at " << x << ", " << y;
            }
        }
    }
}

TEST_F(GDIRendererTest, RefusesAnUnknownResizeTypeWhenTheSizesDiffer)
{
    const RCPtr<SV::LBitmap> bitmap = Numbered(10, 10);
    mRenderer->RenderStart(mContext);
    EXPECT_EQ(svtest::ExceptionTextOf<SV::Exception<std::invalid_argument>>([&] {
                  mRenderer->DrawBitmap(bitmap, {0, 0, 11, 10}, static_cast<SV::ResizeType>(7));
              }),
              "Invalid Argument : Invalid ResizeType passed to DrawBitmap. : "
              "SV::LGDIRenderer::DrawBitmap : Renderer\\Gdi\\GDIRenderer : Line 553");
    // Nothing was drawn and nothing half-made was kept.
    EXPECT_FALSE(mRenderer->GetBitmapCache().Lookup({bitmap, 11, 10}, false));
    mRenderer->RenderFinish(mContext);
    EXPECT_TRUE(Painted().empty());
}

TEST_F(GDIRendererTest, KeepsColoursOfBitmapsAndShowsNothingOfThemOffTheirPicture)
{
    // A half-transparent picture drawn onto a transparent one reads back as drawn.
    const RCPtr<SV::LBitmap> glass = Numbered(10, 10, 0x80);
    // A sub-bitmap reaching past its picture: the part off the picture is transparent.
    const RCPtr<SV::LBitmap> corner = Numbered(10, 10)->CreateSubBitmap(6, 7, 8, 8);
    Frame(
        [&] {
            mRenderer->DrawBitmap(glass, {0, 0, 10, 10}, SV::ResizeType::Stretch);
            mRenderer->DrawBitmap(corner, {20, 20, 8, 8}, SV::ResizeType::Stretch);
            mRenderer->DrawBitmap(nullptr, {40, 40, 8, 8}, SV::ResizeType::Stretch);
            mRenderer->DrawBitmap(glass, {40, 40, 0, 8}, SV::ResizeType::Stretch);
        },
        {{0, 0, kWidth, kHeight}});
    EXPECT_EQ(Pixel(0, 0), NumberOf(0, 0, 0x80));
    EXPECT_EQ(Pixel(2, 4), NumberOf(2, 4, 0x80));
    EXPECT_EQ(Pixel(20, 20), NumberOf(6, 7));
    EXPECT_EQ(Pixel(23, 22), NumberOf(9, 9));
    EXPECT_EQ(Pixel(24, 20), 0u);
    EXPECT_EQ(Pixel(20, 23), 0u);
    EXPECT_EQ(Painted().size(), 100u + 4u * 3u);
}

TEST_F(GDIRendererTest, RendersABitmapOncePerDestinationSize)
{
    const RCPtr<SV::LBitmap> bitmap = Numbered(10, 10);
    SV::LGDIRenderer::BitmapCache& cache = mRenderer->GetBitmapCache();
    Frame([&] { mRenderer->DrawBitmap(bitmap, {0, 0, 20, 20}, SV::ResizeType::Stretch); });
    const auto* rendered = cache.GetEntry(0).object.Get();
    ASSERT_NE(rendered, nullptr);

    Frame([&] { mRenderer->DrawBitmap(bitmap, {30, 30, 20, 20}, SV::ResizeType::Tile); });
    EXPECT_EQ(cache.GetKeyCount(), 1);
    EXPECT_EQ(cache.GetEntry(0).object.Get(), rendered);
    // The kept picture is the stretched one: the resize type is not part of the key.
    EXPECT_EQ(Pixel(31, 31), NumberOf(0, 0));
    EXPECT_EQ(Pixel(32, 32), NumberOf(1, 1));

    Frame([&] { mRenderer->DrawBitmap(bitmap, {0, 0, 20, 21}, SV::ResizeType::Stretch); });
    EXPECT_EQ(cache.GetKeyCount(), 2);
}

TEST_F(GDIRendererTest, DrawsAnOpaquePieceStraightFromItsPictureAndCopiesOnlyOtherPieces)
{
    SV::LGDIRenderer::BitmapCache& cache = mRenderer->GetBitmapCache();
    const RCPtr<SV::LBitmap> piece = Numbered(10, 10)->CreateSubBitmap(2, 3, 5, 4);
    // Half-transparent pixels are premultiplied, and pixels off the picture are transparent:
    // such pieces get a picture of their own.
    const RCPtr<SV::LBitmap> glass = Numbered(10, 10, 0x80)->CreateSubBitmap(2, 3, 5, 4);
    const RCPtr<SV::LBitmap> edge = Numbered(10, 10)->CreateSubBitmap(8, 8, 4, 4);
    Frame([&] {
        mRenderer->DrawBitmap(piece, {20, 20, 5, 4}, SV::ResizeType::Stretch);
        mRenderer->DrawBitmap(glass, {40, 40, 5, 4}, SV::ResizeType::Stretch);
        mRenderer->DrawBitmap(edge, {50, 10, 4, 4}, SV::ResizeType::Stretch);
    });
    EXPECT_EQ(Pixel(20, 20), NumberOf(2, 3));
    EXPECT_EQ(Pixel(24, 23), NumberOf(6, 6));
    EXPECT_EQ(Pixel(51, 11), NumberOf(9, 9));
    EXPECT_EQ(Pixel(52, 12), 0u);

    ASSERT_EQ(cache.GetKeyCount(), 3);
    for (int32_t i = 0; i < cache.GetKeyCount(); ++i) {
        const auto& entry = cache.GetEntry(i);
        const void* drawnFrom = cairo_image_surface_get_data(entry.object->GetSurface());
        const SV::LBitmap& bitmap = *entry.key.bitmap;
        const RectT<int32_t> area = bitmap.GetRectOnPicture();
        const void* onPicture = bitmap.GetPixelSource()->GetPixelForRead(area.x, area.y);
        EXPECT_EQ(drawnFrom == onPicture, entry.key.bitmap.Get() == piece.Get()) << i;
    }
}

TEST_F(GDIRendererTest, PurgesBitmapsNotUsedSinceThePreviousPurgeEveryFiveMinutes)
{
    const RCPtr<SV::LBitmap> first = Numbered(4, 4);
    const RCPtr<SV::LBitmap> second = Numbered(5, 5);
    SV::LGDIRenderer::BitmapCache& cache = mRenderer->GetBitmapCache();
    const auto cached = [&](const RCPtr<SV::LBitmap>& bitmap) {
        for (int32_t i = 0; i < cache.GetKeyCount(); ++i) {
            if (cache.GetEntry(i).key.bitmap.Get() == bitmap.Get()) {
                return static_cast<bool>(cache.GetEntry(i).object);
            }
        }
        return false;
    };

    // A purge frees what was used before the clock value of the previous purge, which is the
    // stamp of the last lookup before it: something else is drawn after `first`.
    const RCPtr<SV::LBitmap> filler = Numbered(3, 3);
    Frame([&] {
        mRenderer->DrawBitmap(first, {0, 0, 8, 8}, SV::ResizeType::Stretch);
        mRenderer->DrawBitmap(filler, {0, 0, 8, 8}, SV::ResizeType::Stretch);
    });
    gNow += 300000;
    Frame([] {});
    EXPECT_TRUE(cached(first)) << "not yet due";

    // The first purge frees nothing: no mark was recorded before it.
    gNow += 1;
    Frame([] {});
    EXPECT_TRUE(cached(first));

    Frame([&] { mRenderer->DrawBitmap(second, {0, 0, 8, 8}, SV::ResizeType::Stretch); });
    gNow += 300001;
    Frame([] {});
    EXPECT_FALSE(cached(first));
    EXPECT_TRUE(cached(second));
}

TEST_F(GDIRendererTest, CountsTheFiveMinutesAcrossTheWrapOfTheClock)
{
    gNow = 0xFFFFFF00u;
    mRenderer = RCPtr<SV::LGDIRenderer>(new SV::LGDIRenderer(96, &FakeClock));
    mContext = MakeContext(0);
    const RCPtr<SV::LBitmap> bitmap = Numbered(4, 4);
    const RCPtr<SV::LBitmap> filler = Numbered(3, 3);
    Frame([&] {
        mRenderer->DrawBitmap(bitmap, {0, 0, 8, 8}, SV::ResizeType::Stretch);
        mRenderer->DrawBitmap(filler, {0, 0, 8, 8}, SV::ResizeType::Stretch);
    });
    gNow += 300001;
    Frame([] {});
    gNow += 300001;
    Frame([] {});
    EXPECT_FALSE(mRenderer->GetBitmapCache().GetEntry(0).object);
}

} // namespace
