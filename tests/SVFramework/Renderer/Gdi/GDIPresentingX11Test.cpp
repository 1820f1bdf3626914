#include "BareWindow.h"
#include "Renderer/Gdi/GDIRenderer.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

using SV::RCPtr;

constexpr int32_t kWidth = 80;
constexpr int32_t kHeight = 60;
constexpr uint32_t kGreen = 0xFF00C000u;
constexpr uint32_t kBlue = 0xFF0000FFu;

SV::ColorT Color(uint32_t argb)
{
    SV::ColorT color;
    color.FromARGB(argb);
    return color;
}

class GDIPresentingX11Test : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mWindow = svp::BareWindow::Open(kWidth, kHeight);
        if (!mWindow) {
            GTEST_SKIP() << "no X display";
        }
        mRenderer = SV::LRenderer::Create(1, {0, 0, kWidth, kHeight}, mWindow->GetHandle());
        ASSERT_EQ(mRenderer->InitRenderContextInfo({0, 0, kWidth, kHeight}, mWindow->GetHandle(), 0,
                                                   mContext),
                  0);
    }

    void Frame(const RCPtr<SV::LRenderContextInfo>& context,
               const std::vector<SV::RectRegion::Edges>& dirty, const std::function<void()>& draw)
    {
        context->GetRegion().Clear();
        for (const SV::RectRegion::Edges& rect : dirty) {
            context->GetRegion().AddRect(rect);
        }
        mRenderer->RenderStart(context);
        draw();
        mRenderer->RenderFinish(context);
    }

    // Which of the window's pixels show the colour, as a picture of '#' and '.' rows.
    std::vector<std::string> Showing(uint32_t argb) const
    {
        const std::vector<uint32_t> pixels = mWindow->ReadPixels(0, 0, kWidth, kHeight);
        std::vector<std::string> rows;
        for (int32_t y = 0; y < kHeight; ++y) {
            std::string row;
            for (int32_t x = 0; x < kWidth; ++x) {
                row +=
                    pixels[static_cast<size_t>(y) * kWidth + x] == (argb & 0xFFFFFFu) ? '#' : '.';
            }
            rows.push_back(row);
        }
        return rows;
    }

    static std::vector<std::string> Picture(const std::vector<SV::RectRegion::Edges>& rects)
    {
        std::vector<std::string> rows(kHeight, std::string(kWidth, '.'));
        for (const SV::RectRegion::Edges& r : rects) {
            for (int32_t y = r.top; y < r.bottom; ++y) {
                for (int32_t x = r.left; x < r.right; ++x) {
                    rows[static_cast<size_t>(y)][static_cast<size_t>(x)] = '#';
                }
            }
        }
        return rows;
    }

    std::unique_ptr<svp::BareWindow> mWindow;
    RCPtr<SV::LRenderer> mRenderer;
    RCPtr<SV::LRenderContextInfo> mContext;
};

TEST_F(GDIPresentingX11Test, PresentsOnlyTheRegionAndRetainsThePictureForLaterFrames)
{
    Frame(mContext, {{0, 0, kWidth, kHeight}}, [&] {
        mRenderer->FillRect({0, 0, kWidth, kHeight}, Color(kGreen), true);
    });
    EXPECT_EQ(Showing(kGreen), Picture({{0, 0, kWidth, kHeight}}));

    // Blue is drawn everywhere, but only the two dirty rectangles reach the window.
    Frame(mContext, {{10, 10, 30, 20}, {50, 40, 60, 55}}, [&] {
        mRenderer->FillRect({0, 0, kWidth, kHeight}, Color(kBlue), true);
    });
    EXPECT_EQ(Showing(kBlue), Picture({{10, 10, 30, 20}, {50, 40, 60, 55}}));

    // An area the system alone invalidated is shown again from the kept picture, without
    // drawing.
    Frame(mContext, {{0, 50, 20, 60}}, [] {});
    EXPECT_EQ(Showing(kBlue), Picture({{10, 10, 30, 20}, {50, 40, 60, 55}, {0, 50, 20, 60}}));
}

TEST_F(GDIPresentingX11Test, NeverPresentsAnOffscreenOnlyContext)
{
    Frame(mContext, {{0, 0, kWidth, kHeight}}, [&] {
        mRenderer->FillRect({0, 0, kWidth, kHeight}, Color(kGreen), true);
    });

    RCPtr<SV::LRenderContextInfo> offscreen;
    ASSERT_EQ(mRenderer->InitRenderContextInfo({0, 0, kWidth, kHeight}, mWindow->GetHandle(), 1,
                                               offscreen),
              0);
    Frame(offscreen, {{0, 0, kWidth, kHeight}}, [&] {
        mRenderer->FillRect({0, 0, kWidth, kHeight}, Color(kBlue), true);
    });
    EXPECT_EQ(Showing(kGreen), Picture({{0, 0, kWidth, kHeight}}));
}

} // namespace
