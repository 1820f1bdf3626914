#include "RootWindowFixture.h"

#include "DialogDouble.h"
#include "RecordingRenderer.h"
#include "Renderer/RenderContextInfo.h"
#include "ResultCodes.h"

#include <gtest/gtest.h>

using namespace SV;
using svtest::RootWindowFixture;

namespace {

using Edges = RectRegion::Edges;

std::vector<Edges> Rects(const RectRegion& region)
{
    std::vector<Edges> out;
    for (const RectRegion::Node* n = region.GetFirst(); n != nullptr; n = n->next) {
        out.push_back({n->left, n->top, n->right, n->bottom});
    }
    return out;
}

class RootWindowPaintingTest : public RootWindowFixture
{
protected:
    RootWindowPaintingTest()
    {
        RectRegion drop;
        window->TakeDirtyRegion(drop);
        services.invalidated.clear();
    }
};

TEST_F(RootWindowPaintingTest, InvalidationIsClippedToTheClientArea)
{
    window->Invalidate(RectT<int32_t>{-10, -10, 20, 20});
    ASSERT_EQ(services.invalidated.size(), 1u);
    EXPECT_EQ(services.invalidated[0], (RectT<int32_t>{0, 0, 10, 10}));
    window->Invalidate(RectT<int32_t>{300, 10, 20, 20});
    window->Invalidate(RectT<int32_t>{10, 10, 0, 5});
    EXPECT_EQ(services.invalidated.size(), 1u);
    RectRegion taken;
    window->TakeDirtyRegion(taken);
    EXPECT_EQ(Rects(taken), (std::vector<Edges>{{0, 0, 10, 10}}));
    EXPECT_TRUE(window->GetDirtyRegion().IsEmpty());
}

TEST_F(RootWindowPaintingTest, OverlappingInvalidationsGiveARegionWithoutOverlap)
{
    window->Invalidate(RectT<int32_t>{0, 0, 20, 20});
    window->Invalidate(RectT<int32_t>{10, 10, 20, 20});
    RectRegion taken;
    window->TakeDirtyRegion(taken);
    int64_t area = 0;
    const std::vector<Edges> rects = Rects(taken);
    for (size_t i = 0; i < rects.size(); ++i) {
        area += int64_t(rects[i].right - rects[i].left) * (rects[i].bottom - rects[i].top);
        for (size_t j = i + 1; j < rects.size(); ++j) {
            const bool overlap = rects[i].left < rects[j].right && rects[j].left < rects[i].right &&
                                 rects[i].top < rects[j].bottom && rects[j].top < rects[i].bottom;
            EXPECT_FALSE(overlap);
        }
    }
    EXPECT_EQ(area, 400 + 400 - 100);
}

TEST_F(RootWindowPaintingTest, FullRedrawFlagMakesTheNextPaintCoverTheClientArea)
{
    window->SetFullRedraw();
    RectRegion taken;
    window->TakeDirtyRegion(taken);
    EXPECT_EQ(Rects(taken), (std::vector<Edges>{{0, 0, 200, 100}}));
    window->TakeDirtyRegion(taken);
    EXPECT_TRUE(taken.IsEmpty());
}

TEST_F(RootWindowPaintingTest, SizeClampKeepsTheMainControlsLimits)
{
    for (int axis = 0; axis < 2; ++axis) {
        LayoutSpec minimum;
        LayoutSpec maximum;
        main->GetLayout()->GetAxisLimits(axis, minimum, maximum);
        minimum.absolute = axis == 0 ? 400.0 : 300.0;
        main->GetLayout()->SetAxisLimits(axis, minimum, maximum);
    }
    PointT<int32_t> size{100, 100};
    EXPECT_EQ(window->ConstrainSize(size), 1);
    EXPECT_EQ(size, (PointT<int32_t>{400, 300}));
    size = {500, 400};
    EXPECT_EQ(window->ConstrainSize(size), 0);
    EXPECT_EQ(size, (PointT<int32_t>{500, 400}));

    window->SetMainControl(nullptr);
    size = {0, 0};
    EXPECT_EQ(window->ConstrainSize(size), 1);
    EXPECT_EQ(size, (PointT<int32_t>{1, 1}));
}

TEST_F(RootWindowPaintingTest, CloseRequestsWaitForTheIdlePassAndTheLastResultWins)
{
    EXPECT_EQ(window->RequestClose(1), S_OK);
    EXPECT_EQ(window->RequestClose(2), S_OK);
    EXPECT_TRUE(services.endModalResults.empty());
    window->OnIdle(true);
    EXPECT_EQ(services.endModalResults, (std::vector<int32_t>{2}));
    window->OnIdle(true);
    EXPECT_EQ(services.endModalResults.size(), 1u);

    RCPtr<LRootWindow> headless(new LRootWindow());
    EXPECT_EQ(headless->RequestClose(1), E_FAIL);
    headless->CloseWindow();
    EXPECT_FALSE(headless->IsCloseRequested());
}

TEST_F(RootWindowPaintingTest, ClosingADialogsWindowCancelsTheDialogAtTheNextIdlePass)
{
    RCPtr<svtest::DialogDouble> dialog(new svtest::DialogDouble(nullptr, u"dialog"));
    window->SetMainControl(RCPtr<LControl>(dialog));
    window->CloseWindow();
    EXPECT_EQ(dialog->results, (std::vector<int32_t>{2}));
    EXPECT_TRUE(services.endModalResults.empty()) << "never inside the handler that asked";
    window->OnIdle(false);
    EXPECT_EQ(services.endModalResults, (std::vector<int32_t>{2}));
    // A dialog that refuses to end keeps its window.
    dialog->refuses = true;
    window->CloseWindow();
    window->OnIdle(false);
    EXPECT_EQ(services.endModalResults.size(), 1u);
    // Any other window closes with result 0.
    window->SetMainControl(nullptr);
    window->CloseWindow();
    window->OnIdle(false);
    EXPECT_EQ(services.endModalResults, (std::vector<int32_t>{2, 0}));
}

TEST_F(RootWindowPaintingTest, InstallingAMainControlInvalidatesTheClientAndFillsIt)
{
    RCPtr<svtest::InputControl> other = Make(nullptr, u"other", 5, 5, 10, 10);
    window->SetMainControl(RCPtr<LControl>(other));
    EXPECT_EQ(other->GetRect(), (RectT<double>{0, 0, 200, 100}));
    EXPECT_EQ(services.invalidated.back(), (RectT<int32_t>{0, 0, 200, 100}));
    // The old main control left the window.
    EXPECT_FALSE(main->GetRootWindowRef());
}

TEST_F(RootWindowPaintingTest, ReleasingTheLastReferenceBreaksTheWindowsCycles)
{
    RCPtr<LRootWindow> own(new LRootWindow(nullptr, &services));
    RCPtr<svtest::InputControl> top = Make(nullptr, u"top", 0, 0, 10, 10);
    own->SetMainControl(RCPtr<LControl>(top));
    EXPECT_EQ(top->GetRootWindowRef().Get(), own.Get());
    own = nullptr;
    EXPECT_FALSE(top->GetRootWindowRef());
}

} // namespace

