// A program started by a test, with its standard input and output as pipes when asked. The
// child gets SIGTERM when the test process ends (also when it is killed), so no server outlives a
// crashed test; every wait on it is bounded, and a stopped child is always reaped.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace svtest {

class ChildProcess
{
public:
    struct Options
    {
        std::vector<std::string> arguments; // the program first; looked up in PATH
        bool pipeInput = false;             // else /dev/null
        bool pipeOutput = false;            // else the test's standard output
        std::string errorFile;              // where standard error goes; empty: the test's
        // In a process group of its own, stopped as a whole: what it starts goes with it, and a
        // signal meant for the test's terminal group does not reach it.
        bool ownProcessGroup = false;
    };

    explicit ChildProcess(const Options& options);
    // Stops the child (see Stop) when it still runs.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // False when the program could not be started (not found, not executable).
    bool IsStarted() const { return mPid > 0; }
    int32_t GetPid() const { return mPid; }

    bool WriteLine(const std::string& line);
    void CloseInput();
    // The next line of its standard output without the line end; nothing on time-out or end.
    std::optional<std::string> ReadLine(std::chrono::milliseconds timeout);

    // Waits up to timeout for the child to end; its exit status (or 128 + signal) when it did.
    std::optional<int32_t> WaitForExit(std::chrono::milliseconds timeout);
    // SIGTERM, then SIGKILL when it has not ended within grace (to its whole group when it has
    // one); returns the exit status.
    int32_t Stop(std::chrono::milliseconds grace = std::chrono::seconds(5));

private:
    int32_t mPid = -1;
    int mInput = -1;
    int mOutput = -1;
    std::string mPending; // output read but not yet returned as a line
    std::optional<int32_t> mExitStatus;
    bool mOwnProcessGroup = false;
};

// The full path of a program found in PATH, or nothing.
std::optional<std::string> FindProgram(const std::string& name);

} // namespace svtest
