#include "BareWindow.h"

#include "X11NativeWindow.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace svp {
namespace {

Bool IsExposeOf(Display*, XEvent* event, XPointer window)
{
    return event->type == Expose && event->xexpose.window == *reinterpret_cast<Window*>(window);
}

class X11BareWindow final : public BareWindow
{
public:
    X11BareWindow(Display* display, int32_t width, int32_t height)
    {
        mWindow.display = display;
        const int screen = DefaultScreen(display);
        mWindow.window =
            XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0,
                                static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                                BlackPixel(display, screen), BlackPixel(display, screen));
        // The server keeps the window's pixels while other windows cover it, so what was
        // presented can be read back even when other programs' windows open over it.
        XSetWindowAttributes attributes{};
        attributes.backing_store = Always;
        XChangeWindowAttributes(display, mWindow.window, CWBackingStore, &attributes);
        XSelectInput(display, mWindow.window, ExposureMask);
        XMapWindow(display, mWindow.window);
        // The server clears a newly shown window before it reports the exposure; pixels put
        // there earlier could be wiped.
        XEvent event;
        XIfEvent(display, &event, IsExposeOf, reinterpret_cast<XPointer>(&mWindow.window));
        XSelectInput(display, mWindow.window, NoEventMask);
        XSync(display, True);
    }

    ~X11BareWindow() override
    {
        XDestroyWindow(mWindow.display, mWindow.window);
        XCloseDisplay(mWindow.display);
    }

    HWND GetHandle() const override { return const_cast<NativeWindow*>(&mWindow); }

    std::vector<uint32_t> ReadPixels(int32_t x, int32_t y, int32_t width,
                                     int32_t height) const override
    {
        XWindowAttributes attributes{};
        XGetWindowAttributes(mWindow.display, mWindow.window, &attributes);
        if (x < 0 || y < 0 || width <= 0 || height <= 0 || x + width > attributes.width ||
            y + height > attributes.height) {
            return {};
        }
        XImage* image =
            XGetImage(mWindow.display, mWindow.window, x, y, static_cast<unsigned>(width),
                      static_cast<unsigned>(height), AllPlanes, ZPixmap);
        if (image == nullptr) {
            return {};
        }
        std::vector<uint32_t> pixels;
        pixels.reserve(static_cast<size_t>(width) * height);
        const Visual* visual = attributes.visual;
        const auto channel = [](unsigned long pixel, unsigned long mask) -> uint32_t {
            if (mask == 0) {
                return 0;
            }
            const int shift = __builtin_ctzl(mask);
            const unsigned long bits = mask >> shift;
            return static_cast<uint32_t>((((pixel & mask) >> shift) * 255 + bits / 2) / bits);
        };
        for (int32_t row = 0; row < height; ++row) {
            for (int32_t column = 0; column < width; ++column) {
                const unsigned long pixel = XGetPixel(image, column, row);
                pixels.push_back(channel(pixel, visual->red_mask) << 16 |
                                 channel(pixel, visual->green_mask) << 8 |
                                 channel(pixel, visual->blue_mask));
            }
        }
        XDestroyImage(image);
        return pixels;
    }

private:
    NativeWindow mWindow;
};

} // namespace

std::unique_ptr<BareWindow> BareWindow::Open(int32_t width, int32_t height)
{
    if (width <= 0 || height <= 0) {
        return nullptr;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return nullptr;
    }
    return std::make_unique<X11BareWindow>(display, width, height);
}

} // namespace svp
