// Copies rectangles of a picture drawn off screen into a native window, at the same places. The
// picture is 32 bits per pixel in native-endian 0xAARRGGBB words (the layout of a Cairo ARGB32
// image); the window shows red, green and blue and drops alpha.
#pragma once

#include "WindowHandle.h"

#include <cstdint>
#include <memory>
#include <span>

namespace svp {

struct PixelRect
{
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

struct PixelImageView
{
    const uint32_t* pixels = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t stride = 0; // bytes from one row to the next
};

class WindowPresenter
{
public:
    // Null for a null window or one the platform cannot draw into. Shared memory with the
    // display is used where the display offers it, unless `mayShareMemory` is false; without it,
    // and for frames that cover a quarter of the picture or more, the pixels travel over the
    // connection.
    static std::unique_ptr<WindowPresenter> Create(HWND window, bool mayShareMemory = true);

    virtual ~WindowPresenter() = default;

    // Each rectangle is cut to the picture first; what is left is copied 1:1 to the same place
    // in the window. Returns when the window holds the pixels, so the picture may change at once.
    virtual void Present(const PixelImageView& image, std::span<const PixelRect> rects) = 0;

    // True while pictures reach the display through shared memory.
    virtual bool SharesMemory() const = 0;
};

} // namespace svp
