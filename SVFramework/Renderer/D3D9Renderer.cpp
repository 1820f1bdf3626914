#include "Renderer/D3D9Renderer.h"

#include "ResultCodes.h"

namespace SV {

std::pair<int32_t, int32_t> LD3D9RenderContextInfo::GetMaxSurfaceSize() const
{
    return {0, 0};
}

int32_t LD3D9Renderer::GetFontMetrics(const ConstRCPtr<LFont>&, int32_t&, int32_t&, int32_t&)
{
    return 0;
}

RectT<float> LD3D9Renderer::MeasureText(const WideString&, const ConstRCPtr<LFont>&)
{
    return {0.0f, 0.0f, 0.0f, 0.0f};
}

int32_t LD3D9Renderer::GetRendererType() const
{
    return kTypeDirect3D9;
}

int32_t LD3D9Renderer::InitRenderContextInfo(const RectT<int32_t>& target, svp::HWND window,
                                             int32_t offscreenOnly,
                                             RCPtr<LRenderContextInfo>& context)
{
    context = RCPtr<LRenderContextInfo>(new LD3D9RenderContextInfo(target, window, offscreenOnly));
    return 0;
}

int32_t LD3D9Renderer::RenderStart(const RCPtr<LRenderContextInfo>&)
{
    return 0;
}

int32_t LD3D9Renderer::RenderFinish(const RCPtr<LRenderContextInfo>&)
{
    return 0;
}

void LD3D9Renderer::DrawText(const WideString&, const ConstRCPtr<LFont>&, const PointT<int32_t>&,
                             const ColorT&)
{}

void LD3D9Renderer::DrawRect(const RectT<int32_t>&, const ColorT&, float)
{}

void LD3D9Renderer::FillRect(const RectT<int32_t>&, const ColorT&, bool)
{}

void LD3D9Renderer::DrawFilledRect(const RectT<int32_t>&, const ColorT&, const ColorT&, float)
{}

void LD3D9Renderer::FillColorRectList(ColorRectListT<float>&, const PointT<double>&, bool)
{}

void LD3D9Renderer::DrawLine(const PointT<float>&, const PointT<float>&, const ColorT&, float)
{}

void LD3D9Renderer::DrawLineSegments(PolylineT<float>&, const ColorT&, const PointT<float>&,
                                     const PointT<float>&, bool)
{}

void LD3D9Renderer::DrawPolyline(PolylineT<float>&, const ColorT&, const PointT<float>&,
                                 const PointT<float>&, bool)
{}

void LD3D9Renderer::DrawPolygon(PolylineT<float>&, const ColorT&, const PointT<float>&,
                                const PointT<float>&, bool)
{}

void LD3D9Renderer::FillPolygon(PolylineT<float>&, const ColorT&, const PointT<float>&,
                                const PointT<float>&, bool)
{}

void LD3D9Renderer::DrawBitmap(const ConstRCPtr<LBitmap>&, const RectT<int32_t>&, const ResizeType&)
{}

int32_t LD3D9Renderer::DrawContextSurface(const RCPtr<LRenderContextInfo>&, const PointT<int32_t>&,
                                          const RectT<int32_t>&)
{
    return E_NOTIMPL;
}

int32_t LD3D9Renderer::CopyContextSurface(const RCPtr<LRenderContextInfo>&, const PointT<int32_t>&)
{
    return E_NOTIMPL;
}

} // namespace SV
