#include "Threads/Thread.h"

#include "ThreadPriority.h"
#include "ThreadTestJobs.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>

namespace {

using svtest::Gate;
using svtest::Latch;

TEST(ThreadTest, TheRoutineStartsOnlyWhenResumed)
{
    std::atomic<int> runs{0};
    SV::Thread thread([&] {
        runs.fetch_add(1);
        return 42u;
    });
    ASSERT_TRUE(thread.IsValid());
    EXPECT_FALSE(thread.Join(50));
    EXPECT_FALSE(thread.IsFinished());
    EXPECT_EQ(0, runs.load());

    EXPECT_EQ(1, thread.Resume());
    EXPECT_TRUE(thread.Join(INFINITE));
    EXPECT_TRUE(thread.IsFinished());
    EXPECT_EQ(1, runs.load());
    EXPECT_EQ(42u, thread.GetExitCode());
    EXPECT_EQ(0, thread.Resume());
    EXPECT_TRUE(thread.Join(0));
}

uint32_t CountRun(void* parameter)
{
    static_cast<std::atomic<int>*>(parameter)->fetch_add(1);
    return 7;
}

TEST(ThreadTest, RunsAStartRoutineWithItsParameter)
{
    std::atomic<int> runs{0};
    SV::Thread thread(CountRun, &runs);
    thread.Resume();
    ASSERT_TRUE(thread.Join(INFINITE));
    EXPECT_EQ(1, runs.load());
    EXPECT_EQ(7u, thread.GetExitCode());
}

TEST(ThreadTest, AThreadNeverResumedEndsWithoutRunningItsRoutine)
{
    std::atomic<int> runs{0};
    {
        SV::Thread thread(CountRun, &runs);
        EXPECT_GT(thread.GetId(), 0);
    }
    EXPECT_EQ(0, runs.load());
}

// Destroying the object does not stop the thread; the routine goes on with what it owns.
TEST(ThreadTest, ARoutineOutlivesItsThreadObjectSafely)
{
    auto gate = std::make_shared<Gate>();
    auto done = std::make_shared<Latch>();
    auto thread = std::make_unique<SV::Thread>([gate, done] {
        gate->Pass();
        done->Arrive();
        return 0u;
    });
    thread->Resume();
    EXPECT_FALSE(thread->Join(0));
    thread.reset();
    gate->Open();
    EXPECT_TRUE(done->WaitFor(1));
}

TEST(ThreadTest, JoiningItselfAnswersFalseAtOnce)
{
    SV::Thread* self = nullptr;
    bool joined = true;
    auto waited = std::chrono::steady_clock::duration::max();
    SV::Thread thread([&] {
        const auto start = std::chrono::steady_clock::now();
        joined = self->Join(60000);
        waited = std::chrono::steady_clock::now() - start;
        return 0u;
    });
    self = &thread;
    thread.Resume();
    ASSERT_TRUE(thread.Join(INFINITE));
    EXPECT_FALSE(joined);
    EXPECT_LT(waited, std::chrono::seconds(30));
}

TEST(ThreadTest, KeepsWindowsPrioritiesAndRefusesOtherValues)
{
    Gate gate;
    std::atomic<int32_t> ownId{0};
    SV::Thread thread([&] {
        ownId.store(svp::GetCurrentThreadId());
        gate.Pass();
        return 0u;
    });
    EXPECT_EQ(THREAD_PRIORITY_NORMAL, thread.GetPriority());
    for (int32_t priority : {-15, -2, -1, 0, 1, 2, 15}) {
        EXPECT_TRUE(thread.SetPriority(priority)) << priority;
        EXPECT_EQ(priority, thread.GetPriority());
    }
    EXPECT_FALSE(thread.SetPriority(7));
    EXPECT_EQ(THREAD_PRIORITY_TIME_CRITICAL, thread.GetPriority());
    EXPECT_TRUE(thread.SetPriority(THREAD_PRIORITY_BELOW_NORMAL));

    EXPECT_TRUE(thread.IsPriorityBoostEnabled());
    EXPECT_TRUE(thread.SetPriorityBoost(false));
    EXPECT_FALSE(thread.IsPriorityBoostEnabled());

    thread.Resume();
    gate.Open();
    ASSERT_TRUE(thread.Join(INFINITE));
    EXPECT_EQ(ownId.load(), thread.GetId());
}

} // namespace
