#include "Renderer/Gdi/GDIRenderer.h"

#include "MonotonicClock.h"
#include "ObjectBase/Exception.h"
#include "Renderer/Font.h"
#include "ResultCodes.h"
#include "ScreenResolution.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace SV {
namespace {

constexpr int32_t kCacheCapacity = 256;
constexpr int32_t kPurgeIntervalMs = 300000;
// Cairo keeps coordinates in 24.8 fixed point: clip edges beyond this would wrap around.
constexpr double kLargestCoordinate = 4194304.0;
// Offsets of path drawing are clamped to +-2^52, where doubles still hold whole numbers.
constexpr double kLargestOffset = 4503599627370496.0;

int32_t RoundToInt(double value)
{
    return PointT<double>{value, 0.0}.Round().x;
}

void SetSourceColor(cairo_t* cr, const ColorT& color)
{
    cairo_set_source_rgba(cr, color.red, color.green, color.blue, color.alpha);
}

// GDI+ pens narrower than a pixel still draw one pixel wide.
double PenWidth(float width)
{
    return std::max(1.0, static_cast<double>(width));
}

// Shapes are drawn with pixel centres on whole coordinates, as GDI+ draws them without pixel
// offset: a 1-pixel line at y = 5 covers row 5, a rectangle (x, y, w, h) fills columns x to
// x + w - 1. Cairo's pixel centres lie at half coordinates, hence the shift.
class ShapeScope
{
public:
    explicit ShapeScope(cairo_t* cr) : mCr(cr)
    {
        cairo_save(mCr);
        cairo_translate(mCr, 0.5, 0.5);
    }
    ~ShapeScope() { cairo_restore(mCr); }
    ShapeScope(const ShapeScope&) = delete;
    ShapeScope& operator=(const ShapeScope&) = delete;

private:
    cairo_t* mCr;
};

const cairo_user_data_key_t kHeldPicture{};

// An opaque area of a picture is the same premultiplied or not: the surface reads the picture's
// own pixels instead of a copy, and holds the picture while it lives, so that a large skin
// picture is not kept twice. Null when a pixel of the area is not opaque.
svp::CairoSurfacePtr WrapOpaqueArea(const ArgbPixels& picture, const RectT<int32_t>& area)
{
    for (int32_t row = 0; row < area.height; ++row) {
        const uint32_t* line = picture.GetPixelForRead(area.x, area.y + row);
        for (int32_t x = 0; x < area.width; ++x) {
            if ((line[x] >> 24) != 0xFF) {
                return nullptr;
            }
        }
    }
    auto* first = reinterpret_cast<unsigned char*>(
        const_cast<uint32_t*>(picture.GetPixelForRead(area.x, area.y)));
    svp::CairoSurfacePtr surface(cairo_image_surface_create_for_data(
        first, CAIRO_FORMAT_ARGB32, area.width, area.height, picture.GetStride()));
    auto* held = const_cast<ArgbPixels*>(&picture);
    held->AddRef();
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS ||
        cairo_surface_set_user_data(surface.get(), &kHeldPicture, held, [](void* data) {
            static_cast<ArgbPixels*>(data)->Release();
        }) != CAIRO_STATUS_SUCCESS) {
        held->Release();
        return nullptr;
    }
    return surface;
}

// The pixels of a bitmap's rectangle as a premultiplied Cairo surface of the rectangle's size;
// the part of the rectangle that lies off its picture stays transparent. Null when the bitmap
// has no pixels or the rectangle is too large for a surface.
svp::CairoSurfacePtr MakeSourceSurface(const LBitmap& bitmap)
{
    const ArgbPixels* picture = bitmap.GetPixelSource();
    const RectT<int32_t>& rect = bitmap.GetRect();
    if (picture == nullptr || rect.width <= 0 || rect.height <= 0) {
        return nullptr;
    }
    const RectT<int32_t> onPicture = bitmap.GetRectOnPicture();
    if (onPicture.width == rect.width && onPicture.height == rect.height) {
        if (svp::CairoSurfacePtr wrapped = WrapOpaqueArea(*picture, onPicture)) {
            return wrapped;
        }
    }
    svp::CairoSurfacePtr surface(
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, rect.width, rect.height));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
        return nullptr;
    }
    const RectT<int32_t> area = bitmap.GetRectOnPicture();
    unsigned char* pixels = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    for (int32_t row = 0; row < area.height; ++row) {
        const uint32_t* from = picture->GetPixelForRead(area.x, area.y + row);
        auto* to = reinterpret_cast<uint32_t*>(
                       pixels + static_cast<ptrdiff_t>(area.y - rect.y + row) * stride) +
                   (area.x - rect.x);
        for (int32_t x = 0; x < area.width; ++x) {
            to[x] = PremultiplyArgb(from[x]);
        }
    }
    cairo_surface_mark_dirty(surface.get());
    return surface;
}

} // namespace

