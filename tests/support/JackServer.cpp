#include "JackServer.h"

#include "JackShmRegistry.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace svtest {
namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kStartLimit = std::chrono::seconds(10);
constexpr auto kPollInterval = std::chrono::milliseconds(20);

std::string UniqueServerName()
{
    static std::atomic<int32_t> counter{0};
    return "svtest-" + std::to_string(getpid()) + "-" + std::to_string(++counter);
}

std::string ReadText(const std::string& path)
{
    std::ifstream file(path);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

} // namespace

JackServer::JackServer(int32_t framesPerPeriod) : mName(UniqueServerName())
{
    if (!FindProgram("jackd") || !FindProgram("jack_wait")) {
        mMissing = true;
        mProblem = "jackd is not installed (Debian package jackd2)";
        return;
    }
    // Nothing in this process, nor anything it starts, may start a server of its own.
    setenv("JACK_NO_START_SERVER", "1", 1);
    setenv("JACK_DEFAULT_SERVER", mName.c_str(), 1);

    const char* temporary = std::getenv("TMPDIR");
    mLogPath = std::string(temporary != nullptr && temporary[0] != 0 ? temporary : "/tmp") + "/" +
               mName + ".log";
    ChildProcess::Options options;
    // Synchronous mode with a long client time-out and period: on a loaded machine a client that
    // is late makes the cycle late rather than losing the MIDI events of that cycle.
    options.arguments = {"jackd", "--no-realtime", "-S", "-t", "5000", "-n", mName};
    const std::vector<std::string> driver = {"-d",    "dummy", "-r",
                                             "48000", "-p",    std::to_string(framesPerPeriod)};
    options.arguments.insert(options.arguments.end(), driver.begin(), driver.end());
    options.pipeOutput = true; // its chatter stays out of the test's output
    options.errorFile = mLogPath;
    options.ownProcessGroup = true;
    // Servers killed earlier on this machine leave registry entries that would keep this one
    // from starting.
    JackShmRegistry().ReclaimEndedServers();
    mServer = std::make_unique<ChildProcess>(options);
    if (!mServer->IsStarted()) {
        mProblem = "jackd could not be started";
        return;
    }
    const auto deadline = Clock::now() + kStartLimit;
    while (Clock::now() < deadline) {
        if (IsAnswering()) {
            mRunning = true;
            return;
        }
        // Waiting for the server to end doubles as the pause between two looks.
        if (const auto status = mServer->WaitForExit(kPollInterval)) {
            mProblem =
                "jackd ended with status " + std::to_string(*status) + ": " + ReadText(mLogPath);
            return;
        }
    }
    mProblem = "jackd did not answer within 10 s: " + ReadText(mLogPath);
}

JackServer::~JackServer()
{
    if (mServer) {
        mServer->Stop();
        mServer.reset();
        JackShmRegistry().RemoveServerFiles(mName);
    }
    if (!mLogPath.empty()) {
        std::remove(mLogPath.c_str());
    }
}

bool JackServer::IsAnswering()
{
    ChildProcess::Options options;
    options.arguments = {"jack_wait", "--check", "--server", mName};
    options.pipeOutput = true;
    options.errorFile = "/dev/null"; // its complaints while the server is still coming up
    ChildProcess check(options);
    if (!check.IsStarted()) {
        return false;
    }
    const std::optional<std::string> answer = check.ReadLine(std::chrono::seconds(5));
    check.WaitForExit(std::chrono::seconds(5));
    return answer && *answer == "running";
}

} // namespace svtest
