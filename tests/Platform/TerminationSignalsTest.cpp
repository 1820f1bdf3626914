#include "TerminationSignals.h"

#include "EventLoop.h"

#include <gtest/gtest.h>

#include <csignal>
#include <pthread.h>
#include <thread>
#include <vector>

namespace {

void (*CurrentAction(int signal))(int)
{
    struct sigaction action = {};
    sigaction(signal, nullptr, &action);
    return action.sa_handler;
}

// Each signal reaches the loop's thread as a call of the handler, wherever it was raised: on the
// loop's thread itself, or on another thread that the process's signal happened to interrupt.
TEST(TerminationSignalsTest, EachSignalRunsTheHandlerOnTheLoopThreadAndTheLoopGoesOn)
{
    svp::EventLoop loop;
    std::vector<int> seen;
    const std::thread::id loopThread = std::this_thread::get_id();
    bool onLoopThread = true;
    auto signals = svp::TerminationSignals::Catch(loop, [&](int signal) {
        seen.push_back(signal);
        onLoopThread = onLoopThread && std::this_thread::get_id() == loopThread;
        if (seen.size() == 3) {
            loop.PostQuit(0);
        }
    });
    ASSERT_NE(signals, nullptr);

    ASSERT_EQ(raise(SIGTERM), 0);
    std::thread other([] { pthread_kill(pthread_self(), SIGINT); });
    other.join();
    ASSERT_EQ(kill(getpid(), SIGHUP), 0);
    EXPECT_EQ(loop.Run(nullptr), std::optional<int32_t>(0));
    EXPECT_EQ(seen, (std::vector<int>{SIGTERM, SIGINT, SIGHUP}));
    EXPECT_TRUE(onLoopThread);
}

TEST(TerminationSignalsTest, OneCatcherAtATimeAndTheDefaultActionsComeBackAfterIt)
{
    svp::EventLoop loop;
    auto first = svp::TerminationSignals::Catch(loop, [](int) {});
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(svp::TerminationSignals::Catch(loop, [](int) {}), nullptr);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        EXPECT_NE(CurrentAction(signal), SIG_DFL) << signal;
    }
    first.reset();
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        EXPECT_EQ(CurrentAction(signal), SIG_DFL) << signal;
    }
    EXPECT_NE(svp::TerminationSignals::Catch(loop, [](int) {}), nullptr);
}

} // namespace
