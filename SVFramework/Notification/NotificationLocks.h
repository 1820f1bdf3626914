// The two process-wide locks of the notification system. The notification lock guards the
// table of interned names and the pool of recycled notifications; the queue lock guards every
// notification queue and the client pools that a post reads, so that posting is safe from any
// thread. Both are re-entrant. A thread that holds the queue lock may take the notification
// lock, never the other way round.
#pragma once

#include "Threads/Mutex.h"

namespace SV {

Mutex& GetNotificationLock();
Mutex& GetNotificationQueueLock();

} // namespace SV
