#include "Renderer/Stencil.h"

namespace SV {

LStencil::LStencil(int32_t width, int32_t height)
    : mWidth(width), mHeight(height), mRect{0, 0, width, height}
{}

RCPtr<LStencil> LStencil::Create(int32_t width, int32_t height)
{
    return RCPtr<LStencil>(new LStencil(width, height));
}

} // namespace SV
