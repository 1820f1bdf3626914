// One offscreen picture of a window's render context: a Cairo ARGB32 image surface with a drawing
// context on it. Cairo keeps alpha premultiplied; pixels read or written through this class are
// the plain 0xAARRGGBB colours the rest of the program speaks.
#pragma once

#include "CairoHandles.h"
#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Graphics/Point.h"
#include "Utilities/Graphics/Rect.h"
#include "WindowHandle.h"

#include <cstdint>
#include <utility>

namespace SV {

class LGDIRendererOffscreenSurface : public virtual LRefCountedObject
{
public:
    LGDIRendererOffscreenSurface(int32_t width, int32_t height, svp::HWND window);

    // A new, transparent picture of the size; each extent at least 1 (and at most what an image
    // surface can hold). Drawing state starts afresh. 0.
    int32_t Resize(int32_t width, int32_t height);
    // Transparent black everywhere and a fresh drawing state, the size kept.
    void Clear();
    // Before the first frame drawn into this picture: its memory is made present in one go.
    // Later calls, until the next Resize, do nothing.
    void PrepareFirstFrame();
    // Width and height of the picture; 0 x 0 without one.
    std::pair<int32_t, int32_t> GetSize() const;

    // Draws the source rectangle of this picture 1:1 with its corner at `point` in the user space
    // of `target`. False when Cairo reports a failure.
    bool DrawTo(cairo_t* target, const PointT<int32_t>& point, const RectT<int32_t>& source) const;

    cairo_t* GetGraphics() const { return mGraphics.get(); }
    cairo_surface_t* GetSurface() const { return mSurface.get(); }
    svp::HWND GetWindow() const { return mWindow; }

    // The plain colour of a pixel; 0 outside the picture.
    uint32_t GetPixel(int32_t x, int32_t y) const;
    // Sets the pixels of the rectangle to the colour as it is, alpha included, without blending;
    // the part outside the picture is left out.
    void SetPixels(const RectT<int32_t>& rect, uint32_t argb);

private:
    svp::HWND mWindow;
    // The context after its surface, so that it goes first.
    svp::CairoSurfacePtr mSurface;
    svp::CairoPtr mGraphics;
    bool mFirstFramePrepared = false;
};

// Plain 0xAARRGGBB to Cairo's premultiplied form and back; a colour with alpha of 0 or 255
// survives the round trip exactly, others up to the precision that alpha leaves.
uint32_t PremultiplyArgb(uint32_t argb);
uint32_t UnpremultiplyArgb(uint32_t premultiplied);

} // namespace SV
