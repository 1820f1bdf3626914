// What a window handle (HWND) stands for on X11: the display connection that owns the window and
// the window itself. Only the platform layer sees it.
#pragma once

#include "WindowHandle.h"

#include <X11/Xlib.h>

namespace svp {

struct NativeWindow
{
    Display* display = nullptr;
    Window window = 0;
};

} // namespace svp
