// An X server of the end-to-end tests' own: Xvfb on the first free display number, with DISPLAY
// pointing at it while it runs. The editor's windows, its focus and the XTest pointer then meet
// no other program's windows, and the tests disturb no other test that shares the caller's
// display. Without Xvfb the caller's display is kept.
#pragma once

#include "ChildProcess.h"
#include "ScopedEnvironment.h"

#include <memory>
#include <string>

namespace svtest {

class PrivateXServer
{
public:
    // Starts the server and waits (at most 10 s) until clients can connect to it.
    PrivateXServer();
    // Ends the server; DISPLAY is what it was before.
    ~PrivateXServer();
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    bool IsRunning() const { return mServer != nullptr; }
    // Why there is no server of our own: Xvfb missing, or no display number could be had.
    const std::string& GetProblem() const { return mProblem; }

private:
    bool StartOn(int number, const std::string& program);

    std::unique_ptr<ChildProcess> mServer;
    ScopedEnvironment mEnvironment;
    std::string mProblem;
};

} // namespace svtest
