// The menu side of a control: the hook through which menus ask it about their entries, the
// updater that carries that question, and its context menus from its string table.
#include "ControlBase/Control.h"

#include "ControlBase/ControlApplication.h"
#include "ControlBase/ControlFactory.h"
#include "ControlBase/MenuItemUpdater.h"
#include "ControlBase/StringTable.h"
#include "Controls/MenuBuilder.h"
#include "Controls/PopupMenu.h"
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

void LControl::SetContextMenu(const RCPtr<LMenuDescriptor>& menu)
{
    mContextMenu = menu;
}

int32_t LControl::ShowContextMenu()
{
    RCPtr<LMenuDescriptor> menu = mContextMenu;
    if (!menu) {
        RCPtrArray<LMenuDescriptor, 1, 0> menus;
        ParseContextMenu(menus);
        if (menus.GetCount() > 0) {
            menu = *menus.At(0);
        }
    }
    IControlApplication* application = GetControlApplication();
    const RCPtr<LControlFactory> factory =
        application != nullptr ? application->GetControlFactory() : nullptr;
    const RCPtr<LControlDescriptor> descriptor =
        factory ? factory->FindRootDescriptor(u"contextMenu") : nullptr;
    if (!menu || !descriptor) {
        return S_FALSE;
    }
    const RCPtr<LControl> keepAlive(this);
    const RCPtr<LControl> control = factory->CreateControl(keepAlive, descriptor);
    auto* popup = dynamic_cast<LPopupMenu*>(control.Get());
    if (popup == nullptr) {
        if (control) {
            control->Detach();
        }
        return S_FALSE;
    }
    popup->SetVisible(false);
    popup->SetMenu(menu);
    return popup->ShowAtCursor() >= 0 ? S_OK : S_FALSE;
}

} // namespace SV
