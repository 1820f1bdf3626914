#include "Threads/RetriggerableThreader.h"

#include "ResultCodes.h"

#include <atomic>

namespace SV {

struct RetriggerableThreader::State
{
    Event trigger{true};
    std::atomic<int32_t> lastResult{0};
    // Guards the fields below: the triggering thread writes them while the threader is idle,
    // the loop takes them over after each wake.
    std::mutex lock;
    bool busy = false;
    bool stop = false;
    RCPtr<LThreadWorker> worker;
    ConstRCPtr<LRefCountedObject> parameter;
    RCPtr<LEvent> completion;
};

namespace {

using State = RetriggerableThreader::State;

// Ends the job that was woken for: clears the busy flag before the completion event is set,
// so whoever waits on that event finds the threader free.
void FinishJob(State& state)
{
    RCPtr<LEvent> completion;
    {
        std::lock_guard lock(state.lock);
        completion = std::move(state.completion);
        state.busy = false;
    }
    if (completion) {
        completion->Set();
    }
}

uint32_t RunLoop(const std::shared_ptr<State>& state)
{
    bool stopping = false;
    while (!stopping) {
        state->trigger.Wait(INFINITE);
        RCPtr<LThreadWorker> worker;
        ConstRCPtr<LRefCountedObject> parameter;
        {
            std::lock_guard lock(state->lock);
            worker = std::move(state->worker);
            parameter = std::move(state->parameter);
            stopping = state->stop;
        }
        if (!stopping && worker) {
            int32_t result = E_FAIL;
            try {
                result = worker->Run(parameter);
            } catch (...) {
                // A failing job must not take the thread down with it: its completion is
                // still signalled, so nobody waits for it for ever.
            }
            state->lastResult.store(result);
        }
        // The job's objects go before its completion is signalled, parameter first.
        parameter = nullptr;
        worker = nullptr;
        FinishJob(*state);
        std::lock_guard lock(state->lock);
        stopping = state->stop;
    }
    // A job given between the last wake and the stop is dropped, and its completion signalled.
    RCPtr<LThreadWorker> worker;
    ConstRCPtr<LRefCountedObject> parameter;
    {
        std::lock_guard lock(state->lock);
        worker = std::move(state->worker);
        parameter = std::move(state->parameter);
    }
    parameter = nullptr;
    worker = nullptr;
    FinishJob(*state);
    return 0;
}

} // namespace

RetriggerableThreader::RetriggerableThreader() : RetriggerableThreader(WideString())
{}

RetriggerableThreader::RetriggerableThreader(const WideString& name)
    : mState(std::make_shared<State>()), mThread([state = mState] { return RunLoop(state); }),
      mName(name)
{
    mThread.SetPriorityBoost(false);
    mThread.Resume();
}

RetriggerableThreader::~RetriggerableThreader()
{
    RequestStop();
    Join(kStopTimeoutMilliseconds);
}

int32_t RetriggerableThreader::Trigger(const RCPtr<LThreadWorker>& worker,
                                       const ConstRCPtr<LRefCountedObject>& parameter,
                                       const RCPtr<LEvent>& completion, int32_t priority)
{
    return Start(worker, parameter, completion, priority);
}

int32_t
RetriggerableThreader::TriggerWithoutDoneEvent(const RCPtr<LThreadWorker>& worker,
                                               const ConstRCPtr<LRefCountedObject>& parameter,
                                               int32_t priority)
{
    return Start(worker, parameter, nullptr, priority);
}

int32_t RetriggerableThreader::Start(const RCPtr<LThreadWorker>& worker,
                                     const ConstRCPtr<LRefCountedObject>& parameter,
                                     const RCPtr<LEvent>& completion, int32_t priority)
{
    {
        std::lock_guard lock(mState->lock);
        if (mState->stop || !mThread.IsValid()) {
            return E_FAIL;
        }
        if (mState->busy) {
            if (!mThread.IsFinished()) {
                return E_FAIL;
            }
            mState->busy = false;
        }
        mThread.SetPriority(priority);
        mState->worker = worker;
        mState->parameter = parameter;
        mState->completion = completion;
        if (completion) {
            completion->Reset();
        }
        mState->busy = true;
    }
    return mState->trigger.Set() ? S_OK : E_FAIL;
}

bool RetriggerableThreader::IsBusy()
{
    std::lock_guard lock(mState->lock);
    if (mState->busy && mThread.IsFinished()) {
        mState->busy = false;
    }
    return mState->busy;
}

void RetriggerableThreader::RequestStop()
{
    {
        std::lock_guard lock(mState->lock);
        mState->stop = true;
    }
    mState->trigger.Set();
}

bool RetriggerableThreader::Join(int32_t milliseconds)
{
    return mThread.Join(milliseconds);
}

int32_t RetriggerableThreader::GetLastResult() const
{
    return mState->lastResult.load();
}

WideString RetriggerableThreader::ToString() const
{
    std::lock_guard lock(mNameLock);
    return mName;
}

void RetriggerableThreader::SetName(const WideString& name)
{
    std::lock_guard lock(mNameLock);
    mName = name;
}

} // namespace SV
