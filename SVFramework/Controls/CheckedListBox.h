// A list box whose items carry a check state and an icon ("Framework.CheckedListBox",
// "Framework.ListBoxWithIcons"). A click on a row's check box changes the item and is announced
// with "NID_ITEM_CHECK_CHANGE" (or, without auto-check, only reported with
// "NID_ITEM_CHECKBOX_CLICKED"); check states set by the owner reach the rows silently. Base of
// the popup menu and the tree view.
#pragma once

#include "Controls/CheckedListBoxItem.h"
#include "Controls/ListBox.h"

#include <vector>

namespace SV {

class LCheckedListBox : public LListBox
{
public:
    struct CheckedItemRecord : ItemRecord
    {
        bool checked = false;
        RCPtr<LBitmap> icon;
    };

    LCheckedListBox(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived = true);
    ~LCheckedListBox() override;

    static RCPtr<LControl> CreateControl(const RCPtr<LControl>& parent,
                                         const ConstRCPtr<LControlDescriptor>& descriptor);

    int32_t Initialize() override;
    uint32_t GetItemCount() const override;
    int32_t SetItemCount(uint32_t count) override;
    int32_t CreateItemControl() override;
    int32_t RefreshItemRow(uint32_t item, int32_t& row) override;
    int32_t SwapItems(uint32_t a, uint32_t b) override;
    ItemRecord& GetItemRecord(uint32_t item) override;
    const ItemRecord& GetItemRecord(uint32_t item) const override;
    int32_t InsertItemRecord(uint32_t item) override;
    int32_t RemoveItemRecord(uint32_t item) override;
    void OnChildRemoved(LControl* child, int32_t formerIndex) override;

    virtual void SetAutoCheck(bool autoCheck);
    virtual void RecountCheckedItems();
    // Unchecked index: callers check it.
    virtual CheckedItemRecord& GetCheckedItemRecord(uint32_t item);
    // The same record for reading, through the record slot of derived lists.
    const CheckedItemRecord& CheckedRecord(uint32_t item) const;

    bool IsItemChecked(uint32_t index) const;
    // Sends nothing; the row follows.
    void SetItemChecked(uint32_t index, bool checked);
    RCPtr<LBitmap> GetItemIcon(uint32_t index) const;
    int32_t GetCheckedCount() const { return mCheckedCount; }
    // The row as a checked row; empty beyond the last row.
    RCPtr<LCheckedListBoxItem> GetRowControl(uint32_t row) const;
    void SetCheckBoxesPassThrough(bool passThrough);
    bool IsAutoCheck() const { return mAutoCheck; }
    bool AreCheckBoxesPassThrough() const { return mPassThrough; }
    int32_t GetIconCount() const { return int32_t(mIcons.size()); }

private:
    int32_t OnCheckBoxValueChange(const ConstRCPtr<LNotificationDistributor>& sender,
                                  const ConstRCPtr<LNotification>& notification);
    int32_t OnCheckBoxClicked(const ConstRCPtr<LNotificationDistributor>& sender,
                              const ConstRCPtr<LNotification>& notification);
    // Both check-box handlers: the item of the row, selected as a click on its row would, and
    // the notification with the box's value. `count` also stores the new state.
    int32_t AnnounceCheckBox(const ConstRCPtr<LNotificationDistributor>& sender, bool store,
                             const char16_t* name);
    // Listens to the check box for the current check mode.
    void WireCheckBox(LControl& checkBox);
    // Sets the row's check mark without the list hearing it as a user's change.
    void SetRowCheckedQuietly(LCheckedListBoxItem& row, bool checked);
    void LoadIcons();

    ControlNotificationHandler<LCheckedListBox> mCheckHandler{this};
    std::vector<CheckedItemRecord> mRecords;
    bool mPassThrough = false;
    bool mAutoCheck = true;
    int32_t mCheckedCount = 0;
    std::vector<RCPtr<LBitmap>> mIcons;
};

} // namespace SV
