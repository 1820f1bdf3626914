// The whole program under the test's X server: it is started, its main window found and closed
// the way a window manager closes it, and started again where the first run left it.
// GoogleTest before Xlib, whose macros (None) would break its names.
#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "ProfileFile.h"
#include "ScopedEnvironment.h"
#include "TempFolder.h"
#include "WindowPlacement.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <sys/stat.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;

constexpr const char* kWindowClass = "VedoziDuruzavaPresetEditorMainWindowClass";

struct DisplayCloser
{
    void operator()(Display* display) const { XCloseDisplay(display); }
};

// The program's main window once it is shown and has drawn its first frame (its pixels are no
// longer the black of a window nobody painted); 0 when that did not happen in time.
Window WaitForPaintedMainWindow(Display* display, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
        Window found = 0;
        for (unsigned i = 0; i < count && found == 0; ++i) {
            XClassHint hint{};
            XWindowAttributes attributes{};
            if (XGetClassHint(display, children[i], &hint) != 0) {
                if (hint.res_class != nullptr && std::strcmp(hint.res_class, kWindowClass) == 0 &&
                    XGetWindowAttributes(display, children[i], &attributes) != 0 &&
                    attributes.map_state == IsViewable) {
                    found = children[i];
                }
                XFree(hint.res_name);
                XFree(hint.res_class);
            }
        }
        XFree(children);
        if (found != 0) {
            XImage* image = XGetImage(display, found, 10, 10, 1, 1, AllPlanes, ZPixmap);
            const unsigned long pixel = image != nullptr ? XGetPixel(image, 0, 0) : 0;
            if (image != nullptr) {
                XDestroyImage(image);
            }
            if ((pixel & 0xFFFFFF) != 0) {
                return found;
            }
        }
        std::this_thread::sleep_for(50ms);
    }
    return 0;
}

void SendDeleteWindow(Display* display, Window window)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

class EditorE2e : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mDisplay.reset(XOpenDisplay(nullptr));
        if (!mDisplay) {
            GTEST_SKIP() << "no X display";
        }
        ::chmod(mRuntime.Path().c_str(), 0700);
        mEnvironment.Set("XDG_CONFIG_HOME", mConfig.Path().c_str());
        mEnvironment.Set("XDG_RUNTIME_DIR", mRuntime.Path().c_str());
        mEnvironment.Set("JACK_NO_START_SERVER", "1");
    }

    svtest::ChildProcess::Options Program() const
    {
        svtest::ChildProcess::Options options;
        options.arguments = {SV_EDITOR_PROGRAM};
        return options;
    }

    std::string ProfilePath() const
    {
        return mConfig.Path() + "/Vudozi/Vedozi Duruzava Program Editor/profile.ini";
    }

    std::unique_ptr<Display, DisplayCloser> mDisplay;
    svtest::TempFolder mConfig;
    svtest::TempFolder mRuntime;
    svtest::ScopedEnvironment mEnvironment;
};

TEST_F(EditorE2e, ClosesLikeAWindowManagerAsksAndSavesWhereItWas)
{
    svtest::ChildProcess editor(Program());
    ASSERT_TRUE(editor.IsStarted());
    const Window window = WaitForPaintedMainWindow(mDisplay.get(), 30s);
    ASSERT_NE(window, 0u) << "the main window did not show";

    XWindowAttributes attributes{};
    XGetWindowAttributes(mDisplay.get(), window, &attributes);
    EXPECT_EQ(attributes.width, 1200);
    EXPECT_EQ(attributes.height, 720);

    SendDeleteWindow(mDisplay.get(), window);
    EXPECT_EQ(editor.WaitForExit(30s), std::optional<int32_t>(1));

    const auto bytes = svp::ProfileFile(ProfilePath()).ReadBinary(kWindowClass, "WP");
    ASSERT_TRUE(bytes.has_value()) << "no placement in " << ProfilePath();
    const auto placement = svp::DecodeWindowPlacement(*bytes);
    ASSERT_TRUE(placement.has_value());
    EXPECT_EQ(placement->right - placement->left, 1200);
    EXPECT_EQ(placement->bottom - placement->top, 720);
}

TEST_F(EditorE2e, StartsWhereTheSavedPlacementSaysAndASecondStartHandsOver)
{
    svp::WindowPlacement saved;
    saved.left = 30;
    saved.top = 40;
    saved.right = 30 + 1200;
    saved.bottom = 40 + 720;
    std::filesystem::create_directories(mConfig.Path() + "/Vudozi/Vedozi Duruzava Program Editor");
    ASSERT_TRUE(svp::ProfileFile(ProfilePath())
                    .WriteBinary(kWindowClass, "WP", svp::EncodeWindowPlacement(saved)));

    svtest::ChildProcess editor(Program());
    ASSERT_TRUE(editor.IsStarted());
    const Window window = WaitForPaintedMainWindow(mDisplay.get(), 30s);
    ASSERT_NE(window, 0u) << "the main window did not show";
    int x = 0;
    int y = 0;
    Window child = 0;
    XTranslateCoordinates(mDisplay.get(), window, DefaultRootWindow(mDisplay.get()), 0, 0, &x, &y,
                          &child);
    EXPECT_EQ(x, 30);
    EXPECT_EQ(y, 40);

    // The running editor takes the second start's command line; the second one ends with -1.
    svtest::ChildProcess second(Program());
    ASSERT_TRUE(second.IsStarted());
    EXPECT_EQ(second.WaitForExit(30s), std::optional<int32_t>(255));

    SendDeleteWindow(mDisplay.get(), window);
    EXPECT_EQ(editor.WaitForExit(30s), std::optional<int32_t>(1));
}

} // namespace
