// A renderer that draws nothing and records every call: the operation, its arguments as text and
// the render state the call found, after the base class did its part. Text is measured with
// fixed metrics and a fixed advance per character, so layouts over it are exact.
#pragma once

#include "Renderer/Renderer.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace svtest {

// A context of the recording renderer; never presented.
class RecordingRenderContext : public SV::LRenderContextInfo
{
public:
    using SV::LRenderContextInfo::LRenderContextInfo;

    std::pair<int32_t, int32_t> GetMaxSurfaceSize() const override { return {4096, 4096}; }
};

class RecordingRenderer : public SV::LRenderer
{
public:
    struct Call
    {
        std::string operation;
        std::string arguments;
        // The current state when the call returned; a default state outside a frame.
        SV::RenderState state;
        bool inFrame = false;

        // "operation(arguments)".
        std::string Text() const { return operation + "(" + arguments + ")"; }
    };

    struct FontMetrics
    {
        int32_t height = 16;
        int32_t ascent = -12;
        int32_t descent = 4;
    };

    const std::vector<Call>& GetCalls() const { return mCalls; }
    // The calls as "operation(arguments)", optionally only those of one operation.
    std::vector<std::string> CallTexts(const std::string& operation = {}) const;
    void ClearCalls() { mCalls.clear(); }

    void SetFontMetrics(const FontMetrics& metrics) { mMetrics = metrics; }
    void SetCharAdvance(float advance) { mAdvance = advance; }
    int32_t GetFontMetricsCount() const { return mFontMetricsCount; }

    // A context for the target, as a window would make it.
    SV::RCPtr<SV::LRenderContextInfo> MakeContext(const SV::RectT<int32_t>& target = {0, 0, 640,
                                                                                      480});

    int32_t GetFontMetrics(const SV::ConstRCPtr<SV::LFont>& font, int32_t& height, int32_t& ascent,
                           int32_t& descent) override;
    SV::RectT<float> MeasureText(const SV::WideString& text,
                                 const SV::ConstRCPtr<SV::LFont>& font) override;
    int32_t GetRendererType() const override { return 1; }
    int32_t InitRenderContextInfo(const SV::RectT<int32_t>& target, svp::HWND window,
                                  int32_t offscreenOnly,
                                  SV::RCPtr<SV::LRenderContextInfo>& context) override;
    int32_t SetViewport(const SV::RectT<int32_t>& target) override;
    int32_t SetStencil(const SV::RCPtr<SV::LStencil>& stencil) override;
    int32_t RenderStart(const SV::RCPtr<SV::LRenderContextInfo>& context) override;
    int32_t RenderFinish(const SV::RCPtr<SV::LRenderContextInfo>& context) override;
    void DrawText(const SV::WideString& text, const SV::ConstRCPtr<SV::LFont>& font,
                  const SV::PointT<int32_t>& position, const SV::ColorT& color) override;
    void DrawRect(const SV::RectT<int32_t>& rect, const SV::ColorT& color, float penWidth) override;
    void FillRect(const SV::RectT<int32_t>& rect, const SV::ColorT& color, bool blend) override;
    void DrawFilledRect(const SV::RectT<int32_t>& rect, const SV::ColorT& fill,
                        const SV::ColorT& outline, float penWidth) override;
    void FillColorRectList(SV::ColorRectListT<float>& list, const SV::PointT<double>& offset,
                           bool useCache) override;
    void DrawLine(const SV::PointT<float>& from, const SV::PointT<float>& to,
                  const SV::ColorT& color, float penWidth) override;
    void DrawLineSegments(SV::PolylineT<float>& points, const SV::ColorT& color,
                          const SV::PointT<float>& offset, const SV::PointT<float>& scale,
                          bool keepCached) override;
    void DrawPolyline(SV::PolylineT<float>& points, const SV::ColorT& color,
                      const SV::PointT<float>& offset, const SV::PointT<float>& scale,
                      bool keepCached) override;
    void DrawPolygon(SV::PolylineT<float>& points, const SV::ColorT& color,
                     const SV::PointT<float>& offset, const SV::PointT<float>& scale,
                     bool keepCached) override;
    void FillPolygon(SV::PolylineT<float>& points, const SV::ColorT& color,
                     const SV::PointT<float>& offset, const SV::PointT<float>& scale,
                     bool keepCached) override;
    void DrawBitmap(const SV::ConstRCPtr<SV::LBitmap>& bitmap,
                    const SV::RectT<int32_t>& destination,
                    const SV::ResizeType& resizeType) override;
    int32_t DrawContextSurface(const SV::RCPtr<SV::LRenderContextInfo>& source,
                               const SV::PointT<int32_t>& destination,
                               const SV::RectT<int32_t>& sourceRect) override;
    int32_t CopyContextSurface(const SV::RCPtr<SV::LRenderContextInfo>& context,
                               const SV::PointT<int32_t>& offset) override;
    void PushClipOffset(const SV::PointT<double>& offset) override;
    void PushClipRect(const SV::RectT<double>& bounds, const SV::RectT<double>& clip,
                      const SV::RCPtr<SV::LStencil>& stencil, bool relative) override;
    void PushClipState() override;
    void PopClip() override;
    void SetClipRect(const SV::RectT<double>& clip) override;
    void Translate(const SV::PointT<double>& delta) override;

private:
    void Record(std::string operation, std::string arguments);

    std::vector<Call> mCalls;
    FontMetrics mMetrics;
    float mAdvance = 8.0f;
    int32_t mFontMetricsCount = 0;
};

// Texts of the values the log writes, for tests that build expected calls.
std::string ToText(double value);
std::string ToText(const SV::RectT<double>& rect);
std::string ToText(const SV::RectT<int32_t>& rect);
std::string ToText(const SV::PointT<double>& point);
std::string ToText(const SV::ColorT& color);

} // namespace svtest
