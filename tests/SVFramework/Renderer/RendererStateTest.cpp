#include "ExceptionText.h"
#include "RecordingRenderer.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using SV::PointT;
using SV::RCPtr;
using SV::RectT;
using svtest::ToText;

constexpr RectT<double> kDefaultClip{-5000000136282112.0, -5000000136282112.0, 10000000272564224.0,
                                     10000000272564224.0};

std::string RuntimeErrorOf(auto call)
{
    return svtest::ExceptionTextOf<SV::Exception<std::runtime_error>>(call);
}

class RendererStateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        renderer = RCPtr<svtest::RecordingRenderer>(new svtest::RecordingRenderer);
        context = renderer->MakeContext();
        renderer->RenderStart(context);
        renderer->ClearCalls();
    }
    void TearDown() override
    {
        if (renderer->GetCurrentContext() == context.Get()) {
            renderer->RenderFinish(context);
        }
    }

    SV::RenderState& State() { return context->GetState(); }

    RCPtr<svtest::RecordingRenderer> renderer;
    RCPtr<SV::LRenderContextInfo> context;
};

TEST(RenderContextTest, AFreshContextHasTheDefaultStateAndNothingSaved)
{
    svtest::RecordingRenderer renderer;
    const RCPtr<SV::LRenderContextInfo> context = renderer.MakeContext({1, 2, 30, 40});
    EXPECT_EQ(context->GetTarget(), (RectT<int32_t>{1, 2, 30, 40}));
    EXPECT_EQ(context->GetState().origin, (PointT<double>{0.0, 0.0}));
    EXPECT_EQ(context->GetState().clip, kDefaultClip);
    EXPECT_EQ(context->GetState().opacity, 1.0f);
    EXPECT_FALSE(context->GetState().stencilApplied);
    EXPECT_FALSE(context->GetState().stencil);
    EXPECT_TRUE(context->GetSavedStates().empty());
    EXPECT_TRUE(context->GetRegion().IsEmpty());
    EXPECT_TRUE(context->IsOffscreenOnly());
}

TEST(RenderFrameTest, StartAndFinishCheckTheirContext)
{
    svtest::RecordingRenderer renderer;
    const RCPtr<SV::LRenderContextInfo> first = renderer.MakeContext();
    const RCPtr<SV::LRenderContextInfo> second = renderer.MakeContext();
    const std::string mismatch = "Runtime Error : RenderFinish context does not match RenderStart "
                                 "context : SV::LRenderer::RenderFinish : Renderer\\Renderer : "
                                 "Line 250";

    EXPECT_EQ(RuntimeErrorOf([&] { renderer.RenderStart(nullptr); }),
              "Runtime Error : Render context is NULL : SV::LRenderer::RenderStart : "
              "Renderer\\Renderer : Line 231");
    EXPECT_EQ(RuntimeErrorOf([&] { renderer.RenderFinish(first); }), mismatch);

    EXPECT_EQ(renderer.RenderStart(first), 0);
    EXPECT_EQ(renderer.RenderStart(second), 0);
    EXPECT_EQ(renderer.GetCurrentContext(), second.Get());
    // A context anywhere on the stack counts as entered, not only the current one.
    EXPECT_EQ(RuntimeErrorOf([&] { renderer.RenderStart(first); }),
              "Runtime Error : Render context reentered. : SV::LRenderer::RenderStart : "
              "Renderer\\Renderer : Line 237");
    EXPECT_EQ(RuntimeErrorOf([&] { renderer.RenderFinish(first); }), mismatch);
    EXPECT_EQ(renderer.GetCurrentContext(), second.Get());

    EXPECT_EQ(renderer.RenderFinish(second), 0);
    EXPECT_EQ(renderer.GetCurrentContext(), first.Get());
    EXPECT_EQ(renderer.RenderFinish(first), 0);
    EXPECT_EQ(renderer.GetCurrentContext(), nullptr);
    // The stack held its own references and gave them back.
    EXPECT_EQ(first->GetRefCount(), 1);
}

