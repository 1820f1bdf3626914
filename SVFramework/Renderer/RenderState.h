// One drawing state of a render context: where drawing coordinates (0, 0) lie on the target,
// the clip rectangle relative to that origin, the opacity the draw pass multiplies, and the
// stencil with the flag that says a caller's stencil is installed.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "Renderer/Stencil.h"
#include "Utilities/Graphics/Point.h"
#include "Utilities/Graphics/Rect.h"

namespace SV {

class RenderState
{
public:
    // The default clip covers everything: the single-precision constants 5e15 and 1e16, widened.
    static constexpr double kDefaultClipCorner = static_cast<double>(-5e15f);
    static constexpr double kDefaultClipExtent = static_cast<double>(1e16f);

    RenderState() = default;
    RenderState(const RenderState&) = default;
    RenderState& operator=(const RenderState&) = default;
    virtual ~RenderState() = default;

    PointT<double> origin{0.0, 0.0};
    RectT<double> clip{kDefaultClipCorner, kDefaultClipCorner, kDefaultClipExtent,
                       kDefaultClipExtent};
    float opacity = 1.0f;
    bool stencilApplied = false;
    RCPtr<LStencil> stencil;
};

} // namespace SV
