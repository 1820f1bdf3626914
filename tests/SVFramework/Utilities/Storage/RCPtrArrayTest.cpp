// Arrays of shared pointers: one reference per slot, handed over on RemoveItem and RemoveLast,
// given back in index order, and two interfaces over one storage.
#include "Utilities/Storage/RCPtrArray.h"
#include "Utilities/Storage/ConstRCPtrArray.h"

#include "ResultCodes.h"
#include "ExceptionText.h"
#include "TrackedObjects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using svtest::ExceptionTextOf;
using svtest::Tally;
using svtest::TrackedObject;

// Writes its number into a shared list when it is destroyed.
class NumberedObject : public TrackedObject
{
public:
    NumberedObject(Tally& tally, std::vector<int>& order, int number)
        : TrackedObject(tally), mOrder(order), mNumber(number)
    {}
    ~NumberedObject() override { mOrder.push_back(mNumber); }

    int GetNumber() const { return mNumber; }

private:
    std::vector<int>& mOrder;
    int mNumber;
};

using Array = SV::RCPtrArray<NumberedObject>;
using ConstArray = SV::ConstRCPtrArray<NumberedObject>;

class RCPtrArrayTest : public testing::Test
{
protected:
    // A new object held by nothing but the array.
    int32_t AddNew(SV::IArray<SV::RCPtr<NumberedObject>>& array, int number)
    {
        return array.Add(SV::RCPtr<NumberedObject>(New(number)));
    }
    NumberedObject* New(int number) { return new NumberedObject(mTally, mDestroyed, number); }

    static std::vector<int> Numbers(const ConstArray& array)
    {
        std::vector<int> numbers;
        for (const SV::ConstRCPtr<NumberedObject>& item : array) {
            numbers.push_back(item ? item->GetNumber() : -1);
        }
        return numbers;
    }

    Tally mTally;
    std::vector<int> mDestroyed;
};

TEST_F(RCPtrArrayTest, AddAnswersIndexesAndEachSlotHoldsOneReference)
{
    Array array;
    EXPECT_EQ(0, AddNew(array, 0));
    EXPECT_EQ(1, AddNew(array, 1));
    EXPECT_EQ(0, array.InsertAt(0, SV::RCPtr<NumberedObject>(New(2))));
    EXPECT_EQ((std::vector<int>{2, 0, 1}), Numbers(array));
    for (int32_t i = 0; i < array.GetCount(); ++i) {
        EXPECT_EQ(1, (*array.At(i))->GetRefCount());
    }

    // Past the end: refused, and no reference is kept.
    SV::RCPtr<NumberedObject> outsider(New(9));
    EXPECT_EQ(E_INVALIDARG, array.InsertAt(4, outsider));
    EXPECT_EQ(1, outsider->GetRefCount());
    EXPECT_EQ(-1, array.IndexOf(outsider));
    EXPECT_EQ(1, array.IndexOf(array.At(1)->Get()));
    EXPECT_EQ(-1, Array().IndexOf(outsider.Get()));
}

TEST_F(RCPtrArrayTest, RemoveItemHandsTheReferenceOverAndReleasesWhatTheTargetHeld)
{
    Array array;
    AddNew(array, 0);
    AddNew(array, 1);
    SV::RCPtr<NumberedObject> out;
    EXPECT_EQ(1, array.RemoveItem(0, out));
    EXPECT_EQ(0, out->GetNumber());
    EXPECT_EQ(1, out->GetRefCount());
    EXPECT_TRUE(mDestroyed.empty());

    EXPECT_EQ(0, array.RemoveItem(0, out));
    EXPECT_EQ(1, out->GetNumber());
    EXPECT_EQ((std::vector<int>{0}), mDestroyed);

    // Through the ConstRCPtrArray view the same, into a const pointer.
    AddNew(array, 2);
    SV::ConstRCPtr<NumberedObject> constOut;
    EXPECT_EQ(0, array.AsConst().RemoveItem(0, constOut));
    EXPECT_EQ(2, constOut->GetNumber());
    EXPECT_EQ(1, constOut->GetRefCount());
}

