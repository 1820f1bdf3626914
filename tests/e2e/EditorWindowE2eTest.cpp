// The editor's windows as a user and a window manager meet them: what the main window, the About
// box and the message boxes ask of the window manager, the box that tells that the user guide
// could not be opened, the keyboard staying with a box the user clicked in, a dialog destroyed
// from outside, and a second start that brings the running editor forward. The display has no
// window manager: the tests read what the editor asks of one (properties, client messages).
// GoogleTest before Xlib, whose macros (None, Bool) would break its names.
#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "ScopedEnvironment.h"
#include "TempFolder.h"
#include "X11WindowDriver.h"

#include <X11/keysym.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr const char* kMainWindowClass = "VedoziDuruzavaPresetEditorMainWindowClass";
constexpr const char* kMessageBoxClass = "MessageBox";
constexpr const char* kDialogClass = "SVFrameworkWindow";
constexpr const char* kProductName = "Vedozi Duruzava Program Editor";

constexpr auto kStartLimit = 60s;
constexpr auto kActionLimit = 10s;
constexpr auto kCloseLimit = 15s;

// Points of the main window, from the skin: the menu bar's Help title and the entries of its
// popup (22 pixels each, from y 27), and a part of the keyboard picture where the pointer rests
// without lighting anything up.
struct Point
{
    int32_t x;
    int32_t y;
};
constexpr Point kHelpMenu{75, 12};
constexpr Point kOpenUserGuideEntry{110, 38};
constexpr Point kAboutEntry{110, 60};
constexpr Point kRestingPoint{600, 600};

// Motif hints: flags, functions, decorations; the functions' minimise and maximise bits.
constexpr long kMotifFunctionMinimize = 8;
constexpr long kMotifFunctionMaximize = 16;
constexpr long kMotifFunctionResize = 2;

class EditorWindowE2e : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!mDriver.IsOpen()) {
            GTEST_SKIP() << "no X display";
        }
        ::chmod(mRuntime.Path().c_str(), 0700);
        mEnvironment.Set("XDG_CONFIG_HOME", mConfig.Path().c_str());
        mEnvironment.Set("XDG_RUNTIME_DIR", mRuntime.Path().c_str());
        mEnvironment.Set("JACK_NO_START_SERVER", "1");
    }

    void TearDown() override
    {
        if (!mEditor) {
            return;
        }
        if (mWindow != 0) {
            mDriver.Close(mWindow);
        }
        if (!mEditor->WaitForExit(kCloseLimit)) {
            mEditor->Stop();
        }
    }

    svtest::ChildProcess::Options Program() const
    {
        svtest::ChildProcess::Options options;
        options.arguments = {SV_EDITOR_PROGRAM};
        return options;
    }

    // Starts the editor and waits until its main window has drawn its first frame.
    void Start()
    {
        svtest::X11WindowDriver::Query query{kMainWindowClass, 0, {}};
        for (const Window other : mDriver.FindWindows(query)) {
            query.except.insert(other);
        }
        mEditor = std::make_unique<svtest::ChildProcess>(Program());
        ASSERT_TRUE(mEditor->IsStarted());
        mWindow = mDriver.WaitForPaintedWindow(query, kStartLimit);
        ASSERT_NE(mWindow, 0u) << "the main window did not show";
        mDriver.MovePointer(mWindow, kRestingPoint.x, kRestingPoint.y);
    }

    // Opens the Help menu and chooses an entry, until a window of the class stands over the
    // main window; that window, or 0 when none came.
    Window ChooseFromHelpMenu(const Point& entry, const char* windowClass)
    {
        const svtest::X11WindowDriver::Query query{windowClass, mWindow, {}};
        for (int32_t attempt = 0; attempt < 3; ++attempt) {
            mDriver.Focus(mWindow);
            if (!mDriver.Click(mWindow, kHelpMenu.x, kHelpMenu.y)) {
                continue;
            }
            // The popup opens at the next idle pass of the editor.
            std::this_thread::sleep_for(300ms);
            if (!mDriver.Click(mWindow, entry.x, entry.y)) {
                continue;
            }
            if (const Window window = mDriver.WaitForWindow(query, kActionLimit)) {
                return window;
            }
        }
        return 0;
    }

    // A program standing in for xdg-open, first on PATH, that fails as the real one does when
    // no viewer is there.
    void PutFailingOpenerFirstOnPath()
    {
        mOpenerFolder.WriteFile("xdg-open", "#!/bin/sh\n"
                                            "echo \"$1\" >> '" +
                                                mOpenerFolder.Join("opened") +
                                                "'\n"
                                                "exit 3\n");
        ::chmod(mOpenerFolder.Join("xdg-open").c_str(), 0755);
        const char* path = std::getenv("PATH");
        const std::string searched =
            mOpenerFolder.Path() + ":" + (path != nullptr ? path : "/usr/bin:/bin");
        mEnvironment.Set("PATH", searched.c_str());
    }

    bool WaitForFocus(Window window)
    {
        const auto deadline = Clock::now() + kActionLimit;
        while (mDriver.GetFocus() != window) {
            if (Clock::now() >= deadline) {
                return false;
            }
            std::this_thread::sleep_for(20ms);
        }
        return true;
    }

    void SaveScreenshot(const char* name)
    {
        const char* folder = std::getenv("SV_E2E_SCREENSHOTS");
        if (folder == nullptr) {
            return;
        }
        const std::string command = std::string("xwd -root -silent | convert xwd:- '") + folder +
                                    "/" + name + ".png' 2>/dev/null";
        [[maybe_unused]] const int ignored = std::system(command.c_str());
    }

    svtest::X11WindowDriver mDriver;
    svtest::TempFolder mConfig;
    svtest::TempFolder mRuntime;
    svtest::TempFolder mOpenerFolder;
    svtest::ScopedEnvironment mEnvironment;
    std::unique_ptr<svtest::ChildProcess> mEditor;
    Window mWindow = 0;
};

