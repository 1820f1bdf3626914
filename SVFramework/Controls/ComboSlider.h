// A value field that opens a slider ("Framework.ComboSlider"): it shows its value as whole-number
// text, and a press opens its child "dropDownPanel", whose child "slider" changes the value. The
// field and the slider always hold the same normalised value. The panel opens at its skin
// position, moved left just enough to stay inside the window.
#pragma once

#include "Controls/DropDownControl.h"

namespace SV {

class LComboSlider : public LDropDownControl
{
public:
    // Looks of the combo slider's own convention.
    enum : int32_t
    {
        kLookNormal = 0,
        kLookFocused = 1,
        kLookHover = 2,
        kLookHoverFocused = 3,
        kLookOpen = 4,
        kLookOpenHover = 5,
        kLookDisabled = 6,
    };

    LComboSlider(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived = true);
    ~LComboSlider() override;

    static RCPtr<LControl> CreateControl(const RCPtr<LControl>& parent,
                                         const ConstRCPtr<LControlDescriptor>& descriptor);

    // The slider takes the value first; its change notification sets the field's own value.
    double SetNormalizedValue(double value) override;
    void OnValueChanged() override;
    void OnConditionsChanged(const RCPtr<LConditionsParam>& conditions) override;
    // Hides the panel and follows the slider. A panel without a slider is reported by the
    // null-pointer runtime error; without a panel the field only shows its value.
    int32_t Initialize() override;
    bool IsDroppedDown() const override;
    // E_FAIL without a panel, else 0.
    int32_t SetDroppedDown(bool open) override;

    const RCPtr<LControl>& GetDropDownPanel() const { return mDropDownPanel; }
    // The panel's child "slider"; empty when there is none.
    RCPtr<LControl> FindSlider() const;
    // The look of the table for the current state; the index shown.
    int32_t ShowStateLook();

private:
    int32_t OnSliderValueChange(const ConstRCPtr<LNotificationDistributor>& sender,
                                const ConstRCPtr<LNotification>& notification);
    // Moves the panel from its skin position just far enough left to end inside the window.
    void PlaceDropDownPanel();

    ControlNotificationHandler<LComboSlider> mHandler{this};
    RCPtr<LControl> mDropDownPanel;
};

} // namespace SV
