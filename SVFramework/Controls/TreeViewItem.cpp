#include "Controls/TreeViewItem.h"

#include "ControlBase/ControlCreator.h"
#include "ResultCodes.h"

namespace SV {

LTreeViewItem::LTreeViewItem(const RCPtr<LControl>& parent, const WideString& name,
                             bool mostDerived)
    : LCheckedListBoxItem(parent, name, mostDerived)
{}

LTreeViewItem::~LTreeViewItem() = default;

RCPtr<LControl> LTreeViewItem::CreateControl(const RCPtr<LControl>& parent,
                                             const ConstRCPtr<LControlDescriptor>& descriptor)
{
    return CreateControlOf<LTreeViewItem>(parent, descriptor);
}

int32_t LTreeViewItem::SetIndentLevel(uint32_t level)
{
    const RCPtr<LControl>& expander = GetCheckBox();
    if (!expander || !mLayout) {
        return E_FAIL;
    }
    LayoutPositionSpec position;
    LayoutSpec size;
    mLayout->GetAxisSpec(LLayoutDescriptor::kAxisX, position, size);
    position.absolute = double(level) * expander->GetRect().width;
    return SetLayoutSpec(LLayoutDescriptor::kAxisX, position, size);
}

} // namespace SV
