#include "SplashWindow.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <cstdlib>
#include <thread>

namespace {

// Waits until the splash thread has shown the position; it paints each request as it takes it.
bool WaitForPosition(const svp::SplashWindow& splash, int32_t position)
{
    for (int spins = 0; spins < 50'000'000; ++spins) {
        if (splash.GetShownPosition() == position) {
            return true;
        }
        std::this_thread::yield();
    }
    return false;
}

TEST(SplashWindowX11Test, ShowsThePictureAndTheBarOnItsOwnThreadUntilStopped)
{
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr) << "no X display";
    auto image = std::make_shared<svp::SplashImage>();
    image->width = 320;
    image->height = 180;
    for (int32_t y = 0; y < image->height; ++y) {
        for (int32_t x = 0; x < image->width; ++x) {
            image->pixels.push_back(0xFF000000u | static_cast<uint32_t>(x * 255 / 320) << 16 |
                                    0x3050u);
        }
    }
    {
        svp::SplashWindow splash(image);
        ASSERT_TRUE(splash.Start());
        EXPECT_FALSE(splash.Start()) << "started once";
        EXPECT_EQ(splash.GetShownPosition(), -1) << "no bar before the first position";
        splash.PostPosition(40);
        ASSERT_TRUE(WaitForPosition(splash, 40));
        if (const char* shot = std::getenv("SV_SPLASH_SCREENSHOT")) {
            const std::string command =
                std::string("xwd -root -silent | convert xwd:- ") + shot + " 2>/dev/null";
            [[maybe_unused]] const int ignored = std::system(command.c_str());
        }
        ASSERT_TRUE(splash.PostProgressRun(10, 90, 1));
        ASSERT_TRUE(WaitForPosition(splash, 10));
        ASSERT_TRUE(WaitForPosition(splash, 90));
        splash.PostPosition(100);
        ASSERT_TRUE(WaitForPosition(splash, 100));
    }
    // The image outlives the window only in this test's hands.
    EXPECT_EQ(image.use_count(), 1);
    XCloseDisplay(display);
}

} // namespace
