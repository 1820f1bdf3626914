// The notification: an id with an optional payload of any reference-counted type, shared by its
// sender, the queues it waits in and its receivers. Notifications are made only by
// CreateNotification; while recycling is on, a released notification goes back to a
// process-wide pool (its payload dropped) and is handed out again instead of being freed.
#pragma once

#include "Notification/NotificationId.h"
#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"

#include <atomic>

namespace SV {

class LNotificationQueue;
class LNotification;

// A notification of the name (or id) with the payload; empty for a null or empty name.
RCPtr<LNotification> CreateNotification(const char16_t* name,
                                        const ConstRCPtr<LRefCountedObject>& payload = nullptr);

// Recycling is off until the application's start-up switches it on, and off again when the
// application object goes; switching it off frees every pooled notification.
void SetNotificationRecycling(bool on);

// Notifications waiting in the recycle pool, for diagnostics.
int32_t GetRecycledNotificationCount();

class LNotification : public virtual LRefCountedObject
{
public:
    NotificationId GetId() const { return mId; }
    const ConstRCPtr<LRefCountedObject>& GetPayload() const { return mPayload; }
    // Set while the notification waits in a queue; it cannot be posted again meanwhile.
    bool IsQueued() const { return mQueued.load(); }

    // The release of the last reference recycles the notification while recycling is on.
    int32_t Release() override;

private:
    LNotification() = default;
    ~LNotification() override = default;

    friend RCPtr<LNotification> NewNotification(const char16_t* name,
                                                const ConstRCPtr<LRefCountedObject>& payload);
    friend RCPtr<LNotification> CreateNotification(const char16_t* name,
                                                   const ConstRCPtr<LRefCountedObject>& payload);
    friend void RecycleNotification(LNotification* notification);
    friend class LNotificationQueue;

    NotificationId mId = nullptr;
    ConstRCPtr<LRefCountedObject> mPayload;
    // Written by the posting thread and the draining thread.
    std::atomic<bool> mQueued{false};
    // Set while the notification is being recycled, so that releases made meanwhile do not
    // recycle it again.
    std::atomic<bool> mRecycleGuard{false};
};

// A freshly allocated notification, or empty for a null or empty name; CreateNotification's
// way of making one when the pool has none.
RCPtr<LNotification> NewNotification(const char16_t* name,
                                     const ConstRCPtr<LRefCountedObject>& payload);

// Drops the payload and, while recycling is on, keeps the notification in the pool. Called only
// by LNotification::Release.
void RecycleNotification(LNotification* notification);

} // namespace SV
