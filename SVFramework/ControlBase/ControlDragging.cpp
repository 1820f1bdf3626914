// Dragging of a control with the left button: moving and resizing inside the parent with the
// parent scrolling near its edges, drag and drop onto the controls under the pointer, panning of
// the own content with a fling after the release, and the idle step that drives the motion timers.
#include "ControlBase/Control.h"

#include "ControlBase/ControlApplication.h"
#include "Windows/CursorNames.h"
#include "Windows/MouseParams.h"
#include "Windows/RootWindow.h"
#include "Windows/WindowApplication.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace SV {

namespace {

constexpr double kCoordinateLimit = 4503599627370496.0; // 2^52
// Width of the zone inside a visible edge where a drag scrolls, and pixels per second per pixel
// of depth in it.
constexpr double kScrollZone = 30.0;
constexpr double kScrollRateStep = 15.0;

constexpr uint32_t kAxisX = 1;
constexpr uint32_t kAxisY = 2;
constexpr uint32_t kEdgeRight = 4;
constexpr uint32_t kEdgeLeft = 8;
constexpr uint32_t kEdgeTop = 0x10;
constexpr uint32_t kEdgeBottom = 0x20;

constexpr uint32_t kDropScrollRight = 4;
constexpr uint32_t kDropScrollLeft = 8;
constexpr uint32_t kDropScrollUp = 0x10;
constexpr uint32_t kDropScrollDown = 0x20;

double ClampCoordinate(int32_t v)
{
    return std::clamp(double(v), -kCoordinateLimit, kCoordinateLimit);
}

int32_t RoundSaturated(double v)
{
    return static_cast<int32_t>(std::clamp(std::round(v), double(INT32_MIN), double(INT32_MAX)));
}

// The lower bound is tested first, so a bound pair the wrong way round still gives one answer.
double ClampLowFirst(double v, double low, double high)
{
    if (v < low) {
        return low;
    }
    return v > high ? high : v;
}

bool IsResize(int32_t mode)
{
    return mode == LControl::kDragResize || mode == LControl::kDragResizeScrolling;
}

} // namespace

int32_t LControl::SetLayoutMode(int32_t mode, uint32_t flags)
{
    mDragMode = mode;
    mDragFlags = flags;
    return S_OK;
}

void LControl::BeginDrag()
{
    if (mDragging[0]) {
        mDragStartSize = {mRect.width, mRect.height};
        mDragParentScroll = mParent ? mParent->mScrollOffset : PointT<double>{};
        if (mDragMode == kDragDrop && mLayout) {
            mDropTarget = nullptr;
            mWasUnclipped = !mLayout->clipToParent;
            SetClipToParent(false);
            // Docked for the drag: the control keeps its place in the visible area while the
            // content under it scrolls.
            bool* wasDocked[2] = {&mXWasDocked, &mYWasDocked};
            const double position[2] = {mRect.x - mDragParentScroll.x,
                                        mRect.y - mDragParentScroll.y};
            for (int32_t axis = 0; axis < 2; ++axis) {
                *wasDocked[axis] = IsDocked(axis);
                if (!*wasDocked[axis]) {
                    LayoutPositionSpec positionSpec;
                    LayoutSpec sizeSpec;
                    mLayout->GetAxisSpec(axis, positionSpec, sizeSpec);
                    positionSpec.docked = true;
                    positionSpec.absolute = position[axis];
                    SetLayoutSpec(axis, positionSpec, sizeSpec);
                }
            }
        }
    }
    if (mLayout) {
        mDragStartLayout[0] = mLayout->axes[0].position.absolute;
        mDragStartLayout[1] = mLayout->axes[1].position.absolute;
        mDragStartLayout[2] = mLayout->axes[0].size.absolute;
        mDragStartLayout[3] = mLayout->axes[1].size.absolute;
    }
}

