// The drawing pass over a window of 300 controls: 10 columns of 29 framed, labelled buttons on a
// tiled background picture. Drawn into the software back end's off-screen picture, as a whole and
// as 10 small dirty rectangles, and over a renderer that keeps the render states but draws
// nothing, which is the pass's own cost.
#include "ControlApplicationDouble.h"
#include "ControlBase/VisualPartDescriptor.h"
#include "ControlFixtures.h"
#include "RecordingRenderer.h"
#include "Utilities/Graphics/Colorizer.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace SV;

constexpr int32_t kWidth = 1200;
constexpr int32_t kHeight = 720;

// Keeps the render states and draws nothing.
class StateOnlyRenderer : public svtest::RecordingRenderer
{
public:
    void DrawText(const WideString&, const ConstRCPtr<LFont>&, const PointT<int32_t>&,
                  const ColorT&) override
    {
        ++draws;
    }
    void FillRect(const RectT<int32_t>&, const ColorT&, bool) override { ++draws; }
    void DrawBitmap(const ConstRCPtr<LBitmap>&, const RectT<int32_t>&, const ResizeType&) override
    {
        ++draws;
    }
    void PushClipOffset(const PointT<double>& offset) override
    {
        LRenderer::PushClipOffset(offset);
    }
    void PushClipRect(const RectT<double>& bounds, const RectT<double>& clip,
                      const RCPtr<LStencil>& stencil, bool relative) override
    {
        LRenderer::PushClipRect(bounds, clip, stencil, relative);
    }
    void PushClipState() override { LRenderer::PushClipState(); }
    void SetClipRect(const RectT<double>& clip) override { LRenderer::SetClipRect(clip); }
    void Translate(const PointT<double>& delta) override { LRenderer::Translate(delta); }
    int32_t SetStencil(const RCPtr<LStencil>& stencil) override
    {
        return LRenderer::SetStencil(stencil);
    }
    void PopClip() override { LRenderer::PopClip(); }
    int32_t RenderStart(const RCPtr<LRenderContextInfo>& context) override
    {
        return LRenderer::RenderStart(context);
    }
    int32_t RenderFinish(const RCPtr<LRenderContextInfo>& context) override
    {
        return LRenderer::RenderFinish(context);
    }

    int64_t draws = 0;
};

RCPtr<LDockedPart> ColourDocked(uint32_t argb, int32_t flags, int32_t inset, int32_t size)
{
    ColorT color;
    color.FromARGB(argb);
    RCPtr<LVisualPartDescriptor> part(new LVisualPartDescriptor(
        u"part", PartImageSource{}, ResizeType::Stretch,
        RCPtr<LColorizer>(new LColorizer(u"c", LColorizer::kSolid, color, color, 0, 0, 0, 0)), size,
        size, 1.0f, PartImageSource{}));
    return RCPtr<LDockedPart>(
        new LDockedPart(part, flags, inset, inset, -inset, -inset, 0, 0, 0, 0));
}

RCPtr<LLookDescriptor> ButtonLook()
{
    RCPtr<LLookDescriptor> look(new LLookDescriptor(u"button"));
    look->SetClientPart(ColourDocked(0xFF404850, LDockedPart::kAllOffsets, 1, 0));
    look->nonClientParts.Add(ColourDocked(
        0xFF101010, LDockedPart::kLeftOffset | LDockedPart::kTopOffset | LDockedPart::kRightOffset,
        0, 1));
    TextPlacement text;
    text.leftAbs = 4;
    text.rightRel = 1.0f;
    text.rightAbs = -4;
    text.bottomRel = 1.0f;
    text.vAlign = 0.5f;
    look->SetTextProperties(text, ColourDocked(0xFFE0E0E0, 0, 0, 0)->part);
    return look;
}

