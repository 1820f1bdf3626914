#include "WindowSystem.h"

#include "EventLoop.h"
#include "FirstFrameReport.h"
#include "VirtualKeys.h"
#include "X11Clipboard.h"
#include "X11NativeWindow.h"
#include "X11QueuedEvents.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/extensions/Xrender.h>
#include <X11/keysym.h>

#include <algorithm>
#include <array>
#include <bit>
#include <clocale>
#include <cstdlib>
#include <deque>
#include <map>
#include <vector>

namespace svp {

// A window icon as _NET_WM_ICON carries it: width, height, then the non-premultiplied ARGB
// pixels row by row, each in a long as Xlib passes 32-bit properties.
struct NativeIcon
{
    std::vector<unsigned long> property;
};

namespace {

// A second press of the same button within this time and distance is a double-click.
constexpr Time kDoubleClickMs = 500;
constexpr int kDoubleClickDistance = 4;

struct TopLevel : NativeWindow
{
    WindowSystem::MessageHandler handler;
    XIC inputContext = nullptr;
    bool enabled = true;
    // Destroyed by another program: no request may name the window any more.
    bool gone = false;
    // Shown by the program; `visible` tells whether it is mapped now (a window manager unmaps
    // the windows it minimises).
    bool shown = false;
    Window owner = 0;
    uint64_t serial = 0; // the order of creation
    bool visible = false;
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    // The pending paint, as a bounding rectangle.
    bool dirty = false;
    int32_t dirtyLeft = 0;
    int32_t dirtyTop = 0;
    int32_t dirtyRight = 0;
    int32_t dirtyBottom = 0;
};

struct LastPress
{
    unsigned button = 0;
    Window window = 0;
    Time time = 0;
    int x = 0;
    int y = 0;
};

std::u16string Utf16Units(const char* utf8, int length)
{
    std::u16string units;
    for (int i = 0; i < length;) {
        const auto byte = static_cast<uint8_t>(utf8[i]);
        uint32_t code = 0;
        int extra = 0;
        if (byte < 0x80) {
            code = byte;
        } else if ((byte & 0xE0) == 0xC0) {
            code = byte & 0x1F;
            extra = 1;
        } else if ((byte & 0xF0) == 0xE0) {
            code = byte & 0x0F;
            extra = 2;
        } else if ((byte & 0xF8) == 0xF0) {
            code = byte & 0x07;
            extra = 3;
        } else {
            ++i;
            continue;
        }
        if (i + extra >= length && extra > 0) {
            break; // a cut-off sequence gives no character
        }
        for (int k = 1; k <= extra; ++k) {
            code = code << 6 | (static_cast<uint8_t>(utf8[i + k]) & 0x3F);
        }
        i += extra + 1;
        if (code >= 0x10000) {
            code -= 0x10000;
            units.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            units.push_back(static_cast<char16_t>(code));
        }
    }
    return units;
}

// A map, or the end of the window: another program may destroy it before it shows.
Bool IsMapOf(Display*, XEvent* event, XPointer window)
{
    const Window wanted = *reinterpret_cast<Window*>(window);
    return (event->type == MapNotify && event->xmap.window == wanted) ||
           (event->type == DestroyNotify && event->xdestroywindow.window == wanted);
}

XErrorHandler gPreviousErrorHandler = nullptr;
// The first error code of the rendering extension; -1 when the server has none.
int gRenderErrorBase = -1;

// Another program may destroy a window of ours at any moment (a window manager, xkill): the
// requests already on their way that name it fail, which must not end the program. Every other
// error goes to the handler there was before.
int IgnoreErrorsOfVanishedWindows(Display* display, XErrorEvent* error)
{
    // The same for a focus given to a window that was unmapped in the meantime, and for the
    // picture Cairo drew the window through, which went with it.
    if (error->error_code == BadWindow || error->error_code == BadDrawable ||
        (error->error_code == BadMatch && error->request_code == X_SetInputFocus) ||
        (gRenderErrorBase >= 0 && error->error_code == gRenderErrorBase + BadPicture)) {
        return 0;
    }
    return gPreviousErrorHandler != nullptr ? gPreviousErrorHandler(display, error) : 0;
}

class X11WindowSystem final : public WindowSystem
{
public:
    X11WindowSystem(EventLoop& loop, Display* display) : mLoop(loop), mDisplay(display)
    {
        mDeleteWindow = XInternAtom(mDisplay, "WM_DELETE_WINDOW", False);
        mProtocols = XInternAtom(mDisplay, "WM_PROTOCOLS", False);
        mNetWmName = XInternAtom(mDisplay, "_NET_WM_NAME", False);
        mNetWmIcon = XInternAtom(mDisplay, "_NET_WM_ICON", False);
        mUtf8String = XInternAtom(mDisplay, "UTF8_STRING", False);
        // Auto-repeat then sends presses without releases between them, which is how a key
        // that is already down is told from a new press.
        Bool supported = False;
        XkbSetDetectableAutoRepeat(mDisplay, True, &supported);
        std::setlocale(LC_CTYPE, "");
        XSetLocaleModifiers("");
        if (gPreviousErrorHandler == nullptr) {
            int eventBase = 0;
            if (XRenderQueryExtension(mDisplay, &eventBase, &gRenderErrorBase) == 0) {
                gRenderErrorBase = -1;
            }
            gPreviousErrorHandler = XSetErrorHandler(IgnoreErrorsOfVanishedWindows);
        }
        mClipboard = std::make_unique<X11Clipboard>(mDisplay);
        mWatch = mLoop.WatchDescriptor(
            ConnectionNumber(mDisplay), [this] { return Dispatch(); },
            [this] { return QueuedEventsAfterFlush(mDisplay) > 0 || HasDirty(); });
    }

