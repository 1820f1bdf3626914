#include "Notification/NotificationId.h"

#include "Notification/NotificationLocks.h"

namespace SV {

WideStringArray& GetNotificationNameTable()
{
    // Never destroyed: ids handed out must stay valid up to the last static destructor.
    static WideStringArray* const table = new WideStringArray();
    return *table;
}

NotificationId GetNotificationID(const char16_t* name)
{
    if (name == nullptr || name[0] == 0) {
        return nullptr;
    }
    MutexLock lock(GetNotificationLock());
    WideStringArray& table = GetNotificationNameTable();
    // An id, or a name handed out by the table before: a pointer comparison per entry, newest
    // first, before any text is compared or copied.
    int32_t index = table.IndexOfText(name);
    if (index < 0) {
        index = table.Find(name, true);
    }
    if (index < 0) {
        index = table.Add(WideString(name));
        if (index < 0) {
            return nullptr;
        }
    }
    return table.At(index)->GetText();
}

WideString GetNotificationName(NotificationId id)
{
    if (id == nullptr) {
        return WideString();
    }
    MutexLock lock(GetNotificationLock());
    const WideStringArray& table = GetNotificationNameTable();
    const int32_t index = table.IndexOfText(id);
    return index >= 0 ? *table.At(index) : WideString();
}

} // namespace SV
