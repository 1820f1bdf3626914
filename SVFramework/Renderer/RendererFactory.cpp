#include "ObjectBase/Exception.h"
#include "Renderer/D3D9Renderer.h"
#include "Renderer/Gdi/GDIRenderer.h"
#include "Renderer/Renderer.h"

#include <stdexcept>

namespace SV {

// The one place a back end is chosen. The bounds reach no back end.
RCPtr<LRenderer> LRenderer::Create(int32_t type, const RectT<int32_t>&, svp::HWND)
{
    switch (type) {
    case kTypeGdiPlus:
        return RCPtr<LRenderer>(new LGDIRenderer());
    case kTypeDirect3D9:
        return RCPtr<LRenderer>(new LD3D9Renderer());
    default:
        throw Exception<std::domain_error>(
            "Domain Error : SV::LRenderer::Create : Renderer\\Renderer : Line 116");
    }
}

} // namespace SV
