#include "PngDecoder.h"

#include <png.h>

#include <cstring>
#include <utility>

namespace svp {

namespace {

// The simplified reader needs no jump buffers of ours, so no C++ object is ever skipped by a
// longjmp; it frees its own state on every failure.
class PngReader
{
public:
    PngReader() { image.version = PNG_IMAGE_VERSION; }
    ~PngReader() { png_image_free(&image); }
    PngReader(const PngReader&) = delete;
    PngReader& operator=(const PngReader&) = delete;

    png_image image{};
};

bool Fail(DecodedImage& image, std::string& error, std::string reason)
{
    image = DecodedImage{};
    error = std::move(reason);
    return false;
}

} // namespace

bool DecodePng(const uint8_t* data, size_t size, DecodedImage& image, std::string& error)
{
    static constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (data == nullptr || size < sizeof kSignature ||
        std::memcmp(data, kSignature, sizeof kSignature) != 0) {
        return Fail(image, error, "not a PNG picture");
    }
    PngReader reader;
    if (png_image_begin_read_from_memory(&reader.image, data, size) == 0) {
        return Fail(image, error, std::string("unreadable PNG header: ") + reader.image.message);
    }
    const uint32_t width = reader.image.width;
    const uint32_t height = reader.image.height;
    if (width == 0 || height == 0 || width > kMaxPngDimension || height > kMaxPngDimension ||
        uint64_t(width) * height > kMaxPngPixels) {
        return Fail(image, error,
                    "PNG picture too large: " + std::to_string(width) + " x " +
                        std::to_string(height));
    }
    // On a little-endian machine BGRA bytes read as one 0xAARRGGBB word; sRGB 8-bit output of
    // the simplified reader is not premultiplied.
    static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "pixels are read as BGRA bytes");
    reader.image.format = PNG_FORMAT_BGRA;
    std::vector<uint32_t> pixels(size_t(width) * height);
    if (png_image_finish_read(&reader.image, nullptr, pixels.data(),
                              static_cast<png_int_32>(width * 4), nullptr) == 0) {
        return Fail(image, error, std::string("broken PNG data: ") + reader.image.message);
    }
    image.width = width;
    image.height = height;
    image.pixels = std::move(pixels);
    error.clear();
    return true;
}

} // namespace svp
