// The application object as the control framework sees it: the services controls call, answered
// by the running application. The application registers one for its lifetime.
#pragma once

#include "ControlBase/ControlApplication.h"

namespace SV {

class LFrameworkApp;

class LControlApplicationServices : public IControlApplication
{
public:
    explicit LControlApplicationServices(LFrameworkApp& application) : mApplication(application) {}

    double GetTime() override;
    RCPtr<LNotificationCenter> GetNotificationCenter() override;
    RCPtr<LMeasurementRenderer> GetMeasurementRenderer() override;
    int32_t GetDefaultFont(WideString& face, float& size, int32_t& style) override;
    // Only root windows of the control framework are answered.
    RCPtr<LRootWindow> GetActiveRootWindow() override;
    int32_t GetRootWindowCount() override;
    RCPtr<LRootWindow> GetRootWindow(int32_t index) override;
    RectT<int32_t> GetWorkArea() override;
    PointT<int32_t> GetCursorPosition() override;
    RCPtr<LControlFactory> GetControlFactory() override;
    int32_t RunModal(const RCPtr<LControl>& control, bool systemMenu) override;
    RCPtr<LClipboard> GetClipboard() override;

private:
    LFrameworkApp& mApplication;
};

} // namespace SV