TEST_F(EditorWindowE2e, WindowsTellTheWindowManagerTheirTitleSizeAndKind)
{
    Start();
    ASSERT_NE(mWindow, 0u);

    EXPECT_EQ(mDriver.GetTitle(mWindow), kProductName);
    EXPECT_EQ(mDriver.GetUtf8Property(mWindow, "_NET_WM_NAME"), kProductName);
    // The main window has one size: no maximise box, no resizing.
    const auto mainLimits = mDriver.GetSizeLimits(mWindow);
    EXPECT_TRUE(mainLimits.hasMinimum && mainLimits.hasMaximum);
    EXPECT_EQ(mainLimits.minWidth, 1200);
    EXPECT_EQ(mainLimits.maxWidth, 1200);
    EXPECT_EQ(mainLimits.minHeight, 720);
    EXPECT_EQ(mainLimits.maxHeight, 720);
    const std::vector<long> mainMotif =
        mDriver.GetCardinals(mWindow, "_MOTIF_WM_HINTS", "_MOTIF_WM_HINTS");
    ASSERT_GE(mainMotif.size(), 3u);
    EXPECT_NE(mainMotif[1] & kMotifFunctionMinimize, 0);
    EXPECT_EQ(mainMotif[1] & (kMotifFunctionMaximize | kMotifFunctionResize), 0);
    EXPECT_EQ(mDriver.GetAtomNames(mWindow, "_NET_WM_WINDOW_TYPE"),
              std::vector<std::string>{"_NET_WM_WINDOW_TYPE_NORMAL"});

    // The About box is a dialog of the main window, of one size, without minimise or maximise.
    const Window about = ChooseFromHelpMenu(kAboutEntry, kDialogClass);
    ASSERT_NE(about, 0u) << "the About box did not show";
    EXPECT_EQ(mDriver.GetTransientFor(about), mWindow);
    EXPECT_EQ(mDriver.GetAtomNames(about, "_NET_WM_WINDOW_TYPE"),
              std::vector<std::string>{"_NET_WM_WINDOW_TYPE_DIALOG"});
    const auto aboutLimits = mDriver.GetSizeLimits(about);
    const auto aboutSize = mDriver.GetGeometry(about);
    EXPECT_TRUE(aboutLimits.hasMinimum && aboutLimits.hasMaximum);
    EXPECT_EQ(aboutLimits.minWidth, aboutSize.width);
    EXPECT_EQ(aboutLimits.maxWidth, aboutSize.width);
    EXPECT_EQ(aboutLimits.minHeight, aboutSize.height);
    EXPECT_EQ(aboutLimits.maxHeight, aboutSize.height);
    const std::vector<long> aboutMotif =
        mDriver.GetCardinals(about, "_MOTIF_WM_HINTS", "_MOTIF_WM_HINTS");
    ASSERT_GE(aboutMotif.size(), 3u);
    EXPECT_EQ(aboutMotif[1] &
                  (kMotifFunctionMinimize | kMotifFunctionMaximize | kMotifFunctionResize),
              0);
    mDriver.Close(about);
    EXPECT_TRUE(mDriver.WaitUntilGone(about, kActionLimit));
}

