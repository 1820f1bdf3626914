#include "Threads/ReuseAllocator.h"

#include "ObjectBase/RCPtr.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

namespace {

struct Payload
{
    double value = 0.0;
    void* pointer = nullptr;
    int32_t index = 0;
};

using Pool = SV::ReuseAllocator<Payload, 4>;

TEST(ReuseAllocatorTest, AFreedBlockIsHandedOutAgain)
{
    Pool pool(false);
    EXPECT_FALSE(pool.IsThreadSafe());
    void* first = pool.Allocate(sizeof(Payload));
    pool.Free(first);
    EXPECT_EQ(first, pool.Allocate(sizeof(Payload)));
    EXPECT_EQ(1, pool.GetBlockCount());
    EXPECT_EQ(0, pool.GetFreeCount());
}

TEST(ReuseAllocatorTest, BlocksAreIndexedInOrderAndTheLastFreedIsReusedFirst)
{
    Pool pool(false);
    std::vector<void*> blocks;
    for (int i = 0; i < 3; ++i) {
        blocks.push_back(pool.Allocate(sizeof(Payload)));
        EXPECT_EQ(i, pool.GetBlockIndex(blocks.back()));
    }
    pool.Free(blocks[1]);
    EXPECT_EQ(1, pool.GetBlockIndex(pool.Allocate(sizeof(Payload))));
    pool.Free(blocks[0]);
    pool.Free(blocks[2]);
    EXPECT_EQ(2, pool.GetBlockIndex(pool.Allocate(sizeof(Payload))));
    EXPECT_EQ(0, pool.GetBlockIndex(pool.Allocate(sizeof(Payload))));
    EXPECT_EQ(3, pool.GetBlockCount());
}

TEST(ReuseAllocatorTest, BlocksAreAlignedAndWritableForTheWholeObject)
{
    Pool pool(false);
    std::vector<void*> blocks;
    for (int i = 0; i < 10; ++i) {
        void* block = pool.Allocate(sizeof(Payload));
        EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(block) % alignof(Payload));
        std::memset(block, 0xAB, sizeof(Payload));
        blocks.push_back(block);
    }
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(i, pool.GetBlockIndex(blocks[static_cast<size_t>(i)]));
    }
}

// Memory of another size comes from the heap. Handed back through the pool, it goes to the heap
// without the pool reading a block header in front of it that was never allocated.
TEST(ReuseAllocatorTest, OtherSizesAreServedAndTakenBackByTheHeap)
{
    Pool pool(true);
    for (size_t size : {size_t{1}, sizeof(Payload) + 8, size_t{4096}}) {
        void* memory = pool.Allocate(size);
        std::memset(memory, 0xFF, size);
        EXPECT_EQ(-1, pool.GetBlockIndex(memory));
        pool.Free(memory);
    }
    EXPECT_EQ(0, pool.GetBlockCount());
    EXPECT_EQ(0, pool.GetFreeCount());
    pool.Free(nullptr);
}

TEST(ReuseAllocatorTest, ThreadsSharingALockedPoolNeverHoldTheSameBlock)
{
    Pool pool(true);
    constexpr int kThreads = 4;
    constexpr int kRounds = 2000;
    std::vector<std::thread> threads;
    std::vector<int> collisions(kThreads, 0);
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            Payload* held[3];
            for (int round = 0; round < kRounds; ++round) {
                for (Payload*& payload : held) {
                    payload = static_cast<Payload*>(pool.Allocate(sizeof(Payload)));
                    payload->index = t;
                }
                for (Payload* payload : held) {
                    if (payload->index != t) {
                        ++collisions[static_cast<size_t>(t)];
                    }
                    pool.Free(payload);
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(std::vector<int>(kThreads, 0), collisions);
    EXPECT_LE(pool.GetBlockCount(), kThreads * 3);
    EXPECT_EQ(pool.GetBlockCount(), pool.GetFreeCount());
}

// A pooled class and a derived class of another size that inherits its allocation.
class Pooled : public virtual SV::LRefCountedObject, public SV::ReusePooled<Pooled>
{
public:
    int32_t value = 0;
};

class LargerPooled : public Pooled
{
public:
    char extra[64] = {};
};

} // namespace

template <>
struct SV::ReusePoolTraits<Pooled> : SV::ReusePoolSettings<2, false>
{};

namespace {

TEST(ReuseAllocatorTest, PooledObjectsRecycleTheirMemoryThroughTheirClassPool)
{
    auto& pool = SV::GetReusePool<Pooled>();
    void* first = nullptr;
    {
        SV::RCPtr<Pooled> object(new Pooled());
        first = object.Get();
        EXPECT_EQ(0, pool.GetBlockIndex(first));
    }
    EXPECT_EQ(1, pool.GetFreeCount());
    SV::RCPtr<Pooled> again(new Pooled());
    EXPECT_EQ(first, static_cast<void*>(again.Get()));
    {
        SV::RCPtr<Pooled> larger(new LargerPooled());
        EXPECT_EQ(-1, pool.GetBlockIndex(static_cast<void*>(larger.Get())));
    }
    EXPECT_EQ(1, pool.GetBlockCount());
}

} // namespace
