#include "ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace svtest {
namespace {

using Clock = std::chrono::steady_clock;

int32_t RemainingMs(Clock::time_point deadline)
{
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int32_t>(std::max<int64_t>(0, left.count()));
}

int32_t StatusOf(int status)
{
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
}

} // namespace

std::optional<std::string> FindProgram(const std::string& name)
{
    if (name.find('/') != std::string::npos) {
        return access(name.c_str(), X_OK) == 0 ? std::optional<std::string>(name) : std::nullopt;
    }
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= folders.size()) {
        const size_t end = std::min(folders.find(':', start), folders.size());
        const std::string candidate = folders.substr(start, end - start) + "/" + name;
        if (end > start && access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        start = end + 1;
    }
    return std::nullopt;
}

ChildProcess::ChildProcess(const Options& options)
{
    if (options.arguments.empty()) {
        return;
    }
    const std::optional<std::string> program = FindProgram(options.arguments[0]);
    if (!program) {
        return;
    }
    // Everything the child needs is made before the fork: after it only exec-safe calls run.
    std::vector<char*> argv;
    for (const std::string& argument : options.arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    int inputPipe[2] = {-1, -1};
    int outputPipe[2] = {-1, -1};
    if ((options.pipeInput && pipe2(inputPipe, O_CLOEXEC) != 0) ||
        (options.pipeOutput && pipe2(outputPipe, O_CLOEXEC) != 0)) {
        return;
    }
    const int nullFile = open("/dev/null", O_RDWR | O_CLOEXEC);
    const int errorFile =
        options.errorFile.empty()
            ? -1
            : open(options.errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const pid_t parent = getpid();

    const pid_t pid = fork();
    if (pid == 0) {
        if (options.ownProcessGroup) {
            setpgid(0, 0);
        }
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent) {
            _exit(127); // the test ended before the child was ready to notice
        }
        dup2(options.pipeInput ? inputPipe[0] : nullFile, STDIN_FILENO);
        if (options.pipeOutput) {
            dup2(outputPipe[1], STDOUT_FILENO);
        }
        if (errorFile >= 0) {
            dup2(errorFile, STDERR_FILENO);
        }
        execve(program->c_str(), argv.data(), environ);
        _exit(127);
    }
    for (int descriptor : {inputPipe[0], outputPipe[1], nullFile, errorFile}) {
        if (descriptor >= 0) {
            close(descriptor);
        }
    }
    if (pid < 0) {
        for (int descriptor : {inputPipe[1], outputPipe[0]}) {
            if (descriptor >= 0) {
                close(descriptor);
            }
        }
        return;
    }
    if (options.ownProcessGroup) {
        setpgid(pid, pid); // also here: the child may not have run yet when the test stops it
    }
    mOwnProcessGroup = options.ownProcessGroup;
    mPid = pid;
    mInput = inputPipe[1];
    mOutput = outputPipe[0];
    if (mInput >= 0) {
        signal(SIGPIPE, SIG_IGN); // a child that has gone must not end the test with it
    }
}

ChildProcess::~ChildProcess()
{
    if (mPid > 0 && !mExitStatus) {
        Stop();
    }
    CloseInput();
    if (mOutput >= 0) {
        close(mOutput);
    }
}

bool ChildProcess::WriteLine(const std::string& line)
{
    if (mInput < 0) {
        return false;
    }
    const std::string text = line + "\n";
    size_t written = 0;
    while (written < text.size()) {
        const ssize_t count = write(mInput, text.data() + written, text.size() - written);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return false;
        }
        written += static_cast<size_t>(count);
    }
    return true;
}

void ChildProcess::CloseInput()
{
    if (mInput >= 0) {
        close(mInput);
        mInput = -1;
    }
}

std::optional<std::string> ChildProcess::ReadLine(std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        const size_t end = mPending.find('\n');
        if (end != std::string::npos) {
            std::string line = mPending.substr(0, end);
            mPending.erase(0, end + 1);
            return line;
        }
        if (mOutput < 0) {
            return std::nullopt;
        }
        pollfd watched{mOutput, POLLIN, 0};
        const int ready = poll(&watched, 1, RemainingMs(deadline));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            return std::nullopt;
        }
        char buffer[4096];
        const ssize_t count = read(mOutput, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            close(mOutput);
            mOutput = -1;
            continue; // the end: whatever is pending without a line end stays unread
        }
        mPending.append(buffer, static_cast<size_t>(count));
    }
}

std::optional<int32_t> ChildProcess::WaitForExit(std::chrono::milliseconds timeout)
{
    if (mExitStatus || mPid <= 0) {
        return mExitStatus;
    }
    // A descriptor that becomes readable when the child ends, so the wait needs no polling.
    const int exitWatch = static_cast<int>(syscall(SYS_pidfd_open, mPid, 0));
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        int status = 0;
        const pid_t ended = waitpid(mPid, &status, WNOHANG);
        if (ended == mPid) {
            mExitStatus = StatusOf(status);
            break;
        }
        if (ended < 0 && errno != EINTR) {
            mExitStatus = -1;
            break;
        }
        const int32_t left = RemainingMs(deadline);
        if (left == 0) {
            break;
        }
        if (exitWatch >= 0) {
            pollfd watched{exitWatch, POLLIN, 0};
            poll(&watched, 1, left);
        } else {
            // Kernels without pidfd: look again in a moment, still within the bound.
            pollfd none{-1, 0, 0};
            poll(&none, 0, std::min<int32_t>(left, 10));
        }
    }
    if (exitWatch >= 0) {
        close(exitWatch);
    }
    return mExitStatus;
}

int32_t ChildProcess::Stop(std::chrono::milliseconds grace)
{
    if (mPid <= 0) {
        return -1;
    }
    if (!mExitStatus) {
        const pid_t target = mOwnProcessGroup ? -mPid : mPid;
        kill(target, SIGTERM);
        if (!WaitForExit(grace)) {
            kill(target, SIGKILL);
            WaitForExit(std::chrono::seconds(10));
        }
    }
    return mExitStatus.value_or(-1);
}

} // namespace svtest
