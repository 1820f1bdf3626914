#include "Controls/Knob.h"

#include "ControlBase/ControlCreator.h"
#include "ControlBase/KeyParam.h"
#include "Notification/NotificationNames.h"
#include "ObjectBase/Holder.h"
#include "ResultCodes.h"
#include "System/ModifierKeys.h"
#include "Utilities/Storage/StringTable.h"
#include "Windows/MouseParams.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace SV {

namespace {

constexpr double kValueMaximum = 127.0;
constexpr double kDefaultFineAdjust = 0.25;
constexpr double kCoordinateLimit = 4503599627370496.0; // 2^52

double ClampCoordinate(double value)
{
    return std::clamp(value, -kCoordinateLimit, kCoordinateLimit);
}

// Create parameters are parsed as C's atoi and atof do: 0 for text that is no number. An absent
// one leaves the setting alone.
void ReadNumber(const LStringTable& params, const char16_t* id, double& value)
{
    WideString text;
    if (params.GetString(WideString(id), text)) {
        value = std::atof(NarrowString(text).GetText());
    }
}

void ReadInteger(const LStringTable& params, const char16_t* id, int32_t& value)
{
    WideString text;
    if (params.GetString(WideString(id), text)) {
        value = std::atoi(NarrowString(text).GetText());
    }
}

RCPtr<LHolder<bool>> CaptureFlag(bool captured)
{
    return RCPtr<LHolder<bool>>(new LHolder<bool>(captured));
}

} // namespace

LKnob::LKnob(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived)
    : LControl(parent, name, mostDerived)
{}

RCPtr<LControl> LKnob::CreateControl(const RCPtr<LControl>& parent,
                                     const ConstRCPtr<LControlDescriptor>& descriptor)
{
    return CreateControlOf<LKnob>(parent, descriptor);
}

int32_t LKnob::Initialize()
{
    const int32_t result = LControl::Initialize();
    if (result < 0) {
        return result;
    }
    if (mControlDescriptor && mControlDescriptor->GetCreateParams()) {
        const LStringTable& params = *mControlDescriptor->GetCreateParams();
        ReadInteger(params, u"LINEAR_GESTURE_FULL_RANGE", mLinearRange);
        ReadNumber(params, u"RADIAL_GESTURE_START_ANGLE", mStartAngle);
        ReadNumber(params, u"RADIAL_GESTURE_END_ANGLE", mEndAngle);
        ReadNumber(params, u"FINE_ADJUST_MULTIPLIER", mFineAdjust);
    }
    if (mStartAngle != 0.0 || mEndAngle != 0.0) {
        mRadialMode = 1;
        mStartAngle = NormalizeAngle(mStartAngle);
        mEndAngle = NormalizeAngle(mEndAngle);
    }
    if (mFineAdjust == 0.0) {
        mFineAdjust = kDefaultFineAdjust;
    }
    SetValueRange(0.0, kValueMaximum, 0);
    return result;
}

int32_t LKnob::FinishCreate()
{
    const RCPtrArray<LLook>& looks = GetLooks();
    mFrameCount = 0;
    while (mFrameCount < static_cast<uint32_t>(looks.GetCount()) && *looks.At(mFrameCount)) {
        ++mFrameCount;
    }
    const auto lookExists = [&](uint32_t index) {
        return index < static_cast<uint32_t>(looks.GetCount()) && *looks.At(index);
    };
    if (lookExists(mFrameCount + 1)) {
        mFocusOverlayLook = static_cast<int32_t>(mFrameCount + 1);
        if (HasFocus()) {
            SetFrameOverlay(mFocusOverlayLook, true);
        }
    }
    if (lookExists(mFrameCount + 2)) {
        mDisabledOverlayLook = static_cast<int32_t>(mFrameCount + 2);
        if (!IsEnabled(true)) {
            SetFrameOverlay(mDisabledOverlayLook, true);
        }
    }
    // Without frame looks there is no grid to fit the default range to: one pixel per step.
    if (mRadialMode == 0 && mLinearRange == 0) {
        mLinearRange = mFrameCount == 0
                           ? static_cast<int32_t>(kValueMaximum) + 1
                           : static_cast<int32_t>(std::round(128.0 / mFrameCount) * mFrameCount);
    }
    const RCPtr<LLook> look = GetLook(-1);
    const RectT<double> area =
        look ? GetLookRect(-1) : RectT<double>{0, 0, mRect.width, mRect.height};
    mCentre = {static_cast<int32_t>(area.x + area.width / 2),
               static_cast<int32_t>(area.y + area.height / 2)};
    return S_OK;
}

