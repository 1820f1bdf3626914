#include "Threads/ThreadPool.h"

#include "ThreadTestJobs.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

using svtest::Gate;
using svtest::Latch;
using svtest::RunLog;
using svtest::TestJob;
using svtest::WatchedParameter;

using Names = std::vector<std::string>;

SV::RCPtr<TestJob> Job(const std::string& name, RunLog* log = nullptr, Gate* gate = nullptr)
{
    return SV::RCPtr<TestJob>(new TestJob(name, log, gate));
}

// One worker kept busy by a job that waits at a gate, so that later jobs are queued.
class OneBusyWorker : public testing::Test
{
protected:
    void SetUp() override
    {
        pool = SV::LThreadPool::CreateThreadPool(1, THREAD_PRIORITY_HIGHEST);
        blocker = Job("blocker", &log, &gate);
        pool->QueueWork(blocker, nullptr, 0);
        ASSERT_TRUE(blocker->started.WaitFor(1));
    }

    RunLog log;
    Gate gate;
    SV::RCPtr<SV::LThreadPool> pool;
    SV::RCPtr<TestJob> blocker;
};

TEST(ThreadPoolTest, AnIdleWorkerTakesTheJobAtOnceAndNothingIsQueued)
{
    auto pool = SV::LThreadPool::CreateThreadPool(1, THREAD_PRIORITY_HIGHEST);
    Gate gate;
    auto job = Job("direct", nullptr, &gate);
    pool->QueueWork(job, nullptr, 0);
    EXPECT_EQ(0, pool->GetQueueLength());
    ASSERT_TRUE(job->started.WaitFor(1));
    gate.Open();
    ASSERT_TRUE(job->finished.WaitFor(1));
}

TEST(ThreadPoolTest, TryStartWorkerAnswersTheWorkerOrMinusOne)
{
    auto pool = SV::LThreadPool::CreateThreadPool(2, 0);
    Gate gate;
    auto first = Job("first", nullptr, &gate);
    auto second = Job("second", nullptr, &gate);
    EXPECT_EQ(0, pool->TryStartWorker(first, nullptr, 0));
    EXPECT_EQ(1, pool->TryStartWorker(second, nullptr, 0));
    EXPECT_EQ(-1, pool->TryStartWorker(Job("third"), nullptr, 0));
    gate.Open();
    ASSERT_TRUE(first->finished.WaitFor(1));
    ASSERT_TRUE(second->finished.WaitFor(1));
}

TEST_F(OneBusyWorker, QueuedJobsRunHighestPriorityFirstThenInQueueOrder)
{
    pool->QueueWork(Job("first 0", &log), nullptr, 0);
    pool->QueueWork(Job("2", &log), nullptr, 2);
    pool->QueueWork(Job("second 0", &log), nullptr, 0);
    pool->QueueWork(Job("-1", &log), nullptr, -1);
    EXPECT_EQ(4, pool->GetQueueLength());
    gate.Open();
    ASSERT_TRUE(log.WaitFor(5));
    EXPECT_EQ(Names({"blocker", "2", "first 0", "second 0", "-1"}), log.Names());
    EXPECT_EQ(0, pool->GetQueueLength());
}

// With one worker a new job never overtakes a queued one, even when it arrives just as the
// worker becomes free and before the dispatcher hands the queued job on.
TEST_F(OneBusyWorker, ANewJobNeverOvertakesAQueuedOne)
{
    pool->QueueWork(Job("queued", &log), nullptr, 0);
    gate.Open();
    pool->QueueWork(Job("newcomer", &log), nullptr, 0);
    ASSERT_TRUE(log.WaitFor(3));
    EXPECT_EQ(Names({"blocker", "queued", "newcomer"}), log.Names());
}

