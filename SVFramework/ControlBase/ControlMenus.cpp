// The menu side of a control: the hook through which menus ask it about their entries, the
// updater that carries that question, and its context menus from its string table.
#include "ControlBase/Control.h"

#include "ControlBase/MenuItemUpdater.h"
#include "ControlBase/StringTable.h"
#include "Controls/MenuBuilder.h"
#include "ResultCodes.h"

namespace SV {

RCPtr<LControl> LMenuItemUpdater::GetControl() const
{
    return RCPtr<LControl>(mControl);
}

int32_t LControl::FilterNotification(const RCPtr<LMenuDescriptor>& /*menu*/, int32_t /*index*/,
                                     const WideString& /*identifier*/, MenuItemState* /*state*/)
{
    return S_FALSE;
}

const RCPtr<LMenuItemUpdater>& LControl::GetMenuItemUpdater()
{
    if (!mMenuItemUpdater) {
        mMenuItemUpdater = RCPtr<LMenuItemUpdater>(new LMenuItemUpdater(this));
    }
    return mMenuItemUpdater;
}

int32_t LControl::ParseContextMenu(RCPtrArray<LMenuDescriptor, 1, 0>& menus) const
{
    const RCPtr<LStringTable>& table = GetStringTable();
    if (!table) {
        return S_FALSE;
    }
    LStringTable::Entries entries;
    table->GetSortedEntries(entries);
    for (const LStringTable::Entries& menu : CollectContextMenus(entries)) {
        menus.Add(BuildMenuDescriptor(menu));
    }
    return S_FALSE;
}

} // namespace SV