LGDIRenderer::LGDIRenderer() : LGDIRenderer(svp::GetScreenResolution(), &svp::GetTickMilliseconds)
{}

LGDIRenderer::LGDIRenderer(int32_t screenResolution, Clock clock)
    : mScreenResolution(screenResolution > 0 ? screenResolution : 96), mBitmapCache(kCacheCapacity),
      mPathCache(kCacheCapacity), mClock(clock)
{
    mLastPurgeTime = mClock();
}

LGDIRenderer::~LGDIRenderer() = default;

LGDIRenderer::CashableBitmapDescriptor
LGDIRenderer::GetBitmapKey(const CashableBitmapDescriptor& source)
{
    return source;
}

uint32_t LGDIRenderer::GetBitmapHash(const CashableBitmapDescriptor& key)
{
    // Bits 4 to 11 of the identity of the bitmap's pixel source.
    const ArgbPixels* source = key.bitmap ? key.bitmap->GetPixelSource() : nullptr;
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(source) >> 4) & 0xFF;
}

int32_t LGDIRenderer::GetPathKey(const PolylineT<float>& polyline)
{
    return polyline.GetHandle();
}

uint32_t LGDIRenderer::GetPathHash(const int32_t& handle)
{
    return static_cast<uint32_t>(handle >> 4) & 0xFF;
}

cairo_t* LGDIRenderer::Graphics() const
{
    return mCurrentContext ? mCurrentContext->GetGraphics() : nullptr;
}

int32_t LGDIRenderer::GetFontMetrics(const ConstRCPtr<LFont>& font, int32_t& height,
                                     int32_t& ascent, int32_t& descent)
{
    if (!font) {
        return 0;
    }
    const FontDesignMetrics& metrics =
        mText.GetDesignMetrics(font->GetFamilyName(), font->GetStyle());
    if (metrics.emHeight <= 0) {
        return 0;
    }
    // The font's size is taken as pixels here; the line height is that at 72 dpi, then scaled
    // to 96 dpi.
    const double size = font->GetSize();
    const double emHeight = metrics.emHeight;
    const double lineHeight = size * metrics.lineSpacing / emHeight;
    height = RoundToInt(lineHeight * 96.0 / 72.0 + 0.499);
    ascent = RoundToInt(metrics.cellAscent * size * -96.0 / (emHeight * 72.0) - 0.499);
    descent = RoundToInt(metrics.cellDescent * size * 96.0 / (emHeight * 72.0) + 0.499);
    return 0;
}

RectT<float> LGDIRenderer::MeasureText(const WideString& text, const ConstRCPtr<LFont>& font)
{
    if (text.IsEmpty() || !font) {
        return {0.0f, 0.0f, 0.0f, 0.0f};
    }
    int32_t height = 0;
    int32_t ascent = 0;
    int32_t descent = 0;
    GetFontMetrics(font, height, ascent, descent);

    // Measured in points on a 96-dpi surface.
    const double emPixels = font->GetSize() * 96.0 / 72.0;
    const double right =
        mText.MeasureWidth(text, font->GetFamilyName(), emPixels, font->GetStyle());
    double width = right;
    if (mScreenResolution != 96) {
        width = RoundToInt((9600.0 / mScreenResolution) * right / 100.0 + 3.0);
    }
    return {0.0f, static_cast<float>(ascent), static_cast<float>(width),
            static_cast<float>(height)};
}

int32_t LGDIRenderer::GetRendererType() const
{
    return kTypeGdiPlus;
}

