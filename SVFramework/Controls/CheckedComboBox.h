// A combo box whose drop-down list is a checked list box ("Framework.CheckedComboBox",
// "Framework.ComboBoxWithIcons"). Its looks tell whether any item is checked (the combo box's
// seven, plus seven while at least one is), its optional child "checkBox" shows the selected
// item's check state and icon, and it passes the list's "NID_ITEM_CHECK_CHANGE" on as its own.
#pragma once

#include "Controls/CheckedListBox.h"
#include "Controls/ComboBox.h"

namespace SV {

class LBitmap;

class LCheckedComboBox : public LComboBox
{
public:
    // Added to the combo box's look while at least one item is checked.
    static constexpr int32_t kLookCheckedOffset = 7;

    LCheckedComboBox(const RCPtr<LControl>& parent, const WideString& name,
                     bool mostDerived = true);
    ~LCheckedComboBox() override;

    static RCPtr<LControl> CreateControl(const RCPtr<LControl>& parent,
                                         const ConstRCPtr<LControlDescriptor>& descriptor);

    // E_FAIL when the combo box fails or its "listBox" is not a checked list box; the combo
    // box then works as a plain one.
    int32_t Initialize() override;
    int32_t FinishCreate() override;
    int32_t SetItemCount(uint32_t count) override;
    // Shows the item's check state and icon on the "checkBox" child first.
    int32_t SetSelectedIndex(int32_t index) override;
    // 0.
    int32_t UpdateStateLook() override;

    void SetCheckBoxPassThrough(bool passThrough);
    bool IsCheckBoxPassThrough() const { return mCheckBoxPassThrough; }
    // The "listBox" child as a checked list; empty when it is none.
    const RCPtr<LCheckedListBox>& GetCheckedList() const { return mCheckedList; }

private:
    int32_t OnListCheckChange(const ConstRCPtr<LNotificationDistributor>& sender,
                              const ConstRCPtr<LNotification>& notification);
    // Every look of the "checkBox" child shows the icon over its client part; an empty icon
    // takes it away.
    void ShowIconOnCheckBox(const RCPtr<LBitmap>& icon);

    ControlNotificationHandler<LCheckedComboBox> mCheckHandler{this};
    RCPtr<LCheckedListBox> mCheckedList;
    bool mCheckBoxPassThrough = false;
};

} // namespace SV
