#include "Threads/Event.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>
#include <vector>

namespace SV {
namespace detail {

// One thread's wait on one or several events. The first event that signals it claims it by
// writing its index; a wait released once is never released again, so an auto-reset signal
// is handed to exactly one waiter and never lost.
struct EventWaiter
{
    std::mutex mutex;
    std::condition_variable released;
    int32_t index = -1; // the event that released the wait, -1 while waiting
};

// Stands for the kernel's event object. Lock order: an event's mutex before a waiter's mutex.
class EventObject
{
public:
    explicit EventObject(bool manualReset) : mManualReset(manualReset) {}

    void Set()
    {
        std::lock_guard lock(mMutex);
        for (const Registration& registration : mWaiters) {
            if (Claim(*registration.waiter, registration.index) && !mManualReset) {
                return; // the signal went to that waiter and is consumed
            }
        }
        mSignaled = true;
    }

    void Reset()
    {
        std::lock_guard lock(mMutex);
        mSignaled = false;
    }

    // Called at the start of a wait, in index order: when the event is signalled and the waiter
    // was not released yet, the waiter is released by it at once (consuming an auto-reset
    // signal); otherwise the waiter is registered for a later Set. False once the waiter has
    // been released, by this event or an earlier one: there is nothing left to register.
    bool ClaimOrRegister(EventWaiter& waiter, int32_t index)
    {
        std::lock_guard lock(mMutex);
        std::lock_guard waiterLock(waiter.mutex);
        if (waiter.index >= 0) {
            return false;
        }
        if (mSignaled) {
            waiter.index = index;
            if (!mManualReset) {
                mSignaled = false;
            }
            return false;
        }
        mWaiters.push_back({&waiter, index});
        return true;
    }

    void Unregister(const EventWaiter& waiter)
    {
        std::lock_guard lock(mMutex);
        for (auto it = mWaiters.begin(); it != mWaiters.end(); ++it) {
            if (it->waiter == &waiter) {
                mWaiters.erase(it);
                return;
            }
        }
    }

private:
    struct Registration
    {
        EventWaiter* waiter;
        int32_t index;
    };

    static bool Claim(EventWaiter& waiter, int32_t index)
    {
        std::lock_guard lock(waiter.mutex);
        if (waiter.index >= 0) {
            return false;
        }
        waiter.index = index;
        waiter.released.notify_one();
        return true;
    }

    std::mutex mMutex;
    const bool mManualReset;
    bool mSignaled = false;
    // Waiters in the order they began to wait: an auto-reset signal goes to the longest waiting.
    std::vector<Registration> mWaiters;
};

} // namespace detail

int32_t WaitForEvents(const EventHandle* handles, int32_t count, int32_t milliseconds)
{
    if (handles == nullptr || count <= 0 || count > MAXIMUM_WAIT_OBJECTS) {
        return WAIT_FAILED;
    }
    for (int32_t i = 0; i < count; ++i) {
        if (handles[i] == nullptr) {
            return WAIT_FAILED;
        }
    }

    detail::EventWaiter waiter;
    int32_t registered = 0;
    try {
        while (registered < count && handles[registered]->ClaimOrRegister(waiter, registered)) {
            ++registered;
        }
    } catch (const std::bad_alloc&) {
        for (int32_t i = 0; i < registered; ++i) {
            handles[i]->Unregister(waiter);
        }
        std::lock_guard lock(waiter.mutex);
        return waiter.index >= 0 ? WAIT_OBJECT_0 + waiter.index : WAIT_FAILED;
    }

    if (registered == count) {
        std::unique_lock lock(waiter.mutex);
        const auto released = [&] { return waiter.index >= 0; };
        if (milliseconds < 0) {
            waiter.released.wait(lock, released);
        } else if (milliseconds > 0) {
            waiter.released.wait_for(lock, std::chrono::milliseconds(milliseconds), released);
        }
    }
    for (int32_t i = 0; i < registered; ++i) {
        handles[i]->Unregister(waiter);
    }
    // A Set may have released the waiter after the time ran out but before it was unregistered;
    // its signal was consumed for this wait, so the wait reports it rather than losing it.
    std::lock_guard lock(waiter.mutex);
    return waiter.index >= 0 ? WAIT_OBJECT_0 + waiter.index : WAIT_TIMEOUT;
}

EventBase::EventBase(bool autoReset) : mObject(std::make_unique<detail::EventObject>(!autoReset))
{}

EventBase::~EventBase() = default;

bool EventBase::Set()
{
    mObject->Set();
    return true;
}

bool EventBase::Reset()
{
    mObject->Reset();
    return true;
}

int32_t EventBase::SetEvent()
{
    return Set() ? 1 : 0;
}

int32_t EventBase::ResetEvent()
{
    return Reset() ? 1 : 0;
}

bool EventBase::IsSignaled()
{
    return Wait(0) == WAIT_OBJECT_0;
}

int32_t EventBase::Wait(int32_t milliseconds)
{
    const EventHandle handle = mObject.get();
    mWaiterCount.fetch_add(1);
    const int32_t result = WaitForEvents(&handle, 1, milliseconds);
    mWaiterCount.fetch_sub(1);
    return result;
}

EventHandle EventBase::GetHandle() const
{
    return mObject.get();
}

} // namespace SV
