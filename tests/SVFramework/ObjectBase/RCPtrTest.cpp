#include "ObjectBase/RCPtr.h"

#include "TrackedObjects.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

using svtest::CopyableObject;
using svtest::MiscopyingObject;
using svtest::OtherObject;
using svtest::Tally;
using svtest::TrackedObject;

TEST(RCPtrTest, CopiesCountAndTheLastPointerDestroys)
{
    Tally tally;
    {
        SV::RCPtr<TrackedObject> first(new TrackedObject(tally));
        EXPECT_EQ(1, first->GetRefCount());
        {
            SV::ConstRCPtr<TrackedObject> second(first);
            EXPECT_EQ(2, first->GetRefCount());
        }
        EXPECT_EQ(1, first->GetRefCount());
    }
    EXPECT_EQ(1, tally.destroyed);
}

TEST(RCPtrTest, AssigningTheHeldObjectChangesNoCount)
{
    Tally tally;
    SV::RCPtr<TrackedObject> first(new TrackedObject(tally));
    SV::RCPtr<TrackedObject> second(first);
    SV::RCPtr<TrackedObject>& alias = first;
    first = alias;
    first = second;
    EXPECT_EQ(2, first->GetRefCount());

    SV::RCPtr<TrackedObject> emptyA;
    SV::RCPtr<TrackedObject> emptyB;
    emptyA = emptyB;
    EXPECT_FALSE(emptyA);
}

TEST(RCPtrTest, AssignmentTakesTheNewObjectBeforeGivingBackTheOld)
{
    // The new object is reachable only through the old one: releasing the old one first would
    // destroy both before the new one is counted.
    struct Chain : svtest::TrackedObject
    {
        using TrackedObject::TrackedObject;
        SV::RCPtr<Chain> next;
    };
    Tally tally;
    SV::RCPtr<Chain> head(new Chain(tally));
    head->next = SV::RCPtr<Chain>(new Chain(tally));
    head = head->next;
    EXPECT_EQ(1, tally.destroyed);
    EXPECT_EQ(1, head->GetRefCount());
    EXPECT_FALSE(head->next);
}

TEST(RCPtrTest, FirstHolderOfAnUnshareableObjectKeepsIt)
{
    Tally tally;
    auto* object = new CopyableObject(tally);
    object->SetUnshareable(true);
    SV::RCPtr<CopyableObject> pointer(object);
    EXPECT_EQ(object, pointer.Get());
    EXPECT_EQ(1, object->GetRefCount());
    EXPECT_EQ(0, tally.copies);
}

TEST(RCPtrTest, SecondHolderOfAnUnshareableObjectGetsAClone)
{
    Tally tally;
    SV::RCPtr<CopyableObject> original(new CopyableObject(tally));
    original->SetUnshareable(true);

    SV::RCPtr<CopyableObject> copy(original);
    EXPECT_NE(original.Get(), copy.Get());
    EXPECT_EQ(1, original->GetRefCount());
    EXPECT_EQ(1, copy->GetRefCount());
    EXPECT_TRUE(copy->IsShareable());
    EXPECT_EQ(1, tally.copies);

    SV::RCPtr<CopyableObject> assigned;
    assigned = original;
    EXPECT_NE(original.Get(), assigned.Get());
    EXPECT_EQ(1, original->GetRefCount());
    EXPECT_EQ(2, tally.copies);
}

TEST(RCPtrTest, UnshareClonesOnlyWhatIsShared)
{
    Tally tally;
    SV::RCPtr<CopyableObject> pointer(new CopyableObject(tally));
    pointer.Unshare();
    EXPECT_EQ(0, tally.copies);

    SV::RCPtr<CopyableObject> other(pointer);
    CopyableObject* shared = pointer.Get();
    pointer.Unshare();
    EXPECT_EQ(1, tally.copies);
    EXPECT_EQ(shared, other.Get());
    EXPECT_NE(shared, pointer.Get());
    EXPECT_EQ(1, other->GetRefCount());
    EXPECT_EQ(1, pointer->GetRefCount());
}

TEST(RCPtrTest, ConversionIsARunTimeTypedCast)
{
    Tally tally;
    const SV::RCPtr<SV::LRefCountedObject> base(new TrackedObject(tally));

    const SV::RCPtr<TrackedObject> right(base);
    EXPECT_EQ(base.Get(), static_cast<SV::LRefCountedObject*>(right.Get()));
    EXPECT_EQ(2, base->GetRefCount());

    const SV::RCPtr<OtherObject> wrong(base);
    EXPECT_FALSE(wrong);
    EXPECT_EQ(2, base->GetRefCount());

    const SV::ConstRCPtr<SV::LRefCountedObject> empty;
    const SV::ConstRCPtr<TrackedObject> fromEmpty(empty);
    EXPECT_FALSE(fromEmpty);
}

TEST(RCPtrTest, CloneOfAnotherClassEmptiesThePointerAndThrows)
{
    Tally tally;
    SV::RCPtr<MiscopyingObject> original(new MiscopyingObject(tally));
    SV::RCPtr<MiscopyingObject> pointer(original);
    try {
        pointer.Unshare();
        FAIL() << "nothing thrown";
    } catch (const std::logic_error& error) {
        EXPECT_STREQ("Logic Error : class svtest::MiscopyingObject : "
                     "SV::ConstRCPtr<class svtest::MiscopyingObject>::Unshare : "
                     "objectbase\\RefCountedObject : Line 369",
                     error.what());
    }
    EXPECT_FALSE(pointer);
    EXPECT_EQ(1, original->GetRefCount());
    EXPECT_EQ(1, tally.destroyed); // the wrong clone
}

TEST(RCPtrTest, SharingAnUnshareableObjectOfAClassWithoutClonesThrowsAndKeepsThePointer)
{
    Tally tally;
    SV::RCPtr<TrackedObject> original(new TrackedObject(tally));
    SV::RCPtr<TrackedObject> pointer(original);
    EXPECT_THROW(pointer.Unshare(), std::logic_error);
    EXPECT_EQ(original.Get(), pointer.Get());
    EXPECT_EQ(2, original->GetRefCount());
}

TEST(RCPtrTest, CopiesOnManyThreadsKeepTheCount)
{
    Tally tally;
    const SV::RCPtr<TrackedObject> shared(new TrackedObject(tally));
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&shared] {
            for (int i = 0; i < 10000; ++i) {
                SV::ConstRCPtr<TrackedObject> copy(shared);
                SV::ConstRCPtr<TrackedObject> another;
                another = copy;
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(1, shared->GetRefCount());
    EXPECT_EQ(0, tally.destroyed);
}

} // namespace