int32_t LGDIRenderer::InitRenderContextInfo(const RectT<int32_t>& target, svp::HWND window,
                                            int32_t offscreenOnly,
                                            RCPtr<LRenderContextInfo>& context)
{
    context = RCPtr<LRenderContextInfo>(new LGDIRenderContextInfo(target, window, offscreenOnly));
    return context ? 0 : E_FAIL;
}

int32_t LGDIRenderer::RenderStart(const RCPtr<LRenderContextInfo>& context)
{
    LRenderer::RenderStart(context);
    // The first context of the stack, not one nested in another's frame.
    const bool outermost = !mCurrentContext;
    mCurrentContext = RCPtr<LGDIRenderContextInfo>(context);
    if (!mCurrentContext) {
        return 0;
    }
    mCurrentContext->PrepareSurface();

    cairo_t* cr = mCurrentContext->GetGraphics();
    // Image surfaces have no resolution of their own; they are drawn at 96 dpi.
    mScale = 96.0f / 96.0f;
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);

    const RenderState& state = mCurrentContext->GetState();
    if (outermost && (state.origin.x != 0.0 || state.origin.y != 0.0)) {
        // A picture kept from the last frame still carries that frame's translation; the
        // origin is applied to a clean transform so that it is not counted twice.
        cairo_identity_matrix(cr);
        cairo_translate(cr, static_cast<float>(state.origin.x), static_cast<float>(state.origin.y));
    }
    return 0;
}

int32_t LGDIRenderer::RenderFinish(const RCPtr<LRenderContextInfo>& context)
{
    // A finish that does not match is refused before anything is presented, so the frame that
    // is current stays current.
    if (context.Get() != GetCurrentContext() || !mCurrentContext) {
        return LRenderer::RenderFinish(context);
    }
    mCurrentContext->Present();
    mCurrentContext = nullptr;
    LRenderer::RenderFinish(context);
    if (LRenderContextInfo* below = GetCurrentContext()) {
        mCurrentContext = RCPtr<LGDIRenderContextInfo>(RCPtr<LRenderContextInfo>(below));
    }
    PurgeWhenDue();
    return 0;
}

void LGDIRenderer::PurgeWhenDue()
{
    const uint32_t now = mClock();
    if (static_cast<int32_t>(now - mLastPurgeTime) > kPurgeIntervalMs) {
        mBitmapCache.Purge(mBitmapCache.GetPurgeMark());
        mBitmapCache.SetPurgeMark(mBitmapCache.GetClock());
        mLastPurgeTime = now;
    }
}

void LGDIRenderer::SetClipRect(const RectT<double>& clip)
{
    LRenderer::SetClipRect(clip);
    cairo_t* cr = Graphics();
    if (cr == nullptr) {
        return;
    }
    const RenderState& state = mCurrentContext->GetState();
    const auto edge = [](double value) {
        return std::clamp(static_cast<double>(static_cast<float>(value)), -kLargestCoordinate,
                          kLargestCoordinate);
    };
    const double left = edge(state.clip.x);
    const double top = edge(state.clip.y);
    const double right = edge(state.clip.x + state.clip.width);
    const double bottom = edge(state.clip.y + state.clip.height);
    cairo_reset_clip(cr);
    cairo_new_path(cr);
    cairo_rectangle(cr, left, top, std::max(0.0, right - left), std::max(0.0, bottom - top));
    cairo_clip(cr);
}

void LGDIRenderer::Translate(const PointT<double>& delta)
{
    LRenderer::Translate(delta);
    cairo_t* cr = Graphics();
    if (cr == nullptr) {
        return;
    }
    const RenderState& state = mCurrentContext->GetState();
    cairo_identity_matrix(cr);
    cairo_translate(cr, static_cast<float>(state.origin.x), static_cast<float>(state.origin.y));
}

void LGDIRenderer::DrawText(const WideString& text, const ConstRCPtr<LFont>& font,
                            const PointT<int32_t>& position, const ColorT& color)
{
    cairo_t* cr = Graphics();
    if (cr == nullptr || !font) {
        return;
    }
    const double emPixels = font->GetSize() * mScale * 96.0 / 72.0;
    // The layout box starts one pixel above the position.
    mText.Draw(cr, text, font->GetFamilyName(), emPixels, font->GetStyle(),
               static_cast<float>(position.x), static_cast<float>(position.y) - 1.0f, color);
}

