#include "ControlApplicationDouble.h"

#include "Renderer/Font.h"

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

} // namespace svtest
