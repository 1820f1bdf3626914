#include "WindowPresenter.h"

#include "X11NativeWindow.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/mman.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace svp {
namespace {

// Set by the error handler while a shared-memory attach is tried: a display on another machine
// refuses it, and the presenter then sends its pixels over the connection instead.
bool gShmAttachFailed = false;

int NoteShmAttachFailure(Display*, XErrorEvent*)
{
    gShmAttachFailed = true;
    return 0;
}

bool ClipToImage(const PixelRect& rect, const PixelImageView& image, PixelRect& clipped)
{
    const int64_t left = std::max<int64_t>(rect.x, 0);
    const int64_t top = std::max<int64_t>(rect.y, 0);
    const int64_t right = std::min<int64_t>(int64_t{rect.x} + rect.width, image.width);
    const int64_t bottom = std::min<int64_t>(int64_t{rect.y} + rect.height, image.height);
    if (right <= left || bottom <= top) {
        return false;
    }
    clipped = {static_cast<int32_t>(left), static_cast<int32_t>(top),
               static_cast<int32_t>(right - left), static_cast<int32_t>(bottom - top)};
    return true;
}

class X11WindowPresenter final : public WindowPresenter
{
public:
    X11WindowPresenter(Display* display, Window window, const XWindowAttributes& attributes,
                       bool mayShareMemory)
        : mDisplay(display), mWindow(window), mVisual(attributes.visual), mDepth(attributes.depth)
    {
        mGc = XCreateGC(mDisplay, mWindow, 0, nullptr);
        // The picture's words can go to the server as they are only when the window takes
        // 0x00RRGGBB pixels in 32-bit units.
        mSameLayout = (mDepth == 24 || mDepth == 32) && mVisual->red_mask == 0xFF0000 &&
                      mVisual->green_mask == 0xFF00 && mVisual->blue_mask == 0xFF;
        mShmAvailable = mayShareMemory && mSameLayout && XShmQueryExtension(mDisplay);
    }

    ~X11WindowPresenter() override
    {
        ReleaseSharedImage();
        XFreeGC(mDisplay, mGc);
    }

    void Present(const PixelImageView& image, std::span<const PixelRect> rects) override
    {
        if (image.pixels == nullptr || image.width <= 0 || image.height <= 0) {
            return;
        }
        const bool shared = mShmAvailable && !IsLargeFrame(image, rects);
        for (const PixelRect& rect : rects) {
            PixelRect clipped;
            if (!ClipToImage(rect, image, clipped)) {
                continue;
            }
            if (!mSameLayout) {
                PutConverted(image, clipped);
            } else if (shared && EnsureSharedImage(image.width, image.height)) {
                PutShared(image, clipped);
            } else {
                PutDirect(image, clipped);
            }
        }
        // The shared image is written again by the next frame, and tests read the window back
        // on another connection: both need the server to have taken every pixel.
        XSync(mDisplay, False);
        ReleaseSharedPages();
    }

    bool SharesMemory() const override { return mShmAttached; }

private:
    // A frame that covers a quarter of the picture or more goes over the connection: the
    // segment's pages were given back after the last frame, and writing them again costs a
    // fault and a cleared page each, more than the server's reading the pixels from the socket.
    static bool IsLargeFrame(const PixelImageView& image, std::span<const PixelRect> rects)
    {
        int64_t area = 0;
        for (const PixelRect& rect : rects) {
            PixelRect clipped;
            if (ClipToImage(rect, image, clipped)) {
                area += int64_t{clipped.width} * clipped.height;
            }
        }
        return area * 4 >= int64_t{image.width} * image.height;
    }

    bool EnsureSharedImage(int32_t width, int32_t height)
    {
        if (mShmImage != nullptr && mShmImage->width >= width && mShmImage->height >= height) {
            return true;
        }
        ReleaseSharedImage();
        mShmImage =
            XShmCreateImage(mDisplay, mVisual, static_cast<unsigned>(mDepth), ZPixmap, nullptr,
                            &mShm, static_cast<unsigned>(width), static_cast<unsigned>(height));
        if (mShmImage == nullptr || mShmImage->bits_per_pixel != 32) {
            return GiveUpSharedMemory();
        }
        const size_t bytes = static_cast<size_t>(mShmImage->bytes_per_line) * height;
        mShmBytes = bytes;
        mShm.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
        if (mShm.shmid < 0) {
            return GiveUpSharedMemory();
        }
        mShm.shmaddr = static_cast<char*>(shmat(mShm.shmid, nullptr, 0));
        if (mShm.shmaddr == reinterpret_cast<char*>(-1)) {
            mShm.shmaddr = nullptr;
            return GiveUpSharedMemory();
        }
        mShmImage->data = mShm.shmaddr;
        mShm.readOnly = False;

        XSync(mDisplay, False);
        gShmAttachFailed = false;
        XErrorHandler previous = XSetErrorHandler(NoteShmAttachFailure);
        const Status attached = XShmAttach(mDisplay, &mShm);
        XSync(mDisplay, False);
        XSetErrorHandler(previous);
        if (!attached || gShmAttachFailed) {
            return GiveUpSharedMemory();
        }
        mShmAttached = true;
        // The segment goes away with the last detach, even if the program dies.
        shmctl(mShm.shmid, IPC_RMID, nullptr);
        return true;
    }

