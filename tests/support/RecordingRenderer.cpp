#include "RecordingRenderer.h"

#include <cstdio>

namespace svtest {

std::string ToText(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

std::string ToText(const SV::RectT<double>& rect)
{
    return "(" + ToText(rect.x) + ", " + ToText(rect.y) + ", " + ToText(rect.width) + ", " +
           ToText(rect.height) + ")";
}

std::string ToText(const SV::RectT<int32_t>& rect)
{
    return "(" + std::to_string(rect.x) + ", " + std::to_string(rect.y) + ", " +
           std::to_string(rect.width) + ", " + std::to_string(rect.height) + ")";
}

std::string ToText(const SV::PointT<double>& point)
{
    return "(" + ToText(point.x) + ", " + ToText(point.y) + ")";
}

std::string ToText(const SV::ColorT& color)
{
    char text[16];
    std::snprintf(text, sizeof text, "#%08X", color.ToARGB());
    return text;
}

static std::string ToText(const SV::PointT<float>& point)
{
    return ToText(SV::PointT<double>{point.x, point.y});
}

static std::string ToText(const SV::PointT<int32_t>& point)
{
    return "(" + std::to_string(point.x) + ", " + std::to_string(point.y) + ")";
}

static std::string ToText(const SV::WideString& text)
{
    return "\"" + std::string(text.ToNarrow().GetText()) + "\"";
}

static std::string ToText(const void* object)
{
    if (object == nullptr) {
        return "null";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%p", object);
    return text;
}

static std::string PolylineText(const SV::PolylineT<float>& points, const SV::ColorT& color,
                         const SV::PointT<float>& offset, const SV::PointT<float>& scale,
                         bool keepCached)
{
    return std::to_string(points.GetCount()) + " points, " + ToText(color) + ", " + ToText(offset) +
           ", " + ToText(scale) + ", " + (keepCached ? "cached" : "uncached");
}


std::vector<std::string> RecordingRenderer::CallTexts(const std::string& operation) const
{
    std::vector<std::string> texts;
    for (const Call& call : mCalls) {
        if (operation.empty() || call.operation == operation) {
            texts.push_back(call.Text());
        }
    }
    return texts;
}

SV::RCPtr<SV::LRenderContextInfo> RecordingRenderer::MakeContext(const SV::RectT<int32_t>& target)
{
    SV::RCPtr<SV::LRenderContextInfo> context;
    InitRenderContextInfo(target, nullptr, 1, context);
    return context;
}

void RecordingRenderer::Record(std::string operation, std::string arguments)
{
    Call call{std::move(operation), std::move(arguments), {}, false};
    if (const SV::RenderState* state = GetCurrentState()) {
        call.state = *state;
        call.inFrame = true;
    }
    mCalls.push_back(std::move(call));
}

int32_t RecordingRenderer::GetFontMetrics(const SV::ConstRCPtr<SV::LFont>& font, int32_t& height,
                                          int32_t& ascent, int32_t& descent)
{
    ++mFontMetricsCount;
    height = mMetrics.height;
    ascent = mMetrics.ascent;
    descent = mMetrics.descent;
    Record("GetFontMetrics", ToText(font.Get()));
    return 0;
}

SV::RectT<float> RecordingRenderer::MeasureText(const SV::WideString& text,
                                                const SV::ConstRCPtr<SV::LFont>& font)
{
    Record("MeasureText", ToText(text) + ", " + ToText(font.Get()));
    return {0.0f, static_cast<float>(mMetrics.ascent), mAdvance * float(text.GetLength()),
            static_cast<float>(mMetrics.height)};
}

int32_t RecordingRenderer::InitRenderContextInfo(const SV::RectT<int32_t>& target, svp::HWND window,
                                                 int32_t offscreenOnly,
                                                 SV::RCPtr<SV::LRenderContextInfo>& context)
{
    context = SV::RCPtr<SV::LRenderContextInfo>(
        new RecordingRenderContext(target, window, offscreenOnly));
    Record("InitRenderContextInfo", ToText(target) + ", " + std::to_string(offscreenOnly));
    return 0;
}

int32_t RecordingRenderer::SetViewport(const SV::RectT<int32_t>& target)
{
    const int32_t result = SV::LRenderer::SetViewport(target);
    Record("SetViewport", ToText(target));
    return result;
}

int32_t RecordingRenderer::SetStencil(const SV::RCPtr<SV::LStencil>& stencil)
{
    const int32_t result = SV::LRenderer::SetStencil(stencil);
    Record("SetStencil", stencil ? std::to_string(stencil->GetWidth()) + " x " +
                                       std::to_string(stencil->GetHeight())
                                 : "null");
    return result;
}

int32_t RecordingRenderer::RenderStart(const SV::RCPtr<SV::LRenderContextInfo>& context)
{
    const int32_t result = SV::LRenderer::RenderStart(context);
    Record("RenderStart", ToText(context.Get()));
    return result;
}

int32_t RecordingRenderer::RenderFinish(const SV::RCPtr<SV::LRenderContextInfo>& context)
{
    Record("RenderFinish", ToText(context.Get()));
    return SV::LRenderer::RenderFinish(context);
}

void RecordingRenderer::DrawText(const SV::WideString& text, const SV::ConstRCPtr<SV::LFont>& font,
                                 const SV::PointT<int32_t>& position, const SV::ColorT& color)
{
    Record("DrawText", ToText(text) + ", " + ToText(font.Get()) + ", " + ToText(position) + ", " +
                           ToText(color));
}

void RecordingRenderer::DrawRect(const SV::RectT<int32_t>& rect, const SV::ColorT& color,
                                 float penWidth)
{
    Record("DrawRect", ToText(rect) + ", " + ToText(color) + ", " + ToText(penWidth));
}

void RecordingRenderer::FillRect(const SV::RectT<int32_t>& rect, const SV::ColorT& color,
                                 bool blend)
{
    Record("FillRect", ToText(rect) + ", " + ToText(color) + ", " + (blend ? "blend" : "copy"));
}

void RecordingRenderer::DrawFilledRect(const SV::RectT<int32_t>& rect, const SV::ColorT& fill,
                                       const SV::ColorT& outline, float penWidth)
{
    Record("DrawFilledRect",
           ToText(rect) + ", " + ToText(fill) + ", " + ToText(outline) + ", " + ToText(penWidth));
    DrawFilledRectWithFillAndOutline(rect, fill, outline, penWidth);
}

void RecordingRenderer::FillColorRectList(SV::ColorRectListT<float>& list,
                                          const SV::PointT<double>& offset, bool useCache)
{
    Record("FillColorRectList", std::to_string(list.GetCount()) + " rects, " + ToText(offset) +
                                    ", " + (useCache ? "cached" : "uncached"));
}

void RecordingRenderer::DrawLine(const SV::PointT<float>& from, const SV::PointT<float>& to,
                                 const SV::ColorT& color, float penWidth)
{
    Record("DrawLine",
           ToText(from) + ", " + ToText(to) + ", " + ToText(color) + ", " + ToText(penWidth));
}

void RecordingRenderer::DrawLineSegments(SV::PolylineT<float>& points, const SV::ColorT& color,
                                         const SV::PointT<float>& offset,
                                         const SV::PointT<float>& scale, bool keepCached)
{
    Record("DrawLineSegments", PolylineText(points, color, offset, scale, keepCached));
}

void RecordingRenderer::DrawPolyline(SV::PolylineT<float>& points, const SV::ColorT& color,
                                     const SV::PointT<float>& offset,
                                     const SV::PointT<float>& scale, bool keepCached)
{
    Record("DrawPolyline", PolylineText(points, color, offset, scale, keepCached));
}

void RecordingRenderer::DrawPolygon(SV::PolylineT<float>& points, const SV::ColorT& color,
                                    const SV::PointT<float>& offset, const SV::PointT<float>& scale,
                                    bool keepCached)
{
    Record("DrawPolygon", PolylineText(points, color, offset, scale, keepCached));
}

void RecordingRenderer::FillPolygon(SV::PolylineT<float>& points, const SV::ColorT& color,
                                    const SV::PointT<float>& offset, const SV::PointT<float>& scale,
                                    bool keepCached)
{
    Record("FillPolygon", PolylineText(points, color, offset, scale, keepCached));
}

void RecordingRenderer::DrawBitmap(const SV::ConstRCPtr<SV::LBitmap>& bitmap,
                                   const SV::RectT<int32_t>& destination,
                                   const SV::ResizeType& resizeType)
{
    Record("DrawBitmap", ToText(bitmap.Get()) + ", " + ToText(destination) + ", " +
                             std::to_string(static_cast<int32_t>(resizeType)));
}

int32_t RecordingRenderer::DrawContextSurface(const SV::RCPtr<SV::LRenderContextInfo>& source,
                                              const SV::PointT<int32_t>& destination,
                                              const SV::RectT<int32_t>& sourceRect)
{
    Record("DrawContextSurface",
           ToText(source.Get()) + ", " + ToText(destination) + ", " + ToText(sourceRect));
    return 0;
}

int32_t RecordingRenderer::CopyContextSurface(const SV::RCPtr<SV::LRenderContextInfo>& context,
                                              const SV::PointT<int32_t>& offset)
{
    Record("CopyContextSurface", ToText(context.Get()) + ", " + ToText(offset));
    return 0;
}

void RecordingRenderer::PushClipOffset(const SV::PointT<double>& offset)
{
    SV::LRenderer::PushClipOffset(offset);
    Record("PushClipOffset", ToText(offset));
}

void RecordingRenderer::PushClipRect(const SV::RectT<double>& bounds, const SV::RectT<double>& clip,
                                     const SV::RCPtr<SV::LStencil>& stencil, bool relative)
{
    SV::LRenderer::PushClipRect(bounds, clip, stencil, relative);
    Record("PushClipRect", ToText(bounds) + ", " + ToText(clip) + ", " +
                               (stencil ? "stencil" : "no stencil") + ", " +
                               (relative ? "relative" : "absolute"));
}

void RecordingRenderer::PushClipState()
{
    SV::LRenderer::PushClipState();
    Record("PushClipState", "");
}

void RecordingRenderer::PopClip()
{
    SV::LRenderer::PopClip();
    Record("PopClip", "");
}

void RecordingRenderer::SetClipRect(const SV::RectT<double>& clip)
{
    SV::LRenderer::SetClipRect(clip);
    Record("SetClipRect", ToText(clip));
}

void RecordingRenderer::Translate(const SV::PointT<double>& delta)
{
    SV::LRenderer::Translate(delta);
    Record("Translate", ToText(delta));
}

} // namespace svtest
