// The program's own message box: a small modal window drawn with Cairo, with the buttons and
// icon its MB_* style asks for, run in a nested event loop while its owner is disabled. Return
// chooses the focused button, Tab moves the focus, Escape cancels where a Cancel (or a lone OK)
// button is there; closing the window counts as Escape.
#pragma once

#include "WindowHandle.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace svp {

class EventLoop;
class WindowSystem;

// The answers of the style's buttons, left to right.
[[nodiscard]] std::vector<int32_t> MessageBoxButtons(uint32_t style);
// The index of the button focused first (MB_DEFBUTTON2/3, kept within the buttons there are).
[[nodiscard]] int32_t MessageBoxDefaultIndex(uint32_t style);
// The answer of Escape and of closing the box; 0 when the box has no way to cancel.
[[nodiscard]] int32_t MessageBoxEscapeAnswer(uint32_t style);
// Lines of at most `maxWidth` as `measure` tells, broken at spaces where possible (a word too
// long for a line is broken where it must be) and at every line break of the text.
[[nodiscard]] std::vector<std::string>
WrapText(const std::string& text, double maxWidth,
         const std::function<double(const std::string&)>& measure);

// Shows the box and answers the ID* of the button chosen. `onIdle` is the idle work of the
// program's loop, which goes on (other windows keep painting).
[[nodiscard]] int32_t RunMessageBox(WindowSystem& windows, EventLoop& loop, HWND owner,
                                    const std::string& text, const std::string& caption,
                                    uint32_t style, const std::function<bool(int32_t)>& onIdle);

} // namespace svp
