#include "PngFixtures.h"

#include <png.h>
#include <zlib.h>

#include <stdexcept>

namespace svtest {

std::vector<uint8_t> EncodePng(uint32_t width, uint32_t height, const std::vector<uint32_t>& pixels)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    // BGRA bytes are one 0xAARRGGBB word each on the little-endian machines we build for.
    image.format = PNG_FORMAT_BGRA;
    png_alloc_size_t size = 0;
    if (png_image_write_get_memory_size(image, size, 0, pixels.data(), 0, nullptr) == 0) {
        throw std::runtime_error(image.message);
    }
    std::vector<uint8_t> bytes(size);
    if (png_image_write_to_memory(&image, bytes.data(), &size, 0, pixels.data(), 0, nullptr) == 0) {
        throw std::runtime_error(image.message);
    }
    bytes.resize(size);
    return bytes;
}

std::vector<uint8_t> EncodeFilledPng(uint32_t width, uint32_t height, uint32_t argb)
{
    return EncodePng(width, height, std::vector<uint32_t>(size_t(width) * height, argb));
}

std::vector<uint8_t> WithClaimedSize(std::vector<uint8_t> png, uint32_t width, uint32_t height)
{
    // Signature (8), then the header chunk: length (4), "IHDR" (4), width and height (4 each,
    // big-endian), 5 more bytes, and the checksum over type and data.
    auto putBigEndian = [&](size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            png[at + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
        }
    };
    putBigEndian(16, width);
    putBigEndian(20, height);
    putBigEndian(29, static_cast<uint32_t>(crc32(0, png.data() + 12, 17)));
    return png;
}

} // namespace svtest
