// The application's side of the native windows, apart from its class template so it is compiled
// once: the main window with its saved placement, further root windows (modal and modeless), the
// message loop and the exit that closes the main window. Everything runs on the user-interface
// thread, in the window context the program opened.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "WindowHandle.h"

#include <cstdint>
#include <string>

namespace SV {

class LControl;
class LFrameworkApp;

// The main window: the skin's top-level control of the main control name gives its size,
// position and whether it may be resized; its root window becomes index 0 and the saved
// placement is restored. E_FAIL without a window context or when the window cannot be made;
// a skin without that control throws "Runtime Error : Null Pointer : Invalid Control Name"
// naming `function`.
int32_t CreateMainNativeWindow(LFrameworkApp& application, int32_t rendererType,
                               const std::string& function, svp::HWND& mainWindow);

// The saved placement (when whole and sane) applied to the main window, then the window kept
// within the desktop and the main control's limits.
void RestoreMainWindowPlacement(svp::HWND mainWindow);

// A window for the control over the active root window (else the main one): the new root
// window's index, or E_FAIL. A modeless window of a control without descriptor throws
// "Runtime Error : Null Pointer : Control descriptor is null" naming `function`.
int32_t CreateFurtherRootWindow(LFrameworkApp& application, const RCPtr<LControl>& control,
                                bool modeless, bool systemMenu, bool minimizeBox, bool maximizeBox,
                                const std::string& function);
// The modal loop of the root window at the index: its result.
int32_t RunRootWindowModal(LFrameworkApp& application, int32_t index);

// Runs the loop of the window context until the quit request, with the idle pass between
// events (none once the exit was requested).
void RunApplicationMessageLoop(LFrameworkApp& application);

// The exit that the application agreed to: the main window closes (saving its placement), then
// the loop ends.
void PostApplicationExit(svp::HWND mainWindow);

// Closes the main window now when it is still open, so that its placement is saved even when the
// loop ended without closing it.
void CloseMainWindow(svp::HWND mainWindow);

} // namespace SV
