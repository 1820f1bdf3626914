#include "RootWindowFixture.h"

#include "FakeDesktop.h"
#include "ResultCodes.h"
#include "TestFrameworkApp.h"
#include "Windows/CursorNames.h"

#include <gtest/gtest.h>

#include <climits>

using namespace SV;

namespace {

using Events = std::vector<std::string>;

// A control that chooses a drag mode the way the framework's controls do (when the left press
// or the left drag begins) and records each step of the drag protocol that reaches it.
class DragControl : public svtest::InputControl
{
public:
    DragControl(const RCPtr<LControl>& parent, const char16_t* name, std::vector<std::string>& log)
        : svtest::InputControl(parent, name, log)
    {}
    ~DragControl() override
    {
        if (destroyed != nullptr) {
            *destroyed = true;
        }
    }

    void OnConditionsChanged(const RCPtr<LConditionsParam>& conditions) override
    {
        const uint32_t turnedOn = conditions->mNewMask & ~conditions->mOldMask;
        if ((turnedOn & kConditionLeftPressed) != 0 && modeAtPress != 0) {
            SetLayoutMode(modeAtPress, flagsAtPress);
            if (dragsAtOnce) {
                SetDragThreshold(0);
            }
        }
        if ((turnedOn & kConditionLeftDragging) != 0 && modeAtDrag != 0) {
            SetLayoutMode(modeAtDrag, flagsAtDrag);
        }
    }
    void BeginDrag() override
    {
        events.push_back("begin");
        LControl::BeginDrag();
    }
    void EndDrag() override
    {
        events.push_back("end");
        LControl::EndDrag();
    }
    void OnDragMoved(const ConstRCPtr<LPointWithModifiersParam>&) override { ++moves; }
    bool AcceptsDrop(const RCPtr<LControl>&) override { return accepts; }
    uint32_t GetDropScrollDirections(const RCPtr<LControl>&) override { return directions; }
    void OnDragEnter(const RCPtr<LControl>& source) override { Record("enter", source); }
    void OnDragOver(const RCPtr<LControl>& source, const PointT<double>&) override
    {
        Record("over", source);
    }
    void OnDragLeave(const RCPtr<LControl>& source) override { Record("leave", source); }
    int32_t OnDrop(const RCPtr<LControl>& source) override
    {
        Record("drop", source);
        return S_OK;
    }

    int32_t modeAtPress = 0;
    uint32_t flagsAtPress = 0;
    bool dragsAtOnce = false;
    int32_t modeAtDrag = 0;
    uint32_t flagsAtDrag = 0;
    bool accepts = false;
    uint32_t directions = 0;
    Events events;
    int moves = 0;
    bool* destroyed = nullptr;

private:
    void Record(const char* what, const RCPtr<LControl>& source)
    {
        events.push_back(std::string(what) + " " + NarrowString(source->GetName()).GetText());
    }
};

// An overlay whose hit test names itself wherever the pointer is inside it, whatever marks the
// search has set.
class StubbornOverlay : public DragControl
{
public:
    using DragControl::DragControl;

    RCPtr<LControl> HitTest(const PointT<int32_t>& point, bool, PointT<int32_t>& localPoint,
                            int32_t& z) override
    {
        const RectT<double>& r = GetRect();
        if (point.x < 0 || point.y < 0 || point.x >= r.width || point.y >= r.height) {
            return nullptr;
        }
        localPoint = point;
        z = INT32_MAX;
        return RCPtr<LControl>(this);
    }
};

class ControlDraggingTest : public svtest::RootWindowFixture
{
protected:
    ControlDraggingTest()
    {
        // Only "a" stays in the way; the tests place their own controls.
        b->Detach();
        app.mTime = 1.0;
    }

    template <class T = DragControl>
    RCPtr<T> MakeDrag(const char16_t* name, double x, double y, double w, double h,
                      const RCPtr<LControl>& parent = nullptr,
                      const std::function<void(LLayoutDescriptor&)>& more = {})
    {
        RCPtr<T> c(new T(parent ? parent : RCPtr<LControl>(main), name, log));
        RCPtr<LLayoutDescriptor> layout(new LLayoutDescriptor());
        svtest::At(x, y, w, h)(*layout);
        if (more) {
            more(*layout);
        }
        const bool clip = layout->clipToParent;
        layout->clipToParent = true;
        c->SetLayout(layout);
        c->SetClipToParent(clip);
        c->UpdateLayout();
        c->SetCreated();
        return c;
    }

