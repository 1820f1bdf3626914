// A table of key bindings and the receiver its bound notifications go to. The application's
// manager hands them to the posting receiver of the "application" centre, a root window's to
// that of its own queue, so a bound key's notification is delivered by the next idle pass,
// never inside the key handler.
#pragma once

#include "Notification/NotificationReceiver.h"
#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"
#include "System/KeyBindingTable.h"

namespace SV {

class LGlobalHotKeyManager : public virtual LRefCountedObject
{
public:
    explicit LGlobalHotKeyManager(const RCPtr<LNotificationReceiver>& receiver)
        : mReceiver(receiver)
    {}

    // 0 when the key is bound (its notification was handed on), 1 when it is not, so the caller
    // may try the next table.
    int32_t HandleKey(KeyCode key);

    KeyBindingTable& GetTable() { return mTable; }
    const KeyBindingTable& GetTable() const { return mTable; }
    const RCPtr<LNotificationReceiver>& GetReceiver() const { return mReceiver; }

private:
    KeyBindingTable mTable;
    RCPtr<LNotificationReceiver> mReceiver;
};

RCPtr<LGlobalHotKeyManager> CreateGlobalHotKeyManager(const RCPtr<LNotificationReceiver>& receiver);

} // namespace SV