TEST_F(EditorWindowE2e, UserGuideThatNoViewerOpensShowsTheFailureBoxWideEnoughForItsTitle)
{
    PutFailingOpenerFirstOnPath();
    Start();
    ASSERT_NE(mWindow, 0u);

    const Window box = ChooseFromHelpMenu(kOpenUserGuideEntry, kMessageBoxClass);
    ASSERT_NE(box, 0u) << "no box told that the user guide did not open";
    EXPECT_NE(mOpenerFolder.ReadFile("opened").find("User Guide"), std::string::npos)
        << "the opener was not asked to open the guide";
    EXPECT_EQ(mDriver.GetTitle(box), "Open User Guide Failed");
    EXPECT_EQ(mDriver.GetTransientFor(box), mWindow);
    EXPECT_EQ(mDriver.GetAtomNames(box, "_NET_WM_WINDOW_TYPE"),
              std::vector<std::string>{"_NET_WM_WINDOW_TYPE_DIALOG"});
    const std::vector<long> motif = mDriver.GetCardinals(box, "_MOTIF_WM_HINTS", "_MOTIF_WM_HINTS");
    ASSERT_GE(motif.size(), 3u);
    EXPECT_EQ(motif[1] & (kMotifFunctionMinimize | kMotifFunctionMaximize), 0);
    // A title bar writes the caption in a bold face about 15 pixels high, beside its buttons.
    EXPECT_GE(mDriver.GetGeometry(box).width, 280);
    SaveScreenshot("user-guide-failed");

    // Clicked in (beside its button), the box takes the keyboard, and keeps it while a window
    // manager hands the focus to the main window after the click: Return answers the box.
    mDriver.Focus(PointerRoot);
    ASSERT_TRUE(mDriver.Click(box, 20, 20));
    EXPECT_TRUE(WaitForFocus(box)) << "the click did not give the box the keyboard";
    mDriver.Focus(mWindow);
    EXPECT_TRUE(WaitForFocus(box)) << "the main window took the keyboard from the box";
    mDriver.TypeKey(XK_Return);
    EXPECT_TRUE(mDriver.WaitUntilGone(box, kActionLimit)) << "Return did not reach the box";
}

TEST_F(EditorWindowE2e, DialogDestroyedFromOutsideEndsAsCancelledAndTheMainWindowLivesOn)
{
    Start();
    ASSERT_NE(mWindow, 0u);
    const Window about = ChooseFromHelpMenu(kAboutEntry, kDialogClass);
    ASSERT_NE(about, 0u) << "the About box did not show";

    mDriver.Destroy(about);
    // The main window takes input again: it opens the About box once more, and closes.
    const Window again = ChooseFromHelpMenu(kAboutEntry, kDialogClass);
    EXPECT_NE(again, 0u) << "the main window took no input after the box was destroyed";
    if (again != 0) {
        mDriver.Close(again);
        EXPECT_TRUE(mDriver.WaitUntilGone(again, kActionLimit));
    }
    mDriver.Close(mWindow);
    EXPECT_EQ(mEditor->WaitForExit(kCloseLimit), std::optional<int32_t>(1));
    mEditor.reset();
}

TEST_F(EditorWindowE2e, SecondStartBringsTheRunningWindowForwardMinimisedOrUnderABox)
{
    Start();
    ASSERT_NE(mWindow, 0u);
    mDriver.WatchRootMessages();
    mDriver.TakeRootMessages(0ms);

    auto startAgain = [&] {
        svtest::ChildProcess second(Program());
        ASSERT_TRUE(second.IsStarted());
        EXPECT_EQ(second.WaitForExit(30s), std::optional<int32_t>(255));
    };
    auto activated = [&](Window window) {
        for (const auto& message : mDriver.TakeRootMessages(kActionLimit)) {
            if (message.type == "_NET_ACTIVE_WINDOW" && message.window == window) {
                return true;
            }
        }
        return false;
    };

    // Minimised, it is shown again and activated.
    mDriver.Minimize(mWindow);
    ASSERT_FALSE(mDriver.IsShown(mWindow));
    startAgain();
    EXPECT_TRUE(activated(mWindow)) << "the window manager was not asked to activate it";
    const auto deadline = Clock::now() + kActionLimit;
    while (!mDriver.IsShown(mWindow) && Clock::now() < deadline) {
        std::this_thread::sleep_for(20ms);
    }
    EXPECT_TRUE(mDriver.IsShown(mWindow)) << "the minimised window was not restored";

    // Under an open box, the box is the window activated.
    const Window about = ChooseFromHelpMenu(kAboutEntry, kDialogClass);
    ASSERT_NE(about, 0u) << "the About box did not show";
    mDriver.TakeRootMessages(0ms);
    startAgain();
    EXPECT_TRUE(activated(about)) << "the open box was not brought forward";
    mDriver.Close(about);
    EXPECT_TRUE(mDriver.WaitUntilGone(about, kActionLimit));
}

} // namespace
