#include "Windows/WindowApplication.h"

namespace SV {

namespace {
IWindowApplication* gWindowApplication = nullptr;
} // namespace

IWindowApplication* GetWindowApplication()
{
    return gWindowApplication;
}

void SetWindowApplication(IWindowApplication* application)
{
    gWindowApplication = application;
}

svp::HCURSOR GetApplicationCursor(const WideString& name)
{
    return gWindowApplication != nullptr ? gWindowApplication->GetCursor(name) : nullptr;
}

} // namespace SV
