#include "Utilities/Graphics/Point.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace SV {
namespace {

TEST(PointTest, RoundGoesHalfAwayFromZeroAndSaturatesAtTheInt32Limits)
{
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    constexpr double kInf = std::numeric_limits<double>::infinity();
    struct Case
    {
        PointT<double> point;
        PointT<int32_t> expected;
    };
    const Case cases[] = {
        {{2.5, -2.5}, {3, -3}},
        {{2.4, -2.4}, {2, -2}},
        {{2.6, -2.6}, {3, -3}},
        {{0.0, -0.0}, {0, 0}},
        {{0.5, -0.5}, {1, -1}},
        {{1e12, -1e12}, {kMax, kMin}},
        {{kInf, -kInf}, {kMax, kMin}},
        {{kNaN, 7.0}, {kMin, 7}},
        {{-7.0, kNaN}, {-7, kMin}},
        // At the limits, the rounded value still fits.
        {{2147483647.0, -2147483648.0}, {kMax, kMin}},
        {{2147483646.5, -2147483647.5}, {kMax, kMin}},
        {{2147483646.4, -2147483647.4}, {kMax - 1, kMin + 1}},
        {{2147483647.0000005, -2147483648.0000005}, {kMax, kMin}},
    };
    for (const Case& c : cases) {
        const PointT<int32_t> rounded = c.point.Round();
        EXPECT_EQ(rounded.x, c.expected.x) << "x = " << c.point.x;
        EXPECT_EQ(rounded.y, c.expected.y) << "y = " << c.point.y;
    }
}

} // namespace
} // namespace SV
