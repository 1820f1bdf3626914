// Recycling pools: a process-wide pool of fixed-size blocks per pooled class, handed out, taken
// back and handed out again (most recently freed first), never given back to the heap while
// the pool lives. A pooled class gets its class-level allocation by deriving from
// ReusePooled<itself>; its pool's growth step and lock come from ReusePoolTraits.
#pragma once

#include "Threads/Mutex.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

namespace SV {

template <class T, uint32_t N>
class ReuseAllocator
{
public:
    // A pool used from several threads is thread-safe: every allocation and release then takes
    // the pool's own mutex.
    explicit ReuseAllocator(bool threadSafe)
    {
        mBlocks.reserve(N);
        mFreeList.reserve(N);
        if (threadSafe) {
            mMutex = std::make_unique<Mutex>();
        }
    }
    ReuseAllocator(const ReuseAllocator&) = delete;
    ReuseAllocator& operator=(const ReuseAllocator&) = delete;
    // Frees every block, whether or not its object was freed: objects must not outlive the pool.
    virtual ~ReuseAllocator()
    {
        for (unsigned char* block : mBlocks) {
            ::operator delete(block);
        }
    }

    // Memory for one T: the most recently freed block, or a new one. A request of another size
    // (a derived class inheriting the class-level allocation) is served by the heap.
    void* Allocate(size_t size)
    {
        if (size != sizeof(T)) {
            // The heap memory carries a header too, marked as no block of the pool, so that
            // Free can tell it apart without reading outside the allocation.
            auto* memory = static_cast<unsigned char*>(::operator new(Buf::kRoomOffset + size));
            return Buf::Prepare(memory, Buf::kNotABlock);
        }
        std::unique_lock<Mutex> lock = Lock();
        if (!mFreeList.empty()) {
            const uint32_t index = mFreeList.back();
            mFreeList.pop_back();
            return mBlocks[index] + Buf::kRoomOffset;
        }
        const auto index = static_cast<uint32_t>(mBlocks.size());
        // Both tables grow together by N entries, so Free never needs memory to push an index.
        if (mBlocks.size() == mBlocks.capacity()) {
            mBlocks.reserve(mBlocks.capacity() + N);
            mFreeList.reserve(mBlocks.capacity());
        }
        auto* block = static_cast<unsigned char*>(::operator new(Buf::kRoomOffset + sizeof(T)));
        mBlocks.push_back(block);
        return Buf::Prepare(block, index);
    }

    void Free(void* memory)
    {
        if (memory == nullptr) {
            return;
        }
        std::unique_lock<Mutex> lock = Lock();
        const uint32_t index = Buf::IndexOf(memory);
        if (index < mBlocks.size() && mBlocks[index] + Buf::kRoomOffset == memory) {
            mFreeList.push_back(index);
            return;
        }
        lock = {};
        ::operator delete(static_cast<unsigned char*>(memory) - Buf::kRoomOffset);
    }

    // Every block the pool has made: the most objects of T alive at one time.
    int32_t GetBlockCount() const
    {
        std::unique_lock<Mutex> lock = Lock();
        return static_cast<int32_t>(mBlocks.size());
    }
    int32_t GetFreeCount() const
    {
        std::unique_lock<Mutex> lock = Lock();
        return static_cast<int32_t>(mFreeList.size());
    }
    // The index of the pool's block that holds `memory`, -1 for memory the heap served.
    int32_t GetBlockIndex(const void* memory) const
    {
        std::unique_lock<Mutex> lock = Lock();
        const uint32_t index = Buf::IndexOf(memory);
        if (index < mBlocks.size() && mBlocks[index] + Buf::kRoomOffset == memory) {
            return static_cast<int32_t>(index);
        }
        return -1;
    }
    bool IsThreadSafe() const { return mMutex != nullptr; }

private:
    // A block: a header whose last four bytes hold the block's index, then room for one T. The
    // header is as long as the heap's alignment, so the room is aligned like any heap memory.
    struct Buf
    {
        static constexpr size_t kRoomOffset = __STDCPP_DEFAULT_NEW_ALIGNMENT__;
        static constexpr uint32_t kNotABlock = 0xFFFFFFFFu;
        static_assert(alignof(T) <= kRoomOffset, "pooled classes take the heap's alignment");

        static void* Prepare(unsigned char* block, uint32_t index)
        {
            unsigned char* room = block + kRoomOffset;
            new (room - sizeof(uint32_t)) uint32_t(index);
            return room;
        }
        static uint32_t IndexOf(const void* room)
        {
            return *reinterpret_cast<const uint32_t*>(static_cast<const unsigned char*>(room) -
                                                      sizeof(uint32_t));
        }
    };

    std::unique_lock<Mutex> Lock() const
    {
        return mMutex ? std::unique_lock<Mutex>(*mMutex) : std::unique_lock<Mutex>();
    }

    std::vector<unsigned char*> mBlocks;
    // Indexes of the free blocks, used as a stack.
    std::vector<uint32_t> mFreeList;
    std::unique_ptr<Mutex> mMutex;
};

// The growth step and lock of each pooled class's pool; a class is pooled only with an entry.
template <class T>
struct ReusePoolTraits;

// The process-wide pool of a pooled class, made on its first use and never destroyed: a pool
// thread that finishes its last job while the process exits (its owner was released by that
// job) still gives its objects back after the static destructors have run.
template <class T>
ReuseAllocator<T, ReusePoolTraits<T>::kStep>& GetReusePool()
{
    static auto* pool = new ReuseAllocator<T, ReusePoolTraits<T>::kStep>(
        ReusePoolTraits<T>::kThreadSafe);
    return *pool;
}

// The class-level allocation of a pooled class T (derive T from ReusePooled<T>); classes
// derived from T inherit it and, being of another size, are served by the heap.
template <class T>
class ReusePooled
{
public:
    static void* operator new(size_t size) { return GetReusePool<T>().Allocate(size); }
    static void operator delete(void* memory) { GetReusePool<T>().Free(memory); }
};

// The program's pools. The user-interface payloads are made and released on that thread only
// and have no lock; captured MIDI messages and thread-pool jobs cross threads.
class LValueParam;
class LConditionsParam;
class LPointWithModifiersParam;
class LMouseButtonParam;
class LMouseWheelParam;
class LMenuActivationParam;
class LMidiCaptureNotificationData;

template <uint32_t Step, bool ThreadSafe>
struct ReusePoolSettings
{
    static constexpr uint32_t kStep = Step;
    static constexpr bool kThreadSafe = ThreadSafe;
};

template <>
struct ReusePoolTraits<LValueParam> : ReusePoolSettings<4, false>
{};
template <>
struct ReusePoolTraits<LConditionsParam> : ReusePoolSettings<4, false>
{};
template <>
struct ReusePoolTraits<LPointWithModifiersParam> : ReusePoolSettings<32, false>
{};
template <>
struct ReusePoolTraits<LMouseButtonParam> : ReusePoolSettings<32, false>
{};
template <>
struct ReusePoolTraits<LMouseWheelParam> : ReusePoolSettings<4, false>
{};
template <>
struct ReusePoolTraits<LMenuActivationParam> : ReusePoolSettings<4, false>
{};
template <>
struct ReusePoolTraits<LMidiCaptureNotificationData> : ReusePoolSettings<4, true>
{};
// The thread pool's jobs (LThreadPool::LWorkerParams, step 1, with a lock) are listed with
// their class in ThreadPool.h.

} // namespace SV
