#include "Controls/DropDownControl.h"

#include "Notification/NotificationNames.h"
#include "ResultCodes.h"

namespace SV {

LDropDownControl::LDropDownControl(const RCPtr<LControl>& parent, const WideString& name,
                                   bool mostDerived)
    : LControl(parent, name, mostDerived)
{}

LDropDownControl::~LDropDownControl()
{}

int32_t LDropDownControl::Initialize()
{
    const int32_t result = LControl::Initialize();
    if (result < 0) {
        return result;
    }
    mDropDownHandler.Create();
    mDropDownHandler->RegisterHandler(&LDropDownControl::OnMouseDownNotification,
                                      RCPtr<LNotificationDistributor>(this), kNidMouseDown);
    return result;
}

int32_t LDropDownControl::SetFocus(bool forward)
{
    const RCPtr<LControl> keepAlive(this);
    const int32_t result = LControl::SetFocus(forward);
    // A left press gives the control the focus before its press is seen: the press that takes
    // the focus away from the open drop-down only closes it.
    if (IsDroppedDown()) {
        SetDroppedDown(false);
        mClosedByFocus = true;
    } else {
        mClosedByFocus = false;
    }
    return result;
}

int32_t
LDropDownControl::OnMouseDownNotification(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                                          const ConstRCPtr<LNotification>& /*notification*/)
{
    if (mClosedByFocus) {
        mPressConsumed = true;
    }
    return 0;
}

void LDropDownControl::OnConditionsChanged(const RCPtr<LConditionsParam>& conditions)
{
    LControl::OnConditionsChanged(conditions);
    if (!conditions) {
        return;
    }
    if ((conditions->mNewMask & kConditionLeftPressed) != 0 &&
        (conditions->mOldMask & kConditionLeftPressed) == 0) {
        if (mPressConsumed) {
            mPressConsumed = false;
        } else {
            SetDroppedDown(true);
        }
    }
}

int32_t LDropDownControl::OnFocusLost()
{
    const RCPtr<LControl> keepAlive(this);
    SetDroppedDown(false);
    return LControl::OnFocusLost();
}

} // namespace SV
