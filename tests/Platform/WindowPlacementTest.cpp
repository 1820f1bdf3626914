#include "WindowPlacement.h"
#include "ProfileFile.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

TEST(WindowPlacementTest, EncodesTheFortyFourBytesFieldByFieldLittleEndian)
{
    const svp::WindowPlacement placement{44, 0, 1, -1, -1, -1, -1, 100, 50, 1300, 770};
    const auto bytes = svp::EncodeWindowPlacement(placement);
    const std::array<uint8_t, 44> expected{
        0x2C, 0,    0,    0,    0,    0,    0,    0,    1,    0,    0,    0,    0xFF, 0xFF, 0xFF,
        0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 100,  0,
        0,    0,    50,   0,    0,    0,    0x14, 0x05, 0,    0,    0x02, 0x03, 0,    0};
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(svp::DecodeWindowPlacement(bytes), placement);
}

TEST(WindowPlacementTest, RefusesRecordsOfAnotherSizeLengthOrWithAnInsaneRectangle)
{
    const svp::WindowPlacement good{44, 0, 1, -1, -1, -1, -1, 0, 0, 1200, 720};
    const auto bytes = svp::EncodeWindowPlacement(good);
    EXPECT_FALSE(svp::DecodeWindowPlacement(std::span(bytes).first(40)));
    std::vector<uint8_t> longer(bytes.begin(), bytes.end());
    longer.push_back(0);
    EXPECT_FALSE(svp::DecodeWindowPlacement(longer));

    struct Case
    {
        const char* what;
        svp::WindowPlacement placement;
    };
    const Case cases[] = {
        {"length field 40", {40, 0, 1, -1, -1, -1, -1, 0, 0, 1200, 720}},
        {"empty width", {44, 0, 1, -1, -1, -1, -1, 500, 0, 500, 720}},
        {"upside down", {44, 0, 1, -1, -1, -1, -1, 0, 720, 1200, 0}},
        {"far away", {44, 0, 1, -1, -1, -1, -1, 0, 0, 1200, 2000000}},
        {"far left", {44, 0, 1, -1, -1, -1, -1, -40000, 0, 1200, 720}},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(svp::DecodeWindowPlacement(svp::EncodeWindowPlacement(c.placement))) << c.what;
    }
}

TEST(ProfileFileTest, WritesReadsAndReplacesValuesKeepingOtherSectionsAndEntries)
{
    svtest::TempFolder folder;
    const svp::ProfileFile profile(folder.Path() + "/profile.ini");
    EXPECT_FALSE(profile.ReadBinary("Window", "WP"));

    const std::vector<uint8_t> first{0x00, 0x2C, 0xFF};
    const std::vector<uint8_t> second{0x01};
    ASSERT_TRUE(profile.WriteBinary("Window", "WP", first));
    ASSERT_TRUE(profile.WriteBinary("Other", "WP", second));
    ASSERT_TRUE(profile.WriteBinary("Window", "Extra", second));
    EXPECT_EQ(profile.ReadBinary("Window", "WP"), first);
    EXPECT_EQ(profile.ReadBinary("Other", "WP"), second);

    ASSERT_TRUE(profile.WriteBinary("Window", "WP", second));
    EXPECT_EQ(profile.ReadBinary("Window", "WP"), second);
    EXPECT_EQ(profile.ReadBinary("Window", "Extra"), second);
    EXPECT_EQ(profile.ReadBinary("Other", "WP"), second);
}

TEST(ProfileFileTest, ValuesThatAreNotHexReadAsMissing)
{
    svtest::TempFolder folder;
    const std::string path = folder.Path() + "/profile.ini";
    std::ofstream(path) << "[Window]\nWP=2C0\nXY=zz\n";
    const svp::ProfileFile profile(path);
    EXPECT_FALSE(profile.ReadBinary("Window", "WP"));
    EXPECT_FALSE(profile.ReadBinary("Window", "XY"));
}

} // namespace
