// A queue that defers delivery: Post stores a notification, from any thread; Process, on the
// thread that drains the queue (the user-interface thread), hands what was stored when it began
// to the queue's distributor, oldest first, and may send "NID_IDLE" after it. All notification
// queues share one process-wide lock, which also guards the pools of the distributors they
// deliver into.
//
// The queue and its posting receiver hold each other; Detach, called by the queue's owner from
// its release hook or teardown, cuts that cycle.
#pragma once

#include "Notification/Notification.h"
#include "Notification/NotificationDistributor.h"
#include "Notification/NotificationReceiver.h"
#include "Utilities/Storage/RCPtrQueue.h"

namespace SV {

class LNotificationQueue : public virtual LRefCountedObject
{
public:
    // Posts a copy of whatever it is handed into its queue, so that code which calls a receiver
    // gets its notifications queued rather than run.
    class LPostingReceiver : public LNotificationReceiver
    {
    public:
        explicit LPostingReceiver(const RCPtr<LNotificationQueue>& queue) : mQueue(queue) {}

        void Receive(const ConstRCPtr<LNotificationDistributor>& sender,
                     const ConstRCPtr<LNotification>& notification) override;
        // It never registers anywhere: E_FAIL.
        int32_t Unregister(const RCPtr<LNotificationDistributor>& distributor,
                           const char16_t* name) override;

    private:
        friend class LNotificationQueue;

        // Empty after the queue's Detach; guarded by the queue lock.
        RCPtr<LNotificationQueue> mQueue;
    };

    LNotificationQueue();
    LNotificationQueue(const LNotificationQueue&) = delete;
    LNotificationQueue& operator=(const LNotificationQueue&) = delete;
    ~LNotificationQueue() override;

    // 0; E_FAIL when a distributor is set already or the queue was detached.
    int32_t SetDistributor(const ConstRCPtr<LNotificationDistributor>& distributor);
    // 0; E_INVALIDARG for an empty or already queued notification; E_FAIL without a distributor.
    int32_t Post(const RCPtr<LNotification>& notification);
    // Delivers the notifications queued when it starts, then the idle notification when asked;
    // true when notifications remain queued. A nested call of the same queue delivers nothing.
    bool Process(bool sendIdle);
    // Drops what is queued without delivering it; true when notifications remain queued.
    bool Clear();
    // Empties the queue and lets go of the distributor and the posting receiver; afterwards
    // Post and SetDistributor answer E_FAIL.
    void Detach();

    RCPtr<LPostingReceiver> GetPostingReceiver() const { return mPostingReceiver; }
    int32_t GetQueuedCount() const { return mRing.GetCount(); }
    ConstRCPtr<LNotificationDistributor> GetDistributor() const;

private:
    bool mBusy = false;
    RCPtrQueue<LNotification, 256> mRing;
    // Guarded by the queue lock: posting threads read it.
    ConstRCPtr<LNotificationDistributor> mDistributor;
    RCPtr<LPostingReceiver> mPostingReceiver;
    RCPtr<LNotification> mIdleNotification;
};

} // namespace SV