TEST(RenderFrameTest, StateOperationsOutsideAFrameDoNothing)
{
    svtest::RecordingRenderer renderer;
    renderer.PushClipState();
    renderer.PushClipRect({1, 1, 5, 5}, {0, 0, 3, 3}, SV::LStencil::Create(2, 2), true);
    renderer.PushClipOffset({4, 4});
    renderer.Translate({1, 1});
    renderer.SetClipRect({0, 0, 1, 1});
    renderer.PopClip();
    EXPECT_EQ(renderer.SetViewport({0, 0, 1, 1}), 0);
    EXPECT_EQ(renderer.GetCurrentState(), nullptr);
    for (const auto& call : renderer.GetCalls()) {
        EXPECT_FALSE(call.inFrame) << call.Text();
    }
}

TEST_F(RendererStateTest, RelativeClipRectIsLimitedToTheBoundsAndKeptRelativeToTheNewOrigin)
{
    const RCPtr<SV::LStencil> stencil = SV::LStencil::Create(7, 8);
    State().opacity = 0.25f;
    renderer->SetStencil(stencil);
    renderer->ClearCalls();

    renderer->PushClipRect({10, 10, 100, 50}, {0, 0, 30, 30}, nullptr, true);
    EXPECT_EQ(State().origin, (PointT<double>{10, 10}));
    EXPECT_EQ(State().clip, (RectT<double>{0, 0, 20, 20}));
    // The back end sets its clip under the old origin, then moves the origin.
    EXPECT_EQ(renderer->CallTexts(),
              (std::vector<std::string>{
                  "SetClipRect((10, 10, 20, 20))",
                  "Translate((10, 10))",
                  "PushClipRect((10, 10, 100, 50), (0, 0, 30, 30), no stencil, relative)",
              }));

    State().opacity = 0.5f;
    State().stencilApplied = true;
    renderer->PopClip();
    EXPECT_EQ(State().origin, (PointT<double>{0, 0}));
    EXPECT_EQ(State().clip, kDefaultClip);
    EXPECT_EQ(State().opacity, 0.25f);
    EXPECT_EQ(State().stencil, stencil);
    EXPECT_FALSE(State().stencilApplied);
    EXPECT_TRUE(context->GetSavedStates().empty());
}

TEST_F(RendererStateTest, AbsoluteClipRectMovesTheOriginOntoTheBoundsByAWholeOffset)
{
    renderer->Translate({10.4, 0});
    renderer->PushClipRect({30, 5, 50, 50}, {1.5, 2.25, 10, 10}, nullptr, false);
    // The offset 19.6 is rounded to 20 before it is added.
    EXPECT_EQ(State().origin, (PointT<double>{30.4, 5}));
    // The clip is taken as given in the new coordinates, snapped to whole units.
    EXPECT_EQ(State().clip, (RectT<double>{1, 2, 10, 10}));
    renderer->PopClip();
    EXPECT_EQ(State().origin, (PointT<double>{10.4, 0}));
}

TEST_F(RendererStateTest, AnEmptyIntersectionClipsEverything)
{
    struct Case
    {
        RectT<double> bounds;
        RectT<double> clip;
    };
    const Case cases[] = {
        {{0, 0, 10, 10}, {20, 20, 5, 5}}, // apart on both axes: the gap would be 10 x 10
        {{0, 0, 10, 10}, {10, 0, 5, 5}},  // touching edges share no area
        {{0, 0, 10, 10}, {2, 2, 0, 5}},   // a clip of no width
    };
    for (const Case& c : cases) {
        renderer->PushClipRect(c.bounds, c.clip, nullptr, true);
        EXPECT_EQ(State().clip.width, 0.0) << ToText(c.clip);
        EXPECT_EQ(State().clip.height, 0.0) << ToText(c.clip);
        renderer->PopClip();
    }

    // Nested inside a clip it does not meet, a child clips everything as well.
    renderer->PushClipRect({0, 0, 10, 10}, {0, 0, 10, 10}, nullptr, true);
    renderer->PushClipRect({20, 20, 10, 10}, {20, 20, 10, 10}, nullptr, true);
    EXPECT_EQ(State().clip.width, 0.0);
    renderer->PopClip();
    renderer->PopClip();
}

