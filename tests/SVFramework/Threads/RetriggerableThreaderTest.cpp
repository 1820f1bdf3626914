#include "Threads/RetriggerableThreader.h"

#include "ThreadTestJobs.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <stdexcept>
#include <thread>

namespace {

using svtest::Gate;
using svtest::Latch;
using svtest::TestJob;
using svtest::WatchedParameter;

constexpr int32_t kLimit = 30000; // a safety limit on waits, far beyond any real need

TEST(RetriggerableThreaderTest, RunsTheJobAndSignalsCompletionAfterReleasingIt)
{
    SV::RetriggerableThreader threader(u"worker");
    SV::RCPtr<TestJob> job(new TestJob("job", nullptr, nullptr, 17));
    Latch parameterGone;
    SV::RCPtr<SV::LEvent> done(new SV::LEvent());
    const SV::LRefCountedObject* parameterSeen = nullptr;
    {
        SV::ConstRCPtr<SV::LRefCountedObject> parameter(new WatchedParameter(parameterGone));
        parameterSeen = parameter.Get();
        ASSERT_EQ(S_OK, threader.Trigger(job, parameter, done, THREAD_PRIORITY_HIGHEST));
        EXPECT_EQ(THREAD_PRIORITY_HIGHEST, threader.GetThread().GetPriority());
    }
    ASSERT_EQ(WAIT_OBJECT_0, done->Wait(kLimit));
    // By the time the completion is signalled the threader holds nothing of the job and is free.
    EXPECT_EQ(1, parameterGone.Count());
    EXPECT_EQ(1, job->GetRefCount());
    EXPECT_FALSE(threader.IsBusy());
    EXPECT_EQ(parameterSeen, job->lastParameter.load());
    EXPECT_EQ(1, job->runs.load());
    EXPECT_EQ(17, threader.GetLastResult());
}

TEST(RetriggerableThreaderTest, ABusyThreaderRefusesTriggersUntilItsJobIsDone)
{
    SV::RetriggerableThreader threader;
    Gate gate;
    SV::RCPtr<TestJob> slow(new TestJob("slow", nullptr, &gate));
    SV::RCPtr<TestJob> next(new TestJob("next"));
    SV::RCPtr<SV::LEvent> done(new SV::LEvent());
    ASSERT_EQ(S_OK, threader.Trigger(slow, nullptr, done, 0));
    ASSERT_TRUE(slow->started.WaitFor(1));
    EXPECT_TRUE(threader.IsBusy());
    EXPECT_EQ(E_FAIL, threader.Trigger(next, nullptr, done, 0));
    EXPECT_EQ(E_FAIL, threader.TriggerWithoutDoneEvent(next, nullptr, 0));
    gate.Open();
    ASSERT_EQ(WAIT_OBJECT_0, done->Wait(kLimit));
    EXPECT_EQ(S_OK, threader.TriggerWithoutDoneEvent(next, nullptr, 0));
    ASSERT_TRUE(next->finished.WaitFor(1));
    EXPECT_EQ(nullptr, next->lastParameter.load());
}

TEST(RetriggerableThreaderTest, RunsOneJobPerTrigger)
{
    SV::RetriggerableThreader threader;
    SV::RCPtr<TestJob> job(new TestJob("again"));
    SV::RCPtr<SV::LEvent> done(new SV::LEvent());
    for (int i = 1; i <= 50; ++i) {
        ASSERT_EQ(S_OK, threader.Trigger(job, nullptr, done, 0));
        ASSERT_EQ(WAIT_OBJECT_0, done->Wait(kLimit));
        EXPECT_EQ(i, job->runs.load());
    }
}

TEST(RetriggerableThreaderTest, AStoppedThreaderRefusesTriggersAndIsNotBusy)
{
    SV::RetriggerableThreader threader;
    threader.RequestStop();
    ASSERT_TRUE(threader.Join(kLimit));
    SV::RCPtr<TestJob> job(new TestJob("late"));
    EXPECT_EQ(E_FAIL, threader.TriggerWithoutDoneEvent(job, nullptr, 0));
    EXPECT_FALSE(threader.IsBusy());
    EXPECT_EQ(0, job->runs.load());
    EXPECT_EQ(1, job->GetRefCount());
}

// A job given while the loop is between signalling the previous completion and looking at the
// stop flag, and a stop right after it: whichever the loop sees first, whoever waits for the
// job's completion is released.
TEST(RetriggerableThreaderTest, AJobGivenJustBeforeAStopStillSignalsItsCompletion)
{
    for (int i = 0; i < 500; ++i) {
        SV::RetriggerableThreader threader;
        SV::RCPtr<TestJob> first(new TestJob("first"));
        SV::RCPtr<TestJob> last(new TestJob("last"));
        SV::RCPtr<SV::LEvent> firstDone(new SV::LEvent());
        SV::RCPtr<SV::LEvent> lastDone(new SV::LEvent());
        ASSERT_EQ(S_OK, threader.Trigger(first, nullptr, firstDone, 0));
        ASSERT_EQ(WAIT_OBJECT_0, firstDone->Wait(kLimit));
        ASSERT_EQ(S_OK, threader.Trigger(last, nullptr, lastDone, 0));
        threader.RequestStop();
        ASSERT_EQ(WAIT_OBJECT_0, lastDone->Wait(kLimit)) << "round " << i;
        ASSERT_TRUE(threader.Join(kLimit));
        EXPECT_EQ(1, last->GetRefCount());
    }
}

TEST(RetriggerableThreaderTest, DestroyingAnIdleThreaderEndsItsThreadAtOnceWithoutAJob)
{
    const auto start = std::chrono::steady_clock::now();
    {
        SV::RetriggerableThreader threader(u"idle");
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
}

TEST(RetriggerableThreaderTest, DestructionWaitsForTheRunningJob)
{
    auto threader = std::make_unique<SV::RetriggerableThreader>();
    Gate gate;
    SV::RCPtr<TestJob> job(new TestJob("running", nullptr, &gate));
    ASSERT_EQ(S_OK, threader->TriggerWithoutDoneEvent(job, nullptr, 0));
    ASSERT_TRUE(job->started.WaitFor(1));
    std::thread destroyer([&] { threader.reset(); });
    gate.Open();
    destroyer.join();
    EXPECT_EQ(1, job->runs.load());
    EXPECT_EQ(1, job->GetRefCount());
}

class ThrowingJob : public SV::LThreadWorker
{
public:
    int32_t Run(const SV::ConstRCPtr<SV::LRefCountedObject>&) override
    {
        throw std::runtime_error("job failed");
    }
};

TEST(RetriggerableThreaderTest, AFailingJobStillCompletesAndLeavesTheThreaderUsable)
{
    SV::RetriggerableThreader threader;
    SV::RCPtr<SV::LEvent> done(new SV::LEvent());
    ASSERT_EQ(S_OK, threader.Trigger(SV::RCPtr<ThrowingJob>(new ThrowingJob()), nullptr, done, 0));
    ASSERT_EQ(WAIT_OBJECT_0, done->Wait(kLimit));
    EXPECT_EQ(E_FAIL, threader.GetLastResult());
    SV::RCPtr<TestJob> job(new TestJob("after"));
    ASSERT_EQ(S_OK, threader.Trigger(job, nullptr, done, 0));
    ASSERT_EQ(WAIT_OBJECT_0, done->Wait(kLimit));
    EXPECT_EQ(S_OK, threader.GetLastResult());
}

TEST(RetriggerableThreaderTest, IsNamedAndRenamed)
{
    SV::RetriggerableThreader unnamed;
    EXPECT_TRUE(unnamed.ToString().IsEmpty());
    SV::RetriggerableThreader threader(u"first");
    EXPECT_TRUE(threader.ToString().EqualsUtf8("first"));
    threader.SetName(u"second");
    EXPECT_TRUE(threader.ToString().EqualsUtf8("second"));
    EXPECT_FALSE(threader.GetThread().IsPriorityBoostEnabled());
}

} // namespace