    ~X11WindowSystem() override
    {
        mLoop.UnwatchDescriptor(mWatch);
        while (!mWindows.empty()) {
            DestroyWindow(mWindows.begin()->second.get());
        }
        if (mInputMethod != nullptr) {
            XCloseIM(mInputMethod);
        }
        mClipboard.reset();
        for (const auto& [id, cursor] : mCursors) {
            XFreeCursor(mDisplay, cursor);
        }
        for (const Cursor cursor : mImageCursors) {
            XFreeCursor(mDisplay, cursor);
        }
        XCloseDisplay(mDisplay);
    }

    HWND CreateWindow(const WindowCreateParams& params, MessageHandler handler) override
    {
        auto top = std::make_unique<TopLevel>();
        top->display = mDisplay;
        top->handler = std::move(handler);
        top->x = params.x;
        top->y = params.y;
        top->width = std::max(1, params.width);
        top->height = std::max(1, params.height);
        XSetWindowAttributes attributes{};
        // No background: the program paints every pixel, and a cleared flash would show.
        attributes.background_pixmap = None;
        attributes.bit_gravity = NorthWestGravity;
        attributes.win_gravity = StaticGravity;
        attributes.event_mask = ExposureMask | KeyPressMask | KeyReleaseMask | ButtonPressMask |
                                ButtonReleaseMask | PointerMotionMask | EnterWindowMask |
                                LeaveWindowMask | FocusChangeMask | StructureNotifyMask;
        top->window =
            XCreateWindow(mDisplay, DefaultRootWindow(mDisplay), top->x, top->y,
                          static_cast<unsigned>(top->width), static_cast<unsigned>(top->height), 0,
                          CopyFromParent, InputOutput, CopyFromParent,
                          CWBackPixmap | CWBitGravity | CWWinGravity | CWEventMask, &attributes);
        XSetWMProtocols(mDisplay, top->window, &mDeleteWindow, 1);
        XClassHint classHint{const_cast<char*>(params.className.c_str()),
                             const_cast<char*>(params.className.c_str())};
        XSetClassHint(mDisplay, top->window, &classHint);
        XWMHints hints{};
        hints.flags = InputHint;
        hints.input = True;
        XSetWMHints(mDisplay, top->window, &hints);
        if (params.owner != nullptr) {
            XSetTransientForHint(mDisplay, top->window, params.owner->window);
            top->owner = params.owner->window;
        }
        top->serial = ++mSerial;
        SetWindowKind(*top, params);
        CreateInputContext(*top);
        TopLevel* raw = top.get();
        mWindows[top->window] = std::move(top);
        SetTitle(raw, params.title);
        SetSizeLimits(raw, params.minWidth, params.minHeight, params.maxWidth, params.maxHeight);
        return raw;
    }

    void DestroyWindow(HWND window) override
    {
        TopLevel* top = Find(window);
        if (top == nullptr) {
            return;
        }
        if (top->inputContext != nullptr) {
            XDestroyIC(top->inputContext);
        }
        if (!top->gone) {
            XDestroyWindow(mDisplay, top->window);
            XFlush(mDisplay);
        }
        if (mFocus == top) {
            mFocus = nullptr;
        }
        mWindows.erase(top->window);
    }

    void Show(HWND window, bool visible) override
    {
        TopLevel* top = Find(window);
        if (top == nullptr || top->gone || top->visible == visible) {
            return;
        }
        top->visible = visible;
        top->shown = visible;
        if (!visible) {
            XUnmapWindow(mDisplay, top->window);
            XFlush(mDisplay);
            return;
        }
        XMapRaised(mDisplay, top->window);
        XEvent event;
        XIfEvent(mDisplay, &event, IsMapOf, reinterpret_cast<XPointer>(&top->window));
        if (event.type == DestroyNotify) {
            // Told from the event loop, as any other end of the window.
            XPutBackEvent(mDisplay, &event);
        }
    }

    bool IsVisible(HWND window) const override
    {
        const TopLevel* top = Find(window);
        return top != nullptr && top->visible;
    }

    void SetTitle(HWND window, const std::string& title) override
    {
        TopLevel* top = Find(window);
        if (top == nullptr) {
            return;
        }
        XChangeProperty(mDisplay, top->window, mNetWmName, mUtf8String, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(title.data()),
                        static_cast<int>(title.size()));
        XStoreName(mDisplay, top->window, title.c_str());
        XFlush(mDisplay);
    }

    void SetSizeLimits(HWND window, int32_t minWidth, int32_t minHeight, int32_t maxWidth,
                       int32_t maxHeight) override
    {
        TopLevel* top = Find(window);
        if (top == nullptr) {
            return;
        }
        XSizeHints* hints = XAllocSizeHints();
        hints->flags = PPosition | PSize | PWinGravity;
        hints->x = top->x;
        hints->y = top->y;
        hints->width = top->width;
        hints->height = top->height;
        hints->win_gravity = StaticGravity;
        if (minWidth > 0 || minHeight > 0) {
            hints->flags |= PMinSize;
            hints->min_width = std::max(1, minWidth);
            hints->min_height = std::max(1, minHeight);
        }
        if (maxWidth > 0 || maxHeight > 0) {
            hints->flags |= PMaxSize;
            hints->max_width = maxWidth > 0 ? maxWidth : 32767;
            hints->max_height = maxHeight > 0 ? maxHeight : 32767;
        }
        XSetWMNormalHints(mDisplay, top->window, hints);
        XFree(hints);
        XFlush(mDisplay);
    }

