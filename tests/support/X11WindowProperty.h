// Reads a property of an X window, for tests that look at what the program set on its windows.
#pragma once

#include <X11/Xlib.h>

#include <vector>

namespace svtest {

// The items of `property` on `window` when it has the type `type`: 8-bit items as char, 32-bit
// ones as long or unsigned long (Xlib hands them over in longs); empty when the window has no
// such property of that type.
template <class Item>
std::vector<Item> ReadWindowProperty(Display* display, Window window, const char* property,
                                     Atom type)
{
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::vector<Item> items;
    if (XGetWindowProperty(display, window, XInternAtom(display, property, False), 0, 1 << 20,
                           False, type, &actualType, &format, &count, &after, &data) == Success &&
        data != nullptr && actualType == type) {
        const auto* values = reinterpret_cast<const Item*>(data);
        items.assign(values, values + count);
    }
    XFree(data);
    return items;
}

} // namespace svtest
