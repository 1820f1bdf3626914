// Threads for jobs that come and go often, such as the loop of each open MIDI device: a job runs
// on a thread that waits for work when there is one, else on a new thread, which afterwards
// waits for the next job a while before it ends. Opening and closing a device then costs no
// thread creation and no join. Internal to the platform layer.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>

namespace svp {

class ReusableThreads
{
public:
    // The process's threads; never destroyed, as waiting threads may outlive everything else.
    static ReusableThreads& Shared();

    // Runs the job on another thread. What the job holds is released when it returns.
    void Run(std::function<void()> job);
    // Threads waiting for work right now.
    int32_t GetIdleCount();

private:
    void Loop(std::function<void()> job);

    std::mutex mMutex;
    std::condition_variable mChanged;
    std::deque<std::function<void()>> mJobs;
    int32_t mIdle = 0;
};

} // namespace svp