    void SetClientRect(HWND window, const ClientRect& rect) override
    {
        TopLevel* top = Find(window);
        if (top == nullptr) {
            return;
        }
        XMoveResizeWindow(mDisplay, top->window, rect.x, rect.y,
                          static_cast<unsigned>(std::max(1, rect.width)),
                          static_cast<unsigned>(std::max(1, rect.height)));
        XFlush(mDisplay);
    }

    ClientRect GetClientRect(HWND window) const override
    {
        const TopLevel* top = Find(window);
        if (top == nullptr) {
            return {};
        }
        return {top->x, top->y, top->width, top->height};
    }

    void InvalidateRect(HWND window, int32_t x, int32_t y, int32_t width, int32_t height) override
    {
        TopLevel* top = Find(window);
        if (top != nullptr && width > 0 && height > 0) {
            AddDirty(*top, x, y, width, height);
        }
    }

    void UpdateNow(HWND window, bool whole) override
    {
        TopLevel* top = Find(window);
        if (top == nullptr) {
            return;
        }
        if (whole) {
            AddDirty(*top, 0, 0, top->width, top->height);
        }
        Paint(*top);
    }

    void Enable(HWND window, bool enabled) override
    {
        if (TopLevel* top = Find(window)) {
            top->enabled = enabled;
        }
    }

    bool IsEnabled(HWND window) const override
    {
        const TopLevel* top = Find(window);
        return top != nullptr && top->enabled;
    }

    void SetFocus(HWND window) override
    {
        TopLevel* top = Find(window);
        if (top == nullptr || !top->visible) {
            return;
        }
        XSetInputFocus(mDisplay, top->window, RevertToParent, CurrentTime);
        XFlush(mDisplay);
    }

    HWND GetFocusWindow() const override { return mFocus; }

    void Raise(HWND window) override
    {
        if (TopLevel* top = Find(window)) {
            XRaiseWindow(mDisplay, top->window);
            XFlush(mDisplay);
        }
    }

    void BringForward(HWND window) override
    {
        TopLevel* top = Find(window);
        if (top == nullptr || top->gone) {
            return;
        }
        TopLevel* front = FrontOf(*top);
        for (TopLevel* each : {top, front}) {
            if (each->shown && !each->visible) {
                // Mapping a minimised window is how a client restores it.
                XMapRaised(mDisplay, each->window);
            } else {
                XRaiseWindow(mDisplay, each->window);
            }
        }
        // Source 2: the request comes from the user, who started the program once more.
        XEvent activate{};
        activate.xclient.type = ClientMessage;
        activate.xclient.window = front->window;
        activate.xclient.message_type = XInternAtom(mDisplay, "_NET_ACTIVE_WINDOW", False);
        activate.xclient.format = 32;
        activate.xclient.data.l[0] = 2;
        activate.xclient.data.l[1] = CurrentTime;
        activate.xclient.data.l[2] = 0;
        XSendEvent(mDisplay, DefaultRootWindow(mDisplay), False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &activate);
        XFlush(mDisplay);
    }

    uint16_t GetKeyState(uint32_t virtualKey) const override
    {
        return mKeysDown[virtualKey & 0xFF] ? 0x8000 : 0;
    }

    ScreenRect GetWorkArea() const override
    {
        const int screen = DefaultScreen(mDisplay);
        ScreenRect area{0, 0, DisplayWidth(mDisplay, screen), DisplayHeight(mDisplay, screen)};
        Atom type = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        const Atom workArea = XInternAtom(mDisplay, "_NET_WORKAREA", True);
        if (workArea != None &&
            XGetWindowProperty(mDisplay, DefaultRootWindow(mDisplay), workArea, 0, 4, False,
                               XA_CARDINAL, &type, &format, &count, &after, &data) == Success &&
            data != nullptr && format == 32 && count >= 4) {
            // The first desktop's area; every desktop has the same panels in practice.
            const auto* values = reinterpret_cast<const long*>(data);
            if (values[2] > 0 && values[3] > 0) {
                area = {static_cast<int32_t>(values[0]), static_cast<int32_t>(values[1]),
                        static_cast<int32_t>(values[0] + values[2]),
                        static_cast<int32_t>(values[1] + values[3])};
            }
        }
        if (data != nullptr) {
            XFree(data);
        }
        return area;
    }

    bool GetPointerPosition(int32_t& x, int32_t& y) const override
    {
        Window root = 0;
        Window child = 0;
        int rootX = 0;
        int rootY = 0;
        int windowX = 0;
        int windowY = 0;
        unsigned mask = 0;
        if (!XQueryPointer(mDisplay, DefaultRootWindow(mDisplay), &root, &child, &rootX, &rootY,
                           &windowX, &windowY, &mask)) {
            return false;
        }
        x = rootX;
        y = rootY;
        return true;
    }

    bool SetPointerPosition(int32_t x, int32_t y) override
    {
        XWarpPointer(mDisplay, None, DefaultRootWindow(mDisplay), 0, 0, 0, 0, x, y);
        XFlush(mDisplay);
        return true;
    }

