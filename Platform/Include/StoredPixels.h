// Pictures stored as their pixels: the form in which the build compiles the program's images in,
// so that showing them takes a copy and no decoding. The bytes are the 8 characters "SVPIXELS",
// the width and the height as 32-bit little-endian numbers, then width x height pixels as 32-bit
// little-endian 0xAARRGGBB words (non-premultiplied, rows top to bottom without padding). The
// sizes are bounded as those of PNG pictures are.
#pragma once

#include "PngDecoder.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace svp {

// The stored form of the picture.
std::vector<uint8_t> StorePixels(const DecodedImage& image);

// The picture of the bytes, stored pixels or a PNG; false with a reason in `error` for anything
// else, for stored pixels whose size does not match their width and height, and for pictures
// too large. `image` is left empty on failure.
bool DecodePicture(const uint8_t* data, size_t size, DecodedImage& image, std::string& error);

// Stored pixels read where they lie, without a copy.
struct StoredPixelsView
{
    uint32_t width = 0;
    uint32_t height = 0;
    const uint32_t* pixels = nullptr; // into the bytes the view was made of
};

// True when the bytes are stored pixels of a size DecodePicture accepts and their pixels lie
// aligned for 32-bit reads (as in the compiled-in pictures); `view` then points into `data`,
// which must outlive every use of it. False for anything else, which DecodePicture then reads.
bool ViewStoredPixels(const uint8_t* data, size_t size, StoredPixelsView& view);

} // namespace svp
