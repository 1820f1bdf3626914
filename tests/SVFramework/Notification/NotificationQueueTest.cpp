#include "Notification/NotificationQueue.h"
#include "Notification/NotificationNames.h"

#include "NotificationTestReceivers.h"
#include "ObjectBase/Holder.h"
#include "TrackedObjects.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using svtest::DeliveryLog;
using svtest::MakeDistributor;
using svtest::MakeReceiver;
using svtest::RecordingReceiver;
using Lines = std::vector<std::string>;

constexpr const char16_t* kPing = u"NID_TEST_PING";

// Sets a flag when it is destroyed.
class WatchedQueue : public SV::LNotificationQueue
{
public:
    explicit WatchedQueue(bool& destroyed) : mDestroyed(destroyed) {}
    ~WatchedQueue() override { mDestroyed = true; }

private:
    bool& mDestroyed;
};

// A queue that delivers into a distributor with one recording receiver for "ping" and one for
// "NID_IDLE".
class QueueWithReceiver : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(0, queue->SetDistributor(distributor));
        receiver->Register(distributor, kPing);
        receiver->Register(distributor, SV::kNidIdle);
    }
    void TearDown() override
    {
        receiver->UnregisterAll();
        if (queue) {
            queue->Detach();
            queue = nullptr;
        }
        EXPECT_TRUE(queueDestroyed);
        EXPECT_EQ(1, distributor->GetRefCount());
    }

    SV::RCPtr<SV::LNotification> Numbered(int number)
    {
        return SV::CreateNotification(
            kPing, SV::ConstRCPtr<SV::LRefCountedObject>(new SV::LHolder<int>(number)));
    }
    // The numbers carried by what the receiver got, in order.
    std::vector<int> Delivered()
    {
        std::vector<int> numbers;
        for (const auto& notification : receiver->received) {
            const SV::ConstRCPtr<SV::LHolder<int>> number(notification->GetPayload());
            if (number) {
                numbers.push_back(number->Get());
            }
        }
        return numbers;
    }

    bool queueDestroyed = false;
    DeliveryLog log;
    SV::RCPtr<SV::LNotificationDistributor> distributor = MakeDistributor();
    SV::RCPtr<SV::LNotificationQueue> queue{new WatchedQueue(queueDestroyed)};
    SV::RCPtr<RecordingReceiver> receiver = MakeReceiver("R", log);
};

TEST_F(QueueWithReceiver, PostedNotificationsArriveInOrderOnlyWhenProcessed)
{
    std::vector<SV::RCPtr<SV::LNotification>> posted;
    for (int i = 1; i <= 3; ++i) {
        posted.push_back(Numbered(i));
        EXPECT_EQ(0, queue->Post(posted.back()));
        EXPECT_TRUE(posted.back()->IsQueued());
    }
    EXPECT_TRUE(log.Lines().empty());
    EXPECT_FALSE(queue->Process(false));
    EXPECT_EQ(std::vector<int>({1, 2, 3}), Delivered());
    EXPECT_EQ(distributor.Get(), receiver->lastSender);
    for (const auto& notification : posted) {
        EXPECT_FALSE(notification->IsQueued());
        EXPECT_EQ(2, notification->GetRefCount()) << "the queue let go";
    }
}

TEST_F(QueueWithReceiver, AFullRingGrowsByOneSlotAndKeepsEverything)
{
    for (int i = 1; i <= 300; ++i) {
        queue->Post(Numbered(i));
    }
    EXPECT_EQ(300, queue->GetQueuedCount());
    EXPECT_FALSE(queue->Process(false));
    std::vector<int> expected;
    for (int i = 1; i <= 300; ++i) {
        expected.push_back(i);
    }
    EXPECT_EQ(expected, Delivered());
}

TEST_F(QueueWithReceiver, WhatAReceiverPostsWaitsForTheNextProcess)
{
    bool reposted = false;
    receiver->action = [&](const SV::ConstRCPtr<SV::LNotification>& notification) {
        if (!reposted && notification->GetId() == SV::GetNotificationID(kPing)) {
            reposted = true;
            EXPECT_EQ(0, queue->Post(Numbered(2)));
        }
    };
    queue->Post(Numbered(1));
    EXPECT_TRUE(queue->Process(false));
    EXPECT_EQ(std::vector<int>({1}), Delivered());
    EXPECT_FALSE(queue->Process(false));
    EXPECT_EQ(std::vector<int>({1, 2}), Delivered());
}

