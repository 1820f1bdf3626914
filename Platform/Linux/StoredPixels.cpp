#include "StoredPixels.h"

#include <cstring>

namespace svp {
namespace {

constexpr char kMagic[8] = {'S', 'V', 'P', 'I', 'X', 'E', 'L', 'S'};
constexpr size_t kHeaderSize = sizeof kMagic + 8;

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "pixels are stored as they lie in memory");

void PutUint32(uint8_t* to, uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        to[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

uint32_t GetUint32(const uint8_t* from)
{
    return uint32_t(from[0]) | uint32_t(from[1]) << 8 | uint32_t(from[2]) << 16 |
           uint32_t(from[3]) << 24;
}

bool IsStoredPixels(const uint8_t* data, size_t size)
{
    return data != nullptr && size >= kHeaderSize && std::memcmp(data, kMagic, sizeof kMagic) == 0;
}

// The width and the height of stored pixels whose size matches them and is not too large.
bool ReadStoredSize(const uint8_t* data, size_t size, uint32_t& width, uint32_t& height,
                    std::string& error)
{
    width = GetUint32(data + sizeof kMagic);
    height = GetUint32(data + sizeof kMagic + 4);
    if (width == 0 || height == 0 || width > kMaxPngDimension || height > kMaxPngDimension ||
        uint64_t(width) * height > kMaxPngPixels) {
        error =
            "stored picture too large: " + std::to_string(width) + " x " + std::to_string(height);
        return false;
    }
    if (size - kHeaderSize != size_t(width) * height * 4) {
        error = "stored picture of " + std::to_string(width) + " x " + std::to_string(height) +
                " pixels in " + std::to_string(size) + " bytes";
        return false;
    }
    return true;
}

bool ReadStoredPixels(const uint8_t* data, size_t size, DecodedImage& image, std::string& error)
{
    uint32_t width = 0;
    uint32_t height = 0;
    if (!ReadStoredSize(data, size, width, height, error)) {
        return false;
    }
    const size_t count = size_t(width) * height;
    image.pixels.resize(count);
    std::memcpy(image.pixels.data(), data + kHeaderSize, count * 4);
    image.width = width;
    image.height = height;
    error.clear();
    return true;
}

} // namespace

std::vector<uint8_t> StorePixels(const DecodedImage& image)
{
    std::vector<uint8_t> bytes(kHeaderSize + image.pixels.size() * 4);
    std::memcpy(bytes.data(), kMagic, sizeof kMagic);
    PutUint32(bytes.data() + sizeof kMagic, image.width);
    PutUint32(bytes.data() + sizeof kMagic + 4, image.height);
    if (!image.pixels.empty()) {
        std::memcpy(bytes.data() + kHeaderSize, image.pixels.data(), image.pixels.size() * 4);
    }
    return bytes;
}

bool DecodePicture(const uint8_t* data, size_t size, DecodedImage& image, std::string& error)
{
    if (IsStoredPixels(data, size)) {
        if (ReadStoredPixels(data, size, image, error)) {
            return true;
        }
        image = DecodedImage{};
        return false;
    }
    return DecodePng(data, size, image, error);
}

bool ViewStoredPixels(const uint8_t* data, size_t size, StoredPixelsView& view)
{
    std::string error;
    uint32_t width = 0;
    uint32_t height = 0;
    if (!IsStoredPixels(data, size) || !ReadStoredSize(data, size, width, height, error) ||
        reinterpret_cast<uintptr_t>(data + kHeaderSize) % alignof(uint32_t) != 0) {
        return false;
    }
    view = {width, height, reinterpret_cast<const uint32_t*>(data + kHeaderSize)};
    return true;
}

} // namespace svp
