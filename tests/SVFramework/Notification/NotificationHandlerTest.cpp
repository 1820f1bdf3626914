#include "Notification/NotificationHandler.h"

#include "NotificationTestReceivers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using svtest::MakeDistributor;
using Lines = std::vector<std::string>;

constexpr const char16_t* kPing = u"NID_TEST_PING";
constexpr const char16_t* kPong = u"NID_TEST_PONG";

// The base of an owner: handles what its own table does not, as a control base would.
class OwnerBase : public SV::LNotificationClient
{
public:
    void Receive(const SV::ConstRCPtr<SV::LNotificationDistributor>& /*sender*/,
                 const SV::ConstRCPtr<SV::LNotification>& notification) override
    {
        log.push_back("base:" + svtest::NameOf(notification));
    }

    Lines log;
};

// An owner that follows the contract: its handler first, then the base; its Unregister clears
// the table entry before the registration.
class Owner : public OwnerBase
{
public:
    Owner() : handler(new SV::LNotificationHandler<Owner>(this)) {}

    void Receive(const SV::ConstRCPtr<SV::LNotificationDistributor>& sender,
                 const SV::ConstRCPtr<SV::LNotification>& notification) override
    {
        if (handler->HandleNotification(sender, notification) == 0) {
            OwnerBase::Receive(sender, notification);
        }
    }

    int32_t Unregister(const SV::RCPtr<SV::LNotificationDistributor>& distributor,
                       const char16_t* name) override
    {
        handler->UnregisterHandler(distributor, name);
        return SV::LNotificationClient::Unregister(distributor, name);
    }

    int32_t OnFirst(const SV::ConstRCPtr<SV::LNotificationDistributor>& /*sender*/,
                    const SV::ConstRCPtr<SV::LNotification>& notification)
    {
        log.push_back("first:" + svtest::NameOf(notification));
        return 1;
    }
    int32_t OnSecond(const SV::ConstRCPtr<SV::LNotificationDistributor>& /*sender*/,
                     const SV::ConstRCPtr<SV::LNotification>& notification)
    {
        log.push_back("second:" + svtest::NameOf(notification));
        return 1;
    }
    // Declines, so the base gets the notification too.
    int32_t OnDecline(const SV::ConstRCPtr<SV::LNotificationDistributor>& /*sender*/,
                      const SV::ConstRCPtr<SV::LNotification>& notification)
    {
        log.push_back("decline:" + svtest::NameOf(notification));
        return 0;
    }

    SV::RCPtr<SV::LNotificationHandler<Owner>> handler;
};

class NotificationHandlerTest : public testing::Test
{
protected:
    void TearDown() override
    {
        owner->UnregisterAll();
        EXPECT_EQ(1, owner->GetRefCount());
    }

    void Send(const SV::RCPtr<SV::LNotificationDistributor>& from, const char16_t* name)
    {
        from->Notify(SV::CreateNotification(name));
    }

    SV::RCPtr<Owner> owner{new Owner()};
    SV::RCPtr<SV::LNotificationDistributor> one = MakeDistributor();
    SV::RCPtr<SV::LNotificationDistributor> two = MakeDistributor();
};

TEST_F(NotificationHandlerTest, EachSenderReachesItsOwnFunctionAndTheRestGoesToTheBase)
{
    EXPECT_EQ(0, owner->handler->RegisterHandler(&Owner::OnFirst, one, kPing));
    EXPECT_EQ(0, owner->handler->RegisterHandler(&Owner::OnSecond, two, kPing));
    EXPECT_EQ(0, owner->handler->RegisterHandler(&Owner::OnDecline, one, kPong));
    // Registered as a client of `two` for "pong", with no function bound to the pair.
    owner->Register(two, kPong);
    Send(one, kPing);
    Send(two, kPing);
    Send(one, kPong);
    Send(two, kPong);
    EXPECT_EQ(Lines({"first:NID_TEST_PING", "second:NID_TEST_PING", "decline:NID_TEST_PONG",
                     "base:NID_TEST_PONG", "base:NID_TEST_PONG"}),
              owner->log);
}

