// The MIDI channel panel ("PresetEditor.ChannelCommType"): a combo box of the sixteen channels
// that edits byte 0 of the program's two-byte communication-type parameter. Byte 1 is not shown
// and is sent as 0.
#pragma once

#include "Controls/Panel.h"
#include "RootModuleInterface.h"

namespace SV {
class LComboBox;
}

class LCommunicationTypeEditPanel : public SV::LPanel, public ICommunicationType
{
public:
    static constexpr uint32_t kValueSize = 2;

    LCommunicationTypeEditPanel(const SV::RCPtr<SV::LControl>& parent, const SV::WideString& name,
                                bool mostDerived = true);
    ~LCommunicationTypeEditPanel() override;

    static SV::RCPtr<SV::LControl>
    CreateControl(const SV::RCPtr<SV::LControl>& parent,
                  const SV::ConstRCPtr<SV::LControlDescriptor>& descriptor);

    // Finds "midiChannelComboBox" (throws without it) and follows its selection.
    int32_t Initialize() override;
    // Selects the channel of byte 0 of a two-byte value (E_FAIL for any other length, nothing
    // changed). A channel past the list shows the nearest one, which is sent to the engine once.
    int32_t SetParamValueLocal(const SV::ParamDescriptor& descriptor, const SV::Variant& value,
                               bool fromDevice) override;

private:
    SV::Variant BuildValue() const;
    // The selected channel as {channel, 0}, to the main control; 1.
    int32_t SendValue(const SV::ConstRCPtr<SV::LNotificationDistributor>& sender,
                      const SV::ConstRCPtr<SV::LNotification>& notification);

    SV::ControlNotificationHandler<LCommunicationTypeEditPanel> mHandler{this};
    SV::RCPtr<SV::LComboBox> mChannelBox;
};
