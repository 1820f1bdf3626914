// A framework thread: created suspended (its routine starts only at Resume), with a priority in
// the Windows values and a bounded join. Destroying the object neither waits for the thread nor
// stops it: a running routine goes on with whatever it owns; a thread never resumed is let go
// without running its routine.
#pragma once

#include "ThreadPriority.h"
#include "WaitResults.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace SV {

namespace detail {
struct ThreadRecord;
} // namespace detail

class Thread
{
public:
    using StartRoutine = uint32_t (*)(void* parameter);

    Thread(StartRoutine routine, void* parameter);
    // The routine and what it captures live until the routine returns, so it may keep the
    // state it needs alive for as long as it runs.
    explicit Thread(std::function<uint32_t()> routine);
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;
    virtual ~Thread();

    // false when the thread could not be created; every other operation then fails.
    bool IsValid() const;
    // Lets the routine start. Answers the previous suspend count: 1 the first time, 0 after,
    // -1 for a thread that could not be created.
    int32_t Resume();
    // true once the routine has returned.
    bool IsFinished() const;
    // A Windows priority (THREAD_PRIORITY_*). The value is kept and applied as far as the
    // system lets this process; false for a value that is not a Windows priority.
    bool SetPriority(int32_t priority);
    int32_t GetPriority() const;
    // Linux has no dynamic priority boost: the setting is kept and has no other effect.
    bool SetPriorityBoost(bool enable);
    bool IsPriorityBoostEnabled() const;
    // true when the routine has returned within the time (negative: no limit). A thread cannot
    // wait for itself: joined from its own routine, this answers false at once.
    bool Join(int32_t milliseconds);
    // The kernel's id of the thread; 0 for a thread that could not be created.
    int32_t GetId() const;
    // The routine's result once it has returned.
    uint32_t GetExitCode() const;

private:
    std::shared_ptr<detail::ThreadRecord> mRecord;
};

} // namespace SV