    void Press(int32_t x, int32_t y) { Button(0, 1, x, y, 1); }
    void Release(int32_t x, int32_t y) { Button(1, 1, x, y, 0); }
    // One idle pass of a control that runs motion timers.
    static void Idle(const RCPtr<LControl>& control) { control->IdleStep(nullptr, nullptr); }
};

TEST_F(ControlDraggingTest, ModeChosenAtThePressOrAtTheDragStartBeginsTheDrag)
{
    // Chosen at the press with threshold 0: the press is the drag, and DragTo runs once with
    // the press point, which moves nothing. The mode survives: it is set after the press
    // cleared it.
    RCPtr<DragControl> dropper = MakeDrag(u"dropper", 30, 20, 40, 30);
    dropper->modeAtPress = LControl::kDragDrop;
    dropper->flagsAtPress = 3;
    dropper->dragsAtOnce = true;
    Press(40, 30);
    EXPECT_TRUE(dropper->IsDragging(0));
    EXPECT_EQ(dropper->GetDragMode(), LControl::kDragDrop);
    EXPECT_EQ(dropper->events, (Events{"begin"}));
    EXPECT_EQ(dropper->moves, 1);
    EXPECT_EQ(dropper->GetRect(), (RectT<double>{30, 20, 40, 30}));
    Release(40, 30);
    EXPECT_EQ(dropper->events, (Events{"begin", "end"}));
    dropper->Detach();

    // Chosen when the drag begins (as a splitter does): the same condition change begins it.
    RCPtr<DragControl> bar = MakeDrag(u"bar", 30, 20, 40, 30);
    bar->modeAtDrag = LControl::kDragMoveScrolling;
    bar->flagsAtDrag = 1;
    Press(40, 30);
    EXPECT_TRUE(bar->events.empty());
    Move(45, 33);
    EXPECT_EQ(bar->events, (Events{"begin"}));
    EXPECT_EQ(bar->GetRect(), (RectT<double>{35, 20, 40, 30})) << "only the X flag moves it";
    Release(45, 33);
    EXPECT_EQ(bar->events, (Events{"begin", "end"}));
    // The mode stays until the next left press clears it.
    EXPECT_EQ(bar->GetDragMode(), LControl::kDragMoveScrolling);
    Press(45, 33);
    EXPECT_EQ(bar->GetDragMode(), 0);
}

TEST_F(ControlDraggingTest, PressIsRefusedByHiddenDisabledOrCapturedControlsAndReleasedButtons)
{
    RCPtr<DragControl> inner = MakeDrag(u"inner", 5, 5, 20, 20, a);
    struct Case
    {
        const char* what;
        std::function<void()> arrange;
        int32_t button;
        int32_t held;
    };
    const Case cases[] = {
        {"hidden", [&] { inner->SetVisible(false); }, 1, 1},
        {"disabled", [&] { inner->SetEnabled(false); }, 1, 1},
        {"parent disabled", [&] { a->SetEnabled(false); }, 1, 1},
        {"capture held", [&] { inner->OnDragStart(1, 2, 2); }, 1, 1},
        {"button no longer held", [] {}, 1, 0},
        {"other button held", [] {}, 1, 4},
        {"bad button", [] {}, 3, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        services.buttons = c.held;
        c.arrange();
        const bool hadCapture = inner->HasCapture();
        EXPECT_EQ(inner->OnDragStart(c.button, 2, 2), S_FALSE);
        EXPECT_EQ(inner->HasCapture(), hadCapture);
        inner->OnCaptureLost();
        inner->SetVisible(true);
        inner->SetEnabled(true);
        a->SetEnabled(true);
    }
    services.buttons = 4;
    EXPECT_EQ(inner->OnDragStart(4, 2, 2), S_OK);
    EXPECT_TRUE(inner->IsPressed(2));
    EXPECT_EQ(window->GetCaptureControl().Get(), inner.Get());
}

TEST_F(ControlDraggingTest, MovedControlStopsWithThePressPointOnTheEdgeOfTheVisibleArea)
{
    RCPtr<DragControl> d = MakeDrag(u"d", 30, 20, 40, 30);
    d->modeAtPress = LControl::kDragMove;
    d->flagsAtPress = 3;
    Press(40, 30);
    Move(60, 40);
    EXPECT_EQ(d->GetRect(), (RectT<double>{50, 30, 40, 30}));
    EXPECT_EQ(d->GetDragOffset(), (PointT<double>{20, 10}));
    // The press point (10, 10 inside the control) stays inside the parent's 200 x 100 area.
    Move(500, 500);
    EXPECT_EQ(d->GetRect(), (RectT<double>{190, 90, 40, 30}));
    Move(-100, -100);
    EXPECT_EQ(d->GetRect(), (RectT<double>{-10, -10, 40, 30}));
    // Moving the main's own timers is no business of a plain move.
    EXPECT_FALSE(main->IsTimerRunning(0));
    Release(-100, -100);
}

TEST_F(ControlDraggingTest, RebasedDragMeasuresFromWhereTheControlIsNow)
{
    RCPtr<DragControl> d = MakeDrag(u"d", 30, 20, 40, 30);
    d->modeAtPress = LControl::kDragMove;
    d->flagsAtPress = 3;
    Press(40, 30);
    Move(60, 40);
    d->RebaseDrag();
    // The pointer did not move: neither does the control, although the start moved with it.
    Move(60, 40);
    EXPECT_EQ(d->GetRect(), (RectT<double>{50, 30, 40, 30}));
    Move(70, 45);
    EXPECT_EQ(d->GetRect(), (RectT<double>{60, 35, 40, 30}));
    EXPECT_EQ(d->GetDragOffset(), (PointT<double>{10, 5}));
    Release(70, 45);
}

TEST_F(ControlDraggingTest, ResizedEdgeFollowsThePointerAndLeavesAtLeastOnePixel)
{
    struct Case
    {
        uint32_t flags;
        double x;
        PointT<int32_t> press;
        PointT<int32_t> to;
        RectT<double> expected;
    };
    const Case cases[] = {
        // Left edge: 50 to the right leaves 1 pixel, the edge 39 further right.
        {8, 30, {35, 25}, {85, 25}, {69, 20, 1, 40}},
        // Top edge: the same for the height.
        {0x10, 30, {35, 25}, {35, 75}, {30, 59, 40, 1}},
        // Right edge: grows with the pointer, and shrinks to 1 pixel at least.
        {4, 30, {35, 25}, {85, 25}, {30, 20, 90, 40}},
        {4, 60, {95, 25}, {0, 25}, {60, 20, 1, 40}},
        // Bottom edge within the parent.
        {0x20, 30, {35, 25}, {35, 45}, {30, 20, 40, 60}},
        // Both right and left set: the right edge wins.
        {4 | 8, 30, {35, 25}, {45, 25}, {30, 20, 50, 40}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(n);
        const std::u16string name = u"r" + std::u16string(1, char16_t(u'0' + n++));
        RCPtr<DragControl> r = MakeDrag(name.c_str(), c.x, 20, 40, 40);
        r->modeAtPress = LControl::kDragResize;
        r->flagsAtPress = c.flags;
        Press(c.press.x, c.press.y);
        Move(c.to.x, c.to.y);
        EXPECT_EQ(r->GetRect(), c.expected);
        Release(c.to.x, c.to.y);
        r->Detach();
    }
}

TEST_F(ControlDraggingTest, ParentScrollsFasterTheDeeperThePointerIsInTheEdgeZone)
{
    struct Case
    {
        int32_t pointerX;
        double rate; // 0: no scrolling
    };
    // Press point at x 20 of the parent's 200-pixel visible area; zone 30 pixels.
    const Case cases[] = {{190, 315}, {200, 465}, {205, 0}, {150, 0}};
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pointerX);
        const std::u16string name = u"s" + std::u16string(1, char16_t(u'0' + n++));
        RCPtr<DragControl> d = MakeDrag(name.c_str(), 10, 10, 50, 50);
        d->modeAtPress = LControl::kDragMoveScrolling;
        d->flagsAtPress = 1;
        Press(20, 20);
        Move(c.pointerX, 20);
        EXPECT_EQ(main->IsTimerRunning(0), c.rate != 0);
        EXPECT_FALSE(main->IsTimerRunning(1));
        if (c.rate != 0) {
            EXPECT_EQ(main->GetMotionRate(0), c.rate);
            // A second of idle time scrolls the parent by the rate.
            app.mTime += 1.0;
            Idle(main);
            EXPECT_EQ(main->GetScrollOffset().x, c.rate);
        }
        Release(c.pointerX, 20);
        EXPECT_FALSE(main->IsTimerRunning(0)) << "the end of the drag stops the scrolling";
        main->SetScrollOffset({0, 0});
        d->Detach();
    }
}

TEST_F(ControlDraggingTest, PanMovesTheContentAgainstThePointerAndMeasuresItsVelocity)
{
    RCPtr<DragControl> pan = MakeDrag(u"pan", 10, 10, 80, 80);
    pan->modeAtPress = LControl::kDragKineticPan;
    pan->flagsAtPress = 1;
    pan->dragsAtOnce = true;
    pan->SetScrollOffset({50, 30});
    app.mTime = 2.0;
    Press(20, 20);
    app.mTime = 2.05;
    Move(30, 20);
    EXPECT_EQ(pan->GetScrollOffset(), (PointT<double>{40, 30}));
    EXPECT_DOUBLE_EQ(pan->GetFlingVelocity().x, -200.0);
    EXPECT_EQ(pan->GetFlingVelocity().y, 0.0);
    // Not below the lower limit of the scroll offset.
    app.mTime = 2.1;
    Move(100, 40);
    EXPECT_EQ(pan->GetScrollOffset(), (PointT<double>{0, 30}));
    // A move without time since the last one measures nothing and moves nothing.
    pan->SetScrollOffset({50, 30});
    Move(90, 40);
    EXPECT_EQ(pan->GetScrollOffset(), (PointT<double>{50, 30}));
    // Released more than 100 ms after the last move: no fling.
    app.mTime = 2.3;
    Release(90, 40);
    EXPECT_FALSE(pan->IsTimerRunning(0));
}

TEST_F(ControlDraggingTest, FlingKeepsItsSpeedForASecondThenSlowsDownUntilItStops)
{
    RCPtr<DragControl> pan = MakeDrag(u"pan", 10, 10, 80, 80);
    pan->modeAtPress = LControl::kDragKineticPan;
    pan->flagsAtPress = 3;
    pan->dragsAtOnce = true;
    pan->SetScrollOffset({100000, 0});
    app.mTime = 16.0;
    Press(20, 20);
    app.mTime = 16.125;
    Move(395, 20);
    ASSERT_EQ(pan->GetFlingVelocity().x, -3000.0);
    app.mTime = 16.1875;
    Release(395, 20);
    ASSERT_TRUE(pan->IsFlinging(0));
    EXPECT_FALSE(pan->IsTimerRunning(1)) << "no speed on y";
    EXPECT_EQ(pan->GetMotionRate(0), -3000.0);

    const double start = pan->GetScrollOffset().x;
    for (int step = 1; step <= 32; ++step) {
        SCOPED_TRACE(step);
        app.mTime = 16.1875 + 0.125 * step;
        Idle(pan);
        if (step <= 9) {
            // The first second at full speed (the slowing shows from the next step on).
            EXPECT_EQ(pan->GetScrollOffset().x, start - 375.0 * step);
        }
        if (step > 8) {
            EXPECT_EQ(pan->IsTimerRunning(0), step < 32);
            if (step < 32) {
                EXPECT_EQ(pan->GetMotionRate(0), -3000.0 + 125.0 * (step - 8));
            }
        }
    }

    // A press stops a fling at once.
    app.mTime = 30.0;
    Press(20, 20);
    app.mTime = 30.125;
    Move(395, 20);
    app.mTime = 30.1875;
    Release(395, 20);
    ASSERT_TRUE(pan->IsTimerRunning(0));
    app.mTime = 30.5;
    Press(20, 20);
    EXPECT_FALSE(pan->IsTimerRunning(0));
    EXPECT_FALSE(pan->IsFlinging(0));
    Release(20, 20);
}

TEST_F(ControlDraggingTest, FlingNeedsAThousandPixelsPerSecondAtTheRelease)
{
    for (const int32_t distance : {124, 125}) {
        SCOPED_TRACE(distance);
        RCPtr<DragControl> pan = MakeDrag(u"pan", 10, 10, 80, 80);
        pan->modeAtPress = LControl::kDragKineticPan;
        pan->flagsAtPress = 1;
        pan->dragsAtOnce = true;
        pan->SetScrollOffset({10000, 0});
        app.mTime = 4.0;
        Press(20, 20);
        app.mTime = 4.125;
        Move(20 + distance, 20);
        app.mTime = 4.2;
        Release(20 + distance, 20);
        EXPECT_EQ(pan->IsTimerRunning(0), distance == 125);
        pan->Detach();
    }
}

class ControlDropTest : public ControlDraggingTest
{
protected:
    ControlDropTest()
    {
        source->modeAtPress = LControl::kDragDrop;
        source->flagsAtPress = 3;
        source->dragsAtOnce = true;
    }
    svp::HCURSOR NoDrop() const { return svtest::FakeDesktop::SystemCursor(svp::IDC_NO); }
    svp::HCURSOR Arrow() const { return svtest::FakeDesktop::SystemCursor(svp::IDC_ARROW); }

