#include "EventLoop.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <deque>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <poll.h>
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

struct Watch
{
    uint32_t id = 0;
    int fd = -1;
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
    // Kept between waits, so that a wait allocates nothing.
    std::vector<pollfd> pollFds;
    // Set when a wait ended with no descriptor ready (a timer's tick): the idle work that follows
    // needs no poll() of its own before it starts, as what arrives after that wait is taken by
    // the next one just as if it had come a moment later. Only the first look is spared.
    bool descriptorsJustPolled = false;

    // The wake-up pipe first, then the watched descriptors in their order.
    void FillPollFds(bool withWakePipe)
    {
        pollFds.clear();
        if (withWakePipe) {
            pollFds.push_back({wakeRead, POLLIN, 0});
        }
        for (const Watch& watch : watches) {
            pollFds.push_back({watch.fd, POLLIN, 0});
        }
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
        FillPollFds(false);
        return poll(pollFds.data(), pollFds.size(), 0) > 0;
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
    int fds[2];
    if (pipe2(fds, O_NONBLOCK | O_CLOEXEC) == 0) {
        mState->wakeRead = fds[0];
        mState->wakeWrite = fds[1];
    }
}

EventLoop::~EventLoop()
{
    if (mState->wakeRead >= 0) {
        close(mState->wakeRead);
        close(mState->wakeWrite);
    }
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
    mState->watches.push_back({id, fd, std::move(onReady), std::move(hasQueued)});
    return id;
}

void EventLoop::UnwatchDescriptor(uint32_t id)
{
    std::erase_if(mState->watches, [id](const Watch& watch) { return watch.id == id; });
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

        mState->FillPollFds(true);
        std::vector<pollfd>& fds = mState->pollFds;
        int64_t wait = mState->MsToNextTimer(now);
        if (deadline >= 0) {
            const int64_t left = std::max<int64_t>(0, deadline - now);
            wait = wait < 0 ? left : std::min(wait, left);
        }
        const int ready =
            poll(fds.data(), fds.size(), static_cast<int>(std::min<int64_t>(wait, 1 << 30)));
        if (ready < 0 && errno != EINTR) {
            return false;
        }
        mState->descriptorsJustPolled = ready == 0;
        if (ready > 0) {
            if (fds[0].revents != 0) {
                mState->DrainWake();
            }
            for (size_t i = 1; i < fds.size(); ++i) {
                if (fds[i].revents == 0) {
                    continue;
                }
                // Look the watch up again by descriptor: the list may not have changed, but a
                // handler must never run for a watch that is gone.
                const auto it =
                    std::find_if(mState->watches.begin(), mState->watches.end(),
                                 [fd = fds[i].fd](const Watch& watch) { return watch.fd == fd; });
                if (it == mState->watches.end()) {
                    continue;
                }
                ReadyHandler onReady = it->onReady;
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