TEST_F(OneBusyWorker, WorkersAreNamedAfterTheirLastJobAndRunAtItsPriority)
{
    EXPECT_TRUE(pool->GetDispatcher().ToString().EqualsUtf8("LThreadPool::mQueueThreader"));
    EXPECT_TRUE(pool->GetWorkerThreader(0).ToString().EqualsUtf8("blocker"));
    auto queued = Job("queued job", &log);
    pool->QueueWork(queued, nullptr, THREAD_PRIORITY_ABOVE_NORMAL);
    gate.Open();
    ASSERT_TRUE(queued->finished.WaitFor(1));
    EXPECT_TRUE(pool->GetWorkerThreader(0).ToString().EqualsUtf8("queued job"));
    EXPECT_EQ(THREAD_PRIORITY_ABOVE_NORMAL, pool->GetWorkerThreader(0).GetThread().GetPriority());
    EXPECT_EQ(THREAD_PRIORITY_HIGHEST, pool->GetDispatcher().GetThread().GetPriority());
    EXPECT_TRUE(pool->GetDispatcher().ToString().EqualsUtf8("LThreadPool::mQueueThreader"));
}

TEST_F(OneBusyWorker, ShutdownDropsQueuedJobsLetsRunningOnesFinishAndStopsEveryThread)
{
    auto queued = Job("queued", &log);
    Latch parameterGone;
    pool->QueueWork(queued,
                    SV::ConstRCPtr<SV::LRefCountedObject>(new WatchedParameter(parameterGone)), 0);
    // Shutdown waits for the running job; the job may go on once the queued one was dropped.
    std::thread opener([&] {
        if (parameterGone.WaitFor(1)) {
            gate.Open();
        }
    });
    pool->Shutdown();
    opener.join();
    EXPECT_EQ(1, parameterGone.Count());
    EXPECT_EQ(1, blocker->runs.load());
    EXPECT_EQ(0, queued->runs.load());
    EXPECT_EQ(1, queued->GetRefCount());
    EXPECT_EQ(0, pool->GetWorkerCount());
    EXPECT_EQ(0, pool->GetQueueLength());
    EXPECT_TRUE(pool->GetDispatcher().GetThread().IsFinished());
    EXPECT_TRUE(pool->GetWorkerThreader(0).GetThread().IsFinished());
}

TEST(ThreadPoolTest, AfterShutdownJobsNeitherRunNorQueue)
{
    auto pool = SV::LThreadPool::CreateThreadPool(2, 0);
    pool->Shutdown();
    auto job = Job("late");
    pool->QueueWork(job, nullptr, 0);
    EXPECT_EQ(-1, pool->TryStartWorker(job, nullptr, 0));
    EXPECT_EQ(0, pool->GetQueueLength());
    EXPECT_EQ(0, job->runs.load());
    EXPECT_EQ(1, job->GetRefCount());
}

TEST(ThreadPoolTest, APoolWithoutWorkersDropsEveryJob)
{
    auto pool = SV::LThreadPool::CreateThreadPool(0, 0);
    auto job = Job("nobody");
    pool->QueueWork(job, nullptr, 0);
    EXPECT_EQ(0, pool->GetQueueLength());
    EXPECT_EQ(1, job->GetRefCount());
}

TEST(ThreadPoolTest, JobsQueuedFromSeveralThreadsEachRunExactlyOnce)
{
    constexpr int kProducers = 3;
    constexpr int kJobsEach = 40;
    auto pool = SV::LThreadPool::CreateThreadPool(3, 0);
    RunLog log;
    std::vector<SV::RCPtr<TestJob>> jobs;
    for (int i = 0; i < kProducers * kJobsEach; ++i) {
        jobs.push_back(Job("job " + std::to_string(i), &log));
    }
    std::vector<std::thread> producers;
    for (int p = 0; p < kProducers; ++p) {
        producers.emplace_back([&, p] {
            for (int i = 0; i < kJobsEach; ++i) {
                pool->QueueWork(jobs[static_cast<size_t>(p * kJobsEach + i)], nullptr, i % 3);
            }
        });
    }
    for (std::thread& producer : producers) {
        producer.join();
    }
    ASSERT_TRUE(log.WaitFor(kProducers * kJobsEach));
    for (const auto& job : jobs) {
        EXPECT_EQ(1, job->runs.load());
    }
}

