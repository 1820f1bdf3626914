// Renderer type 2: a back end that draws nothing. Every operation answers a constant, so that
// the type code is valid for a window that asks for it; the program itself never does.
#pragma once

#include "Renderer/Renderer.h"

namespace SV {

class LD3D9RenderContextInfo : public LRenderContextInfo
{
public:
    using LRenderContextInfo::LRenderContextInfo;

    // 0 x 0.
    std::pair<int32_t, int32_t> GetMaxSurfaceSize() const override;
};

class LD3D9Renderer : public LRenderer
{
public:
    int32_t GetFontMetrics(const ConstRCPtr<LFont>& font, int32_t& height, int32_t& ascent,
                           int32_t& descent) override;
    RectT<float> MeasureText(const WideString& text, const ConstRCPtr<LFont>& font) override;
    int32_t GetRendererType() const override;
    int32_t InitRenderContextInfo(const RectT<int32_t>& target, svp::HWND window,
                                  int32_t offscreenOnly,
                                  RCPtr<LRenderContextInfo>& context) override;
    // Neither pushes nor pops a context: with no current context the state operations do
    // nothing.
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
    // E_NOTIMPL.
    int32_t DrawContextSurface(const RCPtr<LRenderContextInfo>& source,
                               const PointT<int32_t>& destination,
                               const RectT<int32_t>& sourceRect) override;
    // E_NOTIMPL.
    int32_t CopyContextSurface(const RCPtr<LRenderContextInfo>& context,
                               const PointT<int32_t>& offset) override;
};

} // namespace SV
