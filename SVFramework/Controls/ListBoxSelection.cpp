// The list box towards the user and its owner: selection by range, anchor and caret, the keys,
// the pointer over the rows, and the drop-down mode in which the pointer's movement and release
// choose the item.
#include "Controls/ListBox.h"

#include "ControlBase/KeyParam.h"
#include "Controls/ComboBox.h"
#include "Controls/ComboMenu.h"
#include "Controls/ListBoxItemConditionsParam.h"
#include "Notification/Notification.h"
#include "Notification/NotificationNames.h"
#include "ResultCodes.h"
#include "Utilities/Graphics/Rect.h"
#include "Utilities/Storage/WideText.h"

#include <algorithm>

namespace SV {

namespace {

bool IsSelected(double value)
{
    return value >= 0.5;
}

// The combo box (checked or not) and the combo menu close their list when a release lands
// outside them.
bool ClosesListOnReleaseOutside(const LControl& parent)
{
    return dynamic_cast<const LComboBox*>(&parent) != nullptr ||
           dynamic_cast<const LComboMenu*>(&parent) != nullptr;
}

void OfferKeyToBar(const RCPtr<LControl>& bar, const ConstRCPtr<LKeyParam>& key)
{
    if (bar) {
        bar->HandleKey(key);
    }
}

} // namespace

// Hooks ---------------------------------------------------------------------------------------

void LListBox::OnSelectionChanged()
{}

void LListBox::OnItemActivated()
{}

bool LListBox::CanSelectItem(uint32_t /*item*/) const
{
    return true;
}

void LListBox::NotifySelectionChanged()
{
    OnSelectionChanged();
    if (!mDropDownMode) {
        SendNotification(kNidSelectionChange);
    }
}

// Selection -----------------------------------------------------------------------------------

int32_t LListBox::SelectRange(uint32_t first, int32_t last, bool exclusive)
{
    const uint32_t count = GetItemCount();
    if (first >= count) {
        return E_INVALIDARG;
    }
    uint32_t end = last < 0 ? first : std::min(uint32_t(last), count - 1);
    if (first == end && IsSelected(GetItemRecord(first).value) &&
        (!exclusive || mSelectedCount == 1)) {
        EnsureItemVisible(first);
        return int32_t(first);
    }
    mAnchor = int32_t(first);
    mCaret = int32_t(end);
    bool changed = false;
    if (exclusive) {
        const uint32_t lo = std::min(first, end);
        const uint32_t hi = std::max(first, end);
        for (uint32_t i = count; i > 0; --i) {
            const uint32_t item = i - 1;
            const bool inside = item >= lo && item <= hi;
            if (inside != IsSelected(GetItemRecord(item).value)) {
                SetItemValue(item, inside ? 1.0 : 0.0);
                changed = true;
            }
        }
    } else {
        const int32_t step = end >= first ? 1 : -1;
        for (int64_t i = first;; i += step) {
            if (!IsSelected(GetItemRecord(uint32_t(i)).value)) {
                SetItemValue(uint32_t(i), 1.0);
                changed = true;
            }
            if (uint32_t(i) == end) {
                break;
            }
        }
    }
    EnsureItemVisible(end);
    if (changed) {
        NotifySelectionChanged();
    }
    return int32_t(first);
}

int32_t LListBox::DeselectItem(uint32_t index)
{
    const uint32_t count = GetItemCount();
    if (index >= count || !IsSelected(GetItemRecord(index).value)) {
        return S_FALSE;
    }
    SetItemValue(index, 0.0);
    const auto selected = [&](uint32_t i) {
        return i < count && IsSelected(GetItemRecord(i).value);
    };
    const int32_t i = int32_t(index);
    if (mSelectedCount == 0) {
        mAnchor = -1;
        mCaret = -1;
    } else if (i == mCaret) {
        if (selected(index + 1)) {
            if (mAnchor == mCaret) {
                mAnchor = i + 1;
            }
            mCaret = i + 1;
        } else if (index > 0 && selected(index - 1)) {
            if (mAnchor == mCaret) {
                mAnchor = i - 1;
            }
            mCaret = i - 1;
        } else {
            mCaret = mAnchor;
        }
    } else if (i == mAnchor) {
        if (selected(index + 1)) {
            mAnchor = i + 1;
        } else if (index > 0 && selected(index - 1)) {
            mAnchor = i - 1;
        } else {
            mAnchor = -1;
        }
    }
    NotifySelectionChanged();
    return S_OK;
}

void LListBox::DeselectAll()
{
    bool changed = false;
    for (uint32_t i = GetItemCount(); i > 0; --i) {
        if (IsSelected(GetItemRecord(i - 1).value)) {
            SetItemValue(i - 1, 0.0);
            changed = true;
        }
    }
    if (changed) {
        NotifySelectionChanged();
    }
}

const Array<uint32_t>& LListBox::GetSelectedIndices()
{
    mSelectedIndices.SetCount(0);
    for (uint32_t i = 0; i < GetItemCount(); ++i) {
        if (IsSelected(GetItemRecord(i).value)) {
            mSelectedIndices.Add(i);
        }
    }
    return mSelectedIndices;
}

int32_t LListBox::SelectItemByText(const WideString& text, int32_t after, bool caseSensitive)
{
    const uint32_t count = GetItemCount();
    if (after < -1 || (after >= 0 && uint32_t(after) >= count)) {
        after = -1;
    }
    const auto matches = [&](uint32_t i) {
        const ItemRecord& record = GetItemRecord(i);
        if (!record.label) {
            return false;
        }
        const WideString itemText = record.label->ToString();
        return caseSensitive ? itemText == text
                             : WideCompareIgnoreCase(itemText.GetText(), text.GetText()) == 0;
    };
    for (uint32_t k = 0; k < count; ++k) {
        const uint32_t i = (uint32_t(after + 1) + k) % count;
        if (matches(i)) {
            return SelectRange(i, -1, true);
        }
    }
    return -1;
}

void LListBox::ActivateItem(uint32_t index)
{
    if (index >= GetItemCount() || !CanSelectItem(index)) {
        return;
    }
    RCPtr<LControl> keepAlive(this);
    OnItemActivated();
    if (mDropDownMode) {
        SetVisible(false);
    }
    if (mParent) {
        SendNotification(kNidItemActivated);
    }
}

void LListBox::SetDropDownMode(bool dropDown)
{
    mDropDownMode = dropDown;
    for (uint32_t r = 0; r < GetRowCount(); ++r) {
        if (const RCPtr<LListBoxItem> row = GetRowControl(r)) {
            row->mDropDownMode = dropDown;
        }
    }
}

int32_t LListBox::ItemIndexAtPoint(const PointT<double>& point) const
{
    const RectT<double> client = GetLookRect(-1);
    if (point.x < client.x || point.y < client.y || point.x >= client.x + client.width ||
        point.y >= client.y + client.height) {
        return -1;
    }
    const PointT<double>& offset = GetScrollOffset();
    for (int32_t r = int32_t(GetRowCount()) - 1; r >= 0; --r) {
        const RCPtr<LListBoxItem> row = GetRowControl(uint32_t(r));
        if (!row) {
            continue;
        }
        // Rows lie in content coordinates; the point is in the list's own.
        const RectT<double>& rect = row->GetRect();
        const double x = rect.x - offset.x + client.x;
        const double y = rect.y - offset.y + client.y;
        if (point.x >= x && point.y >= y && point.x < x + rect.width && point.y < y + rect.height) {
            const uint32_t item = ItemAtRowSteps(uint32_t(r));
            return item < GetItemCount() ? int32_t(item) : -1;
        }
    }
    return -1;
}

// The rows' pointer notifications -------------------------------------------------------------

int32_t LListBox::OnRowMouseDown(const ConstRCPtr<LNotificationDistributor>& sender,
                                 const ConstRCPtr<LNotification>& notification)
{
    const auto* row = dynamic_cast<const LListBoxItem*>(sender.Get());
    const auto* event =
        notification ? dynamic_cast<const LMouseButtonParam*>(notification->GetPayload().Get())
                     : nullptr;
    if (row == nullptr || event == nullptr || event->mButton != 1) {
        return 1;
    }
    const RectT<double> look = GetLookRect(-1);
    const PointT<double>& offset = GetScrollOffset();
    const int32_t x = int32_t(RoundHalf(row->GetRect().x - offset.x + look.x)) + event->mX;
    const int32_t y = int32_t(RoundHalf(row->GetRect().y - offset.y + look.y)) + event->mY;
    const LMouseButtonParam moved(event->mButton, x, y, event->mModifiers, event->mDoubleClick,
                                  event->mButtons, event->mExtraValue);
    if (!mDropDownMode) {
        HandleItemClick(*row, moved);
    }
    return 1;
}

void LListBox::HandleItemClick(const LControl& row, const LMouseButtonParam& event)
{
    const int32_t item = ItemIndexFromControl(&row);
    if (item < 0 || uint32_t(item) >= GetItemCount()) {
        return;
    }
    RCPtr<LControl> keepAlive(this);
    SelectRange(uint32_t(item), item, true);
    if (event.mDoubleClick != 0) {
        SendNotification(kNidItemDoubleClicked);
    }
}

int32_t LListBox::OnRowHoverChange(const ConstRCPtr<LNotificationDistributor>& sender,
                                   const ConstRCPtr<LNotification>& notification)
{
    return ForwardRowConditions(sender, notification, kNidItemHoverConditionChange, true);
}

int32_t LListBox::OnRowLeftDragChange(const ConstRCPtr<LNotificationDistributor>& sender,
                                      const ConstRCPtr<LNotification>& notification)
{
    return ForwardRowConditions(sender, notification, kNidItemLeftDragConditionChange, false);
}

int32_t LListBox::ForwardRowConditions(const ConstRCPtr<LNotificationDistributor>& sender,
                                       const ConstRCPtr<LNotification>& notification,
                                       const char16_t* name, bool hover)
{
    auto* row = const_cast<LListBoxItem*>(dynamic_cast<const LListBoxItem*>(sender.Get()));
    const auto* conditions =
        notification ? dynamic_cast<const LConditionsParam*>(notification->GetPayload().Get())
                     : nullptr;
    if (row == nullptr || conditions == nullptr || !row->IsEnabled(true)) {
        return 1;
    }
    RCPtr<LControl> keepAlive(this);
    const int32_t item = ItemIndexFromControl(row);
    if (hover && mDropDownMode && (conditions->mNewMask & kConditionHover) != 0 &&
        (conditions->mOldMask & kConditionHover) == 0 && item >= 0 &&
        uint32_t(item) < GetItemCount()) {
        SelectRange(uint32_t(item), -1, true);
    }
    const RCPtr<LItemConditionsParam> payload(new LItemConditionsParam());
    payload->mOldMask = conditions->mOldMask;
    payload->mNewMask = conditions->mNewMask;
    payload->mPoint = conditions->mPoint;
    payload->mItem = item;
    payload->mLook = row->GetFirstActiveLookIndex();
    payload->mPointerOver = row->IsPointerOver();
    SendNotification(name, ConstRCPtr<LRefCountedObject>(payload));
    return 1;
}

// The list's own pointer and keys ---------------------------------------------------------------

void LListBox::OnPointerMove(const ConstRCPtr<LPointWithModifiersParam>& event)
{
    LScrollView::OnPointerMove(event);
    if (!event || !mDropDownMode || !HasCapture() || !IsDragging(0)) {
        return;
    }
    const int32_t item = ItemIndexAtPoint({double(event->mX), double(event->mY)});
    if (item < 0) {
        DeselectAll();
    } else if (CanSelectItem(uint32_t(item))) {
        SelectRange(uint32_t(item), -1, true);
    }
}

void LListBox::OnLeftButtonUp(const ConstRCPtr<LMouseButtonParam>& event)
{
    LScrollView::OnLeftButtonUp(event);
    if (!event || !mDropDownMode) {
        return;
    }
    RCPtr<LControl> keepAlive(this);
    const int32_t item = ItemIndexAtPoint({double(event->mX), double(event->mY)});
    if (item >= 0 && mParent) {
        ActivateItem(uint32_t(item));
        return;
    }
    if (!mParent || !ClosesListOnReleaseOutside(*mParent)) {
        return;
    }
    const RectT<double> look = mParent->GetLookRect(-1);
    const PointT<double>& offset = mParent->GetScrollOffset();
    const double x = mRect.x - offset.x + look.x + event->mX;
    const double y = mRect.y - offset.y + look.y + event->mY;
    const RectT<double>& parent = mParent->GetRect();
    if (x < 0.0 || x >= parent.width || y < 0.0 || y >= parent.height) {
        SetVisible(false);
    }
}

int32_t LListBox::HandleKey(const ConstRCPtr<LKeyParam>& key)
{
    if (!key) {
        return 1;
    }
    const uint32_t code = key->mKey.GetCode();
    const uint32_t count = GetItemCount();
    switch (code) {
    case PressedVirtualKey(VK_UP):
    case PressedVirtualKey(VK_UP) | KeyCode::kShift:
        for (int64_t i = int64_t(mCaret) - 1; i >= 0; --i) {
            if (uint32_t(i) < count && CanSelectItem(uint32_t(i))) {
                SelectRange(uint32_t(i), -1, true);
                break;
            }
        }
        return 0;
    case PressedVirtualKey(VK_DOWN):
    case PressedVirtualKey(VK_DOWN) | KeyCode::kShift:
        for (int64_t i = int64_t(mCaret) + 1; i < int64_t(count); ++i) {
            if (CanSelectItem(uint32_t(i))) {
                SelectRange(uint32_t(i), -1, true);
                break;
            }
        }
        return 0;
    case PressedVirtualKey(VK_LEFT):
    case PressedVirtualKey(VK_RIGHT):
        OfferKeyToBar(GetBar(0), key);
        return 0;
    case PressedVirtualKey(VK_PRIOR):
    case PressedVirtualKey(VK_NEXT):
        OfferKeyToBar(GetBar(1), key);
        return 0;
    case PressedVirtualKey(VK_HOME):
    case PressedVirtualKey(VK_END):
        OfferKeyToBar(GetBar(0), key);
        OfferKeyToBar(GetBar(1), key);
        return 0;
    case PressedVirtualKey(VK_RETURN):
        if (mCaret >= 0) {
            ActivateItem(uint32_t(mCaret));
        }
        return 0;
    default:
        return 1;
    }
}

} // namespace SV
