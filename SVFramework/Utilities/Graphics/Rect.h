// Rectangles of the layout and drawing arithmetic: x, y, width and height, the right and bottom
// edges being x + width and y + height.
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

    T Right() const { return x + width; }
    T Bottom() const { return y + height; }

    bool operator==(const RectT& other) const = default;
};

// Smallest extent that still counts as area: rounding noise of the double arithmetic stays
// below it.
inline constexpr double kMinExtent = 2.220446049250313e-16;

// The intersection of two rectangles, written to `out` even when it is empty (then its width or
// height is zero or negative); true when both its extents exceed kMinExtent. `out` may be one of
// the inputs.
bool IntersectRect(const RectT<double>& a, const RectT<double>& b, RectT<double>& out);

// Whole-unit form of a rectangle: a negative extent is made positive by moving the corner, then
// each edge e becomes floor(e + |e| * 2^-52), so that a value a hair below a whole number counts
// as that number.
RectT<double> SnapRect(const RectT<double>& rect);

// Device rectangle: x, y, width and height each rounded half away from zero and saturated at
// the 32-bit limits.
RectT<int32_t> RoundRect(const RectT<float>& rect);

// Half away from zero, with -0.0 counted as negative: RoundHalf(2.5) = 3, RoundHalf(-2.5) = -3.
// Values too large to carry a fraction (and NaN) come back unchanged.
double RoundHalf(double v);

// A rectangle rounded by its edges: both edges of each axis rounded half away from zero and the
// extent taken between them, so (-12.5, 0, 25, 10) becomes (-13, 0, 26, 10).
RectT<double> RoundEdges(const RectT<double>& rect);

} // namespace SV
