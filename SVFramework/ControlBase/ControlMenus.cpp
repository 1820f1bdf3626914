// Context menus of a control and the menus of its string table: the popup shown on a right click,
// the entries that go the way of their key bindings, and the link through which menus ask the
// control about their entries.
#include "ControlBase/Control.h"

#include "ControlBase/ControlApplication.h"
#include "ControlBase/ControlFactory.h"
#include "ControlBase/MenuBuilder.h"
#include "ControlBase/MenuDescriptor.h"
#include "ControlBase/MenuItemUpdater.h"
#include "ControlBase/PopupMenuControl.h"
#include "Notification/Notification.h"
#include "Windows/RootWindow.h"
#include "Windows/WindowApplication.h"

namespace SV {

namespace {

const RCPtr<LGlobalHotKeyManager>& ApplicationHotKeys()
{
    static const RCPtr<LGlobalHotKeyManager> none;
    return GetWindowApplication() != nullptr ? GetWindowApplication()->GetHotKeyManager() : none;
}

bool IsBound(const RCPtr<LGlobalHotKeyManager>& manager, const WideString& name)
{
    return manager && manager->GetTable().HasName(name);
}

// Every entry that sends a notification, at any depth: an entry that opens a sub-menu stands for
// the entries of its sub-menu.
template <class Visit>
void ForEachCommand(const LMenuDescriptor& menu, const Visit& visit)
{
    for (int32_t i = 0; i < menu.GetItemCount(); ++i) {
        const RCPtr<LMenuItemDescriptor> item = menu.GetItem(i);
        if (!item) {
            continue;
        }
        if (item->HasChildren()) {
            ForEachCommand(*item, visit);
        } else if (!item->IsSeparator() && !item->GetIdentifier().IsEmpty()) {
            visit(item->GetIdentifier());
        }
    }
}

} // namespace

int32_t LControl::UpdateMenuItem(const RCPtr<LMenuDescriptor>& /*menu*/, int32_t /*index*/,
                                 const WideString& /*identifier*/, MenuItemState& /*state*/)
{
    return S_FALSE;
}

void LControl::OnContextMenuOpening(const RCPtr<LControl>& /*popup*/)
{}

int32_t LControl::SetContextMenu(const RCPtr<LMenuDescriptor>& menu)
{
    if (mContextMenu) {
        BindContextMenuItems(mContextMenu, false);
    }
    mContextMenu = menu;
    if (mContextMenu) {
        BindContextMenuItems(mContextMenu, true);
    }
    return S_OK;
}

void LControl::BindContextMenuItems(const RCPtr<LMenuDescriptor>& menu, bool bind)
{
    if (!menu) {
        return;
    }
    if (!mNotificationHandler) {
        mNotificationHandler.Create();
    }
    const RCPtr<LRootWindow>& window = GetRootWindowRef();
    const RCPtr<LGlobalHotKeyManager> windowKeys =
        window ? window->GetHotKeyManager() : RCPtr<LGlobalHotKeyManager>();
    const RCPtr<LGlobalHotKeyManager>& applicationKeys = ApplicationHotKeys();
    ForEachCommand(*menu, [&](const WideString& name) {
        if (!IsBound(windowKeys, name) && !IsBound(applicationKeys, name)) {
            return;
        }
        if (bind) {
            mNotificationHandler->RegisterSelfHandler(&LControl::OnMenuItemNotification,
                                                      name.GetText());
        } else {
            mNotificationHandler->UnregisterHandler(nullptr, name.GetText());
        }
    });
}

int32_t LControl::OnMenuItemNotification(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                                         const ConstRCPtr<LNotification>& notification)
{
    if (!notification) {
        return 1;
    }
    const WideString name = GetNotificationName(notification->GetId());
    const RCPtr<LRootWindow>& window = GetRootWindowRef();
    RCPtr<LGlobalHotKeyManager> manager =
        window ? window->GetHotKeyManager() : RCPtr<LGlobalHotKeyManager>();
    if (!IsBound(manager, name)) {
        manager = ApplicationHotKeys();
    }
    // Both managers post: the command is delivered at the next idle pass, as its key's is.
    if (manager && manager->GetReceiver()) {
        manager->GetReceiver()->Receive(ConstRCPtr<LNotificationDistributor>(),
                                        CreateNotification(name.GetText(), nullptr));
    }
    return 1;
}

int32_t LControl::ShowContextMenu(const RCPtr<LMenuDescriptor>& menu)
{
    IControlApplication* application = GetControlApplication();
    const RCPtr<LControlFactory> factory =
        application != nullptr ? application->GetControlFactory() : nullptr;
    // A skin without a popup description, or whose description makes no popup menu, shows no
    // context menu.
    const RCPtr<LControlDescriptor> descriptor =
        factory ? factory->FindRootDescriptor(u"contextMenu") : nullptr;
    if (!descriptor) {
        return S_OK;
    }
    const RCPtr<LControl> control = factory->CreateControl(RCPtr<LControl>(this), descriptor);
    auto* popup = dynamic_cast<IPopupMenuControl*>(control.Get());
    if (popup == nullptr) {
        if (control) {
            control->Detach();
        }
        return S_OK;
    }
    control->SetVisible(false);
    popup->SetMenu(menu);
    OnContextMenuOpening(control);
    popup->ShowAtCursor();
    return S_OK;
}

int32_t LControl::ParseContextMenu(RCPtrArray<LMenuDescriptor, 1, 0>& menus)
{
    const RCPtr<LStringTable>& table = GetStringTable();
    if (!table) {
        return S_FALSE;
    }
    LStringTable::Entries all;
    table->GetIDsWithPrefix(u"CONTEXT_MENU", all);
    // An identifier without a dot names no menu and no entry.
    LStringTable::Entries entries;
    for (const auto& pair : all) {
        if (pair.first.Find(WideString(u".")) >= 0) {
            entries.Add(pair);
        }
    }
    for (const LStringTable::Entries& menu : CollectContextMenus(entries)) {
        menus.Add(RCPtr<LMenuDescriptor>(BuildMenuDescriptor(menu)));
    }
    return S_FALSE;
}

RCPtr<LMenuItemUpdater>& LControl::GetMenuItemUpdater()
{
    if (!mMenuItemUpdater) {
        mMenuItemUpdater = RCPtr<LMenuItemUpdater>(new LMenuItemUpdater(this));
        // The updater's link back to this control is internal: menus never keep it alive.
        AddInternalRef();
    }
    return mMenuItemUpdater;
}

} // namespace SV