    HCURSOR LoadSystemCursor(uint32_t id) override
    {
        static const std::pair<uint32_t, unsigned> kShapes[] = {
            {IDC_ARROW, XC_left_ptr},
            {IDC_IBEAM, XC_xterm},
            {IDC_WAIT, XC_watch},
            {IDC_CROSS, XC_crosshair},
            {IDC_UPARROW, XC_sb_up_arrow},
            {IDC_SIZENWSE, XC_bottom_right_corner},
            {IDC_SIZENESW, XC_bottom_left_corner},
            {IDC_SIZEWE, XC_sb_h_double_arrow},
            {IDC_SIZENS, XC_sb_v_double_arrow},
            {IDC_SIZEALL, XC_fleur},
            {IDC_NO, XC_X_cursor},
            {IDC_HAND, XC_hand2},
            {IDC_APPSTARTING, XC_watch},
            {IDC_HELP, XC_question_arrow},
        };
        for (const auto& [cursorId, shape] : kShapes) {
            if (cursorId != id) {
                continue;
            }
            auto& cursor = mCursors[id];
            if (cursor == 0) {
                cursor = XCreateFontCursor(mDisplay, shape);
            }
            // The handle is the cursor's place in the table, which never moves.
            return reinterpret_cast<HCURSOR>(&cursor);
        }
        return nullptr;
    }

    HCURSOR CreateImageCursor(const DecodedImage& image, int32_t hotX, int32_t hotY) override
    {
        if (image.width == 0 || image.height == 0 ||
            image.pixels.size() != size_t(image.width) * image.height || !HasRenderCursors()) {
            return nullptr;
        }
        XRenderPictFormat* format = XRenderFindStandardFormat(mDisplay, PictStandardARGB32);
        if (format == nullptr) {
            return nullptr;
        }
        // The server takes cursor pixels premultiplied by their alpha.
        std::vector<uint32_t> premultiplied(image.pixels.size());
        std::transform(image.pixels.begin(), image.pixels.end(), premultiplied.begin(),
                       [](uint32_t argb) {
                           const uint32_t alpha = argb >> 24;
                           const auto scale = [alpha](uint32_t channel) {
                               return (channel * alpha + 127) / 255;
                           };
                           return alpha << 24 | scale(argb >> 16 & 0xFF) << 16 |
                                  scale(argb >> 8 & 0xFF) << 8 | scale(argb & 0xFF);
                       });
        const Window root = DefaultRootWindow(mDisplay);
        const Pixmap pixmap = XCreatePixmap(mDisplay, root, image.width, image.height, 32);
        const GC gc = XCreateGC(mDisplay, pixmap, 0, nullptr);
        XImage* picture = XCreateImage(mDisplay, nullptr, 32, ZPixmap, 0,
                                       reinterpret_cast<char*>(premultiplied.data()), image.width,
                                       image.height, 32, static_cast<int>(image.width * 4));
        Cursor cursor = 0;
        if (picture != nullptr) {
            // The pixels are in this machine's order; Xlib swaps them where the server's differs.
            picture->byte_order = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;
            XPutImage(mDisplay, pixmap, gc, picture, 0, 0, 0, 0, image.width, image.height);
            picture->data = nullptr; // the vector owns the pixels
            XDestroyImage(picture);
            const Picture source = XRenderCreatePicture(mDisplay, pixmap, format, 0, nullptr);
            cursor = XRenderCreateCursor(
                mDisplay, source,
                static_cast<unsigned>(std::clamp<int32_t>(hotX, 0, int32_t(image.width) - 1)),
                static_cast<unsigned>(std::clamp<int32_t>(hotY, 0, int32_t(image.height) - 1)));
            XRenderFreePicture(mDisplay, source);
        }
        XFreeGC(mDisplay, gc);
        XFreePixmap(mDisplay, pixmap);
        if (cursor == 0) {
            return nullptr;
        }
        // A deque keeps every cursor at its place, which is its handle.
        mImageCursors.push_back(cursor);
        return reinterpret_cast<HCURSOR>(&mImageCursors.back());
    }

    void SetWindowCursor(HWND window, HCURSOR cursor) override
    {
        TopLevel* top = Find(window);
        if (top == nullptr) {
            return;
        }
        if (cursor == nullptr) {
            cursor = LoadSystemCursor(IDC_ARROW);
        }
        XDefineCursor(mDisplay, top->window, *reinterpret_cast<Cursor*>(cursor));
        XFlush(mDisplay);
    }

    HICON CreateImageIcon(const DecodedImage& image) override
    {
        if (image.width == 0 || image.height == 0 ||
            image.pixels.size() != size_t(image.width) * image.height) {
            return nullptr;
        }
        auto icon = std::make_unique<NativeIcon>();
        icon->property.reserve(2 + image.pixels.size());
        icon->property.push_back(image.width);
        icon->property.push_back(image.height);
        icon->property.insert(icon->property.end(), image.pixels.begin(), image.pixels.end());
        NativeIcon* handle = icon.get();
        mIcons.push_back(std::move(icon));
        return handle;
    }

