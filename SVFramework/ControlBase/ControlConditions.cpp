// The condition mask with its notifications, the value and its range, idle requests and the
// motion timers of LControl.
#include "ControlBase/Control.h"
#include "Notification/NotificationNames.h"

#include "ControlBase/ControlApplication.h"
#include "Notification/Notification.h"
#include "ResultCodes.h"
#include "Windows/RootWindow.h"

#include <algorithm>
#include <cmath>

namespace SV {

namespace {

// The notification of each group of bits, in the order they are sent.
struct ConditionGroup
{
    uint32_t bits;
    const char16_t* name;
};

constexpr ConditionGroup kConditionGroups[] = {
    {kConditionHasFocus, kNidHasFocusConditionChange},
    {kConditionContainsFocus, kNidContainsFocusConditionChange},
    {kConditionHover, kNidHoverConditionChange},
    {kConditionCapture, kNidCaptureConditionChange},
    {kConditionLeftPressed | kConditionLeftDragging, kNidLeftDragConditionChange},
    {kConditionMiddlePressed | kConditionMiddleDragging, kNidMiddleDragConditionChange},
    {kConditionRightPressed | kConditionRightDragging, kNidRightDragConditionChange},
    {kConditionEnabled, kNidEnabledConditionChange},
    {kConditionVisible, kNidVisibilityConditionChange},
};

} // namespace

bool LControl::IsEnabled(bool inherited) const
{
    for (const LControl* control = this; control != nullptr; control = control->mParent.Get()) {
        if (control->mLayout && !control->mLayout->enabled) {
            return false;
        }
        if (!inherited) {
            break;
        }
    }
    return true;
}

bool LControl::IsVisible(bool inherited) const
{
    for (const LControl* control = this; control != nullptr; control = control->mParent.Get()) {
        if (!control->mLayout || !control->mLayout->visible || !(control->mRect.width > 0.0) ||
            !(control->mRect.height > 0.0)) {
            return false;
        }
        if (!inherited) {
            break;
        }
    }
    return true;
}

uint32_t LControl::ComputeConditions() const
{
    uint32_t mask = 0;
    const bool flags[] = {mHasFocus,   mContainsFocus, mPointerOver, mCapture,     mPressed[0],
                          mPressed[1], mPressed[2],    mDragging[0], mDragging[1], mDragging[2]};
    for (uint32_t bit = 0; bit < 10; ++bit) {
        if (flags[bit]) {
            mask |= 1u << bit;
        }
    }
    const bool ownEnabled = !mLayout || mLayout->enabled;
    if (ownEnabled && (!mParent || mParent->IsEnabled(true))) {
        mask |= kConditionEnabled;
    }
    if (IsVisible(true)) {
        mask |= kConditionVisible;
    }
    if (mPointerOver || mHoverHighlight) {
        mask |= kConditionHover;
    }
    return mask;
}

void LControl::UpdateConditions()
{
    const uint32_t mask = ComputeConditions();
    if (mask == mConditionsParam->mNewMask) {
        return;
    }
    mConditionsParam->mOldMask = mConditionsParam->mNewMask;
    mConditionsParam->mNewMask = mask;
    mConditionsParam->mPoint = mDragStartPoint;
    const uint32_t changed = mConditionsParam->mOldMask ^ mask;
    // The payload is shared by every receiver of this change; keep it for the whole walk even
    // when a receiver changes the conditions again.
    const RCPtr<LConditionsParam> payload = mConditionsParam;
    const RCPtr<LControl> keepAlive(this);

    FollowPointerWithCursor(changed, mask);
    const bool leftDragChanged = (changed & kConditionLeftDragging) != 0;
    if (leftDragChanged && (mask & kConditionLeftDragging) == 0 && mDragMode != 0) {
        EndDrag();
    }
    OnConditionsChanged(payload);
    SendNotification(kNidConditionChange, payload);
    for (const ConditionGroup& group : kConditionGroups) {
        if ((changed & group.bits) != 0) {
            SendNotification(group.name, payload);
        }
    }
    // After the notifications: a control may choose its drag mode when the drag begins.
    if (leftDragChanged && (mask & kConditionLeftDragging) != 0 && mDragMode != 0) {
        BeginDrag();
    }
    // A control hidden under the pointer, or a capture that ended with the pointer elsewhere:
    // the control under the pointer gets its enter now, not at the next move.
    const bool hiddenUnderPointer = mPointerOver && (changed & kConditionVisible) != 0 &&
                                    (mask & kConditionVisible) == 0 && !mCapture;
    const bool captureEndedElsewhere =
        (changed & kConditionCapture) != 0 && (mask & kConditionCapture) == 0 && !mPointerOver;
    if (hiddenUnderPointer || captureEndedElsewhere) {
        if (const RCPtr<LRootWindow> window = GetRootWindowRef()) {
            PointT<int32_t> local;
            window->HitTest(window->GetCursorPosition(), true, local);
        }
    }
    if ((changed & (kConditionEnabled | kConditionVisible)) != 0) {
        for (int32_t i = mChildren.GetCount() - 1; i >= 0; --i) {
            if (i < mChildren.GetCount()) {
                RCPtr<LControl> child = mChildren.GetAt(i, kStoredOrder);
                child->UpdateConditions();
            }
        }
    }
}

void LControl::FollowPointerWithCursor(uint32_t changed, uint32_t mask)
{
    if (mCursor == nullptr) {
        return;
    }
    const RCPtr<LRootWindow>& window = GetRootWindowRef();
    if (!window) {
        return;
    }
    const bool pointerOver = (mask & kConditionPointerOver) != 0;
    const bool capture = (mask & kConditionCapture) != 0;
    if ((changed & kConditionPointerOver) != 0 && pointerOver && !capture) {
        mRestoreCursor = window->SetCursor(mCursor);
    } else if (((changed & kConditionPointerOver) != 0 && !pointerOver && !capture) ||
               ((changed & kConditionCapture) != 0 && !capture && !pointerOver)) {
        // The cursor stays while the control holds the capture, and goes when the capture ends
        // with the pointer elsewhere.
        window->SetCursor(mRestoreCursor);
    }
}

void LControl::OnConditionsChanged(const RCPtr<LConditionsParam>& /*conditions*/)
{}

void LControl::SetHoverHighlight(bool highlight)
{
    if (mHoverHighlight != highlight) {
        mHoverHighlight = highlight;
        UpdateConditions();
    }
}

void LControl::SetEnabled(bool enabled)
{
    if (!mLayout || mLayout->enabled == enabled) {
        return;
    }
    mLayout->enabled = enabled;
    if (enabled) {
        TakeFocusFromParent();
    } else {
        PassFocusToParent();
    }
    UpdateConditions();
    InvalidateSelf();
    InvalidateChildren();
}

bool LControl::SetVisible(bool visible)
{
    if (mLayout && mLayout->visible != visible) {
        // Hiding invalidates while the area still counts as shown, so it is drawn again.
        if (!visible) {
            InvalidateSelf();
            InvalidateChildren();
        }
        mLayout->visible = visible;
        if (visible) {
            TakeFocusFromParent();
            InvalidateSelf();
            InvalidateChildren();
        } else {
            PassFocusToParent();
        }
        UpdateConditions();
    }
    return IsVisible(true);
}

// Values --------------------------------------------------------------------------------------

int32_t LControl::SetValueRange(double minimum, double maximum, int32_t scale)
{
    if (scale != 0 && (scale != 1 || !(minimum > 0.0) || !(maximum > 0.0))) {
        return E_INVALIDARG;
    }
    mValueMinimum = minimum;
    mValueMaximum = maximum;
    mValueScale = scale;
    return S_OK;
}

double LControl::NormalizedToValue(double normalized) const
{
    if (mValueScale == 1) {
        return mValueMinimum * std::pow(mValueMaximum / mValueMinimum, normalized);
    }
    return (mValueMaximum - mValueMinimum) * normalized + mValueMinimum;
}

double LControl::ValueToNormalized(double value) const
{
    const double low = std::min(mValueMinimum, mValueMaximum);
    const double high = std::max(mValueMinimum, mValueMaximum);
    value = std::clamp(value, low, high);
    if (mValueMinimum == mValueMaximum) {
        return 0.0;
    }
    if (mValueScale == 1) {
        return std::log(value / mValueMinimum) / std::log(mValueMaximum / mValueMinimum);
    }
    return (value - mValueMinimum) / (mValueMaximum - mValueMinimum);
}

double LControl::SetNormalizedValue(double value)
{
    value = value < 0.0 ? 0.0 : (value > 1.0 ? 1.0 : value);
    if (value == mNormalizedValue || std::isnan(value)) {
        return mNormalizedValue;
    }
    mNormalizedValue = value;
    OnValueChanged();
    SendNotification(kNidValueChange,
                     CreateValueParam(mNormalizedValue, NormalizedToValue(mNormalizedValue)));
    return mNormalizedValue;
}

void LControl::OnValueChanged()
{}

// Idle time and timers ------------------------------------------------------------------------

int32_t LControl::RegisterIdle()
{
    const RCPtr<LRootWindow>& window = GetRootWindowRef();
    if (!window) {
        return S_OK;
    }
    if (!mNotificationHandler) {
        return E_FAIL;
    }
    return mNotificationHandler->RegisterHandler(&LControl::IdleStep,
                                                 RCPtr<LNotificationDistributor>(window), kNidIdle);
}

int32_t LControl::RequestIdle()
{
    if (mIdleRequests++ != 0) {
        return S_OK;
    }
    const int32_t result = RegisterIdle();
    if (result < 0) {
        mIdleRequests = 0;
    }
    return result;
}

int32_t LControl::ReleaseIdle()
{
    // An unbalanced release leaves the count at 0: a negative count would make the next request
    // skip its registration and Detach's release loop never end.
    if (mIdleRequests <= 0) {
        return S_OK;
    }
    if (--mIdleRequests != 0) {
        return S_OK;
    }
    const RCPtr<LRootWindow>& window = GetRootWindowRef();
    if (!window) {
        return S_OK;
    }
    RCPtr<LNotificationDistributor> distributor(window);
    if (!mNotificationHandler || !mNotificationHandler->UnregisterHandler(distributor, kNidIdle)) {
        return E_FAIL;
    }
    return LNotificationClient::Unregister(distributor, kNidIdle);
}

void LControl::OnRootAttached()
{
    if (mIdleRequests > 0 && RegisterIdle() < 0) {
        mIdleRequests = 0;
    }
    for (int32_t i = mChildren.GetCount() - 1; i >= 0; --i) {
        if (i < mChildren.GetCount()) {
            RCPtr<LControl> child = mChildren.GetAt(i, kStoredOrder);
            child->OnRootAttached();
        }
    }
}

int32_t LControl::StartTimer(int32_t index, double rate, double upper, double lower,
                             const RCPtr<LControl>& target)
{
    const int32_t i = index & 1;
    mMotionVelocity[i] = rate;
    mMotionMax[i] = upper;
    mMotionMin[i] = lower;
    mMotionTarget[i] = target;
    if (!mMotionActive[i]) {
        mMotionActive[i] = true;
        IControlApplication* application = GetControlApplication();
        mMotionTime[i] = application != nullptr ? application->GetTime() : 0.0;
        RequestIdle();
    }
    return S_OK;
}

int32_t LControl::StopTimer(int32_t index)
{
    const int32_t i = index & 1;
    mMotionTarget[i] = nullptr;
    if (!mMotionActive[i]) {
        return S_FALSE;
    }
    mMotionActive[i] = false;
    mFling[i] = false;
    ReleaseIdle();
    return S_OK;
}

void LControl::OnIdle()
{}

} // namespace SV
