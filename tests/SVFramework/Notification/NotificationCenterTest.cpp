#include "Notification/NotificationCenter.h"
#include "Notification/NotificationNames.h"

#include "ApplicationDouble.h"
#include "NotificationTestReceivers.h"
#include "TrackedObjects.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

using svtest::DeliveryLog;
using svtest::MakeReceiver;
using Lines = std::vector<std::string>;

constexpr const char16_t* kPing = u"NID_TEST_PING";

TEST(NotificationCenterManagerTest, GetCenterFindsOrCreatesByExactName)
{
    const auto manager = SV::CreateNotificationCenterManager();
    const SV::RCPtr<SV::LNotificationCenter> application = manager->GetCenter(u"application");
    ASSERT_TRUE(application);
    EXPECT_TRUE(application->GetName().EqualsText(u"application"));
    EXPECT_EQ(application, manager->GetCenter(u"application"));
    EXPECT_EQ(application, manager->FindCenter(SV::GetApplicationCenterName()));

    EXPECT_FALSE(manager->GetCenter(u""));
    EXPECT_FALSE(manager->FindCenter(u"nowhere"));
    EXPECT_EQ(1, manager->GetCenterCount());

    const SV::RCPtr<SV::LNotificationCenter> other = manager->GetCenter(u"Application");
    EXPECT_NE(application, other);
    EXPECT_EQ(2, manager->GetCenterCount());
}

TEST(NotificationCenterManagerTest, ACentreDeliversWhatIsPostedToItIntoItself)
{
    DeliveryLog log;
    const auto manager = SV::CreateNotificationCenterManager();
    const SV::RCPtr<SV::LNotificationCenter> center = manager->GetCenter(u"bus");
    const auto receiver = MakeReceiver("R", log);
    receiver->Register(center, kPing);
    EXPECT_EQ(0, center->Post(SV::CreateNotification(kPing)));
    EXPECT_TRUE(log.Lines().empty());
    EXPECT_FALSE(manager->ProcessAll(false));
    EXPECT_EQ(Lines({"R:NID_TEST_PING"}), log.Lines());
    EXPECT_EQ(center.Get(), receiver->lastSender);
    // Notified directly, it delivers at once.
    EXPECT_EQ(0, center->Notify(SV::CreateNotification(kPing)));
    EXPECT_EQ(2u, log.Lines().size());
}

TEST(NotificationCenterManagerTest, ProcessAllWithNothingQueuedSendsEachCentresIdle)
{
    DeliveryLog log;
    const auto manager = SV::CreateNotificationCenterManager();
    const auto first = MakeReceiver("first", log);
    const auto second = MakeReceiver("second", log);
    first->Register(manager->GetCenter(u"one"), SV::kNidIdle);
    second->Register(manager->GetCenter(u"two"), SV::kNidIdle);
    EXPECT_FALSE(manager->ProcessAll(true));
    // The newest centre first.
    EXPECT_EQ(Lines({"second:NID_IDLE", "first:NID_IDLE"}), log.Lines());
    EXPECT_FALSE(manager->ProcessAll(false));
    EXPECT_EQ(2u, log.Lines().size());
}

TEST(NotificationCenterManagerTest, AnotherThreadsPostReachesTheReceiversOnTheProcessingThread)
{
    DeliveryLog log;
    const auto manager = SV::CreateNotificationCenterManager();
    const SV::RCPtr<SV::LNotificationCenter> center = manager->GetCenter(u"application");
    const auto receiver = MakeReceiver("R", log);
    std::thread::id deliveredOn;
    receiver->action = [&](const SV::ConstRCPtr<SV::LNotification>&) {
        deliveredOn = std::this_thread::get_id();
    };
    receiver->Register(center, u"NID_PARAM_MODULE_STATE_CHANGE");
    int32_t posted = -1;
    std::thread poster(
        [&] { posted = center->Post(SV::CreateNotification(u"NID_PARAM_MODULE_STATE_CHANGE")); });
    poster.join();
    EXPECT_EQ(0, posted);
    EXPECT_FALSE(manager->ProcessAll(true));
    EXPECT_EQ(Lines({"R:NID_PARAM_MODULE_STATE_CHANGE"}), log.Lines());
    EXPECT_EQ(std::this_thread::get_id(), deliveredOn);
}

TEST(NotificationCenterManagerTest, ACentreNobodyHoldsUnregistersItsReceiversAndDies)
{
    DeliveryLog log;
    svtest::Tally tally;
    auto manager = SV::CreateNotificationCenterManager();
    SV::RCPtr<SV::LNotificationCenter> center = manager->GetCenter(u"bus");
    const SV::RCPtr<SV::LNotificationReceiver> posting = center->GetPostingReceiver();
    const auto receiver = MakeReceiver("R", log);
    receiver->Register(center, kPing);
    receiver->Register(center, SV::kNidIdle);
    center->Post(SV::CreateNotification(
        kPing, SV::ConstRCPtr<SV::LRefCountedObject>(new svtest::TrackedObject(tally))));

    center = nullptr;
    manager = nullptr;
    EXPECT_EQ(0, receiver->GetRegistrationCount());
    EXPECT_EQ(0, receiver->GetDistributorCount());
    EXPECT_EQ(1, receiver->GetRefCount());
    EXPECT_EQ(1, tally.destroyed) << "the queued notification went with the queue";
    EXPECT_TRUE(log.Lines().empty());
    // The posting receiver outlives its queue and posts nowhere.
    posting->Receive(nullptr, SV::CreateNotification(kPing));
    EXPECT_EQ(1, posting->GetRefCount());
}

TEST(NotificationCenterManagerTest, TheProcessWideManagerIsMadeOnceUntilItIsDropped)
{
    SV::RCPtr<SV::LNotificationCenterManager>& manager = SV::GetNotificationCenterManager();
    ASSERT_TRUE(manager);
    const SV::LNotificationCenterManager* first = manager.Get();
    EXPECT_EQ(first, SV::GetNotificationCenterManager().Get());
    manager = nullptr;
    EXPECT_TRUE(SV::GetNotificationCenterManager());
    SV::GetNotificationCenterManager() = nullptr;
}

TEST(ApplicationDoubleTest, KeyCommandsPostedThroughTheCentreArriveAtTheIdlePass)
{
    DeliveryLog log;
    {
        svtest::ApplicationDouble application;
        application.RunApplicationStartup();
        const SV::RCPtr<SV::LNotificationCenter> center = application.GetNotificationCenter();
        ASSERT_TRUE(center);
        application.GetClient()->Register(center, SV::kNidAppExitRequest);
        const auto receiver = MakeReceiver("view", log);
        receiver->Register(center, u"NID_MENU_FILE_SAVE");

        // What the hot-key manager does for a bound key.
        application.GetHotKeyReceiver()->Receive(nullptr,
                                                 SV::CreateNotification(u"NID_MENU_FILE_SAVE"));
        EXPECT_TRUE(log.Lines().empty());
        EXPECT_FALSE(application.IdlePass(true));
        EXPECT_EQ(Lines({"view:NID_MENU_FILE_SAVE"}), log.Lines());
        EXPECT_GT(SV::GetRecycledNotificationCount(), 0);
        receiver->UnregisterAll();
    }
    // Shut down: no manager is left, and recycling is off with an empty pool.
    EXPECT_EQ(0, SV::GetRecycledNotificationCount());
    SV::RCPtr<SV::LNotificationCenterManager>& fresh = SV::GetNotificationCenterManager();
    EXPECT_EQ(0, fresh->GetCenterCount());
    fresh = nullptr;
}

} // namespace
