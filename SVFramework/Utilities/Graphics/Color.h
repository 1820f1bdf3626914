// The framework's colour value: red, green, blue and alpha as floats of 0..1, convertible from and
// to packed 0xAARRGGBB and readable from hexadecimal skin text.
#pragma once

#include <cstdint>

namespace SV {

struct ColorT
{
    float red = 0.0f;
    float green = 0.0f;
    float blue = 0.0f;
    float alpha = 0.0f;

    // Each byte of 0xAARRGGBB times the single-precision 1/255.
    void FromARGB(uint32_t argb);
    // Each channel times 255, rounded half away from zero, clamped to 0..255.
    uint32_t ToARGB() const;
    // Optional 0x/0X, then a hexadecimal number of up to 8 digits, read until the first other
    // character. The length of the text after the prefix says what it sets: 2 characters set
    // alpha, 6 red/green/blue, 8 all four; any other length, or null text, changes nothing.
    void ParseHex(const char* text);

    bool operator==(const ColorT& other) const = default;
};

} // namespace SV
