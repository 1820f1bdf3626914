// Receivers for the notification tests: a client that writes what it receives into a shared
// log and may run an action while it receives, and a log that other threads may write to.
#pragma once

#include "Notification/Notification.h"
#include "Notification/NotificationClient.h"
#include "Notification/NotificationDistributor.h"

#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace svtest {

// "<receiver>:<notification name>" lines in the order of delivery.
class DeliveryLog
{
public:
    void Add(std::string line)
    {
        std::lock_guard lock(mMutex);
        mLines.push_back(std::move(line));
    }
    std::vector<std::string> Lines()
    {
        std::lock_guard lock(mMutex);
        return mLines;
    }
    void Clear()
    {
        std::lock_guard lock(mMutex);
        mLines.clear();
    }

private:
    std::mutex mMutex;
    std::vector<std::string> mLines;
};

inline std::string NameOf(const SV::ConstRCPtr<SV::LNotification>& notification)
{
    return SV::GetNotificationName(notification->GetId()).ToNarrow().GetText();
}

class RecordingReceiver : public SV::LNotificationClient
{
public:
    using Action = std::function<void(const SV::ConstRCPtr<SV::LNotification>&)>;

    RecordingReceiver(std::string name, DeliveryLog& log) : mName(std::move(name)), mLog(log) {}

    void Receive(const SV::ConstRCPtr<SV::LNotificationDistributor>& sender,
                 const SV::ConstRCPtr<SV::LNotification>& notification) override
    {
        lastSender = sender.Get();
        received.push_back(notification);
        mLog.Add(mName + ":" + NameOf(notification));
        if (action) {
            action(notification);
        }
    }

    const std::string& Name() const { return mName; }

    Action action;
    const SV::LNotificationDistributor* lastSender = nullptr;
    // Kept alive, so that tests can look at them after the delivery.
    std::vector<SV::ConstRCPtr<SV::LNotification>> received;

private:
    std::string mName;
    DeliveryLog& mLog;
};

inline SV::RCPtr<RecordingReceiver> MakeReceiver(const std::string& name, DeliveryLog& log)
{
    return SV::RCPtr<RecordingReceiver>(new RecordingReceiver(name, log));
}

inline SV::RCPtr<SV::LNotificationDistributor> MakeDistributor()
{
    return SV::RCPtr<SV::LNotificationDistributor>(new SV::LNotificationDistributor());
}

} // namespace svtest
