// Thread priorities in the Windows values the framework speaks, applied to Linux threads as far
// as the process may: a priority below normal always takes effect, one above normal only with
// the right to raise it (otherwise the thread silently keeps the priority it has).
#pragma once

#include <cstdint>

constexpr int32_t THREAD_PRIORITY_IDLE = -15;
constexpr int32_t THREAD_PRIORITY_LOWEST = -2;
constexpr int32_t THREAD_PRIORITY_BELOW_NORMAL = -1;
constexpr int32_t THREAD_PRIORITY_NORMAL = 0;
constexpr int32_t THREAD_PRIORITY_ABOVE_NORMAL = 1;
constexpr int32_t THREAD_PRIORITY_HIGHEST = 2;
constexpr int32_t THREAD_PRIORITY_TIME_CRITICAL = 15;

namespace svp {

enum class ThreadPriorityOutcome
{
    Applied, // the thread now runs at the nice value of the priority
    Kept,    // the system refused the change; the thread keeps the priority it had
    Invalid, // not one of the Windows priority values; nothing was tried
};

// The kernel's id of the calling thread (never 0).
int32_t GetCurrentThreadId();

// True for the seven Windows thread priorities listed above.
bool IsValidThreadPriority(int32_t priority);

// The nice value a priority maps to, relative to the process's own nice value and clamped to
// the range Linux allows: idle 19, lowest +10, below normal +5, normal 0, above normal -5,
// highest -10, time-critical -20.
int32_t NiceValueForThreadPriority(int32_t priority);

// Gives a thread of this process, by its kernel id, the nice value of a Windows priority.
ThreadPriorityOutcome ApplyThreadPriority(int32_t threadId, int32_t priority);

} // namespace svp