TEST_F(RendererStateTest, SnappingCountsAHairBelowAWholeNumberAsThatNumber)
{
    renderer->PushClipRect({0, 0, 100, 100}, {2.9999999999999996, 0.5, 4.9999999999999996, 9.7},
                           nullptr, true);
    EXPECT_EQ(State().clip, (RectT<double>{3, 0, 5, 10}));
    renderer->PopClip();
}

TEST_F(RendererStateTest, ClipOffsetNeedsASavedStateAndKeepsTheClipOnTheTarget)
{
    renderer->PushClipOffset({5, 5});
    EXPECT_TRUE(renderer->CallTexts("Translate").empty());
    EXPECT_TRUE(context->GetSavedStates().empty());
    EXPECT_EQ(State().origin, (PointT<double>{0, 0}));

    renderer->PushClipRect({10, 10, 100, 50}, {10, 10, 100, 50}, nullptr, true);
    renderer->PushClipOffset({2.5, -2.5});
    EXPECT_EQ(State().origin, (PointT<double>{13, 7}));
    EXPECT_EQ(State().clip, (RectT<double>{-3, 3, 100, 50}));
    EXPECT_EQ(context->GetSavedStates().size(), 2u);
    renderer->PopClip();
    EXPECT_EQ(State().origin, (PointT<double>{10, 10}));
    EXPECT_EQ(State().clip, (RectT<double>{0, 0, 100, 50}));
    renderer->PopClip();
    renderer->PopClip(); // one too many: nothing
    EXPECT_EQ(State().origin, (PointT<double>{0, 0}));
    EXPECT_EQ(State().clip, kDefaultClip);
}

TEST_F(RendererStateTest, ASecondStencilIsReplacedByAFreshOneOfItsSize)
{
    const RCPtr<SV::LStencil> first = SV::LStencil::Create(10, 20);
    const RCPtr<SV::LStencil> second = SV::LStencil::Create(30, 40);

    renderer->PushClipRect({0, 0, 50, 50}, {0, 0, 50, 50}, first, true);
    EXPECT_EQ(State().stencil, first);
    EXPECT_TRUE(State().stencilApplied);

    renderer->PushClipRect({0, 0, 50, 50}, {0, 0, 50, 50}, second, true);
    ASSERT_TRUE(State().stencil);
    EXPECT_NE(State().stencil, second);
    EXPECT_NE(State().stencil, first);
    EXPECT_EQ(State().stencil->GetWidth(), 30);
    EXPECT_EQ(State().stencil->GetHeight(), 40);
    EXPECT_EQ(State().stencil->GetRect(), (RectT<int32_t>{0, 0, 30, 40}));

    renderer->PopClip();
    EXPECT_EQ(State().stencil, first);
    EXPECT_TRUE(State().stencilApplied);
    renderer->PopClip();
    EXPECT_FALSE(State().stencil);
    EXPECT_FALSE(State().stencilApplied);
}

TEST_F(RendererStateTest, SettingTheSameStencilKeepsIt)
{
    const RCPtr<SV::LStencil> stencil = SV::LStencil::Create(1, 1);
    renderer->SetStencil(stencil);
    // The log's copies of the state hold the stencil too.
    renderer->ClearCalls();
    const int32_t references = stencil->GetRefCount();
    renderer->SetStencil(stencil);
    renderer->ClearCalls();
    EXPECT_EQ(stencil->GetRefCount(), references);
    renderer->SetStencil(nullptr);
    renderer->ClearCalls();
    EXPECT_EQ(stencil->GetRefCount(), references - 1);
}

