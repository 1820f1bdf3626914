#include "Notification/NotificationDistributor.h"
#include "Notification/NotificationClient.h"

#include "NotificationTestReceivers.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

using svtest::DeliveryLog;
using svtest::MakeDistributor;
using svtest::MakeReceiver;
using svtest::RecordingReceiver;
using Lines = std::vector<std::string>;

constexpr const char16_t* kPing = u"NID_TEST_PING";
constexpr const char16_t* kPong = u"NID_TEST_PONG";

// One distributor with three receivers registered for "ping" in the order R1, R2, R3.
class ThreeReceivers : public testing::Test
{
protected:
    void SetUp() override
    {
        for (const char* name : {"R1", "R2", "R3"}) {
            receivers.push_back(MakeReceiver(name, log));
            ASSERT_NE(nullptr, receivers.back()->Register(distributor, kPing));
        }
    }
    void TearDown() override
    {
        for (auto& receiver : receivers) {
            receiver->UnregisterAll();
        }
        EXPECT_EQ(0, distributor->GetRegistrationCount());
        EXPECT_EQ(1, distributor->GetRefCount());
    }

    RecordingReceiver& R(int number) { return *receivers[size_t(number - 1)]; }
    SV::RCPtr<RecordingReceiver> Ptr(int number) { return receivers[size_t(number - 1)]; }
    int32_t Ping() { return distributor->Notify(SV::CreateNotification(kPing)); }

    DeliveryLog log;
    SV::RCPtr<SV::LNotificationDistributor> distributor = MakeDistributor();
    std::vector<SV::RCPtr<RecordingReceiver>> receivers;
};

TEST_F(ThreeReceivers, NotifyRunsTheLastRegisteredFirstOnTheCallersThread)
{
    EXPECT_EQ(0, Ping());
    EXPECT_EQ(Lines({"R3:NID_TEST_PING", "R2:NID_TEST_PING", "R1:NID_TEST_PING"}), log.Lines());
    EXPECT_EQ(distributor.Get(), R(1).lastSender);
}

TEST_F(ThreeReceivers, NotifyAnswersOneWithoutReceiversAndRefusesAnEmptyNotification)
{
    EXPECT_EQ(1, distributor->Notify(SV::CreateNotification(kPong)));
    EXPECT_EQ(E_INVALIDARG, distributor->Notify(nullptr));
    // A pool stays after its last registration goes, and still answers 1.
    for (int i = 1; i <= 3; ++i) {
        R(i).Unregister(distributor, kPing);
    }
    EXPECT_EQ(1, Ping());
    EXPECT_TRUE(log.Lines().empty());
}

// Receivers that change the registrations of the pool while it is being sent.
struct SendChange
{
    const char* description;
    int acting;                   // the receiver that acts while it receives
    std::vector<int> unregisters; // whom it unregisters
    Lines expected;

    friend void PrintTo(const SendChange& change, std::ostream* out) { *out << change.description; }
};

class RegistrationsChangedDuringASend : public ThreeReceivers,
                                        public testing::WithParamInterface<SendChange>
{};

TEST_P(RegistrationsChangedDuringASend, EveryRemainingReceiverIsServedOnceAndRemovedOnesNever)
{
    const SendChange& change = GetParam();
    R(change.acting).action = [&](const SV::ConstRCPtr<SV::LNotification>&) {
        for (int number : change.unregisters) {
            R(number).Unregister(distributor, kPing);
        }
    };
    EXPECT_EQ(0, Ping());
    EXPECT_EQ(change.expected, log.Lines()) << change.description;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RegistrationsChangedDuringASend,
    testing::Values(SendChange{"R3 removes R2", 3, {2}, {"R3:NID_TEST_PING", "R1:NID_TEST_PING"}},
                    SendChange{"R2 removes R1", 2, {1}, {"R3:NID_TEST_PING", "R2:NID_TEST_PING"}},
                    SendChange{"R2 removes itself",
                               2,
                               {2},
                               {"R3:NID_TEST_PING", "R2:NID_TEST_PING", "R1:NID_TEST_PING"}},
                    SendChange{"R3 removes everybody", 3, {3, 2, 1}, {"R3:NID_TEST_PING"}},
                    SendChange{"R1 removes R3 and R2 after they ran",
                               1,
                               {3, 2},
                               {"R3:NID_TEST_PING", "R2:NID_TEST_PING", "R1:NID_TEST_PING"}}));

