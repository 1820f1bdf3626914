// One row of a list box ("Framework.ListBoxItem", "Framework.OverlayButton"): a line of text that
// the list box fills with the item at its position. It picks one of the 14 looks of the button
// convention from its state, where the "+3" step marks an alternate row instead of focus, and
// in a drop-down list it hands a drag that starts on it to the list box.
#pragma once

#include "ControlBase/Control.h"

namespace SV {

class LListBoxItem : public LControl
{
public:
    LListBoxItem(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived = true);
    ~LListBoxItem() override;

    static RCPtr<LControl> CreateControl(const RCPtr<LControl>& parent,
                                         const ConstRCPtr<LControlDescriptor>& descriptor);

    void OnValueChanged() override;
    void OnConditionsChanged(const RCPtr<LConditionsParam>& conditions) override;
    // Rows never take the keyboard focus, whatever tab stop the skin gives them.
    int32_t FinishCreate() override;
    WideString GetToolTipText() const override;
    int32_t OnDragStart(int32_t button, int32_t x, int32_t y) override;

    // The look for the current state, 0..13.
    virtual int32_t GetStateLookIndex() const;
    void UpdateStateLook();
    // A blank row shows no text and look 13; setting the flag empties the text.
    void SetBlank(bool blank);
    bool IsBlank() const { return mBlank; }

    // Written directly by the list box (it updates the look after the alternate flag itself).
    bool mAlternate = false;
    bool mDropDownMode = false;

private:
    bool mBlank = false;
};

} // namespace SV
