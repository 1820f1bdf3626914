// One row of a checked list box ("Framework.CheckedListBoxItem"): a list row with a check box
// part "checkBox" that can also carry an icon. The row stays highlighted while the pointer is
// over its check box. Rows of popup menus and tree views derive from it.
#pragma once

#include "Controls/ListBoxItem.h"

namespace SV {

class LBitmap;

class LCheckedListBoxItem : public LListBoxItem
{
public:
    LCheckedListBoxItem(const RCPtr<LControl>& parent, const WideString& name,
                        bool mostDerived = true);
    ~LCheckedListBoxItem() override;

    static RCPtr<LControl> CreateControl(const RCPtr<LControl>& parent,
                                         const ConstRCPtr<LControlDescriptor>& descriptor);

    // Throws the null-pointer error when the row has no "checkBox"; the row then does nothing
    // with its check box.
    int32_t Initialize() override;

    // Shows the look on the row alone; true when that succeeded. The flag is for derived rows.
    virtual bool ShowRowLook(int32_t look, bool flag);

    const RCPtr<LControl>& GetCheckBox() const { return mCheckBox; }
    // The check box sends its own "NID_VALUE_CHANGE" unless the caller muted it.
    void SetChecked(bool checked);
    void SetCheckBoxVisible(bool visible);
    // On every look of the check box, in place of its client part; empty removes it. 0.
    int32_t SetIcon(const RCPtr<LBitmap>& icon);
    // Once the row is created: the look shown on the check box; before, 1 and nothing done.
    int32_t ShowCheckBoxLook(int32_t look, bool exclusive);

private:
    int32_t OnCheckBoxHover(const ConstRCPtr<LNotificationDistributor>& sender,
                            const ConstRCPtr<LNotification>& notification);

    ControlNotificationHandler<LCheckedListBoxItem> mItemHandler{this};
    RCPtr<LControl> mCheckBox;
};

} // namespace SV
