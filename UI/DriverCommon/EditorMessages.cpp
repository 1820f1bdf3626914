#include "DriverCommon/EditorMessages.h"

#include "Application/FrameworkApp.h"
#include "Notification/Notification.h"
#include "ResultCodes.h"

int32_t ShowMessageBox(const SV::WideString& text, const SV::WideString& caption, uint32_t style)
{
    if (SV::CurrentApplication == nullptr) {
        return E_FAIL;
    }
    return SV::CurrentApplication->ShowMessageBox(text, caption, style);
}

SV::WideString GetAppString(const SV::WideString& id)
{
    SV::WideString text;
    if (SV::CurrentApplication != nullptr) {
        if (const auto& strings = SV::CurrentApplication->GetApplicationStringTable()) {
            strings->GetString(id, text);
        }
    }
    return text;
}

int32_t PostNamedNotification(const SV::RCPtr<SV::LNotificationQueue>& queue, const char16_t* name,
                              const SV::ConstRCPtr<SV::LRefCountedObject>& payload)
{
    if (!queue) {
        return E_INVALIDARG;
    }
    // An empty name makes no notification, which the queue refuses.
    return queue->Post(SV::CreateNotification(name, payload));
}