TEST_F(QueueWithReceiver, PostRefusesEmptyAndQueuedNotifications)
{
    const auto notification = Numbered(1);
    EXPECT_EQ(E_INVALIDARG, queue->Post(nullptr));
    EXPECT_EQ(0, queue->Post(notification));
    EXPECT_EQ(E_INVALIDARG, queue->Post(notification));
    // Cleared, the notification may be posted again.
    EXPECT_FALSE(queue->Clear());
    EXPECT_FALSE(notification->IsQueued());
    EXPECT_EQ(0, queue->Post(notification));
    queue->Process(false);
    EXPECT_EQ(std::vector<int>({1}), Delivered());
}

TEST_F(QueueWithReceiver, ProcessSendsIdleEvenWithNothingQueued)
{
    EXPECT_FALSE(queue->Process(true));
    EXPECT_EQ(Lines({"R:NID_IDLE"}), log.Lines());
}

TEST_F(QueueWithReceiver, ANestedProcessDeliversNothingButStillSendsIdle)
{
    bool nestedAnswer = false;
    receiver->action = [&](const SV::ConstRCPtr<SV::LNotification>& notification) {
        if (notification->GetId() == SV::GetNotificationID(kPing) && Delivered().size() == 1) {
            nestedAnswer = queue->Process(true);
        }
    };
    queue->Post(Numbered(1));
    queue->Post(Numbered(2));
    EXPECT_FALSE(queue->Process(false));
    EXPECT_TRUE(nestedAnswer) << "the second was still queued";
    EXPECT_EQ(Lines({"R:NID_TEST_PING", "R:NID_IDLE", "R:NID_TEST_PING"}), log.Lines());
}

TEST_F(QueueWithReceiver, AReceiverThatDetachesTheQueueEndsTheDeliveryCleanly)
{
    receiver->action = [&](const SV::ConstRCPtr<SV::LNotification>&) { queue->Detach(); };
    const auto second = Numbered(2);
    queue->Post(Numbered(1));
    queue->Post(second);
    EXPECT_FALSE(queue->Process(true));
    EXPECT_EQ(std::vector<int>({1}), Delivered());
    EXPECT_FALSE(second->IsQueued());
}

TEST_F(QueueWithReceiver, AfterDetachNothingIsPostedOrDeliveredAndTheQueueDies)
{
    const auto waiting = Numbered(1);
    queue->Post(waiting);
    const SV::RCPtr<SV::LNotificationReceiver> posting = queue->GetPostingReceiver();
    queue->Detach();
    EXPECT_FALSE(waiting->IsQueued());
    EXPECT_EQ(E_FAIL, queue->Post(Numbered(2)));
    EXPECT_EQ(E_FAIL, queue->SetDistributor(distributor));
    EXPECT_FALSE(queue->GetPostingReceiver());
    EXPECT_FALSE(queue->Process(true));
    EXPECT_TRUE(log.Lines().empty());
    // The detached receiver posts nowhere.
    posting->Receive(nullptr, Numbered(3));
    EXPECT_EQ(0, queue->GetQueuedCount());

    queue = nullptr;
    EXPECT_TRUE(queueDestroyed);
}

TEST_F(QueueWithReceiver, ThePostingReceiverQueuesACopyOfANotificationQueuedElsewhere)
{
    // The receiver keeps the copy beyond this body: the payload's tally lives as long.
    static svtest::Tally tally;
    const SV::ConstRCPtr<SV::LRefCountedObject> payload(new svtest::TrackedObject(tally));
    const auto original = SV::CreateNotification(kPing, payload);
    SV::RCPtr<SV::LNotificationQueue> elsewhere(new SV::LNotificationQueue());
    elsewhere->SetDistributor(MakeDistributor());
    ASSERT_EQ(0, elsewhere->Post(original));

    queue->GetPostingReceiver()->Receive(nullptr, original);
    EXPECT_EQ(1, queue->GetQueuedCount());
    queue->Process(false);
    ASSERT_EQ(1u, receiver->received.size());
    const auto& copy = receiver->received[0];
    EXPECT_NE(original.Get(), copy.Get());
    EXPECT_EQ(original->GetId(), copy->GetId());
    EXPECT_EQ(payload.Get(), copy->GetPayload().Get());
    elsewhere->Detach();
    EXPECT_FALSE(original->IsQueued());
}

