// The framework's list box ("Framework.ListBox", "Framework.listboxNoScroll"): a scrolling column
// of text items. The items live in records of the list box; a small pool of row controls stays
// in place and shows the items from the first visible one on, so scrolling rewrites the rows
// instead of moving them. Rows are cloned from a "templateItem" as the visible height needs
// them, or are the skin's own "item1", "item2", ... The list selects by the items' values
// (0.5 or more is selected), follows the keys and the pointer, and works as the drop-down list
// of combo boxes and menus, where the pointer's movement and release choose the item.
#pragma once

#include "Controls/ListBoxItem.h"
#include "Controls/ScrollView.h"

#include <vector>

namespace SV {

class LListBox : public LScrollView
{
public:
    struct ItemRecord
    {
        // The item's text is the label's ToString; no label shows as empty text.
        RCPtr<LRefCountedObject> label;
        // 0.5 or more: selected.
        double value = 0.0;
        bool alternate = false;
        // No text and look 13 (menu separators).
        bool blank = false;
        // Takes no row and no height.
        bool hidden = false;
    };

    static constexpr int32_t kDefaultItemHeight = 14;

    LListBox(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived = true);
    ~LListBox() override;

    static RCPtr<LControl> CreateControl(const RCPtr<LControl>& parent,
                                         const ConstRCPtr<LControlDescriptor>& descriptor);

    // Overrides of the control and the scroll view.
    void EndResize() override;
    void OnScrollOffsetChanged(const PointT<double>& oldOffset,
                               const PointT<double>& newOffset) override;
    void OnChildRectChanged(LControl* child) override;
    void OnConditionsChanged(const RCPtr<LConditionsParam>& conditions) override;
    void OnChildRemoved(LControl* child, int32_t formerIndex) override;
    int32_t ApplyDescriptor(const ConstRCPtr<LControlDescriptor>& descriptor) override;
    void OnLeftButtonUp(const ConstRCPtr<LMouseButtonParam>& event) override;
    void OnPointerMove(const ConstRCPtr<LPointWithModifiersParam>& event) override;
    int32_t HandleKey(const ConstRCPtr<LKeyParam>& key) override;
    int32_t Initialize() override;
    int32_t AttachChild(const RCPtr<LControl>& child,
                        const ConstRCPtr<LControlDescriptor>& descriptor) override;
    void OnScrollBarShown(int32_t axis) override;

    // The record slots: derived lists keep larger records that begin with an ItemRecord.
    virtual uint32_t GetItemCount() const;
    // n, or minus the count reached when that differs from n.
    virtual int32_t SetItemCount(uint32_t count);
    virtual bool SortAllItems();
    virtual int32_t MeasureItemHeight(LControl& row);
    virtual void OnSelectionChanged();
    virtual void OnItemActivated();
    // The item a row shows (it may lie past the last item); -1 when the control is no row.
    virtual int32_t ItemIndexFromControl(const LControl* control) const;
    virtual int32_t CreateItemControl();
    // 0 when written into row `row`, 1 when the item is on no row (`row` -1).
    virtual int32_t RefreshItemRow(uint32_t item, int32_t& row);
    virtual int32_t ItemRowFromIndex(uint32_t item) const;
    virtual int32_t MeasureItemWidth(uint32_t item) const;
    virtual int32_t GetContentHeight() const;
    virtual bool CanSelectItem(uint32_t item) const;
    virtual int32_t SwapItems(uint32_t a, uint32_t b);
    virtual int32_t SortItems(uint32_t first, uint32_t count);
    // Unchecked index: callers check it.
    virtual ItemRecord& GetItemRecord(uint32_t item);
    virtual const ItemRecord& GetItemRecord(uint32_t item) const;
    virtual int32_t InsertItemRecord(uint32_t item);
    virtual int32_t RemoveItemRecord(uint32_t item);

    // Items.
    // The index; E_INVALIDARG beyond the count.
    int32_t InsertItem(uint32_t index, const RCPtr<LRefCountedObject>& label);
    // The new count; E_INVALIDARG at or beyond the count.
    int32_t RemoveItem(uint32_t index);
    int32_t RemoveAllItems();
    int32_t SetItemLabel(uint32_t index, const RCPtr<LRefCountedObject>& label);
    int32_t SetItemData(uint32_t index, const RCPtr<LRefCountedObject>& label, double value,
                        bool alternate, bool blank);
    // Keeps the selected count; sends nothing.
    int32_t SetItemValue(uint32_t index, double value);
    bool SetItemAlternate(uint32_t index, bool alternate);
    bool SetItemBlank(uint32_t index, bool blank);
    bool SetItemHidden(uint32_t index, bool hidden);
    bool IsItemAlternate(uint32_t index) const;
    double GetItemValue(uint32_t index) const;
    const ItemRecord& GetItemRecordOrEmpty(uint32_t index) const;
    WideString GetItemText(uint32_t index) const;
    // The highest index whose text matches; -1 when none.
    int32_t FindItemByText(const WideString& text, bool caseSensitive) const;
    RCPtr<LListBoxItem> GetRowControl(uint32_t row) const;
    uint32_t GetRowCount() const { return uint32_t(mRowPool.size()); }
    RectT<double> GetItemRect(uint32_t index) const;
    int32_t SetItemHoverHighlight(uint32_t index, bool highlight);
    int32_t ShowItemLook(uint32_t index, int32_t look);
    int32_t EnsureItemVisible(uint32_t index);
    // Replaces the items by the table's "ITEM.n" entries; E_INVALIDARG without a table.
    int32_t LoadItemsFromStringTable(const RCPtr<LStringTable>& table);
    static RCPtr<LRefCountedObject> MakeTextLabel(const WideString& text);
    int32_t RefreshRowsFrom(uint32_t index);
    int32_t RefreshItemText(uint32_t index);
    int32_t SetWidthToContent(double width);
    int32_t SetHeightToContent(double height);
    int32_t SnapHeightToRows();

