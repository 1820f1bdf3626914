#include "SplashWindow.h"

#include <gtest/gtest.h>

namespace {

TEST(SplashProgressTest, RunsStepInQuartersOfASecondAndMayStopShortOfTheirEnd)
{
    struct Case
    {
        int32_t from;
        int32_t to;
        int32_t seconds;
        int32_t ticks;
        int32_t end;
    };
    const Case cases[] = {
        {0, 100, 8, 32, 96}, // 100 / 32 = 3 a step
        {0, 100, 1, 4, 100},
        {80, 20, 2, 8, 24}, // backwards, -7 a step
        {0, 2, 1, 4, 0},    // a step of 0: the bar stands
    };
    for (const Case& c : cases) {
        svp::SplashProgress progress;
        ASSERT_TRUE(progress.Run(c.from, c.to, c.seconds));
        EXPECT_TRUE(progress.HasBar());
        EXPECT_EQ(progress.GetPosition(), c.from);
        int32_t ticks = 0;
        while (progress.IsRunning()) {
            progress.Tick();
            ++ticks;
        }
        EXPECT_EQ(ticks, c.ticks) << c.from << "->" << c.to;
        EXPECT_EQ(progress.GetPosition(), c.end) << c.from << "->" << c.to;
        EXPECT_FALSE(progress.Tick());
    }
}

TEST(SplashProgressTest, APositionStopsARunAndRunsOfNoTimeAreRefused)
{
    svp::SplashProgress progress;
    EXPECT_FALSE(progress.HasBar());
    EXPECT_FALSE(progress.Run(0, 100, 0));
    EXPECT_FALSE(progress.HasBar());
    ASSERT_TRUE(progress.Run(0, 100, 8));
    progress.Tick();
    progress.SetPosition(50);
    EXPECT_FALSE(progress.IsRunning());
    EXPECT_EQ(progress.GetPosition(), 50);
    progress.SetPosition(70);
    EXPECT_EQ(progress.GetPosition(), 70);
}

TEST(SplashWindowTest, StoppingAWindowThatNeverStartedDoesNothingAndNoTimeRunsAreNotPosted)
{
    svp::SplashWindow splash(nullptr);
    EXPECT_FALSE(splash.PostProgressRun(0, 100, 0));
    splash.Stop();
    EXPECT_EQ(splash.GetShownPosition(), -1);
}

} // namespace
