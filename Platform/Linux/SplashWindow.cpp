#include "SplashWindow.h"

#include "CairoHandles.h"
#include "DebugOutput.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo-xlib.h>
#include <cairo.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace svp {

void SplashProgress::SetPosition(int32_t position)
{
    mHasBar = true;
    mStepsLeft = 0;
    mPosition = std::clamp(position, 0, 100);
}

bool SplashProgress::Run(int32_t from, int32_t to, int32_t seconds)
{
    if (seconds < 1) {
        return false;
    }
    SetPosition(from);
    mStepsLeft = seconds * (1000 / kStepMs);
    mStep = (to - from) / mStepsLeft;
    return true;
}

bool SplashProgress::Tick()
{
    if (mStepsLeft <= 0) {
        return false;
    }
    mPosition = std::clamp(mPosition + mStep, 0, 100);
    --mStepsLeft;
    return mStepsLeft > 0;
}

namespace {

struct Request
{
    enum Kind
    {
        kPosition,
        kRun,
        kQuit,
    } kind;
    int32_t from = 0;
    int32_t to = 0;
    int32_t seconds = 0;
};

void Say(const char* text)
{
    WriteDebuggerOutput(text, std::strlen(text));
}

} // namespace

struct SplashWindow::Shared
{
    std::shared_ptr<const SplashImage> image;
    std::mutex mutex;
    std::condition_variable shownChanged;
    bool shown = false;           // guarded by mutex
    std::deque<Request> requests; // guarded by mutex
    std::atomic<int32_t> shownPosition{-1};
    int wakeRead = -1;
    int wakeWrite = -1;
    std::thread thread;

    ~Shared()
    {
        if (wakeRead >= 0) {
            close(wakeRead);
            close(wakeWrite);
        }
    }

    void Post(const Request& request)
    {
        {
            std::lock_guard lock(mutex);
            requests.push_back(request);
        }
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = write(wakeWrite, &byte, 1);
    }

