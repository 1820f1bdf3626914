#include "Application/WindowSizing.h"

namespace SV {

namespace {

bool SameLimit(const LayoutSpec& a, const LayoutSpec& b)
{
    return a.kind == b.kind && a.absolute == b.absolute && a.relative == b.relative;
}

} // namespace

WindowSizing ChooseWindowSizing(const LLayoutDescriptor& layout)
{
    const auto& x = layout.axes[LLayoutDescriptor::kAxisX];
    const auto& y = layout.axes[LLayoutDescriptor::kAxisY];
    const bool minimumEmpty = x.minimum.absolute == 0.0 && x.minimum.relative == 0.0f &&
                              y.minimum.absolute == 0.0 && y.minimum.relative == 0.0f;
    const bool minimumIsMaximum =
        SameLimit(x.minimum, x.maximum) && SameLimit(y.minimum, y.maximum);
    const bool boundToControls =
        x.minimum.kind == kLimitToControl && x.maximum.kind == kLimitToControl &&
        y.minimum.kind == kLimitToControl && y.maximum.kind == kLimitToControl;
    WindowSizing sizing;
    sizing.resizable = !((!minimumEmpty && minimumIsMaximum) || boundToControls);
    sizing.maximizable = sizing.resizable && x.maximum.absolute == 0.0 &&
                         y.maximum.absolute == 0.0 && x.maximum.kind == kLimitToSelf &&
                         y.maximum.kind == kLimitToSelf;
    return sizing;
}

svp::ScreenRect PlaceOnDesktop(svp::ScreenRect rect, int32_t desktopWidth, int32_t desktopHeight,
                               const std::function<void(svp::ScreenRect&)>& constrain)
{
    if (rect.right - rect.left > desktopWidth) {
        rect.right = rect.left + desktopWidth;
    }
    if (rect.bottom - rect.top > desktopHeight) {
        rect.bottom = rect.top + desktopHeight;
    }
    if (constrain) {
        constrain(rect);
    }
    const int32_t width = rect.right - rect.left;
    const int32_t height = rect.bottom - rect.top;
    if (rect.left < 0) {
        rect.left = 0;
        rect.right = width;
    }
    if (rect.top < 0) {
        rect.top = 0;
        rect.bottom = height;
    }
    if (rect.right > desktopWidth) {
        rect.right = desktopWidth >= width ? desktopWidth : width;
        rect.left = rect.right - width;
    }
    if (rect.bottom > desktopHeight) {
        rect.bottom = desktopHeight >= height ? desktopHeight : height;
        rect.top = rect.bottom - height;
    }
    return rect;
}

} // namespace SV
