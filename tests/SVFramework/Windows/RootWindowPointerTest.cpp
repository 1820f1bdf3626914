#include "Notification/NotificationNames.h"
#include "RootWindowFixture.h"

#include "Controls/ControlTypes.h"
#include "Controls/ToolTip.h"
#include "ResultCodes.h"

#include <gtest/gtest.h>

using namespace SV;
using svtest::LogRecorder;
using svtest::RootWindowFixture;

namespace {

using Log = std::vector<std::string>;

class RootWindowPointerTest : public RootWindowFixture
{};

TEST_F(RootWindowPointerTest, ClickRunsHooksNotificationsCaptureAndClickInOrder)
{
    RCPtr<LogRecorder> recorder(new LogRecorder(log));
    recorder->Listen(RCPtr<LControl>(a),
                     {kNidMouseDown, kNidMouseUp, kNidLeftClick, kNidCaptureConditionChange});
    Move(20, 20);
    log.clear();
    Button(0, 1, 20, 20, 1);
    EXPECT_EQ(window->GetCaptureControl().Get(), a.Get());
    Button(1, 1, 20, 20, 0);
    EXPECT_EQ(log, (Log{"a:down", "a:NID_MOUSE_DOWN", "a:NID_CAPTURE_CONDITION_CHANGE", "a:up",
                        "a:NID_MOUSE_UP", "a:capture lost", "a:NID_CAPTURE_CONDITION_CHANGE",
                        "a:NID_LEFT_CLICK"}));
    EXPECT_FALSE(window->GetCaptureControl());
    EXPECT_FALSE(a->HasCapture());
    // The press point reached the control in its own coordinates.
    const auto* down = dynamic_cast<const LMouseButtonParam*>(recorder->payloads[0].Get());
    ASSERT_NE(down, nullptr);
    EXPECT_EQ(down->mX, 10);
    EXPECT_EQ(down->mY, 10);
}

TEST_F(RootWindowPointerTest, ReleaseWithoutCaptureHolderReachesNoControl)
{
    Move(20, 20);
    log.clear();
    Button(1, 1, 20, 20, 0);
    EXPECT_TRUE(log.empty());
}

TEST_F(RootWindowPointerTest, BadButtonSendsNothingButStillMovesFirstAndHidesTip)
{
    Move(20, 20);
    log.clear();
    services.cursor = {20, 20};
    window->OnMouseButton(0, 3, 0, {25, 20}, 0);
    EXPECT_EQ(log, (Log{"a:move 15,10"}));
    EXPECT_FALSE(window->GetCaptureControl());
}

TEST_F(RootWindowPointerTest, InactiveWindowIgnoresPointerButKeepsKeys)
{
    a->SetFocusable(false);
    a->SetFocus(true);
    services.active = false;
    log.clear();
    Move(20, 20);
    Button(0, 1, 20, 20, 1);
    window->OnMouseWheel({20, 20}, 0, 0);
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(window->GetHoverControl());
    window->OnKey(Key(0x41));
    EXPECT_EQ(log, (Log{"a:key 65"}));
}

TEST_F(RootWindowPointerTest, HoverFollowsThePointerAndStaysWithTheCaptureHolder)
{
    Move(20, 20);
    EXPECT_EQ(window->GetHoverControl().Get(), a.Get());
    Button(0, 1, 20, 20, 1);
    log.clear();
    // Over b while a holds the capture: the hover goes empty, moves still reach a.
    Move(110, 20);
    EXPECT_FALSE(window->GetHoverControl());
    // The move that starts the drag first moves to the press point.
    EXPECT_EQ(log, (Log{"a:leave", "a:move 10,10", "a:move 100,10"}));
    log.clear();
    Move(30, 20);
    EXPECT_EQ(window->GetHoverControl().Get(), a.Get());
    // Released outside: no click.
    RCPtr<LogRecorder> recorder(new LogRecorder(log));
    recorder->Listen(RCPtr<LControl>(a), {kNidLeftClick});
    Move(110, 20);
    Button(1, 1, 110, 20, 0);
    EXPECT_EQ(std::count(log.begin(), log.end(), "a:NID_LEFT_CLICK"), 0);
    // The control under the pointer gets its enter with the release, before any move.
    EXPECT_EQ(window->GetHoverControl().Get(), b.Get());
    EXPECT_EQ(log.back(), "b:enter");
    // A control hidden under the pointer hands the hover on at once.
    RCPtr<svtest::InputControl> cover = Make(main, u"cover", 100, 10, 50, 50);
    Move(111, 20);
    ASSERT_EQ(window->GetHoverControl().Get(), cover.Get());
    cover->SetVisible(false);
    EXPECT_EQ(window->GetHoverControl().Get(), b.Get());
}

TEST_F(RootWindowPointerTest, DoubleClickMarksThePressAndItsRelease)
{
    Move(20, 20);
    Button(0, 1, 20, 20, 1);
    Button(1, 1, 20, 20, 0);
    Button(2, 1, 20, 20, 1);
    Button(1, 1, 20, 20, 0);
    Button(0, 1, 20, 20, 1);
    Button(1, 1, 20, 20, 0);
    Log hooks;
    std::copy_if(log.begin(), log.end(), std::back_inserter(hooks), [](const std::string& s) {
        return s.rfind("a:down", 0) == 0 || s.rfind("a:up", 0) == 0;
    });
    EXPECT_EQ(hooks, (Log{"a:down", "a:up", "a:down double", "a:up double", "a:down", "a:up"}));
}

TEST_F(RootWindowPointerTest, ReleaseWhileAnotherButtonIsHeldKeepsTheCapture)
{
    Move(20, 20);
    Button(0, 1, 20, 20, 1);
    Button(0, 4, 20, 20, 5);
    Button(1, 1, 20, 20, 4);
    EXPECT_EQ(window->GetCaptureControl().Get(), a.Get());
    Button(1, 4, 20, 20, 0);
    EXPECT_FALSE(window->GetCaptureControl());
}

TEST_F(RootWindowPointerTest, CaptureGoesToTheNewHolderAfterTheOldOneLostIt)
{
    EXPECT_EQ(window->SetCaptureControl(nullptr), E_INVALIDARG);
    Move(20, 20);
    Button(0, 1, 20, 20, 1);
    log.clear();
    window->OnCaptureLost();
    EXPECT_EQ(log, (Log{"a:capture lost"}));
    EXPECT_FALSE(window->GetCaptureControl());
    EXPECT_FALSE(a->HasCapture());

    Button(0, 1, 20, 20, 1);
    log.clear();
    // Giving the capture to its holder again still tells it first.
    EXPECT_EQ(window->SetCaptureControl(RCPtr<LControl>(a)), S_OK);
    EXPECT_EQ(log, (Log{"a:capture lost"}));
    EXPECT_EQ(window->GetCaptureControl().Get(), a.Get());
    log.clear();
    EXPECT_EQ(window->SetCaptureControl(RCPtr<LControl>(b)), S_OK);
    EXPECT_EQ(window->GetCaptureControl().Get(), b.Get());
}

TEST_F(RootWindowPointerTest, AChildDetachedLaterGivesUpTheCaptureBeforeItIsHidden)
{
    RCPtr<LogRecorder> recorder(new LogRecorder(log));
    recorder->Listen(RCPtr<LControl>(a), {kNidVisibilityConditionChange, kNidLeftClick});
    Move(20, 20);
    Button(0, 1, 20, 20, 1);
    ASSERT_EQ(window->GetCaptureControl().Get(), a.Get());
    log.clear();
    EXPECT_EQ(main->DetachChildLater(RCPtr<LControl>(a)), S_OK);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), "a:capture lost");
    EXPECT_FALSE(a->HasCapture());
    EXPECT_FALSE(window->GetCaptureControl());
    // The release reaches nobody: the hidden control is not clicked.
    Button(1, 1, 20, 20, 0);
    EXPECT_EQ(std::count(log.begin(), log.end(), "a:NID_LEFT_CLICK"), 0);
    main->DetachPendingChildren();
}

