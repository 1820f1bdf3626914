// Anything that can take a notification: distributors hand notifications to their registered
// receivers, and ask a receiver to drop a registration when they go away.
#pragma once

#include "Notification/NotificationId.h"
#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"

namespace SV {

class LNotification;
class LNotificationDistributor;

class LNotificationReceiver : public virtual LRefCountedObject
{
public:
    // Runs on the thread that delivers: the sender's for Notify, the draining thread for a
    // queue. The sender is empty for a notification handed straight to this receiver.
    virtual void Receive(const ConstRCPtr<LNotificationDistributor>& sender,
                         const ConstRCPtr<LNotification>& notification) = 0;
    // Drops this receiver's registration with the distributor for the name (or id).
    virtual int32_t Unregister(const RCPtr<LNotificationDistributor>& distributor,
                               const char16_t* name) = 0;
};

} // namespace SV