void LKnob::SetFrameOverlay(int32_t overlayLook, bool on)
{
    const RCPtr<LLook> overlay = GetLook(overlayLook);
    const RCPtr<LVisualPart> part = overlay ? overlay->GetClientPart() : nullptr;
    for (int32_t frame = static_cast<int32_t>(mFrameCount) - 1; frame >= 0; --frame) {
        if (on && part) {
            SetLookPart(part->GetBitmap(), part->GetResizeType(), frame, false);
        } else {
            SetLookPart(nullptr, ResizeType::Stretch, frame, false);
        }
    }
}

double LKnob::SetNormalizedValue(double value)
{
    if (IsDragging(0)) {
        mPendingValue = value;
        return GetNormalizedValue();
    }
    return LControl::SetNormalizedValue(value);
}

void LKnob::OnValueChanged()
{
    if (mFrameCount == 0) {
        return;
    }
    ShowLook(static_cast<int32_t>(std::round((mFrameCount - 1) * GetNormalizedValue())));
}

void LKnob::OnConditionsChanged(const RCPtr<LConditionsParam>& conditions)
{
    LControl::OnConditionsChanged(conditions);
    if (!conditions) {
        return;
    }
    const uint32_t before = conditions->mOldMask;
    const uint32_t after = conditions->mNewMask;
    const auto began = [&](uint32_t bit) { return (after & bit) != 0 && (before & bit) == 0; };
    const auto ended = [&](uint32_t bit) { return (after & bit) == 0 && (before & bit) != 0; };

    if (began(kConditionLeftDragging)) {
        mLastPoint = {static_cast<int32_t>(std::round(conditions->mPoint.x - mRect.x)),
                      static_cast<int32_t>(std::round(conditions->mPoint.y - mRect.y))};
        mPreviousPoint = mLastPoint;
        if (mRadialMode == 1) {
            ApplyRadialGesture(mLastPoint.x, mLastPoint.y);
        }
        mPendingValue = -1.0;
        SendNotification(kNidValueChangeCapture, CaptureFlag(true));
    } else if (ended(kConditionLeftDragging)) {
        if (mPendingValue >= 0.0 && mPendingValue <= 1.0) {
            LControl::SetNormalizedValue(mPendingValue);
        }
        mPendingValue = -1.0;
        SendNotification(kNidValueChangeCapture, CaptureFlag(false));
    } else if (ended(kConditionHasFocus) && mKeyHeld) {
        mKeyHeld = false;
        SendNotification(kNidValueChangeKeyUp);
    }
    if (((before ^ after) & kConditionHasFocus) != 0 && mFocusOverlayLook >= 0) {
        SetFrameOverlay(mFocusOverlayLook, (after & kConditionHasFocus) != 0);
    }
    if (((before ^ after) & kConditionEnabled) != 0 && mDisabledOverlayLook >= 0) {
        SetFrameOverlay(mDisabledOverlayLook, (after & kConditionEnabled) == 0);
    }
}

void LKnob::OnPointerMove(const ConstRCPtr<LPointWithModifiersParam>& event)
{
    if (!event || !IsDragging(0)) {
        return;
    }
    if (mRadialMode == 1) {
        ApplyRadialGesture(event->mX, event->mY);
        return;
    }
    ApplyLinearGesture(event->mX, event->mY, (event->mModifiers & kModifierCtrl) != 0);
}