TEST_F(RootWindowPointerTest, ScrolledContentUnderAStillPointerTakesTheHover)
{
    Move(20, 20);
    ASSERT_EQ(window->GetHoverControl().Get(), a.Get());
    log.clear();
    // b comes under the pointer.
    main->SetScrollOffset({90, 0});
    EXPECT_EQ(window->GetHoverControl().Get(), b.Get());
    EXPECT_EQ(log, (Log{"a:leave", "b:enter"}));
}

TEST_F(RootWindowPointerTest, DragStartsAtTheThresholdAndAModelessDragStillClicks)
{
    struct Case
    {
        int32_t threshold;
        int32_t moveBy;
        bool dragging;
    };
    for (const Case& c : {Case{1, 0, false}, Case{1, 1, true}, Case{5, 4, false}, Case{5, 5, true},
                          Case{0, 0, true}}) {
        SCOPED_TRACE(c.threshold * 100 + c.moveBy);
        ASSERT_EQ(a->SetDragThreshold(c.threshold), S_OK);
        Move(20, 20);
        Button(0, 1, 20, 20, 1);
        Move(20, 20 + c.moveBy);
        EXPECT_EQ(a->IsDragging(0), c.dragging);
        EXPECT_EQ(a->IsPressed(0), !c.dragging);
        RCPtr<LogRecorder> recorder(new LogRecorder(log));
        recorder->Listen(RCPtr<LControl>(a), {kNidLeftClick});
        log.clear();
        Button(1, 1, 20, 20 + c.moveBy, 0);
        EXPECT_EQ(std::count(log.begin(), log.end(), "a:NID_LEFT_CLICK"), 1);
    }
    EXPECT_EQ(a->SetDragThreshold(-1), E_INVALIDARG);
}