    void SetWindowIcon(HWND window, HICON icon) override
    {
        TopLevel* top = Find(window);
        if (top == nullptr) {
            return;
        }
        const auto own = std::find_if(mIcons.begin(), mIcons.end(),
                                      [icon](const auto& made) { return made.get() == icon; });
        if (icon == nullptr || own == mIcons.end()) {
            XDeleteProperty(mDisplay, top->window, mNetWmIcon);
        } else {
            XChangeProperty(mDisplay, top->window, mNetWmIcon, XA_CARDINAL, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(icon->property.data()),
                            static_cast<int>(icon->property.size()));
        }
        XFlush(mDisplay);
    }

    bool SetClipboardText(const std::string& utf8) override { return mClipboard->SetText(utf8); }

    std::optional<std::string> GetClipboardText(int32_t waitMs) override
    {
        return mClipboard->GetText(waitMs);
    }

    bool OwnsClipboard() const override { return mClipboard->Owns(); }

    void SetClipboardLostHandler(std::function<void()> onLost) override
    {
        mClipboard->SetLostHandler(std::move(onLost));
    }

    uint64_t GetSystemId(HWND window) const override
    {
        const TopLevel* top = Find(window);
        return top != nullptr ? top->window : 0;
    }

    void Sync() override { XSync(mDisplay, False); }

private:
    // The window's type and the functions and decorations its frame offers (the Motif hints,
    // which window managers still read for the minimise and maximise boxes).
    void SetWindowKind(TopLevel& top, const WindowCreateParams& params)
    {
        const Atom type = XInternAtom(
            mDisplay, params.dialog ? "_NET_WM_WINDOW_TYPE_DIALOG" : "_NET_WM_WINDOW_TYPE_NORMAL",
            False);
        XChangeProperty(mDisplay, top.window, XInternAtom(mDisplay, "_NET_WM_WINDOW_TYPE", False),
                        XA_ATOM, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(&type),
                        1);

        constexpr unsigned long kFunctionsAndDecorations = 1 | 2;
        constexpr unsigned long kFunctionResize = 2;
        constexpr unsigned long kFunctionMove = 4;
        constexpr unsigned long kFunctionMinimize = 8;
        constexpr unsigned long kFunctionMaximize = 16;
        constexpr unsigned long kFunctionClose = 32;
        constexpr unsigned long kDecorBorder = 2;
        constexpr unsigned long kDecorResizeHandle = 4;
        constexpr unsigned long kDecorTitle = 8;
        constexpr unsigned long kDecorMenu = 16;
        constexpr unsigned long kDecorMinimize = 32;
        constexpr unsigned long kDecorMaximize = 64;
        const bool fixedSize = params.minWidth > 0 && params.minWidth == params.maxWidth &&
                               params.minHeight > 0 && params.minHeight == params.maxHeight;
        const bool minimize = params.minimizeBox && !params.dialog;
        const bool maximize = params.maximizeBox && !params.dialog && !fixedSize;
        unsigned long functions = kFunctionMove | kFunctionClose;
        unsigned long decorations = kDecorBorder | kDecorTitle | kDecorMenu;
        if (!fixedSize) {
            functions |= kFunctionResize;
            decorations |= kDecorResizeHandle;
        }
        if (minimize) {
            functions |= kFunctionMinimize;
            decorations |= kDecorMinimize;
        }
        if (maximize) {
            functions |= kFunctionMaximize;
            decorations |= kDecorMaximize;
        }
        // flags, functions, decorations, input mode, status
        const unsigned long motifHints[5] = {kFunctionsAndDecorations, functions, decorations, 0,
                                             0};
        const Atom motif = XInternAtom(mDisplay, "_MOTIF_WM_HINTS", False);
        XChangeProperty(mDisplay, top.window, motif, motif, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(motifHints), 5);
    }

    // Colour cursors came with version 0.5 of the rendering extension.
    bool HasRenderCursors() const
    {
        int eventBase = 0;
        int errorBase = 0;
        int major = 0;
        int minor = 0;
        return XRenderQueryExtension(mDisplay, &eventBase, &errorBase) != 0 &&
               XRenderQueryVersion(mDisplay, &major, &minor) != 0 && (major > 0 || minor >= 5);
    }

    TopLevel* Find(HWND window) const
    {
        if (window == nullptr) {
            return nullptr;
        }
        const auto it = mWindows.find(window->window);
        return it != mWindows.end() && it->second.get() == window ? it->second.get() : nullptr;
    }

    TopLevel* Find(Window window) const
    {
        const auto it = mWindows.find(window);
        return it != mWindows.end() ? it->second.get() : nullptr;
    }

    static void AddDirty(TopLevel& top, int32_t x, int32_t y, int32_t width, int32_t height)
    {
        const int32_t left = std::max(0, x);
        const int32_t topEdge = std::max(0, y);
        const int32_t right = std::min(top.width, x + width);
        const int32_t bottom = std::min(top.height, y + height);
        if (right <= left || bottom <= topEdge) {
            return;
        }
        if (!top.dirty) {
            top.dirty = true;
            top.dirtyLeft = left;
            top.dirtyTop = topEdge;
            top.dirtyRight = right;
            top.dirtyBottom = bottom;
            return;
        }
        top.dirtyLeft = std::min(top.dirtyLeft, left);
        top.dirtyTop = std::min(top.dirtyTop, topEdge);
        top.dirtyRight = std::max(top.dirtyRight, right);
        top.dirtyBottom = std::max(top.dirtyBottom, bottom);
    }

    bool HasDirty() const
    {
        return std::any_of(mWindows.begin(), mWindows.end(), [](const auto& entry) {
            return entry.second->dirty && entry.second->visible;
        });
    }

