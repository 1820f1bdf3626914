#include "Threads/EventPool.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(EventPoolTest, HoldsDistinctUnsignalledAutoResetEvents)
{
    SV::EventPool pool(4);
    ASSERT_EQ(4, pool.GetCount());
    for (int32_t i = 0; i < 4; ++i) {
        ASSERT_TRUE(pool.GetEvent(i));
        EXPECT_FALSE(pool.GetEvent(i)->IsSignaled());
        for (int32_t j = 0; j < i; ++j) {
            EXPECT_NE(pool.GetEvent(i).Get(), pool.GetEvent(j).Get());
        }
    }
    EXPECT_FALSE(pool.GetEvent(-1));
    EXPECT_FALSE(pool.GetEvent(4));
}

TEST(EventPoolTest, AnswersTheSetEventsLowestIndexFirstAndMinusOneOnTimeOut)
{
    SV::EventPool single(1);
    single.GetEvent(0)->Set();
    EXPECT_EQ(0, single.WaitAny(0));

    SV::EventPool pool(4);
    EXPECT_EQ(-1, pool.WaitAny(0));
    EXPECT_EQ(-1, pool.WaitAny(20));
    pool.GetEvent(3)->Set();
    pool.GetEvent(1)->Set();
    EXPECT_EQ(1, pool.WaitAny(0));
    EXPECT_EQ(3, pool.WaitAny(0));
    EXPECT_EQ(-1, pool.WaitAny(0));
}

TEST(EventPoolTest, OnlyTheEventThatEndsTheWaitIsConsumed)
{
    SV::EventPool pool(3);
    pool.GetEvent(0)->Set();
    pool.GetEvent(2)->Set();
    EXPECT_EQ(0, pool.WaitAny(INFINITE));
    EXPECT_TRUE(pool.GetEvent(2)->IsSignaled());
}

TEST(EventPoolTest, ASetFromAnotherThreadEndsAnUnlimitedWaitWithItsIndex)
{
    SV::EventPool pool(5);
    std::thread setter([&] { pool.GetEvent(2)->Set(); });
    EXPECT_EQ(2, pool.WaitAny(INFINITE));
    setter.join();
    EXPECT_EQ(0, pool.GetWaiterCount());
}

// Neither an empty pool nor one beyond the limit of the multiple wait may block or answer an
// index: the wait fails at once.
TEST(EventPoolTest, AWaitThatCannotBeMadeFailsAtOnce)
{
    SV::EventPool empty(0);
    EXPECT_EQ(0, empty.GetCount());
    EXPECT_EQ(-1, empty.WaitAny(INFINITE));
    SV::EventPool negative(-3);
    EXPECT_EQ(0, negative.GetCount());

    SV::EventPool tooMany(MAXIMUM_WAIT_OBJECTS + 1);
    ASSERT_EQ(MAXIMUM_WAIT_OBJECTS + 1, tooMany.GetCount());
    tooMany.GetEvent(0)->Set();
    EXPECT_EQ(-1, tooMany.WaitAny(INFINITE));
}

} // namespace
