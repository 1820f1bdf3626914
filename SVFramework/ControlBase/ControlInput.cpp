// Pointer input of a control: hit testing, presses, moves and releases turned into press and drag
// state and clicks, and the routing of wheel steps.
#include "ControlBase/Control.h"
#include "Notification/NotificationNames.h"

#include "ControlBase/ControlApplication.h"
#include "ControlBase/MenuDescriptor.h"
#include "Notification/Notification.h"
#include "System/ModifierKeys.h"
#include "Windows/MouseParams.h"
#include "Windows/RootWindow.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace SV {

namespace {

constexpr double kCoordinateLimit = 4503599627370496.0; // 2^52

int32_t RoundToInt(double v)
{
    const double r = std::round(v);
    return static_cast<int32_t>(std::clamp(r, double(INT32_MIN), double(INT32_MAX)));
}

// The index of a button number in the pressed and dragging flags; -1 for a bad number.
int32_t ButtonIndex(int32_t button)
{
    switch (button) {
    case kButtonLeft:
        return 0;
    case kButtonMiddle:
        return 1;
    case kButtonRight:
        return 2;
    default:
        return -1;
    }
}

bool ContainsIntPoint(const RectT<int32_t>& r, const PointT<int32_t>& p)
{
    return p.x >= r.x && p.x < r.x + r.width && p.y >= r.y && p.y < r.y + r.height;
}

RectT<int32_t> RoundRect(const RectT<double>& r)
{
    const int32_t left = RoundToInt(r.x);
    const int32_t top = RoundToInt(r.y);
    return {left, top, RoundToInt(r.x + r.width) - left, RoundToInt(r.y + r.height) - top};
}

} // namespace

bool LControl::AcceptsInput() const
{
    return IsVisible(true) && IsEnabled(false) && (!mParent || mParent->IsEnabled(true));
}

bool LControl::ContainsPoint(const PointT<int32_t>& point) const
{
    const double px =
        std::clamp(double(point.x) + std::round(mRect.x), -kCoordinateLimit, kCoordinateLimit);
    const double py =
        std::clamp(double(point.y) + std::round(mRect.y), -kCoordinateLimit, kCoordinateLimit);
    return mRect.x <= px && px < mRect.x + mRect.width && mRect.y <= py &&
           py < mRect.y + mRect.height;
}

RCPtr<LControl> LControl::HitTest(const PointT<int32_t>& point, bool within,
                                  PointT<int32_t>& localPoint, int32_t& z)
{
    localPoint = {0, 0};
    if (mSubtreeExcluded) {
        return nullptr;
    }
    const bool shown = mLayout && mLayout->visible && mRect.width > 0.0 && mRect.height > 0.0;
    const bool inside = shown && ContainsPoint(point);
    if (!shown || (!inside && mUnclippedCount <= 0)) {
        return nullptr;
    }
    RCPtr<LControl> best;
    int32_t bestZ = INT32_MIN;
    const int32_t ownZ = GetEffectiveZOrder();
    const int32_t childCount = mChildren.GetCount();
    if (childCount > 0) {
        // Without looks the whole control stands in for its one client part.
        const int32_t lookCount = std::max<int32_t>(mLooks.GetCount(), 1);
        for (int32_t look = 0; look < lookCount; ++look) {
            if (mLooks.GetCount() > 0 && !(*mLookAlphas.At(look) > 0.0f)) {
                continue;
            }
            const RectT<int32_t> lookRect =
                RoundRect(GetLookRect(mLooks.GetCount() > 0 ? look : -1));
            const bool inLook = ContainsIntPoint(lookRect, point);
            const PointT<int32_t> childPoint{
                RoundToInt(double(point.x) - lookRect.x + mScrollOffset.x),
                RoundToInt(double(point.y) - lookRect.y + mScrollOffset.y)};
            for (int32_t i = mChildren.GetCount() - 1; i >= 0; --i) {
                if (i >= mChildren.GetCount()) {
                    continue;
                }
                const RCPtr<LControl> child = mChildren.GetAt(i, kDrawOrder);
                const bool near =
                    (within && inside) && (inLook || (child->IsDocked(0) && child->IsDocked(1)));
                const bool tryChild = (!best && (near || ownZ > INT32_MIN)) ||
                                      !child->IsClipped() || child->mUnclippedCount > 0;
                if (!tryChild) {
                    continue;
                }
                PointT<int32_t> childLocal;
                int32_t childZ = z;
                const PointT<int32_t> inChild{RoundToInt(childPoint.x - child->mRect.x),
                                              RoundToInt(childPoint.y - child->mRect.y)};
                RCPtr<LControl> hit = child->HitTest(inChild, within && inside, childLocal, childZ);
                if (hit && (!best || hit->GetEffectiveZOrder() > bestZ)) {
                    best = hit;
                    bestZ = hit->GetEffectiveZOrder();
                    localPoint = childLocal;
                }
            }
        }
    }
    if (best) {
        z = bestZ;
        return best;
    }
    bool clippedAway = false;
    if (mParent && !(IsDocked(0) && IsDocked(1)) && IsClipped()) {
        PointT<double> inParent{double(point.x), double(point.y)};
        mParent->OffsetToControl(*this, inParent);
        const RectT<int32_t> parentLook = RoundRect(mParent->GetLookRect(-1));
        clippedAway =
            !ContainsIntPoint(parentLook, {RoundToInt(inParent.x), RoundToInt(inParent.y)});
    }
    const bool zWins = ownZ > INT32_MIN ? ownZ > z : within;
    if (!IsTransparentAt(point) && !mHitTestExcluded && inside && !clippedAway && zWins) {
        localPoint = point;
        z = ownZ;
        return RCPtr<LControl>(this);
    }
    return nullptr;
}

