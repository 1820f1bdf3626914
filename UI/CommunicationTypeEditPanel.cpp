#include "CommunicationTypeEditPanel.h"

#include "ComboBoxIndex.h"
#include "ControlBase/ControlCreator.h"
#include "DriverCommon/MainControl.h"
#include "Notification/Notification.h"
#include "Notification/NotificationNames.h"
#include "ObjectBase/Exception.h"
#include "ResultCodes.h"
#include "RootModuleEngine.h"

#include <stdexcept>
#include <string>

using namespace SV;

namespace {

constexpr const char* kSourcePath = "UI\\CommunicationTypeEditPanel";
constexpr const char* kInitialize = "LCommunicationTypeEditPanel::Initialize";

} // namespace

LCommunicationTypeEditPanel::LCommunicationTypeEditPanel(const RCPtr<LControl>& parent,
                                                         const WideString& name, bool mostDerived)
    : LPanel(parent, name, mostDerived)
{}

LCommunicationTypeEditPanel::~LCommunicationTypeEditPanel()
{
    mChannelBox = nullptr;
}

RCPtr<LControl>
LCommunicationTypeEditPanel::CreateControl(const RCPtr<LControl>& parent,
                                           const ConstRCPtr<LControlDescriptor>& descriptor)
{
    return CreateControlOf<LCommunicationTypeEditPanel>(parent, descriptor);
}

int32_t LCommunicationTypeEditPanel::Initialize()
{
    const int32_t result = LPanel::Initialize();
    if (result < 0) {
        return result;
    }
    mHandler.Create();
    mChannelBox = RCPtr<LComboBox>(FindChildControl(u"midiChannelComboBox"));
    if (!mChannelBox) {
        throw Exception<std::runtime_error>(
            std::string(
                "Runtime Error : Null Pointer : Can not find child midiChannelComboBox : ") +
            kInitialize + " : " + kSourcePath + " : Line " + std::to_string(__LINE__));
    }
    const int32_t registered = mHandler->RegisterHandler(
        &LCommunicationTypeEditPanel::SendValue, RCPtr<LNotificationDistributor>(mChannelBox),
        kNidSelectionChange);
    if (registered < 0) {
        throw Exception<FailedResultException>(
            FormatFailedResult(registered, kInitialize, kSourcePath, __LINE__));
    }
    return result;
}

Variant LCommunicationTypeEditPanel::BuildValue() const
{
    const uint8_t bytes[kValueSize] = {
        static_cast<uint8_t>(mChannelBox ? mChannelBox->GetSelectedIndex() : 0), 0};
    Variant blob;
    blob.SetBlob(bytes, kValueSize);
    return blob;
}

int32_t LCommunicationTypeEditPanel::SetParamValueLocal(const ParamDescriptor& descriptor,
                                                        const Variant& value, bool /*fromDevice*/)
{
    uint32_t size = 0;
    const uint8_t* data = value.GetConstData(size);
    if (data == nullptr || size != kValueSize || !mChannelBox) {
        return E_FAIL;
    }
    const int32_t channel = ComboIndexForByte(*mChannelBox, data[0]);
    mChannelBox->SetSelectedIndex(channel);
    // Only the channel is compared: byte 1 is not the panel's to correct.
    if (channel >= 0 && static_cast<uint8_t>(channel) != data[0]) {
        if (const RCPtr<LRootModuleEngine> engine = GetRootModuleEngine()) {
            engine->SetParamValue(ParamDescriptor(descriptor.id, descriptor.subPart), BuildValue());
        }
    }
    return S_OK;
}

int32_t
LCommunicationTypeEditPanel::SendValue(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                                       const ConstRCPtr<LNotification>& /*notification*/)
{
    if (const RCPtr<LMainControl> root(GetRootControl()); root) {
        root->OnParamValueChanged(ParamDescriptor(GetFirstParamID()), BuildValue());
    }
    return 1;
}
