// The keyboard simulator run as its own program (keyboard-simulator) on the JACK server this
// process uses, driven through its standard input: one command a line, each answered "ok" or
// "error ..." on its standard output, where every message the keyboard receives is reported as
// "received <hex bytes>". The commands:
//   answer normal | silent | late <ms> | length <n> | twice [<program hex>]
//   answer pieces <size>... [wire]    pieces in buffers of their own, or one after another
//   program <slot> <hex>              sets a slot (14 bytes)
//   show <slot>                       answers "program <slot> <hex>" before "ok"
//   deliver <hex>                     sends one message to the program's input
//   quit
#pragma once

#include "ChildProcess.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace svtest {

class KeyboardSimulatorProcess
{
public:
    using Bytes = std::vector<uint8_t>;

    // Starts the program and waits until its JACK ports are up; IsReady tells.
    explicit KeyboardSimulatorProcess(const std::string& executable);
    // Quits it, and stops it when it does not end in time.
    ~KeyboardSimulatorProcess();
    KeyboardSimulatorProcess(const KeyboardSimulatorProcess&) = delete;
    KeyboardSimulatorProcess& operator=(const KeyboardSimulatorProcess&) = delete;

    bool IsReady() const { return mReady; }
    const std::string& GetProblem() const { return mProblem; }

    // Sends a command and waits for its "ok"; lines it printed before are returned in output.
    bool Command(const std::string& line, std::vector<std::string>* output = nullptr);
    // Waits until at least count messages have been reported received.
    bool WaitForReceived(size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(5));
    const std::vector<Bytes>& GetReceived() const { return mReceived; }

private:
    // Reads one line, filing a "received" report; false on time-out or end.
    bool ReadOne(std::chrono::steady_clock::time_point deadline, std::string& line);
    static bool IsReport(const std::string& line);

    std::unique_ptr<ChildProcess> mProcess;
    bool mReady = false;
    std::string mProblem;
    std::vector<Bytes> mReceived;
};

} // namespace svtest
