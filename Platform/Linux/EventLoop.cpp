#include "EventLoop.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <deque>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/epoll.h>
#include <system_error>
#include <unistd.h>
#include <utility>
#include <vector>

namespace svp {
namespace {

int64_t NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

struct Posted
{
    EventLoop::Task task;
    std::optional<int32_t> quit;
};

struct Timer
{
    uint32_t interval = 1;
    int64_t due = 0;
    EventLoop::Task onTick;
};

// The wake-up pipe's id among the watches' ids in the epoll set (watch ids start at 1).
constexpr uint32_t kWakeId = 0;
// Events taken per wait: one per watch and the wake-up pipe is plenty.
constexpr int kMaxEvents = 8;

struct Watch
{
    uint32_t id = 0;
    int fd = -1;
    // The loop's own copy of fd, when fd itself could not join the epoll set; else -1.
    int copy = -1;
    EventLoop::ReadyHandler onReady;
    EventLoop::QueuedTest hasQueued;
};

} // namespace

struct EventLoop::State
{
    std::mutex mutex;
    std::deque<Posted> posted; // guarded by mutex
    int wakeRead = -1;
    int wakeWrite = -1;
    std::map<uint32_t, Timer> timers;
    std::vector<Watch> watches;
    uint32_t nextId = 1;
    // The wake-up pipe and every watched descriptor, each under its id: a wait is one call that
    // does not walk the descriptors, whatever their number.
    int epollFd = -1;
    epoll_event ready[kMaxEvents] = {};
    // Set when a wait ended with no descriptor ready (a timer's tick): the idle work that follows
    // needs no look of its own before it starts, as what arrives after that wait is taken by
    // the next one just as if it had come a moment later. Only the first look is spared.
    bool descriptorsJustPolled = false;

    // Waits up to timeoutMs (-1: without limit); the ready ids are in `ready`. Answers their
    // number, or -1 on an error (EINTR included).
    int WaitReady(int timeoutMs) { return epoll_wait(epollFd, ready, kMaxEvents, timeoutMs); }

    // Of the ready ids, the watch that comes first in the list (the order watches were made),
    // or the end of the list when only the wake-up pipe or watches gone since are ready.
    std::vector<Watch>::iterator FirstReadyWatch(int count)
    {
        auto first = watches.end();
        for (int i = 0; i < count; ++i) {
            const uint32_t id = ready[i].data.u32;
            const auto it = std::find_if(watches.begin(), first,
                                         [id](const Watch& watch) { return watch.id == id; });
            if (it != first) {
                first = it;
            }
        }
        return first;
    }

    bool WakeIsReady(int count) const
    {
        for (int i = 0; i < count; ++i) {
            if (ready[i].data.u32 == kWakeId) {
                return true;
            }
        }
        return false;
    }

    void Wake() const
    {
        const char byte = 1;
        // A full pipe already holds a wake-up; nothing is lost when this write fails.
        [[maybe_unused]] const ssize_t written = write(wakeWrite, &byte, 1);
    }

    void DrainWake() const
    {
        char buffer[64];
        while (read(wakeRead, buffer, sizeof buffer) > 0) {
        }
    }

    bool HasPosted()
    {
        std::lock_guard lock(mutex);
        return !posted.empty();
    }

    // With trustLastWait, the descriptors are not polled again right after a wait that found
    // none of them ready.
    bool HasPending(bool trustLastWait)
    {
        if (HasPosted() || DueTimer(NowMs()) != timers.end()) {
            return true;
        }
        for (const Watch& watch : watches) {
            if (watch.hasQueued && watch.hasQueued()) {
                return true;
            }
        }
        const bool justPolled = std::exchange(descriptorsJustPolled, false);
        if ((trustLastWait && justPolled) || watches.empty()) {
            return false;
        }
        const int count = WaitReady(0);
        if (count <= 0) {
            return false;
        }
        if (FirstReadyWatch(count) != watches.end()) {
            return true;
        }
        // Only the wake-up pipe: emptied here, its post is seen now (it was queued before the
        // pipe was written) or was taken already.
        DrainWake();
        return HasPosted();
    }

    // The timer due first, if any is due at `now`.
    std::map<uint32_t, Timer>::iterator DueTimer(int64_t now)
    {
        auto first = timers.end();
        for (auto it = timers.begin(); it != timers.end(); ++it) {
            if (it->second.due <= now &&
                (first == timers.end() || it->second.due < first->second.due)) {
                first = it;
            }
        }
        return first;
    }

