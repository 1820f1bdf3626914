// One control class's notification handlers, held as a member of that class: the class says
// which notifications it takes and which member function answers each, and the control does the
// rest. The control's Receive offers a notification to the handlers of its classes, the most
// derived class first, until a function answers non-zero (only while the control is created);
// its Unregister drops the pair from every class's table before the registration itself goes.
// Members are made base class first and destroyed the other way round, so the chain always
// follows the class order and a class's handlers leave it before the class's own part is gone.
// Everything here runs on the user-interface thread, as the control does.
#pragma once

#include "Notification/NotificationHandler.h"
#include "ObjectBase/RCPtr.h"

#include <cstdint>

namespace SV {

class LControl;

// A link of the control's chain: what the control's Receive and Unregister ask of one class.
class ControlNotificationHandlerLink
{
public:
    ControlNotificationHandlerLink(const ControlNotificationHandlerLink&) = delete;
    ControlNotificationHandlerLink& operator=(const ControlNotificationHandlerLink&) = delete;

    // The bound function's result; 0 when the class binds none to the pair.
    virtual int32_t HandleNotification(const ConstRCPtr<LNotificationDistributor>& sender,
                                       const ConstRCPtr<LNotification>& notification) = 0;
    // Drops the class's function for the pair, if it has one; the registration is the control's.
    virtual void UnregisterHandler(const ConstRCPtr<LNotificationDistributor>& distributor,
                                   const char16_t* name) = 0;

protected:
    // Joins the end of the control's chain; leaves it when destroyed.
    explicit ControlNotificationHandlerLink(LControl& control);
    virtual ~ControlNotificationHandlerLink();

private:
    LControl& mControl;
};

// T derives from LControl. The table is made by Create, where the class wires itself up
// (usually in Initialize); until then the class takes nothing, and the handler reads false, so
// code that wires parts later can tell whether the class is wired yet.
template <class T>
class ControlNotificationHandler final : public ControlNotificationHandlerLink
{
public:
    explicit ControlNotificationHandler(T* owner)
        : ControlNotificationHandlerLink(*owner), mOwner(owner)
    {}

    // A fresh, empty table; one made before is dropped with its functions (not with the
    // registrations, which are the control's).
    LNotificationHandler<T>& Create()
    {
        mTable = RCPtr<LNotificationHandler<T>>(new LNotificationHandler<T>(mOwner));
        return *mTable;
    }

    explicit operator bool() const { return bool(mTable); }
    LNotificationHandler<T>* operator->() const { return mTable.Get(); }
    LNotificationHandler<T>& operator*() const { return *mTable; }

    int32_t HandleNotification(const ConstRCPtr<LNotificationDistributor>& sender,
                               const ConstRCPtr<LNotification>& notification) override
    {
        return mTable ? mTable->HandleNotification(sender, notification) : 0;
    }

    void UnregisterHandler(const ConstRCPtr<LNotificationDistributor>& distributor,
                           const char16_t* name) override
    {
        if (mTable) {
            mTable->UnregisterHandler(distributor, name);
        }
    }

private:
    T* mOwner;
    RCPtr<LNotificationHandler<T>> mTable;
};

} // namespace SV
