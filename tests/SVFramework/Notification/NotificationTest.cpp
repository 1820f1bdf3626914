#include "Notification/Notification.h"

#include "TrackedObjects.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

using svtest::CopyableObject;
using svtest::Tally;
using svtest::TrackedObject;

SV::ConstRCPtr<SV::LRefCountedObject> Payload(Tally& tally)
{
    return SV::ConstRCPtr<SV::LRefCountedObject>(new TrackedObject(tally));
}

TEST(NotificationIdTest, NullAndEmptyNamesHaveNoId)
{
    EXPECT_EQ(nullptr, SV::GetNotificationID(nullptr));
    EXPECT_EQ(nullptr, SV::GetNotificationID(u""));
    EXPECT_FALSE(SV::CreateNotification(nullptr));
    EXPECT_FALSE(SV::CreateNotification(u""));
}

TEST(NotificationIdTest, EqualTextGivesOneIdAndLetterCaseCounts)
{
    const SV::NotificationId id = SV::GetNotificationID(u"NID_TEST_EQUAL_TEXT");
    ASSERT_NE(nullptr, id);
    EXPECT_EQ(id, SV::GetNotificationID(u"NID_TEST_EQUAL_TEXT"));
    // Another buffer with the same text.
    const char16_t copy[] = u"NID_TEST_EQUAL_TEXT";
    EXPECT_NE(static_cast<const char16_t*>(copy), id);
    EXPECT_EQ(id, SV::GetNotificationID(copy));
    EXPECT_NE(id, SV::GetNotificationID(u"nid_test_equal_text"));
}

TEST(NotificationIdTest, AnIdPassedAsANameIsItselfAndAddsNoEntry)
{
    const SV::NotificationId id = SV::GetNotificationID(u"NID_TEST_ID_AS_NAME");
    const int32_t entries = SV::GetNotificationNameTable().GetCount();
    EXPECT_EQ(id, SV::GetNotificationID(id));
    EXPECT_EQ(entries, SV::GetNotificationNameTable().GetCount());
}

TEST(NotificationIdTest, TheNameOfAnIdSharesTheInternedCharacters)
{
    const SV::NotificationId id = SV::GetNotificationID(u"NID_TEST_NAME_OF_ID");
    const SV::WideString name = SV::GetNotificationName(id);
    EXPECT_EQ(id, name.GetText());
    EXPECT_TRUE(name.EqualsText(u"NID_TEST_NAME_OF_ID"));
    // Text that was never interned at that address is not an id.
    const char16_t copy[] = u"NID_TEST_NAME_OF_ID";
    EXPECT_TRUE(SV::GetNotificationName(copy).IsEmpty());
    EXPECT_TRUE(SV::GetNotificationName(nullptr).IsEmpty());
}

TEST(NotificationIdTest, IdsStayValidWhileTheTableGrows)
{
    const SV::NotificationId first = SV::GetNotificationID(u"NID_TEST_STAYS_VALID");
    for (int i = 0; i < 200; ++i) {
        const std::u16string name = u"NID_TEST_GROWTH_" +
                                    std::u16string(1, char16_t(u'A' + i % 26)) +
                                    std::u16string(1, char16_t(u'A' + i / 26));
        SV::GetNotificationID(name.c_str());
    }
    EXPECT_EQ(first, SV::GetNotificationID(u"NID_TEST_STAYS_VALID"));
    EXPECT_EQ(std::u16string(u"NID_TEST_STAYS_VALID"), std::u16string(first));
}

TEST(NotificationTest, ANewNotificationCarriesItsIdAndPayload)
{
    Tally tally;
    const auto payload = Payload(tally);
    const auto notification = SV::CreateNotification(u"NID_TEST_NEW", payload);
    ASSERT_TRUE(notification);
    EXPECT_EQ(SV::GetNotificationID(u"NID_TEST_NEW"), notification->GetId());
    EXPECT_EQ(payload.Get(), notification->GetPayload().Get());
    EXPECT_FALSE(notification->IsQueued());
}

TEST(NotificationTest, AnUnshareablePayloadIsClonedWhenTheNotificationTakesIt)
{
    Tally tally;
    SV::RCPtr<CopyableObject> payload(new CopyableObject(tally));
    payload->SetUnshareable(true);
    const auto notification =
        SV::CreateNotification(u"NID_TEST_CLONE", SV::ConstRCPtr<SV::LRefCountedObject>(payload));
    EXPECT_EQ(1, tally.copies);
    EXPECT_NE(static_cast<const SV::LRefCountedObject*>(payload.Get()),
              notification->GetPayload().Get());
}

