// The program's handle of a native window (the window handle the Windows-shaped code passes
// around). Outside Platform/ it is opaque: only the platform layer knows the X display and window
// behind it.
#pragma once

namespace svp {

struct NativeWindow;

// A window handle; null stands for none.
using NativeWindowHandle = NativeWindow*;

} // namespace svp