void LGDIRenderer::DrawRect(const RectT<int32_t>& rect, const ColorT& color, float penWidth)
{
    cairo_t* cr = Graphics();
    if (cr == nullptr || rect.width < 0 || rect.height < 0) {
        return;
    }
    ShapeScope shape(cr);
    SetSourceColor(cr, color);
    cairo_set_line_width(cr, PenWidth(penWidth));
    cairo_rectangle(cr, rect.x, rect.y, rect.width, rect.height);
    cairo_stroke(cr);
}

void LGDIRenderer::FillRect(const RectT<int32_t>& rect, const ColorT& color, bool blend)
{
    cairo_t* cr = Graphics();
    if (cr == nullptr || rect.width <= 0 || rect.height <= 0) {
        return;
    }
    if (!blend) {
        // The colour replaces the pixels, alpha included: the rectangle moved by the origin,
        // the clip not applied.
        const PointT<int32_t> origin = mCurrentContext->GetState().origin.Round();
        const RectT<int32_t> moved{static_cast<int32_t>(int64_t{rect.x} + origin.x),
                                   static_cast<int32_t>(int64_t{rect.y} + origin.y), rect.width,
                                   rect.height};
        mCurrentContext->GetCurrentSurface()->SetPixels(moved, color.ToARGB());
        return;
    }
    SetSourceColor(cr, color);
    cairo_rectangle(cr, rect.x, rect.y, rect.width, rect.height);
    cairo_fill(cr);
}

void LGDIRenderer::DrawFilledRect(const RectT<int32_t>& rect, const ColorT& fill,
                                  const ColorT& outline, float penWidth)
{
    DrawFilledRectWithFillAndOutline(rect, fill, outline, penWidth);
}

void LGDIRenderer::FillColorRectList(ColorRectListT<float>& list, const PointT<double>& offset,
                                     bool)
{
    if (Graphics() == nullptr) {
        return;
    }
    Translate(offset);
    const std::vector<RectT<float>>& rects = list.GetRects();
    const std::vector<uint32_t>& colors = list.GetColors();
    for (size_t i = rects.size(); i-- > 0;) {
        const RectT<float>& r = rects[i];
        const RectT<int32_t> scaled =
            RoundRect({r.x * list.GetScaleX(), r.y * list.GetScaleY(), r.width * list.GetScaleX(),
                       r.height * list.GetScaleY()});
        ColorT color;
        color.FromARGB(i < colors.size() ? colors[i] : 0);
        FillRect(scaled, color, true);
    }
    Translate({-offset.x, -offset.y});
}

void LGDIRenderer::DrawLine(const PointT<float>& from, const PointT<float>& to, const ColorT& color,
                            float penWidth)
{
    cairo_t* cr = Graphics();
    if (cr == nullptr) {
        return;
    }
    ShapeScope shape(cr);
    SetSourceColor(cr, color);
    cairo_set_line_width(cr, PenWidth(penWidth));
    cairo_move_to(cr, from.x, from.y);
    cairo_line_to(cr, to.x, to.y);
    cairo_stroke(cr);
}

void LGDIRenderer::DrawLineSegments(PolylineT<float>& points, const ColorT& color,
                                    const PointT<float>& offset, const PointT<float>& scale,
                                    bool keepCached)
{
    DrawPath(points, PathKind::Segments, false, color, offset, scale, keepCached);
}

void LGDIRenderer::DrawPolyline(PolylineT<float>& points, const ColorT& color,
                                const PointT<float>& offset, const PointT<float>& scale,
                                bool keepCached)
{
    DrawPath(points, PathKind::Polyline, false, color, offset, scale, keepCached);
}

void LGDIRenderer::DrawPolygon(PolylineT<float>& points, const ColorT& color,
                               const PointT<float>& offset, const PointT<float>& scale,
                               bool keepCached)
{
    DrawPath(points, PathKind::Polygon, false, color, offset, scale, keepCached);
}

void LGDIRenderer::FillPolygon(PolylineT<float>& points, const ColorT& color,
                               const PointT<float>& offset, const PointT<float>& scale,
                               bool keepCached)
{
    DrawPath(points, PathKind::Polygon, true, color, offset, scale, keepCached);
}

