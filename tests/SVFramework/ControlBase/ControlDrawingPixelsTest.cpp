// The drawing pass onto the software back end's off-screen picture, checked by pixels.
#include "ControlApplicationDouble.h"
#include "ControlBase/VisualPartDescriptor.h"
#include "ControlFixtures.h"
#include "Renderer/Gdi/GDIRenderContextInfo.h"
#include "Renderer/Gdi/GDIRenderer.h"
#include "Utilities/Graphics/Colorizer.h"

#include <gtest/gtest.h>

using namespace SV;
using svtest::At;
using svtest::MakeControl;

namespace {

RCPtr<LDockedPart> ColourDocked(uint32_t argb, int32_t flags, int32_t l, int32_t t, int32_t r,
                                int32_t b, int32_t size)
{
    ColorT color;
    color.FromARGB(argb);
    RCPtr<LVisualPartDescriptor> part(new LVisualPartDescriptor(
        u"part", PartImageSource{}, ResizeType::Stretch,
        RCPtr<LColorizer>(new LColorizer(u"c", LColorizer::kSolid, color, color, 0, 0, 0, 0)), size,
        size, 1.0f, PartImageSource{}));
    return RCPtr<LDockedPart>(new LDockedPart(part, flags, l, t, r, b, 0, 0, 0, 0));
}

// A client part inset by 2 and a 2-pixel bar along the top edge.
RCPtr<LLook> FramedLook(uint32_t client, uint32_t frame)
{
    RCPtr<LLookDescriptor> look(new LLookDescriptor(u"look"));
    look->SetClientPart(ColourDocked(client, LDockedPart::kAllOffsets, 2, 2, -2, -2, 0));
    look->nonClientParts.Add(ColourDocked(
        frame, LDockedPart::kLeftOffset | LDockedPart::kTopOffset | LDockedPart::kRightOffset, 0, 0,
        0, 0, 2));
    return LLook::Create(look, false);
}

TEST(ControlDrawingPixelsTest, TreeIsPaintedOnlyInsideTheDirtyRegionAndItsClips)
{
    svtest::ControlApplicationDouble app;
    constexpr uint32_t kWhite = 0xFFFFFFFF;
    constexpr uint32_t kRed = 0xFFFF0000;
    constexpr uint32_t kBlack = 0xFF000000;
    constexpr uint32_t kBlue = 0xFF0000FF;
    RCPtr<LControl> top = MakeControl(nullptr, u"top", At(0, 0, 100, 60));
    top->SetRootWindow(app.AddRootWindow({0, 0, 100, 60}));
    top->UpdateLayout();
    top->AddLook(FramedLook(kWhite, kWhite));
    top->ShowLook(0);
    RCPtr<LControl> child = MakeControl(top, u"child", At(10, 10, 30, 20));
    child->UpdateLayout();
    child->AddLook(FramedLook(kRed, kBlack));
    child->ShowLook(0);
    // Reaches beyond the top control's client area: clipped to it.
    RCPtr<LControl> wide = MakeControl(top, u"wide", At(50, 10, 200, 20));
    wide->UpdateLayout();
    wide->AddLook(FramedLook(kBlue, kBlue));
    wide->ShowLook(0);

    const RCPtr<LRenderer> renderer = LRenderer::Create(1, {0, 0, 120, 60}, nullptr);
    RCPtr<LRenderContextInfo> context;
    ASSERT_EQ(renderer->InitRenderContextInfo({0, 0, 120, 60}, nullptr, 0, context), 0);
    RectRegion dirty;
    dirty.AddRect({0, 0, 120, 40});
    context->GetRegion().AppendRegion(dirty);
    renderer->RenderStart(context);
    RCPtrArray<LControl> unclipped;
    EXPECT_EQ(top->Draw(renderer, dirty, unclipped, false), 0);
    renderer->RenderFinish(context);

    const auto pixel = [&](int32_t x, int32_t y) {
        return dynamic_cast<LGDIRenderContextInfo&>(*context.Get())
            .GetCurrentSurface()
            ->GetPixel(x, y);
    };
    EXPECT_EQ(pixel(5, 5), kWhite);
    EXPECT_EQ(pixel(20, 13), kBlack); // the child's top bar, inside the top control's client
    EXPECT_EQ(pixel(20, 20), kRed);
    EXPECT_EQ(pixel(60, 20), kBlue);
    // Right of the top control's client area, and below the dirty region, nothing was drawn.
    EXPECT_NE(pixel(105, 20), kBlue);
    EXPECT_NE(pixel(105, 20), kWhite);
    EXPECT_NE(pixel(5, 50), kWhite);
}

} // namespace