    int64_t MsToNextTimer(int64_t now) const
    {
        int64_t next = -1;
        for (const auto& [id, timer] : timers) {
            const int64_t wait = std::max<int64_t>(0, timer.due - now);
            if (next < 0 || wait < next) {
                next = wait;
            }
        }
        return next;
    }
};

EventLoop::EventLoop() : mState(std::make_unique<State>())
{
    // Without either, a wait would fail at once, every time: the loop would spin.
    mState->epollFd = epoll_create1(EPOLL_CLOEXEC);
    if (mState->epollFd < 0) {
        throw std::system_error(errno, std::generic_category(), "epoll_create1");
    }
    int fds[2];
    if (pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0) {
        const int error = errno;
        close(mState->epollFd);
        throw std::system_error(error, std::generic_category(), "pipe2");
    }
    mState->wakeRead = fds[0];
    mState->wakeWrite = fds[1];
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.u32 = kWakeId;
    epoll_ctl(mState->epollFd, EPOLL_CTL_ADD, mState->wakeRead, &event);
}

EventLoop::~EventLoop()
{
    close(mState->wakeRead);
    close(mState->wakeWrite);
    close(mState->epollFd);
}

void EventLoop::Post(Task task)
{
    {
        std::lock_guard lock(mState->mutex);
        mState->posted.push_back({std::move(task), std::nullopt});
    }
    mState->Wake();
}

void EventLoop::PostQuit(int32_t exitCode)
{
    {
        std::lock_guard lock(mState->mutex);
        mState->posted.push_back({nullptr, exitCode});
    }
    mState->Wake();
}

uint32_t EventLoop::SetTimer(uint32_t intervalMs, Task onTick)
{
    const uint32_t id = mState->nextId++;
    const uint32_t interval = std::max<uint32_t>(1, intervalMs);
    mState->timers[id] = Timer{interval, NowMs() + interval, std::move(onTick)};
    return id;
}

void EventLoop::KillTimer(uint32_t id)
{
    mState->timers.erase(id);
}

uint32_t EventLoop::WatchDescriptor(int fd, ReadyHandler onReady, QueuedTest hasQueued)
{
    const uint32_t id = mState->nextId++;
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.u32 = id;
    // A descriptor watched already (or one epoll cannot take) is watched through a copy of it.
    int watched = fd;
    if (epoll_ctl(mState->epollFd, EPOLL_CTL_ADD, fd, &event) != 0) {
        watched = fcntl(fd, F_DUPFD_CLOEXEC, 0);
        if (watched >= 0 && epoll_ctl(mState->epollFd, EPOLL_CTL_ADD, watched, &event) != 0) {
            close(watched);
            watched = -1;
        }
    }
    mState->watches.push_back(
        {id, fd, watched != fd ? watched : -1, std::move(onReady), std::move(hasQueued)});
    return id;
}

void EventLoop::UnwatchDescriptor(uint32_t id)
{
    std::erase_if(mState->watches, [this, id](const Watch& watch) {
        if (watch.id != id) {
            return false;
        }
        const int watched = watch.copy >= 0 ? watch.copy : watch.fd;
        epoll_ctl(mState->epollFd, EPOLL_CTL_DEL, watched, nullptr);
        if (watch.copy >= 0) {
            close(watch.copy);
        }
        return true;
    });
}

bool EventLoop::HasPending()
{
    return mState->HasPending(false);
}

bool EventLoop::PumpOne(int32_t timeoutMs, std::optional<int32_t>* quit, bool* restartsIdle)
{
    const int64_t deadline = timeoutMs < 0 ? -1 : NowMs() + timeoutMs;
    if (restartsIdle != nullptr) {
        *restartsIdle = true;
    }
    for (;;) {
        {
            std::unique_lock lock(mState->mutex);
            if (!mState->posted.empty()) {
                Posted item = std::move(mState->posted.front());
                mState->posted.pop_front();
                lock.unlock();
                if (item.quit) {
                    if (quit != nullptr) {
                        *quit = item.quit;
                    }
                } else if (item.task) {
                    item.task();
                }
                return true;
            }
        }
        const int64_t now = NowMs();
        if (auto due = mState->DueTimer(now); due != mState->timers.end()) {
            due->second.due = now + due->second.interval;
            Task onTick = due->second.onTick; // the tick may kill its own timer
            if (onTick) {
                onTick();
            }
            return true;
        }
        for (const Watch& watch : mState->watches) {
            if (watch.hasQueued && watch.hasQueued()) {
                ReadyHandler onReady = watch.onReady;
                const bool restart = onReady();
                if (restartsIdle != nullptr) {
                    *restartsIdle = restart;
                }
                return true;
            }
        }

        int64_t wait = mState->MsToNextTimer(now);
        if (deadline >= 0) {
            const int64_t left = std::max<int64_t>(0, deadline - now);
            wait = wait < 0 ? left : std::min(wait, left);
        }
        const int ready = mState->WaitReady(static_cast<int>(std::min<int64_t>(wait, 1 << 30)));
        if (ready < 0 && errno != EINTR) {
            return false;
        }
        mState->descriptorsJustPolled = ready == 0;
        if (ready > 0) {
            if (mState->WakeIsReady(ready)) {
                mState->DrainWake();
            }
            // Looked up by id: a handler never runs for a watch that is gone.
            const auto first = mState->FirstReadyWatch(ready);
            if (first != mState->watches.end()) {
                ReadyHandler onReady = first->onReady;
                const bool restart = onReady();
                if (restartsIdle != nullptr) {
                    *restartsIdle = restart;
                }
                return true;
            }
            continue; // only the wake-up pipe: a post is waiting
        }
        if (deadline >= 0 && NowMs() >= deadline &&
            mState->DueTimer(NowMs()) == mState->timers.end()) {
            return false;
        }
    }
}

std::optional<int32_t> EventLoop::Run(const IdleHandler& onIdle,
                                      const std::function<bool()>& keepRunning, bool nested)
{
    int32_t count = 0;
    bool idling = static_cast<bool>(onIdle);
    while (!keepRunning || keepRunning()) {
        while (idling && !mState->HasPending(true)) {
            if (!onIdle(count++)) {
                idling = false;
            }
            if (keepRunning && !keepRunning()) {
                return std::nullopt;
            }
        }
        std::optional<int32_t> quit;
        bool restart = true;
        if (!PumpOne(-1, &quit, &restart)) {
            continue;
        }
        if (quit) {
            if (nested) {
                PostQuit(*quit);
            }
            return quit;
        }
        if (restart && onIdle) {
            count = 0;
            idling = true;
        }
    }
    return std::nullopt;
}

} // namespace svp
