#include "Renderer/Gdi/GDIRendererOffscreenSurface.h"

#include "MemoryPages.h"

#include <cairo.h>

#include <algorithm>

namespace SV {
namespace {

// The largest extent a Cairo image surface takes.
constexpr int32_t kLargestExtent = 32767;

} // namespace

uint32_t PremultiplyArgb(uint32_t argb)
{
    const uint32_t alpha = argb >> 24;
    if (alpha == 255) {
        return argb;
    }
    const auto scale = [alpha](uint32_t channel) { return (channel * alpha + 127) / 255; };
    return alpha << 24 | scale((argb >> 16) & 0xFF) << 16 | scale((argb >> 8) & 0xFF) << 8 |
           scale(argb & 0xFF);
}

uint32_t UnpremultiplyArgb(uint32_t premultiplied)
{
    const uint32_t alpha = premultiplied >> 24;
    if (alpha == 255 || alpha == 0) {
        return alpha == 0 ? 0 : premultiplied;
    }
    const auto scale = [alpha](uint32_t channel) {
        return std::min<uint32_t>(255, (channel * 255 + alpha / 2) / alpha);
    };
    return alpha << 24 | scale((premultiplied >> 16) & 0xFF) << 16 |
           scale((premultiplied >> 8) & 0xFF) << 8 | scale(premultiplied & 0xFF);
}

LGDIRendererOffscreenSurface::LGDIRendererOffscreenSurface(int32_t width, int32_t height,
                                                           svp::HWND window)
    : mWindow(window)
{
    Resize(width, height);
}

int32_t LGDIRendererOffscreenSurface::Resize(int32_t width, int32_t height)
{
    mGraphics = nullptr;
    mSurface = nullptr;
    mFirstFramePrepared = false;
    width = std::clamp(width, 1, kLargestExtent);
    height = std::clamp(height, 1, kLargestExtent);
    mSurface.reset(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    if (cairo_surface_status(mSurface.get()) != CAIRO_STATUS_SUCCESS) {
        // Out of memory: a 1 x 1 picture keeps every later call harmless.
        mSurface.reset(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1));
    }
    mGraphics.reset(cairo_create(mSurface.get()));
    return 0;
}

void LGDIRendererOffscreenSurface::Clear()
{
    if (mSurface == nullptr) {
        return;
    }
    mGraphics.reset(cairo_create(mSurface.get()));
    cairo_set_operator(mGraphics.get(), CAIRO_OPERATOR_CLEAR);
    cairo_paint(mGraphics.get());
    mGraphics.reset(cairo_create(mSurface.get()));
}

void LGDIRendererOffscreenSurface::PrepareFirstFrame()
{
    if (mFirstFramePrepared || mSurface == nullptr) {
        return;
    }
    mFirstFramePrepared = true;
    svp::PrefaultForWriting(
        cairo_image_surface_get_data(mSurface.get()),
        static_cast<size_t>(cairo_image_surface_get_stride(mSurface.get())) *
            static_cast<size_t>(cairo_image_surface_get_height(mSurface.get())));
}

std::pair<int32_t, int32_t> LGDIRendererOffscreenSurface::GetSize() const
{
    if (mSurface == nullptr) {
        return {0, 0};
    }
    return {cairo_image_surface_get_width(mSurface.get()),
            cairo_image_surface_get_height(mSurface.get())};
}

bool LGDIRendererOffscreenSurface::DrawTo(cairo_t* target, const PointT<int32_t>& point,
                                          const RectT<int32_t>& source) const
{
    if (target == nullptr || mSurface == nullptr) {
        return false;
    }
    if (source.width <= 0 || source.height <= 0) {
        return true;
    }
    cairo_save(target);
    cairo_set_source_surface(target, mSurface.get(), static_cast<double>(point.x) - source.x,
                             static_cast<double>(point.y) - source.y);
    cairo_pattern_set_filter(cairo_get_source(target), CAIRO_FILTER_NEAREST);
    cairo_rectangle(target, point.x, point.y, source.width, source.height);
    cairo_fill(target);
    cairo_restore(target);
    return cairo_status(target) == CAIRO_STATUS_SUCCESS;
}

uint32_t LGDIRendererOffscreenSurface::GetPixel(int32_t x, int32_t y) const
{
    const auto [width, height] = GetSize();
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return 0;
    }
    cairo_surface_flush(mSurface.get());
    const unsigned char* row =
        cairo_image_surface_get_data(mSurface.get()) +
        static_cast<ptrdiff_t>(y) * cairo_image_surface_get_stride(mSurface.get());
    return UnpremultiplyArgb(reinterpret_cast<const uint32_t*>(row)[x]);
}

void LGDIRendererOffscreenSurface::SetPixels(const RectT<int32_t>& rect, uint32_t argb)
{
    const auto [width, height] = GetSize();
    const int64_t left = std::max<int64_t>(rect.x, 0);
    const int64_t top = std::max<int64_t>(rect.y, 0);
    const int64_t right = std::min<int64_t>(int64_t{rect.x} + rect.width, width);
    const int64_t bottom = std::min<int64_t>(int64_t{rect.y} + rect.height, height);
    if (right <= left || bottom <= top) {
        return;
    }
    cairo_surface_flush(mSurface.get());
    const uint32_t pixel = PremultiplyArgb(argb);
    unsigned char* data = cairo_image_surface_get_data(mSurface.get());
    const int stride = cairo_image_surface_get_stride(mSurface.get());
    for (int64_t y = top; y < bottom; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
        std::fill(row + left, row + right, pixel);
    }
    cairo_surface_mark_dirty_rectangle(mSurface.get(), static_cast<int>(left),
                                       static_cast<int>(top), static_cast<int>(right - left),
                                       static_cast<int>(bottom - top));
}

} // namespace SV
