#include "Notification/NotificationLocks.h"

namespace SV {

// Each lock is made by the first caller (the initialisation is thread-safe) and kept until the
// process ends: static destructors at exit (the centre manager, queues held by globals) still
// release notifications and must find both locks alive.

Mutex& GetNotificationLock()
{
    static Mutex* const lock = new Mutex();
    return *lock;
}

Mutex& GetNotificationQueueLock()
{
    static Mutex* const lock = new Mutex();
    return *lock;
}

} // namespace SV
