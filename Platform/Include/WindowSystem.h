// The display connection and its top-level windows: creates, shows, sizes and closes windows and
// turns the display's events into Windows-shaped messages, delivered on the event loop's thread
// to each window's handler. Paints are merged per window and delivered only when no other event
// waits. Input to a disabled window is dropped, as for a window under a modal dialog.
#pragma once

#include "Desktop.h"
#include "PngDecoder.h"
#include "WindowHandle.h"
#include "WindowMessages.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace svp {

class EventLoop;

struct WindowCreateParams
{
    std::string title;
    std::string className; // WM_CLASS
    int32_t x = 0;         // screen position of the client origin
    int32_t y = 0;
    int32_t width = 1;
    int32_t height = 1;
    // Size limits of the client area; 0 means no limit. Equal limits make a fixed-size window.
    int32_t minWidth = 0;
    int32_t minHeight = 0;
    int32_t maxWidth = 0;
    int32_t maxHeight = 0;
    HWND owner = nullptr; // a dialog stays above its owner
    // What the window manager offers: a dialog is marked as one (it stands over its owner and
    // is neither minimised nor maximised); the other windows get the boxes asked for, the
    // maximise box only when the window can change its size.
    bool dialog = false;
    bool minimizeBox = true;
    bool maximizeBox = true;
};

struct ClientRect
{
    int32_t x = 0; // screen position of the client origin
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

class WindowSystem
{
public:
    using MessageHandler = std::function<void(HWND window, const WindowMessage& message)>;

    // Null when no display can be opened ($DISPLAY unset or the server unreachable).
    [[nodiscard]] static std::unique_ptr<WindowSystem> Open(EventLoop& loop);

    virtual ~WindowSystem() = default;

    [[nodiscard]] virtual HWND CreateWindow(const WindowCreateParams& params,
                                            MessageHandler handler) = 0;
    virtual void DestroyWindow(HWND window) = 0;

    // Showing waits until the window is on the screen, so that what is painted next shows.
    virtual void Show(HWND window, bool visible) = 0;
    [[nodiscard]] virtual bool IsVisible(HWND window) const = 0;
    virtual void SetTitle(HWND window, const std::string& title) = 0;
    virtual void SetSizeLimits(HWND window, int32_t minWidth, int32_t minHeight, int32_t maxWidth,
                               int32_t maxHeight) = 0;
    virtual void SetClientRect(HWND window, const ClientRect& rect) = 0;
    [[nodiscard]] virtual ClientRect GetClientRect(HWND window) const = 0;

    // Merged into the window's pending paint.
    virtual void InvalidateRect(HWND window, int32_t x, int32_t y, int32_t width,
                                int32_t height) = 0;
    // Delivers the pending paint (or a whole-window one) now.
    virtual void UpdateNow(HWND window, bool whole) = 0;

    virtual void Enable(HWND window, bool enabled) = 0;
    [[nodiscard]] virtual bool IsEnabled(HWND window) const = 0;
    virtual void SetFocus(HWND window) = 0;
    [[nodiscard]] virtual HWND GetFocusWindow() const = 0;
    virtual void Raise(HWND window) = 0;
    // Brings the window forward at the user's request: shown again when the window manager
    // minimised it, raised, and activated through the window manager (_NET_ACTIVE_WINDOW). A
    // dialog open over it comes forward with it and is the window activated.
    virtual void BringForward(HWND window) = 0;

    // Bit 15 set while the key is down, as the windowing layer saw it (mouse buttons included).
    [[nodiscard]] virtual uint16_t GetKeyState(uint32_t virtualKey) const = 0;

    // The part of the screen that windows may cover: the window manager's _NET_WORKAREA, else
    // the whole screen.
    [[nodiscard]] virtual ScreenRect GetWorkArea() const = 0;
    [[nodiscard]] virtual bool GetPointerPosition(int32_t& x, int32_t& y) const = 0;
    virtual bool SetPointerPosition(int32_t x, int32_t y) = 0;
    // A system cursor by its IDC_* number (null for an unknown number); owned by the system.
    [[nodiscard]] virtual HCURSOR LoadSystemCursor(uint32_t id) = 0;
    // A cursor showing the picture, its hot spot at (hotX, hotY) of the picture; owned by the
    // system. Null for an empty picture or a display that cannot show colour cursors.
    [[nodiscard]] virtual HCURSOR CreateImageCursor(const DecodedImage& image, int32_t hotX,
                                                    int32_t hotY) = 0;
    // Shows the cursor over the window; null gives the arrow.
    virtual void SetWindowCursor(HWND window, HCURSOR cursor) = 0;

    // A window icon showing the picture (_NET_WM_ICON); owned by the system. Null for an empty
    // picture.
    [[nodiscard]] virtual HICON CreateImageIcon(const DecodedImage& image) = 0;
    // Gives the window the icon that the window manager shows for it; null, or a handle this
    // system did not make, takes the icon away.
    virtual void SetWindowIcon(HWND window, HICON icon) = 0;

    // The CLIPBOARD selection. Setting makes the program its owner, serving the text as
    // UTF8_STRING, TEXT, and STRING when every character is Latin-1.
    virtual bool SetClipboardText(const std::string& utf8) = 0;
    // The owner's text: ours at once, another program's as UTF8_STRING, else STRING (Latin-1),
    // waiting at most `waitMs` for each answer. Empty when nobody owns it or nobody answered.
    [[nodiscard]] virtual std::optional<std::string> GetClipboardText(int32_t waitMs = 1000) = 0;
    [[nodiscard]] virtual bool OwnsClipboard() const = 0;
    // Called when another program takes the clipboard over.
    virtual void SetClipboardLostHandler(std::function<void()> onLost) = 0;

    // The display's own id of the window (the X window), for other clients and tools; 0 for
    // no window.
    [[nodiscard]] virtual uint64_t GetSystemId(HWND window) const = 0;

    // Flushes requests and waits until the server has handled them.
    virtual void Sync() = 0;
};

} // namespace svp
