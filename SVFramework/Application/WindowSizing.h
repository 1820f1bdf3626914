// How a root window may be sized, chosen from its control's size limits, and where a restored
// main window may go on the desktop. Pure rules, apart from any window.
#pragma once

#include "ControlBase/LayoutDescriptor.h"
#include "Desktop.h"

#include <cstdint>
#include <functional>

namespace SV {

struct WindowSizing
{
    bool resizable = false;
    // Only a resizable window whose maximum is unlimited gets a maximise box.
    bool maximizable = false;
};

// Fixed when the minimum is set and equals the maximum, or when all four limits refer to named
// controls; otherwise resizable.
WindowSizing ChooseWindowSizing(const LLayoutDescriptor& layout);

// A saved main-window rectangle brought onto a desktop of the size (edges at 0, 0): no wider or
// higher than the desktop, through `constrain` (the control's size limits), then moved so that
// it lies on the desktop with its left and top edges never negative.
svp::ScreenRect PlaceOnDesktop(svp::ScreenRect rect, int32_t desktopWidth, int32_t desktopHeight,
                               const std::function<void(svp::ScreenRect&)>& constrain);

} // namespace SV
