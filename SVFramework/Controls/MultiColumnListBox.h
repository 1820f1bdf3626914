// A sortable table built from side-by-side list boxes ("Framework.listbox2ColumnSortable"). The
// skin places the columns as "listboxNoScroll1", "listboxNoScroll2", ... and may put header
// buttons "buttonColumnHeader1", ... above them; a row of the table is the item of the same
// index in every column. The control keeps the columns in step (one selection, one hovered row,
// one vertical scroll position), sorts every column by a header's column when the header is
// clicked, alternating ascending and descending, and re-sends the columns' "NID_SELECTION_CHANGE",
// "NID_ITEM_ACTIVATED" and "NID_ITEM_DOUBLE_CLICKED" as its own, without payload. The rows are
// filled through the column list boxes themselves.
#pragma once

#include "Controls/Button.h"
#include "Controls/ListBox.h"
#include "Controls/Panel.h"
#include "Utilities/Storage/ArrayBuffer.h"
#include "Utilities/Storage/RCPtrArray.h"

namespace SV {

class LMultiColumnListBox : public LPanel
{
public:
    LMultiColumnListBox(const RCPtr<LControl>& parent, const WideString& name,
                        bool mostDerived = true);
    ~LMultiColumnListBox() override;

    static RCPtr<LControl> CreateControl(const RCPtr<LControl>& parent,
                                         const ConstRCPtr<LControlDescriptor>& descriptor);

    // Copies the vertical offset into every column.
    void OnScrollOffsetChanged(const PointT<double>& oldOffset,
                               const PointT<double>& newOffset) override;
    // Only the last column's changes matter: they set the client extent.
    void OnChildRectChanged(LControl* child) override;
    // The columns' area below the headers, less the vertical bar; all zero without columns.
    void GetClientArea(RectT<double>& area) override;
    // Throws the null-pointer error when the skin gives no first column; the control then does
    // nothing.
    int32_t Initialize() override;
    int32_t FinishCreate() override;

    // Sorts every row by the texts of the column (from 0), ascending on the column's first sort
    // and then alternately; the selection of that column and the first column's alternate flags
    // follow their rows. 0; E_INVALIDARG for a column the table does not have. Throws a failed
    // result when a column's selection subscription cannot be taken out or restored.
    int32_t PerformSort(int32_t column);

    int32_t GetColumnCount() const { return mColumns.GetCount(); }
    int32_t GetHeaderCount() const { return mHeaders.GetCount(); }

private:
    int32_t OnColumnHover(const ConstRCPtr<LNotificationDistributor>& sender,
                          const ConstRCPtr<LNotification>& notification);
    int32_t OnColumnSelection(const ConstRCPtr<LNotificationDistributor>& sender,
                              const ConstRCPtr<LNotification>& notification);
    int32_t OnColumnActivated(const ConstRCPtr<LNotificationDistributor>& sender,
                              const ConstRCPtr<LNotification>& notification);
    int32_t OnColumnDoubleClicked(const ConstRCPtr<LNotificationDistributor>& sender,
                                  const ConstRCPtr<LNotification>& notification);
    int32_t OnFirstColumnScroll(const ConstRCPtr<LNotificationDistributor>& sender,
                                const ConstRCPtr<LNotification>& notification);
    int32_t OnFirstColumnExtent(const ConstRCPtr<LNotificationDistributor>& sender,
                                const ConstRCPtr<LNotification>& notification);
    int32_t OnHeaderClick(const ConstRCPtr<LNotificationDistributor>& sender,
                          const ConstRCPtr<LNotification>& notification);

    // The column (or header) that sent, from the last; -1 for none.
    int32_t FindColumn(const ConstRCPtr<LNotificationDistributor>& sender) const;
    int32_t FindHeader(const ConstRCPtr<LNotificationDistributor>& sender) const;
    LListBox& Column(int32_t index) const { return **mColumns.At(index); }
    // Rows of the first column's item height.
    void TakeRowHeight();
    // As wide as the columns reach, as high as the first column's items.
    void UpdateExtent();
    // Gives a column the skin's size limits with their defaults.
    void ApplyColumnSizeDefaults(LListBox& column);

    ControlNotificationHandler<LMultiColumnListBox> mHandler{this};
    RCPtrArray<LListBox> mColumns;
    RCPtrArray<LButton> mHeaders;
    ArrayBuffer<bool> mSortAscending;
};

} // namespace SV
