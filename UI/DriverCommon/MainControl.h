// The top control of the main window ("PresetEditor.MainControl"): the root module of the
// editor's control tree. Panel values go from here to the engine, and the engine's reports of
// changed values come back here to be handed to the panel that owns each parameter. While a value
// from the engine is being applied, the panel's own report of that parameter is not sent back.
#pragma once

#include "Controls/Panel.h"
#include "RootModuleInterface.h"

namespace SV {

class LMainControl : public LControl, public IRootModule
{
public:
    // The system parameter that asks for the hardware-configuration check (with an empty
    // value), and one that is accepted without effect.
    static constexpr int32_t kHardwareConfigParamID = -2;
    static constexpr int32_t kIgnoredSystemParamID = -8;

    LMainControl(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived = true);
    ~LMainControl() override;

    static RCPtr<LControl> CreateControl(const RCPtr<LControl>& parent,
                                         const ConstRCPtr<LControlDescriptor>& descriptor);

    // A re-applied skin keeps the window where it is; polling is switched on again.
    int32_t OnPlaceRootWindow(RectT<double>& placement) override;
    // Finds "viewDevice" (throws without it), subscribes to the engine's value reports, numbers
    // the module tree and switches the engine's remote-device polling on.
    int32_t Initialize() override;

    // A panel's value, sent to the engine unless it is the parameter being applied.
    void OnParamValueChanged(const ParamDescriptor& descriptor, const Variant& value) override;
    RCPtr<LDeviceCommunicationInterface> GetDeviceCommunicationInterface() override;
    ConstRCPtr<IDevice> GetDeviceConst() const override;
    RCPtr<IDevice> GetDevice() override;

    // One value from the engine: -2 with an empty value runs the hardware-configuration check,
    // -8 and empty values do nothing, any other id goes to the module that owns it; 0.
    int32_t ApplyParamValue(const ParamDescriptor& descriptor, const Variant& value);

private:
    // A single value or a list of values from the engine; 1.
    int32_t OnParamModuleStateChange(const ConstRCPtr<LNotificationDistributor>& sender,
                                     const ConstRCPtr<LNotification>& notification);
    // Without remote devices: the error box, then the request to end the program.
    void CheckHardwareConfiguration();

    ControlNotificationHandler<LMainControl> mHandler{this};
    // The "viewDevice" control, known here only as the device it is: DriverCommon sits below the
    // editor's views and panels.
    RCPtr<IDevice> mDeviceView;
    RCPtr<LPanel> mStatusPanel;
    RCPtr<LPanel> mDeviceSelectorPanel;
    int32_t mAppliedID = -1;
    Variant mAppliedSubPart;
};

} // namespace SV
