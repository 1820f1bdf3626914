#include "Threads/EventPool.h"

#include "ResultCodes.h"

#include <new>

namespace SV {

EventPool::EventPool(int32_t count)
{
    if (count <= 0) {
        return;
    }
    try {
        mHandles.reserve(static_cast<size_t>(count));
        mEvents.reserve(static_cast<size_t>(count));
        for (int32_t i = 0; i < count; ++i) {
            mEvents.emplace_back(new LEvent());
            mHandles.push_back(mEvents.back()->GetHandle());
        }
    } catch (const std::bad_alloc&) {
        mEvents.clear();
        mHandles.clear();
    }
}

EventPool::~EventPool() = default;

int32_t EventPool::WaitAny(int32_t milliseconds)
{
    mWaiterCount.fetch_add(1);
    const int32_t result = WaitForEvents(mHandles.data(), GetCount(), milliseconds);
    mWaiterCount.fetch_sub(1);
    if (result >= WAIT_OBJECT_0 && result < WAIT_OBJECT_0 + GetCount()) {
        return result - WAIT_OBJECT_0;
    }
    return kNotFound;
}

RCPtr<LEvent> EventPool::GetEvent(int32_t index) const
{
    if (index < 0 || index >= GetCount()) {
        return nullptr;
    }
    return mEvents[static_cast<size_t>(index)];
}

} // namespace SV
