#include "Threads/EventGatedThreader.h"

#include "ThreadTestJobs.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using svtest::Latch;
using svtest::TestJob;
using svtest::WatchedParameter;

TEST(EventGatedThreaderTest, RunsItsJobOncePerGateSignalWithTheSameParameter)
{
    SV::RCPtr<SV::LEvent> gate(new SV::LEvent());
    SV::RCPtr<TestJob> job(new TestJob("gated"));
    Latch parameterGone;
    SV::ConstRCPtr<SV::LRefCountedObject> parameter(new WatchedParameter(parameterGone));
    auto threader = SV::LEventGatedThreader::Create(gate, job, parameter, THREAD_PRIORITY_NORMAL);
    EXPECT_FALSE(threader->GetThread().IsPriorityBoostEnabled());
    for (int run = 1; run <= 3; ++run) {
        gate->Set();
        ASSERT_TRUE(job->finished.WaitFor(run));
        EXPECT_EQ(parameter.Get(), job->lastParameter.load());
    }
    EXPECT_EQ(3, job->runs.load());
    parameter = nullptr;
    EXPECT_EQ(0, parameterGone.Count()); // the threader keeps it for the next run
    threader = nullptr;
    // Destruction joined the thread, which let the job and its parameter go.
    EXPECT_EQ(1, parameterGone.Count());
    EXPECT_EQ(1, job->GetRefCount());
    EXPECT_EQ(3, job->runs.load());
}

TEST(EventGatedThreaderTest, TakesTheGivenPriority)
{
    SV::RCPtr<SV::LEvent> gate(new SV::LEvent());
    auto threader = SV::LEventGatedThreader::Create(gate, SV::RCPtr<TestJob>(new TestJob("x")),
                                                    nullptr, THREAD_PRIORITY_BELOW_NORMAL);
    EXPECT_EQ(THREAD_PRIORITY_BELOW_NORMAL, threader->GetThread().GetPriority());
}

// The device-communication layer may drop the last reference to its thread from inside that
// thread's job: the destructor must not wait for itself, and the loop must not run on in
// freed memory.
TEST(EventGatedThreaderTest, AThreaderReleasedByItsOwnJobEndsCleanly)
{
    SV::RCPtr<SV::LEvent> gate(new SV::LEvent());
    SV::RCPtr<TestJob> job(new TestJob("self-release"));
    auto threader = SV::LEventGatedThreader::Create(gate, job, nullptr, 0);
    SV::RCPtr<SV::LEventGatedThreader>* holder = &threader;
    auto waited = std::chrono::steady_clock::duration::max();
    job->action = [&] {
        const auto start = std::chrono::steady_clock::now();
        *holder = nullptr;
        waited = std::chrono::steady_clock::now() - start;
    };
    gate->Set();
    ASSERT_TRUE(job->finished.WaitFor(1));
    EXPECT_FALSE(threader);
    EXPECT_LT(waited, std::chrono::seconds(30));
}

TEST(EventGatedThreaderTest, WithoutAGateTheThreadEndsWithoutRunning)
{
    SV::RCPtr<TestJob> job(new TestJob("never"));
    auto threader = SV::LEventGatedThreader::Create(nullptr, job, nullptr, 0);
    EXPECT_TRUE(threader->GetThread().Join(30000));
    EXPECT_EQ(0, job->runs.load());
}

} // namespace
