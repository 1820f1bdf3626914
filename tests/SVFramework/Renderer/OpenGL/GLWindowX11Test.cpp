#include "BareWindow.h"
#include "OpenGLContext.h"
#include "Renderer/Font.h"
#include "Renderer/OpenGL/GLRenderer.h"
#include "Renderer/Renderer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace {

constexpr int32_t kWidth = 160;
constexpr int32_t kHeight = 48;

// The OpenGL back end made by the factory for a real window, its frames presented to it and
// read back from the window itself.
class GLWindowX11Test : public testing::Test
{
protected:
    void SetUp() override
    {
        mWindow = svp::BareWindow::Open(kWidth, kHeight);
        ASSERT_TRUE(mWindow);
        mRenderer = SV::LRenderer::Create(0, {0, 0, kWidth, kHeight}, mWindow->GetHandle());
        // Fonts measure their line through the renderer, as through the application's.
        SV::LFont::SetMeasurementRendererSource(
            [this] { return SV::RCPtr<SV::LMeasurementRenderer>(mRenderer); });
    }

    void TearDown() override
    {
        SV::LFont::SetMeasurementRendererSource(nullptr);
        mRenderer = nullptr;
    }

    // How many pixels of the rectangle are mostly white.
    int32_t WhitePixels(int32_t x, int32_t y, int32_t width, int32_t height) const
    {
        int32_t count = 0;
        for (const uint32_t pixel : mWindow->ReadPixels(x, y, width, height)) {
            count += ((pixel >> 16) & 0xFF) > 160 && (pixel & 0xFF) > 160 ? 1 : 0;
        }
        return count;
    }

    std::unique_ptr<svp::BareWindow> mWindow;
    SV::RCPtr<SV::LRenderer> mRenderer;
};

TEST_F(GLWindowX11Test, TheFactoryMakesTheOpenGLBackEndThatPresentsTextToTheWindow)
{
    ASSERT_TRUE(mRenderer);
    EXPECT_EQ(mRenderer->GetRendererType(), 0);
    EXPECT_TRUE(dynamic_cast<SV::LGLRenderer*>(mRenderer.Get()));

    SV::RCPtr<SV::LRenderContextInfo> context;
    ASSERT_EQ(
        mRenderer->InitRenderContextInfo({0, 0, kWidth, kHeight}, mWindow->GetHandle(), 0, context),
        0);
    const auto font = SV::LFont::GetFont(u"DejaVu Sans", 14.0f, 0);
    const SV::RectT<float> measured = mRenderer->MeasureText(u"Tempo 120", font);
    EXPECT_GT(measured.width, 50.0f);
    EXPECT_LT(measured.width, 120.0f);

    // Two frames: the glyphs are made in the first and drawn from the atlas in the second.
    for (int frame = 0; frame < 2; ++frame) {
        mRenderer->RenderStart(context);
        mRenderer->FillRect({0, 0, kWidth, kHeight}, {0, 0, 0.5f, 1}, false);
        mRenderer->DrawText(u"Tempo 120", font, {10, 10}, {1, 1, 1, 1});
        mRenderer->RenderFinish(context);
    }
    const std::vector<uint32_t> corner = mWindow->ReadPixels(0, 0, 1, 1);
    ASSERT_EQ(corner.size(), 1u);
    EXPECT_EQ(corner[0] & 0xFFFFFF, 0x000080u);
    // The text's ink lies right of and below its position, inside the measured width.
    EXPECT_GT(WhitePixels(10, 10, static_cast<int32_t>(measured.width), 24), 40);
    EXPECT_EQ(WhitePixels(0, 0, 9, kHeight), 0);
    EXPECT_EQ(WhitePixels(12 + static_cast<int32_t>(measured.width), 0, 30, kHeight), 0);
}

} // namespace
