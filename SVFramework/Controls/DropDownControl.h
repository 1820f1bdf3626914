// The base of the controls that open a drop-down part below or above themselves (combo box,
// combo slider, menu title): a left press opens a closed drop-down and closes an open one, and
// the drop-down closes when the control's focus is set or the window loses the focus. What
// "open" means is left to the two abstract operations.
#pragma once

#include "ControlBase/Control.h"

namespace SV {

class LDropDownControl : public LControl
{
public:
    LDropDownControl(const RCPtr<LControl>& parent, const WideString& name,
                     bool mostDerived = true);
    ~LDropDownControl() override;

    int32_t SetFocus(bool forward) override;
    void OnConditionsChanged(const RCPtr<LConditionsParam>& conditions) override;
    int32_t Initialize() override;
    int32_t OnFocusLost() override;

    virtual bool IsDroppedDown() const = 0;
    virtual int32_t SetDroppedDown(bool open) = 0;

    bool IsClosedByFocus() const { return mClosedByFocus; }

private:
    int32_t OnMouseDownNotification(const ConstRCPtr<LNotificationDistributor>& sender,
                                    const ConstRCPtr<LNotification>& notification);

    ControlNotificationHandler<LDropDownControl> mDropDownHandler{this};
    bool mClosedByFocus = false;
    bool mPressConsumed = false;
};

} // namespace SV
