#include "ControlBase/ControlApplication.h"

#include "Renderer/Font.h"
#include "Renderer/MeasurementRenderer.h"
#include "System/ClipBoard.h"

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

void SetControlApplication(IControlApplication* application)
{
    gApplication = application;
    // Fonts are measured by whichever application is running when they are first asked.
    LFont::SetMeasurementRendererSource([]() -> RCPtr<LMeasurementRenderer> {
        return gApplication != nullptr ? gApplication->GetMeasurementRenderer() : nullptr;
    });
}

} // namespace SV
