// Fills a polygon outline: the GLU tessellator turns it into filled triangles that are sent to
// the current GL context, or into the display list being recorded. One tessellator and one
// vertex store serve the whole process, used by one fill at a time on the drawing thread.
#pragma once

#include "Utilities/Graphics/Polyline.h"

#include <cstddef>

namespace SV {

class CGLPolygon
{
public:
    // Makes the shared tessellator on first use.
    CGLPolygon();
    virtual ~CGLPolygon() = default;

    // The points as one contour, odd winding rule.
    void Fill(const PolylineT<float>& outline);

    // How many doubles the shared vertex store holds; it only grows.
    static size_t GetVertexStoreSize();
};

} // namespace SV
