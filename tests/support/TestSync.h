// Waits for tests that cross threads: condition variables of the standard library, independent
// of the code under test, never sleeps. Every wait has a generous safety limit, so that a fault
// fails the test instead of hanging it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace svtest {

constexpr std::chrono::seconds kSafetyLimit{30};

// Counts arrivals; a test waits until a number of them have happened.
class Latch
{
public:
    void Arrive()
    {
        std::lock_guard lock(mMutex);
        ++mCount;
        mChanged.notify_all();
    }
    bool WaitFor(int count)
    {
        std::unique_lock lock(mMutex);
        return mChanged.wait_for(lock, kSafetyLimit, [&] { return mCount >= count; });
    }
    int Count()
    {
        std::lock_guard lock(mMutex);
        return mCount;
    }

private:
    std::mutex mMutex;
    std::condition_variable mChanged;
    int mCount = 0;
};

// Closed until opened, then open for good.
class Gate
{
public:
    void Open()
    {
        std::lock_guard lock(mMutex);
        mOpen = true;
        mChanged.notify_all();
    }
    bool Pass()
    {
        std::unique_lock lock(mMutex);
        return mChanged.wait_for(lock, kSafetyLimit, [&] { return mOpen; });
    }

private:
    std::mutex mMutex;
    std::condition_variable mChanged;
    bool mOpen = false;
};

} // namespace svtest
