#include "ControlBase/Look.h"
#include "ControlApplicationDouble.h"
#include "ControlBase/VisualPartDescriptor.h"
#include "ControlFixtures.h"
#include "RecordingRenderer.h"
#include "ResultCodes.h"
#include "Utilities/Graphics/Colorizer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace SV;

namespace {

RCPtr<LVisualPartDescriptor> ColourPart(uint32_t argb, int32_t width = 10, int32_t height = 10)
{
    ColorT color;
    color.FromARGB(argb);
    return RCPtr<LVisualPartDescriptor>(new LVisualPartDescriptor(
        u"part", PartImageSource{}, ResizeType::Stretch,
        RCPtr<LColorizer>(new LColorizer(u"c", LColorizer::kSolid, color, color, 0, 0, 0, 0)),
        width, height, 1.0f, PartImageSource{}));
}

RCPtr<LDockedPart> Docked(const RCPtr<LVisualPartDescriptor>& part, int32_t flags, int32_t left,
                          int32_t top, int32_t right, int32_t bottom)
{
    return RCPtr<LDockedPart>(new LDockedPart(part, flags, left, top, right, bottom, 0, 0, 0, 0));
}

RCPtr<LLookDescriptor> LookWithClient(uint32_t argb, int32_t l = 0, int32_t t = 0, int32_t r = 0,
                                      int32_t b = 0)
{
    RCPtr<LLookDescriptor> look(new LLookDescriptor(u"look"));
    look->SetClientPart(Docked(ColourPart(argb), LDockedPart::kAllOffsets, l, t, r, b));
    return look;
}

RCPtr<LLook> MakeLook(const RCPtr<LLookDescriptor>& descriptor, int32_t w, int32_t h)
{
    RCPtr<LLook> look = LLook::Create(descriptor, false);
    look->SetSize(w, h);
    return look;
}

TEST(LookTest, NonClientPartsStretchStickOrCentre)
{
    struct Case
    {
        int32_t flags;
        int32_t width;
        RectT<int32_t> expected;
    };
    constexpr int32_t kLeft = LDockedPart::kLeftOffset;
    constexpr int32_t kRight = LDockedPart::kRightOffset;
    constexpr int32_t kTop = LDockedPart::kTopOffset;
    constexpr int32_t kBottom = LDockedPart::kBottomOffset;
    const Case cases[] = {
        {kLeft | kRight | kTop | kBottom, 100, {4, 2, 92, 26}},
        {kRight | kTop | kBottom, 100, {86, 2, 10, 26}},
        {kLeft | kTop, 100, {4, 2, 10, 10}},
        {kTop | kBottom, 100, {45, 2, 10, 26}},
        {kTop | kBottom, 101, {45, 2, 10, 26}},
        {0, 100, {45, 10, 10, 10}},
        {kBottom, 100, {45, 18, 10, 10}},
    };
    for (const Case& c : cases) {
        RCPtr<LLookDescriptor> descriptor = LookWithClient(0xFFFFFFFF);
        descriptor->nonClientParts.Add(Docked(ColourPart(0xFF000000), c.flags, 4, 2, -4, -2));
        const RCPtr<LLook> look = MakeLook(descriptor, c.width, 30);
        ASSERT_EQ(look->GetNonClientRects().GetCount(), 1);
        EXPECT_EQ(*look->GetNonClientRects().At(0), c.expected) << c.flags << " " << c.width;
    }
}

TEST(LookTest, ClientRectangleIsClampedIntoTheLook)
{
    const RCPtr<LLookDescriptor> descriptor = LookWithClient(0xFFFFFFFF, 5, 5, -5, -5);
    EXPECT_EQ(MakeLook(descriptor, 100, 30)->GetClientRectPixels(), (RectT<int32_t>{5, 5, 90, 20}));
    EXPECT_EQ(MakeLook(descriptor, 8, 8)->GetClientRectPixels(), (RectT<int32_t>{5, 5, 0, 0}));
    // Without a client part the client area is the whole look, and nothing is drawn for it.
    RCPtr<LLookDescriptor> bare(new LLookDescriptor(u"bare"));
    const RCPtr<LLook> look = MakeLook(bare, 40, 20);
    EXPECT_EQ(look->GetClientRectPixels(), (RectT<int32_t>{0, 0, 40, 20}));
    EXPECT_EQ(look->GetColorAtPoint({1, 1}), 0x00FFFFFFu);
}

TEST(LookTest, TextAreaFollowsThePlacement)
{
    RCPtr<LLookDescriptor> descriptor = LookWithClient(0xFFFFFFFF);
    TextPlacement text;
    text.leftAbs = 5;
    text.rightRel = 1.0f;
    text.rightAbs = -5;
    text.topRel = 0.5f;
    text.topAbs = -8;
    text.bottomRel = 0.5f;
    text.bottomAbs = 8;
    descriptor->SetTextProperties(text, ColourPart(0xFF000000));
    const RCPtr<LLook> look = MakeLook(descriptor, 100, 31);
    EXPECT_EQ(look->GetTextOrigin(), (PointT<int32_t>{5, 7}));
    ASSERT_TRUE(look->GetTextObject());
    EXPECT_EQ(look->GetTextObject()->GetAreaWidth(), 90);
    EXPECT_EQ(look->GetTextObject()->GetAreaHeight(), 16);
}

TEST(LookTest, ColourAtAPointPrefersNonClientThenOverlayThenClient)
{
    RCPtr<LLookDescriptor> descriptor = LookWithClient(0xFF0000FF);
    descriptor->nonClientParts.Add(
        Docked(ColourPart(0x00000000), LDockedPart::kAllOffsets, 0, 0, 0, 0));
    descriptor->nonClientParts.Add(Docked(ColourPart(0xFFFF0000, 10, 10),
                                          LDockedPart::kLeftOffset | LDockedPart::kTopOffset, 0, 0,
                                          0, 0));
    const RCPtr<LLook> look = MakeLook(descriptor, 50, 20);
    EXPECT_EQ(look->GetColorAtPoint({5, 5}), 0xFFFF0000u);
    EXPECT_EQ(look->GetColorAtPoint({30, 5}), 0xFF0000FFu);
    EXPECT_EQ(look->GetColorAtPoint({50, 5}), 0x00FFFFFFu);

    EXPECT_EQ(look->SetOverlayBitmap(nullptr, ResizeType::Stretch, false), S_FALSE);
    EXPECT_EQ(look->SetOverlayBitmap(LBitmap::CreateFilledBitmap(2, 2, ColorT{0, 1, 0, 1}),
                                     ResizeType::Tile, true),
              S_OK);
    EXPECT_EQ(look->GetColorAtPoint({30, 5}), 0xFF00FF00u);
    EXPECT_EQ(look->SetOverlayBitmap(nullptr, ResizeType::Stretch, false), S_OK);
    EXPECT_EQ(look->GetColorAtPoint({30, 5}), 0xFF0000FFu);
}

TEST(LookTest, LooksPlacingTheSamePartShareItUntilBothAreGone)
{
    const RCPtr<LLookDescriptor> descriptor = LookWithClient(0xFF123456);
    RCPtr<LLook> first = MakeLook(descriptor, 10, 10);
    RCPtr<LLook> second = MakeLook(descriptor, 20, 20);
    EXPECT_EQ(first->GetClientPart().Get(), second->GetClientPart().Get());
    const LVisualPartDescriptor& part = *descriptor->clientPart->part;
    EXPECT_NE(part.visualPart, nullptr);
    first = nullptr;
    second = nullptr;
    EXPECT_EQ(part.visualPart, nullptr);
}

class ControlLookTest : public ::testing::Test
{
protected:
    ControlLookTest()
    {
        window = app.AddRootWindow({0, 0, 400, 300});
        control = svtest::MakeControl(nullptr, u"top", svtest::At(0, 0, 100, 50));
        control->SetRootWindow(window);
        control->UpdateLayout();
        for (uint32_t argb : {0xFF000001u, 0xFF000002u, 0xFF000003u}) {
            control->AddLook(LLook::Create(LookWithClient(argb), false));
        }
        window->GetDirtyRegion().Clear();
    }