int32_t LControl::OnMouseEnter()
{
    mPointerOver = true;
    UpdateConditions();
    return 0;
}

int32_t LControl::OnMouseLeave()
{
    mPointerOver = false;
    UpdateConditions();
    return 0;
}

int32_t LControl::OnMouseDown(const ConstRCPtr<LMouseButtonParam>& event)
{
    if (!event || ButtonIndex(event->mButton) < 0) {
        return E_INVALIDARG;
    }
    const RCPtr<LControl> keepAlive(this);
    if (!mCapture) {
        if (!AcceptsInput()) {
            return S_FALSE;
        }
        if (mNotFocusable) {
            if (mParent) {
                mParent->RequestFocusOnClick(this);
            }
        } else if (!mFocusBarrier && mParent && mParent->IsNotFocusable(true)) {
            mParent->RequestFocusOnClick(this);
        } else {
            SetFocus(true);
        }
    }
    switch (event->mButton) {
    case kButtonLeft:
        mLastLeftButtonEvent = event;
        OnLeftButtonDown(event);
        break;
    case kButtonMiddle:
        OnMiddleButtonDown(event);
        break;
    default:
        OnRightButtonDown(event);
        break;
    }
    SendNotification(kNidMouseDown, event);
    if (mCapture) {
        return 0;
    }
    OnDragStart(event->mButton, event->mX, event->mY);
    return 0;
}

int32_t LControl::OnDragStart(int32_t button, int32_t x, int32_t y)
{
    const int32_t index = ButtonIndex(button);
    if (index < 0 || mCapture || !AcceptsInput()) {
        return S_FALSE;
    }
    const RCPtr<LRootWindow> window = GetRootWindowRef();
    // A press whose button is no longer held starts nothing. A tree without a native window
    // (a headless one) has no button state to ask.
    if (window && window->GetWindowServices() != nullptr &&
        (window->GetMouseButtons() & button) == 0) {
        return S_FALSE;
    }
    const RCPtr<LControl> keepAlive(this);
    mDragStartPoint = {std::clamp(double(x), -kCoordinateLimit, kCoordinateLimit) + mRect.x,
                       std::clamp(double(y), -kCoordinateLimit, kCoordinateLimit) + mRect.y};
    mDragOffset = {0.0, 0.0};
    // A press stops a running fling.
    for (int32_t axis = 0; axis < 2; ++axis) {
        if (mFling[axis]) {
            StopTimer(axis);
        }
    }
    mCapture = true;
    mLastMoveTime = GetControlTimeMilliseconds();
    mFlingVelocity = {0.0, 0.0};
    if (window) {
        window->SetCaptureControl(keepAlive);
    }
    mPressed[index] = true;
    if (index == 0) {
        mDragMode = 0;
    }
    // The control class may choose its drag mode, flags and threshold here.
    UpdateConditions();
    if (mDragThreshold == 0) {
        mPressed[index] = false;
        mDragging[index] = true;
        UpdateConditions();
        if (mDragging[0] && mDragMode != 0) {
            DragTo(CreatePointWithModifiersParam({x, y}, 0, 0));
        }
    }
    return 0;
}

