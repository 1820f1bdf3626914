#include "ControlApplicationDouble.h"

#include "ControlBase/Control.h"
#include "Renderer/Font.h"
#include "ResultCodes.h"

namespace svtest {

ControlApplicationDouble::ControlApplicationDouble()
    : mMeasurer(new FixedAdvanceMeasurer(10.0f, 12))
{
    SV::SetControlApplication(this);
    SV::LFont::SetMeasurementRendererSource([this] { return mMeasurer; });
}

ControlApplicationDouble::~ControlApplicationDouble()
{
    SV::LFont::SetMeasurementRendererSource({});
    SV::SetControlApplication(nullptr);
}

int32_t ControlApplicationDouble::GetDefaultFont(SV::WideString& face, float& size, int32_t& style)
{
    face = u"Sans";
    size = 9.0f;
    style = 0;
    return 0;
}

SV::RCPtr<SV::LRootWindow> ControlApplicationDouble::GetRootWindow(int32_t index)
{
    return index >= 0 && index < mWindows.GetCount() ? *mWindows.At(index) : nullptr;
}

SV::RCPtr<SV::LRootWindow>
ControlApplicationDouble::AddRootWindow(const SV::RectT<int32_t>& clientRect)
{
    SV::RCPtr<SV::LRootWindow> window(new SV::LRootWindow());
    window->SetWindowRect(clientRect);
    mWindows.Add(window);
    return window;
}

int32_t ControlApplicationDouble::RunModal(const SV::RCPtr<SV::LControl>& control, bool systemMenu)
{
    ++mModalRuns;
    mLastModalSystemMenu = systemMenu;
    if (mModalWindowsFail || !control) {
        return E_FAIL;
    }
    // Kept for the double's lifetime: the control may hold its window after the run.
    mModalWindowServices.push_back(std::make_unique<FakeWindowServices>());
    FakeWindowServices& services = *mModalWindowServices.back();
    services.active = true;
    SV::RCPtr<SV::LRootWindow> window(new SV::LRootWindow(nullptr, &services));
    window->SetWindowRect({0, 0, 400, 300});
    window->SetTitle(control->GetText());
    mWindows.Add(window);
    const SV::RCPtr<SV::LRootWindow> parent = mActive;
    mActive = window;
    window->SetMainControl(control);
    int32_t result = -1;
    for (int32_t pass = 0; pass < mModalPassLimit; ++pass) {
        if (mOnModalPass) {
            mOnModalPass(window);
        }
        window->OnIdle(pass == 0);
        if (!services.endModalResults.empty()) {
            result = services.endModalResults.front();
            break;
        }
    }
    // The window goes with its run; the control leaves it.
    window->SetMainControl(nullptr);
    control->SetRootWindow(nullptr);
    mActive = parent;
    for (int32_t i = mWindows.GetCount() - 1; i >= 0; --i) {
        if (mWindows.At(i)->Get() == window.Get()) {
            mWindows.RemoveAt(i, 1);
        }
    }
    return result;
}

} // namespace svtest
