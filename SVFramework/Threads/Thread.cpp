#include "Threads/Thread.h"

#include "ThreadPriority.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace SV {
namespace detail {

// Shared by the Thread object and the running thread, so that either may go first.
struct ThreadRecord
{
    std::mutex mutex;
    std::condition_variable changed;
    std::thread thread;
    bool valid = false;
    int32_t id = 0;
    bool resumed = false;
    bool abandoned = false; // destroyed before it was resumed
    bool finished = false;
    uint32_t exitCode = 0;
    int32_t priority = THREAD_PRIORITY_NORMAL;
    bool priorityBoost = true;
};

} // namespace detail

namespace {

void RunThread(const std::shared_ptr<detail::ThreadRecord>& record,
               std::function<uint32_t()> routine)
{
    {
        std::unique_lock lock(record->mutex);
        record->id = svp::GetCurrentThreadId();
        // The priority set while the id was not known yet takes effect now; a new thread
        // would otherwise run at whatever its creating thread had been given.
        svp::ApplyThreadPriority(record->id, record->priority);
        record->changed.notify_all();
        record->changed.wait(lock, [&] { return record->resumed || record->abandoned; });
        if (record->abandoned) {
            record->finished = true;
            record->changed.notify_all();
            return;
        }
    }
    const uint32_t exitCode = routine();
    // What the routine holds is released before the thread counts as finished, so a successful
    // Join means the routine's objects are gone too.
    routine = nullptr;
    std::lock_guard lock(record->mutex);
    record->exitCode = exitCode;
    record->finished = true;
    record->changed.notify_all();
}

} // namespace

Thread::Thread(StartRoutine routine, void* parameter)
    : Thread(std::function<uint32_t()>([routine, parameter] { return routine(parameter); }))
{}

Thread::Thread(std::function<uint32_t()> routine)
    : mRecord(std::make_shared<detail::ThreadRecord>())
{
    std::lock_guard lock(mRecord->mutex);
    try {
        mRecord->thread = std::thread(RunThread, mRecord, std::move(routine));
        mRecord->valid = true;
    } catch (const std::system_error&) {
        mRecord->valid = false;
    }
}

Thread::~Thread()
{
    std::unique_lock lock(mRecord->mutex);
    if (!mRecord->thread.joinable()) {
        return;
    }
    if (!mRecord->resumed) {
        // A thread never resumed would wait at its start for ever: it is let go unrun.
        mRecord->abandoned = true;
        mRecord->changed.notify_all();
        mRecord->changed.wait(lock, [&] { return mRecord->finished; });
    }
    if (mRecord->finished && mRecord->thread.get_id() != std::this_thread::get_id()) {
        mRecord->thread.join();
    } else {
        mRecord->thread.detach();
    }
}

bool Thread::IsValid() const
{
    return mRecord->valid;
}

int32_t Thread::Resume()
{
    std::lock_guard lock(mRecord->mutex);
    if (!mRecord->valid) {
        return -1;
    }
    if (mRecord->resumed) {
        return 0;
    }
    mRecord->resumed = true;
    mRecord->changed.notify_all();
    return 1;
}

bool Thread::IsFinished() const
{
    std::lock_guard lock(mRecord->mutex);
    return mRecord->finished;
}

bool Thread::SetPriority(int32_t priority)
{
    if (!svp::IsValidThreadPriority(priority)) {
        return false;
    }
    std::lock_guard lock(mRecord->mutex);
    if (!mRecord->valid) {
        return false;
    }
    mRecord->priority = priority;
    // Under the record's lock the thread cannot finish, so its id still names it.
    if (mRecord->id != 0 && !mRecord->finished) {
        svp::ApplyThreadPriority(mRecord->id, priority);
    }
    return true;
}

int32_t Thread::GetPriority() const
{
    std::lock_guard lock(mRecord->mutex);
    return mRecord->priority;
}

bool Thread::SetPriorityBoost(bool enable)
{
    std::lock_guard lock(mRecord->mutex);
    if (!mRecord->valid) {
        return false;
    }
    mRecord->priorityBoost = enable;
    return true;
}

bool Thread::IsPriorityBoostEnabled() const
{
    std::lock_guard lock(mRecord->mutex);
    return mRecord->priorityBoost;
}

bool Thread::Join(int32_t milliseconds)
{
    std::unique_lock lock(mRecord->mutex);
    if (!mRecord->valid) {
        return false;
    }
    if (mRecord->thread.get_id() == std::this_thread::get_id()) {
        return mRecord->finished;
    }
    const auto finished = [&] { return mRecord->finished; };
    if (milliseconds < 0) {
        mRecord->changed.wait(lock, finished);
    } else {
        mRecord->changed.wait_for(lock, std::chrono::milliseconds(milliseconds), finished);
    }
    if (!mRecord->finished) {
        return false;
    }
    // The routine has returned; the thread itself ends right after.
    if (mRecord->thread.joinable()) {
        mRecord->thread.join();
    }
    return true;
}

int32_t Thread::GetId() const
{
    std::unique_lock lock(mRecord->mutex);
    // The thread publishes its id first thing, suspended or not.
    mRecord->changed.wait(lock, [&] { return !mRecord->valid || mRecord->id != 0; });
    return mRecord->id;
}

uint32_t Thread::GetExitCode() const
{
    std::lock_guard lock(mRecord->mutex);
    return mRecord->exitCode;
}

} // namespace SV
