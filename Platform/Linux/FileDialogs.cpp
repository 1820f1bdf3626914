#include "FileDialogs.h"

#include "EventLoop.h"
#include "ResultCodes.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace svp {
namespace {

// A chooser never answers more than this; anything longer is not a list of paths.
constexpr size_t kMaxOutputBytes = 1024 * 1024;

std::vector<std::string> Patterns(const std::string& patterns)
{
    std::vector<std::string> list;
    std::string current;
    for (const char c : patterns + ";") {
        if (c == ';' || c == ' ') {
            if (!current.empty()) {
                list.push_back(current);
            }
            current.clear();
        } else {
            current += c;
        }
    }
    return list;
}

std::string Join(const std::vector<std::string>& parts, const char* separator)
{
    std::string joined;
    for (const std::string& part : parts) {
        joined += (joined.empty() ? "" : separator) + part;
    }
    return joined;
}

std::string StartPath(const FileDialogRequest& request)
{
    std::string path = request.folder.empty() ? "." : request.folder;
    if (path.back() != '/') {
        path += '/';
    }
    return path + (request.save ? request.fileName : std::string());
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        if (end > start) {
            lines.push_back(text.substr(start, end - start));
        }
        start = end + 1;
    }
    return lines;
}

} // namespace

bool AppendDefaultExtension(std::string& path, const std::string& extension)
{
    const size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (extension.empty() || name.empty() || name.find('.') != std::string::npos) {
        return false;
    }
    path += "." + extension;
    return true;
}

std::vector<std::string> BuildFileDialogCommand(const std::string& tool,
                                                const std::string& toolPath,
                                                const FileDialogRequest& request)
{
    std::vector<std::string> argv{toolPath};
    if (tool == "zenity") {
        argv.push_back("--file-selection");
        argv.push_back("--title=" + request.title);
        argv.push_back("--filename=" + StartPath(request));
        if (request.save) {
            argv.push_back("--save");
            argv.push_back("--confirm-overwrite");
        } else if (request.multiple) {
            // Names may hold '|', zenity's own separator; they never hold a line break from a
            // file chooser in practice, and a path with one is refused below.
            argv.push_back("--multiple");
            argv.push_back("--separator=\n");
        }
        for (const auto& [text, patterns] : request.filters) {
            argv.push_back("--file-filter=" + text + " | " + Join(Patterns(patterns), " "));
        }
    } else if (tool == "kdialog") {
        argv.push_back(request.save ? "--getsavefilename" : "--getopenfilename");
        argv.push_back(StartPath(request));
        std::vector<std::string> filters;
        for (const auto& [text, patterns] : request.filters) {
            filters.push_back(Join(Patterns(patterns), " ") + "|" + text);
        }
        argv.push_back(Join(filters, "\n"));
        if (request.multiple && !request.save) {
            argv.push_back("--multiple");
            argv.push_back("--separate-output");
        }
        argv.push_back("--title");
        argv.push_back(request.title);
    } else {
        return {};
    }
    return argv;
}

std::string FindOnPath(const std::string& name)
{
    const char* path = std::getenv("PATH");
    if (path == nullptr || name.empty() || name.find('/') != std::string::npos) {
        return {};
    }
    std::string folders = path;
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos) {
            end = folders.size();
        }
        const std::string folder = end > start ? folders.substr(start, end - start) : ".";
        const std::string candidate = folder + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        start = end + 1;
    }
    return {};
}

int32_t RunFileDialog(EventLoop& loop, const std::function<bool(int32_t)>& onIdle,
                      const FileDialogRequest& request, std::vector<std::string>& paths)
{
    paths.clear();
    std::string tool = "zenity";
    std::string toolPath = FindOnPath(tool);
    if (toolPath.empty()) {
        tool = "kdialog";
        toolPath = FindOnPath(tool);
    }
    if (toolPath.empty()) {
        std::fprintf(stderr, "No file chooser is installed: install zenity (or kdialog) to open "
                             "and save files.\n");
        return E_FAIL;
    }
    const std::vector<std::string> argv = BuildFileDialogCommand(tool, toolPath, request);

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        return E_FAIL;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    pid_t child = 0;
    const int spawned =
        posix_spawn(&child, toolPath.c_str(), &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned != 0) {
        close(fds[0]);
        return E_FAIL;
    }

    std::string output;
    bool done = false;
    const uint32_t watch = loop.WatchDescriptor(fds[0], [&] {
        char buffer[4096];
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n > 0 && output.size() < kMaxOutputBytes) {
            output.append(buffer, static_cast<size_t>(n));
        } else if (n == 0 || (n < 0 && errno != EINTR)) {
            done = true;
        }
        return false;
    });
    const auto quit = loop.Run(
        onIdle, [&] { return !done; }, true);
    loop.UnwatchDescriptor(watch);
    close(fds[0]);
    if (quit) {
        // The program is ending: the chooser must not outlive it.
        kill(child, SIGTERM);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (quit || !WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
        output.size() >= kMaxOutputBytes) {
        return E_FAIL;
    }
    paths = SplitLines(output);
    if (!request.multiple && paths.size() > 1) {
        paths.resize(1);
    }
    return paths.empty() ? E_FAIL : S_OK;
}

} // namespace svp
