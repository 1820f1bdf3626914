#include "Utilities/Graphics/Rect.h"
#include "Utilities/Graphics/Polyline.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using SV::RectT;

TEST(RectTest, IntersectionIsWrittenEvenWhenEmpty)
{
    struct Case
    {
        RectT<double> a;
        RectT<double> b;
        RectT<double> expected;
        bool nonEmpty;
    };
    const Case cases[] = {
        {{0, 0, 10, 10}, {5, 5, 10, 10}, {5, 5, 5, 5}, true},
        {{0, 0, 10, 10}, {20, 30, 5, 5}, {20, 30, -10, -20}, false},
        {{0, 0, 10, 10}, {10, 0, 5, 5}, {10, 0, 0, 5}, false},
        {{0, 0, 1e-16, 5}, {0, 0, 10, 10}, {0, 0, 1e-16, 5}, false},
    };
    for (const Case& c : cases) {
        RectT<double> out{9, 9, 9, 9};
        EXPECT_EQ(SV::IntersectRect(c.a, c.b, out), c.nonEmpty);
        EXPECT_EQ(out, c.expected);
    }
}

TEST(RectTest, SnappingTurnsExtentsPositiveAndFloorsTheEdges)
{
    struct Case
    {
        RectT<double> rect;
        RectT<double> expected;
    };
    const Case cases[] = {
        {{1.5, 2.25, 10, 10}, {1, 2, 10, 10}},
        {{10, 10, -4, -6}, {6, 4, 4, 6}},
        {{-1.5, -0.5, 1, 1}, {-2, -1, 1, 1}},
        {{2.9999999999999996, 0, 1, 1}, {3, 0, 1, 1}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SV::SnapRect(c.rect), c.expected) << c.rect.x;
    }
}

TEST(RectTest, RoundingToDeviceRectanglesRoundsHalfAwayAndSaturates)
{
    EXPECT_EQ(SV::RoundRect({0.5f, -0.5f, 2.49f, -2.5f}), (RectT<int32_t>{1, -1, 2, -3}));
    EXPECT_EQ(SV::RoundRect({1e20f, -1e20f, std::numeric_limits<float>::infinity(), 0}),
              (RectT<int32_t>{2147483647, -2147483647 - 1, 2147483647, 0}));
}

TEST(PolylineTest, EveryListHasItsOwnHandleAndEditsMarkItChanged)
{
    SV::PolylineT<float> line;
    line.SetChanged(false);
    line.AddPoint({1, 2});
    EXPECT_TRUE(line.IsChanged());

    SV::PolylineT<float> copy(line);
    EXPECT_NE(copy.GetHandle(), line.GetHandle());
    EXPECT_GT(copy.GetHandle(), 0);
    EXPECT_EQ(copy.GetPoints(), line.GetPoints());

    SV::ColorRectListT<float> rects;
    rects.AddRect({0, 0, 1, 1}, 0xFF00FF00);
    SV::ColorRectListT<float> other;
    const int32_t handle = other.GetHandle();
    other = rects;
    EXPECT_EQ(other.GetHandle(), handle);
    EXPECT_EQ(other.GetColors(), rects.GetColors());
}

} // namespace