TEST_F(ThreeReceivers, AReceiverRegisteredDuringASendGetsNothingFromIt)
{
    const auto late = MakeReceiver("late", log);
    R(2).action = [&](const SV::ConstRCPtr<SV::LNotification>&) {
        late->Register(distributor, kPing);
    };
    Ping();
    EXPECT_EQ(Lines({"R3:NID_TEST_PING", "R2:NID_TEST_PING", "R1:NID_TEST_PING"}), log.Lines());
    log.Clear();
    R(2).action = nullptr;
    Ping();
    EXPECT_EQ("late:NID_TEST_PING", log.Lines().front());
    late->UnregisterAll();
}

TEST_F(ThreeReceivers, SendToClientServesOneRegistration)
{
    const auto pool = distributor->FindClientPool(SV::GetNotificationID(kPing));
    ASSERT_TRUE(pool);
    EXPECT_EQ(3, pool->GetClientCount());
    EXPECT_EQ(0, pool->SendToClient(distributor.Get(), 0, SV::CreateNotification(kPing)));
    EXPECT_EQ(Lines({"R1:NID_TEST_PING"}), log.Lines());
}

TEST(NotificationDistributorTest, RegisteringTwiceKeepsOneRegistrationAndReplacesItsFlags)
{
    DeliveryLog log;
    const auto distributor = MakeDistributor();
    const auto receiver = MakeReceiver("R", log);
    EXPECT_EQ(0, distributor->RegisterClient(receiver, kPing, 0));
    const int32_t distributorRefs = distributor->GetRefCount();
    const int32_t receiverRefs = receiver->GetRefCount();

    EXPECT_EQ(1, distributor->RegisterClient(receiver, kPing, 1));
    EXPECT_EQ(1, distributor->GetRegistrationCount());
    EXPECT_EQ(distributorRefs, distributor->GetRefCount());
    EXPECT_EQ(receiverRefs, receiver->GetRefCount());
    int32_t flags = -1;
    EXPECT_EQ(0, distributor->GetClientFlags(receiver, kPing, flags));
    EXPECT_EQ(1, flags);
    EXPECT_EQ(1, distributor->FindClientPool(SV::GetNotificationID(kPing))->GetFlags());

    EXPECT_EQ(0, distributor->UnregisterClient(receiver, kPing));
    EXPECT_EQ(1, distributor->UnregisterClient(receiver, kPing));
    EXPECT_EQ(1, distributor->GetRefCount());
}

TEST(NotificationDistributorTest, ArgumentsWithoutReceiverOrIdAreRefused)
{
    DeliveryLog log;
    const auto distributor = MakeDistributor();
    const auto receiver = MakeReceiver("R", log);
    EXPECT_EQ(E_INVALIDARG, distributor->RegisterClient(nullptr, kPing, 0));
    EXPECT_EQ(1, distributor->RegisterClient(receiver, u"", 0));
    EXPECT_EQ(E_INVALIDARG, distributor->UnregisterClient(nullptr, kPing));
    EXPECT_EQ(E_INVALIDARG, distributor->UnregisterClient(receiver, nullptr));
    EXPECT_EQ(1, distributor->UnregisterClient(receiver, kPing));
    EXPECT_EQ(E_INVALIDARG, distributor->UnregisterClientFromAll(nullptr));
    int32_t flags = 0;
    EXPECT_EQ(E_FAIL, distributor->GetClientFlags(receiver, kPing, flags));
    EXPECT_EQ(E_FAIL, distributor->GetClientFlags(receiver, nullptr, flags));
    EXPECT_FALSE(distributor->HasClient(receiver));
    EXPECT_EQ(0, distributor->GetRegistrationCount());
    EXPECT_EQ(1, distributor->GetRefCount());
}

TEST(NotificationDistributorTest, ALatestPostedOnlyReceiverGetsNothingSentDirectly)
{
    DeliveryLog log;
    const auto distributor = MakeDistributor();
    const auto plain = MakeReceiver("plain", log);
    const auto latestOnly = MakeReceiver("latest", log);
    plain->Register(distributor, kPing);
    latestOnly->Register(distributor, kPing, SV::LNotificationDistributor::kLatestPostedOnly);
    EXPECT_EQ(0, distributor->Notify(SV::CreateNotification(kPing)));
    EXPECT_EQ(Lines({"plain:NID_TEST_PING"}), log.Lines());
    latestOnly->UnregisterAll();
    plain->UnregisterAll();
}