TEST_F(QueueWithReceiver, ALatestPostedOnlyReceiverGetsOnlyTheLastOfSeveralPosts)
{
    DeliveryLog latestLog;
    const auto latest = MakeReceiver("latest", latestLog);
    latest->Register(distributor, kPing, SV::LNotificationDistributor::kLatestPostedOnly);
    std::vector<SV::RCPtr<SV::LNotification>> posted = {Numbered(1), Numbered(2), Numbered(3)};
    for (const auto& notification : posted) {
        queue->Post(notification);
    }
    queue->Process(false);
    ASSERT_EQ(1u, latest->received.size());
    EXPECT_EQ(posted[2].Get(), latest->received[0].Get());
    EXPECT_EQ(std::vector<int>({1, 2, 3}), Delivered());
    latest->UnregisterAll();
}

TEST(NotificationQueueTest, AQueueWithoutDistributorTakesNothingAndSetsItsDistributorOnce)
{
    bool destroyed = false;
    SV::RCPtr<SV::LNotificationQueue> queue(new WatchedQueue(destroyed));
    EXPECT_EQ(E_FAIL, queue->Post(SV::CreateNotification(kPing)));
    EXPECT_EQ(0, queue->SetDistributor(nullptr));
    EXPECT_EQ(0, queue->SetDistributor(MakeDistributor()));
    EXPECT_EQ(E_FAIL, queue->SetDistributor(MakeDistributor()));
    // The posting receiver holds the queue until it is detached.
    queue->Detach();
    queue = nullptr;
    EXPECT_TRUE(destroyed);
}

// Several threads post while the draining thread keeps registering and unregistering receivers
// with the queue's distributor, which makes its pool arrays grow and move under the posts.
TEST(NotificationQueueTest, PostsFromOtherThreadsAreAllDeliveredWhileRegistrationsChange)
{
    constexpr int kPosters = 4;
    constexpr int kPostsEach = 500;
    DeliveryLog log;
    const auto distributor = MakeDistributor();
    SV::RCPtr<SV::LNotificationQueue> queue(new SV::LNotificationQueue());
    queue->SetDistributor(distributor);
    const auto counter = MakeReceiver("counter", log);
    counter->Register(distributor, kPing);

    std::mutex mutex;
    int postersDone = 0;
    std::atomic<int> refused{0};
    std::vector<std::thread> posters;
    for (int p = 0; p < kPosters; ++p) {
        posters.emplace_back([&] {
            for (int i = 0; i < kPostsEach; ++i) {
                if (queue->Post(SV::CreateNotification(kPing)) != 0) {
                    refused.fetch_add(1);
                }
            }
            std::lock_guard lock(mutex);
            ++postersDone;
        });
    }

    // The draining thread: new ids add pools, latest-posted-only receivers of "ping" change the
    // pool the posts walk.
    std::vector<SV::RCPtr<RecordingReceiver>> churn;
    int round = 0;
    auto allDone = [&] {
        std::lock_guard lock(mutex);
        return postersDone == kPosters;
    };
    while (!allDone()) {
        const std::u16string id = u"NID_TEST_CHURN_" +
                                  std::u16string(1, char16_t(u'A' + round % 26)) +
                                  std::u16string(1, char16_t(u'A' + (round / 26) % 26));
        auto receiver = MakeReceiver("churn", log);
        receiver->Register(distributor, id.c_str());
        receiver->Register(distributor, kPing, SV::LNotificationDistributor::kLatestPostedOnly);
        churn.push_back(receiver);
        if (churn.size() > 8) {
            churn.front()->UnregisterAll();
            churn.erase(churn.begin());
        }
        queue->Process(round % 4 == 0);
        ++round;
    }
    for (auto& poster : posters) {
        poster.join();
    }
    queue->Process(false);

    EXPECT_EQ(0, refused.load());
    EXPECT_EQ(size_t(kPosters * kPostsEach), counter->received.size());
    EXPECT_EQ(0, queue->GetQueuedCount());
    for (auto& receiver : churn) {
        receiver->UnregisterAll();
    }
    counter->UnregisterAll();
    queue->Detach();
}

} // namespace