TEST_F(RootWindowPointerTest, UnusedWheelStepGoesToTheFocusHolderInWindowCoordinates)
{
    b->SetFocusable(false);
    b->SetFocus(true);
    Move(20, 20);
    log.clear();
    window->OnMouseWheel({20, 20}, 0, 1);
    // The focus holder routes the step up its own chain again.
    EXPECT_EQ(log, (Log{"a:wheel 20,20", "main:wheel 20,20", "b:wheel 20,20", "main:wheel 20,20"}));
    a->wheelAnswer = 0;
    log.clear();
    window->OnMouseWheel({20, 20}, 0, 0);
    EXPECT_EQ(log, (Log{"a:wheel 20,20"}));
}

TEST_F(RootWindowPointerTest, WheelOverAnOverlayPassesBeneathItAndAlwaysEnds)
{
    // An unclipped overlay over a, with a clipped child: the routing skips the whole overlay
    // once asked and ends even though the child could be found beneath it again and again.
    RCPtr<svtest::InputControl> overlay =
        Make(main, u"overlay", 0, 0, 80, 80, [](LLayoutDescriptor& l) {
            l.clipToParent = false;
            l.zOrder = 100;
        });
    RCPtr<svtest::InputControl> inner = Make(overlay, u"inner", 0, 0, 80, 80);
    Move(20, 20);
    EXPECT_EQ(window->GetHoverControl().Get(), inner.Get());
    log.clear();
    window->OnMouseWheel({20, 20}, 0, 1);
    EXPECT_EQ(log, (Log{"inner:wheel 20,20", "overlay:wheel 20,20", "a:wheel 20,20",
                        "main:wheel 20,20"}));
    a->wheelAnswer = 0;
    log.clear();
    EXPECT_EQ(inner->OnMouseWheel(CreateMouseWheelParam({20, 20}, 0, 1)), 0);
    EXPECT_EQ(inner->OnMouseWheel(nullptr), -1);
}

