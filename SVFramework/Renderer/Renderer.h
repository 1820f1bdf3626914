// The one interface everything draws through. A window makes one renderer, asks it for a render
// context for its client area and brackets each frame's drawing with RenderStart and
// RenderFinish. Between the two the draw pass keeps a stack of render states (origin, clip,
// stencil) with the push and pop operations, which this base class implements for every back
// end; drawing coordinates are relative to the current origin.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "Renderer/MeasurementRenderer.h"
#include "Renderer/RenderContextInfo.h"
#include "Renderer/RenderState.h"
#include "Renderer/ResizeType.h"
#include "Renderer/Stencil.h"
#include "Utilities/Graphics/Color.h"
#include "Utilities/Graphics/Point.h"
#include "Utilities/Graphics/Polyline.h"
#include "Utilities/Graphics/Rect.h"
#include "Utilities/Storage/StringT.h"
#include "WindowHandle.h"

#include <cstdint>
#include <vector>

namespace SV {

class LBitmap;
class LFont;

class LRenderer : public LMeasurementRenderer
{
public:
    // Renderer type codes of Create and GetRendererType.
    static constexpr int32_t kTypeOpenGL = 0;
    static constexpr int32_t kTypeGdiPlus = 1;
    static constexpr int32_t kTypeDirect3D9 = 2;

    // A new renderer of the type (the only reference to it); any other type throws a domain
    // error. The bounds are accepted and used by no back end.
    static RCPtr<LRenderer> Create(int32_t type, const RectT<int32_t>& bounds, svp::HWND window);

    virtual int32_t GetRendererType() const = 0;
    // 0, or E_FAIL when no context was made.
    virtual int32_t InitRenderContextInfo(const RectT<int32_t>& target, svp::HWND window,
                                          int32_t offscreenOnly,
                                          RCPtr<LRenderContextInfo>& context) = 0;
    virtual int32_t SetViewport(const RectT<int32_t>& target);
    virtual int32_t SetStencil(const RCPtr<LStencil>& stencil);
    // Makes the context current. Throws for a null context and for one already on the stack.
    virtual int32_t RenderStart(const RCPtr<LRenderContextInfo>& context);
    // Ends the frame of the current context. Throws when the context is not the current one.
    virtual int32_t RenderFinish(const RCPtr<LRenderContextInfo>& context);

    virtual void DrawText(const WideString& text, const ConstRCPtr<LFont>& font,
                          const PointT<int32_t>& position, const ColorT& color) = 0;
    virtual void DrawRect(const RectT<int32_t>& rect, const ColorT& color, float penWidth) = 0;
    virtual void FillRect(const RectT<int32_t>& rect, const ColorT& color, bool blend) = 0;
    virtual void DrawFilledRect(const RectT<int32_t>& rect, const ColorT& fill,
                                const ColorT& outline, float penWidth) = 0;
    virtual void FillColorRectList(ColorRectListT<float>& list, const PointT<double>& offset,
                                   bool useCache) = 0;
    virtual void DrawLine(const PointT<float>& from, const PointT<float>& to, const ColorT& color,
                          float penWidth) = 0;
    virtual void DrawLineSegments(PolylineT<float>& points, const ColorT& color,
                                  const PointT<float>& offset, const PointT<float>& scale,
                                  bool keepCached) = 0;
    virtual void DrawPolyline(PolylineT<float>& points, const ColorT& color,
                              const PointT<float>& offset, const PointT<float>& scale,
                              bool keepCached) = 0;
    virtual void DrawPolygon(PolylineT<float>& points, const ColorT& color,
                             const PointT<float>& offset, const PointT<float>& scale,
                             bool keepCached) = 0;
    virtual void FillPolygon(PolylineT<float>& points, const ColorT& color,
                             const PointT<float>& offset, const PointT<float>& scale,
                             bool keepCached) = 0;
    virtual void DrawBitmap(const ConstRCPtr<LBitmap>& bitmap, const RectT<int32_t>& destination,
                            const ResizeType& resizeType) = 0;
    virtual int32_t DrawContextSurface(const RCPtr<LRenderContextInfo>& source,
                                       const PointT<int32_t>& destination,
                                       const RectT<int32_t>& sourceRect) = 0;
    virtual int32_t CopyContextSurface(const RCPtr<LRenderContextInfo>& context,
                                       const PointT<int32_t>& offset) = 0;

    // Saves the state and moves the origin by the offset rounded to whole pixels, keeping the
    // clip where it is on the target. Nothing at all while no state has been saved.
    virtual void PushClipOffset(const PointT<double>& offset);
    // Saves the state, moves the origin to the bounds' corner and clips to `clip`: when
    // relative, `clip` is given in the current coordinates and is limited to the bounds and the
    // current clip (an empty intersection clips everything); otherwise it is given in the new
    // coordinates and taken as it stands. A stencil is installed when given.
    virtual void PushClipRect(const RectT<double>& bounds, const RectT<double>& clip,
                              const RCPtr<LStencil>& stencil, bool relative);
    virtual void PushClipState();
    // Restores the last saved state; nothing when none is saved.
    virtual void PopClip();
    virtual void SetClipRect(const RectT<double>& clip);
    virtual void Translate(const PointT<double>& delta);

    // The current context, null outside a frame.
    LRenderContextInfo* GetCurrentContext() const;
    // The current context's state, null outside a frame. The draw pass sets its opacity and
    // stencil flag directly.
    RenderState* GetCurrentState() const;

protected:
    // DrawFilledRect as both back ends share it: the fill, blended, when it has alpha above 0,
    // then the outline when it has.
    void DrawFilledRectWithFillAndOutline(const RectT<int32_t>& rect, const ColorT& fill,
                                          const ColorT& outline, float penWidth);

private:
    std::vector<RCPtr<LRenderContextInfo>> mContexts;
};

// What a scope guard pushes: flavour 0 saves the state, 1 pushes a clip rectangle with the
// bounds, clip, stencil and relative flag, 2 pushes an offset.
struct ClipRequest
{
    int32_t flavor = 0;
    RectT<double> bounds;
    RectT<double> clip;
    RCPtr<LStencil> stencil;
    bool relative = false;
    PointT<double> offset;
};

// Pushes renderer state for the length of a scope and pops it at its end.
class CAutoClip
{
public:
    explicit CAutoClip(const RCPtr<LRenderer>& renderer);
    CAutoClip(const RCPtr<LRenderer>& renderer, const RectT<double>& bounds,
              const RectT<double>& clip, const RCPtr<LStencil>& stencil);
    // Throws a runtime error for an unknown flavour.
    CAutoClip(const RCPtr<LRenderer>& renderer, const ClipRequest& request);
    CAutoClip(const CAutoClip&) = delete;
    CAutoClip& operator=(const CAutoClip&) = delete;
    ~CAutoClip();

private:
    RCPtr<LRenderer> mRenderer;
};

} // namespace SV
