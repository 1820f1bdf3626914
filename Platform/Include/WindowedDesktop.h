// The desktop services of a program with a display: the work area, keys, pointer, cursors and
// message boxes of an open window system. The program installs it with SetDesktop once its
// display is open; message boxes then show as windows and keep the program's loop running.
#pragma once

#include "Desktop.h"

#include <functional>
#include <memory>

namespace svp {

class EventLoop;
class WindowSystem;

[[nodiscard]] std::unique_ptr<IDesktop>
CreateWindowedDesktop(WindowSystem& windows, EventLoop& loop, std::function<bool(int32_t)> onIdle);

} // namespace svp