void LControl::EndDrag()
{
    const RCPtr<LControl> keepAlive(this);
    if (mDragMode != kDragDrop) {
        if (const RCPtr<LControl> parent = mParent) {
            parent->StopTimer(0);
            parent->StopTimer(1);
        }
        return;
    }
    if (const RCPtr<LRootWindow>& window = GetRootWindowRef()) {
        window->SetCursor(GetApplicationCursor(UI_CURSOR_ARROW));
    }
    if (!mWasUnclipped) {
        SetClipToParent(true);
    }
    // Axes that were docked for the drag only stay where the control was dropped in the content.
    const PointT<double> parentScroll = mParent ? mParent->mScrollOffset : PointT<double>{};
    const bool wasDocked[2] = {mXWasDocked, mYWasDocked};
    for (int32_t axis = 0; axis < 2 && mLayout; ++axis) {
        if (!wasDocked[axis]) {
            LayoutPositionSpec position;
            LayoutSpec size;
            mLayout->GetAxisSpec(axis, position, size);
            position.docked = false;
            position.absolute += axis == 0 ? parentScroll.x : parentScroll.y;
            SetLayoutSpec(axis, position, size);
        }
    }
    if (const RCPtr<LControl> target = mDropTarget) {
        target->StopTimer(0);
        target->StopTimer(1);
        target->OnDrop(keepAlive);
        target->OnDragLeave(keepAlive);
        mDropTarget = nullptr;
    }
}

void LControl::RebaseDrag()
{
    mDragStartPoint.x += mDragOffset.x;
    mDragStartPoint.y += mDragOffset.y;
    mDragStartSize = {mRect.width, mRect.height};
    mDragParentScroll = mParent ? mParent->mScrollOffset : PointT<double>{};
    if (mLayout) {
        mDragStartLayout[0] = mLayout->axes[0].position.absolute;
        mDragStartLayout[1] = mLayout->axes[1].position.absolute;
        mDragStartLayout[2] = mLayout->axes[0].size.absolute;
        mDragStartLayout[3] = mLayout->axes[1].size.absolute;
    }
}

void LControl::DragTo(const ConstRCPtr<LPointWithModifiersParam>& event)
{
    if (!event) {
        return;
    }
    const RCPtr<LControl> keepAlive(this);
    mInDragTo = true;
    const PointT<double> point{ClampCoordinate(event->mX), ClampCoordinate(event->mY)};
    const PointT<double> origin = GetPositionInRoot();
    const PointT<double> rootPoint{point.x + origin.x, point.y + origin.y};
    // The pointer's movement since the press, in the parent's coordinates.
    PointT<double> displacement{mRect.x + point.x - mDragStartPoint.x,
                                mRect.y + point.y - mDragStartPoint.y};
    DragScroll scroll;

    if (mDragMode >= kDragKineticPan) {
        PanTo(displacement);
    } else if (mDragMode == kDragDrop) {
        // A top control has no parent to be moved in or dropped into.
        if (mParent) {
            MoveOrResizeTo(displacement);
            OfferDrop(rootPoint, scroll);
        }
    } else if (mDragMode > kDragDrop && mParent) {
        RectT<double> visible;
        RectT<double> area;
        GetDragAreas(visible, area);
        const PointT<double>& start = mDragStartPoint;
        double minX = area.x - start.x;
        double maxX = area.x + area.width - start.x;
        double minY = area.y - start.y;
        double maxY = area.y + area.height - start.y;
        if (IsResize(mDragMode)) {
            // The size stays at least 1 pixel.
            const double w = mDragStartSize.x;
            const double h = mDragStartSize.y;
            if ((mDragFlags & kEdgeRight) != 0) {
                minX = minX <= -w ? 1.0 - w : minX;
            } else if ((mDragFlags & kEdgeLeft) != 0) {
                maxX = maxX >= w ? w - 1.0 : maxX;
            }
            if ((mDragFlags & kEdgeBottom) != 0) {
                minY = minY <= -h ? 1.0 - h : minY;
            } else if ((mDragFlags & kEdgeTop) != 0) {
                maxY = maxY >= h ? h - 1.0 : maxY;
            }
        }
        if (mDragMode == kDragMoveScrolling || mDragMode == kDragResizeScrolling) {
            ScrollParentNearEdges(point, displacement, visible, area, scroll);
        }
        // A pointer beyond the area does not scroll: the control already stopped at its edge.
        const PointT<double> clamped{ClampLowFirst(displacement.x, minX, maxX),
                                     ClampLowFirst(displacement.y, minY, maxY)};
        if (clamped.x != displacement.x) {
            scroll.right = scroll.left = false;
        }
        if (clamped.y != displacement.y) {
            scroll.down = scroll.up = false;
        }
        displacement = clamped;
        mDragOffset = displacement;
        MoveOrResizeTo(displacement);
    }

    DriveDragScrolling(scroll);
    OnDragMoved(event);
    mInDragTo = false;
}

