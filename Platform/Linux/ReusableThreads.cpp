#include "ReusableThreads.h"

#include <chrono>
#include <thread>
#include <utility>

namespace svp {
namespace {

// A thread left without work this long ends.
constexpr auto kIdleLimit = std::chrono::seconds(30);

} // namespace

ReusableThreads& ReusableThreads::Shared()
{
    static auto* threads = new ReusableThreads;
    return *threads;
}

void ReusableThreads::Run(std::function<void()> job)
{
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        if (static_cast<size_t>(mIdle) > mJobs.size()) {
            mJobs.push_back(std::move(job));
            mChanged.notify_one();
            return;
        }
    }
    std::thread([this, first = std::move(job)]() mutable { Loop(std::move(first)); }).detach();
}

int32_t ReusableThreads::GetIdleCount()
{
    const std::lock_guard<std::mutex> lock(mMutex);
    return mIdle;
}

void ReusableThreads::Loop(std::function<void()> job)
{
    for (;;) {
        job();
        job = nullptr; // what the job held goes now, not when the next one comes
        std::unique_lock<std::mutex> lock(mMutex);
        ++mIdle;
        const bool hasWork = mChanged.wait_for(lock, kIdleLimit, [this] { return !mJobs.empty(); });
        --mIdle;
        if (!hasWork) {
            return;
        }
        job = std::move(mJobs.front());
        mJobs.pop_front();
    }
}

} // namespace svp
