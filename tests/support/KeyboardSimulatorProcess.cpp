#include "KeyboardSimulatorProcess.h"

#include "HexBytes.h"

namespace svtest {
namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kStartLimit = std::chrono::seconds(10);
constexpr auto kCommandLimit = std::chrono::seconds(10);
const std::string kReceivedPrefix = "received ";

} // namespace

KeyboardSimulatorProcess::KeyboardSimulatorProcess(const std::string& executable)
{
    ChildProcess::Options options;
    options.arguments = {executable};
    options.pipeInput = true;
    options.pipeOutput = true;
    mProcess = std::make_unique<ChildProcess>(options);
    if (!mProcess->IsStarted()) {
        mProblem = "cannot start " + executable;
        return;
    }
    std::string line;
    const auto deadline = Clock::now() + kStartLimit;
    while (ReadOne(deadline, line)) {
        if (line == "ready") {
            mReady = true;
            return;
        }
        if (!IsReport(line)) {
            mProblem += line + "\n";
        }
    }
    mProblem = "the simulator did not get ready: " + mProblem;
}

KeyboardSimulatorProcess::~KeyboardSimulatorProcess()
{
    if (mProcess->IsStarted()) {
        mProcess->WriteLine("quit");
        mProcess->CloseInput();
        if (!mProcess->WaitForExit(std::chrono::seconds(5))) {
            mProcess->Stop();
        }
    }
}

bool KeyboardSimulatorProcess::Command(const std::string& command, std::vector<std::string>* output)
{
    if (!mProcess->WriteLine(command)) {
        return false;
    }
    std::string line;
    const auto deadline = Clock::now() + kCommandLimit;
    while (ReadOne(deadline, line)) {
        if (line == "ok") {
            return true;
        }
        if (line.rfind("error", 0) == 0) {
            mProblem = line;
            return false;
        }
        if (output != nullptr && !IsReport(line)) {
            output->push_back(line);
        }
    }
    return false;
}

bool KeyboardSimulatorProcess::WaitForReceived(size_t count, std::chrono::milliseconds timeout)
{
    std::string line;
    const auto deadline = Clock::now() + timeout;
    while (mReceived.size() < count) {
        if (!ReadOne(deadline, line)) {
            return false;
        }
    }
    return true;
}

bool KeyboardSimulatorProcess::ReadOne(Clock::time_point deadline, std::string& line)
{
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) {
        return false;
    }
    std::optional<std::string> read = mProcess->ReadLine(left);
    if (!read) {
        return false;
    }
    if (IsReport(*read)) {
        mReceived.push_back(FromHex(read->substr(kReceivedPrefix.size())).value_or(Bytes{}));
    }
    line = std::move(*read);
    return true;
}

bool KeyboardSimulatorProcess::IsReport(const std::string& line)
{
    return line.rfind(kReceivedPrefix, 0) == 0;
}

} // namespace svtest
