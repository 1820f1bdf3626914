#include "Utilities/Graphics/Point.h"

#include <limits>

namespace SV {

namespace {

int32_t RoundCoordinate(double v)
{
    // Written so that NaN fails the first test and lands on the lower limit.
    if (!(v >= -2147483648.0)) {
        return std::numeric_limits<int32_t>::min();
    }
    if (v > 2147483647.0) {
        return std::numeric_limits<int32_t>::max();
    }
    // From here v + 0.5 is at most 2147483647.5 and v - 0.5 at least -2147483648.5, both exact in
    // double; truncated toward zero they stay within int32_t, so the conversion is always defined.
    return static_cast<int32_t>(v < 0.0 ? v - 0.5 : v + 0.5);
}

} // namespace

template <>
PointT<int32_t> PointT<double>::Round() const
{
    return {RoundCoordinate(x), RoundCoordinate(y)};
}

} // namespace SV
