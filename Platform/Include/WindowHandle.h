// The handle of a native window as the framework passes it around: opaque to everything but the
// windowing layer, which maps it onto its own window objects. Null means no window.
#pragma once

namespace svp {

struct NativeWindow;
using HWND = NativeWindow*;

} // namespace svp
