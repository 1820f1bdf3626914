// What a control asks of the popup menu that it creates from the skin's "contextMenu"
// description to show its context menu: the popup menu control implements it.
#pragma once

#include "ObjectBase/RCPtr.h"

#include <cstdint>

namespace SV {

class LMenuDescriptor;

class IPopupMenuControl
{
public:
    virtual ~IPopupMenuControl() = default;
    // One row per entry of the menu; E_INVALIDARG for an empty menu.
    virtual int32_t SetMenu(const RCPtr<LMenuDescriptor>& menu) = 0;
    // Places the popup at the pointer inside its window and shows it with the focus.
    virtual int32_t ShowAtCursor() = 0;
};

} // namespace SV
