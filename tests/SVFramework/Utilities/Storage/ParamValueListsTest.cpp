#include "Utilities/Storage/ParamValues.h"

#include "ResultCodes.h"
#include "Utilities/Storage/Array.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <limits>
#include <vector>

namespace SV {
namespace {

Variant Int32(int32_t value)
{
    Variant variant;
    variant.SetData(Variant::kInt32, &value, sizeof value);
    return variant;
}

Variant Blob(std::initializer_list<uint8_t> bytes)
{
    Variant variant;
    variant.SetBlob(bytes.begin(), static_cast<uint32_t>(bytes.size()));
    return variant;
}

Variant List(std::initializer_list<Variant> items)
{
    Variant variant;
    variant.SetList(items.begin(), static_cast<int32_t>(items.size()));
    return variant;
}

// Every entry of a value list as (id, sub-part, value), failing the test on an unreadable one.
std::vector<ParamValue> Entries(const ParamValues& list)
{
    std::vector<ParamValue> entries(static_cast<size_t>(list.GetListItemCount()));
    for (size_t i = 0; i < entries.size(); ++i) {
        ParamValue& entry = entries[i];
        EXPECT_EQ(list.GetItem(static_cast<int32_t>(i), entry.value, entry.descriptor.id,
                               entry.descriptor.subPart),
                  0);
    }
    return entries;
}

std::vector<int32_t> Ids(const ParamDescriptors& list)
{
    std::vector<int32_t> ids;
    for (int32_t i = 0; i < list.GetListItemCount(); ++i) {
        int32_t id = 0;
        Variant subPart;
        EXPECT_EQ(list.GetDescriptor(i, id, subPart), 0);
        EXPECT_EQ(subPart.GetType(), Variant::kEmpty);
        ids.push_back(id);
    }
    return ids;
}

// A value list whose second entry has only two records.
ParamValues WithMalformedEntry()
{
    return ParamValues(List({List({Blob({1}), Int32(0), Int32(1)}), List({Blob({2}), Int32(0)})}));
}

TEST(ParamValuesSetEntryTest, SubPartsOfOneIdAreKeptInOrderAndReplacedInPlace)
{
    ParamValues list;
    for (const int32_t part : {2, 1, 3}) {
        EXPECT_EQ(list.SetEntry(ParamDescriptor(7, Int32(part)), Blob({uint8_t(part)})), 0);
    }
    EXPECT_EQ(list.SetEntry(ParamDescriptor(7, Int32(2)), Blob({0x22})), 0);

    const std::vector<ParamValue> entries = Entries(list);
    ASSERT_EQ(entries.size(), 3u);
    const uint8_t expected[] = {1, 0x22, 3};
    for (int32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(entries[i].descriptor.id, 7);
        EXPECT_EQ(entries[i].descriptor.subPart.GetInt32(), i + 1);
        EXPECT_TRUE(entries[i].value.IsEqual(Blob({expected[i]})));
    }

    // The same value again changes nothing.
    const ParamValues before = list;
    EXPECT_EQ(list.SetEntry(ParamDescriptor(7, Int32(2)), Blob({0x22})), 1);
    EXPECT_TRUE(list.IsEqual(before));
}

TEST(ParamValuesSetEntryTest, IdsAreOrderedAsUnsignedNumbersBeforeSubParts)
{
    ParamValues list;
    for (const int32_t id : {-2, 3, 0}) {
        EXPECT_EQ(list.SetEntry(ParamDescriptor(id), Blob({1})), 0);
    }
    // The whole value (an empty sub-part) comes before any part of the same id.
    EXPECT_EQ(list.SetEntry(ParamDescriptor(3, Int32(-5)), Blob({2})), 0);

    const std::vector<ParamValue> entries = Entries(list);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].descriptor.id, 0);
    EXPECT_EQ(entries[1].descriptor.id, 3);
    EXPECT_EQ(entries[1].descriptor.subPart.GetType(), Variant::kEmpty);
    EXPECT_EQ(entries[2].descriptor.id, 3);
    EXPECT_EQ(entries[2].descriptor.subPart.GetInt32(), -5);
    EXPECT_EQ(entries[3].descriptor.id, -2);
}

TEST(ParamValuesSetEntryTest, AListOutOfOrderNeverGetsTheDescriptorTwice)
{
    // Id 5 is held after id 9, where an insertion for id 5 would go first.
    ParamValues list(
        List({List({Blob({9}), Int32(9), Variant()}), List({Blob({5}), Int32(5), Variant()})}));

    EXPECT_EQ(list.SetEntry(ParamDescriptor(5), Blob({0x55})), 0);

    const std::vector<ParamValue> entries = Entries(list);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].descriptor.id, 5);
    EXPECT_TRUE(entries[1].value.IsEqual(Blob({0x55})));
}

