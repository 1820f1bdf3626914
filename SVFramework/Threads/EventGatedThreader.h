// A thread that runs its one job each time its gate event is set, from creation to
// destruction: the device-communication layer's thread.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "Threads/Event.h"
#include "Threads/Thread.h"
#include "Threads/ThreadWorker.h"

#include <cstdint>
#include <memory>

namespace SV {

class LEventGatedThreader : public virtual LRefCountedObject
{
public:
    // How long destruction waits for a running job to end.
    static constexpr int32_t kStopTimeoutMilliseconds = 60000;

    // A running threader at the given Windows thread priority, waiting for its gate.
    static RCPtr<LEventGatedThreader> Create(const RCPtr<LEvent>& gate,
                                             const RCPtr<LThreadWorker>& worker,
                                             const ConstRCPtr<LRefCountedObject>& parameter,
                                             int32_t priority);

    // Stops the loop after the current run and waits for it up to kStopTimeoutMilliseconds;
    // a run that takes longer goes on safely, the thread owns what its loop uses. Released by
    // its own job, the threader ends its loop once that run returns.
    ~LEventGatedThreader() override;

    Thread& GetThread() { return mThread; }
    const Thread& GetThread() const { return mThread; }

    struct State;

private:
    LEventGatedThreader(const RCPtr<LEvent>& gate, const RCPtr<LThreadWorker>& worker,
                        const ConstRCPtr<LRefCountedObject>& parameter, int32_t priority);

    std::shared_ptr<State> mState;
    Thread mThread;
};

} // namespace SV