    void Paint(TopLevel& top)
    {
        if (!top.dirty) {
            return;
        }
        WindowMessage message;
        message.message = WM_PAINT;
        message.x = top.dirtyLeft;
        message.y = top.dirtyTop;
        message.width = top.dirtyRight - top.dirtyLeft;
        message.height = top.dirtyBottom - top.dirtyTop;
        top.dirty = false;
        Deliver(top, message);
        if (IsFirstFrameReportDue()) {
            XSync(mDisplay, False);
            ReportFirstFrame();
        }
        ScheduleInputMethod();
    }

    // Opening the input method reads the locale's whole compose table, a good part of the
    // start-up's work: it waits until the first frame is painted. A key pressed before then
    // still gives its character, only without composing.
    void ScheduleInputMethod()
    {
        if (mInputMethodScheduled) {
            return;
        }
        mInputMethodScheduled = true;
        mLoop.Post([alive = std::weak_ptr<bool>(mAlive), this] {
            if (alive.expired()) {
                return;
            }
            mInputMethod = XOpenIM(mDisplay, nullptr, nullptr, nullptr);
            for (const auto& [window, top] : mWindows) {
                CreateInputContext(*top);
                if (top->inputContext != nullptr && mFocus == top.get()) {
                    XSetICFocus(top->inputContext);
                }
            }
        });
    }

    void CreateInputContext(TopLevel& top)
    {
        if (mInputMethod != nullptr && top.inputContext == nullptr) {
            top.inputContext =
                XCreateIC(mInputMethod, XNInputStyle, XIMPreeditNothing | XIMStatusNothing,
                          XNClientWindow, top.window, XNFocusWindow, top.window, nullptr);
        }
    }

    void Deliver(TopLevel& top, const WindowMessage& message)
    {
        // The handler may destroy the window; it is not touched afterwards.
        MessageHandler handler = top.handler;
        if (handler) {
            handler(&top, message);
        }
    }

    // One event, or when none waits, the pending paints. Answers whether idle work restarts.
    bool Dispatch()
    {
        if (XPending(mDisplay) > 0) {
            XEvent event;
            XNextEvent(mDisplay, &event);
            return Handle(event);
        }
        std::vector<Window> dirty;
        for (const auto& [id, top] : mWindows) {
            if (top->dirty && top->visible) {
                dirty.push_back(id);
            }
        }
        for (const Window id : dirty) {
            if (TopLevel* top = Find(id)) {
                Paint(*top);
            }
        }
        return false;
    }

    uint32_t ButtonFlags(unsigned state) const
    {
        uint32_t flags = 0;
        flags |= (state & Button1Mask) ? MK_LBUTTON : 0;
        flags |= (state & Button2Mask) ? MK_MBUTTON : 0;
        flags |= (state & Button3Mask) ? MK_RBUTTON : 0;
        flags |= (state & ShiftMask) ? MK_SHIFT : 0;
        flags |= (state & ControlMask) ? MK_CONTROL : 0;
        return flags;
    }

    bool Handle(XEvent& event)
    {
        if (XFilterEvent(&event, None)) {
            return false;
        }
        if (mClipboard->HandleEvent(event)) {
            return false;
        }
        TopLevel* top = Find(event.xany.window);
        if (top == nullptr) {
            return false;
        }
        switch (event.type) {
        case Expose:
            AddDirty(*top, event.xexpose.x, event.xexpose.y, event.xexpose.width,
                     event.xexpose.height);
            return false;
        case ConfigureNotify:
            OnConfigure(*top, event.xconfigure);
            return true;
        case MapNotify:
            top->visible = true;
            return true;
        case UnmapNotify:
            top->visible = false;
            return true;
        case DestroyNotify:
            OnDestroyedElsewhere(*top);
            return true;
        case FocusIn:
        case FocusOut:
            OnFocus(*top, event.xfocus);
            return true;
        case KeyPress:
        case KeyRelease:
            OnKey(*top, event.xkey);
            return true;
        case ButtonPress:
        case ButtonRelease:
            OnButton(*top, event.xbutton);
            return true;
        case MotionNotify:
            return OnMotion(*top, event.xmotion);
        case LeaveNotify:
            OnLeave(*top, event.xcrossing);
            return true;
        case ClientMessage:
            // A window under a modal dialog cannot be closed, as on Windows.
            if (top->enabled && event.xclient.message_type == mProtocols &&
                static_cast<Atom>(event.xclient.data.l[0]) == mDeleteWindow) {
                WindowMessage message;
                message.message = WM_SYSCOMMAND;
                message.command = SC_CLOSE;
                Deliver(*top, message);
            }
            return true;
        default:
            return false;
        }
    }

    // The newest enabled window that stands over the window, through any chain of owners (the
    // dialog the user has to answer first); the window itself when there is none.
    TopLevel* FrontOf(TopLevel& top) const
    {
        TopLevel* front = &top;
        for (const auto& [id, other] : mWindows) {
            if (other->gone || !other->shown || !other->enabled || other->serial <= front->serial) {
                continue;
            }
            for (TopLevel* owner = Find(other->owner); owner != nullptr;
                 owner = Find(owner->owner)) {
                if (owner == &top) {
                    front = other.get();
                    break;
                }
            }
        }
        return front;
    }