TEST_F(RCPtrArrayTest, RemoveItemOutsideTheArrayThrowsWithTheArrayInstanceInTheText)
{
    SV::RCPtrArray<TrackedObject> array;
    array.Add(SV::RCPtr<TrackedObject>(new TrackedObject(mTally)));
    SV::RCPtr<TrackedObject> out(new TrackedObject(mTally));
    const TrackedObject* held = out.Get();
    EXPECT_EQ("Out of Range : SV::RCPtrArray<class svtest::TrackedObject,1,0>::RemoveItem : "
              "utilities\\Storage/RCPtrArray : Line 175",
              ExceptionTextOf<std::out_of_range>([&] { array.RemoveItem(1, out); }));
    SV::ConstRCPtr<TrackedObject> constOut;
    EXPECT_EQ("Out of Range : SV::ConstRCPtrArray<class svtest::TrackedObject,1,0>::RemoveItem : "
              "utilities\\Storage/ConstRCPtrArray : Line 216",
              ExceptionTextOf<std::out_of_range>([&] { array.AsConst().RemoveItem(-1, constOut); }));
    SV::ConstRCPtrArray<TrackedObject, 256, 256> queue;
    EXPECT_EQ("Out of Range : SV::ConstRCPtrArray<class svtest::TrackedObject,256,256>::RemoveItem"
              " : utilities\\Storage/ConstRCPtrArray : Line 216",
              ExceptionTextOf<std::out_of_range>([&] { queue.RemoveItem(0, constOut); }));
    // Neither the array nor the target changed.
    EXPECT_EQ(held, out.Get());
    EXPECT_EQ(1, array.GetCount());
    EXPECT_EQ(0, mTally.destroyed);
}

TEST_F(RCPtrArrayTest, ElementsAreReleasedInIndexOrder)
{
    struct Case
    {
        const char* name;
        void (*removeAll)(std::optional<Array>& array);
    };
    const Case cases[] = {
        {"SetCount", [](std::optional<Array>& array) { array->SetCount(0); }},
        {"RemoveAll", [](std::optional<Array>& array) { array->RemoveAll(); }},
        {"RemoveAt", [](std::optional<Array>& array) { array->RemoveAt(0, 3); }},
        {"destruction", [](std::optional<Array>& array) { array.reset(); }},
    };
    for (const Case& c : cases) {
        mDestroyed.clear();
        std::optional<Array> array(std::in_place);
        for (int number : {0, 1, 2}) {
            AddNew(*array, number);
        }
        c.removeAll(array);
        EXPECT_EQ((std::vector<int>{0, 1, 2}), mDestroyed) << c.name;
    }
}

TEST_F(RCPtrArrayTest, AnElementWhoseReleaseEmptiesTheArrayEndsTheClearingCleanly)
{
    // A member of a pool that takes the rest of the pool down with it when it goes.
    struct Saboteur : TrackedObject
    {
        Saboteur(Tally& tally, SV::RCPtrArray<TrackedObject>& pool)
            : TrackedObject(tally), mPool(pool)
        {}
        ~Saboteur() override { mPool.RemoveAll(); }
        SV::RCPtrArray<TrackedObject>& mPool;
    };
    SV::RCPtrArray<TrackedObject> pool;
    pool.Add(SV::RCPtr<TrackedObject>(new Saboteur(mTally, pool)));
    for (int i = 0; i < 3; ++i) {
        pool.Add(SV::RCPtr<TrackedObject>(new TrackedObject(mTally)));
    }
    EXPECT_EQ(0, pool.SetCount(0));
    EXPECT_EQ(4, mTally.destroyed);
}

TEST_F(RCPtrArrayTest, RemovingARangePastTheEndRemovesUpToTheEndThenThrows)
{
    Array array;
    for (int number : {0, 1, 2}) {
        AddNew(array, number);
    }
    EXPECT_NE("no exception", ExceptionTextOf<std::out_of_range>([&] { array.RemoveAt(1, 5); }));
    EXPECT_EQ((std::vector<int>{1, 2}), mDestroyed);
    EXPECT_EQ((std::vector<int>{0}), Numbers(array));
    EXPECT_EQ(1, array.RemoveAt(1, 0));
    EXPECT_EQ(E_INVALIDARG, array.RemoveAt(0, -1));
}

TEST_F(RCPtrArrayTest, RemoveLastEmptiesTheTargetFirst)
{
    Array array;
    SV::RCPtr<NumberedObject> out(New(7));
    EXPECT_EQ(E_FAIL, array.RemoveLast(out));
    EXPECT_FALSE(out);
    EXPECT_EQ((std::vector<int>{7}), mDestroyed);

    AddNew(array, 0);
    AddNew(array, 1);
    EXPECT_EQ(1, array.RemoveLast(out));
    EXPECT_EQ(1, out->GetNumber());
    EXPECT_EQ(1, out->GetRefCount());
    SV::ConstRCPtr<NumberedObject> constOut;
    EXPECT_EQ(0, array.AsConst().RemoveLast(constOut));
    EXPECT_EQ(0, constOut->GetNumber());
    EXPECT_EQ((std::vector<int>{7}), mDestroyed);
}

