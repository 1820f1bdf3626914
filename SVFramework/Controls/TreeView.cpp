#include "Controls/TreeView.h"

#include "ControlBase/ControlCreator.h"
#include "Controls/Button.h"
#include "Controls/CheckedListBoxParams.h"
#include "Notification/Notification.h"
#include "Notification/NotificationNames.h"
#include "ResultCodes.h"

#include <algorithm>

namespace SV {

LTreeView::LTreeView(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived)
    : LCheckedListBox(parent, name, mostDerived)
{}

LTreeView::~LTreeView()
{
    mNodes.clear();
}

RCPtr<LControl> LTreeView::CreateControl(const RCPtr<LControl>& parent,
                                         const ConstRCPtr<LControlDescriptor>& descriptor)
{
    return CreateControlOf<LTreeView>(parent, descriptor);
}

// Records -------------------------------------------------------------------------------------

uint32_t LTreeView::GetItemCount() const
{
    return uint32_t(mNodes.size());
}

LListBox::ItemRecord& LTreeView::GetItemRecord(uint32_t item)
{
    return mNodes[item];
}

const LListBox::ItemRecord& LTreeView::GetItemRecord(uint32_t item) const
{
    return mNodes[item];
}

LCheckedListBox::CheckedItemRecord& LTreeView::GetCheckedItemRecord(uint32_t item)
{
    return mNodes[item];
}

LTreeView::NodeRecord& LTreeView::GetNodeRecord(uint32_t index)
{
    return mNodes[index];
}

int32_t LTreeView::InsertItemRecord(uint32_t item)
{
    mNodes.insert(mNodes.begin() + item, NodeRecord());
    return S_OK;
}

int32_t LTreeView::RemoveItemRecord(uint32_t item)
{
    mNodes.erase(mNodes.begin() + item);
    return S_OK;
}

int32_t LTreeView::SwapItems(uint32_t a, uint32_t b)
{
    std::swap(mNodes[a], mNodes[b]);
    return S_OK;
}

bool LTreeView::SortAllItems()
{
    return false;
}

// The shape of the tree -----------------------------------------------------------------------

int32_t LTreeView::ValidParent(uint32_t index) const
{
    const int32_t parent = mNodes[index].parent;
    return parent >= 0 && uint32_t(parent) < index ? parent : -1;
}

int32_t LTreeView::GetParentIndex(uint32_t index) const
{
    return index < GetItemCount() ? mNodes[index].parent : -1;
}

int32_t LTreeView::GetDepth(uint32_t index) const
{
    if (index >= GetItemCount()) {
        return 0;
    }
    int32_t depth = 0;
    for (int32_t p = ValidParent(index); p >= 0; p = ValidParent(uint32_t(p))) {
        ++depth;
    }
    return depth;
}

uint32_t LTreeView::GetDescendantCount(uint32_t index) const
{
    const uint32_t count = GetItemCount();
    if (index >= count) {
        return 0;
    }
    const int32_t depth = GetDepth(index);
    uint32_t j = index + 1;
    while (j < count && GetDepth(j) > depth) {
        ++j;
    }
    return j - index - 1;
}

bool LTreeView::IsAncestor(uint32_t a, uint32_t b) const
{
    const uint32_t count = GetItemCount();
    if (a >= count || b >= count) {
        return false;
    }
    for (int32_t p = ValidParent(b); p >= 0; p = ValidParent(uint32_t(p))) {
        if (uint32_t(p) == a) {
            return true;
        }
    }
    return false;
}

void LTreeView::UpdateHiddenFlags(uint32_t index)
{
    const uint32_t count = GetItemCount();
    for (uint32_t j = index + 1; j < count && index < count; ++j) {
        bool inside = false;
        bool allExpanded = true;
        for (int32_t p = ValidParent(j); p >= 0; p = ValidParent(uint32_t(p))) {
            inside = inside || uint32_t(p) == index;
            allExpanded = allExpanded && mNodes[uint32_t(p)].checked;
        }
        if (!inside) {
            break;
        }
        mNodes[j].hidden = !allExpanded;
    }
}

void LTreeView::ShowHiddenFlags(uint32_t from)
{
    EnsureRowsCoverView();
    RefreshRowsFrom(from);
    UpdateClientExtent();
}

// Creation ------------------------------------------------------------------------------------

int32_t LTreeView::Initialize()
{
    // The table is there before the list's own initialisation, which may already make rows
    // (nodes from the string table), so that those rows are wired like every later one.
    mTreeHandler.Create();
    return LCheckedListBox::Initialize();
}

int32_t LTreeView::CreateItemControl()
{
    // The checked list's steps, but the expander is heard in the tree's own table.
    const int32_t result = LListBox::CreateItemControl();
    if (result < 0) {
        return result;
    }
    const RCPtr<LCheckedListBoxItem> row = GetRowControl(GetRowCount() - 1);
    const RCPtr<LControl> expander = row ? row->GetCheckBox() : nullptr;
    if (!expander) {
        return result;
    }
    if (auto* button = dynamic_cast<LButton*>(expander.Get())) {
        button->SetPassThrough(AreCheckBoxesPassThrough());
        button->SetAutoValueSet(IsAutoCheck());
    }
    if (mTreeHandler) {
        const RCPtr<LNotificationDistributor> source(expander);
        if (IsAutoCheck()) {
            mTreeHandler->RegisterHandler(&LTreeView::OnExpanderValueChange, source,
                                          kNidValueChange);
        } else {
            mTreeHandler->RegisterHandler(&LTreeView::OnExpanderClicked, source, kNidLeftClick);
        }
    }
    return result;
}

RCPtr<LTreeViewItem> LTreeView::GetTreeRowControl(uint32_t row) const
{
    return RCPtr<LTreeViewItem>(dynamic_cast<LTreeViewItem*>(LListBox::GetRowControl(row).Get()));
}

int32_t LTreeView::RefreshItemRow(uint32_t item, int32_t& row)
{
    // Setting the expander to the node's state is no user's change: the handlers ignore it.
    mRefreshing = true;
    const int32_t result = LCheckedListBox::RefreshItemRow(item, row);
    if (result >= 0 && row >= 0 && item < GetItemCount()) {
        if (const RCPtr<LTreeViewItem> control = GetTreeRowControl(uint32_t(row))) {
            if (const RCPtr<LControl>& expander = control->GetCheckBox()) {
                expander->SetEnabled(GetDescendantCount(item) != 0);
            }
            control->SetIndentLevel(uint32_t(GetDepth(item)));
        }
    }
    mRefreshing = false;
    return result;
}

// Expanding and collapsing --------------------------------------------------------------------

int32_t LTreeView::OnExpanderValueChange(const ConstRCPtr<LNotificationDistributor>& sender,
                                         const ConstRCPtr<LNotification>& /*notification*/)
{
    AnnounceExpander(sender, true, kNidItemCheckChange);
    return 1;
}

int32_t LTreeView::OnExpanderClicked(const ConstRCPtr<LNotificationDistributor>& sender,
                                     const ConstRCPtr<LNotification>& /*notification*/)
{
    AnnounceExpander(sender, false, kNidItemCheckBoxClicked);
    return 1;
}

void LTreeView::AnnounceExpander(const ConstRCPtr<LNotificationDistributor>& sender, bool store,
                                 const char16_t* name)
{
    const auto* expander = dynamic_cast<const LControl*>(sender.Get());
    if (expander == nullptr || mRefreshing) {
        return;
    }
    const int32_t node = ItemIndexFromControl(expander->GetParent().Get());
    if (node < 0 || uint32_t(node) >= GetItemCount()) {
        return;
    }
    RCPtr<LControl> keepAlive(this);
    const double value = expander->GetNormalizedValue();
    const RCPtr<LIndexedDataWithValueParam> payload(
        new LIndexedDataWithValueParam(nullptr, node, value));
    if (store) {
        mNodes[uint32_t(node)].checked = value >= 0.5;
        // The count follows the records, so a value that leaves the state as it was counts
        // nothing.
        RecountCheckedItems();
    }
    UpdateHiddenFlags(uint32_t(node));
    ShowHiddenFlags(uint32_t(node));
    SelectRange(uint32_t(node), node, true);
    SendNotification(name, ConstRCPtr<LRefCountedObject>(payload));
}

void LTreeView::ExpandNode(uint32_t index)
{
    if (index >= GetItemCount()) {
        return;
    }
    const int32_t row = ItemRowFromIndex(index);
    const RCPtr<LTreeViewItem> control = row >= 0 ? GetTreeRowControl(uint32_t(row)) : nullptr;
    if (control && control->GetCheckBox()) {
        control->SetChecked(true);
        return;
    }
    SetItemChecked(index, true);
    UpdateHiddenFlags(index);
    ShowHiddenFlags(index);
}

// Moving a node -------------------------------------------------------------------------------

int32_t LTreeView::ReparentNode(uint32_t index, int32_t newParent)
{
    const uint32_t count = GetItemCount();
    const int32_t parent = newParent < 0 ? -1 : newParent;
    if (index == 0 || index >= count || (parent >= 0 && uint32_t(parent) >= count) ||
        (parent >= 0 && (uint32_t(parent) == index || IsAncestor(index, uint32_t(parent))))) {
        return E_INVALIDARG;
    }
    if (mNodes[index].parent == parent) {
        return int32_t(index);
    }
    // The node's subtree [first, end) moves as one block to the end of the new parent's
    // subtree, or to the end of the list; every parent index is then mapped to the new places.
    const uint32_t first = index;
    const uint32_t end = first + 1 + GetDescendantCount(first);
    const uint32_t target =
        parent >= 0 ? uint32_t(parent) + 1 + GetDescendantCount(uint32_t(parent)) : count;
    const uint32_t size = end - first;
    const auto moved = [&](uint32_t old) -> uint32_t {
        if (target >= end) {
            if (old >= first && old < end) {
                return old + (target - end);
            }
            return old >= end && old < target ? old - size : old;
        }
        if (old >= first && old < end) {
            return old - (first - target);
        }
        return old >= target && old < first ? old + size : old;
    };
    const auto reverse = [&](uint32_t from, uint32_t to) {
        while (from + 1 < to) {
            SwapItems(from, to - 1);
            ++from;
            --to;
        }
    };
    if (target > end) {
        reverse(first, end);
        reverse(end, target);
        reverse(first, target);
    } else if (target < first) {
        reverse(target, first);
        reverse(first, end);
        reverse(target, end);
    }
    // The records now stand at their new places, but their parent indices still name the old
    // places.
    if (target > end || target < first) {
        for (NodeRecord& node : mNodes) {
            if (node.parent >= 0 && uint32_t(node.parent) < count) {
                node.parent = int32_t(moved(uint32_t(node.parent)));
            }
        }
        for (int32_t* mark : {&mAnchor, &mCaret}) {
            if (*mark >= 0 && uint32_t(*mark) < count) {
                *mark = int32_t(moved(uint32_t(*mark)));
            }
        }
    }
    const uint32_t node = moved(first);
    const int32_t movedParent = parent >= 0 ? int32_t(moved(uint32_t(parent))) : -1;
    mNodes[node].parent = movedParent;
    if (movedParent >= 0) {
        ExpandNode(uint32_t(movedParent));
        UpdateHiddenFlags(uint32_t(movedParent));
    } else {
        mNodes[node].hidden = false;
        UpdateHiddenFlags(node);
    }
    const uint32_t from = std::min(first, node);
    ShowHiddenFlags(from > 0 ? from - 1 : 0);
    return int32_t(node);
}

// Notifications -------------------------------------------------------------------------------

void LTreeView::OnIdle()
{
    ReleaseIdle();
}

} // namespace SV
