#include "Renderer/RenderContextInfo.h"

namespace SV {

LRenderContextInfo::LRenderContextInfo(const RectT<int32_t>& target, svp::HWND window,
                                       int32_t offscreenOnly)
    : mWindow(window), mOffscreenOnly(offscreenOnly), mTarget(target)
{}

} // namespace SV
