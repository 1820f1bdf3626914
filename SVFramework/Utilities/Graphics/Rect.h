// Rectangles of the layout and drawing arithmetic: x, y, width, height (right = x + width).
#pragma once

#include <cstdint>

namespace SV {

template <class T>
struct RectT
{
    T x{};
    T y{};
    T width{};
    T height{};

    bool operator==(const RectT& other) const = default;

    T GetRight() const { return x + width; }
    T GetBottom() const { return y + height; }

    // Defined for RectT<double>. A negative width or height is made positive by moving the
    // origin by it; every edge then becomes floor(e + |e| x 2^-52), so an edge a hair below a
    // whole number counts as that number.
    void SnapToWholeUnits();
    // Rounds both edges of each axis half away from zero and takes the size between them.
    void RoundEdges();
};

template <>
void RectT<double>::SnapToWholeUnits();
template <>
void RectT<double>::RoundEdges();

// Half away from zero, with -0.0 counted as negative: RoundHalf(2.5) = 3, RoundHalf(-2.5) = -3.
// Values too large to carry a fraction (and NaN) come back unchanged.
double RoundHalf(double v);

} // namespace SV
