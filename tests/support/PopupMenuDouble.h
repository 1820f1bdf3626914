// A popup menu for tests: records the menu it is given, whether it was still hidden when it was
// asked to open at the pointer, and how often it opened.
#pragma once

#include "ControlBase/Control.h"
#include "ControlBase/PopupMenuControl.h"
#include "Controls/MenuDescriptor.h"

namespace svtest {

class PopupMenuDouble : public SV::LControl, public SV::IPopupMenuControl
{
public:
    using SV::LControl::LControl;

    int32_t SetMenu(const SV::RCPtr<SV::LMenuDescriptor>& newMenu) override
    {
        menu = newMenu;
        return newMenu ? 0 : static_cast<int32_t>(0x80070057u);
    }
    int32_t ShowAtCursor() override
    {
        ++opened;
        hiddenWhenOpened = !GetLayout() || !GetLayout()->visible;
        return 0;
    }

    SV::RCPtr<SV::LMenuDescriptor> menu;
    int opened = 0;
    bool hiddenWhenOpened = false;
};

} // namespace svtest