void LControl::GetDragAreas(RectT<double>& visible, RectT<double>& area)
{
    mParent->GetClientArea(visible);
    visible.x += mParent->mScrollOffset.x;
    visible.y += mParent->mScrollOffset.y;
    area = visible;
    AdjustDragArea(area);
}

void LControl::ScrollParentNearEdges(const PointT<double>& point,
                                     const PointT<double>& displacement,
                                     const RectT<double>& visible, const RectT<double>& area,
                                     DragScroll& scroll)
{
    PointT<double> inParent = point;
    mParent->OffsetToControl(*this, inParent);
    inParent.x += mParent->mScrollOffset.x;
    inParent.y += mParent->mScrollOffset.y;
    const PointT<double>& start = mDragStartPoint;
    // The zone is 30 pixels wide inside the visible edge, narrowed by as much as the drag area
    // reaches beyond the visible area on that side.
    const auto zoneWidth = [](double m) { return std::clamp(m, 0.0, kScrollZone); };

    const bool xFlagged = (mDragFlags & (kAxisX | kEdgeRight | kEdgeLeft)) != 0;
    if (inParent.x > visible.x + visible.width * 0.5) {
        const double m = zoneWidth(std::trunc(visible.x + visible.width) -
                                   std::trunc(area.x + area.width) + kScrollZone);
        const double t = visible.x + visible.width - start.x - m;
        if (displacement.x >= t) {
            scroll.speed.x = displacement.x - t;
            scroll.right = xFlagged;
        }
    } else {
        const double m = zoneWidth(kScrollZone - std::trunc(std::trunc(visible.x) - area.x));
        const double t = visible.x - start.x + m;
        if (t >= displacement.x) {
            scroll.speed.x = t - displacement.x;
            scroll.left = xFlagged;
        }
    }

    const bool yFlagged = (mDragFlags & (kAxisY | kEdgeTop | kEdgeBottom)) != 0;
    if (inParent.y > visible.y + visible.height * 0.5) {
        const double m = zoneWidth(std::trunc(visible.y + visible.height) -
                                   std::trunc(area.y + area.height) + kScrollZone);
        const double t = visible.y + visible.height - start.y - m;
        if (displacement.y >= t) {
            scroll.speed.y = displacement.y - t;
            scroll.down = yFlagged;
        }
    } else {
        const double m = zoneWidth(kScrollZone - std::trunc(std::trunc(visible.y) - area.y));
        const double t = visible.y - start.y + m;
        if (t >= displacement.y) {
            scroll.speed.y = t - displacement.y;
            scroll.up = yFlagged;
        }
    }
}

