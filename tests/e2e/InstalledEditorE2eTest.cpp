// The editor as `cmake --install` lays it out in a prefix of the test's own: the program folder
// with the settings library and the user guide beside the program, the launcher, the desktop
// entry, which the desktop's validator accepts, and the icon; started the way the desktop entry
// says, from the launcher on PATH, the installed program shows its main window.
// GoogleTest before Xlib, whose macros (None) would break its names.
#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "ScopedEnvironment.h"
#include "TempFolder.h"
#include "X11WindowDriver.h"

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr const char* kWindowClass = "VedoziDuruzavaPresetEditorMainWindowClass";
constexpr const char* kProgram = "vedozi-duruzava-editor";

// The keys of the desktop entry's [Desktop Entry] group.
std::map<std::string, std::string> DesktopEntryKeys(const fs::path& path)
{
    std::ifstream file(path);
    std::map<std::string, std::string> keys;
    std::string line;
    bool inGroup = false;
    while (std::getline(file, line)) {
        if (!line.empty() && line[0] == '[') {
            inGroup = line == "[Desktop Entry]";
        } else if (const size_t equals = line.find('='); inGroup && equals != std::string::npos) {
            keys[line.substr(0, equals)] = line.substr(equals + 1);
        }
    }
    return keys;
}

// Runs a program to its end; its exit status and what it wrote on its standard output.
std::pair<int32_t, std::string> RunToTheEnd(const std::vector<std::string>& arguments)
{
    svtest::ChildProcess::Options options;
    options.arguments = arguments;
    options.pipeOutput = true;
    svtest::ChildProcess process(options);
    if (!process.IsStarted()) {
        return {-1, arguments[0] + " did not start"};
    }
    std::string output;
    while (const std::optional<std::string> line = process.ReadLine(120s)) {
        output += *line + "\n";
    }
    return {process.WaitForExit(120s).value_or(-1), output};
}

TEST(InstalledEditorE2e, InstallsIntoAPrefixWithADesktopEntryAndStartsFromTheLauncher)
{
    svtest::X11WindowDriver driver;
    if (!driver.IsOpen()) {
        GTEST_SKIP() << "no X display";
    }
    svtest::TempFolder prefix;
    const auto [installed, log] =
        RunToTheEnd({SV_CMAKE_COMMAND, "--install", SV_BUILD_FOLDER, "--prefix", prefix.Path()});
    ASSERT_EQ(installed, 0) << log;

    // One program folder, wherever the platform keeps libraries, holding all three.
    fs::path folder;
    for (const auto& entry : fs::recursive_directory_iterator(prefix.Path())) {
        if (entry.path().filename() == kProgram && entry.is_directory()) {
            folder = entry.path();
        }
    }
    ASSERT_FALSE(folder.empty()) << "no program folder";
    EXPECT_TRUE(fs::is_regular_file(folder / kProgram));
    EXPECT_TRUE(fs::is_regular_file(folder / "libIniFileManager.so"));
    EXPECT_TRUE(
        fs::is_regular_file(folder / "Vedozi Duruzava Program Editor - User Guide - v1.0.pdf"));
    const fs::path launcher = fs::path(prefix.Path()) / "bin" / kProgram;
    ASSERT_TRUE(fs::is_symlink(launcher));
    EXPECT_EQ(fs::canonical(launcher), fs::canonical(folder / kProgram));
    EXPECT_TRUE(fs::is_regular_file(fs::path(prefix.Path()) /
                                    "share/icons/hicolor/64x64/apps/vedozi-duruzava-editor.png"));

    const fs::path desktopEntry =
        fs::path(prefix.Path()) / "share/applications/vedozi-duruzava-editor.desktop";
    ASSERT_TRUE(fs::is_regular_file(desktopEntry));
    const std::optional<std::string> validator = svtest::FindProgram("desktop-file-validate");
    ASSERT_TRUE(validator) << "desktop-file-validate is missing (package desktop-file-utils)";
    const auto [valid, complaints] = RunToTheEnd({*validator, desktopEntry.string()});
    EXPECT_EQ(valid, 0);
    EXPECT_EQ(complaints, "") << "the validator found nothing to say";
    auto keys = DesktopEntryKeys(desktopEntry);
    EXPECT_EQ(keys["Name"], "Vedozi Duruzava Program Editor");
    EXPECT_FALSE(keys["Comment"].empty());
    EXPECT_NE(keys["Categories"].find("Audio;Midi;"), std::string::npos) << keys["Categories"];
    EXPECT_EQ(keys["StartupWMClass"], kWindowClass);
    EXPECT_EQ(keys["Icon"], kProgram);
    ASSERT_EQ(keys["Exec"], kProgram);

    // Started as the desktop starts it: the command of its entry, found on PATH.
    svtest::TempFolder config;
    svtest::TempFolder runtime;
    ::chmod(runtime.Path().c_str(), 0700);
    svtest::ScopedEnvironment environment;
    environment.Set("XDG_CONFIG_HOME", config.Path().c_str());
    environment.Set("XDG_RUNTIME_DIR", runtime.Path().c_str());
    environment.Set("JACK_NO_START_SERVER", "1");
    const char* path = std::getenv("PATH");
    environment.Set(
        "PATH",
        (prefix.Path() + "/bin" + (path != nullptr ? ":" + std::string(path) : "")).c_str());
    svtest::X11WindowDriver::Query query{kWindowClass, 0, {}};
    for (const Window other : driver.FindWindows(query)) {
        query.except.insert(other);
    }
    svtest::ChildProcess::Options options;
    options.arguments = {keys["Exec"]};
    svtest::ChildProcess editor(options);
    ASSERT_TRUE(editor.IsStarted());
    const Window window = driver.WaitForPaintedWindow(query, 60s);
    ASSERT_NE(window, 0u) << "the installed editor showed no window";
    EXPECT_EQ(fs::canonical("/proc/" + std::to_string(editor.GetPid()) + "/exe"),
              fs::canonical(folder / kProgram))
        << "the running program is the installed one";

    // It ends as the program from the build folder ends when its window is closed.
    driver.Close(window);
    EXPECT_EQ(editor.WaitForExit(30s), std::optional<int32_t>(1));
}

} // namespace
