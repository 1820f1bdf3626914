// Where the value arrays differ: SV::Array checks its indexes and answers indexes, the buffer
// arrays answer counts, and each array fills new elements its own way.
#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/ArrayBuffer.h"
#include "Utilities/Storage/Pair.h"
#include "Utilities/Storage/SimpleFixedArray.h"
#include "Utilities/Storage/StringT.h"

#include "ResultCodes.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::vector<int32_t> Items(const SV::IArray<int32_t>& array)
{
    return std::vector<int32_t>(array.GetFirst(), array.GetEnd());
}

TEST(ArrayTest, ElementAccessOutsideTheArrayThrowsTheVectorSubscriptError)
{
    SV::Array<int32_t> array;
    int32_t out = 7;
    const auto expectOutOfRange = [](auto call) {
        try {
            call();
            ADD_FAILURE() << "no exception";
        } catch (const std::out_of_range& error) {
            EXPECT_STREQ("invalid vector<T> subscript", error.what());
        }
    };
    expectOutOfRange([&] { array.RemoveLast(out); });
    array.Add(1);
    array.Add(2);
    expectOutOfRange([&] { array.At(2); });
    expectOutOfRange([&] { std::as_const(array).At(-1); });
    expectOutOfRange([&] { array.RemoveItem(5, out); });
    EXPECT_EQ(7, out);
    EXPECT_EQ((std::vector<int32_t>{1, 2}), Items(array));
}

TEST(ArrayTest, InsertionResultsAndEmptyRangesDifferByArray)
{
    SV::Array<int32_t> vectorArray;
    SV::ArrayBuffer<int32_t> bufferArray;
    SV::SimpleFixedArray<int32_t, 8> fixedArray;
    struct Case
    {
        const char* name;
        SV::IArray<int32_t>& array;
        int32_t emptyRemoval;     // RemoveAt(3, 0) on an array of 3
        int32_t emptyInsertAfter; // InsertAt(4, 0) on an array of 3
        int32_t addAnswer;        // Add to an array of 3
        int32_t insertAnswer;     // InsertAt(1, item) on an array of 4
    };
    const Case cases[] = {
        {"Array", vectorArray, E_INVALIDARG, E_INVALIDARG, 3, 1},
        {"ArrayBuffer", bufferArray, 3, 3, 4, 5},
        {"SimpleFixedArray", fixedArray, 3, 3, 4, 5},
    };
    for (const Case& c : cases) {
        for (int32_t i = 0; i < 3; ++i) {
            c.array.Add(i);
        }
        EXPECT_EQ(c.emptyRemoval, c.array.RemoveAt(3, 0)) << c.name;
        EXPECT_EQ(c.emptyInsertAfter, c.array.InsertCountAt(4, 0)) << c.name;
        EXPECT_EQ(c.addAnswer, c.array.Add(3)) << c.name;
        EXPECT_EQ(c.insertAnswer, c.array.InsertItemAt(1, 9)) << c.name;
        EXPECT_EQ((std::vector<int32_t>{0, 9, 1, 2, 3}), Items(c.array)) << c.name;
    }
}

TEST(ArrayTest, ElementsThatComeBackIntoTheCountAreZeroExceptInTheFixedArray)
{
    SV::Array<int32_t> vectorArray;
    SV::ArrayBuffer<int32_t> bufferArray;
    SV::ArrayBufferM<int32_t, 2> inlineArray;
    SV::SimpleFixedArray<int32_t, 8> fixedArray;
    struct Case
    {
        const char* name;
        SV::IArray<int32_t>& array;
        std::vector<int32_t> afterRegrowth;
        std::vector<int32_t> afterInsertion;
    };
    const Case cases[] = {
        {"Array", vectorArray, {5, 0, 0}, {5, 0, 0, 0}},
        {"ArrayBuffer", bufferArray, {5, 0, 0}, {5, 0, 0, 0}},
        {"ArrayBufferM", inlineArray, {5, 0, 0}, {5, 0, 0, 0}},
        // The fixed array neither clears nor moves what lies beyond its count.
        {"SimpleFixedArray", fixedArray, {5, 6, 7}, {5, 6, 6, 7}},
    };
    for (const Case& c : cases) {
        for (int32_t value : {5, 6, 7}) {
            c.array.Add(value);
        }
        EXPECT_EQ(1, c.array.SetCount(1)) << c.name;
        EXPECT_EQ(3, c.array.SetCount(3)) << c.name;
        EXPECT_EQ(c.afterRegrowth, Items(c.array)) << c.name;
        EXPECT_EQ(4, c.array.InsertCountAt(1, 1)) << c.name;
        EXPECT_EQ(c.afterInsertion, Items(c.array)) << c.name;
    }
}

TEST(ArrayTest, HoldsValuesWithConstructorsAndDestructors)
{
    SV::Array<SV::Pair<int32_t, SV::WideString>> pairs;
    EXPECT_EQ(2, pairs.SetCount(2));
    EXPECT_TRUE(pairs.At(1)->second.IsEmpty());
    *pairs.At(0) = {7, SV::WideString(u"seven")};
    EXPECT_EQ(0, pairs.IndexOf({7, SV::WideString(u"seven")}));
    EXPECT_EQ(-1, pairs.IndexOf({7, SV::WideString(u"eight")}));

    SV::Array<SV::WideString> strings;
    strings.Add(SV::WideString(u"a"));
    strings.Add(SV::WideString(u"b"));
    SV::Array<SV::WideString> copy;
    EXPECT_EQ(2, copy.Assign(strings));
    EXPECT_EQ(S_OK, copy.Swap(0, 1));
    EXPECT_TRUE(copy.At(0)->EqualsText(u"b"));
    EXPECT_TRUE(strings.At(0)->EqualsText(u"a"));
    SV::WideString removed;
    EXPECT_EQ(1, copy.RemoveItem(0, removed));
    EXPECT_TRUE(removed.EqualsText(u"b"));
}

} // namespace
