#include "ControlBase/VisualPart.h"
#include "ControlBase/VisualPartDescriptor.h"
#include "PngFixtures.h"
#include "RecordingRenderer.h"
#include "Utilities/Graphics/Colorizer.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using namespace SV;

namespace {

RCPtr<LColorizer> Solid(uint32_t argb, uint32_t endArgb = 0, int32_t kind = LColorizer::kSolid)
{
    ColorT color;
    color.FromARGB(argb);
    ColorT end = color;
    if (kind != LColorizer::kSolid) {
        end.FromARGB(endArgb);
    }
    return RCPtr<LColorizer>(new LColorizer(u"c", kind, color, end, 0, 0, 1, 1));
}

// Pictures served to the bitmap registry under "::" names, for the length of a test.
class VisualPartTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        previous = LBitmap::SetResourceReader(
            [this](const std::string& name, std::vector<uint8_t>& bytes) {
                const auto found = images.find(name);
                if (found == images.end()) {
                    return false;
                }
                bytes = found->second;
                return true;
            });
        // 10 x 10: pixel (x, y) is opaque 0xFF00xxyy, except the transparent column x = 2.
        std::vector<uint32_t> pixels;
        for (uint32_t y = 0; y < 10; ++y) {
            for (uint32_t x = 0; x < 10; ++x) {
                pixels.push_back(x == 2 ? 0x00000000u : 0xFF000000u | (x << 8) | y);
            }
        }
        images["VP_GRID_PNG"] = svtest::EncodePng(10, 10, pixels);
    }
    void TearDown() override { LBitmap::SetResourceReader(previous); }

    RCPtr<LVisualPart> Grid(ResizeType type)
    {
        return CreateVisualPart(u"grid", LBitmap::GetBitmap(u"::vp grid.png"), type, nullptr, 1.0f,
                                nullptr);
    }

    std::map<std::string, std::vector<uint8_t>> images;
    LBitmap::ResourceReader previous;
};

TEST_F(VisualPartTest, ColourPartsFillTheDestinationOrTheirOwnSizeInTheMiddle)
{
    struct Case
    {
        ResizeType type;
        float size;
        std::string fill;
    };
    const Case cases[] = {
        {ResizeType::Center, 15.0f, "FillRect((2, 2, 10, 10), #FF102030, blend)"},
        {ResizeType::Center, 4.0f, "FillRect((-3, -3, 10, 10), #FF102030, blend)"},
        {ResizeType::Stretch, 14.5f, "FillRect((0, 0, 15, 15), #FF102030, blend)"},
        {ResizeType::Tile, 7.0f, "FillRect((0, 0, 7, 7), #FF102030, blend)"},
    };
    for (const Case& c : cases) {
        RCPtr<svtest::RecordingRenderer> renderer(new svtest::RecordingRenderer());
        const RCPtr<LVisualPart> part =
            CreateColorizerVisualPart(u"p", Solid(0xFF102030), {10, 10}, c.type, 1.0f, nullptr);
        ASSERT_TRUE(part);
        EXPECT_FALSE(part->GetBitmap());
        EXPECT_EQ(part->Draw(renderer, {c.size, c.size}), 0);
        EXPECT_EQ(renderer->CallTexts(), std::vector<std::string>{c.fill}) << c.size;
    }
}

TEST_F(VisualPartTest, ColourPartWithoutAlphaDrawsNothing)
{
    RCPtr<svtest::RecordingRenderer> renderer(new svtest::RecordingRenderer());
    const RCPtr<LVisualPart> part = CreateColorizerVisualPart(u"p", Solid(0x80FFFFFF), {10, 10},
                                                              ResizeType::Stretch, 0.0f, nullptr);
    EXPECT_EQ(part->Draw(renderer, {10, 10}), 0);
    EXPECT_TRUE(renderer->GetCalls().empty());
    EXPECT_EQ(part->GetColorAtPoint(PointT<int32_t>{1, 1}), 0x00FFFFFFu);
}

TEST_F(VisualPartTest, PicturePartsDrawTheirBitmapWithTheirResizeType)
{
    RCPtr<svtest::RecordingRenderer> renderer(new svtest::RecordingRenderer());
    const RCPtr<LVisualPart> part = Grid(ResizeType::Tile);
    ASSERT_TRUE(part);
    EXPECT_EQ(part->GetWidth(), 10);
    part->Draw(renderer, {30.4f, 9.5f});
    ASSERT_EQ(renderer->GetCalls().size(), 1u);
    EXPECT_EQ(renderer->GetCalls()[0].operation, "DrawBitmap");
    EXPECT_NE(renderer->GetCalls()[0].arguments.find("(0, 0, 30, 10)"), std::string::npos);
    EXPECT_FALSE(CreateVisualPart(u"none", nullptr, ResizeType::Tile, nullptr, 1.0f, nullptr));
    EXPECT_FALSE(
        CreateColorizerVisualPart(u"none", nullptr, {1, 1}, ResizeType::Tile, 1.0f, nullptr));
}

