#include "DriverCommon/MainControl.h"
#include "DriverCommon/ParamValueRecordCount.h"
#include "EngineNotificationNames.h"
#include "Notification/NotificationNames.h"

#include "ControlBase/ControlCreator.h"
#include "DriverCommon/EditorMessages.h"
#include "Notification/Notification.h"
#include "Notification/NotificationCenter.h"
#include "ObjectBase/Exception.h"
#include "ResultCodes.h"
#include "RootModuleEngine.h"

#include <stdexcept>

namespace SV {

namespace {

constexpr const char* kSourcePath = "UI\\DriverCommon\\MainControl";
constexpr uint32_t kErrorIconStyle = 0x10;

} // namespace

LMainControl::LMainControl(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived)
    : LControl(parent, name, mostDerived)
{}

LMainControl::~LMainControl()
{
    mDeviceView = nullptr;
    mStatusPanel = nullptr;
    mDeviceSelectorPanel = nullptr;
}

RCPtr<LControl> LMainControl::CreateControl(const RCPtr<LControl>& parent,
                                            const ConstRCPtr<LControlDescriptor>& descriptor)
{
    return CreateControlOf<LMainControl>(parent, descriptor);
}

int32_t LMainControl::OnPlaceRootWindow(RectT<double>& /*placement*/)
{
    if (const RCPtr<LRootModuleEngine> engine = GetRootModuleEngine()) {
        engine->EnableRemoteDevicePolling(true);
    }
    return S_OK;
}

int32_t LMainControl::Initialize()
{
    const int32_t result = LControl::Initialize();
    if (result < 0) {
        return result;
    }
    mHandler.Create();
    mDeviceView = RCPtr<IDevice>(FindChildControl(u"viewDevice"));
    if (!mDeviceView) {
        throw Exception<std::runtime_error>(
            std::string("Runtime Error : Null Pointer : LMainControl couldn't find viewDevice : "
                        "SV::LMainControl::Initialize : ") +
            kSourcePath + " : Line 38");
    }
    mStatusPanel = RCPtr<LPanel>(FindChildControl(u"viewStatus"));
    mDeviceSelectorPanel = RCPtr<LPanel>(FindChildControl(u"panelDeviceSelector"));
    const int32_t registered = mHandler->RegisterHandler(
        &LMainControl::OnParamModuleStateChange,
        RCPtr<LNotificationDistributor>(mNotificationCenter), kNidParamModuleStateChange);
    if (registered < 0) {
        throw Exception<FailedResultException>(
            FormatFailedResult(registered, "SV::LMainControl::Initialize", kSourcePath, 43));
    }
    const RCPtr<LRootModuleEngine> engine = GetRootModuleEngine();
    IRootModule::SetFirstParamID(nullptr, engine ? engine->GetFirstParamID() : 0, 0);
    if (engine) {
        engine->EnableRemoteDevicePolling(true);
    }
    return result;
}

void LMainControl::OnParamValueChanged(const ParamDescriptor& descriptor, const Variant& value)
{
    if (descriptor.id == mAppliedID && descriptor.subPart.IsEqual(mAppliedSubPart)) {
        return;
    }
    if (const RCPtr<LRootModuleEngine> engine = GetRootModuleEngine()) {
        engine->SetParamValue(descriptor, value);
    }
}

RCPtr<LDeviceCommunicationInterface> LMainControl::GetDeviceCommunicationInterface()
{
    const RCPtr<LRootModuleEngine> engine = GetRootModuleEngine();
    return engine ? engine->GetDeviceCommunicationInterface() : nullptr;
}

ConstRCPtr<IDevice> LMainControl::GetDeviceConst() const
{
    return mDeviceView;
}

RCPtr<IDevice> LMainControl::GetDevice()
{
    return mDeviceView;
}

int32_t
LMainControl::OnParamModuleStateChange(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                                       const ConstRCPtr<LNotification>& notification)
{
    const ConstRCPtr<LRefCountedObject>& payload = notification->GetPayload();
    if (const auto* pair = dynamic_cast<const ParamValuePair*>(payload.Get())) {
        ApplyParamValue(pair->first, pair->second);
        return 1;
    }
    const auto* list = dynamic_cast<const ParamValueList*>(payload.Get());
    if (list == nullptr) {
        return 1;
    }
    const ParamValues& values = list->GetValue();
    const int32_t count = CountParamValueRecords(values);
    for (int32_t index = 0; index < count; ++index) {
        ParamDescriptor descriptor(-1);
        Variant value;
        if (values.GetItem(index, value, descriptor.id, descriptor.subPart) == S_OK) {
            ApplyParamValue(descriptor, value);
        }
    }
    return 1;
}

int32_t LMainControl::ApplyParamValue(const ParamDescriptor& descriptor, const Variant& value)
{
    RCPtr<LControl> keepAlive(this);
    mAppliedID = descriptor.id;
    mAppliedSubPart = descriptor.subPart;
    const bool empty = value.GetType() == Variant::kEmpty;
    if (descriptor.id == kHardwareConfigParamID) {
        if (empty) {
            CheckHardwareConfiguration();
        }
    } else if (descriptor.id != kIgnoredSystemParamID && !empty) {
        if (const RCPtr<LParameterizedModule> module = GetModuleForParamID(descriptor.id)) {
            module->SetParamValueLocal(ParamDescriptor(mAppliedID, mAppliedSubPart), value, true);
        }
    }
    mAppliedID = -1;
    mAppliedSubPart = Variant();
    return S_OK;
}

void LMainControl::CheckHardwareConfiguration()
{
    const RCPtr<LRootModuleEngine> engine = GetRootModuleEngine();
    Array<Variant> devices;
    if (engine && engine->GetRemoteDevices(devices) >= 0) {
        return;
    }
    ShowMessageBox(GetLocalizedText(u"HARDWARE_CONFIG_ERROR_MESSAGE"),
                   GetLocalizedText(u"HARDWARE_CONFIG_ERROR_TITLE"), kErrorIconStyle);
    PostNamedNotification(RCPtr<LNotificationQueue>(mNotificationCenter), kNidAppExitRequest,
                          nullptr);
}

} // namespace SV
