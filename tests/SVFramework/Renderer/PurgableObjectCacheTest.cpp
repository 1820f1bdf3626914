#include "Renderer/PurgableObjectCache.h"
#include "TrackedObjects.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

int32_t KeyOfHandle(const int32_t& handle)
{
    return handle;
}

using Cache = SV::PurgableObjectCache<svtest::TrackedObject, int32_t, int32_t, &KeyOfHandle, 8,
                                      &SV::PurgableCacheHash<int32_t>>;

class PurgableObjectCacheTest : public ::testing::Test
{
protected:
    // Looks the key up and fills an empty slot with a new object; answers whether it missed.
    bool Use(Cache& cache, int32_t key, bool invalidate = false)
    {
        SV::RCPtr<svtest::TrackedObject>& slot = cache.Lookup(key, invalidate);
        if (slot) {
            return false;
        }
        slot = SV::RCPtr<svtest::TrackedObject>(new svtest::TrackedObject(tally));
        return true;
    }

    svtest::Tally tally;
};

TEST_F(PurgableObjectCacheTest, TheOldestEntryMakesRoomAndEqualAgesGoByUseCount)
{
    Cache cache(2);
    EXPECT_TRUE(Use(cache, 1));
    EXPECT_TRUE(Use(cache, 2));
    EXPECT_FALSE(Use(cache, 1));
    EXPECT_TRUE(Use(cache, 3)); // replaces 2, the older one
    EXPECT_EQ(tally.destroyed, 1);
    EXPECT_FALSE(Use(cache, 1));
    EXPECT_TRUE(Use(cache, 2));
    EXPECT_EQ(cache.GetKeyCount(), 2);
    EXPECT_EQ(cache.GetClock(), 6u);
}

TEST_F(PurgableObjectCacheTest, PurgeFreesWhatWasNotUsedSinceTheStampAndKeepsTheKeys)
{
    Cache cache(2);
    Use(cache, 1);
    Use(cache, 1);
    Use(cache, 2);
    EXPECT_EQ(cache.Purge(cache.GetClock()), 1);
    EXPECT_EQ(tally.destroyed, 1);
    EXPECT_TRUE(cache.GetEntry(0).IsFree());
    EXPECT_EQ(cache.GetEntry(0).useCount, 0u);
    EXPECT_EQ(cache.GetEntry(0).stamp, 0u);
    EXPECT_EQ(cache.GetKeyCount(), 2);

    EXPECT_TRUE(Use(cache, 3)); // reuses the freed entry before any other
    EXPECT_EQ(cache.GetEntry(0).key, 3);
    EXPECT_FALSE(Use(cache, 2));
    EXPECT_TRUE(Use(cache, 1)); // its key is gone with the entry
}

TEST_F(PurgableObjectCacheTest, PurgingAnUnusedCacheCountsEveryEntry)
{
    Cache cache(5);
    EXPECT_EQ(cache.Purge(0), 0);
    EXPECT_EQ(cache.Purge(1), 5);
}

TEST_F(PurgableObjectCacheTest, PurgeComparesStampsAcrossAClockWrap)
{
    Cache cache(1);
    Use(cache, 1);
    cache.GetEntry(0).stamp = 0xFFFFFFF0u;
    EXPECT_EQ(cache.Purge(0x10u), 1); // 0xFFFFFFF0 is 32 before 0x10
    Use(cache, 1);
    cache.GetEntry(0).stamp = 0x10u;
    EXPECT_EQ(cache.Purge(0xFFFFFFF0u), 0); // and 0x10 is after 0xFFFFFFF0
}

TEST_F(PurgableObjectCacheTest, InvalidatingAndDiscardingDropTheObjectButKeepTheKey)
{
    Cache cache(2);
    Use(cache, 7);
    Use(cache, 7);
    SV::RCPtr<svtest::TrackedObject>& slot = cache.Lookup(7, true);
    EXPECT_FALSE(slot);
    EXPECT_EQ(cache.GetEntry(0).useCount, 1u);
    EXPECT_EQ(tally.destroyed, 1);

    EXPECT_TRUE(Use(cache, 7));
    EXPECT_EQ(cache.Discard(7), 0);
    EXPECT_EQ(tally.destroyed, 2);
    EXPECT_EQ(cache.GetEntry(0).useCount, 0u);
    EXPECT_EQ(cache.GetKeyCount(), 1);
    EXPECT_EQ(cache.Discard(8), 1);
    EXPECT_TRUE(Use(cache, 7));
}

TEST_F(PurgableObjectCacheTest, UseCountsStopAtTheLargestValue)
{
    Cache cache(1);
    Use(cache, 1);
    cache.GetEntry(0).useCount = std::numeric_limits<uint32_t>::max() - 1;
    Use(cache, 1);
    Use(cache, 1);
    EXPECT_EQ(cache.GetEntry(0).useCount, std::numeric_limits<uint32_t>::max());
}

TEST_F(PurgableObjectCacheTest, KeysInOneBucketAreKeptApart)
{
    // 0x10 apart lands in the next bucket; 0x1000 apart in the same one.
    Cache cache(4);
    for (int32_t key : {0x1000, 0x2000, 0x3000, 0x1010}) {
        EXPECT_TRUE(Use(cache, key));
    }
    for (int32_t key : {0x1000, 0x2000, 0x3000, 0x1010}) {
        EXPECT_FALSE(Use(cache, key)) << key;
    }
}

TEST_F(PurgableObjectCacheTest, DestroyingTheCacheReleasesEveryObject)
{
    {
        Cache cache(3);
        Use(cache, 1);
        Use(cache, 2);
    }
    EXPECT_EQ(tally.destroyed, 2);
}

} // namespace
