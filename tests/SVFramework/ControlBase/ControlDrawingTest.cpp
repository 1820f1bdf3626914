#include "ControlApplicationDouble.h"
#include "ControlBase/VisualPartDescriptor.h"
#include "ControlFixtures.h"
#include "RecordingRenderer.h"
#include "ResultCodes.h"
#include "Utilities/Graphics/Colorizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <functional>

#include <string>
#include <vector>

using namespace SV;
using svtest::At;
using svtest::MakeControl;

namespace {

RCPtr<LDockedPart> ColourDocked(uint32_t argb, int32_t flags, int32_t l, int32_t t, int32_t r,
                                int32_t b, int32_t size = 4)
{
    ColorT color;
    color.FromARGB(argb);
    RCPtr<LVisualPartDescriptor> part(new LVisualPartDescriptor(
        u"part", PartImageSource{}, ResizeType::Stretch,
        RCPtr<LColorizer>(new LColorizer(u"c", LColorizer::kSolid, color, color, 0, 0, 0, 0)), size,
        size, 1.0f, PartImageSource{}));
    return RCPtr<LDockedPart>(new LDockedPart(part, flags, l, t, r, b, 0, 0, 0, 0));
}

// A look with a client part inset by `inset`, an optional frame piece docked at the top left and
// an optional label area over the whole look.
RCPtr<LLookDescriptor> Look(uint32_t client, int32_t inset = 0, uint32_t frame = 0,
                            uint32_t text = 0)
{
    RCPtr<LLookDescriptor> look(new LLookDescriptor(u"look"));
    look->SetClientPart(
        ColourDocked(client, LDockedPart::kAllOffsets, inset, inset, -inset, -inset));
    if (frame != 0) {
        look->nonClientParts.Add(
            ColourDocked(frame, LDockedPart::kLeftOffset | LDockedPart::kTopOffset, 0, 0, 0, 0));
    }
    if (text != 0) {
        TextPlacement placement;
        placement.rightRel = 1.0f;
        placement.bottomRel = 1.0f;
        look->SetTextProperties(placement, ColourDocked(text, 0, 0, 0, 0, 0)->part);
    }
    return look;
}

// Counts its content hooks and remembers their clips.
class HookControl : public LControl
{
public:
    using LControl::LControl;
    int32_t OnDrawContent(const RCPtr<LRenderer>& renderer) override
    {
        contentClips.push_back(renderer->GetCurrentState()->clip);
        return 0;
    }
    std::vector<RectT<double>> contentClips;
};

class ControlDrawingTest : public ::testing::Test
{
protected:
    ControlDrawingTest()
    {
        window = app.AddRootWindow({0, 0, 400, 300});
        top = MakeControl(nullptr, u"top", At(0, 0, 400, 300));
        top->SetRootWindow(window);
        top->UpdateLayout();
        // A look that fills nothing: only controls with a shown look draw their children.
        top->AddLook(LLook::Create(Look(0x00000001), false));
        top->ShowLook(0);
        context = renderer->MakeContext({0, 0, 400, 300});
        renderer->RenderStart(context);
        dirty.AddRect({0, 0, 400, 300});
    }
    ~ControlDrawingTest() override { renderer->RenderFinish(context); }

    static RCPtr<LControl> Add(const RCPtr<LControl>& parent, const char16_t* name,
                               const std::function<void(LLayoutDescriptor&)>& setup,
                               uint32_t client = 0, int32_t inset = 0)
    {
        RCPtr<LControl> control = MakeControl(parent, name, setup);
        control->UpdateLayout();
        if (client != 0) {
            control->AddLook(LLook::Create(Look(client, inset), false));
            control->ShowLook(0);
        }
        return control;
    }

    // The fills of a pass as "colour @ origin x,y opacity".
    std::vector<std::string> Fills() const
    {
        std::vector<std::string> fills;
        for (const auto& call : renderer->GetCalls()) {
            if (call.operation == "FillRect" || call.operation == "DrawText") {
                char text[128];
                std::snprintf(text, sizeof text, "%s %s @%g,%g x%g",
                              call.operation == "DrawText" ? "text" : "fill",
                              call.arguments.substr(call.arguments.find('#'), 9).c_str(),
                              call.state.origin.x, call.state.origin.y, call.state.opacity);
                fills.push_back(text);
            }
        }
        return fills;
    }

