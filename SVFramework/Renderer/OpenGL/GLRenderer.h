// The OpenGL back end of the renderer interface: a GL context made for the window's pixel
// format, frames drawn with immediate-mode GL 1.1 into the current context's target (one unit
// a pixel, y downwards, the origin carried by the model-view matrix, the clip by the scissor
// box), geometry and pictures kept in display-list and texture caches, and text drawn by the
// FreeType font renderer through its glyph cache.
#pragma once

#include "OpenGLContext.h"
#include "Renderer/OpenGL/GLDisplayList.h"
#include "Renderer/OpenGL/GLTexture.h"
#include "Renderer/PurgableObjectCache.h"
#include "Renderer/Renderer.h"

#include <cstdint>

namespace SV {

class LBitmap;
class LFontRenderer;
class LGLRenderContextInfo;

namespace detail {
inline int32_t PolylineHandle(const PolylineT<float>& polyline)
{
    return polyline.GetHandle();
}
inline int32_t ColorRectListHandle(const ColorRectListT<float>& list)
{
    return list.GetHandle();
}
uintptr_t PictureHandle(const ConstRCPtr<LBitmap>& bitmap);
uintptr_t BitmapHandle(const ConstRCPtr<LBitmap>& bitmap);
} // namespace detail

class LGLRenderer : public LRenderer
{
public:
    using PolylineCache =
        PurgableObjectCache<LGLDisplayList, PolylineT<float>, int32_t, &detail::PolylineHandle, 8,
                            &PurgableCacheHash<int32_t>>;
    using ColorRectCache =
        PurgableObjectCache<LGLDisplayList, ColorRectListT<float>, int32_t,
                            &detail::ColorRectListHandle, 8, &PurgableCacheHash<int32_t>>;
    using TextureCache =
        PurgableObjectCache<LGLTexture, ConstRCPtr<LBitmap>, uintptr_t, &detail::PictureHandle, 8,
                            &PurgableCacheHash<uintptr_t>>;
    using BitmapTextureCache =
        PurgableObjectCache<LGLTexture, ConstRCPtr<LBitmap>, uintptr_t, &detail::BitmapHandle, 8,
                            &PurgableCacheHash<uintptr_t>>;

    // The application clock the caches are purged by; replaceable for tests.
    using Clock = uint32_t (*)();
    static void SetClock(Clock clock);

    // Chooses the pixel format and makes the GL context; shows the error box and throws the
    // runtime error of the failing step.
    LGLRenderer(const RCPtr<LFontRenderer>& fontRenderer, svp::HWND window);
    ~LGLRenderer() override;

    int32_t GetFontMetrics(const ConstRCPtr<LFont>& font, int32_t& height, int32_t& ascent,
                           int32_t& descent) override;
    RectT<float> MeasureText(const WideString& text, const ConstRCPtr<LFont>& font) override;
    int32_t GetRendererType() const override { return kTypeOpenGL; }
    int32_t InitRenderContextInfo(const RectT<int32_t>& target, svp::HWND window,
                                  int32_t offscreenOnly,
                                  RCPtr<LRenderContextInfo>& context) override;
    int32_t SetViewport(const RectT<int32_t>& target) override;
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

    // Frees the cached GL objects not used since the previous purge.
    void PurgeCaches();
    // Whether the server's GLX extension string lists the name as a whole word. A missing
    // extension string shows the error box and answers false.
    bool IsWGLExtensionSupported(svp::GLWindow deviceContext, const char* name);
    // The fixed GL state every frame relies on.
    void InitGLState();
    // The scissor box of a rectangle in target pixels (y downwards); a rectangle with nothing
    // left inside the target gets a 1 x 1 box just right of it.
    void ApplyScissor(const RectT<double>& rect);
    // Copies one colour buffer to another over the whole viewport.
    void CopyBuffer(uint32_t sourceBuffer, uint32_t destinationBuffer, uint32_t kind);

    bool IsDoubleBuffered() const { return mDoubleBuffered; }
    bool IsBackBufferKept() const { return mBackBufferKept; }
    int32_t GetPixelFormatIndex() const { return mPixelFormatIndex; }
    const svp::PIXELFORMATDESCRIPTOR& GetPixelFormat() const { return mPixelFormat; }
    svp::GLContextHandle GetGLContext() const { return mGLContext; }
    uint32_t GetLastPurgeTime() const { return mLastPurgeTime; }
    const RCPtr<LFontRenderer>& GetFontRenderer() const { return mFontRenderer; }

    PolylineCache& GetFillPolygonCache() { return mFillPolygonCache; }
    PolylineCache& GetPolygonOutlineCache() { return mPolygonOutlineCache; }
    PolylineCache& GetLineSegmentsCache() { return mLineSegmentsCache; }
    PolylineCache& GetPolylineCache() { return mPolylineCache; }
    ColorRectCache& GetColorRectCache() { return mColorRectCache; }
    TextureCache& GetPictureTextureCache() { return mPictureTextureCache; }

private:
    enum class Geometry
    {
        kLineSegments,
        kPolyline,
        kPolygonOutline,
        kFillPolygon,
    };

    // Replays the geometry's cached list, or records it (drawing it through `draw`) when the
    // cache holds none; without caching, or when GL gives no list, `draw` draws directly.
    template <class Source, class Cache, class Draw>
    void DrawThroughList(Cache& cache, Source& source, bool keepCached, bool changed,
                         const Draw& draw);
    void DrawPolylineGeometry(PolylineT<float>& points, Geometry geometry, bool keepCached);
    void DrawPlacedPolyline(PolylineT<float>& points, const ColorT& color,
                            const PointT<float>& offset, const PointT<float>& scale,
                            Geometry geometry, bool keepCached);
    void EmitPolyline(const PolylineT<float>& points, Geometry geometry);

    // Makes the GL context current on the context's window; reports a failure.
    bool MakeContextCurrent(const LGLRenderContextInfo& context);
    // The error box of a failed set-up step: the message, then the update-driver sentence.
    void ShowSetupError(const char* messageKey) const;
    [[noreturn]] void FailSetup(const char* messageKey, int line) const;
    void TrySwapCopyFormat(svp::GLWindow windowContext);
    LGLRenderContextInfo* CurrentGLContext() const;
    double TargetHeight() const;

    RCPtr<LFontRenderer> mFontRenderer;
    svp::HWND mWindow;
    bool mDoubleBuffered = true;
    bool mBackBufferKept = true;
    uint32_t mLastPurgeTime;
    PolylineCache mFillPolygonCache;
    PolylineCache mPolygonOutlineCache;
    PolylineCache mLineSegmentsCache;
    PolylineCache mPolylineCache;
    ColorRectCache mColorRectCache;
    TextureCache mPictureTextureCache;
    BitmapTextureCache mBitmapTextureCache;
    svp::GLContextHandle mGLContext = nullptr;
    svp::PIXELFORMATDESCRIPTOR mPixelFormat;
    int32_t mPixelFormatIndex = 0;
    WideString mErrorCaption;
    WideString mUpdateDriverText;
};

} // namespace SV