TEST_F(RootWindowPointerTest, HigherZOrderOverlayWinsWhateverTheDrawOrder)
{
    RCPtr<svtest::InputControl> high = Make(main, u"high", 0, 0, 80, 80, [](LLayoutDescriptor& l) {
        l.clipToParent = false;
        l.zOrder = 9999;
    });
    RCPtr<svtest::InputControl> low = Make(main, u"low", 0, 0, 80, 80, [](LLayoutDescriptor& l) {
        l.clipToParent = false;
        l.zOrder = 10;
    });
    PointT<int32_t> local;
    EXPECT_EQ(window->HitTest({20, 20}, false, local).Get(), high.Get());
    high->SetVisible(false);
    EXPECT_EQ(window->HitTest({20, 20}, false, local).Get(), low.Get());
}

TEST_F(RootWindowPointerTest, ClippedChildIsNotHitOutsideItsParent)
{
    RCPtr<svtest::InputControl> child = Make(a, u"child", 40, 40, 30, 30);
    PointT<int32_t> local;
    EXPECT_EQ(window->HitTest({55, 55}, false, local).Get(), child.Get());
    EXPECT_EQ(local, (PointT<int32_t>{5, 5}));
    // (65, 65) lies in the child's rectangle but outside a: main is found.
    EXPECT_EQ(window->HitTest({65, 65}, false, local).Get(), main.Get());
}

TEST_F(RootWindowPointerTest, ToolTipFollowsTheHoverAndStaysHiddenAfterInput)
{
    a->SetToolTip(u"tip of a", false);
    RCPtr<svtest::InputControl> inner = Make(a, u"inner", 0, 0, 10, 10);
    Move(20, 20);
    EXPECT_EQ(window->GetToolTipOwner().Get(), a.Get());
    EXPECT_EQ(std::count(log.begin(), log.end(), "a:tip on"), 1);
    window->OnKey(Key(0x41));
    EXPECT_EQ(std::count(log.begin(), log.end(), "a:tip off"), 1);
    log.clear();
    Move(25, 25);
    EXPECT_EQ(std::count(log.begin(), log.end(), "a:tip on"), 0);
    // inner has no text of its own: without the flag it shows none, with it its parent's.
    Move(12, 12);
    EXPECT_FALSE(window->GetToolTipOwner());
    inner->SetToolTip(WideString(), true);
    Move(30, 30);
    log.clear();
    Move(12, 12);
    EXPECT_EQ(window->GetToolTipOwner().Get(), a.Get());
    // The same source: the tip is neither hidden nor requested again.
    EXPECT_EQ(std::count(log.begin(), log.end(), "a:tip on"), 0);
    EXPECT_EQ(std::count(log.begin(), log.end(), "a:tip off"), 0);
}

TEST_F(RootWindowPointerTest, ShowingATipCreatesTheSkinsToolTipAndHidingRemovesIt)
{
    RegisterFrameworkControlTypes(*app.mFactory);
    // Initialised as the factory initialises a control, so that it takes idle passes.
    ASSERT_EQ(a->Initialize(), S_OK);
    a->SetToolTip(u"tip", false);
    // A skin without a tool-tip description shows no tips.
    EXPECT_EQ(a->ShowToolTip(true), S_OK);
    EXPECT_FALSE(a->FindChildControl(u"toolTip"));
    const std::string skin = "<Document><Skins><Skin Name=\"Default\">"
                             "<SubControl Class=\"Framework.ToolTip\" Name=\"toolTip\"/>"
                             "</Skin></Skins></Document>";
    ASSERT_EQ(app.mFactory->LoadSkinText(skin), S_OK);
    EXPECT_EQ(a->ShowToolTip(true), S_OK);
    const RCPtr<LControl> created = a->FindChildControl(u"toolTip");
    auto* tip = dynamic_cast<LToolTip*>(created.Get());
    ASSERT_NE(tip, nullptr);
    EXPECT_NE(tip->GetState(), LToolTip::kStateIdle) << "asked to show";
    EXPECT_TRUE(tip->GetText().EqualsText(u"tip"));
    EXPECT_EQ(a->ShowToolTip(false), S_OK);
    EXPECT_EQ(tip->GetState(), LToolTip::kStateIdle);
    EXPECT_FALSE(tip->IsVisible(false));
    // It leaves its owner at the owner's next idle pass.
    window->SendIdle();
    EXPECT_FALSE(a->FindChildControl(u"toolTip"));
}