    // Only a window still in the table gets here: the ones the program destroys leave it first.
    void OnDestroyedElsewhere(TopLevel& top)
    {
        top.gone = true;
        top.visible = false;
        top.dirty = false;
        if (mFocus == &top) {
            mFocus = nullptr;
        }
        WindowMessage message;
        message.message = WM_DESTROY;
        Deliver(top, message);
    }

    void OnConfigure(TopLevel& top, const XConfigureEvent& configure)
    {
        int x = 0;
        int y = 0;
        Window child = 0;
        XTranslateCoordinates(mDisplay, top.window, DefaultRootWindow(mDisplay), 0, 0, &x, &y,
                              &child);
        const bool moved = x != top.x || y != top.y;
        const bool sized = configure.width != top.width || configure.height != top.height;
        top.x = x;
        top.y = y;
        top.width = configure.width;
        top.height = configure.height;
        if (sized) {
            WindowMessage message;
            message.message = WM_SIZE;
            message.sizeType = SIZE_RESTORED;
            message.width = top.width;
            message.height = top.height;
            Deliver(top, message);
        }
        if (moved && Find(top.window) == &top) {
            WindowMessage message;
            message.message = WM_MOVE;
            message.x = top.x;
            message.y = top.y;
            Deliver(top, message);
        }
    }

    void OnFocus(TopLevel& top, const XFocusChangeEvent& focus)
    {
        if (focus.detail == NotifyPointer || focus.detail == NotifyInferior) {
            return;
        }
        WindowMessage message;
        if (focus.type == FocusIn && !top.enabled) {
            // A window under a modal box cannot take the keyboard, whoever gave it the focus (a
            // window manager after a click, a pager): the box standing over it keeps it.
            TopLevel* front = FrontOf(top);
            if (front != &top && front->visible) {
                XSetInputFocus(mDisplay, front->window, RevertToParent, CurrentTime);
                XFlush(mDisplay);
                return;
            }
        }
        if (focus.type == FocusIn) {
            mFocus = &top;
            if (top.inputContext != nullptr) {
                XSetICFocus(top.inputContext);
            }
            message.message = WM_SETFOCUS;
        } else {
            if (mFocus == &top) {
                mFocus = nullptr;
            }
            if (top.inputContext != nullptr) {
                XUnsetICFocus(top.inputContext);
            }
            // Keys released while another window has the focus are never reported.
            mKeysDown.fill(false);
            message.message = WM_KILLFOCUS;
        }
        Deliver(top, message);
    }

    void OnKey(TopLevel& top, XKeyEvent& key)
    {
        const bool press = key.type == KeyPress;
        const KeySym unshifted = XLookupKeysym(&key, 0);
        const VirtualKey virtualKey = VirtualKeyFromKeySym(static_cast<uint32_t>(unshifted));
        const bool repeat = press && virtualKey.code != 0 && mKeysDown[virtualKey.code];
        if (virtualKey.code != 0) {
            SetKeyDown(virtualKey, press);
        }
        if (!top.enabled) {
            return;
        }
        const bool alt = (key.state & Mod1Mask) != 0 || mKeysDown[VK_MENU];
        WindowMessage message;
        message.key = virtualKey;
        message.repeat = repeat;
        message.altHeld = alt;
        // Alt, or F10, makes a key a system key, as it does on Windows.
        const bool system = alt || virtualKey.code == VK_F1 + 9;
        message.message =
            press ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
        Deliver(top, message);
        if (!press || Find(top.window) != &top) {
            return;
        }
        // No characters while a Windows (Super) key is held.
        if ((key.state & Mod4Mask) != 0 || mKeysDown[VK_LWIN] || mKeysDown[VK_RWIN]) {
            return;
        }
        char buffer[64];
        KeySym symbol = 0;
        Status status = 0;
        int length = 0;
        if (top.inputContext != nullptr) {
            length = Xutf8LookupString(top.inputContext, &key, buffer, sizeof buffer - 1, &symbol,
                                       &status);
            if (status != XLookupChars && status != XLookupBoth) {
                length = 0;
            }
        } else {
            length = XLookupString(&key, buffer, sizeof buffer - 1, &symbol, nullptr);
        }
        for (const char16_t unit : Utf16Units(buffer, std::max(0, length))) {
            WindowMessage character;
            character.message = WM_CHAR;
            character.character = unit;
            character.altHeld = alt;
            character.key = virtualKey;
            character.repeat = repeat;
            Deliver(top, character);
            if (Find(top.window) != &top) {
                return;
            }
        }
    }

    void SetKeyDown(const VirtualKey& key, bool down)
    {
        mKeysDown[key.code & 0xFF] = down;
        const auto sided = [&](uint32_t left, uint32_t right) {
            if (key.side == KeySide::kLeft) {
                mKeysDown[left] = down;
            } else if (key.side == KeySide::kRight) {
                mKeysDown[right] = down;
            }
            mKeysDown[key.code] = mKeysDown[left] || mKeysDown[right];
        };
        if (key.code == VK_SHIFT) {
            sided(VK_LSHIFT, VK_RSHIFT);
        } else if (key.code == VK_CONTROL) {
            sided(VK_LCONTROL, VK_RCONTROL);
        } else if (key.code == VK_MENU) {
            sided(VK_LMENU, VK_RMENU);
        }
    }