TEST_F(NotificationHandlerTest, TheFirstFunctionStaysBoundAndTheLastFlagsApply)
{
    owner->handler->RegisterHandler(&Owner::OnFirst, one, kPing, 0);
    EXPECT_EQ(0, owner->handler->RegisterHandler(&Owner::OnSecond, one, kPing, 1));
    EXPECT_EQ(1, owner->handler->GetHandlerCount());
    SV::LNotificationHandler<Owner>::Function function = nullptr;
    int32_t flags = -1;
    EXPECT_EQ(0, owner->handler->GetRegistration(one, kPing, function, flags));
    EXPECT_EQ(&Owner::OnFirst, function);
    EXPECT_EQ(1, flags);
    EXPECT_EQ(1, owner->GetRegistrationCount());
}

TEST_F(NotificationHandlerTest, RegisterHandlerRefusesAnEmptyDistributorAndANameWithoutId)
{
    EXPECT_EQ(E_INVALIDARG, owner->handler->RegisterHandler(&Owner::OnFirst, nullptr, kPing));
    EXPECT_EQ(E_FAIL, owner->handler->RegisterHandler(&Owner::OnFirst, one, u""));
    EXPECT_EQ(E_FAIL, owner->handler->RegisterSelfHandler(&Owner::OnFirst, nullptr));
    EXPECT_EQ(0, owner->handler->GetHandlerCount());
    EXPECT_EQ(0, owner->GetRegistrationCount());
}

TEST_F(NotificationHandlerTest, ASelfHandlerTakesOnlyNotificationsWithoutSender)
{
    EXPECT_EQ(0, owner->handler->RegisterSelfHandler(&Owner::OnFirst, kPing));
    owner->Register(one, kPing);
    owner->Receive(nullptr, SV::CreateNotification(kPing));
    Send(one, kPing);
    EXPECT_EQ(Lines({"first:NID_TEST_PING", "base:NID_TEST_PING"}), owner->log);
}

TEST_F(NotificationHandlerTest, ARegistrationTakenOutIsRestoredWithItsFunctionAndFlags)
{
    owner->handler->RegisterHandler(&Owner::OnSecond, one, kPing, 1);
    SV::LNotificationHandler<Owner>::Function function = nullptr;
    int32_t flags = 0;
    ASSERT_EQ(0, owner->handler->GetRegistration(one, kPing, function, flags));

    EXPECT_TRUE(owner->handler->UnregisterHandler(one, kPing));
    EXPECT_FALSE(owner->handler->UnregisterHandler(one, kPing));
    EXPECT_EQ(0, owner->SV::LNotificationClient::Unregister(one, kPing));
    EXPECT_EQ(E_FAIL, owner->handler->GetRegistration(one, kPing, function, flags));

    EXPECT_EQ(0, owner->handler->RegisterHandler(function, one, kPing, flags));
    int32_t restored = 0;
    EXPECT_EQ(0, one->GetClientFlags(owner, kPing, restored));
    EXPECT_EQ(1, restored);
}

TEST_F(NotificationHandlerTest, GetRegistrationFailsWithoutTheDistributorsRegistration)
{
    owner->handler->RegisterHandler(&Owner::OnFirst, one, kPing);
    SV::LNotificationHandler<Owner>::Function function = nullptr;
    int32_t flags = 0;
    // The table entry stays when only the client registration goes.
    owner->SV::LNotificationClient::Unregister(one, kPing);
    EXPECT_EQ(E_FAIL, owner->handler->GetRegistration(one, kPing, function, flags));
    EXPECT_EQ(E_FAIL, owner->handler->GetRegistration(two, kPing, function, flags));
    EXPECT_EQ(E_FAIL, owner->handler->GetRegistration(nullptr, kPing, function, flags));
}

TEST_F(NotificationHandlerTest, ADistributorThatUnregistersItsClientsClearsTheTableEntriesToo)
{
    owner->handler->RegisterHandler(&Owner::OnFirst, one, kPing);
    owner->handler->RegisterHandler(&Owner::OnSecond, one, kPong);
    owner->handler->RegisterHandler(&Owner::OnSecond, two, kPong);
    one->UnregisterAllClients();
    EXPECT_EQ(1, owner->handler->GetHandlerCount());
    EXPECT_EQ(1, owner->GetRegistrationCount());
    EXPECT_EQ(1, one->GetRefCount());
}

} // namespace
