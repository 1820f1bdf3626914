#include "Utilities/Storage/HashedList.h"

#include "TrackedObjects.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

using svtest::Tally;

class KeyedObject : public svtest::TrackedObject
{
public:
    KeyedObject(Tally& tally, int32_t key) : TrackedObject(tally), mKey(key) {}
    int32_t GetKey() const { return mKey; }

private:
    int32_t mKey;
};

int32_t KeyOf(const SV::RCPtr<KeyedObject>& item)
{
    return item->GetKey();
}

using ObjectList =
    SV::HashedList<SV::RCPtr<KeyedObject>, int32_t, &KeyOf, 8, &SV::GetBits<8, 4, int32_t>>;

class HashedListTest : public testing::Test
{
protected:
    SV::RCPtr<KeyedObject> New(int32_t key)
    {
        return SV::RCPtr<KeyedObject>(new KeyedObject(mTally, key));
    }

    Tally mTally;
    ObjectList mList;
};

TEST_F(HashedListTest, AddCountsNewKeysAndReplacesTheItemOfAKnownKey)
{
    SV::RCPtr<KeyedObject> first = New(1);
    EXPECT_TRUE(mList.Add(first));
    EXPECT_TRUE(mList.Add(New(2)));
    EXPECT_EQ(2, mList.GetCount());
    EXPECT_EQ(2, first->GetRefCount());

    // The same object again: nothing changes.
    EXPECT_FALSE(mList.Add(first));
    EXPECT_EQ(2, first->GetRefCount());

    SV::RCPtr<KeyedObject> second = New(1);
    EXPECT_FALSE(mList.Add(second));
    EXPECT_EQ(2, mList.GetCount());
    EXPECT_EQ(1, first->GetRefCount());
    SV::RCPtr<KeyedObject>* found = mList.Find(1, nullptr);
    ASSERT_NE(nullptr, found);
    EXPECT_EQ(second.Get(), found->Get());
    first = nullptr;
    EXPECT_EQ(1, mTally.destroyed);
}

TEST_F(HashedListTest, FindAndRemoveOfAMissingKeyAnswerTheDefault)
{
    SV::RCPtr<KeyedObject> fallback;
    EXPECT_EQ(&fallback, mList.Find(3, &fallback));
    EXPECT_FALSE(mList.Remove(3));
    mList.Add(New(3));
    EXPECT_FALSE(mList.Remove(4));
    EXPECT_EQ(1, mList.GetCount());
    EXPECT_TRUE(mList.Remove(3));
    EXPECT_EQ(0, mList.GetCount());
    EXPECT_EQ(1, mTally.destroyed);
    EXPECT_EQ(nullptr, std::as_const(mList).Find(3, nullptr));
}

TEST_F(HashedListTest, KeysThatDifferAboveTheBucketBitsShareABucketAndAreAllFound)
{
    // Bits 4 to 11 choose the bucket: 16, 4112 and -4080 all fall in bucket 1.
    const int32_t keys[] = {16, 4112, -4080, 17};
    for (int32_t key : keys) {
        EXPECT_EQ(1u, (SV::GetBits<8, 4, int32_t>(key))) << key;
        EXPECT_TRUE(mList.Add(New(key)));
    }
    EXPECT_EQ(4, mList.GetBucket(1).GetCount());
    EXPECT_EQ(255u, (SV::GetBits<8, 4, int32_t>(-16)));
    EXPECT_TRUE(mList.Add(New(-16)));
    for (int32_t key : {16, 4112, -4080, 17, -16}) {
        SV::RCPtr<KeyedObject>* found = mList.Find(key, nullptr);
        ASSERT_NE(nullptr, found) << key;
        EXPECT_EQ(key, (*found)->GetKey());
    }
    EXPECT_TRUE(mList.Remove(4112));
    EXPECT_NE(nullptr, mList.Find(16, nullptr));
    EXPECT_NE(nullptr, mList.Find(-4080, nullptr));
    EXPECT_EQ(nullptr, mList.Find(4112, nullptr));
}

TEST_F(HashedListTest, RemoveAllReleasesEveryEntry)
{
    mList.RemoveAll();
    EXPECT_EQ(0, mList.GetCount());
    for (int32_t key = 0; key < 600; key += 3) {
        mList.Add(New(key));
    }
    EXPECT_EQ(200, mList.GetCount());
    mList.RemoveAll();
    EXPECT_EQ(0, mList.GetCount());
    EXPECT_EQ(200, mTally.destroyed);
    EXPECT_EQ(nullptr, mList.Find(3, nullptr));
}

TEST_F(HashedListTest, TheListReleasesItsEntriesWhenItGoes)
{
    {
        ObjectList list;
        list.Add(New(1));
        list.Add(New(300));
    }
    EXPECT_EQ(2, mTally.destroyed);
}

// Values keyed by a full pointer-sized integer.
struct Record
{
    uintptr_t address;
    int32_t value;
};

uintptr_t AddressOf(const Record& record)
{
    return record.address;
}

TEST(HashedListKeyTest, KeysThatDifferOnlyAboveThirtyTwoBitsStayApart)
{
    static_assert(sizeof(uintptr_t) == 8);
    SV::HashedList<Record, uintptr_t, &AddressOf, 8, &SV::GetBits<8, 4, uintptr_t>> list;
    const uintptr_t low = 0x7F10;
    const uintptr_t high = (uintptr_t(1) << 32) | low;
    EXPECT_TRUE(list.Add({low, 1}));
    EXPECT_TRUE(list.Add({high, 2}));
    EXPECT_EQ(2, list.GetCount());
    EXPECT_EQ(1, list.Find(low, nullptr)->value);
    EXPECT_EQ(2, list.Find(high, nullptr)->value);

    EXPECT_FALSE(list.Add({high, 3}));
    EXPECT_EQ(3, list.Find(high, nullptr)->value);
    EXPECT_EQ(1, list.Find(low, nullptr)->value);
}

TEST(HashedListKeyTest, AnEntryReadsAsTheNameOfItsKeyType)
{
    SV::HashedList<Record, uintptr_t, &AddressOf> list;
    list.Add({0x42, 0});
    const auto& bucket = list.GetBucket(0x42);
    ASSERT_EQ(1, bucket.GetCount());
    EXPECT_TRUE((*bucket.At(0))->ToString().EqualsUtf8("unsigned long"));
}

} // namespace