    // The splash thread. Everything it touches is its own, or shared and kept alive by the
    // pointer it holds: the object on the user-interface side may be gone before it ends.
    static void Run(std::shared_ptr<Shared> self)
    {
        const std::shared_ptr<const SplashImage> image = self->image;
        if (!image || image->width <= 0 || image->height <= 0 ||
            image->pixels.size() < static_cast<size_t>(image->width) * image->height) {
            return;
        }
        Display* display = XOpenDisplay(nullptr);
        if (display == nullptr) {
            Say("Unable to create SplashWnd\n");
            return;
        }
        const int screen = DefaultScreen(display);
        const int x = (DisplayWidth(display, screen) - image->width) / 2;
        const int y = (DisplayHeight(display, screen) - image->height) / 2;
        XSetWindowAttributes attributes{};
        // Borderless and outside the window manager's care, as a start-up picture is.
        attributes.override_redirect = True;
        attributes.event_mask = ExposureMask;
        attributes.background_pixmap = None;
        const Window window =
            XCreateWindow(display, RootWindow(display, screen), std::max(0, x), std::max(0, y),
                          static_cast<unsigned>(image->width), static_cast<unsigned>(image->height),
                          0, CopyFromParent, InputOutput, CopyFromParent,
                          CWOverrideRedirect | CWEventMask | CWBackPixmap, &attributes);
        XStoreName(display, window, "SplashWnd");
        XMapRaised(display, window);
        XSync(display, False);
        XWindowAttributes windowAttributes{};
        XGetWindowAttributes(display, window, &windowAttributes);
        CairoSurfacePtr target(cairo_xlib_surface_create(display, window, windowAttributes.visual,
                                                         image->width, image->height));
        CairoSurfacePtr picture(cairo_image_surface_create_for_data(
            reinterpret_cast<unsigned char*>(const_cast<uint32_t*>(image->pixels.data())),
            CAIRO_FORMAT_ARGB32, image->width, image->height, image->width * 4));

        SplashProgress progress;
        const auto paint = [&] {
            const CairoPtr owned(cairo_create(target.get()));
            cairo_t* cairo = owned.get();
            cairo_set_source_surface(cairo, picture.get(), 0, 0);
            cairo_paint(cairo);
            if (progress.HasBar()) {
                const double barWidth = image->width - 8;
                cairo_set_source_rgb(cairo, 0.85, 0.85, 0.85);
                cairo_rectangle(cairo, 4, image->height - 20, barWidth, 16);
                cairo_fill(cairo);
                cairo_set_source_rgb(cairo, 0.02, 0.69, 0.16);
                cairo_rectangle(cairo, 5, image->height - 19,
                                (barWidth - 2) * progress.GetPosition() / 100.0, 14);
                cairo_fill(cairo);
            }
            cairo_surface_flush(target.get());
            XFlush(display);
            self->shownPosition = progress.HasBar() ? progress.GetPosition() : -1;
        };
        paint();
        {
            std::lock_guard lock(self->mutex);
            self->shown = true;
        }
        self->shownChanged.notify_all();

        auto nextTick = std::chrono::steady_clock::now();
        for (bool running = true; running;) {
            while (XPending(display) > 0) {
                XEvent event;
                XNextEvent(display, &event);
                if (event.type == Expose && event.xexpose.count == 0) {
                    paint();
                }
            }
            std::deque<Request> requests;
            {
                std::lock_guard lock(self->mutex);
                requests.swap(self->requests);
            }
            for (const Request& request : requests) {
                if (request.kind == Request::kQuit) {
                    running = false;
                    break;
                }
                if (request.kind == Request::kPosition) {
                    progress.SetPosition(request.from);
                } else if (progress.Run(request.from, request.to, request.seconds)) {
                    nextTick = std::chrono::steady_clock::now() +
                               std::chrono::milliseconds(SplashProgress::kStepMs);
                }
                paint();
            }
            if (!running) {
                break;
            }
            if (progress.IsRunning() && std::chrono::steady_clock::now() >= nextTick) {
                progress.Tick();
                paint();
                nextTick += std::chrono::milliseconds(SplashProgress::kStepMs);
            }
            int timeout = -1;
            if (progress.IsRunning()) {
                timeout = static_cast<int>(
                    std::max<int64_t>(0, std::chrono::duration_cast<std::chrono::milliseconds>(
                                             nextTick - std::chrono::steady_clock::now())
                                             .count()));
            }
            pollfd fds[2] = {{ConnectionNumber(display), POLLIN, 0}, {self->wakeRead, POLLIN, 0}};
            poll(fds, 2, timeout);
            if (fds[1].revents != 0) {
                char buffer[64];
                while (read(self->wakeRead, buffer, sizeof buffer) > 0) {
                }
            }
        }
        // The surfaces go before the window and the display they draw on.
        picture.reset();
        target.reset();
        XDestroyWindow(display, window);
        XCloseDisplay(display);
    }
};

SplashWindow::SplashWindow(std::shared_ptr<const SplashImage> image)
    : mShared(std::make_shared<Shared>())
{
    mShared->image = std::move(image);
    int fds[2];
    if (pipe2(fds, O_NONBLOCK | O_CLOEXEC) == 0) {
        mShared->wakeRead = fds[0];
        mShared->wakeWrite = fds[1];
    }
}

SplashWindow::~SplashWindow()
{
    Stop();
}

bool SplashWindow::Start()
{
    if (mShared->thread.joinable() || mShared->wakeRead < 0) {
        return false;
    }
    mShared->thread = std::thread(&Shared::Run, mShared);
    std::unique_lock lock(mShared->mutex);
    if (!mShared->shownChanged.wait_for(lock, std::chrono::seconds(5),
                                        [&] { return mShared->shown; })) {
        Say("Error starting SplashThread\n");
        return false;
    }
    return true;
}

void SplashWindow::PostPosition(int32_t position)
{
    mShared->Post({Request::kPosition, position});
}

bool SplashWindow::PostProgressRun(int32_t from, int32_t to, int32_t seconds)
{
    if (seconds < 1) {
        return false;
    }
    mShared->Post({Request::kRun, from, to, seconds});
    return true;
}

void SplashWindow::Stop()
{
    if (!mShared->thread.joinable()) {
        return;
    }
    mShared->Post({Request::kQuit});
    // Joined, never abandoned: the thread paints from the shared image, and a thread left
    // running could outlive what it draws.
    mShared->thread.join();
}

int32_t SplashWindow::GetShownPosition() const
{
    return mShared->shownPosition;
}

} // namespace svp
