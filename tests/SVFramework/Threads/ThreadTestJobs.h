// Jobs and synchronisation for the thread tests. The tests wait on these (condition variables
// of the standard library, independent of the code under test), never on sleeps; every wait
// has a generous safety limit so that a fault fails the test instead of hanging it.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "ResultCodes.h"
#include "Threads/ThreadWorker.h"
#include "Utilities/Storage/StringT.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

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

// The order in which jobs ran, by name.
class RunLog
{
public:
    void Add(const std::string& name)
    {
        {
            std::lock_guard lock(mMutex);
            mNames.push_back(name);
        }
        mRuns.Arrive();
    }
    bool WaitFor(int runs) { return mRuns.WaitFor(runs); }
    std::vector<std::string> Names()
    {
        std::lock_guard lock(mMutex);
        return mNames;
    }

private:
    std::mutex mMutex;
    std::vector<std::string> mNames;
    Latch mRuns;
};

// A job that reports its start, may wait at a gate, logs its name and answers a result. Its
// ToString is its name, as the thread pool names workers after their jobs.
class TestJob : public SV::LThreadWorker
{
public:
    explicit TestJob(std::string name, RunLog* log = nullptr, Gate* gate = nullptr,
                     int32_t result = S_OK)
        : mName(std::move(name)), mLog(log), mGate(gate), mResult(result)
    {}

    int32_t Run(const SV::ConstRCPtr<SV::LRefCountedObject>& parameter) override
    {
        lastParameter.store(parameter.Get());
        started.Arrive();
        if (mGate != nullptr) {
            mGate->Pass();
        }
        if (action) {
            action();
        }
        runs.fetch_add(1);
        if (mLog != nullptr) {
            mLog->Add(mName);
        }
        finished.Arrive();
        return mResult;
    }

    SV::WideString ToString() const override { return SV::WideString(mName.c_str()); }

    Latch started;
    Latch finished;
    std::atomic<int> runs{0};
    std::atomic<const SV::LRefCountedObject*> lastParameter{nullptr};
    // Runs inside the job, after the gate; set before the job is handed out.
    std::function<void()> action;

private:
    std::string mName;
    RunLog* mLog;
    Gate* mGate;
    int32_t mResult;
};

// A parameter that tells when it is destroyed.
class WatchedParameter : public virtual SV::LRefCountedObject
{
public:
    explicit WatchedParameter(Latch& destroyed) : mDestroyed(destroyed) {}
    ~WatchedParameter() override { mDestroyed.Arrive(); }

private:
    Latch& mDestroyed;
};

} // namespace svtest
