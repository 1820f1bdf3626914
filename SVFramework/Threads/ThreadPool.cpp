#include "Threads/ThreadPool.h"

#include "ResultCodes.h"

#include <algorithm>

namespace SV {

RCPtr<LThreadPool> LThreadPool::CreateThreadPool(int32_t workerCount, int32_t dispatcherPriority)
{
    return RCPtr<LThreadPool>(new LThreadPool(workerCount, dispatcherPriority));
}

RCPtr<LThreadPool::LWorkerParams>
LThreadPool::CreateWorkerParams(const RCPtr<LThreadWorker>& worker,
                                const ConstRCPtr<LRefCountedObject>& parameter, int32_t priority)
{
    return RCPtr<LWorkerParams>(new LWorkerParams(worker, parameter, priority));
}

LThreadPool::LThreadPool(int32_t workerCount, int32_t dispatcherPriority)
{
    const int32_t requested = std::max(workerCount, 0);
    mEventPool = std::make_unique<EventPool>(requested);
    // Every worker needs its completion event: without the events there are no workers.
    mThreaderCount = std::min(requested, mEventPool->GetCount());
    mWorkerCount.store(mThreaderCount);
    if (mThreaderCount > 0) {
        mWorkers = std::make_unique<RetriggerableThreader[]>(static_cast<size_t>(mThreaderCount));
    }
    mDispatcherCompletion = RCPtr<LEvent>(new LEvent());
    mDispatcherCompletion->Set();
    mDispatcherPriority = dispatcherPriority;
    mDispatcher.SetName(u"LThreadPool::mQueueThreader");
}

LThreadPool::~LThreadPool()
{
    Shutdown();
}

int32_t LThreadPool::TryStartWorker(const RCPtr<LThreadWorker>& worker,
                                    const ConstRCPtr<LRefCountedObject>& parameter,
                                    int32_t priority)
{
    if (mWorkerCount.load() <= 0) {
        return kNotFound;
    }
    for (int32_t i = 0; i < std::min(mWorkerCount.load(), mThreaderCount); ++i) {
        MutexLock lock(mMutex);
        if (!mQueue.empty() && mWorkerCount.load() == 1) {
            return kNotFound;
        }
        if (mWorkers[i].IsBusy()) {
            continue;
        }
        if (StartWorker(i, worker, parameter, priority) == S_OK) {
            return i;
        }
    }
    return kNotFound;
}

void LThreadPool::QueueWork(const RCPtr<LThreadWorker>& worker,
                            const ConstRCPtr<LRefCountedObject>& parameter, int32_t priority)
{
    if (TryStartWorker(worker, parameter, priority) >= 0 || mWorkerCount.load() <= 0) {
        return;
    }
    RCPtr<LWorkerParams> job = CreateWorkerParams(worker, parameter, priority);
    MutexLock lock(mMutex);
    // Shutdown may have begun since the check above. It empties the queue under this mutex
    // after clearing the count, so a job queued now would never run, and the dispatcher it
    // would start may still be waiting for a worker.
    if (mWorkerCount.load() <= 0) {
        return;
    }
    const auto at = std::find_if(mQueue.begin(), mQueue.end(), [&](const auto& queued) {
        return queued->GetPriority() >= priority;
    });
    const bool wasEmpty = mQueue.empty();
    mQueue.insert(at, job);
    if (!wasEmpty) {
        return; // the dispatcher is running and will come to it
    }
    // The queue was empty, so the dispatcher has left its loop: this wait ends at once.
    mDispatcherCompletion->Wait(INFINITE);
    if (mDispatcher.Trigger(RCPtr<LThreadWorker>(this), ConstRCPtr<LRefCountedObject>(this),
                            mDispatcherCompletion, mDispatcherPriority) != S_OK) {
        // No run started, so none will set the event: keep it set for the next start.
        mDispatcherCompletion->Set();
    }
}

int32_t LThreadPool::Run(const ConstRCPtr<LRefCountedObject>& /*parameter*/)
{
    return DispatchQueue();
}

int32_t LThreadPool::DispatchQueue()
{
    for (;;) {
        const int32_t completed = mEventPool->WaitAny(INFINITE);
        RCPtr<LEvent> waitAlone;
        {
            MutexLock lock(mMutex);
            if (mQueue.empty()) {
                return 0;
            }
            int32_t index = -1;
            if (completed >= 0 && completed < mThreaderCount) {
                if (mWorkers[completed].IsBusy()) {
                    continue; // given a new job meanwhile; the queued job waits for the next
                }
                index = completed;
            } else {
                // The wait failed and names no worker: look for a free one instead, or wait
                // for the first busy one alone, which cannot fail.
                index = FindFreeWorker();
                if (index < 0) {
                    waitAlone = mEventPool->GetEvent(0);
                }
            }
            if (index >= 0) {
                RCPtr<LWorkerParams> job = std::move(mQueue.back());
                mQueue.pop_back();
                StartWorker(index, job->GetWorker(), job->GetParameter(), job->GetPriority());
                job = nullptr;
                if (mQueue.empty()) {
                    return 0;
                }
                continue;
            }
        }
        if (waitAlone) {
            waitAlone->Wait(INFINITE);
        } else {
            return 0; // no worker at all: nothing can run the queued jobs
        }
    }
}

int32_t LThreadPool::FindFreeWorker()
{
    for (int32_t i = 0; i < mThreaderCount; ++i) {
        if (!mWorkers[i].IsBusy()) {
            return i;
        }
    }
    return kNotFound;
}

int32_t LThreadPool::StartWorker(int32_t index, const RCPtr<LThreadWorker>& worker,
                                 const ConstRCPtr<LRefCountedObject>& parameter, int32_t priority)
{
    RetriggerableThreader& threader = mWorkers[index];
    threader.SetName(worker ? worker->ToString() : WideString());
    return threader.Trigger(worker, parameter, mEventPool->GetEvent(index), priority);
}

void LThreadPool::Shutdown()
{
    mWorkerCount.store(0);
    std::deque<RCPtr<LWorkerParams>> dropped;
    {
        MutexLock lock(mMutex);
        dropped.swap(mQueue);
    }
    // The dropped jobs' objects are released outside the lock: their destructors may call back.
    dropped.clear();
    mDispatcher.RequestStop();
    mDispatcher.Join(kStopTimeoutMilliseconds);
    for (int32_t i = mThreaderCount - 1; i >= 0; --i) {
        mWorkers[i].RequestStop();
        mWorkers[i].Join(kStopTimeoutMilliseconds);
    }
}

int32_t LThreadPool::GetQueueLength()
{
    MutexLock lock(mMutex);
    return static_cast<int32_t>(mQueue.size());
}

const RetriggerableThreader& LThreadPool::GetWorkerThreader(int32_t index) const
{
    return mWorkers[index];
}

} // namespace SV
