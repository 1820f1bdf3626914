// The one loop of the user-interface thread: it sleeps in epoll_wait() until a descriptor it
// watches is readable (the X connection, the single-instance socket, a child process's pipe), a
// timer is due or another thread posts work through its wake-up pipe, and runs what became ready.
// Idle work runs only while nothing is pending; a quit request ends the outermost loop.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace svp {

class EventLoop
{
public:
    using Task = std::function<void()>;
    // Called with the idle count (0, 1, 2, ...) while nothing is pending; true asks for more.
    using IdleHandler = std::function<bool(int32_t count)>;
    // Runs what a descriptor delivered; true when it was an event that restarts idle work.
    using ReadyHandler = std::function<bool()>;
    // For sources that buffer input of their own (Xlib): true when input is queued in memory
    // that the descriptor's readiness does not show.
    using QueuedTest = std::function<bool()>;

    EventLoop();
    ~EventLoop();
    EventLoop(const EventLoop&) = delete;
    EventLoop& operator=(const EventLoop&) = delete;

    // Any thread. Tasks run in the order they were posted, on the loop's thread.
    void Post(Task task);
    // Any thread. Queued behind the tasks posted before it; the loop that meets it ends.
    void PostQuit(int32_t exitCode);

    // Loop thread only. A timer fires every `intervalMs` (at least 1) until it is killed; a
    // timer that fell behind fires once, not once per missed period. Answers the timer's id.
    [[nodiscard]] uint32_t SetTimer(uint32_t intervalMs, Task onTick);
    void KillTimer(uint32_t id);

    // Loop thread only. The descriptor is not owned. Answers the watch's id.
    [[nodiscard]] uint32_t WatchDescriptor(int fd, ReadyHandler onReady,
                                           QueuedTest hasQueued = nullptr);
    void UnwatchDescriptor(uint32_t id);

    // True when a posted task, a due timer, queued input or a readable descriptor waits.
    [[nodiscard]] bool HasPending();

    // Waits up to timeoutMs (-1: without limit) and runs one ready item. Answers false when
    // nothing ran; sets `quit` when the item was a quit request (which is then consumed).
    bool PumpOne(int32_t timeoutMs, std::optional<int32_t>* quit = nullptr,
                 bool* restartsIdle = nullptr);

    // Runs until a quit request arrives (its exit code is the answer) or keepRunning answers
    // false (the answer is then empty). Between events, idle work runs with the count rules
    // above: the count starts at 0 after every event that restarts idle and grows while the
    // handler asks for more. A nested loop that meets a quit request posts it again, so that
    // the outer loop ends too.
    std::optional<int32_t> Run(const IdleHandler& onIdle,
                               const std::function<bool()>& keepRunning = nullptr,
                               bool nested = false);

private:
    struct State;
    std::unique_ptr<State> mState;
};

} // namespace svp
