// The system clipboard of an open window system as the clipboard service uses it: the program's
// text (formats 13 and 1) is served as the display's CLIPBOARD selection, another program's
// text is read from it, and format 0x200 marks content that never leaves the program.
#pragma once

#include "ClipboardBackend.h"

#include <functional>

#include <memory>

namespace svp {

class WindowSystem;

// The window system must outlive the back end. `onLost` runs when another program takes the
// clipboard over.
[[nodiscard]] std::unique_ptr<IClipboardBackend>
CreateWindowClipboard(WindowSystem& windows, std::function<void()> onLost = nullptr);

} // namespace svp
