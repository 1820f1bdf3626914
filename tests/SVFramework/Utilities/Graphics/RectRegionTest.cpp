#include "Utilities/Graphics/RectRegion.h"
#include "Utilities/Storage/Array.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

using SV::RectRegion;
using Edges = SV::RectRegion::Edges;

std::vector<Edges> ListOf(const RectRegion& region)
{
    std::vector<Edges> list;
    for (const RectRegion::Node* node = region.GetFirst(); node != nullptr; node = node->next) {
        list.push_back({node->left, node->top, node->right, node->bottom});
    }
    return list;
}

RectRegion RegionOf(std::initializer_list<Edges> rects)
{
    RectRegion region;
    for (const Edges& rect : rects) {
        region.AddRect(rect);
    }
    return region;
}

int64_t AreaOf(const RectRegion& region)
{
    int64_t area = 0;
    for (const Edges& e : ListOf(region)) {
        area += int64_t(e.right - e.left) * (e.bottom - e.top);
    }
    return area;
}

// True when the point lies in exactly one rectangle: the region covers it and stays disjoint.
int CoverCount(const RectRegion& region, int32_t x, int32_t y)
{
    const std::vector<Edges> list = ListOf(region);
    return static_cast<int>(std::count_if(list.begin(), list.end(), [&](const Edges& e) {
        return x >= e.left && x < e.right && y >= e.top && y < e.bottom;
    }));
}

void PrintTo(const Edges& e, std::ostream* out)
{
    *out << "(" << e.left << ", " << e.top << ", " << e.right << ", " << e.bottom << ")";
}

} // namespace

namespace SV {
void PrintTo(const RectRegion::Edges& e, std::ostream* out)
{
    ::PrintTo(e, out);
}
} // namespace SV

