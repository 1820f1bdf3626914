#include "Utilities/Storage/ArrayUtils.h"

#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/ArrayBuffer.h"
#include "Utilities/Storage/RCPtrArray.h"

#include "ExceptionText.h"
#include "TrackedObjects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using svtest::ExceptionTextOf;

template <class T>
std::vector<T> Items(const SV::IArray<T>& array)
{
    return std::vector<T>(array.GetFirst(), array.GetEnd());
}

template <class T>
void Fill(SV::IArray<T>& array, const std::vector<T>& items)
{
    array.SetCount(static_cast<int32_t>(items.size()));
    std::copy(items.begin(), items.end(), array.GetData());
}

const auto kLess = [](int32_t a, int32_t b) { return a < b; };

TEST(ArrayUtilsTest, SortReordersOnlyTheRange)
{
    SV::ArrayBuffer<int32_t> array;
    Fill<int32_t>(array, {9, 5, 3, 4, 1, 0});
    SV::ArrayUtils::Sort(array, 1, 4, kLess);
    EXPECT_EQ((std::vector<int32_t>{9, 1, 3, 4, 5, 0}), Items<int32_t>(array));
    SV::ArrayUtils::Sort(array, 0, 6, [](int32_t a, int32_t b) { return a > b; });
    EXPECT_EQ((std::vector<int32_t>{9, 5, 4, 3, 1, 0}), Items<int32_t>(array));
}

TEST(ArrayUtilsTest, RangesBeyondTheEndThrowAndChangeNothing)
{
    SV::Array<int32_t> array;
    Fill<int32_t>(array, {3, 2, 1});
    const std::string sortText =
        "Out of Range : SV::ArrayUtils::Sort : utilities\\Storage/ArrayUtils : Line 254";
    const std::string indexText =
        "Out of Range : SV::ArrayUtils::SortIndecies : utilities\\Storage/ArrayUtils : Line 266";
    struct Case
    {
        uint32_t first;
        uint32_t count;
    };
    // The last case wraps around 32 bits: 0xFFFFFFFF + 2 is 1.
    for (const Case& c : {Case{2, 2}, Case{0, 4}, Case{3, 2}, Case{0xFFFFFFFF, 2}}) {
        EXPECT_EQ(sortText,
                  ExceptionTextOf<std::out_of_range>([&] { SV::ArrayUtils::Sort(array, c.first, c.count, kLess); }))
            << c.first << ", " << c.count;
        SV::ArrayBuffer<uint32_t> indexes;
        indexes.Add(77);
        EXPECT_EQ(indexText, ExceptionTextOf<std::out_of_range>([&] {
                      SV::ArrayUtils::SortIndecies(indexes, array, c.first, c.count, kLess);
                  }));
        EXPECT_EQ((std::vector<uint32_t>{77}), Items<uint32_t>(indexes));
    }
    EXPECT_EQ((std::vector<int32_t>{3, 2, 1}), Items<int32_t>(array));

    // Fewer than two elements are not sorted, so Sort does not look at the range; SortIndecies
    // always does.
    EXPECT_EQ("no exception", ExceptionTextOf<std::out_of_range>([&] { SV::ArrayUtils::Sort(array, 9, 1, kLess); }));
    EXPECT_EQ("no exception", ExceptionTextOf<std::out_of_range>([&] { SV::ArrayUtils::Sort(array, 9, 0, kLess); }));
    SV::Array<int32_t> one;
    one.Add(1);
    SV::ArrayBuffer<uint32_t> indexes;
    EXPECT_EQ(indexText,
              ExceptionTextOf<std::out_of_range>([&] { SV::ArrayUtils::SortIndecies(indexes, one, 2, 0, kLess); }));
}

