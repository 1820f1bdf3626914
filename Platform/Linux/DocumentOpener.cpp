#include "Desktop.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

extern char** environ;

namespace svp {
namespace {

// The opener hands the file to the viewer and ends within a moment, its exit status telling
// whether there was a viewer. An opener still running after this long runs the viewer itself
// (the generic desktop's way): the document is taken as opened, and the window is not kept
// waiting until the viewer closes.
constexpr auto kOpenerResultWait = std::chrono::seconds(2);

struct OpenerExit
{
    std::mutex lock;
    std::condition_variable ended;
    std::optional<int> status;
};

} // namespace

bool IDesktop::OpenDocument(const std::string& path)
{
    // The opener reports a missing file only after it has been started: look first, so that the
    // caller can tell the user at once.
    if (path.empty() || access(path.c_str(), R_OK) != 0) {
        return false;
    }
    char opener[] = "xdg-open";
    std::string argument = path;
    char* arguments[] = {opener, argument.data(), nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, opener, nullptr, nullptr, arguments, environ) != 0) {
        return false;
    }
    // Reaped aside, so that the program never keeps a zombie, however long the opener runs.
    const auto exit = std::make_shared<OpenerExit>();
    std::thread([child, exit] {
        int status = 0;
        const pid_t reaped = waitpid(child, &status, 0);
        const std::lock_guard guard(exit->lock);
        exit->status = reaped == child ? status : -1;
        exit->ended.notify_all();
    }).detach();

    std::unique_lock guard(exit->lock);
    if (!exit->ended.wait_for(guard, kOpenerResultWait, [&] { return exit->status.has_value(); })) {
        return true;
    }
    return WIFEXITED(*exit->status) && WEXITSTATUS(*exit->status) == 0;
}

} // namespace svp
