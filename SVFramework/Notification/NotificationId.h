// Notification ids: every notification name ("NID_IDLE", "NID_VALUE_CHANGE") is interned once per
// process, and its id is the address of the interned characters. Ids are compared by identity,
// and an id can be passed wherever a name is expected: it is found again as itself.
#pragma once

#include "Utilities/Storage/StringArray.h"
#include "Utilities/Storage/StringT.h"

namespace SV {

// The interned UTF-16 name itself; null means no id. Never freed or moved while the process runs.
using NotificationId = const char16_t*;

// The id of a name (or of an id); 0 for a null or empty name. Interns a new name.
NotificationId GetNotificationID(const char16_t* name);

// The name of an id, sharing the interned characters; empty for anything that is not an id.
WideString GetNotificationName(NotificationId id);

// The table of interned names, in the order of first use; made by the first call.
WideStringArray& GetNotificationNameTable();

} // namespace SV
