// The editor's shared ways to speak to the user and to the rest of the program: a message box
// through the application, a text of the application's own string table "|PresetEditor", and a
// notification posted by name. They hold no state.
#pragma once

#include "Notification/NotificationQueue.h"
#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

// Hands the texts and the style (MB_* values) to the application's message box and answers its
// result; E_FAIL without an application. The box is modal: it returns once the user closed it.
// User-interface thread.
int32_t ShowMessageBox(const SV::WideString& text, const SV::WideString& caption, uint32_t style);

// The text of the ID in "|PresetEditor"; empty when the application, the table or the ID is
// missing, which callers take as "no text". User-interface thread.
SV::WideString GetAppString(const SV::WideString& id);

// Posts a notification of the name, with the payload (which may be empty), to the queue: the
// queue's answer, or E_INVALIDARG without a queue or for an empty name.
// Any thread: posting is.
int32_t PostNamedNotification(const SV::RCPtr<SV::LNotificationQueue>& queue, const char16_t* name,
                              const SV::ConstRCPtr<SV::LRefCountedObject>& payload);