void LControl::MoveOrResizeTo(const PointT<double>& displacement)
{
    if (!mLayout) {
        return;
    }
    // A docked position includes the parent's scroll offset: what the parent scrolled since the
    // drag began is taken out again.
    const PointT<double> parentScroll = mParent ? mParent->mScrollOffset : PointT<double>{};
    const double correction[2] = {IsDocked(0) ? parentScroll.x - mDragParentScroll.x : 0.0,
                                  IsDocked(1) ? parentScroll.y - mDragParentScroll.y : 0.0};
    const double moved[2] = {displacement.x, displacement.y};
    for (int32_t axis = 0; axis < 2; ++axis) {
        LayoutPositionSpec position;
        LayoutSpec size;
        mLayout->GetAxisSpec(axis, position, size);
        const double startPosition = mDragStartLayout[axis];
        const double startSize = mDragStartLayout[axis + 2];
        if (!IsResize(mDragMode)) {
            if ((mDragFlags & (axis == 0 ? kAxisX : kAxisY)) != 0) {
                position.absolute = startPosition + moved[axis] - correction[axis];
                SetLayoutSpec(axis, position, size);
            }
            continue;
        }
        const uint32_t farEdge = axis == 0 ? kEdgeRight : kEdgeBottom;
        const uint32_t nearEdge = axis == 0 ? kEdgeLeft : kEdgeTop;
        if ((mDragFlags & farEdge) != 0) {
            size.absolute = startSize + moved[axis];
        } else if ((mDragFlags & nearEdge) != 0) {
            position.absolute = startPosition + moved[axis] - correction[axis];
            size.absolute = startSize - moved[axis];
        } else {
            continue;
        }
        SetLayoutSpec(axis, position, size);
    }
}

void LControl::PanTo(const PointT<double>& displacement)
{
    RectT<double> limits;
    GetScrollLimits(limits, this);
    const double dt = double(int32_t(mEventTime - mLastMoveTime)) / 1000.0;
    // Without time between the moves nothing is measured: the next move takes the whole
    // movement.
    if (!(dt > 0.0)) {
        return;
    }
    const double deltas[2] = {mDragOffset.x - displacement.x, mDragOffset.y - displacement.y};
    double* velocities[2] = {&mFlingVelocity.x, &mFlingVelocity.y};
    for (int32_t axis = 0; axis < 2; ++axis) {
        const double delta = deltas[axis];
        double& velocity = *velocities[axis];
        velocity = (velocity == 0.0 || dt >= 0.2) ? delta / dt : 0.5 * delta / dt + 0.5 * velocity;
        const bool enabled =
            mDragFlags == (kAxisX | kAxisY) || mDragFlags == (axis == 0 ? kAxisX : kAxisY);
        if (enabled && delta != 0.0) {
            PointT<double> offset = mScrollOffset;
            double& value = axis == 0 ? offset.x : offset.y;
            const double low = axis == 0 ? limits.x : limits.y;
            const double high = low + (axis == 0 ? limits.width : limits.height);
            value = ClampLowFirst(value + delta, low, high);
            SetScrollOffset(offset);
        }
    }
    mDragOffset = displacement;
}

void LControl::OfferDrop(const PointT<double>& rootPoint, DragScroll& scroll)
{
    const RCPtr<LControl> self(this);
    const RCPtr<LRootWindow> window = GetRootWindowRef();
    const PointT<int32_t> at{RoundSaturated(rootPoint.x), RoundSaturated(rootPoint.y)};
    RCPtr<LControl> hit;
    PointT<int32_t> local;
    if (window) {
        // The dragged control lies under the pointer itself: it is passed over.
        const bool wasExcluded = mHitTestExcluded;
        mHitTestExcluded = true;
        hit = window->HitTest(at, false, local);
        mHitTestExcluded = wasExcluded;
    }
    RCPtr<LControl> target;
    PointT<double> targetPoint{double(local.x), double(local.y)};
    if (hit) {
        target = hit->FindDropTarget(self, rootPoint);
        if (target && target.Get() != hit.Get()) {
            target->OffsetToControl(*hit, targetPoint);
            targetPoint = {std::round(targetPoint.x), std::round(targetPoint.y)};
        }
    }

    if (target.Get() != mDropTarget.Get()) {
        if (const RCPtr<LControl> old = mDropTarget) {
            old->StopTimer(0);
            old->StopTimer(1);
            old->OnDragLeave(self);
        }
        mDropTarget = target;
        if (target) {
            if (window) {
                window->SetCursor(GetApplicationCursor(UI_CURSOR_DROP_MOVE));
            }
            target->OnDragEnter(self);
        }
    }
    const RCPtr<LControl> current = mDropTarget;
    if (!current) {
        if (window) {
            window->SetCursor(GetApplicationCursor(UI_CURSOR_NO_DROP));
        }
        return;
    }
    current->OnDragOver(self, rootPoint);

    const uint32_t directions = current->GetDropScrollDirections(self);
    if (directions == 0) {
        return;
    }
    const RectT<double> look = current->GetLookRect(-1);
    const PointT<double> s = current->mScrollOffset;
    const PointT<double> u{targetPoint.x - look.x + s.x, targetPoint.y - look.y + s.y};
    if (u.x >= s.x + look.width - kScrollZone) {
        scroll.speed.x = u.x - (s.x + look.width - kScrollZone);
        scroll.right = (directions & kDropScrollRight) != 0;
    } else if (u.x <= s.x + kScrollZone) {
        scroll.speed.x = s.x + kScrollZone - u.x;
        scroll.left = (directions & kDropScrollLeft) != 0;
    }
    if (u.y >= s.y + look.height - kScrollZone) {
        scroll.speed.y = u.y - (s.y + look.height - kScrollZone);
        scroll.down = (directions & kDropScrollDown) != 0;
    } else if (u.y <= s.y + kScrollZone) {
        scroll.speed.y = s.y + kScrollZone - u.y;
        scroll.up = (directions & kDropScrollUp) != 0;
    }
}

