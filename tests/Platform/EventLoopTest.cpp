#include "EventLoop.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

TEST(EventLoopTest, PostsFromAnotherThreadRunInOrderAndTheQuitEndsTheLoopAfterThem)
{
    svp::EventLoop loop;
    std::vector<int> seen;
    std::thread poster([&] {
        for (int i = 0; i < 100; ++i) {
            loop.Post([&seen, i] { seen.push_back(i); });
        }
        loop.PostQuit(7);
    });
    const auto code = loop.Run(nullptr);
    poster.join();
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, 7);
    ASSERT_EQ(seen.size(), 100u);
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(seen[static_cast<size_t>(i)], i);
    }
}

TEST(EventLoopTest, IdleRunsWhileAskedThenSleepsUntilAnEventRestartsItAtZero)
{
    svp::EventLoop loop;
    std::vector<int32_t> counts;
    int rounds = 0;
    std::thread poster;
    // Asks for more until count 2, the rule the application's idle pass follows. When it stops
    // asking, another thread posts: the first post wakes the sleeping loop, the second quits.
    loop.Run([&](int32_t count) {
        counts.push_back(count);
        if (count == 2) {
            const bool last = ++rounds == 2;
            if (poster.joinable()) {
                poster.join();
            }
            poster = std::thread([&loop, last] {
                if (last) {
                    loop.PostQuit(0);
                } else {
                    loop.Post([] {});
                }
            });
        }
        return count < 2;
    });
    poster.join();
    const std::vector<int32_t> expected{0, 1, 2, 0, 1, 2};
    EXPECT_EQ(counts, expected);
}

TEST(EventLoopTest, AReadableDescriptorRunsItsHandlerAndUnwatchedOnesAreLeftAlone)
{
    svp::EventLoop loop;
    int fds[2];
    ASSERT_EQ(pipe2(fds, O_NONBLOCK), 0);
    std::string received;
    uint32_t watch = loop.WatchDescriptor(fds[0], [&] {
        char buffer[16];
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        received.append(buffer, static_cast<size_t>(std::max<ssize_t>(n, 0)));
        loop.UnwatchDescriptor(watch);
        loop.PostQuit(1);
        return true;
    });
    ASSERT_EQ(write(fds[1], "hello", 5), 5);
    EXPECT_EQ(loop.Run(nullptr), 1);
    EXPECT_EQ(received, "hello");
    ASSERT_EQ(write(fds[1], "again", 5), 5);
    EXPECT_FALSE(loop.PumpOne(0));
    close(fds[0]);
    close(fds[1]);
}

TEST(EventLoopTest, PendingWorkIsSeenWithoutBeingTaken)
{
    svp::EventLoop loop;
    int fds[2];
    ASSERT_EQ(pipe2(fds, O_NONBLOCK), 0);
    int readable = 0;
    const uint32_t watch = loop.WatchDescriptor(fds[0], [&] {
        ++readable;
        return true;
    });
    EXPECT_FALSE(loop.HasPending());
    ASSERT_EQ(write(fds[1], "x", 1), 1);
    EXPECT_TRUE(loop.HasPending());
    EXPECT_TRUE(loop.HasPending()) << "looking takes nothing";
    loop.UnwatchDescriptor(watch);
    EXPECT_FALSE(loop.HasPending());
    EXPECT_EQ(readable, 0);

    bool ran = false;
    loop.Post([&] { ran = true; });
    EXPECT_TRUE(loop.HasPending());
    EXPECT_TRUE(loop.PumpOne(0));
    EXPECT_TRUE(ran);
    EXPECT_FALSE(loop.HasPending()) << "the post's wake-up is spent with it";
    close(fds[0]);
    close(fds[1]);
}

TEST(EventLoopTest, ADescriptorWatchedTwiceWakesEachWatchUntilItIsUnwatched)
{
    svp::EventLoop loop;
    int fds[2];
    ASSERT_EQ(pipe2(fds, O_NONBLOCK), 0);
    std::vector<int> seen;
    uint32_t first = 0;
    uint32_t second = 0;
    first = loop.WatchDescriptor(fds[0], [&] {
        seen.push_back(1);
        loop.UnwatchDescriptor(first);
        return true;
    });
    second = loop.WatchDescriptor(fds[0], [&] {
        seen.push_back(2);
        loop.UnwatchDescriptor(second);
        return true;
    });
    ASSERT_EQ(write(fds[1], "x", 1), 1);
    EXPECT_TRUE(loop.PumpOne(0));
    EXPECT_TRUE(loop.PumpOne(0));
    EXPECT_FALSE(loop.PumpOne(0));
    EXPECT_EQ(seen, (std::vector<int>{1, 2}));
    close(fds[0]);
    close(fds[1]);
}

TEST(EventLoopTest, ANestedLoopThatMeetsAQuitPassesItToTheOuterLoop)
{
    svp::EventLoop loop;
    std::optional<int32_t> inner;
    loop.Post([&] {
        loop.PostQuit(3);
        bool running = true;
        inner = loop.Run(
            nullptr, [&] { return running; }, true);
    });
    EXPECT_EQ(loop.Run(nullptr), 3);
    EXPECT_EQ(inner, 3);
}

TEST(EventLoopTest, ANestedLoopEndsWhenItsConditionTurnsFalseWithoutQuitting)
{
    svp::EventLoop loop;
    std::optional<int32_t> inner = 99;
    loop.Post([&] {
        bool running = true;
        loop.Post([&] { running = false; });
        inner = loop.Run([](int32_t) { return false; }, [&] { return running; }, true);
        loop.PostQuit(0);
    });
    EXPECT_EQ(loop.Run(nullptr), 0);
    EXPECT_FALSE(inner.has_value());
}

} // namespace
