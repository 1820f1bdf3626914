#include "ControlBase/ControlApplication.h"

#include "Renderer/Font.h"
#include "Renderer/MeasurementRenderer.h"
#include "System/ClipBoard.h"

#include <cmath>

namespace SV {

namespace {
// Set and read on the user-interface thread only.
IControlApplication* gApplication = nullptr;
} // namespace

RCPtr<LClipboard> IControlApplication::GetClipboard()
{
    return nullptr;
}

IControlApplication* GetControlApplication()
{
    return gApplication;
}

uint32_t GetControlTimeMilliseconds()
{
    if (gApplication == nullptr) {
        return 0;
    }
    // Rounded: the seconds are whole milliseconds of the timer divided by 1000, and truncating
    // them back would lose a millisecond now and then. Through a wide integer, so that the
    // milliseconds wrap as the timer's do.
    return static_cast<uint32_t>(std::llround(gApplication->GetTime() * 1000.0));
}

void SetControlApplication(IControlApplication* application)
{
    gApplication = application;
    // Fonts are measured by whichever application is running when they are first asked.
    LFont::SetMeasurementRendererSource([]() -> RCPtr<LMeasurementRenderer> {
        return gApplication != nullptr ? gApplication->GetMeasurementRenderer() : nullptr;
    });
}

} // namespace SV
