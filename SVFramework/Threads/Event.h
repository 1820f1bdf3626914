// Events: SV::Event (auto-reset unless asked otherwise), SV::TrafficLight (a manual-reset gate
// that stays open until reset) and SV::LEvent (a reference-counted auto-reset event), with the
// wait on one or several events at once. A Set on an auto-reset event releases exactly one
// waiter, or stays pending for the next one; a Set on a manual-reset event releases every
// waiter and stays until Reset.
#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "WaitResults.h"

#include <atomic>
#include <cstdint>
#include <memory>

namespace SV {

namespace detail {
class EventObject;
} // namespace detail

// What the multiple wait takes: the address of an event's kernel-object stand-in.
using EventHandle = detail::EventObject*;

// Waits until one of `count` events is signalled (any one, not all) or the time runs out
// (`milliseconds` negative: no limit). Answers WAIT_OBJECT_0 + the index of the event that
// released the wait (the lowest index when several were signalled before the wait began),
// WAIT_TIMEOUT, or WAIT_FAILED for no events, more than MAXIMUM_WAIT_OBJECTS or a null handle.
// An auto-reset event that releases the wait is reset by it; the others keep their state.
int32_t WaitForEvents(const EventHandle* handles, int32_t count, int32_t milliseconds);

// The operations shared by every event class; not used on its own.
class EventBase
{
public:
    EventBase(const EventBase&) = delete;
    EventBase& operator=(const EventBase&) = delete;

    // true when the event could be set (always, for a live event).
    bool Set();
    bool Reset();
    // The same with the Windows answer: nonzero on success.
    int32_t SetEvent();
    int32_t ResetEvent();
    // A wait of no time; like every wait, it consumes the signal of an auto-reset event.
    bool IsSignaled();
    // WAIT_OBJECT_0, WAIT_TIMEOUT or WAIT_FAILED; a negative time-out waits without limit.
    int32_t Wait(int32_t milliseconds);
    EventHandle GetHandle() const;
    // Threads waiting on this event through its own Wait right now; informative only.
    int32_t GetWaiterCount() const { return mWaiterCount.load(); }

protected:
    explicit EventBase(bool autoReset);
    ~EventBase();

private:
    std::unique_ptr<detail::EventObject> mObject;
    std::atomic<int32_t> mWaiterCount{0};
};

class Event : public EventBase
{
public:
    explicit Event(bool autoReset = true) : EventBase(autoReset) {}
    virtual ~Event() = default;
};

class TrafficLight : public Event
{
public:
    TrafficLight() : Event(false) {}
};

class LEvent : public EventBase, public virtual LRefCountedObject
{
public:
    LEvent() : EventBase(true) {}
};

} // namespace SV