TEST(NotificationClientTest, RegisterAndUnregisterKeepTheCountsOnBothSides)
{
    DeliveryLog log;
    const auto distributor = MakeDistributor();
    const auto client = MakeReceiver("C", log);
    EXPECT_EQ(nullptr, client->Register(nullptr, kPing));
    EXPECT_EQ(nullptr, client->Register(distributor, nullptr));
    EXPECT_EQ(1, client->Unregister(distributor, kPing)) << "no registrations at all";

    EXPECT_EQ(SV::GetNotificationID(kPing), client->Register(distributor, kPing));
    EXPECT_EQ(SV::GetNotificationID(kPing), client->Register(distributor, kPing));
    EXPECT_EQ(1, client->GetRegistrationCount());
    EXPECT_EQ(1, client->GetInternalRefCount());
    EXPECT_EQ(1, client->GetDistributorCount());
    EXPECT_EQ(2, client->GetRefCount());
    EXPECT_EQ(2, distributor->GetRefCount());
    EXPECT_EQ(1, distributor->GetInternalRefCount());

    EXPECT_EQ(E_INVALIDARG, client->Unregister(nullptr, kPing));
    EXPECT_EQ(E_INVALIDARG, client->Unregister(distributor, nullptr));
    EXPECT_EQ(1, client->Unregister(distributor, kPong));
    EXPECT_EQ(0, client->Unregister(distributor, kPing));
    EXPECT_EQ(0, client->GetRegistrationCount());
    EXPECT_EQ(0, client->GetInternalRefCount());
    EXPECT_EQ(0, client->GetDistributorCount()) << "forgotten with its last registration";
    EXPECT_EQ(1, client->GetRefCount());
    EXPECT_EQ(1, distributor->GetRefCount());
    EXPECT_EQ(0, distributor->GetInternalRefCount());
}

TEST(NotificationClientTest, UnregisterAllLeavesEveryDistributor)
{
    DeliveryLog log;
    const auto first = MakeDistributor();
    const auto second = MakeDistributor();
    const auto client = MakeReceiver("C", log);
    const auto other = MakeReceiver("other", log);
    client->Register(first, kPing);
    client->Register(first, kPong);
    client->Register(second, kPing);
    other->Register(second, kPing);
    EXPECT_EQ(3, client->GetInternalRefCount());
    EXPECT_EQ(2, client->GetDistributorCount());

    EXPECT_EQ(3, client->UnregisterAll());
    EXPECT_EQ(0, client->GetRegistrationCount());
    EXPECT_EQ(0, client->GetInternalRefCount());
    EXPECT_EQ(0, client->GetDistributorCount());
    EXPECT_EQ(1, client->GetRefCount());
    EXPECT_EQ(0, first->GetRegistrationCount());
    EXPECT_EQ(1, second->GetRegistrationCount());
    EXPECT_EQ(1, first->GetRefCount());
    EXPECT_EQ(0, client->UnregisterAll());
    other->UnregisterAll();
}

// Counts its own destruction.
class WatchedClient : public SV::LNotificationClient
{
public:
    explicit WatchedClient(bool& destroyed) : mDestroyed(destroyed) {}
    ~WatchedClient() override { mDestroyed = true; }

private:
    bool& mDestroyed;
};

TEST(NotificationClientTest, DroppingTheLastOutsideReferenceUnregistersAndDestroysTheClient)
{
    const auto distributor = MakeDistributor();
    bool destroyed = false;
    SV::RCPtr<WatchedClient> client(new WatchedClient(destroyed));
    client->Register(distributor, kPing);
    client->Register(distributor, kPong);
    EXPECT_EQ(3, client->GetRefCount());
    client = nullptr;
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(0, distributor->GetRegistrationCount());
    EXPECT_EQ(1, distributor->GetRefCount());
    EXPECT_EQ(0, distributor->GetInternalRefCount());
}

TEST(NotificationDistributorTest, UnregisterAllClientsMakesEveryClientLetGo)
{
    DeliveryLog log;
    const auto distributor = MakeDistributor();
    const auto a = MakeReceiver("A", log);
    const auto b = MakeReceiver("B", log);
    a->Register(distributor, kPing);
    a->Register(distributor, kPong);
    b->Register(distributor, kPing);
    EXPECT_TRUE(distributor->HasClient(a));

    EXPECT_EQ(0, distributor->UnregisterAllClients());
    EXPECT_FALSE(distributor->HasClient(a));
    EXPECT_FALSE(distributor->HasClient(b));
    EXPECT_EQ(0, a->GetRegistrationCount());
    EXPECT_EQ(0, b->GetDistributorCount());
    EXPECT_EQ(1, a->GetRefCount());
    EXPECT_EQ(1, distributor->GetRefCount());
    EXPECT_EQ(1, distributor->Notify(SV::CreateNotification(kPing)));
}

} // namespace
