// SIGTERM, SIGINT and SIGHUP as requests to end the program, answered on the user-interface
// thread's loop: a desktop that logs out or a terminal's Ctrl+C then ends the program the way its
// close box does, instead of killing it with its settings unsaved and its devices still open.
// The handler does nothing but write the signal's number to a pipe that the loop watches.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace svp {

class EventLoop;

class TerminationSignals
{
public:
    using Handler = std::function<void(int signal)>;

    // Catches the three signals until the object goes; `onSignal` runs on the loop's thread, once
    // for each signal that came. Null when the pipe cannot be made or another object of the
    // process catches them already.
    [[nodiscard]] static std::unique_ptr<TerminationSignals> Catch(EventLoop& loop,
                                                                   Handler onSignal);

    // The signals take their default actions again.
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

private:
    TerminationSignals(EventLoop& loop, int readFd, int writeFd);
    bool OnReadable();

    EventLoop& mLoop;
    int mReadFd;
    int mWriteFd;
    uint32_t mWatchId = 0;
    Handler mOnSignal;
};

} // namespace svp