    // Selection, input and drop-down mode.
    // first; E_INVALIDARG at or beyond the count. A negative last selects first alone.
    int32_t SelectRange(uint32_t first, int32_t last, bool exclusive);
    int32_t DeselectItem(uint32_t index);
    void DeselectAll();
    const Array<uint32_t>& GetSelectedIndices();
    // The found item, selected alone; -1 when none matches.
    int32_t SelectItemByText(const WideString& text, int32_t after, bool caseSensitive);
    void ActivateItem(uint32_t index);
    void SetDropDownMode(bool dropDown);
    bool IsDropDownMode() const { return mDropDownMode; }
    int32_t ItemIndexAtPoint(const PointT<double>& point) const;
    void NotifySelectionChanged();

    int32_t GetAnchor() const { return mAnchor; }
    int32_t GetCaret() const { return mCaret; }
    int32_t GetSelectedCount() const { return mSelectedCount; }
    uint32_t GetFirstVisibleItem() const { return mFirstVisible; }
    int32_t GetItemHeight() const { return mItemHeight; }
    int32_t GetTextMargin() const { return mTextMargin; }
    int32_t GetWidestItemWidth() const { return mWidestItemWidth; }
    const ConstRCPtr<LControlDescriptor>& GetTemplate() const { return mTemplate; }
    bool IsMeasured() const { return mMeasured; }

protected:
    // Subscribes the row's pointer notifications and gives it the drop-down mode.
    void WireRow(LListBoxItem& row);
    int32_t EnsureRowsCoverView();
    void UpdateClientExtent();
    void SetWidestItemWidth(int32_t width);
    void RecomputeWidestItem();
    void FitWidthToWidest();
    int32_t CountFullyVisibleRows() const;
    // The item reached from the first visible one by `steps` steps over items that are not
    // hidden (positions past the end count as steps).
    uint32_t ItemAtRowSteps(uint32_t steps) const;
    bool IsHidden(uint32_t item) const
    {
        return item < GetItemCount() && GetItemRecord(item).hidden;
    }

    int32_t OnRowMouseDown(const ConstRCPtr<LNotificationDistributor>& sender,
                           const ConstRCPtr<LNotification>& notification);
    int32_t OnRowHoverChange(const ConstRCPtr<LNotificationDistributor>& sender,
                             const ConstRCPtr<LNotification>& notification);
    int32_t OnRowLeftDragChange(const ConstRCPtr<LNotificationDistributor>& sender,
                                const ConstRCPtr<LNotification>& notification);
    void HandleItemClick(const LControl& row, const LMouseButtonParam& event);
    // Sends the item variant of a row's condition change.
    int32_t ForwardRowConditions(const ConstRCPtr<LNotificationDistributor>& sender,
                                 const ConstRCPtr<LNotification>& notification,
                                 const char16_t* name, bool hover);

    ControlNotificationHandler<LListBox> mHandler{this};
    std::vector<ItemRecord> mItems;
    // Row n is the child at this stored position.
    std::vector<uint32_t> mRowPool;
    ConstRCPtr<LControlDescriptor> mTemplate;
    int32_t mAnchor = -1;
    int32_t mCaret = -1;
    bool mDropDownMode = false;
    int32_t mItemHeight = kDefaultItemHeight;
    int32_t mTextMargin = 0;
    int32_t mWidestItemWidth = 0;
    int32_t mSelectedCount = 0;
    uint32_t mFirstVisible = 0;
    Array<uint32_t> mSelectedIndices;
    bool mBusy = false;
    bool mApplying = false;
    bool mMeasured = false;
    bool mLoading = false;

private:
    // Takes a row out of the pool's registrations, so that a dropped row does not live on in
    // them.
    void UnwireRow(LControl& row);
    bool TemplateExpands() const;
    bool TemplateSizesSelf() const;
};

} // namespace SV
