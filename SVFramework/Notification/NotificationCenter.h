// Notification centres: named buses that parts of the program which do not know one another
// meet on. A centre is a distributor and a queue in one, its queue delivering into the centre
// itself, so a sender may notify it at once or post to it from any thread. The process-wide
// manager finds or creates centres by name and drains them all in the application's idle pass.
// The manager and its centre list have no lock: they are used on the user-interface thread.
#pragma once

#include "Notification/NotificationDistributor.h"
#include "Notification/NotificationQueue.h"
#include "Utilities/Storage/RCPtrArray.h"
#include "Utilities/Storage/StringT.h"

namespace SV {

class LNotificationCenter : public LNotificationDistributor, public LNotificationQueue
{
public:
    explicit LNotificationCenter(const WideString& name) : mName(name) {}
    ~LNotificationCenter() override = default;

    const WideString& GetName() const { return mName; }

    // Unregisters every receiver and detaches the queue, which drops the centre's reference to
    // itself, so that a centre nobody else holds dies.
    int32_t ReleaseHook() override;

private:
    friend RCPtr<LNotificationCenter> CreateNotificationCenter(const WideString& name);

    WideString mName;
};

class LNotificationCenterManager : public virtual LRefCountedObject
{
public:
    LNotificationCenterManager() = default;
    LNotificationCenterManager(const LNotificationCenterManager&) = delete;
    LNotificationCenterManager& operator=(const LNotificationCenterManager&) = delete;
    ~LNotificationCenterManager() override = default;

    // The centre of the name, created when there is none; an empty pointer for an empty name.
    // The reference points into the manager: copy the pointer at once.
    const RCPtr<LNotificationCenter>& GetCenter(const WideString& name);
    // The centre of the name (letter case counts), or an empty pointer; creates nothing.
    const RCPtr<LNotificationCenter>& FindCenter(const WideString& name) const;
    // Processes every centre's queue, the newest centre first; true when any centre still has
    // queued notifications.
    bool ProcessAll(bool sendIdle);

    int32_t GetCenterCount() const { return mCenters.GetCount(); }

private:
    RCPtrArray<LNotificationCenter, 1, 0> mCenters;
};

// A new centre whose queue delivers into itself.
RCPtr<LNotificationCenter> CreateNotificationCenter(const WideString& name);
RCPtr<LNotificationCenterManager> CreateNotificationCenterManager();
// The process-wide manager, created by the first call (the application's constructor, on the
// user-interface thread). The application empties the pointer at shutdown; a later call then
// creates a new, empty manager.
RCPtr<LNotificationCenterManager>& GetNotificationCenterManager();
// "application", the program-wide bus.
const WideString& GetApplicationCenterName();

} // namespace SV
