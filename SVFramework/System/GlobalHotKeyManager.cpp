#include "System/GlobalHotKeyManager.h"

#include "Notification/Notification.h"
#include "Notification/NotificationDistributor.h"
#include "ResultCodes.h"

namespace SV {

int32_t LGlobalHotKeyManager::HandleKey(KeyCode key)
{
    const WideString name = mTable.FindNameForKey(key);
    if (name.IsEmpty()) {
        return S_FALSE;
    }
    const RCPtr<LNotification> notification = CreateNotification(name.GetText(), nullptr);
    if (mReceiver) {
        mReceiver->Receive(ConstRCPtr<LNotificationDistributor>(), notification);
    }
    return S_OK;
}

RCPtr<LGlobalHotKeyManager> CreateGlobalHotKeyManager(const RCPtr<LNotificationReceiver>& receiver)
{
    return RCPtr<LGlobalHotKeyManager>(new LGlobalHotKeyManager(receiver));
}

} // namespace SV
