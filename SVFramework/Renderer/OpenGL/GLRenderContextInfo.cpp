#include "Renderer/OpenGL/GLRenderContextInfo.h"

#include "Renderer/OpenGL/GLErrors.h"

#include <GL/gl.h>

namespace SV {

LGLRenderContextInfo::LGLRenderContextInfo(const RectT<int32_t>& target, svp::HWND window,
                                           int32_t offscreenOnly)
    : LRenderContextInfo(target, window, offscreenOnly), mDeviceContext(svp::GetGLWindow(window))
{
    ReadMaxSurfaceSize();
}

void LGLRenderContextInfo::ReadMaxSurfaceSize()
{
    GLint dimensions[2] = {0, 0};
    if (svp::GetCurrentContext() != nullptr) {
        glGetIntegerv(GL_MAX_VIEWPORT_DIMS, dimensions);
        DrainGLErrors();
    }
    mMaxViewportWidth = dimensions[0];
    mMaxViewportHeight = dimensions[1];
}

void LGLRenderContextInfo::SwapLayerBuffers() const
{
    if (!IsOffscreenOnly()) {
        (void)svp::SwapLayerBuffers(mDeviceContext);
    }
}

} // namespace SV
