// Drives another program's windows as a user would, from a connection of the test's own to the
// X server: finds top-level windows by class and owner, waits for them, clicks with the XTest
// pointer and sends keys to a given window. Keys go to the window found, never to whichever
// window has the input focus, which another program on the same display may have taken. Every
// wait has a deadline.
#pragma once

// Xlib's macros (None, Bool, Status) break other headers' names: GoogleTest goes first.
#include <X11/Xlib.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace svtest {

class X11WindowDriver
{
public:
    // Which top-level windows a search takes: mapped ones of the class, standing over `owner`
    // (their transient-for window) when it is given, and not among `except`.
    struct Query
    {
        std::string className;
        Window owner = 0;
        std::set<Window> except;
    };

    // Connects to $DISPLAY; IsOpen tells whether there is one.
    X11WindowDriver();
    ~X11WindowDriver();
    X11WindowDriver(const X11WindowDriver&) = delete;
    X11WindowDriver& operator=(const X11WindowDriver&) = delete;

    bool IsOpen() const { return mDisplay != nullptr; }

    // The windows the query takes now, in stacking order (bottom first).
    std::vector<Window> FindWindows(const Query& query);
    // The first window the query takes within the time; 0 when none came.
    Window WaitForWindow(const Query& query, std::chrono::milliseconds timeout);
    // Like WaitForWindow, and the window has drawn: its pixel at (x, y) is no longer the black
    // of a window nobody painted.
    Window WaitForPaintedWindow(const Query& query, std::chrono::milliseconds timeout,
                                int32_t x = 10, int32_t y = 10);
    // True when the window is gone or unmapped within the time.
    bool WaitUntilGone(Window window, std::chrono::milliseconds timeout);

    // Where the window lies on the screen and its size.
    struct Geometry
    {
        int32_t x = 0;
        int32_t y = 0;
        int32_t width = 0;
        int32_t height = 0;
    };
    Geometry GetGeometry(Window window);
    std::string GetTitle(Window window);
    bool IsShown(Window window);

    // Raises the window and clicks the left button at a point of it with the XTest pointer;
    // false when the point did not become the window's (another window kept it covered).
    bool Click(Window window, int32_t x, int32_t y);
    // Moves the XTest pointer to a point of the window.
    void MovePointer(Window window, int32_t x, int32_t y);
    // Presses and releases a key in the window, with the modifier keys held around it
    // (keysyms such as XK_Control_L).
    void PressKey(Window window, unsigned long keySym,
                  const std::vector<unsigned long>& modifiers = {});
    // Gives the window the input focus, as a window manager does when the user picks it.
    void Focus(Window window);
    // Asks the window to close, as a window manager does when the user closes it.
    void Close(Window window);

    // The pixels of a rectangle of the window, raised first, row by row; empty when they cannot
    // be read.
    std::vector<uint32_t> Capture(Window window, int32_t x, int32_t y, int32_t width,
                                  int32_t height);

    // Presses and releases a key with the XTest keyboard: it goes to the window that has the
    // input focus, as a user's key does.
    void TypeKey(unsigned long keySym);
    // The window that has the input focus (0 for none, 1 for the pointer's window).
    Window GetFocus();

    // What the window asks of a window manager, read from its properties.
    std::string GetUtf8Property(Window window, const char* property);
    std::vector<std::string> GetAtomNames(Window window, const char* property);
    std::vector<long> GetCardinals(Window window, const char* property, const char* type);
    Window GetTransientFor(Window window);
    struct SizeLimits
    {
        bool hasMinimum = false;
        bool hasMaximum = false;
        int32_t minWidth = 0;
        int32_t minHeight = 0;
        int32_t maxWidth = 0;
        int32_t maxHeight = 0;
    };
    SizeLimits GetSizeLimits(Window window);

    // Acts as a window manager does: destroys the window (another program's too).
    void Destroy(Window window);
    // Minimises the window as a window manager does: unmaps it and marks it iconic (WM_STATE).
    void Minimize(Window window);
    // From now on, the client messages that programs send to the root window for the window
    // manager are kept; TakeRootMessages answers (and forgets) those that came, waiting up to
    // the time for the first.
    void WatchRootMessages();
    struct RootMessage
    {
        std::string type;
        Window window = 0;
        long data[5] = {};
    };
    std::vector<RootMessage> TakeRootMessages(std::chrono::milliseconds timeout);

private:
    struct DisplayCloser
    {
        void operator()(Display* display) const { XCloseDisplay(display); }
    };

    void SendKeyEvent(Window window, int type, unsigned keyCode, unsigned state);

    std::unique_ptr<Display, DisplayCloser> mDisplayOwner;
    Display* mDisplay = nullptr;
    int (*mPreviousErrorHandler)(Display*, XErrorEvent*) = nullptr;
};

} // namespace svtest