    int32_t DrawTop()
    {
        renderer->ClearCalls();
        unclipped.RemoveAll();
        return top->Draw(renderer, dirty, unclipped, false);
    }

    svtest::ControlApplicationDouble app;
    RCPtr<LRootWindow> window;
    RCPtr<LControl> top;
    RCPtr<svtest::RecordingRenderer> renderer{new svtest::RecordingRenderer()};
    RCPtr<LRenderContextInfo> context;
    RectRegion dirty;
    RCPtrArray<LControl> unclipped;
};

TEST_F(ControlDrawingTest, LooksDrawClientsThenFramesThenLabelAndChildrenPerLook)
{
    RCPtr<LControl> control = Add(top, u"c", At(10, 20, 100, 50));
    control->AddLook(LLook::Create(Look(0xFF0000AA, 0, 0xFF0000AB, 0xFF0000AC), false));
    control->AddLook(LLook::Create(Look(0xFF0000BA, 0, 0xFF0000BB, 0xFF0000BC), false));
    control->SetLookAlpha(0, 0.25f, false);
    control->SetLookAlpha(1, 0.75f, false);
    control->PropagateFont(LFont::GetFont(u"Sans", 9.0f, 0));
    control->SetText(u"Hi");
    Add(control, u"child", At(5, 5, 10, 10), 0xFF0000CC);

    EXPECT_EQ(DrawTop(), S_OK);
    EXPECT_EQ(Fills(), (std::vector<std::string>{
                           "fill #FF0000AA @10,20 x0.25",
                           "fill #FF0000BA @10,20 x0.75",
                           "fill #FF0000AB @10,20 x0.25",
                           "fill #FF0000BB @10,20 x0.75",
                           "text #FF0000AC @10,20 x0.25",
                           "fill #FF0000CC @15,25 x0.25",
                           "text #FF0000BC @10,20 x0.75",
                           "fill #FF0000CC @15,25 x0.75",
                       }));
    // Every push was popped.
    EXPECT_TRUE(renderer->GetCurrentContext()->GetSavedStates().empty());
}

TEST_F(ControlDrawingTest, ControlsWithoutShownLooksDrawNoChildrenButRunTheirHooks)
{
    RCPtr<HookControl> hooked(new HookControl(top, u"hooked"));
    RCPtr<LLayoutDescriptor> layout(new LLayoutDescriptor());
    At(10, 10, 50, 50)(*layout);
    hooked->SetLayout(layout);
    hooked->UpdateLayout();
    hooked->AddLook(LLook::Create(Look(0xFF000001), false));
    Add(hooked, u"child", At(0, 0, 10, 10), 0xFF000002);
    // Two dirty rectangles, one of them away from the control.
    dirty.Clear();
    dirty.AddRect({0, 0, 20, 20});
    dirty.AddRect({300, 300, 310, 310});
    dirty.AddRect({40, 40, 45, 45});

    DrawTop();
    EXPECT_TRUE(Fills().empty());
    EXPECT_EQ(hooked->contentClips, (std::vector<RectT<double>>{{30, 30, 5, 5}, {0, 0, 10, 10}}));

    RCPtr<LControl> lookless = Add(top, u"lookless", At(100, 100, 50, 50));
    Add(lookless, u"child", At(0, 0, 10, 10), 0xFF000003);
    dirty.AddRect({0, 0, 400, 300});
    DrawTop();
    EXPECT_TRUE(Fills().empty());
}

TEST_F(ControlDrawingTest, ChildrenAreDrawnInRunsAndUnclippedOnesCollected)
{
    RCPtr<LControl> parent = Add(top, u"parent", At(0, 0, 200, 100), 0xFF000010, 5);
    parent->SetScrollOffset({0, 10});
    Add(parent, u"a1", At(0, 20, 10, 10), 0xFF0000A1);
    Add(parent, u"a2", At(20, 20, 10, 10), 0xFF0000A2);
    Add(
        parent, u"x",
        [](LLayoutDescriptor& l) {
            At(40, 20, 10, 10)(l);
            l.axes[0].docked = true;
        },
        0xFF0000B1);
    Add(
        parent, u"both",
        [](LLayoutDescriptor& l) {
            At(60, 0, 10, 10)(l);
            l.axes[0].docked = l.axes[1].docked = true;
        },
        0xFF0000D1);
    RCPtr<LControl> loose = Add(
        parent, u"loose",
        [](LLayoutDescriptor& l) {
            At(80, 0, 10, 10)(l);
            l.clipToParent = false;
        },
        0xFF0000E1);

    DrawTop();
    std::vector<std::string> fills = Fills();
    ASSERT_EQ(fills.size(), 5u);
    EXPECT_EQ(fills[1].substr(0, 14), "fill #FF0000A1");
    EXPECT_EQ(fills[2].substr(0, 14), "fill #FF0000A2");
    EXPECT_EQ(fills[3].substr(0, 14), "fill #FF0000B1");
    EXPECT_EQ(fills[4].substr(0, 14), "fill #FF0000D1");
    ASSERT_EQ(unclipped.GetCount(), 1);
    EXPECT_EQ(unclipped.At(0)->Get(), loose.Get());

    // The unclipped child belongs to the second pass only.
    renderer->ClearCalls();
    RCPtrArray<LControl> more;
    EXPECT_EQ(loose->Draw(renderer, dirty, more, false), E_INVALIDARG);
    EXPECT_TRUE(renderer->GetCalls().empty());
    EXPECT_EQ(loose->Draw(renderer, dirty, more, true), S_OK);
    EXPECT_EQ(Fills().size(), 1u);
    EXPECT_EQ(top->Draw(renderer, dirty, more, true), E_INVALIDARG);
}

TEST_F(ControlDrawingTest, EmptyClientSkipsClippedRunsButDrawsDockedChildren)
{
    // The client part is inset by half the control's size: its rectangle is empty.
    RCPtr<LControl> parent = Add(top, u"parent", At(0, 0, 20, 20), 0xFF000010, 10);
    Add(parent, u"a", At(0, 0, 10, 10), 0xFF0000A1);
    Add(
        parent, u"both",
        [](LLayoutDescriptor& l) {
            At(0, 0, 10, 10)(l);
            l.axes[0].docked = l.axes[1].docked = true;
        },
        0xFF0000D1);
    DrawTop();
    const std::vector<std::string> fills = Fills();
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].substr(0, 14), "fill #FF0000D1");
}

