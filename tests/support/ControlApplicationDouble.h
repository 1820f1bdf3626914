// The application services that controls call, with values the test sets: clock, measuring
// renderer, default font, root windows, work area and pointer. Registers itself for its lifetime.
#pragma once

#include "ControlBase/ControlApplication.h"
#include "ControlBase/ControlFactory.h"
#include "FakeRootWindow.h"
#include "FixedAdvanceMeasurer.h"
#include "Notification/NotificationCenter.h"
#include "System/ClipBoard.h"
#include "Utilities/Storage/RCPtrArray.h"
#include "Windows/RootWindow.h"

#include <functional>
#include <memory>
#include <vector>

namespace svtest {

class ControlApplicationDouble : public SV::IControlApplication
{
public:
    // Characters 10 pixels wide, lines 12 pixels high, default font "Sans" 9 pt.
    ControlApplicationDouble();
    ~ControlApplicationDouble() override;
    ControlApplicationDouble(const ControlApplicationDouble&) = delete;
    ControlApplicationDouble& operator=(const ControlApplicationDouble&) = delete;

    double GetTime() override { return mTime; }
    SV::RCPtr<SV::LNotificationCenter> GetNotificationCenter() override { return nullptr; }
    SV::RCPtr<SV::LMeasurementRenderer> GetMeasurementRenderer() override { return mMeasurer; }
    int32_t GetDefaultFont(SV::WideString& face, float& size, int32_t& style) override;
    SV::RCPtr<SV::LRootWindow> GetActiveRootWindow() override { return mActive; }
    int32_t GetRootWindowCount() override { return mWindows.GetCount(); }
    SV::RCPtr<SV::LRootWindow> GetRootWindow(int32_t index) override;
    SV::RectT<int32_t> GetWorkArea() override { return mWorkArea; }
    SV::PointT<int32_t> GetCursorPosition() override { return mCursor; }
    SV::RCPtr<SV::LControlFactory> GetControlFactory() override { return mFactory; }
    // A modal run without a message loop: the control becomes the main control of a new active
    // window whose native window records EndModal. Each pass runs `mOnModalPass` (what the user
    // does meanwhile) and one idle pass of the window, until the close request is carried out.
    // E_FAIL while `mModalWindowsFail` is set; -1, as for a quit message, after
    // `mModalPassLimit` passes.
    int32_t RunModal(const SV::RCPtr<SV::LControl>& control, bool systemMenu) override;
    SV::RCPtr<SV::LClipboard> GetClipboard() override { return mClipboard; }

    // A new window whose client area covers the rectangle on the screen.
    SV::RCPtr<SV::LRootWindow> AddRootWindow(const SV::RectT<int32_t>& clientRect);

    double mTime = 0.0;
    SV::RCPtr<FixedAdvanceMeasurer> mMeasurer;
    SV::RCPtr<SV::LRootWindow> mActive;
    SV::RectT<int32_t> mWorkArea{0, 0, 1920, 1040};
    SV::PointT<int32_t> mCursor;
    // Named like the program's application, with nothing loaded.
    SV::RCPtr<SV::LControlFactory> mFactory{new SV::LControlFactory(u"PresetEditor")};
    // None unless a test gives one.
    SV::RCPtr<SV::LClipboard> mClipboard;

    std::function<void(const SV::RCPtr<SV::LRootWindow>&)> mOnModalPass;
    bool mModalWindowsFail = false;
    int32_t mModalPassLimit = 100;
    int32_t mModalRuns = 0;
    bool mLastModalSystemMenu = false;

private:
    SV::RCPtrArray<SV::LRootWindow> mWindows;
    std::vector<std::unique_ptr<FakeWindowServices>> mModalWindowServices;
};

} // namespace svtest
