#include "X11WindowDriver.h"
#include "X11WindowProperty.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <thread>

namespace svtest {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPollInterval = std::chrono::milliseconds(20);
constexpr auto kPressLength = std::chrono::milliseconds(30);

// Windows of other programs may go while they are looked at, and a window that is not shown has
// no pixels to read: such errors end nothing here, the caller sees an empty answer.
int IgnoreError(Display*, XErrorEvent*)
{
    return 0;
}

struct XFreeDeleter
{
    void operator()(void* data) const
    {
        if (data != nullptr) {
            XFree(data);
        }
    }
};

} // namespace

X11WindowDriver::X11WindowDriver() : mDisplayOwner(XOpenDisplay(nullptr))
{
    mDisplay = mDisplayOwner.get();
    if (mDisplay != nullptr) {
        mPreviousErrorHandler = XSetErrorHandler(IgnoreError);
    }
}

X11WindowDriver::~X11WindowDriver()
{
    if (mDisplay != nullptr) {
        XSync(mDisplay, False);
        XSetErrorHandler(mPreviousErrorHandler);
    }
}

std::vector<Window> X11WindowDriver::FindWindows(const Query& query)
{
    std::vector<Window> found;
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(mDisplay, DefaultRootWindow(mDisplay), &root, &parent, &children, &count) == 0) {
        return found;
    }
    const std::unique_ptr<Window, XFreeDeleter> owned(children);
    for (unsigned i = 0; i < count; ++i) {
        const Window window = children[i];
        if (query.except.count(window) != 0 || !IsShown(window)) {
            continue;
        }
        XClassHint hint{};
        if (XGetClassHint(mDisplay, window, &hint) == 0) {
            continue;
        }
        const bool sameClass = hint.res_class != nullptr && query.className == hint.res_class;
        XFree(hint.res_name);
        XFree(hint.res_class);
        Window owner = 0;
        if (sameClass && (query.owner == 0 || (XGetTransientForHint(mDisplay, window, &owner) &&
                                               owner == query.owner))) {
            found.push_back(window);
        }
    }
    return found;
}