TEST_F(ControlDrawingTest, ClippedAwayControlsStillHandOverTheirUnclippedDescendants)
{
    RCPtr<LControl> box = Add(top, u"box", At(0, 0, 50, 50), 0xFF000001);
    RCPtr<LControl> outside = Add(box, u"outside", At(100, 0, 20, 20), 0xFF000002);
    RCPtr<LControl> loose = Add(
        outside, u"loose",
        [](LLayoutDescriptor& l) {
            At(0, 0, 5, 5)(l);
            l.clipToParent = false;
        },
        0xFF000003);
    DrawTop();
    EXPECT_EQ(Fills().size(), 1u);
    ASSERT_EQ(unclipped.GetCount(), 1);
    EXPECT_EQ(unclipped.At(0)->Get(), loose.Get());

    // Outside the dirty region the same holds.
    dirty.Clear();
    dirty.AddRect({300, 200, 310, 210});
    DrawTop();
    EXPECT_TRUE(Fills().empty());
    EXPECT_EQ(unclipped.GetCount(), 1);
}

TEST_F(ControlDrawingTest, LookRegionsLimitWhereALookDraws)
{
    RCPtr<LControl> control = Add(top, u"c", At(10, 10, 100, 40), 0xFF000001);
    RectRegion region;
    region.AddRect({0, 0, 30, 40});
    control->SetLookRegion(0, region);
    DrawTop();
    ASSERT_EQ(Fills().size(), 1u);
    const auto& calls = renderer->GetCalls();
    const auto fill = std::find_if(calls.begin(), calls.end(),
                                   [](const auto& c) { return c.operation == "FillRect"; });
    EXPECT_EQ(fill->state.clip, (RectT<double>{0, 0, 30, 40}));
}