void LControl::DriveDragScrolling(const DragScroll& scroll)
{
    const RCPtr<LControl> owner = (mDragMode == kDragDrop && mDropTarget) ? mDropTarget : mParent;
    if (!owner) {
        return;
    }
    if (!scroll.right && !scroll.left && !scroll.down && !scroll.up) {
        owner->StopTimer(0);
        owner->StopTimer(1);
        return;
    }
    const RCPtr<LControl> self(this);
    RectT<double> limits;
    owner->GetScrollLimits(limits, this);
    if (scroll.right || scroll.left) {
        const double rate = (scroll.speed.x + 1.0) * kScrollRateStep;
        owner->StartTimer(0, scroll.right ? rate : -rate, limits.x + limits.width, limits.x, self);
    } else {
        owner->StopTimer(0);
    }
    if (scroll.down || scroll.up) {
        const double rate = (scroll.speed.y + 1.0) * kScrollRateStep;
        owner->StartTimer(1, scroll.down ? rate : -rate, limits.y + limits.height, limits.y, self);
    } else {
        owner->StopTimer(1);
    }
}

RCPtr<LControl> LControl::FindDropTarget(const RCPtr<LControl>& source,
                                         const PointT<double>& rootPoint)
{
    RCPtr<LControl> candidate(this);
    const RCPtr<LRootWindow> window = GetRootWindowRef();
    const PointT<int32_t> at{RoundSaturated(rootPoint.x), RoundSaturated(rootPoint.y)};
    RCPtrArray<LControl> passed;
    while (candidate && !candidate->AcceptsDrop(source)) {
        if (candidate->IsClipped()) {
            candidate = candidate->mParent;
            continue;
        }
        // An overlay that does not accept: look beneath it. The hit test skips the whole
        // subtrees of the overlays passed; skipping only the overlays would find a clipped child
        // of one again and climb back to it for ever. A control met twice ends the search.
        for (int32_t i = 0; i < passed.GetCount(); ++i) {
            if (passed.At(i)->Get() == candidate.Get()) {
                return nullptr;
            }
        }
        passed.Add(candidate);
        if (!window) {
            return nullptr;
        }
        const bool sourceWasExcluded = source ? source->mHitTestExcluded : false;
        if (source) {
            source->mHitTestExcluded = true;
        }
        for (int32_t i = 0; i < passed.GetCount(); ++i) {
            (*passed.At(i))->mSubtreeExcluded = true;
        }
        PointT<int32_t> local;
        candidate = window->HitTest(at, true, local);
        for (int32_t i = 0; i < passed.GetCount(); ++i) {
            (*passed.At(i))->mSubtreeExcluded = false;
        }
        if (source) {
            source->mHitTestExcluded = sourceWasExcluded;
        }
    }
    return candidate;
}

