// Points of the layout and drawing arithmetic.
#pragma once

#include <cstdint>

namespace SV {

template <class T>
struct PointT
{
    T x{};
    T y{};

    bool operator==(const PointT& other) const = default;

    // Device point: each coordinate rounded half away from zero and saturated at the 32-bit
    // limits (NaN gives the lower limit). Defined for PointT<double>.
    PointT<int32_t> Round() const;
};

template <>
PointT<int32_t> PointT<double>::Round() const;

} // namespace SV
