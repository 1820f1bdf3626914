// A tree shown as an indented list ("Framework.TreeView"). The nodes are the items of a checked
// list box, kept flat in depth-first order with the index of their parent; a node's check state
// means that it is expanded, its row's check box is its expander (enabled only when it has
// children), and collapsing a node hides every node below it. "NID_ITEM_CHECK_CHANGE" announces
// an expander the user changed, "NID_ITEM_CHECKBOX_CLICKED" a click without auto-check.
#pragma once

#include "Controls/CheckedListBox.h"
#include "Controls/TreeViewItem.h"

#include <vector>

namespace SV {

class LTreeView : public LCheckedListBox
{
public:
    struct NodeRecord : CheckedItemRecord
    {
        // -1 for a top-level node; always below the node's own index.
        int32_t parent = -1;
    };

    LTreeView(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived = true);
    ~LTreeView() override;

    static RCPtr<LControl> CreateControl(const RCPtr<LControl>& parent,
                                         const ConstRCPtr<LControlDescriptor>& descriptor);

    // An idle request made on a tree view lasts one idle pass.
    void OnIdle() override;
    int32_t Initialize() override;
    uint32_t GetItemCount() const override;
    // Refused: sorting would tear children from their parents.
    bool SortAllItems() override;
    int32_t CreateItemControl() override;
    int32_t RefreshItemRow(uint32_t item, int32_t& row) override;
    // Exchanges the whole records, parents included.
    int32_t SwapItems(uint32_t a, uint32_t b) override;
    ItemRecord& GetItemRecord(uint32_t item) override;
    const ItemRecord& GetItemRecord(uint32_t item) const override;
    // A collapsed, visible top-level node; the parents of the other nodes are left as they are.
    int32_t InsertItemRecord(uint32_t item) override;
    int32_t RemoveItemRecord(uint32_t item) override;
    CheckedItemRecord& GetCheckedItemRecord(uint32_t item) override;

    // Moves the node with its descendants to the end of the new parent's children (a negative
    // parent: to the end of the list, at top level); the node's new index. E_INVALIDARG for
    // node 0, a node or parent beyond the count, and a parent inside the node's own subtree.
    virtual int32_t ReparentNode(uint32_t index, int32_t newParent);
    // -1 at or beyond the count.
    virtual int32_t GetParentIndex(uint32_t index) const;
    // The number of ancestors; 0 at or beyond the count.
    virtual int32_t GetDepth(uint32_t index) const;
    // The nodes directly after the node that lie deeper than it.
    virtual uint32_t GetDescendantCount(uint32_t index) const;
    // Unchecked index: callers check it.
    virtual NodeRecord& GetNodeRecord(uint32_t index);

    // True when a lies on b's parent chain (b itself does not count).
    bool IsAncestor(uint32_t a, uint32_t b) const;
    // Hides each node of the subtree below `index` that has a collapsed ancestor and shows the
    // others; the rows are not refreshed.
    void UpdateHiddenFlags(uint32_t index);
    // On a row through its expander, with the notification of a user's change; else silently.
    void ExpandNode(uint32_t index);
    // Empty beyond the last row.
    RCPtr<LTreeViewItem> GetTreeRowControl(uint32_t row) const;

private:
    int32_t OnExpanderValueChange(const ConstRCPtr<LNotificationDistributor>& sender,
                                  const ConstRCPtr<LNotification>& notification);
    int32_t OnExpanderClicked(const ConstRCPtr<LNotificationDistributor>& sender,
                              const ConstRCPtr<LNotification>& notification);
    // Both expander handlers: the node's subtree shown or hidden, the node selected and the
    // notification sent; `store` keeps the expander's value as the node's state.
    void AnnounceExpander(const ConstRCPtr<LNotificationDistributor>& sender, bool store,
                          const char16_t* name);
    // The node's parent when it names a node before it, else -1: a parent index written out of
    // order ends the chain instead of looping.
    int32_t ValidParent(uint32_t index) const;
    // Rows and extent after hidden flags changed.
    void ShowHiddenFlags(uint32_t from);

    ControlNotificationHandler<LTreeView> mTreeHandler{this};
    std::vector<NodeRecord> mNodes;
    bool mRefreshing = false;
};

} // namespace SV
