#include "Notification/NotificationQueue.h"

#include "Notification/NotificationLocks.h"
#include "ResultCodes.h"

#include <utility>

namespace SV {

void LNotificationQueue::LPostingReceiver::Receive(
    const ConstRCPtr<LNotificationDistributor>& /*sender*/,
    const ConstRCPtr<LNotification>& notification)
{
    if (!notification) {
        return;
    }
    RCPtr<LNotificationQueue> queue;
    {
        MutexLock lock(GetNotificationQueueLock());
        queue = mQueue;
    }
    if (queue) {
        // A copy: the notification handed in may be queued elsewhere already.
        queue->Post(CreateNotification(notification->GetId(), notification->GetPayload()));
    }
}

int32_t LNotificationQueue::LPostingReceiver::Unregister(
    const RCPtr<LNotificationDistributor>& /*distributor*/, const char16_t* /*name*/)
{
    return E_FAIL;
}

LNotificationQueue::LNotificationQueue() : mRing(&GetNotificationQueueLock())
{
    // The receiver's reference to this queue is one of its own.
    mPostingReceiver =
        RCPtr<LPostingReceiver>(new LPostingReceiver(RCPtr<LNotificationQueue>(this)));
    AddInternalRef();
    mIdleNotification = CreateNotification(u"NID_IDLE");
}

LNotificationQueue::~LNotificationQueue()
{
    // Whatever still waits is let go unqueued, so that it can be posted elsewhere.
    Clear();
}

ConstRCPtr<LNotificationDistributor> LNotificationQueue::GetDistributor() const
{
    MutexLock lock(GetNotificationQueueLock());
    return mDistributor;
}

int32_t LNotificationQueue::SetDistributor(const ConstRCPtr<LNotificationDistributor>& distributor)
{
    MutexLock lock(GetNotificationQueueLock());
    if (mDistributor || !mPostingReceiver) {
        return E_FAIL;
    }
    if (distributor) {
        mDistributor = distributor;
    }
    return 0;
}

int32_t LNotificationQueue::Post(const RCPtr<LNotification>& notification)
{
    if (!notification) {
        return E_INVALIDARG;
    }
    // Notifications that the latest-posted ones replace are let go after the lock, since a
    // release may run a payload's destructor.
    RCPtrArray<LNotification, 1, 0> replaced;
    // Posting threads and the draining thread meet here. The distributor's pools are read under
    // the same lock that its registrations change them under, so a post never walks a pool
    // array that the user-interface thread is reallocating.
    MutexLock lock(GetNotificationQueueLock());
    if (notification->mQueued.load()) {
        return E_INVALIDARG;
    }
    if (!mDistributor) {
        return E_FAIL;
    }
    const RCPtr<LNotificationDistributor::LNotificationClientPool> pool =
        mDistributor->FindClientPool(notification->GetId());
    if (pool && (pool->mFlags & LNotificationDistributor::kLatestPostedOnly) != 0) {
        // Such receivers get only the newest: the send skips any other of this id.
        for (int32_t i = pool->mClients.GetCount() - 1; i >= 0; --i) {
            LNotificationDistributor::LNotificationRegisteredClientInfo& info =
                **pool->mClients.At(i);
            if ((info.mFlags & LNotificationDistributor::kLatestPostedOnly) != 0) {
                if (info.mLatestPosted) {
                    replaced.Add(info.mLatestPosted);
                }
                info.mLatestPosted = notification;
            }
        }
    }
    notification->mQueued.store(true);
    mRing.Enqueue(notification);
    return 0;
}

bool LNotificationQueue::Process(bool sendIdle)
{
    // A receiver may release the owner's last reference to this queue.
    const RCPtr<LNotificationQueue> self(this);
    if (!mBusy) {
        mBusy = true;
        // Counted once: what is posted meanwhile, by receivers or other threads, waits for the
        // next call, so a thread that keeps posting cannot hold the drain in this loop.
        const int32_t count = mRing.GetCount();
        const ConstRCPtr<LNotificationDistributor> distributor = GetDistributor();
        for (int32_t i = 0; i < count && mRing.GetCount() > 0; ++i) {
            // Only this thread dequeues, but a receiver may have cleared or detached the queue
            // meanwhile, which ends the delivery.
            const RCPtr<LNotification> notification = mRing.Dequeue();
            if (distributor) {
                distributor->Notify(notification);
            }
            notification->mQueued.store(false);
        }
        mBusy = false;
    }
    if (sendIdle) {
        const ConstRCPtr<LNotificationDistributor> distributor = GetDistributor();
        if (distributor) {
            distributor->Notify(mIdleNotification);
        }
    }
    return mRing.GetCount() != 0;
}

bool LNotificationQueue::Clear()
{
    const int32_t count = mRing.GetCount();
    for (int32_t i = 0; i < count && mRing.GetCount() > 0; ++i) {
        mRing.Dequeue()->mQueued.store(false);
    }
    return mRing.GetCount() != 0;
}

void LNotificationQueue::Detach()
{
    // Let go after the lock, when this queue is empty and consistent: any of these releases may
    // be the last reference to this queue.
    RCPtr<LNotificationQueue> receiversReference;
    RCPtr<LPostingReceiver> receiver;
    ConstRCPtr<LNotificationDistributor> distributor;
    {
        // The distributor goes first, so that no post lands after the queue was emptied.
        MutexLock lock(GetNotificationQueueLock());
        distributor = std::move(mDistributor);
        receiver = std::move(mPostingReceiver);
        if (receiver) {
            receiversReference = std::move(receiver->mQueue);
        }
    }
    Clear();
    if (receiversReference) {
        // Lowered first: when the reference goes it is no longer one of this queue's own.
        ReleaseInternalRef();
    }
}

} // namespace SV
