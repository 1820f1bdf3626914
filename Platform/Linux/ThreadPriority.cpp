#include "ThreadPriority.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace svp {
namespace {

constexpr int kMostFavourableNice = -20;
constexpr int kLeastFavourableNice = 19;

// The nice value of the process's main thread stands for the process's priority class: the
// offsets of the Windows priorities are taken from it.
int ProcessNiceValue()
{
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(getpid()));
    return errno == 0 ? nice : 0;
}

int NiceOffset(int32_t priority)
{
    switch (priority) {
    case THREAD_PRIORITY_IDLE:
        return kLeastFavourableNice - kMostFavourableNice;
    case THREAD_PRIORITY_LOWEST:
        return 10;
    case THREAD_PRIORITY_BELOW_NORMAL:
        return 5;
    case THREAD_PRIORITY_ABOVE_NORMAL:
        return -5;
    case THREAD_PRIORITY_HIGHEST:
        return -10;
    case THREAD_PRIORITY_TIME_CRITICAL:
        return kMostFavourableNice - kLeastFavourableNice;
    default:
        return 0;
    }
}

} // namespace

int32_t GetCurrentThreadId()
{
    return static_cast<int32_t>(syscall(SYS_gettid));
}

bool IsValidThreadPriority(int32_t priority)
{
    switch (priority) {
    case THREAD_PRIORITY_IDLE:
    case THREAD_PRIORITY_LOWEST:
    case THREAD_PRIORITY_BELOW_NORMAL:
    case THREAD_PRIORITY_NORMAL:
    case THREAD_PRIORITY_ABOVE_NORMAL:
    case THREAD_PRIORITY_HIGHEST:
    case THREAD_PRIORITY_TIME_CRITICAL:
        return true;
    default:
        return false;
    }
}

int32_t NiceValueForThreadPriority(int32_t priority)
{
    return std::clamp(ProcessNiceValue() + NiceOffset(priority), kMostFavourableNice,
                      kLeastFavourableNice);
}

ThreadPriorityOutcome ApplyThreadPriority(int32_t threadId, int32_t priority)
{
    if (!IsValidThreadPriority(priority)) {
        return ThreadPriorityOutcome::Invalid;
    }
    // On Linux the nice value belongs to each thread, so PRIO_PROCESS with a thread id changes
    // that one thread. Raising it needs CAP_SYS_NICE or a nice limit: without either the call
    // fails with EACCES and the thread runs on as it was.
    const int nice = NiceValueForThreadPriority(priority);
    if (setpriority(PRIO_PROCESS, static_cast<id_t>(threadId), nice) != 0) {
        return ThreadPriorityOutcome::Kept;
    }
    return ThreadPriorityOutcome::Applied;
}

} // namespace svp
