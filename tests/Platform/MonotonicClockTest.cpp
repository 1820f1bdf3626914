#include "MonotonicClock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

uint64_t MonotonicMilliseconds()
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

TEST(MonotonicClockTest, TickIsTheMonotonicClockInMillisecondsWrappedToThirtyTwoBits)
{
    const uint64_t before = MonotonicMilliseconds();
    const uint32_t tick = svp::GetTickMilliseconds();
    const uint64_t after = MonotonicMilliseconds();
    // Differences of wrapped ticks stay right across the wrap, so compare them that way.
    const uint32_t sinceBefore = tick - static_cast<uint32_t>(before);
    EXPECT_LE(sinceBefore, static_cast<uint32_t>(after - before));
}

TEST(MonotonicClockTest, TickNeverRunsBackwards)
{
    uint32_t previous = svp::GetTickMilliseconds();
    for (int i = 0; i < 10000; ++i) {
        const uint32_t now = svp::GetTickMilliseconds();
        EXPECT_LT(now - previous, 0x80000000u);
        previous = now;
    }
}

TEST(MonotonicClockTest, TickAdvancesAtLeastAsLongAsTheThreadSleeps)
{
    const uint32_t before = svp::GetTickMilliseconds();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_GE(svp::GetTickMilliseconds() - before, 30u);
}

TEST(MonotonicClockTest, TimerPeriodRequestsAnswerNoError)
{
    EXPECT_EQ(0u, svp::BeginTimerPeriod(1));
    EXPECT_EQ(0u, svp::EndTimerPeriod(1));
}

} // namespace
