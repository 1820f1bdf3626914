// A fixed set of reference-counted events that one thread waits on at once, as the thread
// pool's dispatcher waits for whichever worker finishes first.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "Threads/Event.h"

#include <atomic>
#include <cstdint>
#include <vector>

namespace SV {

class EventPool
{
public:
    // `count` auto-reset events, none signalled. When the memory for them cannot be had the
    // pool has no events (GetCount 0) and every wait on it fails.
    explicit EventPool(int32_t count);
    EventPool(const EventPool&) = delete;
    EventPool& operator=(const EventPool&) = delete;
    virtual ~EventPool();

    // The index of the event that released the wait, or -1 when the wait timed out or failed.
    // A pool of more than MAXIMUM_WAIT_OBJECTS events cannot be waited on: the wait fails.
    int32_t WaitAny(int32_t milliseconds);

    // The event at `index`; null for an index outside the pool.
    RCPtr<LEvent> GetEvent(int32_t index) const;
    int32_t GetCount() const { return static_cast<int32_t>(mEvents.size()); }
    // Threads in WaitAny right now; informative only.
    int32_t GetWaiterCount() const { return mWaiterCount.load(); }

private:
    std::vector<RCPtr<LEvent>> mEvents;
    std::atomic<int32_t> mWaiterCount{0};
    // The handles of mEvents, index for index, as the multiple wait takes them.
    std::vector<EventHandle> mHandles;
};

} // namespace SV
