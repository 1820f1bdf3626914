#include "Notification/NotificationDistributor.h"

#include "ResultCodes.h"

#include "Notification/NotificationLocks.h"

namespace SV {

RCPtr<LNotificationDistributor::LNotificationClientPool> CreateClientPool(NotificationId id)
{
    return RCPtr<LNotificationDistributor::LNotificationClientPool>(
        new LNotificationDistributor::LNotificationClientPool(id));
}

RCPtr<LNotificationDistributor::LNotificationRegisteredClientInfo>
CreateRegisteredClientInfo(const RCPtr<LNotificationReceiver>& receiver, int32_t flags)
{
    return RCPtr<LNotificationDistributor::LNotificationRegisteredClientInfo>(
        new LNotificationDistributor::LNotificationRegisteredClientInfo(receiver, flags));
}

// The pool --------------------------------------------------------------------------------

int32_t LNotificationDistributor::LNotificationClientPool::AddClient(
    const RCPtr<LNotificationReceiver>& receiver, int32_t flags)
{
    if (!receiver) {
        return E_INVALIDARG;
    }
    RCPtr<LNotificationRegisteredClientInfo> added;
    if (FindClient(receiver.Get()) < 0) {
        // Made before the lock: a post on another thread waits only for the pointer move.
        added = CreateRegisteredClientInfo(receiver, flags);
    }
    MutexLock lock(GetNotificationQueueLock());
    if (added) {
        mClients.Add(added);
        mFlags |= flags;
        return 0;
    }
    bool changed = false;
    for (int32_t i = mClients.GetCount() - 1; i >= 0; --i) {
        LNotificationRegisteredClientInfo& info = **mClients.At(i);
        if (info.mReceiver.Get() == receiver.Get() && info.mFlags != flags) {
            info.mFlags = flags;
            changed = true;
        }
    }
    if (changed) {
        mFlags = 0;
        for (int32_t i = 0; i < mClients.GetCount(); ++i) {
            mFlags |= (*mClients.At(i))->mFlags;
        }
    }
    return 0;
}

int32_t LNotificationDistributor::LNotificationClientPool::RemoveClient(
    const LNotificationReceiver* receiver)
{
    const int32_t index = FindClient(receiver);
    if (index < 0) {
        return kResultNothingChanged;
    }
    // The registration, and with it perhaps the receiver, is let go after the lock: its
    // destructor may run anything.
    RCPtr<LNotificationRegisteredClientInfo> removed;
    {
        MutexLock lock(GetNotificationQueueLock());
        mClients.RemoveItem(index, removed);
    }
    if (index < mSendIndex) {
        --mSendIndex;
    }
    return 0;
}

int32_t LNotificationDistributor::LNotificationClientPool::FindClient(
    const LNotificationReceiver* receiver) const
{
    for (int32_t i = mClients.GetCount() - 1; i >= 0; --i) {
        if ((*mClients.At(i))->mReceiver.Get() == receiver) {
            return i;
        }
    }
    return kNotFound;
}

int32_t
LNotificationDistributor::LNotificationClientPool::Send(const LNotificationDistributor* sender,
                                                        const RCPtr<LNotification>& notification)
{
    const int32_t count = mClients.GetCount();
    if (count == 0) {
        return kResultNothingChanged;
    }
    const ConstRCPtr<LNotificationDistributor> heldSender(sender);
    // Receivers may register and unregister others while they run: registrations added now get
    // nothing from this send, removed ones nothing after their removal, and the send index,
    // lowered by removals below it, keeps every other registration served exactly once.
    for (int32_t i = count - 1; i >= 0; --i) {
        if (i >= mClients.GetCount()) {
            // Only a nested send of this pool can leave the index past the end.
            i = mClients.GetCount();
            continue;
        }
        i = Deliver(heldSender, i, notification);
    }
    return 0;
}

int32_t LNotificationDistributor::LNotificationClientPool::SendToClient(
    const LNotificationDistributor* sender, int32_t index, const RCPtr<LNotification>& notification)
{
    return Deliver(ConstRCPtr<LNotificationDistributor>(sender), index, notification);
}

int32_t LNotificationDistributor::LNotificationClientPool::Deliver(
    const ConstRCPtr<LNotificationDistributor>& sender, int32_t index,
    const RCPtr<LNotification>& notification)
{
    LNotificationRegisteredClientInfo& info = **mClients.At(index);
    if ((info.mFlags & kLatestPostedOnly) != 0) {
        MutexLock lock(GetNotificationQueueLock());
        if (info.mLatestPosted.Get() != notification.Get()) {
            return index;
        }
        // The caller still holds the notification, so this releases nothing.
        info.mLatestPosted = nullptr;
    }
    // Held for the delivery: the receiver may unregister itself meanwhile, and its registration
    // goes with that.
    const RCPtr<LNotificationReceiver> receiver = info.mReceiver;
    mSendIndex = index;
    receiver->Receive(sender, notification);
    return mSendIndex;
}

// The distributor ---------------------------------------------------------------------------

int32_t LNotificationDistributor::RegisterClient(const RCPtr<LNotificationReceiver>& receiver,
                                                 const char16_t* name, int32_t flags)
{
    if (!receiver) {
        return E_INVALIDARG;
    }
    const NotificationId id = GetNotificationID(name);
    if (id == nullptr) {
        return kResultNothingChanged;
    }
    RCPtr<LNotificationClientPool> pool = FindClientPool(id);
    const bool already = pool && pool->FindClient(receiver.Get()) >= 0;
    if (!already) {
        // The registration keeps this distributor alive; the reference is one of its own.
        AddRef();
        AddInternalRef();
        ++mRegistrationCount;
        if (!pool) {
            pool = CreateClientPool(id);
            // A post on another thread may be reading the pools: the array may move.
            MutexLock lock(GetNotificationQueueLock());
            mClientPools.Add(pool);
        }
    }
    pool->AddClient(receiver, flags);
    return already ? 1 : 0;
}

int32_t LNotificationDistributor::RemoveRegistration(LNotificationClientPool& pool,
                                                     const LNotificationReceiver* receiver)
{
    if (pool.RemoveClient(receiver) != 0) {
        return kResultNothingChanged;
    }
    --mRegistrationCount;
    ReleaseInternalRef();
    // Last: this may be the distributor's last reference.
    Release();
    return 0;
}

int32_t LNotificationDistributor::UnregisterClient(const RCPtr<LNotificationReceiver>& receiver,
                                                   const char16_t* name)
{
    if (!receiver) {
        return E_INVALIDARG;
    }
    const NotificationId id = GetNotificationID(name);
    if (id == nullptr) {
        return E_INVALIDARG;
    }
    const RCPtr<LNotificationClientPool> pool = FindClientPool(id);
    if (!pool) {
        return kResultNothingChanged;
    }
    // The pool stays, possibly empty, for as long as the distributor lives.
    return RemoveRegistration(*pool, receiver.Get());
}

int32_t
LNotificationDistributor::UnregisterClientFromAll(const RCPtr<LNotificationReceiver>& receiver)
{
    if (!receiver) {
        return E_INVALIDARG;
    }
    if (mRegistrationCount <= 0) {
        return 0;
    }
    // Each removal gives back a reference to this distributor: the walk must outlive them. A
    // distributor with registrations has at least their references, so this is never the first.
    const RCPtr<LNotificationDistributor> self(this);
    int32_t removed = 0;
    for (int32_t i = mClientPools.GetCount() - 1; i >= 0; --i) {
        const RCPtr<LNotificationClientPool> pool = *mClientPools.At(i);
        if (RemoveRegistration(*pool, receiver.Get()) == 0) {
            ++removed;
        }
    }
    return removed;
}

int32_t LNotificationDistributor::UnregisterAllClients()
{
    if (mRegistrationCount <= 0) {
        return 0;
    }
    const RCPtr<LNotificationDistributor> self(this);
    for (int32_t p = mClientPools.GetCount() - 1; p >= 0; --p) {
        const RCPtr<LNotificationClientPool> pool = *mClientPools.At(p);
        // The receivers remove themselves, so the walk goes downwards; one that does not is
        // passed over.
        for (int32_t c = pool->GetClientCount() - 1; c >= 0; --c) {
            if (c >= pool->GetClientCount()) {
                c = pool->GetClientCount();
                continue;
            }
            const RCPtr<LNotificationReceiver> receiver = pool->GetClient(c)->mReceiver;
            receiver->Unregister(self, pool->GetId());
        }
    }
    return 0;
}

int32_t LNotificationDistributor::Notify(const RCPtr<LNotification>& notification) const
{
    if (!notification) {
        return E_INVALIDARG;
    }
    const RCPtr<LNotificationClientPool> pool = FindClientPool(notification->GetId());
    if (!pool) {
        return kResultNothingChanged;
    }
    return pool->Send(this, notification);
}

RCPtr<LNotificationDistributor::LNotificationClientPool>
LNotificationDistributor::FindClientPool(NotificationId id) const
{
    for (int32_t i = mClientPools.GetCount() - 1; i >= 0; --i) {
        const RCPtr<LNotificationClientPool>& pool = *mClientPools.At(i);
        if (pool->mId == id) {
            return pool;
        }
    }
    return nullptr;
}

int32_t LNotificationDistributor::GetClientFlags(const LNotificationReceiver* receiver,
                                                 const char16_t* name, int32_t& flags) const
{
    const NotificationId id = GetNotificationID(name);
    if (id == nullptr) {
        return E_FAIL;
    }
    const RCPtr<LNotificationClientPool> pool = FindClientPool(id);
    const int32_t index = pool ? pool->FindClient(receiver) : -1;
    if (index < 0) {
        return E_FAIL;
    }
    flags = pool->GetClient(index)->mFlags;
    return 0;
}

bool LNotificationDistributor::HasClient(const LNotificationReceiver* receiver) const
{
    for (int32_t i = mClientPools.GetCount() - 1; i >= 0; --i) {
        if ((*mClientPools.At(i))->FindClient(receiver) >= 0) {
            return true;
        }
    }
    return false;
}

} // namespace SV