TEST_F(RendererStateTest, ViewportSetsTheTarget)
{
    EXPECT_EQ(renderer->SetViewport({5, 6, 7, 8}), 0);
    EXPECT_EQ(context->GetTarget(), (RectT<int32_t>{5, 6, 7, 8}));
}

TEST_F(RendererStateTest, EachAutoClipFlavourPopsWhatItPushed)
{
    SV::ClipRequest request;
    request.bounds = {10, 10, 20, 20};
    request.clip = {0, 0, 100, 100};
    request.relative = true;
    request.offset = {3, 4};
    const std::pair<int32_t, PointT<double>> flavours[] = {{0, {0, 0}}, {1, {10, 10}}};
    for (const auto& [flavor, origin] : flavours) {
        request.flavor = flavor;
        {
            SV::CAutoClip clip(renderer, request);
            EXPECT_EQ(State().origin, origin) << flavor;
            EXPECT_EQ(context->GetSavedStates().size(), 1u);
        }
        EXPECT_TRUE(context->GetSavedStates().empty()) << flavor;
        EXPECT_EQ(State().origin, (PointT<double>{0, 0}));
    }

    {
        SV::CAutoClip outer(renderer);
        request.flavor = 2;
        SV::CAutoClip inner(renderer, request);
        EXPECT_EQ(State().origin, (PointT<double>{3, 4}));
        SV::CAutoClip bounded(renderer, {1, 1, 5, 5}, {0, 0, 2, 2}, nullptr);
        EXPECT_EQ(State().origin, (PointT<double>{4, 5}));
        EXPECT_EQ(context->GetSavedStates().size(), 3u);
    }
    EXPECT_TRUE(context->GetSavedStates().empty());
    EXPECT_EQ(State().origin, (PointT<double>{0, 0}));

    request.flavor = 3;
    EXPECT_EQ(RuntimeErrorOf([&] { SV::CAutoClip clip(renderer, request); }),
              "Runtime Error : Unknown PushClip flavor : SV::CAutoClip::CAutoClip : "
              "Renderer\\Renderer : Line 404");
    EXPECT_TRUE(context->GetSavedStates().empty());
}

TEST_F(RendererStateTest, NestedContextsEachKeepTheirOwnState)
{
    const RCPtr<SV::LRenderContextInfo> inner = renderer->MakeContext();
    renderer->PushClipRect({5, 5, 10, 10}, {5, 5, 10, 10}, nullptr, true);
    renderer->RenderStart(inner);
    EXPECT_EQ(renderer->GetCurrentState()->origin, (PointT<double>{0, 0}));
    renderer->Translate({1, 1});
    renderer->RenderFinish(inner);
    EXPECT_EQ(inner->GetState().origin, (PointT<double>{1, 1}));
    EXPECT_EQ(State().origin, (PointT<double>{5, 5}));
    renderer->PopClip();
}

TEST_F(RendererStateTest, FilledRectDrawsOnlyTheVisibleParts)
{
    const SV::ColorT clear{1, 1, 1, 0};
    const SV::ColorT red{1, 0, 0, 1};
    const SV::ColorT blue{0, 0, 1, 1};
    renderer->DrawFilledRect({1, 2, 3, 4}, red, blue, 2.0f);
    renderer->DrawFilledRect({1, 2, 3, 4}, clear, blue, 1.0f);
    renderer->DrawFilledRect({1, 2, 3, 4}, red, clear, 1.0f);
    EXPECT_EQ(renderer->CallTexts("FillRect"),
              (std::vector<std::string>{"FillRect((1, 2, 3, 4), #FFFF0000, blend)",
                                        "FillRect((1, 2, 3, 4), #FFFF0000, blend)"}));
    EXPECT_EQ(renderer->CallTexts("DrawRect"),
              (std::vector<std::string>{"DrawRect((1, 2, 3, 4), #FF0000FF, 2)",
                                        "DrawRect((1, 2, 3, 4), #FF0000FF, 1)"}));
}

} // namespace