TEST(ParamValuesSetEntryTest, WhatIsNoReadableListStaysAsItWas)
{
    ParamValues malformed = WithMalformedEntry();
    const ParamValues before = malformed;
    EXPECT_EQ(malformed.SetEntry(ParamDescriptor(4), Blob({1})), kParamListMalformedEntry);
    EXPECT_TRUE(malformed.IsEqual(before));

    // A whole value is not turned into a list by a write of a part.
    ParamValues blob(Blob({1, 2}));
    EXPECT_EQ(blob.SetEntry(ParamDescriptor(0, Int32(1)), Blob({3})), kParamListNoEntry);
    EXPECT_TRUE(blob.IsEqual(Blob({1, 2})));
}

// A blob of 0 bytes writes a record that does not read back; stored, it would make every later
// operation on the list answer kParamListMalformedEntry.
TEST(ParamValuesSetEntryTest, AValueOrSubPartOfNoBytesIsRefusedAndTheListStaysUsable)
{
    const Variant noBytes = Blob({});
    const ParamDescriptor refused[] = {ParamDescriptor(2), ParamDescriptor(2, noBytes)};
    const Variant values[] = {noBytes, Blob({7})};
    for (size_t index = 0; index < std::size(refused); ++index) {
        SCOPED_TRACE(index);
        ParamValues list;
        ASSERT_EQ(list.SetEntry(ParamDescriptor(1), Blob({1})), 0);
        const ParamValues before = list;
        EXPECT_EQ(list.SetEntry(refused[index], values[index]), E_INVALIDARG);
        EXPECT_TRUE(list.IsEqual(before));
        EXPECT_EQ(list.SetEntry(ParamDescriptor(2), Blob({2})), 0);
        EXPECT_EQ(Entries(list).size(), 2u);

        Array<ParamValue> array;
        array.Add(ParamValue(5, Variant(), Blob({5})));
        array.Add(ParamValue(refused[index].id, refused[index].subPart, values[index]));
        const ParamValues built = list;
        EXPECT_EQ(list.SetFromArray(&array, 2), E_INVALIDARG);
        EXPECT_TRUE(list.IsEqual(built));
    }
}

TEST(ParamValuesFindValueTest, FindsTheEntryWithTheSameIdAndSubPart)
{
    ParamValues list;
    list.SetEntry(ParamDescriptor(1), Blob({1}));
    list.SetEntry(ParamDescriptor(1, Int32(2)), Blob({2}));
    Variant value = Blob({0xEE});

    EXPECT_EQ(list.FindValue(ParamDescriptor(1, Int32(2)), value), 0);
    EXPECT_TRUE(value.IsEqual(Blob({2})));
    EXPECT_EQ(list.FindValue(ParamDescriptor(1), value), 0);
    EXPECT_TRUE(value.IsEqual(Blob({1})));

    for (const ParamDescriptor& missing : {ParamDescriptor(1, Int32(3)), ParamDescriptor(2)}) {
        value = Blob({0xEE});
        EXPECT_EQ(list.FindValue(missing, value), 1);
        EXPECT_EQ(value.GetType(), Variant::kEmpty);
    }
}

TEST(ParamValuesFindValueTest, AnEmptyListHasNothingAndAnUnreadableOneAnswersItsCode)
{
    Variant value = Blob({0xEE});
    EXPECT_EQ(ParamValues().FindValue(ParamDescriptor(0), value), 1);
    EXPECT_EQ(value.GetType(), Variant::kEmpty);

    value = Blob({0xEE});
    EXPECT_EQ(WithMalformedEntry().FindValue(ParamDescriptor(9), value), kParamListMalformedEntry);
    EXPECT_EQ(value.GetType(), Variant::kEmpty);

    value = Blob({0xEE});
    EXPECT_EQ(ParamValues(Blob({1})).FindValue(ParamDescriptor(0), value), kParamListNoEntry);
    EXPECT_EQ(value.GetType(), Variant::kEmpty);
}

TEST(ParamValuesSetFromArrayTest, BuildsOneEntryPerElementInOrder)
{
    Array<ParamValue> values;
    values.Add(ParamValue(3, Variant(), Blob({0x0C})));
    values.Add(ParamValue(-8, Int32(1), Blob({1, 2})));
    values.Add(ParamValue(0, Variant(), Blob({9})));
    ParamValues list;

    EXPECT_EQ(list.SetFromArray(&values, 2), 0);

    const std::vector<ParamValue> entries = Entries(list);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].descriptor.id, 3);
    EXPECT_TRUE(entries[0].value.IsEqual(Blob({0x0C})));
    EXPECT_EQ(entries[1].descriptor.id, -8);
    EXPECT_EQ(entries[1].descriptor.subPart.GetInt32(), 1);
    EXPECT_TRUE(entries[1].value.IsEqual(Blob({1, 2})));
}

