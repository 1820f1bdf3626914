// A receiver that remembers the distributors it is registered with, so that it can leave them
// all when it goes: its release hook unregisters it everywhere, so dropping the last outside
// reference destroys it although distributors still held it.
#pragma once

#include "Notification/NotificationReceiver.h"
#include "Utilities/Storage/Array.h"

namespace SV {

class LNotificationClient : public LNotificationReceiver
{
public:
    LNotificationClient() = default;
    LNotificationClient(const LNotificationClient&) = delete;
    LNotificationClient& operator=(const LNotificationClient&) = delete;
    ~LNotificationClient() override = default;

    // The id; 0 when the distributor is empty or the name gives no id. Registering again only
    // replaces the flags.
    NotificationId Register(const RCPtr<LNotificationDistributor>& distributor,
                            const char16_t* name, int32_t flags = 0);
    // 0 removed; 1 when this client has no registrations or none for the id; E_INVALIDARG for an
    // empty distributor or a null name.
    int32_t Unregister(const RCPtr<LNotificationDistributor>& distributor,
                       const char16_t* name) override;
    // The number of registrations removed.
    int32_t UnregisterAll();

    // Classes that handle notifications override it.
    void Receive(const ConstRCPtr<LNotificationDistributor>& sender,
                 const ConstRCPtr<LNotification>& notification) override;

    int32_t ReleaseHook() override;

    int32_t GetRegistrationCount() const { return mRegistrationCount; }
    int32_t GetDistributorCount() const { return mDistributors.GetCount(); }

private:
    int32_t mRegistrationCount = 0;
    // Each distributor with at least one registration of this client, once; each registration
    // holds a reference to its distributor.
    Array<LNotificationDistributor*> mDistributors;
};

} // namespace SV
