// The root window's dirty region and size clamp.
#include "ControlBase/Control.h"
#include "Renderer/RenderContextInfo.h"
#include "Renderer/RenderState.h"
#include "Renderer/Renderer.h"
#include "Utilities/Graphics/Rect.h"
#include "Windows/RootWindow.h"
#include "Windows/WindowApplication.h"
#include "Windows/WindowOSServices.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

namespace SV {

namespace {

// The intersection of two window rectangles; false when it has no area.
bool IntersectWindowRect(const RectT<int32_t>& a, const RectT<int32_t>& b, RectT<int32_t>& out)
{
    const int64_t left = std::max<int64_t>(a.x, b.x);
    const int64_t top = std::max<int64_t>(a.y, b.y);
    const int64_t right = std::min<int64_t>(int64_t(a.x) + a.width, int64_t(b.x) + b.width);
    const int64_t bottom = std::min<int64_t>(int64_t(a.y) + a.height, int64_t(b.y) + b.height);
    out = {int32_t(left), int32_t(top),
           int32_t(std::clamp<int64_t>(right - left, INT32_MIN, INT32_MAX)),
           int32_t(std::clamp<int64_t>(bottom - top, INT32_MIN, INT32_MAX))};
    return right - left >= 1 && bottom - top >= 1;
}

int32_t RoundSaturated(double v)
{
    return static_cast<int32_t>(std::clamp(std::round(v), double(INT32_MIN), double(INT32_MAX)));
}

// The controls that one drawing step leaves for the window; each nested step empties it, so a
// step copies it before it recurses.
RCPtrArray<LControl>& UnclippedControls()
{
    static auto* list = new RCPtrArray<LControl>();
    return *list;
}

} // namespace

void LRootWindow::Paint(const RectRegion& region)
{
    if (!mMainControl || region.IsEmpty() || !mRenderer) {
        return;
    }
    const RCPtr<LRootWindow> keepAlive(this);
    const LRenderContextInfo* context = mRenderer->GetCurrentContext();
    if (context != nullptr && !context->GetSavedStates().empty()) {
        // A paint already runs, or one left its states unbalanced: draw everything later.
        if (mServices != nullptr) {
            mServices->Invalidate();
        }
        return;
    }
    const RCPtr<LControl> main = mMainControl;
    RectT<double> clip = main->GetRect();
    RectRegion::Edges bounds;
    if (region.GetBounds(bounds)) {
        const double left = std::max(clip.x, double(bounds.left));
        const double top = std::max(clip.y, double(bounds.top));
        const double right = std::min(clip.x + clip.width, double(bounds.right));
        const double bottom = std::min(clip.y + clip.height, double(bounds.bottom));
        clip = {left, top, right - left, bottom - top};
    }
    const RectT<int32_t> screen = GetScreenClientRect();
    mRenderer->PushClipRect({0.0, 0.0, double(screen.width), double(screen.height)}, clip, nullptr,
                            false);
    DrawControlTree(main, region, false);
    mRenderer->PopClip();
}

void LRootWindow::DrawControlTree(const RCPtr<LControl>& control, const RectRegion& region,
                                  bool unclippedPass)
{
    RCPtrArray<LControl>& unclipped = UnclippedControls();
    unclipped.RemoveAll();
    control->Draw(mRenderer, region, unclipped, unclippedPass);
    if (unclipped.GetCount() == 0) {
        return;
    }
    std::vector<RCPtr<LControl>> ordered;
    for (int32_t i = 0; i < unclipped.GetCount(); ++i) {
        ordered.push_back(*unclipped.At(i));
    }
    std::stable_sort(ordered.begin(), ordered.end(), [](const auto& a, const auto& b) {
        const int32_t za = a->GetLayout() ? a->GetLayout()->zOrder : 0;
        const int32_t zb = b->GetLayout() ? b->GetLayout()->zOrder : 0;
        return za < zb;
    });
    for (const RCPtr<LControl>& overlay : ordered) {
        PointT<double> origin{0.0, 0.0};
        if (const RCPtr<LControl>& parent = overlay->GetParent()) {
            const PointT<double> position = parent->GetPositionInRoot();
            const RectT<double> look = parent->GetLookRect(-1);
            const PointT<double>& scroll = parent->GetScrollOffset();
            origin = {double(RoundSaturated(position.x)) + RoundSaturated(look.x) - scroll.x,
                      double(RoundSaturated(position.y)) + RoundSaturated(look.y) - scroll.y};
        }
        if (RenderState* state = mRenderer->GetCurrentState()) {
            state->opacity = overlay->GetOpacity();
            state->stencilApplied = false;
        }
        mRenderer->PushClipRect({origin.x, origin.y, 0.0, 0.0}, overlay->GetRect(), nullptr, false);
        DrawControlTree(overlay, region, true);
        mRenderer->PopClip();
    }
    unclipped.RemoveAll();
}

void LRootWindow::Invalidate(const RectT<int32_t>& rect)
{
    const RectT<int32_t> screen = GetScreenClientRect();
    RectT<int32_t> clipped;
    if (!IntersectWindowRect(rect, {0, 0, screen.width, screen.height}, clipped)) {
        return;
    }
    mDirtyRegion.AddRect(
        {clipped.x, clipped.y, clipped.x + clipped.width, clipped.y + clipped.height});
    if (mServices != nullptr) {
        mServices->InvalidateRect(clipped);
    }
}

void LRootWindow::Invalidate(const RectT<double>& rect)
{
    const int32_t left = RoundSaturated(rect.x);
    const int32_t top = RoundSaturated(rect.y);
    const int64_t right = RoundSaturated(rect.x + rect.width);
    const int64_t bottom = RoundSaturated(rect.y + rect.height);
    Invalidate(RectT<int32_t>{left, top, int32_t(std::clamp<int64_t>(right - left, 0, INT32_MAX)),
                              int32_t(std::clamp<int64_t>(bottom - top, 0, INT32_MAX))});
}

void LRootWindow::RedrawAll()
{
    const RectT<int32_t> screen = GetScreenClientRect();
    Invalidate(RectT<int32_t>{0, 0, screen.width, screen.height});
    if (mServices != nullptr) {
        mServices->Redraw();
    }
}

void LRootWindow::TakeDirtyRegion(RectRegion& out)
{
    if (mFullRedraw) {
        const RectT<int32_t> screen = GetScreenClientRect();
        Invalidate(RectT<int32_t>{0, 0, screen.width, screen.height});
        mFullRedraw = false;
    }
    mDirtyRegion.Normalize();
    out.Clear();
    out.AppendRegion(mDirtyRegion);
    mDirtyRegion.Clear();
}

int32_t LRootWindow::ConstrainSize(PointT<int32_t>& size)
{
    PointT<int32_t> result = size;
    if (mMainControl) {
        const RCPtr<LControl> main = mMainControl;
        const PointT<int32_t> origin =
            mServices != nullptr ? mServices->ClientToScreen({0, 0}) : PointT<int32_t>{};
        const RectT<int32_t> workArea = GetWindowApplication() != nullptr
                                            ? GetWindowApplication()->GetWorkArea()
                                            : RectT<int32_t>{};
        const PointT<int32_t> pointer = GetWindowApplication() != nullptr
                                            ? GetWindowApplication()->GetCursorPosition()
                                            : PointT<int32_t>{};
        const RectT<double> area{-double(origin.x), -double(origin.y), double(workArea.width),
                                 double(workArea.height)};
        RectT<double> rect;
        ComputeLayoutRect(*main, nullptr, area, {double(size.x), double(size.y)},
                          {double(pointer.x - origin.x), double(pointer.y - origin.y)}, rect);
        rect = SnapRect(rect);
        PointT<double> position{rect.x, rect.y};
        PointT<double> extent{rect.width, rect.height};
        main->ApplyMinSize(position, extent);
        main->ApplyMaxSize(position, extent);
        rect = SnapRect({position.x, position.y, extent.x, extent.y});
        result = {RoundSaturated(rect.width), RoundSaturated(rect.height)};
    }
    result.x = std::max(result.x, 1);
    result.y = std::max(result.y, 1);
    const bool changed = result.x != size.x || result.y != size.y;
    size = result;
    return changed ? 1 : 0;
}

} // namespace SV
