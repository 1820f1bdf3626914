#include "TerminationSignals.h"

#include "EventLoop.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace svp {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The pipe's writing end while an object catches the signals, else -1, and the handlers that
// may be using it right now. Lock-free, so the handler may use them.
std::atomic<int> sWriteFd{-1};
std::atomic<int> sHandlersRunning{0};
static_assert(std::atomic<int>::is_always_lock_free);

// Runs on whichever thread the signal interrupts: only calls that are safe there.
extern "C" void WriteSignalToPipe(int signal)
{
    const int savedErrno = errno;
    ++sHandlersRunning;
    const auto byte = static_cast<unsigned char>(signal);
    // A full pipe already holds requests enough; a lost byte changes nothing.
    [[maybe_unused]] const ssize_t written = write(sWriteFd.load(), &byte, 1);
    --sHandlersRunning;
    errno = savedErrno;
}

void SetAction(void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    // Calls that other threads are blocked in go on after the handler.
    action.sa_flags = SA_RESTART;
    for (const int signal : kSignals) {
        sigaction(signal, &action, nullptr);
    }
}

} // namespace

std::unique_ptr<TerminationSignals> TerminationSignals::Catch(EventLoop& loop, Handler onSignal)
{
    int fds[2];
    if (pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0) {
        return nullptr;
    }
    int none = -1;
    if (!sWriteFd.compare_exchange_strong(none, fds[1])) {
        close(fds[0]);
        close(fds[1]);
        return nullptr;
    }
    std::unique_ptr<TerminationSignals> signals(new TerminationSignals(loop, fds[0], fds[1]));
    signals->mOnSignal = std::move(onSignal);
    signals->mWatchId =
        loop.WatchDescriptor(fds[0], [raw = signals.get()] { return raw->OnReadable(); });
    SetAction(&WriteSignalToPipe);
    return signals;
}

TerminationSignals::TerminationSignals(EventLoop& loop, int readFd, int writeFd)
    : mLoop(loop), mReadFd(readFd), mWriteFd(writeFd)
{}

TerminationSignals::~TerminationSignals()
{
    SetAction(SIG_DFL);
    mLoop.UnwatchDescriptor(mWatchId);
    // A handler that started before the default action came back may still be writing: the pipe
    // is closed only once none can reach it (one that starts now finds no pipe).
    sWriteFd.store(-1);
    while (sHandlersRunning.load() > 0) {
        std::this_thread::yield();
    }
    close(mReadFd);
    close(mWriteFd);
}

bool TerminationSignals::OnReadable()
{
    unsigned char signals[16];
    const ssize_t count = read(mReadFd, signals, sizeof signals);
    for (ssize_t index = 0; index < count; ++index) {
        if (mOnSignal) {
            mOnSignal(signals[index]);
        }
    }
    return count > 0;
}

} // namespace svp