    void OnButton(TopLevel& top, const XButtonEvent& button)
    {
        const bool press = button.type == ButtonPress;
        if (button.button >= 4 && button.button <= 7) {
            if (!press || !top.enabled) {
                return;
            }
            WindowMessage message;
            message.message = button.button <= 5 ? WM_MOUSEWHEEL : WM_MOUSEHWHEEL;
            message.wheelDelta =
                (button.button == 4 || button.button == 7) ? WHEEL_DELTA : -WHEEL_DELTA;
            message.x = button.x_root;
            message.y = button.y_root;
            message.buttonFlags = ButtonFlags(button.state);
            Deliver(top, message);
            return;
        }
        static constexpr uint32_t kVirtualKeys[] = {0, VK_LBUTTON, VK_MBUTTON, VK_RBUTTON};
        static constexpr uint32_t kDown[] = {0, WM_LBUTTONDOWN, WM_MBUTTONDOWN, WM_RBUTTONDOWN};
        static constexpr uint32_t kUp[] = {0, WM_LBUTTONUP, WM_MBUTTONUP, WM_RBUTTONUP};
        static constexpr uint32_t kDouble[] = {0, WM_LBUTTONDBLCLK, WM_MBUTTONDBLCLK,
                                               WM_RBUTTONDBLCLK};
        if (button.button < 1 || button.button > 3) {
            return;
        }
        mKeysDown[kVirtualKeys[button.button]] = press;
        if (!top.enabled) {
            return;
        }
        WindowMessage message;
        message.x = button.x;
        message.y = button.y;
        // The state is from before the event: the flags show the button as it is after it.
        static constexpr unsigned kMasks[] = {0, Button1Mask, Button2Mask, Button3Mask};
        const unsigned state =
            press ? button.state | kMasks[button.button] : button.state & ~kMasks[button.button];
        message.buttonFlags = ButtonFlags(state);
        if (!press) {
            message.message = kUp[button.button];
            Deliver(top, message);
            return;
        }
        const bool isDouble = mLastPress.button == button.button &&
                              mLastPress.window == top.window &&
                              button.time - mLastPress.time <= kDoubleClickMs &&
                              std::abs(button.x - mLastPress.x) <= kDoubleClickDistance &&
                              std::abs(button.y - mLastPress.y) <= kDoubleClickDistance;
        message.message = isDouble ? kDouble[button.button] : kDown[button.button];
        // A third press starts over: it is a press, not another double-click.
        mLastPress = isDouble
                         ? LastPress{}
                         : LastPress{button.button, top.window, button.time, button.x, button.y};
        Deliver(top, message);
    }

    bool OnMotion(TopLevel& top, const XMotionEvent& motion)
    {
        if (!top.enabled) {
            return false;
        }
        const bool moved =
            motion.x != mLastMotionX || motion.y != mLastMotionY || mLastMotionWindow != top.window;
        mLastMotionX = motion.x;
        mLastMotionY = motion.y;
        mLastMotionWindow = top.window;
        WindowMessage message;
        message.message = WM_MOUSEMOVE;
        message.x = motion.x;
        message.y = motion.y;
        message.buttonFlags = ButtonFlags(motion.state);
        Deliver(top, message);
        return moved;
    }

    void OnLeave(TopLevel& top, const XCrossingEvent& crossing)
    {
        mLastMotionWindow = 0;
        if (crossing.detail == NotifyInferior) {
            return;
        }
        const bool buttonsDown = (crossing.state & (Button1Mask | Button2Mask | Button3Mask)) != 0;
        if (crossing.mode == NotifyNormal && !buttonsDown && top.enabled) {
            // The pointer's last place is at the leave point; a move there lets the window clear
            // its hover state before it learns the pointer is gone.
            WindowMessage move;
            move.message = WM_MOUSEMOVE;
            move.x = crossing.x;
            move.y = crossing.y;
            move.buttonFlags = ButtonFlags(crossing.state);
            Deliver(top, move);
            if (Find(top.window) != &top) {
                return;
            }
        }
        if (crossing.mode == NotifyNormal && buttonsDown) {
            return; // a drag goes on outside: the implicit grab keeps the pointer's events
        }
        WindowMessage lost;
        lost.message = WM_CAPTURECHANGED;
        Deliver(top, lost);
    }

    EventLoop& mLoop;
    Display* mDisplay;
    XIM mInputMethod = nullptr;
    bool mInputMethodScheduled = false;
    // A task posted to the loop may outlive the window system; it runs only while this lives.
    std::shared_ptr<bool> mAlive = std::make_shared<bool>(true);
    std::unique_ptr<X11Clipboard> mClipboard;
    std::map<uint32_t, Cursor> mCursors;
    std::deque<Cursor> mImageCursors;
    std::vector<std::unique_ptr<NativeIcon>> mIcons;
    uint32_t mWatch = 0;
    Atom mDeleteWindow = 0;
    Atom mProtocols = 0;
    Atom mNetWmName = 0;
    Atom mNetWmIcon = 0;
    Atom mUtf8String = 0;
    std::map<Window, std::unique_ptr<TopLevel>> mWindows;
    uint64_t mSerial = 0;
    TopLevel* mFocus = nullptr;
    std::array<bool, 256> mKeysDown{};
    LastPress mLastPress;
    int mLastMotionX = -1;
    int mLastMotionY = -1;
    Window mLastMotionWindow = 0;
};

} // namespace

std::unique_ptr<WindowSystem> WindowSystem::Open(EventLoop& loop)
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return nullptr;
    }
    return std::make_unique<X11WindowSystem>(loop, display);
}

} // namespace svp