void LGDIRenderer::DrawPath(PolylineT<float>& points, PathKind kind, bool fill, const ColorT& color,
                            const PointT<float>& offset, const PointT<float>& scale,
                            bool keepCached)
{
    cairo_t* cr = Graphics();
    if (cr == nullptr) {
        return;
    }
    RCPtr<LGraphicsPath>& cached = mPathCache.Lookup(points, false);
    if (points.IsChanged()) {
        points.SetChanged(false);
        cached = nullptr;
    }
    if (!cached) {
        // Paths are built on a scratch context of their own, so the frame's path is untouched.
        const svp::CairoSurfacePtr scratchSurface(
            cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1));
        const svp::CairoPtr owned(cairo_create(scratchSurface.get()));
        cairo_t* scratch = owned.get();
        const std::vector<PointT<float>>& p = points.GetPoints();
        switch (kind) {
        case PathKind::Segments:
            for (size_t i = 0; i + 1 < p.size(); i += 2) {
                cairo_move_to(scratch, p[i].x, p[i].y);
                cairo_line_to(scratch, p[i + 1].x, p[i + 1].y);
            }
            break;
        case PathKind::Polyline:
        case PathKind::Polygon:
            for (size_t i = 0; i < p.size(); ++i) {
                if (i == 0) {
                    cairo_move_to(scratch, p[i].x, p[i].y);
                } else {
                    cairo_line_to(scratch, p[i].x, p[i].y);
                }
            }
            if (kind == PathKind::Polygon && !p.empty()) {
                cairo_close_path(scratch);
            }
            break;
        }
        cached =
            RCPtr<LGraphicsPath>(new LGraphicsPath(svp::CairoPathPtr(cairo_copy_path(scratch))));
    }
    // The entry may be handed to another polyline by a later lookup; this draw keeps its path.
    const RCPtr<LGraphicsPath> path = cached;

    const auto clampOffset = [](float value) {
        return std::clamp(static_cast<double>(value), -kLargestOffset, kLargestOffset);
    };
    const PointT<double> shift{clampOffset(offset.x), clampOffset(offset.y)};
    Translate(shift);
    {
        ShapeScope shape(cr);
        constexpr float kScaleTolerance = 1.1920929e-6f;
        const bool scaled = std::fabs(scale.x - 1.0f) > kScaleTolerance ||
                            std::fabs(scale.y - 1.0f) > kScaleTolerance;
        cairo_new_path(cr);
        if (scaled) {
            // The points are scaled, the pen is not.
            cairo_save(cr);
            cairo_scale(cr, scale.x, scale.y);
            cairo_append_path(cr, path->GetPath());
            cairo_restore(cr);
        } else {
            cairo_append_path(cr, path->GetPath());
        }
        SetSourceColor(cr, color);
        if (fill) {
            cairo_fill(cr);
        } else {
            cairo_set_line_width(cr, PenWidth(points.GetPenWidth()));
            cairo_stroke(cr);
        }
    }
    Translate({-shift.x, -shift.y});
    if (!keepCached) {
        cached = nullptr;
    }
}

