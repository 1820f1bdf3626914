// The framework's combo box ("Framework.ComboBox", "Framework.ComboTextBox"): shows the text of
// the selected item and, when opened, its "listBox" child in drop-down mode below or above itself,
// wherever there is room, snapped to whole rows. Down or Return opens it, Escape closes it, and a
// press dragged onto an item and released there chooses it in one gesture.
// "NID_SELECTION_CHANGE" is sent only when the selected item changes.
#pragma once

#include "Controls/DropDownControl.h"
#include "Controls/ListBox.h"

namespace SV {

class LComboBox : public LDropDownControl
{
public:
    // Looks of the combo box's own convention.
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
    // The list keeps this far from the window's top and bottom edges.
    static constexpr int32_t kEdgeMargin = 5;

    LComboBox(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived = true);
    ~LComboBox() override;

    static RCPtr<LControl> CreateControl(const RCPtr<LControl>& parent,
                                         const ConstRCPtr<LControlDescriptor>& descriptor);

    // Sets the text and selects the item that has it (none: -1); 0 when the text changed.
    int32_t SetText(const WideString& text) override;
    void OnConditionsChanged(const RCPtr<LConditionsParam>& conditions) override;
    int32_t HandleKey(const ConstRCPtr<LKeyParam>& key) override;
    // Escape, unused by the list, closes it; no key travels further up from the combo box.
    void BubbleKey(const ConstRCPtr<LKeyParam>& key) override;
    int32_t Initialize() override;
    int32_t ApplyProperties() override;
    int32_t FinishCreate() override;
    WideString GetToolTipText() const override;
    bool IsDroppedDown() const override;
    int32_t SetDroppedDown(bool open) override;

    // E_FAIL without a list, else the list's result.
    virtual int32_t SetItemCount(uint32_t count);
    // The selected index afterwards, -1 for none.
    virtual int32_t SetSelectedIndex(int32_t index);
    virtual int32_t UpdateStateLook();

    int32_t GetSelectedIndex() const { return mSelectedIndex; }
    int32_t GetInitialSelectedIndex() const { return mInitialSelectedIndex; }
    // E_INVALIDARG for an empty label, E_FAIL without a list, else the list's result.
    int32_t InsertItem(uint32_t index, const RCPtr<LRefCountedObject>& label);
    int32_t AddItem(const WideString& text);
    const LListBox::ItemRecord& GetItemRecord(uint32_t index) const;
    const RCPtr<LListBox>& GetList() const { return mList; }
    // Opens the list (placed below or above, the current item marked, focused) or closes it.
    int32_t ShowDropDown(bool open);
    // Never narrower than the combo box nor lower than one row.
    int32_t SizeDropDownList();

private:
    int32_t OnListVisibilityChange(const ConstRCPtr<LNotificationDistributor>& sender,
                                   const ConstRCPtr<LNotification>& notification);
    int32_t OnListItemActivated(const ConstRCPtr<LNotificationDistributor>& sender,
                                const ConstRCPtr<LNotification>& notification);
    // The "textBox" part: its validation and text changes are passed on to the combo box's
    // clients; a validated text selects the first item with that text (none: no selection),
    // and the list closes when the box takes the keyboard focus.
    int32_t OnTextBoxValidating(const ConstRCPtr<LNotificationDistributor>& sender,
                                const ConstRCPtr<LNotification>& notification);
    int32_t OnTextBoxValidated(const ConstRCPtr<LNotificationDistributor>& sender,
                               const ConstRCPtr<LNotification>& notification);
    int32_t OnTextBoxTextChange(const ConstRCPtr<LNotificationDistributor>& sender,
                                const ConstRCPtr<LNotification>& notification);
    int32_t OnTextBoxFocusChange(const ConstRCPtr<LNotificationDistributor>& sender,
                                 const ConstRCPtr<LNotification>& notification);
    void PlaceDropDown();
    void MarkCurrentItem();

    ControlNotificationHandler<LComboBox> mHandler{this};
    RCPtr<LListBox> mList;
    int32_t mSelectedIndex = -1;
    int32_t mInitialSelectedIndex = 0;
    PointT<double> mPressPoint;
};

} // namespace SV
