// What the windows, and the controls in them, ask of the running application: its list of root
// windows, the idle pass and the exit request of its loop, the command line a second instance
// hands over, the desktop state it answers for (work area, pointer, buttons, keys, cursors), the
// main window's placement it keeps between runs, and its hot keys and busy text. The application
// object implements it and registers itself for its lifetime; everything runs on the
// user-interface thread.
#pragma once

#include "Desktop.h"
#include "ObjectBase/RCPtr.h"
#include "System/GlobalHotKeyManager.h"
#include "Utilities/Graphics/Point.h"
#include "Utilities/Graphics/Rect.h"
#include "Utilities/Storage/RCPtrArray.h"
#include "Utilities/Storage/StringT.h"
#include "WindowPlacement.h"
#include "Windows/IRootWindow.h"

#include <cstdint>

namespace SV {

class IWindowApplication
{
public:
    using RootWindows = RCPtrArray<IRootWindow>;

    virtual ~IWindowApplication() = default;

    // The window's index; a window listed already keeps its index.
    virtual int32_t AddRootWindow(const RCPtr<IRootWindow>& rootWindow) = 0;
    // Later windows move down by one; negative for a window not listed.
    virtual int32_t RemoveRootWindow(const RCPtr<IRootWindow>& rootWindow) = 0;
    // Searched from the last entry; -1 when absent.
    virtual int32_t IndexOfRootWindow(const IRootWindow* rootWindow) const = 0;
    virtual const RootWindows& GetRootWindows() const = 0;

    // One pass over the deferred work; true when work remains.
    virtual bool IdlePass(bool first) = 0;
    // Asks the application to end, as the main window's close box does: the request is taken at
    // the next idle pass.
    virtual void PostExitRequest() = 0;
    // The command line a second instance of the program handed over.
    virtual int32_t OnForwardedCommandLine(const WideString& commandLine) = 0;

    virtual RectT<int32_t> GetWorkArea() = 0;
    // Screen coordinates.
    virtual PointT<int32_t> GetCursorPosition() = 0;
    // 1 left, 2 middle, 4 right.
    virtual int32_t GetMouseButtons() = 0;
    virtual int32_t GetKeyState(uint32_t virtualKey, uint8_t& down, uint8_t& toggled) = 0;
    // The cursor of a UI_CURSOR_* name; null for the names the program has no cursor for.
    virtual svp::HCURSOR GetCursor(const WideString& name) = 0;
    // Keeps the main window's placement for the next run; false when there is no profile to
    // write to or the write failed.
    virtual bool SaveMainWindowPlacement(const svp::WindowPlacement& placement) = 0;

    // The application's hot keys, which post into the "application" centre.
    virtual const RCPtr<LGlobalHotKeyManager>& GetHotKeyManager() const = 0;
    // The busy message on the status bar; E_FAIL without a main root window or a status bar.
    virtual int32_t ShowBusyText(const WideString& text, bool immediate) = 0;
    virtual int32_t ClearBusyText(bool immediate) = 0;
};

// The running application from the middle of its construction to the middle of its
// destruction; null otherwise.
IWindowApplication* GetWindowApplication();
// The application object registers itself (and null when it goes).
void SetWindowApplication(IWindowApplication* application);

// The application's cursor of a UI_CURSOR_* name; null without an application.
svp::HCURSOR GetApplicationCursor(const WideString& name);

} // namespace SV