    // Cursors come from the application object.
    svtest::FakeDesktop desktop;
    RCPtr<svtest::TestFrameworkApp> app2{new svtest::TestFrameworkApp()};
    RCPtr<DragControl> target = MakeDrag(u"target", 110, 10, 80, 80);
    RCPtr<DragControl> source = MakeDrag(u"source", 10, 10, 30, 30);
};

TEST_F(ControlDropTest, OnlyAnAcceptingControlIsOfferedTheDrop)
{
    Press(20, 20);
    EXPECT_EQ(services.shownCursor, NoDrop());
    // Over "a", which does not accept: no target, and the cursor says so on every move.
    services.shownCursor = nullptr;
    Move(30, 30);
    EXPECT_EQ(services.shownCursor, NoDrop());
    EXPECT_FALSE(source->GetDropTarget());
    // Over a target that does not accept either.
    Move(130, 40);
    EXPECT_FALSE(source->GetDropTarget());
    EXPECT_TRUE(target->events.empty());

    target->accepts = true;
    Move(131, 40);
    EXPECT_EQ(source->GetDropTarget().Get(), target.Get());
    EXPECT_NE(services.shownCursor, NoDrop());
    Move(132, 41);
    EXPECT_EQ(target->events, (Events{"enter source", "over source", "over source"}));
    Release(132, 41);
    EXPECT_EQ(target->events, (Events{"enter source", "over source", "over source", "drop source",
                                      "leave source"}));
    EXPECT_EQ(services.shownCursor, Arrow());
    EXPECT_FALSE(source->GetDropTarget());
}

TEST_F(ControlDropTest, LeavingTheTargetTellsItAndAReleaseElsewhereDropsNowhere)
{
    target->accepts = true;
    Press(20, 20);
    Move(130, 40);
    Move(30, 30);
    EXPECT_EQ(target->events, (Events{"enter source", "over source", "leave source"}));
    EXPECT_EQ(services.shownCursor, NoDrop());
    Release(30, 30);
    EXPECT_EQ(target->events.size(), 3u);
}

TEST_F(ControlDropTest, DroppedControlIsUndockedAtItsPlaceInTheScrolledContent)
{
    Press(20, 20);
    // Unclipped and docked for the drag.
    EXPECT_FALSE(source->GetLayout()->clipToParent);
    EXPECT_TRUE(source->GetLayout()->axes[0].docked);
    EXPECT_TRUE(source->GetLayout()->axes[1].docked);
    Move(60, 25);
    EXPECT_EQ(source->GetRect(), (RectT<double>{50, 15, 30, 30}));
    // The content scrolls under the dragged control, which keeps its place in the visible area.
    main->SetScrollOffset({40, 0});
    EXPECT_EQ(source->GetPositionInRoot(), (PointT<double>{50, 15}));
    Release(60, 25);
    EXPECT_TRUE(source->GetLayout()->clipToParent);
    EXPECT_FALSE(source->GetLayout()->axes[0].docked);
    EXPECT_FALSE(source->GetLayout()->axes[1].docked);
    EXPECT_EQ(source->GetRect(), (RectT<double>{90, 15, 30, 30}));
    EXPECT_EQ(source->GetPositionInRoot(), (PointT<double>{50, 15}));

    // A control that was unclipped before the drag stays so.
    RCPtr<DragControl> overlay =
        MakeDrag(u"overlay", 10, 60, 20, 20, nullptr, [](LLayoutDescriptor& l) {
            l.clipToParent = false;
            l.zOrder = 5;
        });
    overlay->modeAtPress = LControl::kDragDrop;
    overlay->flagsAtPress = 3;
    overlay->dragsAtOnce = true;
    Press(-25, 65);
    ASSERT_TRUE(overlay->IsDragging(0));
    Move(-20, 70);
    Release(-20, 70);
    EXPECT_FALSE(overlay->GetLayout()->clipToParent);
}

TEST_F(ControlDropTest, SearchBeneathTheDraggedControlEndsAndFindsTheTarget)
{
    // The dragged control, unclipped for the drag, is covered by a clipped child of its own:
    // the hit test beneath the dragged control finds that child, whose parent is the dragged
    // control again. The search must skip its whole subtree and go on beneath it.
    RCPtr<DragControl> cover = MakeDrag(u"cover", 0, 0, 30, 30, RCPtr<LControl>(source));
    // The cover would take a press through the window: the dragged control starts its drag
    // itself, as a control that starts a drag from its own input does.
    services.buttons = 1;
    services.cursor = {20, 20};
    ASSERT_EQ(source->OnDragStart(1, 10, 10), S_OK);
    ASSERT_TRUE(source->IsDragging(0));
    Move(130, 40);
    EXPECT_FALSE(source->GetDropTarget());
    EXPECT_EQ(services.shownCursor, NoDrop());
    target->accepts = true;
    Move(131, 40);
    EXPECT_EQ(source->GetDropTarget().Get(), target.Get());
    EXPECT_EQ(cover->FindDropTarget(RCPtr<LControl>(source), {131, 40}).Get(), target.Get());
    Release(131, 40);
    EXPECT_EQ(target->events.back(), "leave source");
}

TEST_F(ControlDropTest, SearchEndsWhenAnOverlayIsMetASecondTime)
{
    // An overlay that names itself under the pointer whatever the search marks: it is met
    // again at once, and the search answers no target instead of going round for ever.
    RCPtr<StubbornOverlay> overlay =
        MakeDrag<StubbornOverlay>(u"overlay", 100, 0, 100, 100, nullptr,
                                  [](LLayoutDescriptor& l) { l.clipToParent = false; });
    target->accepts = true;
    Press(20, 20);
    Move(130, 40);
    EXPECT_FALSE(source->GetDropTarget());
    EXPECT_FALSE(overlay->FindDropTarget(RCPtr<LControl>(source), {130, 40}));
    Release(130, 40);
    EXPECT_TRUE(target->events.empty());
}

TEST_F(ControlDropTest, WindowGoingAwayInTheMiddleOfADragLetsGoOfTheControls)
{
    // The target scrolls for the dragged control, which holds the target: neither may keep the
    // other alive once the tree is gone.
    bool sourceGone = false;
    bool targetGone = false;
    source->destroyed = &sourceGone;
    target->destroyed = &targetGone;
    target->accepts = true;
    target->directions = 4;
    Press(20, 20);
    Move(180, 50);
    ASSERT_TRUE(target->IsTimerRunning(0));
    window->SetMainControl(nullptr);
    main = nullptr;
    a = nullptr;
    source = nullptr;
    target = nullptr;
    EXPECT_TRUE(sourceGone);
    EXPECT_TRUE(targetGone);
}

TEST_F(ControlDropTest, TargetScrollsWhileTheDraggedControlIsNearItsEdges)
{
    target->accepts = true;
    target->directions = 4 | 8 | 0x10 | 0x20;
    Press(20, 20);
    // 10 pixels inside the target's right edge, in the middle vertically.
    Move(180, 50);
    EXPECT_EQ(target->GetMotionRate(0), 315.0);
    EXPECT_FALSE(target->IsTimerRunning(1));
    // 10 pixels inside its left edge, 15 inside its top edge.
    Move(120, 25);
    EXPECT_EQ(target->GetMotionRate(0), -(20.0 + 1.0) * 15.0);
    EXPECT_EQ(target->GetMotionRate(1), -(15.0 + 1.0) * 15.0);
    // A direction the target does not answer does not scroll it.
    target->directions = 4;
    Move(121, 25);
    EXPECT_FALSE(target->IsTimerRunning(0));
    EXPECT_FALSE(target->IsTimerRunning(1));
    // Off the target: it stops.
    target->directions = 8;
    Move(120, 25);
    EXPECT_TRUE(target->IsTimerRunning(0));
    Move(30, 30);
    EXPECT_FALSE(target->IsTimerRunning(0));
    Release(30, 30);
}

} // namespace
