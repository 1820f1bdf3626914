#include "Utilities/Storage/ParamValues.h"

#include "ObjectBase/Holder.h"
#include "ObjectBase/RCPtr.h"
#include "ResultCodes.h"
#include "VariantBytes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <limits>
#include <vector>

namespace SV {
namespace {

using namespace svtest;

// The records of entry `index` of a list of entries.
std::vector<Variant> EntryRecords(const Variant& list, int32_t index)
{
    Variant entry;
    EXPECT_EQ(list.GetListItem(index, entry), 0);
    std::vector<Variant> records(static_cast<size_t>(entry.GetListItemCount()));
    for (size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(entry.GetListItem(static_cast<int32_t>(i), records[i]), 0);
    }
    return records;
}

TEST(ParamValueTest, ValuesAndDescriptorsHoldDeepCopies)
{
    Variant subPart = Int32(2);
    Variant value = Blob({1, 2});
    const ParamValue parameter(7, subPart, value);
    uint32_t size = 0;
    value.GetData(size)[0] = 9;
    subPart.Clear();

    EXPECT_EQ(parameter.descriptor.id, 7);
    EXPECT_EQ(parameter.descriptor.subPart.GetInt32(), 2);
    EXPECT_TRUE(parameter.value.IsEqual(Blob({1, 2})));

    const ParamDescriptor whole(3);
    EXPECT_EQ(whole.id, 3);
    EXPECT_EQ(whole.subPart.GetType(), Variant::kEmpty);

    std::vector<ParamValue> values(3, parameter);
    values.push_back(parameter);
    EXPECT_TRUE(values[3].value.IsEqual(parameter.value));
}

TEST(ParamRangesTest, SetRangesWritesOneEntryOfTwoInt32RecordsPerRange)
{
    const ParamIdRange range{2, 3};
    ParamRanges ranges;
    ASSERT_EQ(ranges.SetRanges(&range, 1), 0);
    EXPECT_EQ(ranges.GetType(), Variant::kList);
    EXPECT_EQ(DataOf(ranges), (Bytes{
                                0x2C, 0, 0, 0, 1, 0, 0, 0, 0x10, 0, 0, 0,             // the entry
                                0x10, 0, 0, 0, 1, 0, 0, 0, 0x06, 0, 0, 0, 2, 0, 0, 0, // first id
                                0x10, 0, 0, 0, 1, 0, 0, 0, 0x06, 0, 0, 0, 3, 0, 0, 0, // count
                            }));

    const ParamIdRange two[] = {{-8, 1}, {0, 4}};
    ASSERT_EQ(ranges.SetRanges(two, 2), 0);
    EXPECT_EQ(ranges.GetListItemCount(), 2);
    const std::vector<Variant> second = EntryRecords(ranges, 1);
    ASSERT_EQ(second.size(), 2u);
    EXPECT_EQ(second[0].GetInt32(), 0);
    EXPECT_EQ(second[1].GetInt32(), 4);
    EXPECT_EQ(EntryRecords(ranges, 0)[0].GetInt32(), -8);
}

TEST(ParamRangesTest, SetRangesWithoutRangesAnswersMinus4AndKeepsTheList)
{
    const ParamIdRange range{2, 3};
    ParamRanges ranges;
    ASSERT_EQ(0, ranges.SetRanges(&range, 1));
    const Variant before = ranges;

    EXPECT_EQ(ranges.SetRanges(nullptr, 1), kParamListNoEntry);
    EXPECT_EQ(ranges.SetRanges(&range, 0), kParamListNoEntry);
    EXPECT_EQ(ranges.SetRanges(&range, -1), kParamListNoEntry);
    EXPECT_TRUE(ranges.IsEqual(before));
}

TEST(ParamDescriptorsTest, FromIdRangeGivesOneEntryPerIdWithAWholeValueSubPart)
{
    const ParamDescriptors descriptors = ParamDescriptors::FromIdRange({0, 4});
    ASSERT_EQ(descriptors.GetType(), Variant::kList);
    ASSERT_EQ(descriptors.GetListItemCount(), 4);
    for (int32_t i = 0; i < 4; ++i) {
        const std::vector<Variant> records = EntryRecords(descriptors, i);
        ASSERT_EQ(records.size(), 2u);
        EXPECT_EQ(records[0].GetType(), Variant::kInt32);
        EXPECT_EQ(records[0].GetInt32(), i);
        EXPECT_EQ(records[1].GetType(), Variant::kEmpty);
    }
    // 4 entries of 12 + 16 + 12 bytes.
    EXPECT_EQ(descriptors.GetLength(), 160u);
}

TEST(ParamDescriptorsTest, FromIdRangeKeepsOddRangesBounded)
{
    for (const int32_t count : {0, -3}) {
        const ParamDescriptors none = ParamDescriptors::FromIdRange({5, count});
        EXPECT_EQ(none.GetType(), Variant::kList);
        EXPECT_EQ(none.GetLength(), 0u);
    }

    const ParamDescriptors wrapped =
        ParamDescriptors::FromIdRange({std::numeric_limits<int32_t>::max(), 2});
    ASSERT_EQ(wrapped.GetListItemCount(), 2);
    EXPECT_EQ(EntryRecords(wrapped, 0)[0].GetInt32(), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(EntryRecords(wrapped, 1)[0].GetInt32(), std::numeric_limits<int32_t>::min());

    // Billions of ids would not fit a list: refused before anything is built.
    const ParamDescriptors huge =
        ParamDescriptors::FromIdRange({0, std::numeric_limits<int32_t>::max()});
    EXPECT_EQ(huge.GetType(), Variant::kEmpty);
}

class ParamValuesGetItemTest : public testing::Test
{
protected:
    // Outputs that hold something, so a test sees what GetItem changes.
    Variant mValue = Blob({0xEE});
    int32_t mId = 55;
    Variant mSubPart = Int32(99);
};

TEST_F(ParamValuesGetItemTest, ReadsTheValueIdAndSubPartOfAnEntry)
{
    ParamValues values;
    values.SetList(std::vector<Variant>{List({Blob({0x01}), Int32(1), Variant()}),
                                        List({Blob({0x02, 0x03}), Int32(-4), Int32(2)})}
                       .data(),
                   2);

    EXPECT_EQ(values.GetItem(0, mValue, mId, mSubPart), 0);
    EXPECT_TRUE(mValue.IsEqual(Blob({0x01})));
    EXPECT_EQ(mId, 1);
    EXPECT_EQ(mSubPart.GetType(), Variant::kEmpty);

    EXPECT_EQ(values.GetItem(1, mValue, mId, mSubPart), 0);
    EXPECT_TRUE(mValue.IsEqual(Blob({0x02, 0x03})));
    EXPECT_EQ(mId, -4);
    EXPECT_TRUE(mSubPart.IsEqual(Int32(2)));
}

TEST_F(ParamValuesGetItemTest, AnswersMinus4WithoutAnEntryAtTheIndex)
{
    ParamValues oneEntry;
    oneEntry.SetList(std::vector<Variant>{List({Blob({1}), Int32(1), Variant()})}.data(), 1);
    const ParamValues fourBytes(RawList({0x0C, 0, 0, 0}));
    ParamValues notAList(Blob({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
    struct Case
    {
        const char* name;
        const ParamValues& list;
        int32_t index;
    };
    const Case cases[] = {
        {"index equal to the count", oneEntry, 1}, {"negative index", oneEntry, -1},
        {"empty Variant", ParamValues(), 0},       {"empty list", ParamValues(List({})), 0},
        {"list of 4 bytes", fourBytes, 0},         {"not a list", notAList, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        mValue = Blob({0xEE});
        mId = 55;
        EXPECT_EQ(c.list.GetItem(c.index, mValue, mId, mSubPart), kParamListNoEntry);
        EXPECT_EQ(mValue.GetType(), Variant::kEmpty);
        EXPECT_EQ(mId, -1);
        EXPECT_TRUE(mSubPart.IsEqual(Int32(99)));
    }
}

TEST_F(ParamValuesGetItemTest, AnswersMinus7ForAnEntryThatIsNotThreeReadableRecords)
{
    const Bytes badVersion = {0x0D, 0, 0, 0, 2, 0, 0, 0, 0x03, 0, 0, 0, 0x07};
    Variant firstTwo = List({Blob({1}), Int32(1)});
    const Bytes twoRecords = DataOf(firstTwo);
    auto twoRecordsAnd = [&twoRecords](const Bytes& third) {
        Bytes bytes = twoRecords;
        bytes.insert(bytes.end(), third.begin(), third.end());
        return RawList(bytes);
    };
    struct Case
    {
        const char* name;
        Variant list;
    };
    const Case cases[] = {
        {"two records", List({List({Blob({1}), Int32(1)})})},
        {"four records", List({List({Blob({1}), Int32(1), Variant(), Variant()})})},
        {"an entry that is not a list", List({Int32(1)})},
        {"an entry that does not decode", RawList(badVersion)},
        {"a third record that does not decode", List({twoRecordsAnd(badVersion)})},
        {"a third record cut short", List({twoRecordsAnd({0x0C, 0, 0, 0, 1})})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ParamValues values(c.list);
        mValue = Blob({0xEE});
        mId = 55;
        EXPECT_EQ(values.GetItem(0, mValue, mId, mSubPart), kParamListMalformedEntry);
        EXPECT_EQ(mValue.GetType(), Variant::kEmpty);
        EXPECT_EQ(mId, -1);
        EXPECT_TRUE(mSubPart.IsEqual(Int32(99)));
    }
}

TEST(ParamValuesTest, ListsTravelAsCountedObjectsAndCopyDeeply)
{
    ParamValues values;
    values.SetList(std::vector<Variant>{List({Blob({5}), Int32(-4), Variant()})}.data(), 1);

    const RCPtr<LWrapper<ParamValues>> queued(new LWrapper<ParamValues>(values));
    values.Clear();
    Variant value;
    int32_t id = 0;
    Variant subPart;
    EXPECT_EQ(queued->GetValue().GetItem(0, value, id, subPart), 0);
    EXPECT_EQ(id, -4);
    EXPECT_TRUE(value.IsEqual(Blob({5})));

    // A list Variant from elsewhere becomes a list type by copy.
    const ParamValues fromVariant(queued->GetValue());
    EXPECT_TRUE(fromVariant.IsEqual(queued->GetValue()));
}

} // namespace
} // namespace SV
