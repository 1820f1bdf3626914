// The software back end's render context of one window: two offscreen pictures of the window's
// client size. A frame draws into the current one; the end of the frame copies the rectangles of
// the context's region from it to the window. The picture is kept between frames, so areas the
// system alone invalidated are presented again from it without drawing.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "Renderer/Gdi/GDIRendererOffscreenSurface.h"
#include "Renderer/RenderContextInfo.h"
#include "WindowPresenter.h"

#include <memory>

namespace SV {

class LGDIRenderContextInfo : public LRenderContextInfo
{
public:
    LGDIRenderContextInfo(const RectT<int32_t>& target, svp::HWND window, int32_t offscreenOnly);

    // 4096 x 4096.
    std::pair<int32_t, int32_t> GetMaxSurfaceSize() const override;

    // Before a frame: both pictures follow the target's size; a frame that repaints exactly the
    // whole target starts from a transparent picture (from two for an offscreen context, the
    // only kind that swaps them). The current picture's memory is made present before the
    // first frame drawn into it.
    void PrepareSurface();
    // After a frame: the drawing is finished and, unless the context is offscreen only, the
    // region's rectangles are copied to the window, last first. The region is left as it is.
    void Present();
    // The spare picture becomes the current one and the other way round.
    void SwapSurfaces();

    const RCPtr<LGDIRendererOffscreenSurface>& GetCurrentSurface() const { return mCurrent; }
    const RCPtr<LGDIRendererOffscreenSurface>& GetSpareSurface() const { return mSpare; }
    cairo_t* GetGraphics() const { return mCurrent->GetGraphics(); }

private:
    RCPtr<LGDIRendererOffscreenSurface> mCurrent;
    RCPtr<LGDIRendererOffscreenSurface> mSpare;
    // The window's side of presenting, made once the window is known; none for a context
    // without a window or one the platform cannot draw into.
    std::unique_ptr<svp::WindowPresenter> mPresenter;
};

} // namespace SV
