// What every value array does alike, each one driven only through the interface.
#include "Utilities/Storage/IArray.h"
#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/ArrayBuffer.h"
#include "Utilities/Storage/SimpleFixedArray.h"

#include "ResultCodes.h"

#include <gtest/gtest.h>

#include <climits>
#include <initializer_list>
#include <vector>

namespace {

std::vector<int32_t> Items(const SV::IArray<int32_t>& array)
{
    std::vector<int32_t> items;
    for (int32_t item : array) {
        items.push_back(item);
    }
    return items;
}

void Fill(SV::IArray<int32_t>& array, std::initializer_list<int32_t> items)
{
    array.RemoveAll();
    for (int32_t item : items) {
        ASSERT_GE(array.Add(item), 0);
    }
}

template <class ArrayType>
class IArrayTest : public testing::Test
{
protected:
    ArrayType mConcrete;
    SV::IArray<int32_t>& mArray = mConcrete;
};

using ValueArrays =
    testing::Types<SV::Array<int32_t>, SV::ArrayBuffer<int32_t>, SV::ArrayBuffer<int32_t, 4, 16>,
                   SV::ArrayBufferM<int32_t, 4>, SV::SimpleFixedArray<int32_t, 8>>;
TYPED_TEST_SUITE(IArrayTest, ValueArrays);

TYPED_TEST(IArrayTest, AnEmptyArrayHasNoFirstElementAndNoEnd)
{
    SV::IArray<int32_t>& array = this->mArray;
    EXPECT_EQ(nullptr, array.GetFirst());
    EXPECT_EQ(nullptr, array.GetEnd());
    EXPECT_TRUE(array.Begin() == array.End());
    EXPECT_EQ(nullptr, array.Advance(nullptr, 3));
    EXPECT_EQ(-1, array.IndexOf(0));
    EXPECT_EQ(S_OK, array.RemoveAll());
    EXPECT_EQ(0, array.GetCount());
}

TYPED_TEST(IArrayTest, AdvanceStopsAtTheFirstElementAndAtTheEnd)
{
    SV::IArray<int32_t>& array = this->mArray;
    Fill(array, {10, 20, 30});
    const int32_t* first = array.GetFirst();
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(first + 3, array.GetEnd());

    struct Case
    {
        int32_t from;
        int32_t steps;
        int32_t to;
    };
    const Case cases[] = {{0, 2, 2},  {0, 3, 3},      {0, 5, 3},       {2, -7, 0},
                          {1, -1, 0}, {3, -1, 2},     {0, INT_MAX, 3}, {3, INT_MIN, 0},
                          {1, 0, 1},  {2, INT_MAX, 3}};
    for (const Case& c : cases) {
        EXPECT_EQ(first + c.to, array.Advance(first + c.from, c.steps))
            << c.from << " by " << c.steps;
    }
    typename SV::IArray<int32_t>::Iterator at = array.Begin();
    at.position = array.Advance(at.position, 2);
    EXPECT_EQ(30, array.GetItem(at));
    EXPECT_EQ((std::vector<int32_t>{10, 20, 30}), Items(array));
}

TYPED_TEST(IArrayTest, InsertAndRemoveKeepTheOrderAndRefuseRangesOutsideTheArray)
{
    SV::IArray<int32_t>& array = this->mArray;
    Fill(array, {1, 2, 3});
    EXPECT_GE(array.InsertItemAt(1, 9), 0);
    EXPECT_EQ((std::vector<int32_t>{1, 9, 2, 3}), Items(array));
    EXPECT_EQ(2, array.RemoveAt(1, 2));
    EXPECT_EQ((std::vector<int32_t>{1, 3}), Items(array));
    EXPECT_EQ(4, array.InsertCountAt(2, 2));
    EXPECT_EQ(4, array.GetCount());
    EXPECT_EQ(3, array.RemoveAt(3, 1));
    EXPECT_EQ(2, array.RemoveAt(2, 1));

    const struct
    {
        int32_t index;
        int32_t count;
    } badRemovals[] = {{2, 1}, {1, 2}, {-1, 1}, {0, -1}, {1, INT_MAX}, {INT_MAX, 2}};
    for (const auto& bad : badRemovals) {
        EXPECT_EQ(E_INVALIDARG, array.RemoveAt(bad.index, bad.count))
            << bad.index << ", " << bad.count;
    }
    EXPECT_EQ(E_INVALIDARG, array.InsertCountAt(3, 1));
    EXPECT_EQ(E_INVALIDARG, array.InsertCountAt(-1, 1));
    EXPECT_EQ(E_INVALIDARG, array.InsertCountAt(0, -1));
    EXPECT_EQ(E_INVALIDARG, array.InsertCountAt(3, 7));
    EXPECT_EQ(E_INVALIDARG, array.SetCount(-1));
    EXPECT_EQ((std::vector<int32_t>{1, 3}), Items(array));
}

TYPED_TEST(IArrayTest, RemoveItemAndRemoveLastHandTheElementOut)
{
    SV::IArray<int32_t>& array = this->mArray;
    Fill(array, {10, 20, 30});
    int32_t out = 0;
    EXPECT_EQ(2, array.RemoveItem(1, out));
    EXPECT_EQ(20, out);
    EXPECT_EQ(1, array.RemoveLast(out));
    EXPECT_EQ(30, out);
    EXPECT_EQ((std::vector<int32_t>{10}), Items(array));
}

TYPED_TEST(IArrayTest, AnElementOfTheArrayItselfCanBeInsertedAndAdded)
{
    // The insertion moves (or reallocates) the element the item refers to.
    SV::IArray<int32_t>& array = this->mArray;
    Fill(array, {1, 2, 3});
    EXPECT_GE(array.InsertItemAt(0, *array.At(2)), 0);
    EXPECT_GE(array.Add(*array.At(0)), 0);
    EXPECT_EQ((std::vector<int32_t>{3, 1, 2, 3, 3}), Items(array));
}

TYPED_TEST(IArrayTest, AppendAndAssignTakeAnyIterable)
{
    SV::IArray<int32_t>& array = this->mArray;
    SV::Array<int32_t> source;
    Fill(source, {7, 8});
    Fill(array, {1});
    EXPECT_EQ(3, array.Append(source));
    EXPECT_EQ((std::vector<int32_t>{1, 7, 8}), Items(array));
    EXPECT_EQ(6, array.Append(array));
    EXPECT_EQ((std::vector<int32_t>{1, 7, 8, 1, 7, 8}), Items(array));

    EXPECT_EQ(6, array.Assign(array));
    EXPECT_EQ(6, array.GetCount());
    EXPECT_EQ(2, array.Assign(source));
    EXPECT_EQ((std::vector<int32_t>{7, 8}), Items(array));
    SV::Array<int32_t> empty;
    EXPECT_EQ(2, array.Append(empty));
    EXPECT_EQ(0, array.Assign(empty));
    EXPECT_EQ(0, array.GetCount());
}

TYPED_TEST(IArrayTest, SwapExchangesTwoElementsInsideTheArrayOnly)
{
    SV::IArray<int32_t>& array = this->mArray;
    Fill(array, {1, 2, 3});
    EXPECT_EQ(S_OK, array.Swap(0, 2));
    EXPECT_EQ(S_OK, array.Swap(1, 1));
    EXPECT_EQ((std::vector<int32_t>{3, 2, 1}), Items(array));
    EXPECT_EQ(E_INVALIDARG, array.Swap(0, 3));
    EXPECT_EQ(E_INVALIDARG, array.Swap(-1, 0));
    EXPECT_EQ((std::vector<int32_t>{3, 2, 1}), Items(array));
}

TYPED_TEST(IArrayTest, IndexOfFindsTheFirstEqualElement)
{
    SV::IArray<int32_t>& array = this->mArray;
    Fill(array, {5, 6, 5});
    EXPECT_EQ(0, array.IndexOf(5));
    EXPECT_EQ(1, array.IndexOf(6));
    EXPECT_EQ(-1, array.IndexOf(7));
}

} // namespace