TEST(ArrayUtilsTest, SortIndeciesWritesTheIndexesOfTheRangeInOrder)
{
    SV::Array<int32_t> array;
    Fill<int32_t>(array, {50, 40, 30, 20, 10});
    const auto byValue = [&array](uint32_t a, uint32_t b) {
        return *array.At(static_cast<int32_t>(a)) < *array.At(static_cast<int32_t>(b));
    };
    SV::ArrayBuffer<uint32_t> indexes;
    SV::ArrayUtils::SortIndecies(indexes, array, 3, 2, byValue);
    EXPECT_EQ((std::vector<uint32_t>{4, 3}), Items<uint32_t>(indexes));
    SV::ArrayUtils::SortIndecies(indexes, array, 0, 5, byValue);
    EXPECT_EQ((std::vector<uint32_t>{4, 3, 2, 1, 0}), Items<uint32_t>(indexes));
    SV::ArrayUtils::SortIndecies(indexes, array, 2, 1, byValue);
    EXPECT_EQ((std::vector<uint32_t>{2}), Items<uint32_t>(indexes));
    EXPECT_EQ((std::vector<int32_t>{50, 40, 30, 20, 10}), Items<int32_t>(array));

    SV::Array<int32_t> empty;
    SV::ArrayUtils::SortIndecies(indexes, empty, 0, 0, byValue);
    EXPECT_EQ(0, indexes.GetCount());
}

TEST(ArrayUtilsTest, KeyThenIndexComparatorsGiveOneOrderAtEverySize)
{
    // Up to 32 elements and beyond, with many equal keys: ties are decided by index, so the
    // result is the stable order whatever the procedure does.
    std::mt19937 random(12345);
    for (uint32_t size : {2u, 31u, 32u, 33u, 41u, 42u, 500u}) {
        SV::ArrayBuffer<int32_t> keys;
        std::vector<int32_t> values(size);
        for (int32_t& value : values) {
            value = static_cast<int32_t>(random() % 7);
        }
        Fill(keys, values);
        SV::ArrayBuffer<uint32_t> indexes;
        SV::ArrayUtils::SortIndecies(indexes, keys, 0, size, [&keys](uint32_t a, uint32_t b) {
            const int32_t keyA = *keys.At(static_cast<int32_t>(a));
            const int32_t keyB = *keys.At(static_cast<int32_t>(b));
            return keyA != keyB ? keyA < keyB : a < b;
        });
        std::vector<uint32_t> expected(size);
        for (uint32_t i = 0; i < size; ++i) {
            expected[i] = i;
        }
        std::stable_sort(expected.begin(), expected.end(),
                         [&values](uint32_t a, uint32_t b) { return values[a] < values[b]; });
        EXPECT_EQ(expected, Items<uint32_t>(indexes)) << size;

        SV::ArrayUtils::Sort(keys, 0, size, kLess);
        std::sort(values.begin(), values.end());
        EXPECT_EQ(values, Items<int32_t>(keys)) << size;
    }
}

TEST(ArrayUtilsTest, SortingSharedPointersChangesNoReferenceCount)
{
    svtest::Tally tally;
    struct Numbered : svtest::TrackedObject
    {
        Numbered(svtest::Tally& tally, int value) : TrackedObject(tally), number(value) {}
        int number;
    };
    SV::RCPtrArray<Numbered> array;
    std::mt19937 random(7);
    for (int i = 0; i < 100; ++i) {
        array.Add(SV::RCPtr<Numbered>(new Numbered(tally, static_cast<int>(random() % 1000))));
    }
    SV::ArrayUtils::Sort(array, 0, 100,
                         [](const SV::RCPtr<Numbered>& a, const SV::RCPtr<Numbered>& b) {
                             return a->number < b->number;
                         });
    SV::ArrayBuffer<uint32_t> indexes;
    SV::ArrayUtils::SortIndecies(indexes, array, 0, 100, [&array](uint32_t a, uint32_t b) {
        return (*array.At(static_cast<int32_t>(a)))->number >
               (*array.At(static_cast<int32_t>(b)))->number;
    });
    const auto numberAt = [&array](uint32_t index) {
        return (*array.At(static_cast<int32_t>(index)))->number;
    };
    for (int32_t i = 0; i < 100; ++i) {
        EXPECT_EQ(1, (*array.At(i))->GetRefCount());
        if (i > 0) {
            EXPECT_LE(numberAt(uint32_t(i - 1)), numberAt(uint32_t(i)));
            EXPECT_GE(numberAt(*indexes.At(i - 1)), numberAt(*indexes.At(i)));
        }
    }
    EXPECT_EQ(0, tally.destroyed);
}

} // namespace