svp::CairoSurfacePtr LGDIRenderer::RenderBitmap(const LBitmap& bitmap, int32_t width,
                                                int32_t height, ResizeType resizeType) const
{
    svp::CairoSurfacePtr source = MakeSourceSurface(bitmap);
    if (source == nullptr) {
        return nullptr;
    }
    const double sw = cairo_image_surface_get_width(source.get());
    const double sh = cairo_image_surface_get_height(source.get());
    const double dw = width;
    const double dh = height;
    if (sw == dw && sh == dh) {
        // At its own size the picture is drawn as it is: the premultiplied copy is the result,
        // without a second picture to fill (most pieces of a skin are drawn so).
        return source;
    }
    if (resizeType != ResizeType::Stretch && resizeType != ResizeType::Tile &&
        resizeType != ResizeType::Center) {
        throw Exception<std::invalid_argument>(
            "Invalid Argument : Invalid ResizeType passed to DrawBitmap. : "
            "SV::LGDIRenderer::DrawBitmap : Renderer\\Gdi\\GDIRenderer : Line 553");
    }

    svp::CairoSurfacePtr rendered(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    const svp::CairoPtr owned(cairo_create(rendered.get()));
    cairo_t* cr = owned.get();
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    const auto drawAt = [&](double x, double y, double scaleX, double scaleY) {
        cairo_save(cr);
        cairo_translate(cr, x, y);
        cairo_scale(cr, scaleX, scaleY);
        cairo_set_source_surface(cr, source.get(), 0.0, 0.0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
        cairo_rectangle(cr, 0.0, 0.0, sw, sh);
        cairo_fill(cr);
        cairo_restore(cr);
    };
    switch (resizeType) {
    case ResizeType::Stretch:
        drawAt(0.0, 0.0, dw / sw, dh / sh);
        break;
    case ResizeType::Tile:
        if (dw / sw < 3.0 && dh / sh < 3.0) {
            for (double x = 0.0; x < dw; x += sw) {
                for (double y = 0.0; y < dh; y += sh) {
                    drawAt(x, y, 1.0, 1.0);
                }
            }
        } else {
            // Many tiles: one fill with the picture repeated.
            cairo_set_source_surface(cr, source.get(), 0.0, 0.0);
            cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_REPEAT);
            cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
            cairo_rectangle(cr, 0.0, 0.0, dw, dh);
            cairo_fill(cr);
        }
        break;
    case ResizeType::Center:
        drawAt((dw - sw) * 0.5, (dh - sh) * 0.5, 1.0, 1.0);
        break;
    }
    cairo_surface_flush(rendered.get());
    return rendered;
}

void LGDIRenderer::DrawBitmap(const ConstRCPtr<LBitmap>& bitmap, const RectT<int32_t>& destination,
                              const ResizeType& resizeType)
{
    cairo_t* cr = Graphics();
    if (cr == nullptr) {
        throw Exception<std::runtime_error>(
            "Runtime Error : SV::LGDIRenderer::DrawBitmap : Renderer\\Gdi\\GDIRenderer : Line 562");
    }
    if (!bitmap || destination.width <= 0 || destination.height <= 0) {
        return;
    }
    const CashableBitmapDescriptor key{bitmap, destination.width, destination.height};
    RCPtr<LCachedBitmap>& cached = mBitmapCache.Lookup(key, false);
    if (!cached) {
        svp::CairoSurfacePtr rendered =
            RenderBitmap(*bitmap, destination.width, destination.height, resizeType);
        if (rendered == nullptr) {
            return;
        }
        cached = RCPtr<LCachedBitmap>(new LCachedBitmap(std::move(rendered)));
    }
    cairo_set_source_surface(cr, cached->GetSurface(), destination.x, destination.y);
    cairo_rectangle(cr, destination.x, destination.y, destination.width, destination.height);
    cairo_fill(cr);
}

int32_t LGDIRenderer::DrawContextSurface(const RCPtr<LRenderContextInfo>& source,
                                         const PointT<int32_t>& destination,
                                         const RectT<int32_t>& sourceRect)
{
    const RCPtr<LGDIRenderContextInfo> gdiSource(source);
    if (!gdiSource || !gdiSource->IsOffscreenOnly()) {
        return E_INVALIDARG;
    }
    cairo_t* cr = Graphics();
    if (cr == nullptr) {
        return E_FAIL;
    }
    return gdiSource->GetCurrentSurface()->DrawTo(cr, destination, sourceRect) ? 0 : E_FAIL;
}

int32_t LGDIRenderer::CopyContextSurface(const RCPtr<LRenderContextInfo>& context,
                                         const PointT<int32_t>& offset)
{
    const RCPtr<LGDIRenderContextInfo> gdiContext(context);
    if (!gdiContext || !gdiContext->IsOffscreenOnly()) {
        return E_INVALIDARG;
    }
    gdiContext->SwapSurfaces();
    const RCPtr<LGDIRendererOffscreenSurface>& current = gdiContext->GetCurrentSurface();
    const RCPtr<LGDIRendererOffscreenSurface>& previous = gdiContext->GetSpareSurface();
    cairo_t* cr = current->GetGraphics();
    // Cleared and drawn in device pixels, whatever transform and clip the picture carries.
    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_reset_clip(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    const auto [width, height] = previous->GetSize();
    const bool drawn = previous->DrawTo(cr, offset, {0, 0, width, height});
    cairo_restore(cr);
    return drawn ? 0 : E_FAIL;
}

} // namespace SV