struct Window
{
    Window()
    {
        top = svtest::MakeControl(nullptr, u"top", svtest::At(0, 0, kWidth, kHeight));
        top->SetRootWindow(app.AddRootWindow({0, 0, kWidth, kHeight}));
        top->UpdateLayout();
        RCPtr<LLookDescriptor> plain(new LLookDescriptor(u"plain"));
        plain->SetClientPart(ColourDocked(0xFF202428, LDockedPart::kAllOffsets, 0, 0));
        top->AddLook(LLook::Create(plain, false));
        top->ShowLook(0);
        const RCPtr<LBitmap> tile =
            LBitmap::CreateFilledBitmap(16, 16, ColorT{0.2f, 0.3f, 0.4f, 1});
        const RCPtr<LLookDescriptor> button = ButtonLook();
        const RCPtr<LFont> font = LFont::GetFont(u"Sans", 9.0f, 0);
        for (int32_t column = 0; column < 10; ++column) {
            const std::u16string name = u"column" + std::u16string(1, char16_t(u'0' + column));
            RCPtr<LControl> panel =
                svtest::MakeControl(top, name.c_str(), svtest::At(column * 120, 0, 118, kHeight));
            panel->UpdateLayout();
            panel->AddLook(LLook::Create(plain, false));
            panel->ShowLook(0);
            panel->SetLookPart(tile, ResizeType::Tile, 0, true);
            for (int32_t row = 0; row < 29; ++row) {
                const std::u16string childName = u"b" + std::u16string(1, char16_t(u'A' + row));
                RCPtr<LControl> b = svtest::MakeControl(panel, childName.c_str(),
                                                        svtest::At(4, 4 + row * 24, 110, 22));
                b->UpdateLayout();
                b->AddLook(LLook::Create(button, false));
                b->ShowLook(0);
                b->PropagateFont(font);
                b->SetText(u"Parameter");
            }
        }
        for (int32_t i = 0; i < 10; ++i) {
            const int32_t x = 20 + i * 115;
            const int32_t y = 40 + (i % 6) * 110;
            tenRects.AddRect({x, y, x + 64, y + 24});
        }
        whole.AddRect({0, 0, kWidth, kHeight});
    }

    void Draw(const RCPtr<LRenderer>& renderer, const RCPtr<LRenderContextInfo>& context,
              const RectRegion& dirty)
    {
        context->GetRegion().Clear();
        context->GetRegion().AppendRegion(dirty);
        renderer->RenderStart(context);
        unclipped.RemoveAll();
        top->Draw(renderer, dirty, unclipped, false);
        renderer->RenderFinish(context);
    }

    svtest::ControlApplicationDouble app;
    RCPtr<LControl> top;
    RectRegion whole;
    RectRegion tenRects;
    RCPtrArray<LControl> unclipped;
};

void DrawOffscreen(benchmark::State& state, bool full)
{
    Window window;
    const RCPtr<LRenderer> renderer = LRenderer::Create(1, {0, 0, kWidth, kHeight}, nullptr);
    RCPtr<LRenderContextInfo> context;
    renderer->InitRenderContextInfo({0, 0, kWidth, kHeight}, nullptr, 0, context);
    window.Draw(renderer, context, window.whole);
    for (auto _ : state) {
        window.Draw(renderer, context, full ? window.whole : window.tenRects);
    }
}

void DrawPassOnly(benchmark::State& state, bool full)
{
    Window window;
    const RCPtr<StateOnlyRenderer> renderer(new StateOnlyRenderer());
    const RCPtr<LRenderContextInfo> context = renderer->MakeContext({0, 0, kWidth, kHeight});
    for (auto _ : state) {
        window.Draw(renderer, context, full ? window.whole : window.tenRects);
    }
    state.counters["drawCalls"] =
        benchmark::Counter(double(renderer->draws), benchmark::Counter::kAvgIterations);
}

void FullTreeOffscreen(benchmark::State& state)
{
    DrawOffscreen(state, true);
}
void TenRectanglesOffscreen(benchmark::State& state)
{
    DrawOffscreen(state, false);
}
void FullTreePassOnly(benchmark::State& state)
{
    DrawPassOnly(state, true);
}
void TenRectanglesPassOnly(benchmark::State& state)
{
    DrawPassOnly(state, false);
}
BENCHMARK(FullTreeOffscreen)->Unit(benchmark::kMillisecond);
BENCHMARK(TenRectanglesOffscreen)->Unit(benchmark::kMicrosecond);
BENCHMARK(FullTreePassOnly)->Unit(benchmark::kMicrosecond);
BENCHMARK(TenRectanglesPassOnly)->Unit(benchmark::kMicrosecond);

} // namespace
