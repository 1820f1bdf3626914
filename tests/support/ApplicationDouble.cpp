#include "ApplicationDouble.h"

#include "Notification/Notification.h"

namespace svtest {

ApplicationDouble::ApplicationDouble() : mClient(new SV::LNotificationClient())
{
    const SV::RCPtr<SV::LNotificationCenter> center =
        SV::GetNotificationCenterManager()->GetCenter(SV::GetApplicationCenterName());
    if (center) {
        mHotKeyReceiver = center->GetPostingReceiver();
    }
}

ApplicationDouble::~ApplicationDouble()
{
    mClient->UnregisterAll();
    mHotKeyReceiver = nullptr;
    SV::RCPtr<SV::LNotificationCenterManager> manager =
        std::move(SV::GetNotificationCenterManager());
    manager = nullptr;
    SV::SetNotificationRecycling(false);
}

void ApplicationDouble::RunApplicationStartup()
{
    SV::SetNotificationRecycling(true);
}

bool ApplicationDouble::IdlePass(bool first)
{
    const SV::RCPtr<SV::LNotificationCenterManager>& manager = SV::GetNotificationCenterManager();
    return manager->ProcessAll(first);
}

SV::RCPtr<SV::LNotificationCenter> ApplicationDouble::GetNotificationCenter() const
{
    return SV::GetNotificationCenterManager()->GetCenter(SV::GetApplicationCenterName());
}

} // namespace svtest
