// A fixed set of worker threads that run LThreadWorker jobs, with a priority-ordered queue for
// jobs that find no free worker and a dispatcher thread that hands queued jobs to workers as
// they become free. The MIDI port layer runs the handling of captured MIDI data on one.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "Threads/EventPool.h"
#include "Threads/Mutex.h"
#include "Threads/RetriggerableThreader.h"
#include "Threads/ReuseAllocator.h"
#include "Threads/ThreadWorker.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>

namespace SV {

class LThreadPool : public LThreadWorker
{
public:
    // One queued job: its worker, its parameter and its priority, which orders the queue and
    // is the thread priority the job runs at. Recycled through a process-wide pool.
    class LWorkerParams : public virtual LRefCountedObject, public ReusePooled<LWorkerParams>
    {
    public:
        LWorkerParams(const RCPtr<LThreadWorker>& worker,
                      const ConstRCPtr<LRefCountedObject>& parameter, int32_t priority)
            : mWorker(worker), mParameter(parameter), mPriority(priority)
        {}

        const RCPtr<LThreadWorker>& GetWorker() const { return mWorker; }
        const ConstRCPtr<LRefCountedObject>& GetParameter() const { return mParameter; }
        int32_t GetPriority() const { return mPriority; }

    private:
        RCPtr<LThreadWorker> mWorker;
        ConstRCPtr<LRefCountedObject> mParameter;
        int32_t mPriority;
    };

    // How long Shutdown waits for each of the pool's threads.
    static constexpr int32_t kStopTimeoutMilliseconds = 60000;

    static RCPtr<LThreadPool> CreateThreadPool(int32_t workerCount, int32_t dispatcherPriority);
    static RCPtr<LWorkerParams> CreateWorkerParams(const RCPtr<LThreadWorker>& worker,
                                                   const ConstRCPtr<LRefCountedObject>& parameter,
                                                   int32_t priority);

    LThreadPool(int32_t workerCount, int32_t dispatcherPriority);
    ~LThreadPool() override;

    // Runs the job at once on a free worker, or queues it for the dispatcher. After Shutdown
    // the job is dropped.
    void QueueWork(const RCPtr<LThreadWorker>& worker,
                   const ConstRCPtr<LRefCountedObject>& parameter, int32_t priority);
    // Gives the job to a free worker: the worker's index, or -1 when none takes it. With one
    // worker and jobs queued, -1: a new job never overtakes queued ones.
    int32_t TryStartWorker(const RCPtr<LThreadWorker>& worker,
                           const ConstRCPtr<LRefCountedObject>& parameter, int32_t priority);
    // The dispatch loop, run by the dispatcher thread while jobs are queued.
    int32_t Run(const ConstRCPtr<LRefCountedObject>& parameter) override;
    // Drops the queued jobs and stops the dispatcher and the workers, each waited for up to
    // kStopTimeoutMilliseconds; jobs that are running finish first.
    void Shutdown();

    // 0 after Shutdown.
    int32_t GetWorkerCount() const { return mWorkerCount.load(); }
    int32_t GetQueueLength();
    // The threader of worker `index` (below the count the pool was made with) and the
    // dispatcher's; their names tell which job each was given last.
    const RetriggerableThreader& GetWorkerThreader(int32_t index) const;
    const RetriggerableThreader& GetDispatcher() const { return mDispatcher; }

private:
    int32_t DispatchQueue();
    // Under the mutex: a worker that may be given a job, or -1.
    int32_t FindFreeWorker();
    // Under the mutex: names worker `index` after the job and triggers it.
    int32_t StartWorker(int32_t index, const RCPtr<LThreadWorker>& worker,
                        const ConstRCPtr<LRefCountedObject>& parameter, int32_t priority);

    std::atomic<int32_t> mWorkerCount{0};
    int32_t mThreaderCount = 0;
    std::unique_ptr<RetriggerableThreader[]> mWorkers;
    // One completion event per worker, same index.
    std::unique_ptr<EventPool> mEventPool;
    RetriggerableThreader mDispatcher;
    // Set while the dispatcher is not running.
    RCPtr<LEvent> mDispatcherCompletion;
    // Ordered by priority, lowest first; among equal priorities the newest first. A deque, so
    // that the usual case, a job of the lowest priority queued, is taken at either end in
    // constant time however long the queue has grown.
    std::deque<RCPtr<LWorkerParams>> mQueue;
    // Guards the queue and every hand-over of a job to a worker or the dispatcher.
    Mutex mMutex;
    int32_t mDispatcherPriority = 0;
};

template <>
struct ReusePoolTraits<LThreadPool::LWorkerParams> : ReusePoolSettings<1, true>
{};

} // namespace SV
