// One row of a tree view ("Framework.TreeViewItem"): a checked list row whose check box is the
// node's expander and which moves itself right by the node's depth.
#pragma once

#include "Controls/CheckedListBoxItem.h"

namespace SV {

class LTreeViewItem : public LCheckedListBoxItem
{
public:
    LTreeViewItem(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived = true);
    ~LTreeViewItem() override;

    static RCPtr<LControl> CreateControl(const RCPtr<LControl>& parent,
                                         const ConstRCPtr<LControlDescriptor>& descriptor);

    // Places the row `level` expander widths right of where a top-level row stands, keeping the
    // rest of its horizontal placement; the layout's result, E_FAIL for a row without its
    // "checkBox" or layout.
    int32_t SetIndentLevel(uint32_t level);
};

} // namespace SV