TEST_F(RootWindowPointerTest, ControlsCursorShowsWhileThePointerIsOverItOrItHoldsTheCapture)
{
    const auto cursor = [](uintptr_t n) { return reinterpret_cast<svp::HCURSOR>(n); };
    services.shownCursor = cursor(1);
    Move(20, 20);
    // Set while the pointer is over the control: shown at once; leaving restores the old one.
    a->SetCursor(cursor(2));
    EXPECT_EQ(services.shownCursor, cursor(2));
    Move(120, 20);
    EXPECT_EQ(services.shownCursor, cursor(1));
    Move(20, 20);
    EXPECT_EQ(services.shownCursor, cursor(2));
    // Held by the capture while the pointer is elsewhere, restored when the capture ends there.
    Button(0, 1, 20, 20, 1);
    Move(120, 20);
    EXPECT_EQ(services.shownCursor, cursor(2));
    Button(1, 1, 120, 20, 0);
    EXPECT_EQ(services.shownCursor, cursor(1));
}

TEST_F(RootWindowPointerTest, WithoutMainControlNothingIsHit)
{
    window->SetMainControlByName(u"noSuchControl");
    EXPECT_FALSE(window->GetMainControl());
    PointT<int32_t> local{7, 7};
    EXPECT_FALSE(window->HitTest({20, 20}, true, local));
    EXPECT_EQ(local, (PointT<int32_t>{0, 0}));
}

} // namespace

namespace {

// The editor's window: a menu bar of higher Z order over a view that covers the whole window,
// whose panel holds a list that opens over the view.
TEST_F(RootWindowPointerTest, AChildOfHigherZOrderIsHitBeforeItsParentAndItsSiblings)
{
    const auto z = [](int32_t order, bool clipped) {
        return [order, clipped](LLayoutDescriptor& l) {
            l.zOrder = order;
            l.clipToParent = clipped;
        };
    };
    RCPtr<svtest::InputControl> view = Make(main, u"view", 0, 0, 200, 100);
    RCPtr<svtest::InputControl> menu = Make(main, u"menu", 0, 0, 200, 20, z(10, true));
    RCPtr<svtest::InputControl> title = Make(menu, u"title", 5, 0, 40, 20);
    RCPtr<svtest::InputControl> panel = Make(view, u"panel", 0, 30, 100, 30);
    RCPtr<svtest::InputControl> list = Make(panel, u"list", 0, 20, 100, 40, z(5, false));
    RCPtr<svtest::InputControl> row = Make(list, u"row", 0, 0, 100, 20, z(20, true));
    const struct
    {
        PointT<int32_t> point;
        svtest::InputControl* expected;
    } cases[] = {
        {{10, 10}, title.Get()}, {{100, 10}, menu.Get()}, {{10, 40}, panel.Get()},
        {{10, 55}, row.Get()},   {{10, 75}, list.Get()},  {{150, 80}, view.Get()},
    };
    for (const auto& c : cases) {
        PointT<int32_t> local;
        const RCPtr<LControl> hit = window->HitTest(c.point, false, local);
        EXPECT_EQ(hit.Get(), c.expected) << c.point.x << "," << c.point.y << ": "
                                         << (hit ? hit->GetName().ToNarrow().GetText() : "none");
    }
}

} // namespace