int32_t LControl::SetDragThreshold(int32_t pixels)
{
    if (pixels < 0) {
        return E_INVALIDARG;
    }
    mDragThreshold = pixels;
    return 0;
}

void LControl::CheckDragThreshold(const LPointWithModifiersParam& event)
{
    const PointT<int32_t> pressPoint{RoundToInt(mDragStartPoint.x - mRect.x),
                                     RoundToInt(mDragStartPoint.y - mRect.y)};
    const int64_t dx = std::llabs(int64_t(event.mX) - pressPoint.x);
    const int64_t dy = std::llabs(int64_t(event.mY) - pressPoint.y);
    if (std::max(dx, dy) < mDragThreshold) {
        return;
    }
    OnMouseMove(CreatePointWithModifiersParam(pressPoint, event.mModifiers, 0));
    for (int32_t i = 0; i < 3; ++i) {
        if (mPressed[i]) {
            mDragging[i] = true;
            break;
        }
    }
    mPressed[0] = mPressed[1] = mPressed[2] = false;
    UpdateConditions();
}

int32_t LControl::OnMouseMove(const ConstRCPtr<LPointWithModifiersParam>& event)
{
    if (!event) {
        return E_INVALIDARG;
    }
    const RCPtr<LControl> keepAlive(this);
    const uint32_t eventTime = GetControlTimeMilliseconds();
    mEventTime = eventTime;
    if (mPressed[0] || mPressed[1] || mPressed[2]) {
        CheckDragThreshold(*event);
    }
    OnPointerMove(event);
    SendNotification(kNidMouseMove, event);
    if (mDragging[0] && mDragMode != 0) {
        DragTo(event);
    }
    mLastMoveTime = eventTime;
    return 0;
}

int32_t LControl::OnMouseUp(const ConstRCPtr<LMouseButtonParam>& event)
{
    const int32_t index = event ? ButtonIndex(event->mButton) : -1;
    if (index < 0) {
        return E_INVALIDARG;
    }
    const RCPtr<LControl> keepAlive(this);
    if (!mCapture && !AcceptsInput()) {
        return S_FALSE;
    }
    switch (index) {
    case 0:
        OnLeftButtonUp(event);
        break;
    case 1:
        OnMiddleButtonUp(event);
        break;
    default:
        OnRightButtonUp(event);
        break;
    }
    const bool isClick = (mPressed[index] || (mDragging[index] && mDragMode == 0)) && mPointerOver;
    if (index == 0 && mDragging[0] && mDragMode == kDragKineticPan) {
        StartFling();
    }
    SendNotification(kNidMouseUp, event);
    if (mCapture && event->mButtons == 0) {
        OnCaptureLost();
    }
    if (isClick && IsEnabled(false) && (!mParent || mParent->IsEnabled(true))) {
        OnClick(event);
    }
    return 0;
}

int32_t LControl::OnCaptureLost()
{
    if (!mCapture) {
        return S_FALSE;
    }
    const RCPtr<LControl> keepAlive(this);
    mCapture = false;
    for (int32_t i = 0; i < 3; ++i) {
        mPressed[i] = false;
        mDragging[i] = false;
    }
    int32_t result = 0;
    const RCPtr<LRootWindow>& window = GetRootWindowRef();
    if (window) {
        result = window->ReleaseCaptureControl();
    }
    UpdateConditions();
    mLastLeftButtonEvent = nullptr;
    return result;
}

int32_t LControl::OnClick(const ConstRCPtr<LMouseButtonParam>& event)
{
    if (!event) {
        return E_INVALIDARG;
    }
    switch (event->mButton) {
    case kButtonLeft:
        return OnLeftClick(event);
    case kButtonMiddle:
        return OnMiddleClick(event);
    case kButtonRight:
        return OnRightClick(event);
    default:
        return E_INVALIDARG;
    }
}

int32_t LControl::OnLeftClick(const ConstRCPtr<LMouseButtonParam>& event)
{
    if (!event) {
        return E_INVALIDARG;
    }
    BeforeLeftClick(event);
    SendNotification(kNidLeftClick, event);
    return 0;
}

