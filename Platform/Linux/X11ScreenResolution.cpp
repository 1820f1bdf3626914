#include "ScreenResolution.h"

#include <X11/Xlib.h>
#include <X11/Xresource.h>

#include <cstdlib>

namespace svp {

int32_t GetScreenResolution()
{
    constexpr int32_t kDefault = 96;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return kDefault;
    }
    int32_t resolution = kDefault;
    // The desktop's font resolution lives in the resource database of the root window.
    if (const char* resources = XResourceManagerString(display)) {
        XrmInitialize();
        XrmDatabase database = XrmGetStringDatabase(resources);
        char* type = nullptr;
        XrmValue value{};
        if (database != nullptr && XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) &&
            value.addr) {
            const double dpi = std::strtod(value.addr, nullptr);
            if (dpi >= 16.0 && dpi <= 1000.0) {
                resolution = static_cast<int32_t>(dpi + 0.5);
            }
        }
        if (database != nullptr) {
            XrmDestroyDatabase(database);
        }
    }
    XCloseDisplay(display);
    return resolution;
}

} // namespace svp
