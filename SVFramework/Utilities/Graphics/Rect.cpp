#include "Utilities/Graphics/Rect.h"

#include "Utilities/Graphics/Point.h"

#include <algorithm>
#include <cmath>

namespace SV {

bool IntersectRect(const RectT<double>& a, const RectT<double>& b, RectT<double>& out)
{
    const double left = std::max(a.x, b.x);
    const double top = std::max(a.y, b.y);
    const double right = std::min(a.Right(), b.Right());
    const double bottom = std::min(a.Bottom(), b.Bottom());
    out = {left, top, right - left, bottom - top};
    return out.width > kMinExtent && out.height > kMinExtent;
}

namespace {

double SnapEdge(double edge)
{
    return std::floor(edge + std::fabs(edge) * kMinExtent);
}

} // namespace

RectT<double> SnapRect(const RectT<double>& rect)
{
    RectT<double> r = rect;
    if (r.width < 0.0) {
        r.x += r.width;
        r.width = -r.width;
    }
    if (r.height < 0.0) {
        r.y += r.height;
        r.height = -r.height;
    }
    const double left = SnapEdge(r.x);
    const double top = SnapEdge(r.y);
    const double right = SnapEdge(r.Right());
    const double bottom = SnapEdge(r.Bottom());
    return {left, top, right - left, bottom - top};
}

RectT<int32_t> RoundRect(const RectT<float>& rect)
{
    const PointT<int32_t> corner = PointT<double>{rect.x, rect.y}.Round();
    const PointT<int32_t> extent = PointT<double>{rect.width, rect.height}.Round();
    return {corner.x, corner.y, extent.x, extent.y};
}

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

RectT<double> RoundEdges(const RectT<double>& rect)
{
    const double right = RoundHalf(rect.Right());
    const double bottom = RoundHalf(rect.Bottom());
    const double x = RoundHalf(rect.x);
    const double y = RoundHalf(rect.y);
    return {x, y, right - x, bottom - y};
}

} // namespace SV
