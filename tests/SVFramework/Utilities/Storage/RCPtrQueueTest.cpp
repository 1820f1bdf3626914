#include "Utilities/Storage/RCPtrQueue.h"

#include "Notification/Notification.h"
#include "ObjectBase/Exception.h"
#include "ObjectBase/Holder.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Item = SV::LHolder<int>;

SV::RCPtr<Item> MakeItem(int value)
{
    return SV::RCPtr<Item>(new Item(value));
}

template <uint32_t N>
std::vector<int> DrainValues(SV::RCPtrQueue<Item, N>& queue)
{
    std::vector<int> values;
    while (queue.GetCount() > 0) {
        values.push_back(queue.Dequeue()->Get());
    }
    return values;
}

TEST(RCPtrQueueTest, ItemsComeOutInTheOrderTheyWentInAcrossManyWrapArounds)
{
    SV::RCPtrQueue<Item, 4> queue;
    int next = 0;
    int expected = 0;
    for (int round = 0; round < 10; ++round) {
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(0, queue.Enqueue(MakeItem(next++)));
        }
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(expected++, queue.Dequeue()->Get());
        }
    }
    // Twelve waited at once in the last round: one slot more than that.
    EXPECT_EQ(13, queue.GetSlotCount());
    EXPECT_EQ(10, queue.GetCount());
    std::vector<int> rest;
    for (int i = expected; i < next; ++i) {
        rest.push_back(i);
    }
    EXPECT_EQ(rest, DrainValues(queue));
}

// A full ring grows by one slot whether its free slot lies behind or before the oldest item.
class FullRing : public testing::TestWithParam<int>
{};

TEST_P(FullRing, GrowsByOneSlotAndKeepsTheOrder)
{
    SV::RCPtrQueue<Item, 4> queue;
    // Turn the ring so that its items start at the given slot.
    for (int i = 0; i < GetParam(); ++i) {
        queue.Enqueue(MakeItem(-1));
        queue.Dequeue();
    }
    for (int i = 1; i <= 3; ++i) {
        queue.Enqueue(MakeItem(i));
    }
    EXPECT_EQ(4, queue.GetSlotCount());
    queue.Enqueue(MakeItem(4));
    EXPECT_EQ(5, queue.GetSlotCount());
    queue.Enqueue(MakeItem(5));
    EXPECT_EQ(6, queue.GetSlotCount());
    EXPECT_EQ(std::vector<int>({1, 2, 3, 4, 5}), DrainValues(queue));
}

INSTANTIATE_TEST_SUITE_P(StartingSlots, FullRing, testing::Values(0, 1, 2, 3));

TEST(RCPtrQueueTest, ANewRingHoldsOneItemLessThanItsSlotsBeforeItGrows)
{
    SV::RCPtrQueue<Item, 256> queue;
    for (int i = 0; i < 255; ++i) {
        queue.Enqueue(MakeItem(i));
    }
    EXPECT_EQ(256, queue.GetSlotCount());
    for (int i = 255; i < 300; ++i) {
        queue.Enqueue(MakeItem(i));
    }
    EXPECT_EQ(301, queue.GetSlotCount());
    EXPECT_EQ(300, queue.GetCount());
    EXPECT_EQ(0, queue.Dequeue()->Get());
}

TEST(RCPtrQueueTest, TheRingHoldsOneReferenceAndDequeueHandsItOver)
{
    SV::Mutex mutex;
    const auto item = MakeItem(7);
    {
        SV::RCPtrQueue<Item, 4> queue(&mutex);
        queue.Enqueue(item);
        EXPECT_EQ(2, item->GetRefCount());
        SV::RCPtr<Item> out = queue.Dequeue();
        EXPECT_EQ(2, item->GetRefCount());
        out = nullptr;
        EXPECT_EQ(1, item->GetRefCount());
        queue.Enqueue(item);
    }
    EXPECT_EQ(1, item->GetRefCount()) << "released with the ring";
}

TEST(RCPtrQueueTest, DequeueOfAnEmptyRingThrowsARuntimeErrorNamingTheInstance)
{
    const auto textOf = [](auto& queue) {
        try {
            queue.Dequeue();
        } catch (const SV::Exception<std::runtime_error>& error) {
            return std::string(error.what());
        }
        return std::string("no exception");
    };
    SV::RCPtrQueue<SV::LNotification, 256> notifications;
    EXPECT_EQ("Runtime Error : SV::RCPtrQueue<class SV::LNotification,256>::Dequeue : "
              "utilities\\Storage/RCPtrQueue : Line 104",
              textOf(notifications));
    SV::RCPtrQueue<Item, 4> items;
    items.Enqueue(MakeItem(1));
    items.Dequeue();
    EXPECT_EQ("Runtime Error : SV::RCPtrQueue<class SV::LHolder<int>,4>::Dequeue : "
              "utilities\\Storage/RCPtrQueue : Line 104",
              textOf(items));
}

} // namespace
