#include "PrivateXServer.h"

#include <X11/Xlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace svtest {

namespace {

using namespace std::chrono_literals;

constexpr int kFirstNumber = 200;
constexpr int kNumbers = 400;

bool IsTaken(int number)
{
    const std::string n = std::to_string(number);
    return std::filesystem::exists("/tmp/.X11-unix/X" + n) ||
           std::filesystem::exists("/tmp/.X" + n + "-lock");
}

bool Answers(const std::string& name)
{
    Display* display = XOpenDisplay(name.c_str());
    if (display == nullptr) {
        return false;
    }
    XCloseDisplay(display);
    return true;
}

} // namespace

PrivateXServer::PrivateXServer()
{
    const std::optional<std::string> program = FindProgram("Xvfb");
    if (!program) {
        mProblem = "Xvfb is not installed";
        return;
    }
    // Processes started side by side begin their search at different numbers.
    const int offset = static_cast<int>(::getpid()) % kNumbers;
    for (int i = 0; i < kNumbers; ++i) {
        const int number = kFirstNumber + (offset + i) % kNumbers;
        if (!IsTaken(number) && StartOn(number, *program)) {
            mEnvironment.Set("DISPLAY", (":" + std::to_string(number)).c_str());
            return;
        }
    }
    mProblem = "no free display number for Xvfb";
}

PrivateXServer::~PrivateXServer()
{
    if (mServer) {
        mServer->Stop();
    }
}

bool PrivateXServer::StartOn(int number, const std::string& program)
{
    const std::string name = ":" + std::to_string(number);
    ChildProcess::Options options;
    options.arguments = {program,        name,        "-screen", "0",
                         "1280x1024x24", "-nolisten", "tcp",     "-noreset"};
    options.errorFile = "/dev/null";
    options.ownProcessGroup = true;
    auto server = std::make_unique<ChildProcess>(options);
    if (!server->IsStarted()) {
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (std::chrono::steady_clock::now() < deadline) {
        // A server that ends at once found the number taken by another one starting beside it.
        if (server->WaitForExit(20ms).has_value()) {
            return false;
        }
        if (Answers(name)) {
            mServer = std::move(server);
            return true;
        }
    }
    server->Stop();
    return false;
}

} // namespace svtest