TEST_F(ControlDrawingTest, InvalidationTravelsToTheRootInItsCoordinates)
{
    RCPtr<LControl> parent = Add(top, u"parent", At(100, 100, 200, 150), 0xFF000001, 2);
    parent->SetScrollOffset({0, 20});
    RCPtr<LControl> loose = Add(parent, u"loose", [](LLayoutDescriptor& l) {
        At(5, 5, 30, 30)(l);
        l.clipToParent = false;
    });
    window->GetDirtyRegion().Clear();
    EXPECT_EQ(loose->Invalidate({0, 0, 10, 10}, false), S_OK);
    RectRegion::Edges bounds;
    ASSERT_TRUE(window->GetDirtyRegion().GetBounds(bounds));
    EXPECT_EQ(bounds, (RectRegion::Edges{107, 87, 117, 97}));

    // Half outside its clipping parent: only the inside half arrives.
    RCPtr<LControl> half = Add(parent, u"half", At(190, 40, 20, 10));
    window->GetDirtyRegion().Clear();
    EXPECT_EQ(half->Invalidate({0, 0, 20, 10}, true), S_OK);
    ASSERT_TRUE(window->GetDirtyRegion().GetBounds(bounds));
    EXPECT_EQ(bounds, (RectRegion::Edges{292, 122, 300, 132}));

    // Hidden: nothing.
    window->GetDirtyRegion().Clear();
    half->SetVisible(false);
    window->GetDirtyRegion().Clear();
    EXPECT_EQ(half->Invalidate({0, 0, 20, 10}, true), S_FALSE);
    EXPECT_TRUE(window->GetDirtyRegion().IsEmpty());
}

TEST_F(ControlDrawingTest, MovingToAnotherParentRedrawsWhereTheControlWasAndWhereItGoes)
{
    RCPtr<LControl> left = Add(top, u"left", At(0, 0, 100, 100));
    RCPtr<LControl> right = Add(top, u"right", At(200, 0, 100, 100));
    RCPtr<LControl> child = Add(left, u"child", At(10, 20, 30, 40));
    window->GetDirtyRegion().Clear();
    EXPECT_EQ(child->SetParent(right), S_OK);
    const RectRegion& dirty = window->GetDirtyRegion();
    RectRegion::Edges bounds;
    ASSERT_TRUE(dirty.GetBounds(bounds));
    EXPECT_EQ(bounds, (RectRegion::Edges{10, 20, 240, 60}));
    EXPECT_TRUE(dirty.IntersectsRect(RectRegion::Edges{10, 20, 40, 60})) << "where it was";
    EXPECT_TRUE(dirty.IntersectsRect(RectRegion::Edges{210, 20, 240, 60})) << "where it goes";
    EXPECT_FALSE(dirty.IntersectsRect(RectRegion::Edges{100, 0, 200, 100}));
}

TEST_F(ControlDrawingTest, ClippingAChildOrUnclippingItRedrawsItsPartOutsideTheParent)
{
    RCPtr<LControl> parent = Add(top, u"parent", At(100, 100, 50, 50));
    RCPtr<LControl> child = Add(parent, u"child", At(30, 30, 60, 60));
    for (const bool clip : {false, true}) {
        window->GetDirtyRegion().Clear();
        child->SetClipToParent(clip);
        RectRegion::Edges bounds;
        ASSERT_TRUE(window->GetDirtyRegion().GetBounds(bounds)) << clip;
        EXPECT_EQ(bounds, (RectRegion::Edges{130, 130, 190, 190})) << clip;
    }
}

