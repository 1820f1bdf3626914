// Small PNG pictures that tests make themselves: encoded from 0xAARRGGBB pixels, and broken on
// purpose (cut short, a wrong signature, a header that claims an absurd size).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace svtest {

// The PNG bytes of a picture of 32-bit non-premultiplied ARGB pixels, rows top to bottom.
std::vector<uint8_t> EncodePng(uint32_t width, uint32_t height,
                               const std::vector<uint32_t>& pixels);
// A picture whose every pixel is `argb`.
std::vector<uint8_t> EncodeFilledPng(uint32_t width, uint32_t height, uint32_t argb);
// A valid PNG whose header now claims width x height, with a correct header checksum.
std::vector<uint8_t> WithClaimedSize(std::vector<uint8_t> png, uint32_t width, uint32_t height);

inline std::string AsString(const std::vector<uint8_t>& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

} // namespace svtest
