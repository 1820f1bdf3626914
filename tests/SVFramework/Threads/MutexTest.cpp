#include "Threads/Mutex.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

bool TryFromOtherThread(SV::Mutex& mutex)
{
    bool entered = false;
    std::thread other([&] {
        entered = mutex.TryEnter();
        if (entered) {
            mutex.Leave();
        }
    });
    other.join();
    return entered;
}

TEST(MutexTest, TheHolderMayEnterAgainAndMustLeaveAsOften)
{
    SV::Mutex mutex;
    mutex.Enter();
    EXPECT_TRUE(mutex.TryEnter());
    {
        SV::MutexLock nested(mutex);
        EXPECT_FALSE(TryFromOtherThread(mutex));
    }
    mutex.Leave();
    EXPECT_FALSE(TryFromOtherThread(mutex));
    mutex.Leave();
    EXPECT_TRUE(TryFromOtherThread(mutex));
}

TEST(MutexTest, AScopedLockKeepsOtherThreadsOut)
{
    SV::Mutex mutex;
    int counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 20000; ++i) {
                SV::MutexLock lock(mutex);
                ++counter;
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(80000, counter);
}

} // namespace