    // The server has taken the pixels: the segment's pages go back to the system until the next
    // frame writes its rectangles again, so a window that shows a still picture keeps no second
    // copy of it. That frame finds zeros elsewhere, which it does not present.
    void ReleaseSharedPages()
    {
        if (mShmAttached && mShm.shmaddr != nullptr) {
            // A kernel that cannot free shared pages keeps them, as before.
            madvise(mShm.shmaddr, mShmBytes, MADV_REMOVE);
        }
    }

    bool GiveUpSharedMemory()
    {
        ReleaseSharedImage();
        mShmAvailable = false;
        return false;
    }

    void ReleaseSharedImage()
    {
        if (mShmAttached) {
            XShmDetach(mDisplay, &mShm);
            XSync(mDisplay, False);
            mShmAttached = false;
        }
        if (mShm.shmaddr != nullptr) {
            shmdt(mShm.shmaddr);
            mShm.shmaddr = nullptr;
        }
        if (mShm.shmid >= 0) {
            shmctl(mShm.shmid, IPC_RMID, nullptr);
            mShm.shmid = -1;
        }
        if (mShmImage != nullptr) {
            mShmImage->data = nullptr;
            XDestroyImage(mShmImage);
            mShmImage = nullptr;
        }
    }

    void PutShared(const PixelImageView& image, const PixelRect& rect)
    {
        const auto* source = reinterpret_cast<const char*>(image.pixels);
        for (int32_t row = rect.y; row < rect.y + rect.height; ++row) {
            std::memcpy(mShmImage->data + static_cast<size_t>(row) * mShmImage->bytes_per_line +
                            static_cast<size_t>(rect.x) * 4,
                        source + static_cast<size_t>(row) * image.stride +
                            static_cast<size_t>(rect.x) * 4,
                        static_cast<size_t>(rect.width) * 4);
        }
        XShmPutImage(mDisplay, mWindow, mGc, mShmImage, rect.x, rect.y, rect.x, rect.y,
                     static_cast<unsigned>(rect.width), static_cast<unsigned>(rect.height), False);
    }

    void PutDirect(const PixelImageView& image, const PixelRect& rect)
    {
        // An image header over the picture's own pixels: Xlib copies the rectangle into its
        // request, so nothing is converted or kept.
        XImage* header = XCreateImage(mDisplay, mVisual, static_cast<unsigned>(mDepth), ZPixmap, 0,
                                      reinterpret_cast<char*>(const_cast<uint32_t*>(image.pixels)),
                                      static_cast<unsigned>(image.width),
                                      static_cast<unsigned>(image.height), 32, image.stride);
        if (header == nullptr) {
            return;
        }
        XPutImage(mDisplay, mWindow, mGc, header, rect.x, rect.y, rect.x, rect.y,
                  static_cast<unsigned>(rect.width), static_cast<unsigned>(rect.height));
        header->data = nullptr;
        XDestroyImage(header);
    }

    void PutConverted(const PixelImageView& image, const PixelRect& rect)
    {
        XImage* converted = XCreateImage(mDisplay, mVisual, static_cast<unsigned>(mDepth), ZPixmap,
                                         0, nullptr, static_cast<unsigned>(rect.width),
                                         static_cast<unsigned>(rect.height), 32, 0);
        if (converted == nullptr) {
            return;
        }
        converted->data = static_cast<char*>(
            std::calloc(static_cast<size_t>(converted->bytes_per_line), rect.height));
        if (converted->data == nullptr) {
            XDestroyImage(converted);
            return;
        }
        const auto channel = [](uint32_t value, unsigned long mask) -> unsigned long {
            // Scales an 8-bit channel to the mask's width and moves it into place.
            if (mask == 0) {
                return 0;
            }
            const int shift = __builtin_ctzl(mask);
            const unsigned long bits = mask >> shift;
            return ((value * bits + 127) / 255) << shift;
        };
        const auto* source = reinterpret_cast<const char*>(image.pixels);
        for (int32_t row = 0; row < rect.height; ++row) {
            const auto* line = reinterpret_cast<const uint32_t*>(
                source + static_cast<size_t>(rect.y + row) * image.stride);
            for (int32_t column = 0; column < rect.width; ++column) {
                const uint32_t pixel = line[rect.x + column];
                XPutPixel(converted, column, row,
                          channel((pixel >> 16) & 0xFF, mVisual->red_mask) |
                              channel((pixel >> 8) & 0xFF, mVisual->green_mask) |
                              channel(pixel & 0xFF, mVisual->blue_mask));
            }
        }
        XPutImage(mDisplay, mWindow, mGc, converted, 0, 0, rect.x, rect.y,
                  static_cast<unsigned>(rect.width), static_cast<unsigned>(rect.height));
        XDestroyImage(converted);
    }

    Display* mDisplay;
    Window mWindow;
    Visual* mVisual;
    int mDepth;
    GC mGc = nullptr;
    bool mSameLayout = false;
    bool mShmAvailable = false;
    bool mShmAttached = false;
    XShmSegmentInfo mShm{0, -1, nullptr, False};
    size_t mShmBytes = 0;
    XImage* mShmImage = nullptr;
};

} // namespace

std::unique_ptr<WindowPresenter> WindowPresenter::Create(HWND window, bool mayShareMemory)
{
    if (window == nullptr || window->display == nullptr || window->window == 0) {
        return nullptr;
    }
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(window->display, window->window, &attributes)) {
        return nullptr;
    }
    return std::make_unique<X11WindowPresenter>(window->display, window->window, attributes,
                                                mayShareMemory);
}

} // namespace svp
