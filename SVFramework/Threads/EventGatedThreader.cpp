#include "Threads/EventGatedThreader.h"

#include <atomic>

namespace SV {

// Set once at construction and read by the loop; only the stop flag changes later.
struct LEventGatedThreader::State
{
    RCPtr<LEvent> gate;
    std::atomic<bool> stop{false};
    RCPtr<LThreadWorker> worker;
    ConstRCPtr<LRefCountedObject> parameter;
};

namespace {

uint32_t RunGatedLoop(const std::shared_ptr<LEventGatedThreader::State>& state)
{
    // Without a gate nothing could ever wake the loop: the thread ends without running.
    if (!state->gate) {
        return 0;
    }
    while (!state->stop.load()) {
        state->gate->Wait(INFINITE);
        if (state->stop.load()) {
            break;
        }
        if (state->worker) {
            state->worker->Run(state->parameter);
        }
    }
    return 0;
}

} // namespace

RCPtr<LEventGatedThreader>
LEventGatedThreader::Create(const RCPtr<LEvent>& gate, const RCPtr<LThreadWorker>& worker,
                            const ConstRCPtr<LRefCountedObject>& parameter, int32_t priority)
{
    return RCPtr<LEventGatedThreader>(new LEventGatedThreader(gate, worker, parameter, priority));
}

LEventGatedThreader::LEventGatedThreader(const RCPtr<LEvent>& gate,
                                         const RCPtr<LThreadWorker>& worker,
                                         const ConstRCPtr<LRefCountedObject>& parameter,
                                         int32_t priority)
    : mState(std::make_shared<State>()), mThread([state = mState] { return RunGatedLoop(state); })
{
    mState->gate = gate;
    mState->worker = worker;
    mState->parameter = parameter;
    mThread.SetPriority(priority);
    mThread.SetPriorityBoost(false);
    mThread.Resume();
}

LEventGatedThreader::~LEventGatedThreader()
{
    mState->stop.store(true);
    if (mState->gate) {
        mState->gate->Set();
    }
    mThread.Join(kStopTimeoutMilliseconds);
}

} // namespace SV
