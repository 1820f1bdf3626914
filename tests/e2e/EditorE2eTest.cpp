// The whole program under the test's X server: it is started, its main window found and closed
// the way a window manager closes it, and started again where the first run left it.
// GoogleTest before Xlib, whose macros (None) would break its names.
#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "ProfileFile.h"
#include "ScopedEnvironment.h"
#include "TempFolder.h"
#include "WindowPlacement.h"
#include "X11WindowDriver.h"

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

namespace {

using namespace std::chrono_literals;

constexpr const char* kWindowClass = "VedoziDuruzavaPresetEditorMainWindowClass";

class EditorE2e : public ::testing::Test
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

    svtest::ChildProcess::Options Program() const
    {
        svtest::ChildProcess::Options options;
        options.arguments = {SV_EDITOR_PROGRAM};
        options.errorFile = mErrorFile;
        return options;
    }

    std::string SettingsFolder() const
    {
        return mConfig.Path() + "/Vudozi/Vedozi Duruzava Program Editor";
    }

    std::string ProfilePath() const
    {
        return mConfig.Path() + "/Vudozi/Vedozi Duruzava Program Editor/profile.ini";
    }

    // Starts the program and answers its main window once it is shown and has drawn its first
    // frame; 0 when that did not happen in time. Main windows of editors that other tests on the
    // display started are not its.
    Window StartAndWaitForMainWindow(std::unique_ptr<svtest::ChildProcess>& editor)
    {
        svtest::X11WindowDriver::Query query{kWindowClass, 0, {}};
        for (const Window other : mDriver.FindWindows(query)) {
            query.except.insert(other);
        }
        editor = std::make_unique<svtest::ChildProcess>(Program());
        return editor->IsStarted() ? mDriver.WaitForPaintedWindow(query, 30s) : 0;
    }

    svtest::X11WindowDriver mDriver;
    svtest::TempFolder mConfig;
    svtest::TempFolder mRuntime;
    svtest::ScopedEnvironment mEnvironment;
    // Where the editor's standard error goes when a test reads it; empty: the test's own.
    std::string mErrorFile;
};

TEST_F(EditorE2e, ClosesLikeAWindowManagerAsksAndSavesWhereItWas)
{
    std::unique_ptr<svtest::ChildProcess> editor;
    const Window window = StartAndWaitForMainWindow(editor);
    ASSERT_NE(window, 0u) << "the main window did not show";

    const auto geometry = mDriver.GetGeometry(window);
    EXPECT_EQ(geometry.width, 1200);
    EXPECT_EQ(geometry.height, 720);

    mDriver.Close(window);
    EXPECT_EQ(editor->WaitForExit(30s), std::optional<int32_t>(1));

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

    std::unique_ptr<svtest::ChildProcess> editor;
    const Window window = StartAndWaitForMainWindow(editor);
    ASSERT_NE(window, 0u) << "the main window did not show";
    const auto geometry = mDriver.GetGeometry(window);
    EXPECT_EQ(geometry.x, 30);
    EXPECT_EQ(geometry.y, 40);

    // The running editor takes the second start's command line; the second one ends with -1.
    svtest::ChildProcess second(Program());
    ASSERT_TRUE(second.IsStarted());
    EXPECT_EQ(second.WaitForExit(30s), std::optional<int32_t>(255));

    mDriver.Close(window);
    EXPECT_EQ(editor->WaitForExit(30s), std::optional<int32_t>(1));
}

TEST_F(EditorE2e, ShowsItsWindowWithAPipeAsItsSettingsFileAndLeavesThePipeAlone)
{
    std::filesystem::create_directories(SettingsFolder());
    const std::string settings = SettingsFolder() + "/UserSettings.ini";
    ASSERT_EQ(::mkfifo(settings.c_str(), 0600), 0);
    svtest::TempFolder errorFolder;
    mErrorFile = errorFolder.Join("stderr.txt");

    std::unique_ptr<svtest::ChildProcess> editor;
    const Window window = StartAndWaitForMainWindow(editor);
    ASSERT_NE(window, 0u) << "the main window did not show";
    mDriver.Close(window);
    EXPECT_EQ(editor->WaitForExit(30s), std::optional<int32_t>(1));

    EXPECT_TRUE(std::filesystem::is_fifo(settings));
    std::ifstream errors(mErrorFile);
    const std::string said{std::istreambuf_iterator<char>(errors), {}};
    const size_t first = said.find(settings);
    EXPECT_NE(first, std::string::npos) << said;
    EXPECT_EQ(said.find(settings, first + 1), std::string::npos) << "said once: " << said;
}

} // namespace