bool LControl::AcceptsDrop(const RCPtr<LControl>& /*source*/)
{
    return false;
}

uint32_t LControl::GetDropScrollDirections(const RCPtr<LControl>& /*source*/)
{
    return 0;
}

void LControl::AdjustDragArea(RectT<double>& /*area*/)
{}

void LControl::OnDragMoved(const ConstRCPtr<LPointWithModifiersParam>& /*event*/)
{}

void LControl::OnDragEnter(const RCPtr<LControl>& /*source*/)
{}

void LControl::OnDragOver(const RCPtr<LControl>& /*source*/, const PointT<double>& /*rootPoint*/)
{}

void LControl::OnDragLeave(const RCPtr<LControl>& /*source*/)
{}

int32_t LControl::OnDrop(const RCPtr<LControl>& /*source*/)
{
    return E_FAIL;
}

// Motion timers ---------------------------------------------------------------------------------

int32_t LControl::IdleStep(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                           const ConstRCPtr<LNotification>& /*notification*/)
{
    const RCPtr<LControl> keepAlive(this);
    for (int32_t axis = 0; axis < 2; ++axis) {
        if (mMotionActive[axis]) {
            StepMotion(axis);
        }
    }
    DetachPendingChildren();
    OnIdle();
    return 1;
}

void LControl::StepMotion(int32_t axis)
{
    IControlApplication* application = GetControlApplication();
    const double now = application != nullptr ? application->GetTime() : 0.0;
    const double dt = now - mMotionTime[axis];
    const double step = RoundHalf(mMotionVelocity[axis] * dt);
    mMotionTime[axis] = now;
    if (step != 0.0) {
        PointT<double> offset = mScrollOffset;
        double& value = axis == 0 ? offset.x : offset.y;
        value = ClampLowFirst(value + step, mMotionMin[axis], mMotionMax[axis]);
        SetScrollOffset(offset);
        // A dragged control keeps following the pointer while the content under it scrolls.
        const RCPtr<LControl> target = mMotionTarget[axis];
        const RCPtr<LRootWindow> window = target ? target->GetRootWindowRef() : nullptr;
        if (window) {
            const PointT<int32_t> cursor = window->GetCursorPosition();
            const PointT<int32_t> origin = target->GetPositionInRoot().Round();
            target->DragTo(CreatePointWithModifiersParam({cursor.x - origin.x, cursor.y - origin.y},
                                                         window->GetModifierKeys(), 0));
        }
    }
    // A fling keeps its speed for a second after the release, then slows down.
    if (mFling[axis] && int32_t(GetControlTimeMilliseconds() - mReleaseTime) > 1000) {
        const double loss = RoundHalf(mMotionDeceleration * dt);
        double& rate = mMotionVelocity[axis];
        if (rate > 0.0) {
            if (rate > loss) {
                rate -= loss;
            } else {
                StopTimer(axis);
            }
        } else if (rate < -loss) {
            rate += loss;
        } else {
            StopTimer(axis);
        }
    }
}

void LControl::StartFling()
{
    mReleaseTime = GetControlTimeMilliseconds();
    if (int32_t(mReleaseTime - mLastMoveTime) >= 100) {
        return;
    }
    RectT<double> limits;
    GetScrollLimits(limits, this);
    if ((mDragFlags == kAxisX || mDragFlags == (kAxisX | kAxisY)) &&
        std::fabs(mFlingVelocity.x) >= 1000.0) {
        StartTimer(0, mFlingVelocity.x, limits.width, 0.0, nullptr);
        mFling[0] = true;
    }
    if ((mDragFlags == kAxisY || mDragFlags == (kAxisX | kAxisY)) &&
        std::fabs(mFlingVelocity.y) >= 1000.0) {
        StartTimer(1, mFlingVelocity.y, limits.height, 0.0, nullptr);
        mFling[1] = true;
    }
}

} // namespace SV
