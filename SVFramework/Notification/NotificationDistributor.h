// The sender of notifications: one pool of registered receivers per notification id. Notify
// delivers at once, on the caller's thread, to the receivers of the notification's id, the last
// registered first. Each registration holds its receiver and adds a reference, counted as
// internal, to the distributor; a class built on the distributor breaks those cycles by calling
// UnregisterAllClients from its release hook.
//
// Registrations are made on the user-interface thread. Notification queues read the pools from
// any thread when a notification is posted, so every change of the pools, and the latest-posted
// notification of each registration, is guarded by the notification queue lock.
#pragma once

#include "Notification/Notification.h"
#include "Notification/NotificationReceiver.h"
#include "Utilities/Storage/RCPtrArray.h"

namespace SV {

class LNotificationDistributor : public virtual LRefCountedObject
{
public:
    // Bit 0 of a registration's flags: the receiver gets only the notification last posted for
    // it, never one sent directly with Notify.
    static constexpr int32_t kLatestPostedOnly = 1;

    class LNotificationRegisteredClientInfo : public LRefCountedObject
    {
    public:
        LNotificationRegisteredClientInfo(const RCPtr<LNotificationReceiver>& receiver,
                                          int32_t flags)
            : mReceiver(receiver), mFlags(flags)
        {}

        RCPtr<LNotificationReceiver> mReceiver;
        // For kLatestPostedOnly: posted for this receiver and not yet delivered.
        RCPtr<LNotification> mLatestPosted;
        int32_t mFlags;
    };

    class LNotificationClientPool : public LRefCountedObject
    {
    public:
        explicit LNotificationClientPool(NotificationId id) : mId(id) {}

        // 0 for a new registration, changed flags or nothing to change; E_INVALIDARG for an
        // empty receiver.
        int32_t AddClient(const RCPtr<LNotificationReceiver>& receiver, int32_t flags);
        // 0 removed, 1 absent.
        int32_t RemoveClient(const LNotificationReceiver* receiver);
        // Searched from the newest registration; -1 when absent.
        int32_t FindClient(const LNotificationReceiver* receiver) const;
        // Delivers to every registration, the newest first; 1 when there is none.
        int32_t Send(const LNotificationDistributor* sender,
                     const RCPtr<LNotification>& notification);
        // Delivers to the registration at the index (below the count); answers the send index
        // afterwards, or the index itself when the registration skipped the notification.
        int32_t SendToClient(const LNotificationDistributor* sender, int32_t index,
                             const RCPtr<LNotification>& notification);

        NotificationId GetId() const { return mId; }
        int32_t GetFlags() const { return mFlags; }
        int32_t GetClientCount() const { return mClients.GetCount(); }
        RCPtr<LNotificationRegisteredClientInfo> GetClient(int32_t index) const
        {
            return *mClients.At(index);
        }

    private:
        friend class LNotificationDistributor;
        friend class LNotificationQueue;

        int32_t Deliver(const ConstRCPtr<LNotificationDistributor>& sender, int32_t index,
                        const RCPtr<LNotification>& notification);

        int32_t mFlags = 0;
        NotificationId mId;
        RCPtrArray<LNotificationRegisteredClientInfo, 1, 0> mClients;
        // The registration being served by the send in progress; lowered when a registration
        // below it is removed during that send.
        int32_t mSendIndex = -1;
    };

    LNotificationDistributor() = default;
    LNotificationDistributor(const LNotificationDistributor&) = delete;
    LNotificationDistributor& operator=(const LNotificationDistributor&) = delete;
    ~LNotificationDistributor() override = default;

    // 0 for a new registration; 1 when it existed (its flags replaced) or the name gives no id;
    // E_INVALIDARG for an empty receiver.
    int32_t RegisterClient(const RCPtr<LNotificationReceiver>& receiver, const char16_t* name,
                           int32_t flags = 0);
    // 0 removed; 1 not registered; E_INVALIDARG for an empty receiver or no id.
    int32_t UnregisterClient(const RCPtr<LNotificationReceiver>& receiver, const char16_t* name);
    // The number of registrations removed; E_INVALIDARG for an empty receiver.
    int32_t UnregisterClientFromAll(const RCPtr<LNotificationReceiver>& receiver);
    // Asks every registered receiver to unregister itself.
    int32_t UnregisterAllClients();

    // 0 when receivers are registered for the id; 1 when none; E_INVALIDARG for an empty
    // notification.
    int32_t Notify(const RCPtr<LNotification>& notification) const;

    RCPtr<LNotificationClientPool> FindClientPool(NotificationId id) const;
    // 0 and the flags; E_FAIL when the name gives no id or the receiver is not registered.
    int32_t GetClientFlags(const LNotificationReceiver* receiver, const char16_t* name,
                           int32_t& flags) const;
    bool HasClient(const LNotificationReceiver* receiver) const;
    int32_t GetClientFlags(const ConstRCPtr<LNotificationReceiver>& receiver, const char16_t* name,
                           int32_t& flags) const
    {
        return GetClientFlags(receiver.Get(), name, flags);
    }
    bool HasClient(const ConstRCPtr<LNotificationReceiver>& receiver) const
    {
        return HasClient(receiver.Get());
    }
    int32_t GetRegistrationCount() const { return mRegistrationCount; }

private:
    // Removes one registration from the pool and gives back what it added to this distributor;
    // may release this distributor's last reference, so nothing may touch it afterwards.
    int32_t RemoveRegistration(LNotificationClientPool& pool,
                               const LNotificationReceiver* receiver);

    RCPtrArray<LNotificationClientPool, 1, 0> mClientPools;
    int32_t mRegistrationCount = 0;
};

RCPtr<LNotificationDistributor::LNotificationClientPool> CreateClientPool(NotificationId id);
RCPtr<LNotificationDistributor::LNotificationRegisteredClientInfo>
CreateRegisteredClientInfo(const RCPtr<LNotificationReceiver>& receiver, int32_t flags);

} // namespace SV
