// The root window's dirty region and size clamp.
#include "Application/FrameworkApp.h"
#include "ControlBase/Control.h"
#include "Utilities/Graphics/Rect.h"
#include "Windows/RootWindow.h"
#include "Windows/WindowOSServices.h"

#include <algorithm>
#include <climits>
#include <cmath>

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

} // namespace

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

void LRootWindow::RedrawAll()
{
    const RectT<int32_t> screen = GetScreenClientRect();
    Invalidate({0, 0, screen.width, screen.height});
    if (mServices != nullptr) {
        mServices->Redraw();
    }
}

void LRootWindow::TakeDirtyRegion(RectRegion& out)
{
    if (mFullRedraw) {
        const RectT<int32_t> screen = GetScreenClientRect();
        Invalidate({0, 0, screen.width, screen.height});
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
        const RectT<int32_t> workArea =
            CurrentApplication != nullptr ? CurrentApplication->GetWorkArea() : RectT<int32_t>{};
        const PointT<int32_t> pointer = CurrentApplication != nullptr
                                            ? CurrentApplication->GetCursorPosition()
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