TEST_F(RCPtrArrayTest, BothSwapsCheckTheIndexesAndChangeNoCount)
{
    Array array;
    for (int number : {0, 1, 2}) {
        AddNew(array, number);
    }
    SV::IArray<SV::RCPtr<NumberedObject>>& counted = array;
    SV::IArray<SV::ConstRCPtr<NumberedObject>>& raw = array.AsConst();
    EXPECT_EQ(S_OK, counted.Swap(0, 2));
    EXPECT_EQ((std::vector<int>{2, 1, 0}), Numbers(array));
    EXPECT_EQ(S_OK, raw.Swap(1, 2));
    EXPECT_EQ((std::vector<int>{2, 0, 1}), Numbers(array));
    EXPECT_EQ(S_OK, counted.Swap(1, 1));
    EXPECT_EQ(E_INVALIDARG, counted.Swap(0, 3));
    EXPECT_EQ(E_INVALIDARG, raw.Swap(3, 0));
    EXPECT_EQ((std::vector<int>{2, 0, 1}), Numbers(array));
    for (int32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(1, (*array.At(i))->GetRefCount());
    }
    EXPECT_TRUE(mDestroyed.empty());
}

TEST_F(RCPtrArrayTest, AppendAndAssignCountEveryCopiedElement)
{
    Array source;
    AddNew(source, 0);
    AddNew(source, 1);
    Array copy;
    AddNew(copy, 5);
    EXPECT_EQ(3, copy.Append(source));
    EXPECT_EQ(2, (*source.At(0))->GetRefCount());
    EXPECT_EQ(6, copy.Append(copy));
    EXPECT_EQ((std::vector<int>{5, 0, 1, 5, 0, 1}), Numbers(copy));
    EXPECT_EQ(2, (*copy.At(0))->GetRefCount());
    EXPECT_EQ(3, (*source.At(0))->GetRefCount());

    ConstArray constCopy;
    EXPECT_EQ(2, constCopy.Assign(source.AsConst()));
    EXPECT_EQ(2, copy.Assign(source));
    EXPECT_EQ((std::vector<int>{5}), mDestroyed);
    EXPECT_EQ(3, (*source.At(1))->GetRefCount());
}

TEST_F(RCPtrArrayTest, InsertingAnElementOfTheArrayItselfKeepsItCounted)
{
    Array array;
    AddNew(array, 0);
    AddNew(array, 1);
    EXPECT_EQ(0, array.InsertAt(0, *array.At(1)));
    EXPECT_EQ(3, array.Add(*array.At(0)));
    EXPECT_EQ((std::vector<int>{1, 0, 1, 1}), Numbers(array));
    EXPECT_EQ(3, (*array.At(0))->GetRefCount());
}

TEST_F(RCPtrArrayTest, ResizingOpensEmptySlotsAndRefusesImpossibleSizes)
{
    ConstArray reserved(2, 5);
    EXPECT_EQ((std::vector<int>{-1, -1}), Numbers(reserved));

    Array array;
    AddNew(array, 0);
    EXPECT_EQ(3, array.SetCount(3));
    EXPECT_EQ(5, array.InsertAt(1, 2));
    EXPECT_EQ((std::vector<int>{0, -1, -1, -1, -1}), Numbers(array));
    EXPECT_EQ(E_INVALIDARG, array.InsertAt(6, 1));
    EXPECT_EQ(E_INVALIDARG, array.SetCount(-1));
    // 0x20000000 pointers would take 4 GiB of 32-bit byte size.
    EXPECT_EQ(5, array.SetCount(0x20000000));
    EXPECT_EQ(E_FAIL, array.InsertAt(0, 0x20000000));
    EXPECT_EQ(E_FAIL, array.InsertAt(5, 0x7FFFFFFF));
    EXPECT_EQ(5, array.GetCount());
    EXPECT_EQ(0, (*array.At(0))->GetNumber());
}

TEST_F(RCPtrArrayTest, AReferenceCountedListReleasesItsElementsWithItself)
{
    SV::RCPtr<SV::LRCPtrArray<NumberedObject>> list(new SV::LRCPtrArray<NumberedObject>());
    AddNew(*list, 0);
    AddNew(*list, 1);
    list->SetTag(SV::RCPtr<SV::LRefCountedObject>(New(2)));
    SV::ConstRCPtr<SV::LRCPtrArray<NumberedObject>> second(list);
    EXPECT_EQ(2, list->GetRefCount());
    list = nullptr;
    EXPECT_TRUE(mDestroyed.empty());
    second = nullptr;
    std::sort(mDestroyed.begin(), mDestroyed.end());
    EXPECT_EQ((std::vector<int>{0, 1, 2}), mDestroyed);
}

} // namespace
