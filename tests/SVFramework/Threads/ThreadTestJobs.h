// Jobs for the thread tests; they report through the waits of TestSync.h, never through sleeps.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "ResultCodes.h"
#include "Threads/ThreadWorker.h"
#include "Utilities/Storage/StringT.h"

#include "TestSync.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace svtest {

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