namespace {

TEST_F(RootWindowPaintingTest, UnclippedControlsAreDrawnAfterTheTreeInZOrder)
{
    RCPtr<svtest::RecordingRenderer> renderer(new svtest::RecordingRenderer());
    RCPtr<LRootWindow> painted(new LRootWindow(renderer, &services));
    RCPtr<svtest::InputControl> top = Make(nullptr, u"top", 0, 0, 200, 100);
    painted->SetMainControl(RCPtr<LControl>(top));
    auto unclipped = [](int32_t z) {
        return [z](LLayoutDescriptor& l) {
            l.clipToParent = false;
            l.zOrder = z;
        };
    };
    Make(top, u"high", 0, 0, 30, 30, unclipped(9999));
    Make(top, u"low", 50, 0, 30, 30, unclipped(0));
    const RCPtr<LRenderContextInfo> context = renderer->MakeContext({0, 0, 200, 100});
    renderer->RenderStart(context);
    RectRegion region;
    region.AddRect({0, 0, 200, 100});
    renderer->ClearCalls();
    painted->Paint(region);
    // The window's own clips: the pass clip, then each unclipped control at its parent's
    // content origin, the one of Z order 0 first.
    std::vector<std::string> windowClips;
    for (const std::string& push : renderer->CallTexts("PushClipRect")) {
        if (push.find("absolute") != std::string::npos) {
            windowClips.push_back(push);
        }
    }
    EXPECT_EQ(windowClips,
              (std::vector<std::string>{
                  "PushClipRect((0, 0, 200, 100), (0, 0, 200, 100), no stencil, absolute)",
                  "PushClipRect((0, 0, 0, 0), (50, 0, 30, 30), no stencil, absolute)",
                  "PushClipRect((0, 0, 0, 0), (0, 0, 30, 30), no stencil, absolute)"}));
    EXPECT_EQ(renderer->CallTexts("PushClipRect").size(), renderer->CallTexts("PopClip").size());

    // A paint that finds a state still pushed draws nothing and asks for a whole repaint.
    renderer->PushClipState();
    renderer->ClearCalls();
    painted->Paint(region);
    EXPECT_TRUE(renderer->CallTexts("PushClipRect").empty());
    EXPECT_EQ(services.wholeInvalidations, 1);
    renderer->PopClip();
    renderer->RenderFinish(context);
    painted->SetMainControl(nullptr);
}

} // namespace