int32_t LControl::OnMiddleClick(const ConstRCPtr<LMouseButtonParam>& event)
{
    if (!event) {
        return E_INVALIDARG;
    }
    BeforeMiddleClick(event);
    SendNotification(kNidMiddleClick, event);
    return 0;
}

int32_t LControl::OnRightClick(const ConstRCPtr<LMouseButtonParam>& event)
{
    if (!event) {
        return E_INVALIDARG;
    }
    BeforeRightClick(event);
    SendNotification(kNidRightClick, event);
    if (const RCPtr<LMenuDescriptor> menu = GetContextMenu()) {
        ShowContextMenu(menu);
    }
    return 0;
}

int32_t LControl::OnMouseWheel(const ConstRCPtr<LMouseWheelParam>& event)
{
    if (!event) {
        return -1;
    }
    const bool vertical = event->mDirection == 0 || event->mDirection == 1;
    RCPtrArray<LControl> asked;
    RCPtr<LControl> current(this);
    // Each control is asked once. The hit test beneath the controls already asked skips their
    // whole subtrees: skipping only the controls themselves lets a clipped child of an overlay be
    // found again and again.
    while (current) {
        const int32_t result =
            vertical ? current->HandleVerticalWheel(event) : current->HandleHorizontalWheel(event);
        if (result != S_FALSE) {
            return result;
        }
        asked.Add(current);
        const bool climbs =
            current->IsClipped() && (!current->mParent || current->mParent->IsClipped());
        RCPtr<LControl> next;
        if (climbs) {
            next = current->mParent;
        } else {
            const RCPtr<LRootWindow>& window = current->GetRootWindowRef();
            if (window) {
                for (int32_t i = 0; i < asked.GetCount(); ++i) {
                    (*asked.At(i))->mSubtreeExcluded = true;
                }
                PointT<int32_t> local;
                next = window->HitTest({event->mX, event->mY}, false, local);
                for (int32_t i = 0; i < asked.GetCount(); ++i) {
                    (*asked.At(i))->mSubtreeExcluded = false;
                }
            }
        }
        for (int32_t i = 0; next && i < asked.GetCount(); ++i) {
            if (asked.At(i)->Get() == next.Get()) {
                next = nullptr;
            }
        }
        current = next;
    }
    return S_FALSE;
}

int32_t LControl::RequestFocusOnClick(LControl* /*child*/)
{
    if (!mNotFocusable && (!mParent || mFocusBarrier || !mParent->IsNotFocusable(true))) {
        SetFocus(true);
    } else if (mParent) {
        mParent->RequestFocusOnClick(this);
    }
    return 0;
}

void LControl::OnLeftButtonDown(const ConstRCPtr<LMouseButtonParam>& /*event*/)
{}
void LControl::OnMiddleButtonDown(const ConstRCPtr<LMouseButtonParam>& /*event*/)
{}
void LControl::OnRightButtonDown(const ConstRCPtr<LMouseButtonParam>& /*event*/)
{}
void LControl::OnLeftButtonUp(const ConstRCPtr<LMouseButtonParam>& /*event*/)
{}
void LControl::OnMiddleButtonUp(const ConstRCPtr<LMouseButtonParam>& /*event*/)
{}
void LControl::OnRightButtonUp(const ConstRCPtr<LMouseButtonParam>& /*event*/)
{}
void LControl::OnPointerMove(const ConstRCPtr<LPointWithModifiersParam>& /*event*/)
{}
void LControl::BeforeLeftClick(const ConstRCPtr<LMouseButtonParam>& /*event*/)
{}
void LControl::BeforeMiddleClick(const ConstRCPtr<LMouseButtonParam>& /*event*/)
{}
void LControl::BeforeRightClick(const ConstRCPtr<LMouseButtonParam>& /*event*/)
{}

int32_t LControl::HandleVerticalWheel(const ConstRCPtr<LMouseWheelParam>& /*event*/)
{
    return S_FALSE;
}

int32_t LControl::HandleHorizontalWheel(const ConstRCPtr<LMouseWheelParam>& /*event*/)
{
    return S_FALSE;
}

void LControl::SendNotificationToReceiver(LNotificationReceiver* receiver, const char16_t* name,
                                          const ConstRCPtr<LRefCountedObject>& payload)
{
    if (receiver == nullptr || name == nullptr) {
        return;
    }
    receiver->Receive(ConstRCPtr<LNotificationDistributor>(), CreateNotification(name, payload));
}

} // namespace SV