TEST_F(VisualPartTest, ColourAtAPointOfADestination)
{
    const auto pixel = [](uint32_t x, uint32_t y) { return 0xFF000000u | (x << 8) | y; };
    struct Case
    {
        ResizeType type;
        PointT<float> point;
        PointT<float> size;
        uint32_t expected;
    };
    const Case cases[] = {
        // The same size (within a hair) reads the pixel directly whatever the type.
        {ResizeType::Tile, {3.4f, 4.5f}, {10.0000005f, 10.0f}, pixel(3, 5)},
        {ResizeType::Stretch, {19.5f, 3.0f}, {20, 20}, pixel(9, 1)},
        {ResizeType::Stretch, {20.0f, 3.0f}, {20, 20}, 0x00FFFFFFu},
        {ResizeType::Stretch, {-0.5f, 3.0f}, {20, 20}, 0x00FFFFFFu},
        // A shrunk destination pixel covers x 2..3: column 2 is transparent, column 3 answers.
        {ResizeType::Stretch, {1, 1}, {5, 5}, pixel(3, 2)},
        {ResizeType::Tile, {25.6f, 3.0f}, {30, 10}, pixel(6, 3)},
        {ResizeType::Center, {6.0f, 6.0f}, {14, 14}, pixel(4, 4)},
        {ResizeType::Center, {1.0f, 6.0f}, {14, 14}, 0x00FFFFFFu},
    };
    for (const Case& c : cases) {
        const RCPtr<LVisualPart> part = Grid(c.type);
        EXPECT_EQ(part->GetColorAtPoint(c.point, c.size), c.expected)
            << c.point.x << "," << c.point.y << " in " << c.size.x;
    }
    const RCPtr<LVisualPart> part = Grid(ResizeType::Stretch);
    EXPECT_EQ(part->GetColorAtPoint(PointT<int32_t>{10, 5}), 0x00FFFFFFu);
    EXPECT_EQ(part->GetColorAtPoint(PointT<int32_t>{9, 5}), pixel(9, 5));
    // A block of transparent pixels answers the last one examined, not the colour of nothing.
    EXPECT_EQ(part->GetColorAtPoint(PointT<float>{2.0f, 0.0f}, {10.0f, 9.0f}), 0x00000000u);
}

TEST_F(VisualPartTest, TilingAPartWithoutAreaIsTransparent)
{
    for (const PointT<int32_t> size : {PointT<int32_t>{0, 10}, PointT<int32_t>{10, 0}}) {
        const RCPtr<LVisualPart> part = CreateColorizerVisualPart(u"p", Solid(0xFF00FF00), size,
                                                                  ResizeType::Tile, 1.0f, nullptr);
        EXPECT_EQ(part->GetColorAtPoint(PointT<float>{3, 3}, {20, 20}), 0x00FFFFFFu);
    }
}

TEST_F(VisualPartTest, ColorizersAreBakedIntoAPictureOnce)
{
    // A gradient of one colour becomes a picture of that colour.
    const RCPtr<LVisualPart> flat =
        CreateColorizerVisualPart(u"g", Solid(0xFF336699, 0xFF336699, LColorizer::kLinearGradient),
                                  {4, 3}, ResizeType::Stretch, 1.0f, nullptr);
    ASSERT_TRUE(flat->GetBitmap());
    EXPECT_EQ(flat->GetBitmap()->GetWidth(), 4);
    EXPECT_EQ(flat->GetColorAtPoint(PointT<int32_t>{3, 2}), 0xFF336699u);
    // A picture with a solid colorizer is recoloured into a new picture; its alpha stays.
    const RCPtr<LBitmap> grid = LBitmap::GetBitmap(u"::vp grid.png");
    const RCPtr<LVisualPart> tinted =
        CreateVisualPart(u"t", grid, ResizeType::Stretch, Solid(0xFFFF0000), 1.0f, nullptr);
    EXPECT_NE(tinted->GetBitmap().Get(), grid.Get());
    EXPECT_EQ(tinted->GetColorAtPoint(PointT<int32_t>{5, 5}), 0xFFFF0000u);
    EXPECT_EQ(tinted->GetColorAtPoint(PointT<int32_t>{2, 5}) >> 24, 0u);
    // Two different gradient colours and a picture with a mask cannot be made.
    EXPECT_ANY_THROW(
        CreateColorizerVisualPart(u"g", Solid(0xFF000000, 0xFFFFFFFF, LColorizer::kLinearGradient),
                                  {4, 3}, ResizeType::Stretch, 1.0f, nullptr));
    EXPECT_ANY_THROW(
        CreateVisualPart(u"m", grid, ResizeType::Stretch, Solid(0xFF000000), 1.0f, grid));
}

TEST_F(VisualPartTest, DescriptorsShareOnePartWhileItIsHeld)
{
    RCPtr<LVisualPartDescriptor> descriptor(
        new LVisualPartDescriptor(u"Grid", PartImageSource{u"::vp grid.png", 1, 1, 4, 4},
                                  ResizeType::Tile, nullptr, 0, 0, 1.0f, PartImageSource{}));
    RCPtr<LVisualPart> first = descriptor->GetVisualPart();
    RCPtr<LVisualPart> second = descriptor->GetVisualPart();
    ASSERT_TRUE(first);
    EXPECT_EQ(first.Get(), second.Get());
    EXPECT_EQ(first->GetWidth(), 4);
    EXPECT_EQ(first->GetColorAtPoint(PointT<int32_t>{0, 0}), 0xFF000101u);
    first = nullptr;
    EXPECT_NE(descriptor->visualPart, nullptr);
    second = nullptr;
    EXPECT_EQ(descriptor->visualPart, nullptr);
    EXPECT_TRUE(descriptor->GetVisualPart());

    // A part that cannot be made leaves the slot empty.
    RCPtr<LVisualPartDescriptor> broken(new LVisualPartDescriptor(
        u"Broken", PartImageSource{}, ResizeType::Stretch,
        Solid(0xFF000000, 0xFF0000FF, LColorizer::kRadialGradient), 3, 3, 1.0f, PartImageSource{}));
    EXPECT_ANY_THROW(broken->GetVisualPart());
    EXPECT_EQ(broken->visualPart, nullptr);
}

} // namespace
