#include "ParamCache.h"

#include "ObjectBase/RCPtr.h"
#include "ResultCodes.h"
#include "VariantBytes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace {

using svtest::Blob;
using svtest::Bytes;
using svtest::BytesOf;
using svtest::Int32;

// Keeps every change the cache reports.
class RecordingCache : public LParamCache
{
public:
    using LParamCache::LParamCache;

    int32_t OnValueChanged(uint32_t index, const SV::Variant& value) override
    {
        changes.push_back({index, value});
        return S_OK;
    }

    struct Change
    {
        uint32_t index;
        SV::Variant value;
    };
    std::vector<Change> changes;
};

class ParamCacheTest : public ::testing::Test
{
protected:
    const SV::RCPtr<RecordingCache> cache{new RecordingCache(4)};
};

TEST_F(ParamCacheTest, EveryEntryStartsEmpty)
{
    EXPECT_EQ(cache->GetCount(), 4u);
    for (int32_t index = 0; index < 4; ++index) {
        SV::Variant value = Blob({0xEE});
        EXPECT_EQ(cache->GetValue(SV::ParamDescriptor(index), value), 0);
        EXPECT_EQ(value.GetType(), SV::Variant::kEmpty);
    }
}

TEST_F(ParamCacheTest, AWholeValueIsStoredOnlyWhenItChanges)
{
    EXPECT_EQ(cache->SetValue(SV::ParamDescriptor(1), Blob({0x05}), true), 0);
    EXPECT_EQ(cache->SetValue(SV::ParamDescriptor(1), Blob({0x05}), true), 1);
    EXPECT_EQ(cache->SetValue(SV::ParamDescriptor(1), Blob({0x06}), false), 0);

    ASSERT_EQ(cache->changes.size(), 1u);
    EXPECT_EQ(cache->changes[0].index, 1u);
    EXPECT_EQ(BytesOf(cache->changes[0].value), Bytes({0x05}));

    // The cache keeps its own copy.
    SV::Variant value;
    EXPECT_EQ(cache->GetValue(SV::ParamDescriptor(1), value), 0);
    uint32_t size = 0;
    value.GetData(size)[0] = 0x77;
    EXPECT_EQ(cache->GetValue(SV::ParamDescriptor(1), value), 0);
    EXPECT_EQ(BytesOf(value), Bytes({0x06}));
}

TEST_F(ParamCacheTest, IndexesFromTheCountOnAreRefused)
{
    for (const int32_t id : {4, 100, -1, std::numeric_limits<int32_t>::min()}) {
        EXPECT_EQ(cache->SetValue(SV::ParamDescriptor(id), Blob({1}), true), -1) << id;
        EXPECT_EQ(cache->SetValue(SV::ParamDescriptor(id, Int32(1)), Blob({1}), true), -1) << id;
        SV::Variant value = Blob({0xEE});
        EXPECT_EQ(cache->GetValue(SV::ParamDescriptor(id), value), -1) << id;
        EXPECT_EQ(value.GetType(), SV::Variant::kEmpty) << id;
    }
    EXPECT_TRUE(cache->changes.empty());
}

TEST_F(ParamCacheTest, SubPartsBuildAnOrderedListUnderOneIndex)
{
    for (const int32_t part : {2, 1, 3}) {
        EXPECT_EQ(cache->SetValue(SV::ParamDescriptor(0, Int32(part)),
                                  Blob({static_cast<uint8_t>(part)}), true),
                  0);
    }
    EXPECT_EQ(cache->SetValue(SV::ParamDescriptor(0, Int32(2)), Blob({0x22}), true), 0);
    EXPECT_EQ(cache->SetValue(SV::ParamDescriptor(0, Int32(2)), Blob({0x22}), true), 1);

    // Each change reports the whole list.
    ASSERT_EQ(cache->changes.size(), 4u);
    EXPECT_EQ(cache->changes.back().value.GetType(), SV::Variant::kList);

    SV::Variant whole;
    ASSERT_EQ(cache->GetValue(SV::ParamDescriptor(0), whole), 0);
    const SV::ParamValues list(whole);
    ASSERT_EQ(list.GetListItemCount(), 3);
    const uint8_t expected[] = {1, 0x22, 3};
    for (int32_t i = 0; i < 3; ++i) {
        SV::Variant value;
        SV::Variant subPart;
        int32_t id = -1;
        ASSERT_EQ(list.GetItem(i, value, id, subPart), 0);
        EXPECT_EQ(id, 0);
        EXPECT_EQ(subPart.GetInt32(), i + 1);
        EXPECT_EQ(BytesOf(value), Bytes({expected[i]}));
    }

    SV::Variant part;
    EXPECT_EQ(cache->GetValue(SV::ParamDescriptor(0, Int32(2)), part), 0);
    EXPECT_EQ(BytesOf(part), Bytes({0x22}));
    EXPECT_EQ(cache->GetValue(SV::ParamDescriptor(0, Int32(4)), part), 1);
    EXPECT_EQ(part.GetType(), SV::Variant::kEmpty);
}

TEST_F(ParamCacheTest, APartOfAValueThatIsNoListIsRefusedAndTheValueKept)
{
    ASSERT_EQ(cache->SetValue(SV::ParamDescriptor(2), Blob({0, 0, 2}), false), 0);

    EXPECT_EQ(cache->SetValue(SV::ParamDescriptor(2, Int32(1)), Blob({9}), true), -1);
    SV::Variant value = Blob({0xEE});
    EXPECT_EQ(cache->GetValue(SV::ParamDescriptor(2, Int32(1)), value), SV::kParamListNoEntry);
    EXPECT_EQ(value.GetType(), SV::Variant::kEmpty);

    EXPECT_EQ(cache->GetValue(SV::ParamDescriptor(2), value), 0);
    EXPECT_EQ(BytesOf(value), Bytes({0, 0, 2}));
    EXPECT_TRUE(cache->changes.empty());
}

TEST(ParamCacheHookTest, TheCachesOwnChangeHookIsNotImplemented)
{
    const SV::RCPtr<LParamCache> cache(new LParamCache(1));
    EXPECT_EQ(cache->OnValueChanged(0, Blob({1})), E_NOTIMPL);
    EXPECT_EQ(cache->SetValue(SV::ParamDescriptor(0), Blob({1}), true), 0);
}

} // namespace
