#include "Application/ControlApplicationServices.h"

#include "Application/FrameworkApp.h"
#include "System/ClipBoard.h"
#include "Windows/RootWindow.h"

namespace SV {

double LControlApplicationServices::GetTime()
{
    return mApplication.GetTime();
}

RCPtr<LNotificationCenter> LControlApplicationServices::GetNotificationCenter()
{
    return mApplication.GetNotificationCenter();
}

RCPtr<LMeasurementRenderer> LControlApplicationServices::GetMeasurementRenderer()
{
    return mApplication.GetMeasurementRenderer();
}

int32_t LControlApplicationServices::GetDefaultFont(WideString& face, float& size, int32_t& style)
{
    return mApplication.GetDefaultFont(face, size, style);
}

RCPtr<LRootWindow> LControlApplicationServices::GetActiveRootWindow()
{
    return RCPtr<LRootWindow>(dynamic_cast<LRootWindow*>(mApplication.GetActiveRootWindow().Get()));
}

int32_t LControlApplicationServices::GetRootWindowCount()
{
    return mApplication.GetRootWindows().GetCount();
}

RCPtr<LRootWindow> LControlApplicationServices::GetRootWindow(int32_t index)
{
    if (index < 0 || index >= mApplication.GetRootWindows().GetCount()) {
        return nullptr;
    }
    return RCPtr<LRootWindow>(
        dynamic_cast<LRootWindow*>(mApplication.GetRootWindows().At(index)->Get()));
}

RectT<int32_t> LControlApplicationServices::GetWorkArea()
{
    return mApplication.GetWorkArea();
}

PointT<int32_t> LControlApplicationServices::GetCursorPosition()
{
    return mApplication.GetCursorPosition();
}

RCPtr<LControlFactory> LControlApplicationServices::GetControlFactory()
{
    return mApplication.GetControlFactory();
}

int32_t LControlApplicationServices::RunModal(const RCPtr<LControl>& control, bool systemMenu)
{
    return mApplication.RunModal(control, systemMenu);
}

RCPtr<LClipboard> LControlApplicationServices::GetClipboard()
{
    return mApplication.GetClipboard();
}

} // namespace SV
