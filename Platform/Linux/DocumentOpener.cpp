#include "Desktop.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

extern char** environ;

namespace svp {

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
    // Reaped aside, so that the program neither waits for the viewer nor keeps a zombie.
    std::thread([child] {
        int status = 0;
        waitpid(child, &status, 0);
    }).detach();
    return true;
}

} // namespace svp
