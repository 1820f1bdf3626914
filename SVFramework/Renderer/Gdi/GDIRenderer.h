// Renderer type 1, the back end the program draws with: every operation goes to the current
// offscreen picture of the current render context (Cairo image surfaces), text goes through Pango,
// and the end of a frame presents the dirty rectangles to the window. Bitmaps are scaled, tiled
// or centred once per destination size and polylines are turned into paths once; both are kept
// in bounded caches.
#pragma once

#include "CairoHandles.h"
#include "ObjectBase/RCPtr.h"
#include "Renderer/Font.h"
#include "Renderer/Gdi/GDIRenderContextInfo.h"
#include "Renderer/Gdi/GDITextDrawer.h"
#include "Renderer/PurgableObjectCache.h"
#include "Renderer/Renderer.h"
#include "Utilities/Graphics/Bitmap.h"

#include <cstdint>
#include <utility>

namespace SV {

class LGDIRenderer : public LRenderer
{
public:
    // The application clock: milliseconds that wrap at 2^32.
    using Clock = uint32_t (*)();

    // Reads the screen's resolution and the clock from the platform.
    LGDIRenderer();
    // For callers that know the screen's resolution (dots per inch) and keep their own clock.
    LGDIRenderer(int32_t screenResolution, Clock clock);
    ~LGDIRenderer() override;

    // A bitmap pre-rendered at one destination size, ready to be copied under translation.
    class LCachedBitmap : public virtual LRefCountedObject
    {
    public:
        explicit LCachedBitmap(svp::CairoSurfacePtr surface) : mSurface(std::move(surface)) {}
        cairo_surface_t* GetSurface() const { return mSurface.get(); }

    private:
        svp::CairoSurfacePtr mSurface;
    };

    // The path of a polyline, in the polyline's own coordinates.
    class LGraphicsPath : public virtual LRefCountedObject
    {
    public:
        explicit LGraphicsPath(svp::CairoPathPtr path) : mPath(std::move(path)) {}
        const cairo_path_t* GetPath() const { return mPath.get(); }

    private:
        svp::CairoPathPtr mPath;
    };

    // What a pre-rendered bitmap is made from: the bitmap (held) and the destination size.
    struct CashableBitmapDescriptor
    {
        ConstRCPtr<LBitmap> bitmap;
        int32_t width = 0;
        int32_t height = 0;

        bool operator==(const CashableBitmapDescriptor& other) const
        {
            return bitmap.Get() == other.bitmap.Get() && width == other.width &&
                   height == other.height;
        }
    };

    int32_t GetFontMetrics(const ConstRCPtr<LFont>& font, int32_t& height, int32_t& ascent,
                           int32_t& descent) override;
    RectT<float> MeasureText(const WideString& text, const ConstRCPtr<LFont>& font) override;
    int32_t GetRendererType() const override;
    int32_t InitRenderContextInfo(const RectT<int32_t>& target, svp::HWND window,
                                  int32_t offscreenOnly,
                                  RCPtr<LRenderContextInfo>& context) override;
    int32_t RenderStart(const RCPtr<LRenderContextInfo>& context) override;
    int32_t RenderFinish(const RCPtr<LRenderContextInfo>& context) override;

    void DrawText(const WideString& text, const ConstRCPtr<LFont>& font,
                  const PointT<int32_t>& position, const ColorT& color) override;
    void DrawRect(const RectT<int32_t>& rect, const ColorT& color, float penWidth) override;
    void FillRect(const RectT<int32_t>& rect, const ColorT& color, bool blend) override;
    void DrawFilledRect(const RectT<int32_t>& rect, const ColorT& fill, const ColorT& outline,
                        float penWidth) override;
    void FillColorRectList(ColorRectListT<float>& list, const PointT<double>& offset,
                           bool useCache) override;
    void DrawLine(const PointT<float>& from, const PointT<float>& to, const ColorT& color,
                  float penWidth) override;
    void DrawLineSegments(PolylineT<float>& points, const ColorT& color,
                          const PointT<float>& offset, const PointT<float>& scale,
                          bool keepCached) override;
    void DrawPolyline(PolylineT<float>& points, const ColorT& color, const PointT<float>& offset,
                      const PointT<float>& scale, bool keepCached) override;
    void DrawPolygon(PolylineT<float>& points, const ColorT& color, const PointT<float>& offset,
                     const PointT<float>& scale, bool keepCached) override;
    void FillPolygon(PolylineT<float>& points, const ColorT& color, const PointT<float>& offset,
                     const PointT<float>& scale, bool keepCached) override;
    void DrawBitmap(const ConstRCPtr<LBitmap>& bitmap, const RectT<int32_t>& destination,
                    const ResizeType& resizeType) override;
    int32_t DrawContextSurface(const RCPtr<LRenderContextInfo>& source,
                               const PointT<int32_t>& destination,
                               const RectT<int32_t>& sourceRect) override;
    int32_t CopyContextSurface(const RCPtr<LRenderContextInfo>& context,
                               const PointT<int32_t>& offset) override;

    void SetClipRect(const RectT<double>& clip) override;
    void Translate(const PointT<double>& delta) override;

    // 96 divided by the resolution of the current picture, set by every RenderStart.
    float GetScale() const { return mScale; }
    int32_t GetScreenResolution() const { return mScreenResolution; }
    // The current context as this back end's own, null outside a frame.
    const RCPtr<LGDIRenderContextInfo>& GetCurrentGdiContext() const { return mCurrentContext; }

    static CashableBitmapDescriptor GetBitmapKey(const CashableBitmapDescriptor& source);
    static uint32_t GetBitmapHash(const CashableBitmapDescriptor& key);
    static int32_t GetPathKey(const PolylineT<float>& polyline);
    static uint32_t GetPathHash(const int32_t& handle);

    using BitmapCache =
        PurgableObjectCache<LCachedBitmap, CashableBitmapDescriptor, CashableBitmapDescriptor,
                            &LGDIRenderer::GetBitmapKey, 8, &LGDIRenderer::GetBitmapHash>;
    using PathCache = PurgableObjectCache<LGraphicsPath, PolylineT<float>, int32_t,
                                          &LGDIRenderer::GetPathKey, 8, &LGDIRenderer::GetPathHash>;

    BitmapCache& GetBitmapCache() { return mBitmapCache; }
    PathCache& GetPathCache() { return mPathCache; }

private:
    enum class PathKind
    {
        Segments,
        Polyline,
        Polygon,
    };

    // The current picture's drawing context, null outside a frame.
    cairo_t* Graphics() const;
    void DrawPath(PolylineT<float>& points, PathKind kind, bool fill, const ColorT& color,
                  const PointT<float>& offset, const PointT<float>& scale, bool keepCached);
    svp::CairoSurfacePtr RenderBitmap(const LBitmap& bitmap, int32_t width, int32_t height,
                                      ResizeType resizeType) const;
    void PurgeWhenDue();

    float mScale = 1.0f;
    RCPtr<LGDIRenderContextInfo> mCurrentContext;
    GDITextDrawer mText;
    int32_t mScreenResolution = 96;
    BitmapCache mBitmapCache;
    PathCache mPathCache;
    Clock mClock;
    uint32_t mLastPurgeTime = 0;
};

} // namespace SV