TEST(ParamValuesSetFromArrayTest, NoElementsOrAWrongCountLeaveTheListAsItWas)
{
    Array<ParamValue> values;
    values.Add(ParamValue(1, Variant(), Blob({5})));
    ParamValues list;
    list.SetFromArray(&values, 1);
    const ParamValues before = list;

    EXPECT_EQ(list.SetFromArray(&values, 0), kParamListNoEntry);
    EXPECT_EQ(list.SetFromArray(nullptr, 1), kParamListNoEntry);
    EXPECT_EQ(list.SetFromArray(&values, 2), E_INVALIDARG);
    EXPECT_EQ(list.SetFromArray(&values, -1), E_INVALIDARG);
    EXPECT_TRUE(list.IsEqual(before));
}

TEST(ParamDescriptorsTest, SetFromRangesExpandsEachRangeInListOrder)
{
    const ParamIdRange ranges[] = {
        {0, 2}, {10, 1}, {20, 0}, {30, -4}, {std::numeric_limits<int32_t>::max(), 2}};
    ParamRanges rangeList;
    ASSERT_EQ(rangeList.SetRanges(ranges, 5), 0);
    ParamDescriptors descriptors;

    EXPECT_EQ(descriptors.SetFromRanges(rangeList), 0);
    EXPECT_EQ(Ids(descriptors), (std::vector<int32_t>{0, 1, 10, std::numeric_limits<int32_t>::max(),
                                                      std::numeric_limits<int32_t>::min()}));

    // No ranges give an empty list.
    EXPECT_EQ(descriptors.SetFromRanges(ParamRanges()), 0);
    EXPECT_EQ(descriptors.GetType(), Variant::kList);
    EXPECT_EQ(descriptors.GetListItemCount(), 0);
}

TEST(ParamDescriptorsTest, SetFromRangesRefusesUnreadableAndHugeRanges)
{
    ParamDescriptors descriptors = ParamDescriptors::FromIdRange({0, 4});
    const ParamDescriptors before = descriptors;

    const ParamRanges malformed(List({List({Int32(0)})}));
    EXPECT_EQ(descriptors.SetFromRanges(malformed), kParamListMalformedEntry);

    const ParamIdRange huge[] = {{0, std::numeric_limits<int32_t>::max()}};
    ParamRanges hugeList;
    hugeList.SetRanges(huge, 1);
    EXPECT_EQ(descriptors.SetFromRanges(hugeList), E_OUTOFMEMORY);
    EXPECT_TRUE(descriptors.IsEqual(before));
}

TEST(ParamDescriptorsTest, GetDescriptorReadsOneEntryOrAnswersWhyNot)
{
    ParamDescriptors descriptors(
        List({List({Int32(5), Int32(2)}), List({Int32(6), Int32(0), Int32(0)})}));
    int32_t id = 0;
    Variant subPart = Blob({0xEE});

    EXPECT_EQ(descriptors.GetDescriptor(0, id, subPart), 0);
    EXPECT_EQ(id, 5);
    EXPECT_EQ(subPart.GetInt32(), 2);

    EXPECT_EQ(descriptors.GetDescriptor(1, id, subPart), kParamListMalformedEntry);
    EXPECT_EQ(id, -1);
    EXPECT_EQ(subPart.GetType(), Variant::kEmpty);

    for (const int32_t index : {2, -1}) {
        id = 0;
        subPart = Blob({0xEE});
        EXPECT_EQ(descriptors.GetDescriptor(index, id, subPart), kParamListNoEntry);
        EXPECT_EQ(id, -1);
        EXPECT_EQ(subPart.GetType(), Variant::kEmpty);
    }
}

TEST(ParamRangesTest, GetRangeReadsOneEntryOrAnswersWhyNot)
{
    const ParamIdRange ranges[] = {{0, 4}, {-10, 3}};
    ParamRanges list;
    list.SetRanges(ranges, 2);
    ParamIdRange range;

    EXPECT_EQ(list.GetRange(1, range), 0);
    EXPECT_EQ(range.firstId, -10);
    EXPECT_EQ(range.count, 3);

    EXPECT_EQ(list.GetRange(2, range), kParamListNoEntry);
    EXPECT_EQ(range.firstId, -1);
    EXPECT_EQ(range.count, 0);

    range = {7, 7};
    EXPECT_EQ(ParamRanges(List({List({Int32(1)})})).GetRange(0, range), kParamListMalformedEntry);
    EXPECT_EQ(range.firstId, -1);
    EXPECT_EQ(range.count, 0);
}

} // namespace
} // namespace SV
