// A thread that runs one job each time it is triggered and signals the job's completion event
// when the job is done: the engine's thread and the thread pool's dispatcher and workers.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "Threads/Event.h"
#include "Threads/Thread.h"
#include "Threads/ThreadWorker.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>
#include <memory>
#include <mutex>

namespace SV {

class RetriggerableThreader : public IStringable
{
public:
    // How long destruction waits for a running job to end.
    static constexpr int32_t kStopTimeoutMilliseconds = 60000;

    RetriggerableThreader();
    explicit RetriggerableThreader(const WideString& name);
    RetriggerableThreader(const RetriggerableThreader&) = delete;
    RetriggerableThreader& operator=(const RetriggerableThreader&) = delete;
    // Stops the loop after the current job and waits for it up to kStopTimeoutMilliseconds. A
    // job that runs longer goes on safely: the thread owns what its loop uses.
    ~RetriggerableThreader() override;

    // Runs the worker with the parameter at the given Windows thread priority. The completion
    // event is reset now and set once the job is done and its objects are released. E_FAIL
    // when the threader is stopping or still busy with a job (nothing changes then), else 0.
    int32_t Trigger(const RCPtr<LThreadWorker>& worker,
                    const ConstRCPtr<LRefCountedObject>& parameter, const RCPtr<LEvent>& completion,
                    int32_t priority);
    int32_t TriggerWithoutDoneEvent(const RCPtr<LThreadWorker>& worker,
                                    const ConstRCPtr<LRefCountedObject>& parameter,
                                    int32_t priority);

    // true from a successful Trigger until the job is done; a threader whose thread has ended
    // is not busy any more.
    bool IsBusy();
    // Sets the stop flag and wakes the loop, which ends without running another job.
    void RequestStop();
    bool Join(int32_t milliseconds);

    int32_t GetLastResult() const;
    Thread& GetThread() { return mThread; }
    const Thread& GetThread() const { return mThread; }

    // The name (the thread pool names each worker after the job it was given last).
    WideString ToString() const override;
    void SetName(const WideString& name);

    struct State;

private:
    int32_t Start(const RCPtr<LThreadWorker>& worker,
                  const ConstRCPtr<LRefCountedObject>& parameter, const RCPtr<LEvent>& completion,
                  int32_t priority);

    // Shared with the thread's loop, which may outlive this object.
    std::shared_ptr<State> mState;
    Thread mThread;
    mutable std::mutex mNameLock;
    WideString mName;
};

} // namespace SV
