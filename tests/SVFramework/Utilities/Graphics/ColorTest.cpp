#include "Utilities/Graphics/Color.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <string>

namespace SV {
namespace {

ColorT FromPacked(uint32_t argb)
{
    ColorT color;
    color.FromARGB(argb);
    return color;
}

TEST(ColorTest, FromARGBSplitsTheBytesIntoChannelsOfOne255th)
{
    const ColorT color = FromPacked(0x80FF0000);

    EXPECT_EQ(color.red, 1.0f);
    EXPECT_EQ(color.green, 0.0f);
    EXPECT_EQ(color.blue, 0.0f);
    EXPECT_EQ(color.alpha, 128.0f * std::bit_cast<float>(uint32_t{0x3B808081}));
    EXPECT_EQ(color.ToARGB(), 0x80FF0000u);
}

TEST(ColorTest, FromARGBMultipliesByTheSinglePrecisionReciprocalRatherThanDividing)
{
    // 3 / 255.0f would give 0x3C40C0C1; colours from other sources compare equal only with C2.
    const ColorT color = FromPacked(0x01030000);

    EXPECT_EQ(std::bit_cast<uint32_t>(color.alpha), 0x3B808081u);
    EXPECT_EQ(std::bit_cast<uint32_t>(color.red), 0x3C40C0C2u);
}

TEST(ColorTest, ToARGBRestoresEveryPackedByte)
{
    for (uint32_t b = 0; b < 256; ++b) {
        const uint32_t packed = b << 24 | (255 - b) << 16 | (b ^ 0x5A) << 8 | ((b * 7) & 0xFF);
        EXPECT_EQ(FromPacked(packed).ToARGB(), packed) << "byte " << b;
    }
}

TEST(ColorTest, ToARGBRoundsHalfAwayFromZeroAndClampsEachChannel)
{
    constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
    constexpr float kInf = std::numeric_limits<float>::infinity();
    struct Case
    {
        ColorT color;
        uint32_t expected;
    };
    const Case cases[] = {
        {{.red = 1.5f, .alpha = -0.2f}, 0x00FF0000},
        {{.red = 0.5f, .green = 0.5f, .blue = 0.5f, .alpha = 0.5f}, 0x80808080}, // 127.5 each
        {{.red = 0.998f, .green = 0.999f}, 0x00FEFF00}, // 254.49 and 254.75
        {{.red = kNaN, .green = kInf, .blue = -kInf, .alpha = kNaN}, 0x0000FF00},
        {{.red = 1e30f, .green = -1e30f, .blue = 1.0f, .alpha = 1.0f}, 0xFFFF00FF},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.color.ToARGB(), c.expected) << c.color.red << ", " << c.color.green << ", "
                                                << c.color.blue << ", " << c.color.alpha;
    }
}

TEST(ColorTest, ParseHexSetsTheChannelsThatTheTextLengthNames)
{
    constexpr uint32_t kBefore = 0x11223344;
    struct Case
    {
        const char* text;
        uint32_t expected;
    };
    const Case cases[] = {
        {"80FF0000", 0x80FF0000},
        {"0x80ff0000", 0x80FF0000},
        {"0X80FF0000", 0x80FF0000},
        {"00FF00", 0x1100FF00},
        {"0xabcdef", 0x11ABCDEF},
        {"80", 0x80223344},
        {"0X80", 0x80223344},
        {"0xFF", 0xFF223344},
        // The length counts characters, not the digits read before the first other one.
        {"FF00zz", 0x1100FF00},
        {"8g", 0x08223344},
        {"zz", 0x00223344},
        {"0xFFFFFFzz", 0x00FFFFFF},
        // Other lengths change nothing.
        {"123", kBefore},
        {"1234567", kBefore},
        {"0x123", kBefore},
        {"0x1234567", kBefore},
        {"123456789", kBefore},
        {"", kBefore},
        {"0x", kBefore},
        {nullptr, kBefore},
    };
    for (const Case& c : cases) {
        ColorT color = FromPacked(kBefore);
        color.ParseHex(c.text);
        EXPECT_EQ(color, FromPacked(c.expected)) << (c.text ? c.text : "(null)");
    }
}

} // namespace
} // namespace SV
