#include "Utilities/Storage/RCPtrMap.h"

#include "TrackedObjects.h"

#include <gtest/gtest.h>

#include <type_traits>

namespace {

using svtest::Tally;
using svtest::TrackedObject;

// A key class with a second counted base, so its LRefCountedObject part is not at its start.
class Interface : public virtual SV::LRefCountedObject
{
public:
    virtual int Answer() const { return 42; }
};

class Font : public Interface, public TrackedObject
{
public:
    using TrackedObject::TrackedObject;
};

class FileInfo : public TrackedObject
{
public:
    using TrackedObject::TrackedObject;
};

using Map = SV::RCPtrMap<Font, FileInfo>;

class RCPtrMapTest : public testing::Test
{
protected:
    SV::RCPtr<Font> NewFont() { return SV::RCPtr<Font>(new Font(mTally)); }
    SV::RCPtr<FileInfo> NewInfo() { return SV::RCPtr<FileInfo>(new FileInfo(mTally)); }

    Tally mTally;
    Map mMap;
};

TEST_F(RCPtrMapTest, AnObjectThatWasNeverSetHasNoValue)
{
    SV::RCPtr<Font> font = NewFont();
    EXPECT_FALSE(mMap.Get(font));
    EXPECT_FALSE(mMap.FindPair(font));
    EXPECT_FALSE(mMap.Remove(font));
    EXPECT_FALSE(mMap.Get(nullptr));
    EXPECT_EQ(1, font->GetRefCount());
}

TEST_F(RCPtrMapTest, SettingAKeyAgainReplacesItsPairAndReleasesTheOldValue)
{
    SV::RCPtr<Font> font = NewFont();
    SV::RCPtr<FileInfo> first = NewInfo();
    EXPECT_TRUE(mMap.Set(font, first));
    EXPECT_EQ(first.Get(), mMap.Get(font).Get());
    EXPECT_EQ(2, font->GetRefCount()); // the map keeps the key object alive

    EXPECT_FALSE(mMap.Set(font, NewInfo()));
    EXPECT_EQ(1, mMap.GetCount());
    EXPECT_NE(first.Get(), mMap.Get(font).Get());
    EXPECT_EQ(1, first->GetRefCount());
    EXPECT_EQ(2, font->GetRefCount());

    EXPECT_TRUE(mMap.Set(NewFont(), first));
    EXPECT_EQ(2, mMap.GetCount());
    EXPECT_EQ(0, mTally.destroyed);
}

TEST_F(RCPtrMapTest, TheKeyIsTheObjectWhicheverInterfaceReachesIt)
{
    SV::RCPtr<Font> font = NewFont();
    SV::RCPtr<FileInfo> info = NewInfo();
    mMap.Set(font, info);
    const SV::ConstRCPtr<SV::LRefCountedObject> asBase(font);
    const SV::RCPtr<Map::PairType>& pair = mMap.FindPair(asBase);
    ASSERT_TRUE(pair);
    EXPECT_EQ(font.Get(), pair->first.Get());
    EXPECT_EQ(info.Get(), pair->second.Get());

    using Helper = SV::RCPtrHalfMapHelper<Font, FileInfo>;
    static_assert(std::is_same_v<decltype(Helper::GetKey(pair)), uintptr_t>);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(asBase.Get()), Helper::GetKey(pair));
    EXPECT_NE(reinterpret_cast<uintptr_t>(font.Get()), Helper::GetKey(pair));
    EXPECT_EQ(asBase.Get(), SV::GetFirstRCPtr(pair).Get());
    EXPECT_FALSE(SV::GetFirstRCPtr(Map::Item()));
    EXPECT_EQ(0u, Helper::GetKey(Map::Item()));

    // A pair reads as its key object.
    EXPECT_TRUE(pair->ToString().Equals(font->ToString()));
    EXPECT_TRUE(SV::ToString(SV::ConstRCPtr<Font>()).IsEmpty());
}

TEST_F(RCPtrMapTest, RemovingAKeyReleasesItsPair)
{
    SV::RCPtr<Font> font = NewFont();
    mMap.Set(font, NewInfo());
    mMap.Set(NewFont(), NewInfo());
    EXPECT_TRUE(mMap.Remove(font));
    EXPECT_EQ(1, mMap.GetCount());
    EXPECT_EQ(1, font->GetRefCount());
    EXPECT_EQ(1, mTally.destroyed);
    EXPECT_FALSE(mMap.Get(font));

    mMap.RemoveAll();
    EXPECT_EQ(0, mMap.GetCount());
    EXPECT_EQ(3, mTally.destroyed);
}

} // namespace
