#include "DriverCommon/ParamValueRecordCount.h"

#include "Utilities/Storage/Array.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

SV::ParamValues ListOf(const Bytes& bytes)
{
    SV::ParamValues list;
    list.SetData(SV::Variant::kList, bytes.data(), static_cast<uint32_t>(bytes.size()));
    return list;
}

Bytes Entry(uint32_t length, size_t size)
{
    Bytes bytes(size, 0xAA);
    for (size_t k = 0; k < 4 && k < size; ++k) {
        bytes[k] = static_cast<uint8_t>(length >> (8 * k));
    }
    return bytes;
}

Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes joined;
    for (const Bytes& part : parts) {
        joined.insert(joined.end(), part.begin(), part.end());
    }
    return joined;
}

TEST(ParamValueRecordCount, ListsAreCountedEntryByEntryAndABadLengthEndsTheCount)
{
    SV::Array<SV::ParamValue> values;
    for (int32_t id = 0; id < 4; ++id) {
        SV::Variant blob;
        const uint8_t byte = static_cast<uint8_t>(id);
        blob.SetBlob(&byte, 1);
        values.Add(SV::ParamValue(id, SV::Variant(), blob));
    }
    SV::ParamValues engineList;
    ASSERT_EQ(engineList.SetFromArray(&values, 4), 0);
    EXPECT_EQ(CountParamValueRecords(engineList), 4) << "what the engine posts";

    const struct
    {
        const char* what;
        SV::ParamValues list;
        int32_t count;
    } cases[] = {
        {"two entries", ListOf(Join({Entry(10, 10), Entry(8, 8)})), 2},
        {"a length of 0 first", ListOf(Join({Entry(0, 8), Entry(8, 8)})), 0},
        {"a length of 3 after an entry", ListOf(Join({Entry(8, 8), Entry(3, 8)})), 1},
        {"a length beyond the list", ListOf(Join({Entry(8, 8), Entry(0xFFFFFFFF, 8)})), 2},
        {"four bytes at most", ListOf(Entry(4, 4)), 0},
        {"no list", SV::ParamValues(), 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CountParamValueRecords(c.list), c.count) << c.what;
    }
    SV::ParamValues blob;
    blob.SetBlob(Entry(8, 8).data(), 8);
    EXPECT_EQ(CountParamValueRecords(blob), 0) << "a blob is no list";
}

} // namespace
