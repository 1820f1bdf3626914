#include "Notification/NotificationCenter.h"

#include "ResultCodes.h"

namespace SV {

namespace {

RCPtr<LNotificationCenterManager> gManager;

const RCPtr<LNotificationCenter>& EmptyCenter()
{
    static const RCPtr<LNotificationCenter> empty;
    return empty;
}

} // namespace

RCPtr<LNotificationCenter> CreateNotificationCenter(const WideString& name)
{
    RCPtr<LNotificationCenter> center(new LNotificationCenter(name));
    const RCPtr<LNotificationQueue::LPostingReceiver> receiver = center->GetPostingReceiver();
    if (receiver && !center->GetDistributor() &&
        center->SetDistributor(ConstRCPtr<LNotificationDistributor>(center.Get())) == 0) {
        // The queue's reference to its own centre.
        center->AddInternalRef();
    }
    return center;
}

int32_t LNotificationCenter::ReleaseHook()
{
    UnregisterAllClients();
    const bool holdsItself = GetDistributor().Get() == this;
    Detach();
    if (holdsItself) {
        ReleaseInternalRef();
    }
    return (GetInternalRefCount() == 0 && GetRefCount() == 1) ? S_OK : E_FAIL;
}

const RCPtr<LNotificationCenter>&
LNotificationCenterManager::FindCenter(const WideString& name) const
{
    for (int32_t i = 0; i < mCenters.GetCount(); ++i) {
        const RCPtr<LNotificationCenter>& center = *mCenters.At(i);
        const WideString& centerName = center->GetName();
        if (centerName.GetText() == name.GetText() || centerName.Equals(name)) {
            return center;
        }
    }
    return EmptyCenter();
}

const RCPtr<LNotificationCenter>& LNotificationCenterManager::GetCenter(const WideString& name)
{
    if (name.IsEmpty()) {
        return EmptyCenter();
    }
    const RCPtr<LNotificationCenter>& found = FindCenter(name);
    if (found) {
        return found;
    }
    const int32_t index = mCenters.Add(CreateNotificationCenter(name));
    return index >= 0 ? *mCenters.At(index) : EmptyCenter();
}

bool LNotificationCenterManager::ProcessAll(bool sendIdle)
{
    bool remaining = false;
    for (int32_t i = mCenters.GetCount() - 1; i >= 0; --i) {
        const RCPtr<LNotificationCenter> center = *mCenters.At(i);
        if (center->Process(sendIdle)) {
            remaining = true;
        }
    }
    return remaining;
}

RCPtr<LNotificationCenterManager> CreateNotificationCenterManager()
{
    return RCPtr<LNotificationCenterManager>(new LNotificationCenterManager());
}

RCPtr<LNotificationCenterManager>& GetNotificationCenterManager()
{
    if (!gManager) {
        gManager = CreateNotificationCenterManager();
    }
    return gManager;
}

const WideString& GetApplicationCenterName()
{
    static const WideString name(u"application");
    return name;
}

} // namespace SV