void LKnob::ApplyLinearGesture(int32_t x, int32_t y, bool fine)
{
    double dx = ClampCoordinate(static_cast<double>(x) - mLastPoint.x);
    double dy = ClampCoordinate(static_cast<double>(y) - mLastPoint.y);
    const double turn = ClampCoordinate((static_cast<double>(x) - mPreviousPoint.x) -
                                        (static_cast<double>(y) - mPreviousPoint.y));
    // A diagonal move counts along the axis the gesture was already following.
    if (dx > 0 && dy > 0) {
        if (turn > 0 && dy > dx) {
            dy = 0;
        } else if (turn < 0 && dx > dy) {
            dx = 0;
        }
    } else if (dx < 0 && dy < 0) {
        if (turn > 0 && dy > dx) {
            dx = 0;
        } else if (turn < 0 && dx > dy) {
            dy = 0;
        }
    }
    if (mLinearRange > 1) {
        double delta = (dx - dy) / (mLinearRange - 1);
        double steps = mLinearRange - 1;
        if (fine) {
            delta *= mFineAdjust;
            steps = mLinearRange / mFineAdjust - 1;
        }
        const double value = std::clamp(GetNormalizedValue() + delta, 0.0, 1.0);
        LControl::SetNormalizedValue(std::round(steps * value) / steps);
    }
    mPreviousPoint = mLastPoint;
    mLastPoint = {x, y};
}

void LKnob::ApplyRadialGesture(int32_t x, int32_t y)
{
    if (x == mCentre.x && y == mCentre.y) {
        return;
    }
    double angle = ToPolar(static_cast<double>(x) - mCentre.x, static_cast<double>(y) - mCentre.y);
    const double start = mStartAngle;
    double end = mEndAngle;
    if (start >= end) {
        end += 360.0;
    }
    if (start >= angle) {
        angle += 360.0;
    }
    double value = 0.0;
    if (start <= angle && angle <= end) {
        value = (angle - start) / (end - start);
        if (value < 0.0 || value > 1.0) {
            return;
        }
    } else {
        // In the gap: the half next to the end means the top of the range.
        value = angle <= end + (start + 360.0 - end) / 2 ? 1.0 : 0.0;
    }
    LControl::SetNormalizedValue(value);
}

double LKnob::NormalizeAngle(double degrees)
{
    if (!std::isfinite(degrees)) {
        return 0.0;
    }
    degrees = std::fmod(degrees, 360.0);
    if (degrees < 0.0) {
        degrees += 360.0;
    }
    return degrees >= 360.0 ? 0.0 : degrees;
}

double LKnob::ToPolar(double dx, double dy)
{
    return NormalizeAngle((std::atan2(dy, dx) + std::numbers::pi / 2) * 180.0 / std::numbers::pi);
}

void LKnob::StepBy(double units)
{
    SetNormalizedValue(ValueToNormalized(NormalizedToValue(GetNormalizedValue()) + units));
}

int32_t LKnob::HandleKey(const ConstRCPtr<LKeyParam>& key)
{
    if (!key) {
        return 1;
    }
    const uint32_t code = key->mKey.GetCode();
    const uint32_t virtualKey = key->mKey.GetVirtualKey();
    if (virtualKey != 0 && (code & (KeyCode::kKeyDown | KeyCode::kNoKey)) == 0 &&
        IsArrowKey(virtualKey)) {
        mKeyHeld = false;
        SendNotification(kNidValueChangeKeyUp, key);
        return 0;
    }
    double step = 0.0;
    if (code == PressedVirtualKey(VK_RIGHT) || code == PressedVirtualKey(VK_UP)) {
        step = 1.0;
    } else if (code == PressedVirtualKey(VK_LEFT) || code == PressedVirtualKey(VK_DOWN)) {
        step = -1.0;
    } else {
        return 1;
    }
    if (!mKeyHeld) {
        mKeyHeld = true;
        SendNotification(kNidValueChangeKeyDown, key);
    }
    StepBy(step);
    return 0;
}

int32_t LKnob::HandleVerticalWheel(const ConstRCPtr<LMouseWheelParam>& event)
{
    if (!event) {
        return 1;
    }
    StepBy(event->mDirection == 1 ? 1.0 : -1.0);
    return 0;
}

} // namespace SV
