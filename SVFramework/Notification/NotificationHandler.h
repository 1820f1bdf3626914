// The table of a class's notification handlers: member functions of the owner bound to
// (distributor, notification id) pairs. RegisterHandler registers the owner with the distributor
// and records the function; the owner's Receive hands each notification to HandleNotification,
// and passes on to its base class's Receive whatever that answers 0 for. The owner's Unregister
// calls UnregisterHandler before LNotificationClient::Unregister, so that a distributor's
// UnregisterAllClients clears the registration and the table entry alike.
#pragma once

#include "Notification/Notification.h"
#include "Notification/NotificationClient.h"
#include "Notification/NotificationDistributor.h"
#include "ResultCodes.h"

#include <functional>
#include <map>

namespace SV {

// The key of a handler: the sending distributor (null for a handler of notifications handed
// straight to the owner) and the id. Ordered by distributor address, then by id.
struct Receivable
{
    Receivable(const LNotificationDistributor* source, NotificationId notificationId)
        : distributor(source), id(notificationId)
    {}
    virtual ~Receivable() = default;

    bool operator<(const Receivable& other) const
    {
        if (distributor != other.distributor) {
            return std::less<const LNotificationDistributor*>()(distributor, other.distributor);
        }
        return std::less<NotificationId>()(id, other.id);
    }

    const LNotificationDistributor* distributor;
    NotificationId id;
};

// T derives from LNotificationClient. The owner holds the handler; the handler holds no
// reference to the owner. No lock: a handler is used on the thread that delivers to its owner.
template <class T>
class LNotificationHandler : public virtual LRefCountedObject
{
public:
    // A non-zero result means that the notification was handled.
    using Function = int32_t (T::*)(const ConstRCPtr<LNotificationDistributor>& sender,
                                    const ConstRCPtr<LNotification>& notification);

    explicit LNotificationHandler(T* owner) : mOwner(owner) {}
    LNotificationHandler(const LNotificationHandler&) = delete;
    LNotificationHandler& operator=(const LNotificationHandler&) = delete;

    // 0; E_INVALIDARG for an empty distributor; E_FAIL when the name gives no id. A pair that is
    // bound already keeps its first function; the registration's flags are replaced all the same.
    int32_t RegisterHandler(Function function, const RCPtr<LNotificationDistributor>& distributor,
                            const char16_t* name, int32_t flags = 0)
    {
        if (!distributor) {
            return E_INVALIDARG;
        }
        LNotificationClient& client = *mOwner;
        const NotificationId id = client.Register(distributor, name, flags);
        if (id == nullptr) {
            return E_FAIL;
        }
        mTable.emplace(Receivable(distributor.Get(), id), function);
        return 0;
    }

    // Binds the function to notifications handed to the owner with an empty sender.
    int32_t RegisterSelfHandler(Function function, const char16_t* name)
    {
        const NotificationId id = GetNotificationID(name);
        if (id == nullptr) {
            return E_FAIL;
        }
        mTable.emplace(Receivable(nullptr, id), function);
        return 0;
    }

    // True when an entry was removed; the owner's registration is left alone.
    bool UnregisterHandler(const ConstRCPtr<LNotificationDistributor>& distributor,
                           const char16_t* name)
    {
        return mTable.erase(Receivable(distributor.Get(), GetNotificationID(name))) != 0;
    }

    // The bound function's result; 0 when no function is bound to the pair.
    int32_t HandleNotification(const ConstRCPtr<LNotificationDistributor>& sender,
                               const ConstRCPtr<LNotification>& notification)
    {
        if (!notification) {
            return 0;
        }
        // A notification's id is interned already: it is its own key, with no lookup in the
        // name table.
        const auto entry = mTable.find(Receivable(sender.Get(), notification->GetId()));
        if (entry == mTable.end()) {
            return 0;
        }
        return (mOwner->*(entry->second))(sender, notification);
    }

    // 0 with the function and the registration's flags; E_FAIL when no function is bound to the
    // pair or the distributor holds no registration of the owner for the id. With
    // UnregisterHandler, LNotificationClient::Unregister and RegisterHandler this takes one
    // registration out and restores it later as it was.
    int32_t GetRegistration(const ConstRCPtr<LNotificationDistributor>& distributor,
                            const char16_t* name, Function& function, int32_t& flags) const
    {
        const auto entry = mTable.find(Receivable(distributor.Get(), GetNotificationID(name)));
        if (entry == mTable.end() || !distributor) {
            return E_FAIL;
        }
        function = entry->second;
        const LNotificationClient& client = *mOwner;
        return distributor->GetClientFlags(&client, name, flags);
    }

    int32_t GetHandlerCount() const { return int32_t(mTable.size()); }

private:
    T* mOwner;
    std::map<Receivable, Function> mTable;
};

} // namespace SV
