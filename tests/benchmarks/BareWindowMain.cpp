// The start-up baseline that tests/benchmarks/measure-editor compares the editor with: about the
// least a program can do to show the editor's window, written directly on Xlib and Cairo. It
// reads the editor's keyboard picture with Cairo's PNG reader (libpng), opens a 1200 x 720 window,
// paints the picture into it on the first Expose and then waits until it is killed. Once the
// display has the frame it reports it as the editor does (Platform/Linux/FirstFrameReport.h).
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo-xlib.h>
#include <cairo.h>

#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kWidth = 1200;
constexpr int kHeight = 720;
// The class the measuring script looks for, as it looks for the editor's main window class.
char kClassName[] = "BareWindowBaseline";

int64_t Nanoseconds(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// The line the editor writes to the descriptor SV_FIRST_FRAME_REPORT_FD names.
void ReportFirstFrame()
{
    const char* descriptor = std::getenv("SV_FIRST_FRAME_REPORT_FD");
    if (descriptor == nullptr) {
        return;
    }
    char line[64];
    const int length = std::snprintf(line, sizeof line, "%lld %lld\n",
                                     static_cast<long long>(Nanoseconds(CLOCK_MONOTONIC)),
                                     static_cast<long long>(Nanoseconds(CLOCK_PROCESS_CPUTIME_ID)));
    [[maybe_unused]] const ssize_t written =
        write(std::atoi(descriptor), line, static_cast<size_t>(length));
}

} // namespace

int main()
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fputs("bare-window: no X display\n", stderr);
        return 1;
    }
    cairo_surface_t* picture = cairo_image_surface_create_from_png(SV_BARE_WINDOW_PICTURE);
    if (cairo_surface_status(picture) != CAIRO_STATUS_SUCCESS) {
        std::fputs("bare-window: the picture " SV_BARE_WINDOW_PICTURE " is not readable\n", stderr);
        return 1;
    }

    const int screen = DefaultScreen(display);
    const Window window =
        XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, kWidth, kHeight, 0,
                            BlackPixel(display, screen), BlackPixel(display, screen));
    XClassHint hint{kClassName, kClassName};
    XSetClassHint(display, window, &hint);
    XStoreName(display, window, kClassName);
    XSelectInput(display, window, ExposureMask);
    XMapWindow(display, window);

    cairo_surface_t* surface =
        cairo_xlib_surface_create(display, window, DefaultVisual(display, screen), kWidth, kHeight);
    bool reported = false;
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != Expose || event.xexpose.count != 0) {
            continue;
        }
        cairo_t* cr = cairo_create(surface);
        cairo_set_source_surface(cr, picture, 0, 0);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_flush(surface);
        XSync(display, False);
        if (!reported) {
            reported = true;
            ReportFirstFrame();
        }
    }
}