TEST_F(ControlDrawingTest, ANewLabelTextRedrawsTheControlAndTheSameTextDoesNot)
{
    RCPtr<LControl> label = Add(top, u"label", At(20, 30, 60, 16));
    window->GetDirtyRegion().Clear();
    EXPECT_TRUE(label->SetLabelText(WideString(u"Channel 10"), false));
    RectRegion::Edges bounds;
    ASSERT_TRUE(window->GetDirtyRegion().GetBounds(bounds));
    EXPECT_EQ(bounds, (RectRegion::Edges{20, 30, 80, 46}));

    window->GetDirtyRegion().Clear();
    EXPECT_FALSE(label->SetLabelText(WideString(u"Channel 10"), true));
    EXPECT_TRUE(window->GetDirtyRegion().IsEmpty());
}

TEST_F(ControlDrawingTest, ClippingStopsAtTheFirstAncestorThatDoesNotClip)
{
    RCPtr<LControl> small = Add(top, u"small", At(0, 0, 30, 30));
    RCPtr<LControl> loose = Add(small, u"loose", [](LLayoutDescriptor& l) {
        At(0, 0, 60, 60)(l);
        l.clipToParent = false;
    });
    RCPtr<LControl> inner = Add(loose, u"inner", At(40, 40, 40, 40));
    window->GetDirtyRegion().Clear();
    inner->Invalidate({0, 0, 40, 40}, true);
    RectRegion::Edges bounds;
    ASSERT_TRUE(window->GetDirtyRegion().GetBounds(bounds));
    EXPECT_EQ(bounds, (RectRegion::Edges{40, 40, 60, 60}));
}

TEST_F(ControlDrawingTest, TransparencyFollowsTheShownLooks)
{
    RCPtr<LControl> control = Add(top, u"c", At(0, 0, 20, 20));
    EXPECT_TRUE(control->IsTransparentAt({5, 5}));
    EXPECT_EQ(control->GetColorAtPoint({5, 5}, -1), 0x00FFFFFFu);
    control->AddLook(LLook::Create(Look(0x80000000), false));
    EXPECT_TRUE(control->IsTransparentAt({5, 5}));
    control->ShowLook(0);
    EXPECT_FALSE(control->IsTransparentAt({5, 5}));
    EXPECT_EQ(control->GetColorAtPoint({5, 5}, 0), 0x80000000u);
}

TEST_F(ControlDrawingTest, ChildrenDetachedLaterAreHiddenAtOnceAndGoneAtIdle)
{
    RCPtr<LControl> parent = Add(top, u"parent", At(0, 0, 50, 50));
    RCPtr<LControl> child = Add(parent, u"child", At(0, 0, 10, 10));
    RCPtr<LControl> stranger = Add(top, u"stranger", At(0, 0, 10, 10));
    EXPECT_EQ(parent->DetachChildLater(stranger), E_INVALIDARG);
    EXPECT_TRUE(stranger->IsVisible(false));

    EXPECT_EQ(parent->DetachChildLater(child), S_OK);
    EXPECT_FALSE(child->IsVisible(false));
    EXPECT_EQ(child->GetParent().Get(), parent.Get());
    EXPECT_EQ(parent->GetPendingDetach().GetCount(), 1);
    EXPECT_EQ(parent->DetachPendingChildren(), S_OK);
    EXPECT_FALSE(child->GetParent());
    EXPECT_EQ(parent->GetIdleRequests(), 0);
    EXPECT_EQ(parent->GetPendingDetach().GetCount(), 0);
}

TEST_F(ControlDrawingTest, EffectiveZOrderTakesTheUnclippedAncestors)
{
    RCPtr<LControl> loose = Add(top, u"loose", [](LLayoutDescriptor& l) {
        At(0, 0, 50, 50)(l);
        l.clipToParent = false;
        l.zOrder = 7;
    });
    RCPtr<LControl> clipped = Add(loose, u"clipped", At(0, 0, 10, 10));
    EXPECT_EQ(clipped->GetEffectiveZOrder(), 7);
    EXPECT_EQ(top->GetEffectiveZOrder(), INT_MIN);
}

} // namespace