namespace {

TEST(RectRegionTest, AddingCutsTheNewRectangleOutOfTheRegionAndPutsItInFront)
{
    const RectRegion region = RegionOf({{0, 0, 10, 10}, {5, 5, 15, 15}});
    EXPECT_EQ(ListOf(region), (std::vector<Edges>{{5, 5, 15, 15}, {0, 5, 5, 10}, {0, 0, 10, 5}}));
}

TEST(RectRegionTest, AddingKeepsTheRectanglesDisjointAndDropsEmptyOnes)
{
    struct Case
    {
        std::vector<Edges> added;
        std::vector<Edges> expected;
    };
    const std::vector<Case> cases = {
        {{{2, 2, 4, 4}, {0, 0, 10, 10}}, {{0, 0, 10, 10}}},
        {{{0, 0, 10, 10}, {3, 3, 3, 10}}, {{0, 0, 10, 10}}},
        {{{0, 0, 10, 10}, {3, 3, 8, 2}}, {{0, 0, 10, 10}}},
        {{{0, 0, 10, 10}, {10, 0, 20, 10}}, {{10, 0, 20, 10}, {0, 0, 10, 10}}},
        {{{0, 0, 10, 10}, {2, 2, 4, 4}},
         {{2, 2, 4, 4}, {4, 2, 10, 4}, {0, 2, 2, 4}, {0, 4, 10, 10}, {0, 0, 10, 2}}},
    };
    for (const Case& c : cases) {
        RectRegion region;
        for (const Edges& e : c.added) {
            region.AddRect(e);
        }
        EXPECT_EQ(ListOf(region), c.expected);
    }
}

TEST(RectRegionTest, RoundedRectanglesMoveUpByAHalfAndTruncateTowardZero)
{
    RectRegion region;
    region.AddRectRounded(-0.6, 2.5, 3.4, 3.5);
    EXPECT_EQ(ListOf(region), (std::vector<Edges>{{0, 3, 3, 7}}));

    // Values past the 32-bit range saturate instead of overflowing.
    RectRegion huge;
    huge.AddRectRounded(2147483000.0, 0, 1e12, 1e300);
    EXPECT_EQ(ListOf(huge), (std::vector<Edges>{{2147483000, 0, 2147483647, 2147483647}}));
}

TEST(RectRegionTest, SubtractingCollectsThePiecesThatLayInside)
{
    RectRegion region = RegionOf({{0, 0, 10, 10}, {20, 0, 30, 10}});
    RectRegion removed;
    region.SubtractRect({5, 5, 25, 15}, &removed);
    EXPECT_EQ(AreaOf(region), 200 - 50);
    EXPECT_EQ(AreaOf(removed), 50);
    for (int32_t x = 0; x < 30; ++x) {
        for (int32_t y = 0; y < 10; ++y) {
            const bool inRegion = x < 10 || x >= 20;
            const bool inRect = x >= 5 && x < 25 && y >= 5;
            EXPECT_EQ(CoverCount(region, x, y), inRegion && !inRect ? 1 : 0) << x << "," << y;
            EXPECT_EQ(CoverCount(removed, x, y), inRegion && inRect ? 1 : 0) << x << "," << y;
        }
    }
}

TEST(RectRegionTest, IntersectingKeepsOnlyTheCommonArea)
{
    RectRegion region = RegionOf({{0, 0, 10, 10}});
    region.IntersectRegion(RegionOf({{5, -5, 20, 5}, {-5, 8, 3, 20}}));
    region.Normalize();
    EXPECT_EQ(ListOf(region), (std::vector<Edges>{{5, 0, 10, 5}, {0, 8, 3, 10}}));

    RectRegion emptied = RegionOf({{0, 0, 10, 10}});
    emptied.IntersectRegion(RectRegion());
    EXPECT_TRUE(emptied.IsEmpty());

    RectRegion self = RegionOf({{0, 0, 10, 10}});
    self.IntersectRegion(self);
    EXPECT_EQ(ListOf(self), (std::vector<Edges>{{0, 0, 10, 10}}));
}

TEST(RectRegionTest, AppendingCopiesInReverseOrderWithoutRemovingOverlaps)
{
    RectRegion region = RegionOf({{0, 0, 10, 10}});
    region.AppendRegion(RegionOf({{0, 0, 5, 5}, {20, 20, 30, 30}}));
    EXPECT_EQ(ListOf(region), (std::vector<Edges>{{0, 0, 5, 5}, {20, 20, 30, 30}, {0, 0, 10, 10}}));
    region.AppendRegion(region);
    EXPECT_EQ(region.Count(), 6);
}

TEST(RectRegionTest, OffsetBoundsAndEnumeration)
{
    RectRegion region = RegionOf({{0, 0, 10, 10}, {20, 5, 30, 40}});
    region.Offset(-5, 3);
    Edges bounds;
    EXPECT_TRUE(region.GetBounds(bounds));
    EXPECT_EQ(bounds, (Edges{-5, 3, 25, 43}));

    SV::Array<SV::RectT<int32_t>> rects;
    rects.InsertAt(0, SV::RectT<int32_t>{9, 9, 9, 9});
    region.EnumerateRects(rects);
    ASSERT_EQ(rects.GetCount(), 2);
    EXPECT_EQ(*rects.At(0), (SV::RectT<int32_t>{15, 8, 10, 35}));
    EXPECT_EQ(*rects.At(1), (SV::RectT<int32_t>{-5, 3, 10, 10}));

    RectRegion empty;
    bounds = {1, 2, 3, 4};
    EXPECT_FALSE(empty.GetBounds(bounds));
    EXPECT_EQ(bounds, (Edges{0, 0, 0, 0}));
    empty.EnumerateRects(rects);
    EXPECT_EQ(rects.GetCount(), 0);
}

TEST(RectRegionTest, IntersectionTestsNeedACommonArea)
{
    const RectRegion region = RegionOf({{10, 10, 20, 20}});
    struct Case
    {
        Edges rect;
        bool expected;
    };
    const Case cases[] = {
        {{0, 0, 10, 30}, false},                             // shares the left edge
        {{20, 10, 30, 20}, false},                           // shares the right edge
        {{0, 0, 11, 11}, true},    {{12, 12, 13, 13}, true}, // inside
        {{0, 0, 40, 40}, true},                              // around
        {{15, 15, 15, 30}, false},                           // empty
    };
    for (const Case& c : cases) {
        EXPECT_EQ(region.IntersectsRect(c.rect), c.expected)
            << c.rect.left << "," << c.rect.top << "," << c.rect.right << "," << c.rect.bottom;
    }
}

TEST(RectRegionTest, IntersectionTestInDoublesMovesClampsAndRounds)
{
    const RectRegion region = RegionOf({{0, 0, 10, 10}});
    struct Case
    {
        SV::RectT<double> rect;
        SV::PointT<double> offset;
        bool expected;
    };
    const Case cases[] = {
        {{10.4, 0, 5, 5}, {0, 0}, false},        // rounds to the shared edge
        {{10.4, 0, 5, 5}, {-1, 0}, true},        // moved back inside
        {{-20, -20, 19.6, 19.6}, {0, 0}, false}, // clamped to 0: nothing left
        {{-20, -20, 21, 21}, {0, 0}, true},      {{5, 5, -3, 4}, {0, 0}, false}, // inverted
        {{5, 5, 1e300, 1e300}, {0, 0}, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(region.IntersectsRect(c.rect, c.offset), c.expected) << c.rect.x;
    }
}

TEST(RectRegionTest, NormalizingMakesSortedBandsWithTouchingPiecesMerged)
{
    struct Case
    {
        std::string name;
        std::vector<Edges> added;
        std::vector<Edges> expected;
    };
    const std::vector<Edges> squares = {
        {0, 0, 10, 10}, {10, 0, 20, 10}, {0, 10, 10, 20}, {10, 10, 20, 20}};
    const std::vector<Case> cases = {
        {"side by side", {{10, 0, 20, 10}, {0, 0, 10, 10}}, {{0, 0, 20, 10}}},
        {"overlapping squares",
         {{0, 0, 10, 10}, {10, 5, 20, 15}},
         {{0, 0, 10, 5}, {0, 5, 20, 10}, {10, 10, 20, 15}}},
        {"L shape", {{0, 0, 20, 10}, {0, 10, 5, 30}}, {{0, 0, 20, 10}, {0, 10, 5, 30}}},
        {"stacked", {{0, 10, 10, 20}, {0, 0, 10, 10}, {0, 20, 10, 25}}, {{0, 0, 10, 25}}},
        {"apart", {{50, 50, 60, 60}, {0, 0, 10, 10}}, {{0, 0, 10, 10}, {50, 50, 60, 60}}},
        {"cross",
         {{10, 0, 20, 30}, {0, 10, 30, 20}},
         {{10, 0, 20, 10}, {0, 10, 30, 20}, {10, 20, 20, 30}}},
    };
    for (const Case& c : cases) {
        RectRegion region;
        for (const Edges& e : c.added) {
            region.AddRect(e);
        }
        region.Normalize();
        EXPECT_EQ(ListOf(region), c.expected) << c.name;
    }

    std::vector<Edges> order = squares;
    do {
        RectRegion region;
        for (const Edges& e : order) {
            region.AddRect(e);
        }
        region.Normalize();
        EXPECT_EQ(ListOf(region), (std::vector<Edges>{{0, 0, 20, 20}}));
    } while (std::next_permutation(order.begin(), order.end(), [](const Edges& a, const Edges& b) {
        return std::tie(a.left, a.top) < std::tie(b.left, b.top);
    }));
}

TEST(RectRegionTest, NormalizingAStaircaseCoversTheSameAreaInBands)
{
    // Rectangles of different heights that overlap in many ways.
    RectRegion region;
    for (int32_t i = 0; i < 12; ++i) {
        region.AddRect({i * 7 % 23, i * 5 % 17, i * 7 % 23 + 9 + i % 4, i * 5 % 17 + 6 + i % 5});
    }
    const RectRegion before(region);
    region.Normalize();
    EXPECT_EQ(AreaOf(region), AreaOf(before));
    for (int32_t x = 0; x < 40; ++x) {
        for (int32_t y = 0; y < 30; ++y) {
            ASSERT_EQ(CoverCount(region, x, y), CoverCount(before, x, y)) << x << "," << y;
        }
    }
    // Bands come in the order of their bottoms; within a band the pieces are sorted by left and
    // none touches the next. Pieces merged with the band above keep the place of the lower one.
    const std::vector<Edges> list = ListOf(region);
    for (size_t i = 1; i < list.size(); ++i) {
        ASSERT_LE(list[i - 1].bottom, list[i].bottom);
        if (list[i - 1].top == list[i].top && list[i - 1].bottom == list[i].bottom) {
            EXPECT_LT(list[i - 1].right, list[i].left);
        }
    }
}

TEST(RectRegionTest, NodesComeFromThePoolUntilItRunsOutAndGoBackToIt)
{
    const auto start = RectRegion::NodePool::GetStatistics();
    ASSERT_EQ(start.liveNodes, 0u);
    std::vector<RectRegion::Node*> nodes;
    for (int i = 0; i < 600; ++i) {
        nodes.push_back(RectRegion::AllocNode());
        EXPECT_EQ(nodes.back()->left, 0);
        EXPECT_EQ(nodes.back()->next, nullptr);
    }
    const auto full = RectRegion::NodePool::GetStatistics();
    EXPECT_EQ(full.freeSlots, 0u);
    EXPECT_EQ(full.liveNodes, 600u);
    EXPECT_GE(full.highWaterMark, 600u);
    EXPECT_EQ(std::count_if(nodes.begin(), nodes.end(), RectRegion::NodePool::IsPoolNode), 512);
    for (RectRegion::Node* node : nodes) {
        RectRegion::NodePool::Return(node);
    }
    const auto end = RectRegion::NodePool::GetStatistics();
    EXPECT_EQ(end.freeSlots, 512u);
    EXPECT_EQ(end.liveNodes, 0u);

    // Regions return their nodes when they are cleared, copied over or destroyed.
    {
        RectRegion region = RegionOf({{0, 0, 10, 10}, {5, 5, 15, 15}});
        RectRegion copy(region);
        copy = RegionOf({{1, 1, 2, 2}});
        EXPECT_EQ(RectRegion::NodePool::GetStatistics().liveNodes, 4u);
        region.Clear();
        EXPECT_EQ(RectRegion::NodePool::GetStatistics().liveNodes, 1u);
    }
    EXPECT_EQ(RectRegion::NodePool::GetStatistics().liveNodes, 0u);
}

TEST(RectRegionTest, NormalizingNeverChangesTheCoveredArea)
{
    // Regions built by every kind of operation from pseudo-random rectangles on a small grid,
    // so that edges coincide often.
    uint32_t seed = 12345;
    const auto next = [&](int32_t limit) {
        seed = seed * 1103515245u + 12345u;
        return int32_t((seed >> 16) % uint32_t(limit));
    };
    const auto randomRect = [&]() -> Edges {
        const int32_t left = next(12) * 2;
        const int32_t top = next(12) * 2;
        return {left, top, left + 1 + next(10) * 2, top + 1 + next(10) * 2};
    };
    for (int round = 0; round < 300; ++round) {
        RectRegion region;
        RectRegion other;
        for (int i = next(12); i >= 0; --i) {
            region.AddRect(randomRect());
            other.AddRect(randomRect());
        }
        switch (round % 3) {
        case 1:
            region.SubtractRegion(other);
            break;
        case 2:
            region.IntersectRegion(other);
            break;
        default:
            break;
        }
        const RectRegion before(region);
        region.Normalize();
        ASSERT_EQ(AreaOf(region), AreaOf(before)) << "round " << round;
        for (int32_t x = 0; x < 46; ++x) {
            for (int32_t y = 0; y < 46; ++y) {
                ASSERT_EQ(CoverCount(region, x, y), CoverCount(before, x, y))
                    << "round " << round << " at " << x << "," << y;
            }
        }
    }
}

} // namespace
