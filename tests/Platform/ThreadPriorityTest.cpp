#include "ThreadPriority.h"

#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace {

int NiceOf(int32_t threadId)
{
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(threadId));
    EXPECT_EQ(0, errno);
    return nice;
}

// Runs a check on a fresh thread, so that priorities changed by a test never stick to the
// test runner's own thread.
void OnFreshThread(const std::function<void(int32_t threadId)>& check)
{
    std::thread thread([&] { check(svp::GetCurrentThreadId()); });
    thread.join();
}

TEST(ThreadPriorityTest, ThreadIdsAreTheKernelIdsOfEachThread)
{
    const int32_t mine = svp::GetCurrentThreadId();
    EXPECT_GT(mine, 0);
    int32_t other = 0;
    OnFreshThread([&](int32_t threadId) { other = threadId; });
    EXPECT_GT(other, 0);
    EXPECT_NE(mine, other);
}

TEST(ThreadPriorityTest, OnlyTheWindowsPriorityValuesAreValid)
{
    for (int32_t priority : {-15, -2, -1, 0, 1, 2, 15}) {
        EXPECT_TRUE(svp::IsValidThreadPriority(priority)) << priority;
    }
    for (int32_t priority : {-16, -14, -3, 3, 7, 14, 16, 0x10000}) {
        EXPECT_FALSE(svp::IsValidThreadPriority(priority)) << priority;
    }
}

TEST(ThreadPriorityTest, PrioritiesMapOntoOrderedNiceValuesWithinTheLinuxRange)
{
    const int32_t ordered[] = {-15, -2, -1, 0, 1, 2, 15};
    for (size_t i = 0; i < std::size(ordered); ++i) {
        const int32_t nice = svp::NiceValueForThreadPriority(ordered[i]);
        EXPECT_GE(nice, -20);
        EXPECT_LE(nice, 19);
        if (i > 0) {
            EXPECT_LE(nice, svp::NiceValueForThreadPriority(ordered[i - 1])) << ordered[i];
        }
    }
    EXPECT_EQ(19, svp::NiceValueForThreadPriority(THREAD_PRIORITY_IDLE));
    EXPECT_EQ(-20, svp::NiceValueForThreadPriority(THREAD_PRIORITY_TIME_CRITICAL));
}

TEST(ThreadPriorityTest, LoweringAPriorityAlwaysTakesEffectOnThatThreadOnly)
{
    const int32_t runner = svp::GetCurrentThreadId();
    const int runnerNice = NiceOf(runner);
    OnFreshThread([&](int32_t threadId) {
        EXPECT_EQ(svp::ThreadPriorityOutcome::Applied,
                  svp::ApplyThreadPriority(threadId, THREAD_PRIORITY_BELOW_NORMAL));
        EXPECT_EQ(svp::NiceValueForThreadPriority(THREAD_PRIORITY_BELOW_NORMAL), NiceOf(threadId));
        EXPECT_EQ(svp::ThreadPriorityOutcome::Applied,
                  svp::ApplyThreadPriority(threadId, THREAD_PRIORITY_IDLE));
        EXPECT_EQ(19, NiceOf(threadId));
    });
    EXPECT_EQ(runnerNice, NiceOf(runner));
}

TEST(ThreadPriorityTest, RaisingAPriorityIsAppliedOrSilentlyKept)
{
    OnFreshThread([&](int32_t threadId) {
        ASSERT_EQ(svp::ThreadPriorityOutcome::Applied,
                  svp::ApplyThreadPriority(threadId, THREAD_PRIORITY_LOWEST));
        const int before = NiceOf(threadId);
        const svp::ThreadPriorityOutcome outcome =
            svp::ApplyThreadPriority(threadId, THREAD_PRIORITY_TIME_CRITICAL);
        if (outcome == svp::ThreadPriorityOutcome::Applied) {
            EXPECT_EQ(-20, NiceOf(threadId));
        } else {
            EXPECT_EQ(svp::ThreadPriorityOutcome::Kept, outcome);
            EXPECT_EQ(before, NiceOf(threadId));
        }
    });
}

// Capabilities belong to each thread: a thread that gives up the right to raise priorities
// stands for a program run without privileges.
bool DropNiceCapabilityOfThisThread()
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (syscall(SYS_capget, &header, data) != 0) {
        return false;
    }
    data[CAP_SYS_NICE / 32].effective &= ~(1u << (CAP_SYS_NICE % 32));
    data[CAP_SYS_NICE / 32].permitted &= ~(1u << (CAP_SYS_NICE % 32));
    return syscall(SYS_capset, &header, data) == 0;
}

TEST(ThreadPriorityTest, WithoutTheRightToRaiseItTheThreadKeepsItsPriority)
{
    rlimit niceLimit{};
    ASSERT_EQ(0, getrlimit(RLIMIT_NICE, &niceLimit));
    if (niceLimit.rlim_cur >= 20 - static_cast<rlim_t>(svp::NiceValueForThreadPriority(0))) {
        GTEST_SKIP() << "the nice limit lets any thread raise its priority";
    }
    OnFreshThread([&](int32_t threadId) {
        if (!DropNiceCapabilityOfThisThread()) {
            GTEST_SKIP() << "capabilities cannot be changed here";
        }
        ASSERT_EQ(svp::ThreadPriorityOutcome::Applied,
                  svp::ApplyThreadPriority(threadId, THREAD_PRIORITY_BELOW_NORMAL));
        const int lowered = NiceOf(threadId);
        for (int32_t priority :
             {THREAD_PRIORITY_NORMAL, THREAD_PRIORITY_HIGHEST, THREAD_PRIORITY_TIME_CRITICAL}) {
            EXPECT_EQ(svp::ThreadPriorityOutcome::Kept,
                      svp::ApplyThreadPriority(threadId, priority))
                << priority;
            EXPECT_EQ(lowered, NiceOf(threadId));
        }
    });
}

TEST(ThreadPriorityTest, AnInvalidPriorityChangesNothing)
{
    OnFreshThread([&](int32_t threadId) {
        const int before = NiceOf(threadId);
        EXPECT_EQ(svp::ThreadPriorityOutcome::Invalid, svp::ApplyThreadPriority(threadId, 7));
        EXPECT_EQ(before, NiceOf(threadId));
    });
}

} // namespace