Window X11WindowDriver::WaitForWindow(const Query& query, std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        const std::vector<Window> found = FindWindows(query);
        if (!found.empty()) {
            return found.front();
        }
        if (Clock::now() >= deadline) {
            return 0;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
}

Window X11WindowDriver::WaitForPaintedWindow(const Query& query, std::chrono::milliseconds timeout,
                                             int32_t x, int32_t y)
{
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        for (const Window window : FindWindows(query)) {
            const std::vector<uint32_t> pixel = Capture(window, x, y, 1, 1);
            if (!pixel.empty() && pixel[0] != 0) {
                return window;
            }
        }
        if (Clock::now() >= deadline) {
            return 0;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
}

bool X11WindowDriver::WaitUntilGone(Window window, std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    while (IsShown(window)) {
        if (Clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    return true;
}

X11WindowDriver::Geometry X11WindowDriver::GetGeometry(Window window)
{
    Geometry geometry;
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(mDisplay, window, &attributes) == 0) {
        return geometry;
    }
    int x = 0;
    int y = 0;
    Window child = 0;
    XTranslateCoordinates(mDisplay, window, DefaultRootWindow(mDisplay), 0, 0, &x, &y, &child);
    return {x, y, attributes.width, attributes.height};
}

std::string X11WindowDriver::GetTitle(Window window)
{
    char* name = nullptr;
    if (XFetchName(mDisplay, window, &name) == 0 || name == nullptr) {
        return {};
    }
    const std::unique_ptr<char, XFreeDeleter> owned(name);
    return name;
}

bool X11WindowDriver::IsShown(Window window)
{
    XWindowAttributes attributes{};
    return XGetWindowAttributes(mDisplay, window, &attributes) != 0 &&
           attributes.map_state == IsViewable;
}

bool X11WindowDriver::Click(Window window, int32_t x, int32_t y)
{
    // The XTest pointer presses whatever window is on top at that point: raise ours and look
    // that it is ours before pressing, a few times, since another program's window may come up.
    for (int32_t attempt = 0; attempt < 20; ++attempt) {
        XRaiseWindow(mDisplay, window);
        MovePointer(window, x, y);
        Window root = 0;
        Window topLevel = 0;
        int rootX = 0;
        int rootY = 0;
        int windowX = 0;
        int windowY = 0;
        unsigned mask = 0;
        XQueryPointer(mDisplay, DefaultRootWindow(mDisplay), &root, &topLevel, &rootX, &rootY,
                      &windowX, &windowY, &mask);
        if (topLevel == window) {
            // A hand takes a moment between the press and the release.
            XTestFakeButtonEvent(mDisplay, 1, True, CurrentTime);
            XSync(mDisplay, False);
            std::this_thread::sleep_for(kPressLength);
            XTestFakeButtonEvent(mDisplay, 1, False, CurrentTime);
            XSync(mDisplay, False);
            return true;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    return false;
}

void X11WindowDriver::MovePointer(Window window, int32_t x, int32_t y)
{
    int rootX = 0;
    int rootY = 0;
    Window child = 0;
    XTranslateCoordinates(mDisplay, window, DefaultRootWindow(mDisplay), x, y, &rootX, &rootY,
                          &child);
    XTestFakeMotionEvent(mDisplay, DefaultScreen(mDisplay), rootX, rootY, CurrentTime);
    XSync(mDisplay, False);
}

void X11WindowDriver::PressKey(Window window, unsigned long keySym,
                               const std::vector<unsigned long>& modifiers)
{
    unsigned state = 0;
    for (const unsigned long modifier : modifiers) {
        const unsigned code = XKeysymToKeycode(mDisplay, modifier);
        SendKeyEvent(window, KeyPress, code, state);
        if (modifier == XK_Control_L || modifier == XK_Control_R) {
            state |= ControlMask;
        } else if (modifier == XK_Shift_L || modifier == XK_Shift_R) {
            state |= ShiftMask;
        } else if (modifier == XK_Alt_L || modifier == XK_Alt_R) {
            state |= Mod1Mask;
        }
    }
    const unsigned code = XKeysymToKeycode(mDisplay, keySym);
    SendKeyEvent(window, KeyPress, code, state);
    SendKeyEvent(window, KeyRelease, code, state);
    for (auto modifier = modifiers.rbegin(); modifier != modifiers.rend(); ++modifier) {
        SendKeyEvent(window, KeyRelease, XKeysymToKeycode(mDisplay, *modifier), state);
    }
    XSync(mDisplay, False);
}

void X11WindowDriver::SendKeyEvent(Window window, int type, unsigned keyCode, unsigned state)
{
    XEvent event{};
    event.xkey.type = type;
    event.xkey.display = mDisplay;
    event.xkey.window = window;
    event.xkey.root = DefaultRootWindow(mDisplay);
    event.xkey.time = CurrentTime;
    event.xkey.keycode = keyCode;
    event.xkey.state = state;
    event.xkey.same_screen = True;
    // No event mask: the event goes to the program that made the window.
    XSendEvent(mDisplay, window, False, NoEventMask, &event);
}

void X11WindowDriver::Focus(Window window)
{
    XSetInputFocus(mDisplay, window, RevertToPointerRoot, CurrentTime);
    XSync(mDisplay, False);
}

void X11WindowDriver::Close(Window window)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(mDisplay, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(mDisplay, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(mDisplay, window, False, NoEventMask, &event);
    XSync(mDisplay, False);
}

std::vector<uint32_t> X11WindowDriver::Capture(Window window, int32_t x, int32_t y, int32_t width,
                                               int32_t height)
{
    // A part that another window covers reads as that window's pixels: ours goes on top first.
    XRaiseWindow(mDisplay, window);
    XSync(mDisplay, False);
    XImage* image = XGetImage(mDisplay, window, x, y, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (image == nullptr) {
        return {};
    }
    std::vector<uint32_t> pixels;
    pixels.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int32_t row = 0; row < height; ++row) {
        for (int32_t column = 0; column < width; ++column) {
            pixels.push_back(static_cast<uint32_t>(XGetPixel(image, column, row) & 0xFFFFFF));
        }
    }
    XDestroyImage(image);
    return pixels;
}

void X11WindowDriver::TypeKey(unsigned long keySym)
{
    const unsigned code = XKeysymToKeycode(mDisplay, keySym);
    XTestFakeKeyEvent(mDisplay, code, True, CurrentTime);
    XSync(mDisplay, False);
    std::this_thread::sleep_for(kPressLength);
    XTestFakeKeyEvent(mDisplay, code, False, CurrentTime);
    XSync(mDisplay, False);
}

Window X11WindowDriver::GetFocus()
{
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(mDisplay, &focus, &revert);
    return focus;
}

std::string X11WindowDriver::GetUtf8Property(Window window, const char* property)
{
    const std::vector<char> text = svtest::ReadWindowProperty<char>(
        mDisplay, window, property, XInternAtom(mDisplay, "UTF8_STRING", False));
    return std::string(text.begin(), text.end());
}

std::vector<std::string> X11WindowDriver::GetAtomNames(Window window, const char* property)
{
    std::vector<std::string> names;
    for (const long atom : svtest::ReadWindowProperty<long>(mDisplay, window, property, XA_ATOM)) {
        char* name = XGetAtomName(mDisplay, static_cast<Atom>(atom));
        const std::unique_ptr<char, XFreeDeleter> owned(name);
        names.emplace_back(name != nullptr ? name : "");
    }
    return names;
}

std::vector<long> X11WindowDriver::GetCardinals(Window window, const char* property,
                                                const char* type)
{
    return svtest::ReadWindowProperty<long>(mDisplay, window, property,
                                            XInternAtom(mDisplay, type, False));
}

Window X11WindowDriver::GetTransientFor(Window window)
{
    Window owner = 0;
    return XGetTransientForHint(mDisplay, window, &owner) != 0 ? owner : 0;
}

X11WindowDriver::SizeLimits X11WindowDriver::GetSizeLimits(Window window)
{
    SizeLimits limits;
    XSizeHints hints{};
    long supplied = 0;
    if (XGetWMNormalHints(mDisplay, window, &hints, &supplied) == 0) {
        return limits;
    }
    limits.hasMinimum = (hints.flags & PMinSize) != 0;
    limits.hasMaximum = (hints.flags & PMaxSize) != 0;
    limits.minWidth = hints.min_width;
    limits.minHeight = hints.min_height;
    limits.maxWidth = hints.max_width;
    limits.maxHeight = hints.max_height;
    return limits;
}

void X11WindowDriver::Destroy(Window window)
{
    XDestroyWindow(mDisplay, window);
    XSync(mDisplay, False);
}

void X11WindowDriver::Minimize(Window window)
{
    XUnmapWindow(mDisplay, window);
    const Atom state = XInternAtom(mDisplay, "WM_STATE", False);
    const long iconic[2] = {IconicState, 0};
    XChangeProperty(mDisplay, window, state, state, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(iconic), 2);
    XSync(mDisplay, False);
}

void X11WindowDriver::WatchRootMessages()
{
    // Requests for the window manager are sent to the root window with the substructure masks:
    // a client that selects one of them receives them too.
    XSelectInput(mDisplay, DefaultRootWindow(mDisplay), SubstructureNotifyMask);
    XSync(mDisplay, False);
}

std::vector<X11WindowDriver::RootMessage>
X11WindowDriver::TakeRootMessages(std::chrono::milliseconds timeout)
{
    std::vector<RootMessage> messages;
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        while (XPending(mDisplay) > 0) {
            XEvent event;
            XNextEvent(mDisplay, &event);
            if (event.type != ClientMessage) {
                continue;
            }
            RootMessage message;
            char* name = XGetAtomName(mDisplay, event.xclient.message_type);
            const std::unique_ptr<char, XFreeDeleter> owned(name);
            message.type = name != nullptr ? name : "";
            message.window = event.xclient.window;
            std::copy(event.xclient.data.l, event.xclient.data.l + 5, message.data);
            messages.push_back(message);
        }
        if (!messages.empty() || Clock::now() >= deadline) {
            return messages;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
}

} // namespace svtest
