#include "Notification/Notification.h"

#include "Notification/NotificationLocks.h"
#include "Utilities/Storage/RCPtrArray.h"

namespace SV {

namespace {

// Written by the user-interface thread at start-up and shutdown, read on every thread.
std::atomic<bool> gRecycling{false};

// Never destroyed: a notification released by a static destructor at exit still finds it.
RCPtrArray<LNotification, 1, 0>& RecyclePool()
{
    static RCPtrArray<LNotification, 1, 0>* const pool = new RCPtrArray<LNotification, 1, 0>();
    return *pool;
}

} // namespace

RCPtr<LNotification> NewNotification(const char16_t* name,
                                     const ConstRCPtr<LRefCountedObject>& payload)
{
    const NotificationId id = GetNotificationID(name);
    if (id == nullptr) {
        return nullptr;
    }
    RCPtr<LNotification> notification(new LNotification());
    notification->mId = id;
    // An unshareable payload is cloned here, by the pointer's copy rule.
    notification->mPayload = payload;
    return notification;
}

RCPtr<LNotification> CreateNotification(const char16_t* name,
                                        const ConstRCPtr<LRefCountedObject>& payload)
{
    if (!gRecycling.load(std::memory_order_relaxed)) {
        return NewNotification(name, payload);
    }
    MutexLock lock(GetNotificationLock());
    // The name is checked before the pool is touched: a call that makes nothing leaves the pool
    // as it was.
    const NotificationId id = GetNotificationID(name);
    if (id == nullptr) {
        return nullptr;
    }
    RCPtrArray<LNotification, 1, 0>& pool = RecyclePool();
    if (pool.GetCount() == 0) {
        return NewNotification(id, payload);
    }
    // The most recently recycled one: its memory is the likeliest to be warm.
    RCPtr<LNotification> notification;
    pool.RemoveLast(notification);
    notification->mId = id;
    notification->mPayload = payload;
    return notification;
}

void RecycleNotification(LNotification* notification)
{
    // The payload goes now, on the releasing thread, whether or not the notification is kept.
    notification->mPayload = nullptr;
    if (!gRecycling.load(std::memory_order_relaxed)) {
        return;
    }
    MutexLock lock(GetNotificationLock());
    // The pool's reference keeps the notification alive past the release under way.
    RecyclePool().Add(RCPtr<LNotification>(notification));
}

void SetNotificationRecycling(bool on)
{
    gRecycling.store(on, std::memory_order_relaxed);
    if (!on) {
        // Each pooled notification loses its last reference here and, with recycling off, is
        // freed by its own release.
        MutexLock lock(GetNotificationLock());
        RecyclePool().RemoveAll();
    }
}

int32_t GetRecycledNotificationCount()
{
    MutexLock lock(GetNotificationLock());
    return RecyclePool().GetCount();
}

int32_t LNotification::Release()
{
    // Only the holder of the last reference gets here with a count of 1, so no other thread can
    // be using the notification while it is recycled.
    if (!mRecycleGuard.load() && GetRefCount() == 1) {
        mRecycleGuard.store(true);
        RecycleNotification(this);
        mRecycleGuard.store(false);
    }
    return LRefCountedObject::Release();
}

} // namespace SV
