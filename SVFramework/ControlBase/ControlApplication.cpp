#include "ControlBase/ControlApplication.h"

namespace SV {

namespace {
// Set and read on the user-interface thread only.
IControlApplication* gApplication = nullptr;
} // namespace

IControlApplication* GetControlApplication()
{
    return gApplication;
}

void SetControlApplication(IControlApplication* application)
{
    gApplication = application;
}

} // namespace SV
