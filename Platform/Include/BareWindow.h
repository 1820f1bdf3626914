// A plain top-level window on the X display of $DISPLAY, on its own connection: something to
// present pictures to, and read back, before the program's own windows exist (tests, tools).
#pragma once

#include "WindowHandle.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace svp {

class BareWindow
{
public:
    // Opens the display, makes a window of the size and waits until it is shown. Null when there
    // is no display to open.
    static std::unique_ptr<BareWindow> Open(int32_t width, int32_t height);

    virtual ~BareWindow() = default;

    virtual HWND GetHandle() const = 0;

    // The window's pixels of the rectangle as 0x00RRGGBB, row by row; empty when the rectangle
    // is not inside the window.
    virtual std::vector<uint32_t> ReadPixels(int32_t x, int32_t y, int32_t width,
                                             int32_t height) const = 0;
};

} // namespace svp
