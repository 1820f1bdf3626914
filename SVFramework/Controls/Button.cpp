#include "Controls/Button.h"

#include "ControlBase/ControlApplication.h"
#include "ControlBase/ControlCreator.h"
#include "ControlBase/KeyParam.h"
#include "Notification/NotificationNames.h"
#include "ResultCodes.h"
#include "Utilities/Storage/StringTable.h"
#include "Windows/MouseParams.h"
#include "Windows/RootWindow.h"

namespace SV {

namespace {

double Now()
{
    IControlApplication* application = GetControlApplication();
    return application ? application->GetTime() : 0.0;
}

bool ReadFlag(const LStringTable& params, const char16_t* id)
{
    WideString text;
    if (!params.GetString(WideString(id), text)) {
        return false;
    }
    return text.ToLower() == WideString(u"true");
}

bool Began(const LConditionsParam& conditions, uint32_t bit)
{
    return (conditions.mNewMask & bit) != 0 && (conditions.mOldMask & bit) == 0;
}

bool Ended(const LConditionsParam& conditions, uint32_t bit)
{
    return (conditions.mNewMask & bit) == 0 && (conditions.mOldMask & bit) != 0;
}

} // namespace

LButton::LButton(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived)
    : LControl(parent, name, mostDerived)
{}

LButton::~LButton()
{}

RCPtr<LControl> LButton::CreateControl(const RCPtr<LControl>& parent,
                                       const ConstRCPtr<LControlDescriptor>& descriptor)
{
    return CreateControlOf<LButton>(parent, descriptor);
}

int32_t LButton::Initialize()
{
    const int32_t result = LControl::Initialize();
    if (result < 0) {
        return result;
    }
    mHandler.Create();
    if (mHandler->RegisterSelfHandler(&LButton::OnSimulateClick, kNidSimulateClick) < 0) {
        return result;
    }
    if (mControlDescriptor && mControlDescriptor->GetCreateParams()) {
        const LStringTable& params = *mControlDescriptor->GetCreateParams();
        mAutoValueSet = ReadFlag(params, u"AUTO_VALUE_SET");
        mRadio = ReadFlag(params, u"IS_RADIO");
    }
    UpdateStateLook();
    return result;
}

int32_t LButton::SetAutoValueSet(bool on)
{
    mAutoValueSet = on;
    return S_OK;
}

int32_t LButton::SetRadio(bool on)
{
    mRadio = on;
    return S_OK;
}

bool LButton::SetChecked(bool checked)
{
    SetNormalizedValue(checked ? 1.0 : 0.0);
    return IsChecked();
}

int32_t LButton::ComputeStateLook() const
{
    if (mPassThrough || mSimulatedClickPending) {
        return -1;
    }
    if (!IsEnabled(true)) {
        return IsChecked() ? kLookCheckedDisabled : kLookDisabled;
    }
    int32_t look = kLookNormal;
    if (HasCapture() && IsDragging(0)) {
        look = (IsPointerOver() || mKeepPressed) ? kLookPressed : kLookHover;
    } else if ((IsPointerOver() || mHoverHighlight) && !HasCapture()) {
        look = kLookHover;
    }
    if (IsChecked()) {
        look += kLookCheckedOffset;
    }
    if (HasFocus()) {
        look += kLookFocusedOffset;
    }
    return look;
}

int32_t LButton::UpdateStateLook()
{
    const int32_t look = ComputeStateLook();
    if (look >= 0) {
        ShowLook(look);
    }
    return S_OK;
}

void LButton::OnValueChanged()
{
    if (mRadio && IsChecked() && mParent) {
        ChildControlList& siblings = mParent->GetChildren();
        for (int32_t index = siblings.GetCount() - 1; index >= 0; --index) {
            LControl* sibling = siblings.GetAt(index, kStoredOrder).Get();
            auto* button = dynamic_cast<LButton*>(sibling);
            if (button != nullptr && button != this && button->mRadio) {
                button->SetNormalizedValue(0.0);
            }
        }
    }
    UpdateStateLook();
}

void LButton::OnConditionsChanged(const RCPtr<LConditionsParam>& conditions)
{
    LControl::OnConditionsChanged(conditions);
    if (mAutoRepeat && conditions) {
        if (Began(*conditions, kConditionHover)) {
            // Time spent with the pointer outside does not count.
            mLastTick = Now();
        } else if (Began(*conditions, kConditionLeftPressed) && IsEnabled(true) && !mHeld) {
            mHeld = true;
            UpdateIdleRequest();
            mLastTick = Now();
            mRemaining = kFirstDelay;
            SendNotification(kNidButtonAutoRepeat);
        } else if (Ended(*conditions, kConditionCapture) && mHeld) {
            mHeld = false;
            UpdateIdleRequest();
        }
    }
    UpdateStateLook();
}

void LButton::SetEnabled(bool enabled)
{
    LControl::SetEnabled(enabled);
    UpdateStateLook();
}

void LButton::BeforeLeftClick(const ConstRCPtr<LMouseButtonParam>& /*event*/)
{
    if (!mAutoValueSet) {
        return;
    }
    SetNormalizedValue(!mRadio && IsChecked() ? 0.0 : 1.0);
}

bool LButton::ContainsPoint(const PointT<int32_t>& point) const
{
    return !mPassThrough && LControl::ContainsPoint(point);
}

int32_t LButton::HandleKey(const ConstRCPtr<LKeyParam>& key)
{
    if (key && key->mKey.GetCode() == PressedVirtualKey(VK_RETURN)) {
        SimulateClick();
        return 0;
    }
    return 1;
}

void LButton::PerformClick()
{
    if (mAutoRepeat) {
        SendNotification(kNidButtonAutoRepeat);
    }
    const RCPtr<LRootWindow>& window = GetRootWindowRef();
    const int32_t buttons = window ? window->GetMouseButtons() : 0;
    OnLeftClick(ConstRCPtr<LMouseButtonParam>(new LMouseButtonParam(1, 0, 0, 0, 0, buttons, 0)));
}

void LButton::SimulateClick()
{
    RCPtr<LButton> keepAlive(this);
    if (mSimulatedClickPending) {
        PerformClick();
    }
    mSimulatedClickPending = true;
    SetFocus(true);
    UpdateIdleRequest();
    mSimulatedPressStart = Now();
    ShowLook(IsChecked() ? kLookCheckedOffset + kLookPressed : kLookPressed);
    InvalidateSelf();
}

void LButton::OnIdle()
{
    RCPtr<LButton> keepAlive(this);
    const double now = Now();
    if (mHeld && IsPointerOver() && IsEnabled(true)) {
        mRemaining -= now - mLastTick;
        mLastTick = now;
        if (mRemaining <= 0.0) {
            mRemaining = kRepeatInterval;
            SendNotification(kNidButtonAutoRepeat);
        }
    }
    if (mSimulatedClickPending && now - mSimulatedPressStart >= kSimulatedPressDuration) {
        mSimulatedClickPending = false;
        mSimulatedPressStart = 0.0;
        UpdateIdleRequest();
        UpdateStateLook();
        PerformClick();
    }
}

void LButton::UpdateIdleRequest()
{
    const bool wanted = mHeld || mSimulatedClickPending;
    if (wanted && !mIdleHeld) {
        mIdleHeld = true;
        RequestIdle();
    } else if (!wanted && mIdleHeld) {
        mIdleHeld = false;
        ReleaseIdle();
    }
}

int32_t LButton::OnSimulateClick(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                                 const ConstRCPtr<LNotification>& /*notification*/)
{
    if (IsEnabled(true)) {
        SimulateClick();
    }
    return 1;
}

WideString LButton::GetToolTipText() const
{
    return IsTextTruncated() ? GetText() : LControl::GetToolTipText();
}

} // namespace SV
