// A repaint of a skin-like main window: a background picture, 60 part pictures stretched and
// tiled, 100 text labels, all presented to a window on the X display when there is one (else
// drawn off screen only). Measured as a whole repaint and as a repaint of 10 small dirty
// rectangles, each drawn under its own clip as the control tree draws them.
#include "BareWindow.h"
#include "Renderer/Font.h"
#include "Renderer/Gdi/GDIRenderer.h"
#include "Utilities/Graphics/Bitmap.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using SV::RCPtr;

constexpr int32_t kWidth = 1200;
constexpr int32_t kHeight = 720;

struct Part
{
    SV::ConstRCPtr<SV::LBitmap> bitmap;
    SV::RectT<int32_t> destination;
    SV::ResizeType resize;
};

struct Label
{
    SV::WideString text;
    SV::PointT<int32_t> position;
};

// A picture of the size whose pixels vary, so that nothing is a flat colour.
RCPtr<SV::LBitmap> MakePicture(int32_t width, int32_t height, uint32_t seed)
{
    const RCPtr<SV::LBitmap> bitmap = SV::LBitmap::CreateFilledBitmap(width, height, {});
    const RCPtr<SV::LBitmapData> pixels(new SV::LBitmapData(bitmap, SV::LBitmapData::kLockWrite));
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            *pixels->GetPixelForWrite(x, y) =
                0xFF000000u | ((static_cast<uint32_t>(x * 7 + y * 13) * seed) & 0xFFFFFFu);
        }
    }
    return bitmap;
}

class SkinPicture
{
public:
    SkinPicture()
    {
        mBackground = MakePicture(kWidth, kHeight, 1);
        const RCPtr<SV::LBitmap> knob = MakePicture(48, 48, 2);
        const RCPtr<SV::LBitmap> stripe = MakePicture(16, 8, 3);
        for (int32_t i = 0; i < 60; ++i) {
            const int32_t x = 20 + (i % 10) * 115;
            const int32_t y = 40 + (i / 10) * 110;
            if (i % 2 == 0) {
                mParts.push_back({knob, {x, y, 64, 64}, SV::ResizeType::Stretch});
            } else {
                mParts.push_back({stripe, {x, y + 70, 100, 24}, SV::ResizeType::Tile});
            }
        }
        mFont = SV::LFont::GetFont(u"Arial", 9.0f, 0);
        for (int32_t i = 0; i < 100; ++i) {
            SV::WideString text;
            text.AssignUtf8(("Parameter " + std::to_string(i)).c_str(), -1);
            mLabels.push_back({text, {20 + (i % 10) * 115, 26 + (i / 10) * 68}});
        }
    }

    // Everything that meets the clip's area is drawn, as the control tree does.
    void Draw(SV::LRenderer& renderer, const SV::RectT<int32_t>& area) const
    {
        const auto meets = [&](const SV::RectT<int32_t>& r) {
            return r.x < area.Right() && area.x < r.Right() && r.y < area.Bottom() &&
                   area.y < r.Bottom();
        };
        renderer.DrawBitmap(mBackground, {0, 0, kWidth, kHeight}, SV::ResizeType::Stretch);
        for (const Part& part : mParts) {
            if (meets(part.destination)) {
                renderer.DrawBitmap(part.bitmap, part.destination, part.resize);
            }
        }
        const SV::ColorT white{1.0f, 1.0f, 1.0f, 1.0f};
        for (const Label& label : mLabels) {
            if (meets({label.position.x, label.position.y, 100, 14})) {
                renderer.DrawText(label.text, mFont, label.position, white);
            }
        }
    }

private:
    RCPtr<SV::LBitmap> mBackground;
    std::vector<Part> mParts;
    std::vector<Label> mLabels;
    RCPtr<SV::LFont> mFont;
};

struct Screen
{
    Screen()
    {
        window = svp::BareWindow::Open(kWidth, kHeight);
        const svp::HWND handle = window ? window->GetHandle() : nullptr;
        renderer = SV::LRenderer::Create(1, {0, 0, kWidth, kHeight}, handle);
        renderer->InitRenderContextInfo({0, 0, kWidth, kHeight}, handle, 0, context);
    }

    void Repaint(const SkinPicture& picture, const std::vector<SV::RectRegion::Edges>& dirty)
    {
        context->GetRegion().Clear();
        for (const SV::RectRegion::Edges& rect : dirty) {
            context->GetRegion().AddRect(rect);
        }
        renderer->RenderStart(context);
        for (const SV::RectRegion::Edges& rect : dirty) {
            const SV::RectT<int32_t> area{rect.left, rect.top, rect.right - rect.left,
                                          rect.bottom - rect.top};
            renderer->PushClipRect({0, 0, kWidth, kHeight},
                                   {static_cast<double>(area.x), static_cast<double>(area.y),
                                    static_cast<double>(area.width),
                                    static_cast<double>(area.height)},
                                   nullptr, true);
            picture.Draw(*renderer, area);
            renderer->PopClip();
        }
        renderer->RenderFinish(context);
    }

    std::unique_ptr<svp::BareWindow> window;
    RCPtr<SV::LRenderer> renderer;
    RCPtr<SV::LRenderContextInfo> context;
};

void FullRepaint(benchmark::State& state)
{
    Screen screen;
    const SkinPicture picture;
    const std::vector<SV::RectRegion::Edges> whole = {{0, 0, kWidth, kHeight}};
    screen.Repaint(picture, whole);
    for (auto _ : state) {
        screen.Repaint(picture, whole);
    }
    state.SetLabel(screen.window ? "presented to an X window" : "off screen only");
}
BENCHMARK(FullRepaint)->Unit(benchmark::kMillisecond);

void TenRectangleRepaint(benchmark::State& state)
{
    Screen screen;
    const SkinPicture picture;
    screen.Repaint(picture, {{0, 0, kWidth, kHeight}});
    std::vector<SV::RectRegion::Edges> dirty;
    for (int32_t i = 0; i < 10; ++i) {
        const int32_t x = 20 + i * 115;
        const int32_t y = 40 + (i % 6) * 110;
        dirty.push_back({x, y, x + 64, y + 24});
    }
    for (auto _ : state) {
        screen.Repaint(picture, dirty);
    }
    state.SetLabel(screen.window ? "presented to an X window" : "off screen only");
}
BENCHMARK(TenRectangleRepaint)->Unit(benchmark::kMicrosecond);

} // namespace
