// PNG pictures decoded into 32-bit non-premultiplied ARGB pixels (0xAARRGGBB, one per pixel,
// rows top to bottom without padding). Decoding is bounded: pictures wider or taller than
// kMaxPngDimension, or with more than kMaxPngPixels pixels, are refused before any pixel memory
// is taken.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace svp {

inline constexpr uint32_t kMaxPngDimension = 16384;
inline constexpr uint64_t kMaxPngPixels = uint64_t(1) << 24;

struct DecodedImage
{
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint32_t> pixels;
};

// True with the picture in `image`; false with a reason in `error` for data that is no PNG,
// is truncated or broken, or is too large. `image` is left empty on failure.
bool DecodePng(const uint8_t* data, size_t size, DecodedImage& image, std::string& error);

} // namespace svp
