#include "Notification/NotificationClient.h"

#include "Notification/NotificationDistributor.h"
#include "ResultCodes.h"

namespace SV {

NotificationId LNotificationClient::Register(const RCPtr<LNotificationDistributor>& distributor,
                                             const char16_t* name, int32_t flags)
{
    if (!distributor) {
        return nullptr;
    }
    const NotificationId id = GetNotificationID(name);
    if (id == nullptr) {
        return nullptr;
    }
    const int32_t result =
        distributor->RegisterClient(RCPtr<LNotificationReceiver>(this), id, flags);
    if (result == 0) {
        // The distributor holds this client now.
        AddInternalRef();
        ++mRegistrationCount;
    }
    if (result >= 0 && mDistributors.IndexOf(distributor.Get()) < 0) {
        mDistributors.Add(distributor.Get());
    }
    return id;
}

int32_t LNotificationClient::Unregister(const RCPtr<LNotificationDistributor>& distributor,
                                        const char16_t* name)
{
    if (mRegistrationCount == 0) {
        return kResultNothingChanged;
    }
    if (!distributor || name == nullptr) {
        return E_INVALIDARG;
    }
    // The distributor may drop the last reference besides the caller's; without this one the
    // release would run the hook in the middle of this call.
    const RCPtr<LNotificationReceiver> self(this);
    const int32_t result = distributor->UnregisterClient(self, name);
    if (result == 0) {
        ReleaseInternalRef();
        --mRegistrationCount;
        if (!distributor->HasClient(this)) {
            const int32_t index = mDistributors.IndexOf(distributor.Get());
            if (index >= 0) {
                mDistributors.RemoveAt(index, 1);
            }
        }
    }
    return result;
}

int32_t LNotificationClient::UnregisterAll()
{
    if (mRegistrationCount <= 0) {
        return 0;
    }
    // All at once, before the distributors let go: their releases of this client must not find
    // only internal references left and run the hook again.
    for (int32_t i = 0; i < mRegistrationCount; ++i) {
        ReleaseInternalRef();
    }
    const RCPtr<LNotificationReceiver> self(this);
    int32_t removed = 0;
    for (int32_t i = mDistributors.GetCount() - 1; i >= 0; --i) {
        if (i >= mDistributors.GetCount()) {
            continue;
        }
        const RCPtr<LNotificationDistributor> distributor(*mDistributors.At(i));
        removed += distributor->UnregisterClientFromAll(self);
        const int32_t index = mDistributors.IndexOf(distributor.Get());
        if (index >= 0) {
            mDistributors.RemoveAt(index, 1);
        }
    }
    mRegistrationCount = 0;
    return removed;
}

void LNotificationClient::Receive(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                                  const ConstRCPtr<LNotification>& /*notification*/)
{}

int32_t LNotificationClient::ReleaseHook()
{
    UnregisterAll();
    return (GetInternalRefCount() == 0 && GetRefCount() == 1) ? S_OK : E_FAIL;
}

} // namespace SV