    std::vector<float> Alphas() const
    {
        std::vector<float> alphas;
        for (int32_t i = 0; i < control->GetLooks().GetCount(); ++i) {
            alphas.push_back(control->GetLookAlpha(i));
        }
        return alphas;
    }

    svtest::ControlApplicationDouble app;
    RCPtr<LRootWindow> window;
    RCPtr<LControl> control;
};

TEST_F(ControlLookTest, AlphasChangeOnlyWithinRangeAndInvalidateOnChange)
{
    EXPECT_EQ(control->SetLookAlpha(1, 1.0f, true), S_OK);
    EXPECT_EQ(Alphas(), (std::vector<float>{0, 1, 0}));
    EXPECT_EQ(window->GetDirtyRegion().Count(), 1);
    window->GetDirtyRegion().Clear();
    EXPECT_EQ(control->SetLookAlpha(1, 1.0f, true), S_OK);
    EXPECT_TRUE(window->GetDirtyRegion().IsEmpty());

    control->SetLookAlpha(2, 0.5f, false);
    EXPECT_EQ(control->SetLookAlpha(0, 1.5f, true), S_OK);
    EXPECT_EQ(Alphas(), (std::vector<float>{0, 0, 0}));
    EXPECT_EQ(control->SetLookAlpha(3, 1.0f, false), E_INVALIDARG);
}

TEST_F(ControlLookTest, LookInUseIsTheFirstShownElseTheFirstPresent)
{
    const LLook* looks[3];
    for (int32_t i = 0; i < 3; ++i) {
        looks[i] = control->GetLooks().At(i)->Get();
    }
    EXPECT_EQ(control->GetLook(-1).Get(), looks[0]);
    EXPECT_EQ(control->GetFirstActiveLookIndex(), -1);
    control->SetLookAlpha(1, 0.5f, false);
    control->SetLookAlpha(2, 1.0f, false);
    EXPECT_EQ(control->GetLook(-1).Get(), looks[1]);
    EXPECT_EQ(control->GetLook(7).Get(), looks[1]);
    EXPECT_EQ(control->GetFirstActiveLookIndex(), 1);

    EXPECT_EQ(control->AddLook(nullptr), 3);
    EXPECT_EQ(control->GetLookAlpha(3), 0.0f);
    EXPECT_FALSE(control->GetLook(3));
}

TEST_F(ControlLookTest, RegionsAndPartsFallBackToTheLookInUse)
{
    RectRegion region;
    region.AddRect({10, 10, 30, 20});
    EXPECT_EQ(control->SetLookRegion(1, region), S_OK);
    EXPECT_EQ(control->SetLookRegionExcluding(0, 1), S_OK);
    const RectRegion& excluded = (*control->GetLooks().At(0))->GetClipRegion();
    EXPECT_EQ(excluded.Count(), 4);
    EXPECT_FALSE(excluded.IntersectsRect({10, 10, 30, 20}));
    EXPECT_TRUE(excluded.IntersectsRect({0, 0, 100, 10}));
    control->ClearLookRegions();
    EXPECT_TRUE(excluded.IsEmpty());

    window->GetDirtyRegion().Clear();
    EXPECT_EQ(control->SetLookPart(nullptr, ResizeType::Stretch, 0, false), S_FALSE);
    EXPECT_TRUE(window->GetDirtyRegion().IsEmpty());
    EXPECT_EQ(control->SetLookVisualPart(nullptr, 0), E_INVALIDARG);

    RCPtr<LControl> bare = svtest::MakeControl(nullptr, u"bare", svtest::At(0, 0, 10, 10));
    EXPECT_EQ(bare->SetLookRegion(0, region), E_INVALIDARG);
    EXPECT_EQ(bare->SetLookPart(nullptr, ResizeType::Stretch, 0, false), E_FAIL);
    EXPECT_EQ(bare->SetLookVisualPart(ColourPart(0xFF000000)->GetVisualPart(), 0), E_FAIL);
}

} // namespace
