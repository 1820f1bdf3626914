// The OpenGL back end's render context: one window's target, with the largest viewport the
// driver allows and the X window frames are presented to.
#pragma once

#include "OpenGLContext.h"
#include "Renderer/RenderContextInfo.h"

#include <cstdint>
#include <utility>

namespace SV {

class LGLRenderContextInfo : public LRenderContextInfo
{
public:
    // Reads the maximum viewport size from the current GL context (0 x 0 without one).
    LGLRenderContextInfo(const RectT<int32_t>& target, svp::HWND window, int32_t offscreenOnly);

    std::pair<int32_t, int32_t> GetMaxSurfaceSize() const override
    {
        return {mMaxViewportWidth, mMaxViewportHeight};
    }

    // The X window the context draws into; 0 when the window has none.
    svp::GLWindow GetDeviceContext() const { return mDeviceContext; }
    // Reads the largest viewport of the GL context now current.
    void ReadMaxSurfaceSize();
    // Shows the back buffer, unless the context is never presented.
    void SwapLayerBuffers() const;
    // A GL render context keeps no texture of its own: always texture name 0.
    uint32_t GetSurfaceTexture() const { return 0; }

private:
    int32_t mMaxViewportWidth = 0;
    int32_t mMaxViewportHeight = 0;
    svp::GLWindow mDeviceContext;
};

} // namespace SV
