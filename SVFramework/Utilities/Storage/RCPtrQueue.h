// A first-in first-out ring of shared pointers over a pointer array, for queues that other
// threads fill: every operation holds the ring's mutex when it has one. A full ring grows by one
// slot instead of dropping anything; it never shrinks.
#pragma once

#include "ObjectBase/Exception.h"
#include "Threads/Mutex.h"
#include "Utilities/Storage/RCPtrArray.h"

#include <cstdint>
#include <new>
#include <typeinfo>

namespace SV {

namespace detail {
// "Runtime Error : SV::RCPtrQueue<class T,N>::Dequeue : utilities\Storage/RCPtrQueue : Line 104"
[[noreturn]] void ThrowEmptyQueue(const std::type_info& item, uint32_t slots);
} // namespace detail

template <class T, uint32_t N>
class RCPtrQueue
{
    // One slot is always free, so a ring of fewer than two slots could hold nothing.
    static_assert(N >= 2, "a ring needs two slots");

public:
    // The mutex is not owned; null for a ring used by one thread only.
    explicit RCPtrQueue(Mutex* mutex = nullptr) : mSlots(int32_t(N)), mMutex(mutex) {}
    RCPtrQueue(const RCPtrQueue&) = delete;
    RCPtrQueue& operator=(const RCPtrQueue&) = delete;

    int32_t Enqueue(const RCPtr<T>& item)
    {
        Lock lock(mMutex);
        uint32_t slots = SlotCount();
        if (CountOf(slots) == slots - 1) {
            // Full: one empty slot opens at the oldest item, which moves up with everything
            // behind it, so the order stays intact and the free slot stays at the write index.
            if (mWrite > mRead) {
                ++mWrite;
            }
            if (mSlots.InsertAt(int32_t(mRead), int32_t(1)) < 0) {
                throw Exception<std::bad_alloc>();
            }
            ++slots;
            mRead = (mRead + 1) % slots;
        }
        *mSlots.At(int32_t(mWrite)) = item;
        mWrite = (mWrite + 1) % slots;
        return 0;
    }

    // The oldest item; throws when the ring is empty.
    RCPtr<T> Dequeue()
    {
        RCPtr<T> item;
        {
            // The emptiness test and the removal are one step, so that two threads draining one
            // ring cannot both take its last item.
            Lock lock(mMutex);
            const uint32_t slots = SlotCount();
            if (CountOf(slots) != 0) {
                item = std::move(*mSlots.At(int32_t(mRead)));
                mRead = (mRead + 1) % slots;
                return item;
            }
        }
        detail::ThrowEmptyQueue(typeid(T), N);
    }

    int32_t GetCount() const
    {
        Lock lock(mMutex);
        return int32_t(CountOf(SlotCount()));
    }

    // The slots of the ring, one more than the items it can hold before it grows.
    int32_t GetSlotCount() const
    {
        Lock lock(mMutex);
        return int32_t(SlotCount());
    }

private:
    class Lock
    {
    public:
        explicit Lock(Mutex* mutex) : mMutex(mutex)
        {
            if (mMutex != nullptr) {
                mMutex->Enter();
            }
        }
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;
        ~Lock()
        {
            if (mMutex != nullptr) {
                mMutex->Leave();
            }
        }

    private:
        Mutex* mMutex;
    };

    uint32_t SlotCount() const { return uint32_t(mSlots.GetCount()); }
    uint32_t CountOf(uint32_t slots) const { return (mWrite + slots - mRead) % slots; }

    // The slot memory grows in steps of N pointers.
    RCPtrArray<T, N, N> mSlots;
    uint32_t mWrite = 0;
    uint32_t mRead = 0;
    Mutex* mMutex;
};

} // namespace SV
