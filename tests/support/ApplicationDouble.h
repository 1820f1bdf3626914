// A stand-in for the application object, doing only what the notification system relies on:
// the constructor asks for the "application" centre and keeps its posting receiver (the real
// object hands it to the hot-key manager), start-up switches notification recycling on, the
// idle pass drains every centre, and the destructor unregisters, drops the centre manager and
// switches recycling off, which frees every pooled notification.
#pragma once

#include "Notification/NotificationCenter.h"
#include "Notification/NotificationClient.h"

namespace svtest {

class ApplicationDouble
{
public:
    ApplicationDouble();
    ApplicationDouble(const ApplicationDouble&) = delete;
    ApplicationDouble& operator=(const ApplicationDouble&) = delete;
    ~ApplicationDouble();

    // The first step of the start-up chain.
    void RunApplicationStartup();
    // True while any centre has work left.
    bool IdlePass(bool first);

    // The "application" centre; empty when there is no manager.
    SV::RCPtr<SV::LNotificationCenter> GetNotificationCenter() const;
    // What the hot-key manager would post key commands through.
    const SV::RCPtr<SV::LNotificationReceiver>& GetHotKeyReceiver() const
    {
        return mHotKeyReceiver;
    }
    // The application's own registrations, dropped by the destructor.
    const SV::RCPtr<SV::LNotificationClient>& GetClient() const { return mClient; }

private:
    SV::RCPtr<SV::LNotificationClient> mClient;
    SV::RCPtr<SV::LNotificationReceiver> mHotKeyReceiver;
};

} // namespace svtest
