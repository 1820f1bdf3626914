#include "Utilities/Graphics/Rect.h"

#include <cmath>

namespace SV {

double RoundHalf(double v)
{
    // From 2^52 on every double is whole; beyond 2^63 the truncation to a 64-bit integer would be
    // undefined, so such values (and NaN) are answered as they are.
    if (!(std::fabs(v) < 4503599627370496.0)) {
        return v;
    }
    const double shifted = std::signbit(v) ? v - 0.5 : v + 0.5;
    return static_cast<double>(static_cast<int64_t>(shifted));
}

template <>
void RectT<double>::SnapToWholeUnits()
{
    if (width < 0.0) {
        x += width;
        width = -width;
    }
    if (height < 0.0) {
        y += height;
        height = -height;
    }
    const auto snap = [](double e) { return std::floor(e + std::fabs(e) * 0x1p-52); };
    const double left = snap(x);
    const double top = snap(y);
    const double right = snap(x + width);
    const double bottom = snap(y + height);
    x = left;
    y = top;
    width = right - left;
    height = bottom - top;
}

template <>
void RectT<double>::RoundEdges()
{
    const double right = RoundHalf(x + width);
    const double bottom = RoundHalf(y + height);
    x = RoundHalf(x);
    y = RoundHalf(y);
    width = right - x;
    height = bottom - y;
}

} // namespace SV
