#include "Renderer/D3D9Renderer.h"
#include "Renderer/Renderer.h"

#include "ExceptionText.h"
#include "Renderer/Font.h"
#include "ResultCodes.h"
#include "Utilities/Graphics/Bitmap.h"

#include <gtest/gtest.h>

namespace {

using SV::RCPtr;

TEST(RendererFactoryTest, MakesTheBackEndOfEachKnownType)
{
    for (int32_t type : {1, 2}) {
        const RCPtr<SV::LRenderer> renderer = SV::LRenderer::Create(type, {0, 0, 10, 10}, nullptr);
        ASSERT_TRUE(renderer);
        EXPECT_EQ(renderer->GetRendererType(), type);
        // The caller holds the only reference.
        EXPECT_EQ(renderer->AddRef(), 2);
        renderer->Release();
    }
}

TEST(RendererFactoryTest, RefusesAnUnknownTypeWithADomainError)
{
    for (int32_t type : {3, -1, 1000}) {
        EXPECT_EQ(svtest::ExceptionTextOf<SV::Exception<std::domain_error>>([&] {
                      SV::LRenderer::Create(type, {0, 0, 10, 10}, nullptr);
                  }),
                  "Domain Error : SV::LRenderer::Create : Renderer\\Renderer : Line 116")
            << type;
    }
}

TEST(D3D9RendererTest, RunsAWholeFrameWithoutEffect)
{
    const RCPtr<SV::LRenderer> renderer = SV::LRenderer::Create(2, {0, 0, 10, 10}, nullptr);
    const auto font = SV::LFont::GetFont(u"Liberation Sans", 9.0f, 0);
    EXPECT_EQ(renderer->MeasureText(u"Tempo", font), (SV::RectT<float>{0, 0, 0, 0}));
    int32_t height = 7;
    int32_t ascent = 8;
    int32_t descent = 9;
    EXPECT_EQ(renderer->GetFontMetrics(font, height, ascent, descent), 0);
    EXPECT_EQ(height + ascent + descent, 24);

    RCPtr<SV::LRenderContextInfo> context;
    ASSERT_EQ(renderer->InitRenderContextInfo({0, 0, 10, 10}, nullptr, 0, context), 0);
    ASSERT_TRUE(dynamic_cast<SV::LD3D9RenderContextInfo*>(context.Get()));
    EXPECT_EQ(context->GetMaxSurfaceSize(), (std::pair<int32_t, int32_t>{0, 0}));

    EXPECT_EQ(renderer->RenderStart(context), 0);
    // Nothing was pushed: the state operations find no current context.
    EXPECT_EQ(renderer->GetCurrentContext(), nullptr);
    renderer->PushClipRect({1, 1, 5, 5}, {0, 0, 5, 5}, nullptr, true);
    renderer->FillRect({0, 0, 5, 5}, {1, 0, 0, 1}, false);
    renderer->DrawBitmap(nullptr, {0, 0, 5, 5}, SV::ResizeType::Tile);
    EXPECT_EQ(renderer->DrawContextSurface(context, {0, 0}, {0, 0, 1, 1}), E_NOTIMPL);
    EXPECT_EQ(renderer->CopyContextSurface(context, {0, 0}), E_NOTIMPL);
    renderer->PopClip();
    EXPECT_EQ(renderer->RenderFinish(context), 0);
    EXPECT_EQ(context->GetState().origin, (SV::PointT<double>{0, 0}));
    EXPECT_TRUE(context->GetSavedStates().empty());
}

} // namespace