TEST(NotificationTest, WithoutRecyclingTheLastReleaseFreesTheNotificationAndItsPayload)
{
    Tally tally;
    SV::CreateNotification(u"NID_TEST_FREED", Payload(tally));
    EXPECT_EQ(1, tally.destroyed);
    EXPECT_EQ(0, SV::GetRecycledNotificationCount());
}

// Recycling is process-wide: every test that switches it on switches it off again.
class NotificationRecycling : public testing::Test
{
protected:
    void SetUp() override { SV::SetNotificationRecycling(true); }
    void TearDown() override { SV::SetNotificationRecycling(false); }
};

TEST_F(NotificationRecycling, AReleasedNotificationComesBackRelabelledAndItsPayloadIsDropped)
{
    Tally first;
    Tally second;
    auto notification = SV::CreateNotification(u"NID_TEST_FIRST", Payload(first));
    const SV::LNotification* address = notification.Get();
    notification = nullptr;
    EXPECT_EQ(1, first.destroyed);
    EXPECT_EQ(1, SV::GetRecycledNotificationCount());

    const auto payload = Payload(second);
    notification = SV::CreateNotification(u"NID_TEST_SECOND", payload);
    EXPECT_EQ(address, notification.Get());
    EXPECT_EQ(SV::GetNotificationID(u"NID_TEST_SECOND"), notification->GetId());
    EXPECT_EQ(payload.Get(), notification->GetPayload().Get());
    EXPECT_EQ(1, notification->GetRefCount());
    EXPECT_EQ(0, SV::GetRecycledNotificationCount());
}

TEST_F(NotificationRecycling, TheMostRecentlyReleasedNotificationIsHandedOutFirst)
{
    auto older = SV::CreateNotification(u"NID_TEST_OLDER");
    auto newer = SV::CreateNotification(u"NID_TEST_NEWER");
    const SV::LNotification* newerAddress = newer.Get();
    older = nullptr;
    newer = nullptr;
    EXPECT_EQ(newerAddress, SV::CreateNotification(u"NID_TEST_AGAIN").Get());
}

TEST_F(NotificationRecycling, ANameWithoutIdTakesNothingFromThePool)
{
    SV::CreateNotification(u"NID_TEST_POOLED");
    ASSERT_EQ(1, SV::GetRecycledNotificationCount());
    EXPECT_FALSE(SV::CreateNotification(nullptr));
    EXPECT_FALSE(SV::CreateNotification(u""));
    EXPECT_EQ(1, SV::GetRecycledNotificationCount());
}

TEST_F(NotificationRecycling, SwitchingOffEmptiesThePoolAndSwitchingOnStartsEmpty)
{
    {
        const auto a = SV::CreateNotification(u"NID_TEST_A");
        const auto b = SV::CreateNotification(u"NID_TEST_B");
    }
    ASSERT_EQ(2, SV::GetRecycledNotificationCount());
    // The pooled notifications are freed here; the leak check of the test run sees the rest.
    SV::SetNotificationRecycling(false);
    EXPECT_EQ(0, SV::GetRecycledNotificationCount());
    SV::SetNotificationRecycling(true);
    EXPECT_EQ(0, SV::GetRecycledNotificationCount());
    Tally tally;
    SV::CreateNotification(u"NID_TEST_C", Payload(tally));
    EXPECT_EQ(1, tally.destroyed);
    EXPECT_EQ(1, SV::GetRecycledNotificationCount());
}

// Counts its destruction on any thread.
class SharedPayload : public virtual SV::LRefCountedObject
{
public:
    explicit SharedPayload(std::atomic<int>& destroyed) : mDestroyed(destroyed) {}
    ~SharedPayload() override { mDestroyed.fetch_add(1); }

private:
    std::atomic<int>& mDestroyed;
};

TEST_F(NotificationRecycling, ThreadsThatCreateAndReleaseShareThePoolSafely)
{
    constexpr int kThreads = 4;
    constexpr int kRounds = 2000;
    std::atomic<int> destroyed{0};
    std::atomic<int> made{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < kRounds; ++i) {
                const auto notification = SV::CreateNotification(
                    i % 2 == 0 ? u"NID_TEST_EVEN" : u"NID_TEST_ODD",
                    SV::ConstRCPtr<SV::LRefCountedObject>(new SharedPayload(destroyed)));
                if (notification && notification->GetPayload()) {
                    made.fetch_add(1);
                }
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(kThreads * kRounds, made.load());
    EXPECT_EQ(kThreads * kRounds, destroyed.load());
    EXPECT_GE(kThreads, SV::GetRecycledNotificationCount());
}

} // namespace
