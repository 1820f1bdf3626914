// What every native window of the program shares: the user-interface thread's event loop and the
// open display with its windows, and the desktop services installed over them. The program makes
// one when it starts and the native windows find it through Current(); without a display there
// is no context and the program cannot open a window.
#pragma once

#include "Desktop.h"
#include "EventLoop.h"
#include "WindowSystem.h"

#include <functional>
#include <memory>

namespace SV {

class OSWindowContext
{
public:
    // Opens the display of $DISPLAY; null when there is none. The context becomes the current
    // one and installs its desktop; `onIdle` is the idle work of nested loops (message boxes).
    [[nodiscard]] static std::unique_ptr<OSWindowContext> Open(std::function<bool(int32_t)> onIdle);
    ~OSWindowContext();
    OSWindowContext(const OSWindowContext&) = delete;
    OSWindowContext& operator=(const OSWindowContext&) = delete;

    // The context in use; null before one was opened and after it closed.
    static OSWindowContext* Current();

    svp::EventLoop& GetLoop() { return *mLoop; }
    svp::WindowSystem& GetWindows() { return *mWindows; }

private:
    OSWindowContext() = default;

    std::unique_ptr<svp::EventLoop> mLoop;
    std::unique_ptr<svp::WindowSystem> mWindows;
    std::unique_ptr<svp::IDesktop> mDesktop;
};

} // namespace SV