// A pool of more workers than one multiple wait can watch: the dispatcher's wait fails every
// time and must neither pick a worker by the -1 it answers nor leave the queued job behind.
TEST(ThreadPoolTest, TheDispatcherStillHandsOutJobsWhenItsMultipleWaitFails)
{
    constexpr int kWorkers = MAXIMUM_WAIT_OBJECTS + 1;
    Gate gate;
    auto pool = SV::LThreadPool::CreateThreadPool(kWorkers, 0);
    ASSERT_EQ(kWorkers, pool->GetWorkerCount());
    std::vector<SV::RCPtr<TestJob>> blockers;
    for (int i = 0; i < kWorkers; ++i) {
        blockers.push_back(Job("blocker", nullptr, &gate));
        pool->QueueWork(blockers.back(), nullptr, 0);
    }
    for (const auto& blocker : blockers) {
        ASSERT_TRUE(blocker->started.WaitFor(1));
    }
    EXPECT_EQ(0, pool->GetQueueLength());
    auto queued = Job("queued");
    pool->QueueWork(queued, nullptr, 0);
    EXPECT_EQ(1, pool->GetQueueLength());
    gate.Open();
    ASSERT_TRUE(queued->finished.WaitFor(1));
    EXPECT_EQ(0, pool->GetQueueLength());
    for (const auto& blocker : blockers) {
        ASSERT_TRUE(blocker->finished.WaitFor(1));
    }
}

// Outlives the pool it is a base of: its destructor runs after the pool's has finished.
struct DestructionProbe
{
    explicit DestructionProbe(Latch& destroyed) : mDestroyed(destroyed) {}
    ~DestructionProbe() { mDestroyed.Arrive(); }
    Latch& mDestroyed;
};

class ProbedPool : public DestructionProbe, public SV::LThreadPool
{
public:
    ProbedPool(Latch& destroyed) : DestructionProbe(destroyed), SV::LThreadPool(1, 0) {}
};

// The dispatcher holds the pool while it runs; when the pool's last other reference is gone by
// then, the pool is destroyed on the dispatcher's own thread. Its shutdown must not wait for
// that thread (a minute per join), and the thread's loop must not go on in the freed pool. The
// job handed out last may be dropped by that shutdown, as any shutdown drops pending work.
TEST(ThreadPoolTest, APoolReleasedLastByItsDispatcherShutsDownOnThatThread)
{
    Latch destroyed;
    Gate gate;
    SV::RCPtr<SV::LThreadPool> pool(new ProbedPool(destroyed));
    auto blocker = Job("blocker", nullptr, &gate);
    auto queued = Job("queued");
    pool->QueueWork(blocker, nullptr, 0);
    ASSERT_TRUE(blocker->started.WaitFor(1));
    pool->QueueWork(queued, nullptr, 0);
    pool = nullptr;
    gate.Open();
    ASSERT_TRUE(destroyed.WaitFor(1));
    // The shutdown joined the worker, so it holds nothing of either job any more.
    EXPECT_EQ(1, blocker->GetRefCount());
    EXPECT_EQ(1, queued->GetRefCount());
    EXPECT_LE(queued->runs.load(), 1);
}

TEST(ThreadPoolTest, WorkerParamsComeFromTheRecyclingPoolAndHoldTheJob)
{
    auto job = Job("params");
    Latch parameterGone;
    void* first = nullptr;
    {
        auto params = SV::LThreadPool::CreateWorkerParams(
            job, SV::ConstRCPtr<SV::LRefCountedObject>(new WatchedParameter(parameterGone)), 2);
        EXPECT_EQ(job.Get(), params->GetWorker().Get());
        EXPECT_EQ(2, params->GetPriority());
        EXPECT_EQ(2, job->GetRefCount());
        first = params.Get();
    }
    EXPECT_EQ(1, parameterGone.Count());
    EXPECT_EQ(1, job->GetRefCount());
    auto again = SV::LThreadPool::CreateWorkerParams(job, nullptr, 0);
    EXPECT_EQ(first, static_cast<void*>(again.Get()));
    EXPECT_TRUE(SV::GetReusePool<SV::LThreadPool::LWorkerParams>().IsThreadSafe());
}

} // namespace
