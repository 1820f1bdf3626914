// A JACK server for the tests that cross a process boundary: `jackd --no-realtime -d dummy`
// under a name of its own, so runs in parallel never meet. Starting it sets JACK_DEFAULT_SERVER
// (and JACK_NO_START_SERVER) in this process, so the MIDI layer and every program started after
// it use that server and never start one; stopping it ends the server and its process group and
// removes what it left in /dev/shm. Before it starts, what servers that ended without cleaning up
// left in JACK's registry is cleared.
#pragma once

#include "ChildProcess.h"

#include <memory>
#include <string>

namespace svtest {

class JackServer
{
public:
    // Starts the server and waits (polling, at most 10 s) until clients can connect to it. A
    // short period makes the server's cycle, and so its callbacks, come often.
    explicit JackServer(int32_t framesPerPeriod = 1024);
    ~JackServer();
    JackServer(const JackServer&) = delete;
    JackServer& operator=(const JackServer&) = delete;

    bool IsRunning() const { return mRunning; }
    const std::string& GetName() const { return mName; }
    // Why the server is not running: a reason for skipping or failing the test.
    const std::string& GetProblem() const { return mProblem; }
    // True when the server's programs are missing, so the tests have nothing to run on.
    bool IsMissing() const { return mMissing; }

private:
    bool IsAnswering();

    std::string mName;
    std::string mLogPath;
    std::unique_ptr<ChildProcess> mServer;
    bool mRunning = false;
    bool mMissing = false;
    std::string mProblem;
};

} // namespace svtest
