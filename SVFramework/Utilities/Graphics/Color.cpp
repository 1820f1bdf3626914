#include "Utilities/Graphics/Color.h"

#include <bit>
#include <cmath>
#include <cstring>

namespace SV {

namespace {

// The reciprocal is taken from its bit pattern rather than computed: a channel of byte b is
// b * (1/255 in single precision), which for many bytes differs in the last bit from b / 255.0f,
// and colours from packed values must compare equal to colours parsed from skin text.
constexpr float kInverse255 = std::bit_cast<float>(uint32_t{0x3B808081});
static_assert(std::bit_cast<uint32_t>(kInverse255) == 0x3B808081);

constexpr int kMaxHexDigits = 8;

float ByteToChannel(uint32_t packed, int shift)
{
    return static_cast<float>((packed >> shift) & 0xFF) * kInverse255;
}

uint32_t ChannelToByte(float channel)
{
    // The product of a float and 255 is exact in double, so only the rounding step rounds.
    // The limits are tested before converting, so NaN and infinities never reach the cast.
    const double scaled = static_cast<double>(channel) * 255.0;
    if (!(scaled > 0.0)) {
        return 0;
    }
    if (scaled >= 255.0) {
        return 255;
    }
    return static_cast<uint32_t>(std::round(scaled));
}

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Reads up to eight leading hexadecimal digits; a text that does not start with one reads as 0.
uint32_t ReadHexNumber(const char* text)
{
    uint32_t value = 0;
    for (int i = 0; i < kMaxHexDigits; ++i) {
        const int digit = HexDigitValue(text[i]);
        if (digit < 0) {
            break;
        }
        value = (value << 4) | static_cast<uint32_t>(digit);
    }
    return value;
}

} // namespace

void ColorT::FromARGB(uint32_t argb)
{
    alpha = ByteToChannel(argb, 24);
    red = ByteToChannel(argb, 16);
    green = ByteToChannel(argb, 8);
    blue = ByteToChannel(argb, 0);
}

uint32_t ColorT::ToARGB() const
{
    return ChannelToByte(alpha) << 24 | ChannelToByte(red) << 16 | ChannelToByte(green) << 8 |
           ChannelToByte(blue);
}

void ColorT::ParseHex(const char* text)
{
    if (text == nullptr) {
        return;
    }
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text += 2;
    }
    // Which channels are set follows the length of the text, not the number of digits read:
    // "FF00zz" still sets red, green and blue, from 0xFF00.
    const uint32_t value = ReadHexNumber(text);
    switch (std::strlen(text)) {
    case 2:
        alpha = ByteToChannel(value, 0);
        break;
    case 6:
        red = ByteToChannel(value, 16);
        green = ByteToChannel(value, 8);
        blue = ByteToChannel(value, 0);
        break;
    case 8:
        FromARGB(value);
        break;
    default:
        break;
    }
}

} // namespace SV
