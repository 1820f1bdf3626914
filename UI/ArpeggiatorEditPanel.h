// The arpeggiator panel ("PresetEditor.Arpeggiator"): an on/off button, a tempo up-down and seven
// combo boxes that together edit the program's ten-byte arpeggiator parameter. Every change of a
// control sends the whole value, rebuilt from the controls.
#pragma once

#include "Controls/Panel.h"
#include "RootModuleInterface.h"

namespace SV {
class LButton;
class LComboBox;
class LNumericUpDown;
} // namespace SV

class LArpeggiatorEditPanel : public SV::LPanel, public IArpeggiator
{
public:
    static constexpr uint32_t kValueSize = 10;
    static constexpr double kMinimumTempo = 30.0;
    static constexpr double kMaximumTempo = 240.0;
    // The taps box's first item stands for two taps.
    static constexpr int32_t kFirstTapCount = 2;

    LArpeggiatorEditPanel(const SV::RCPtr<SV::LControl>& parent, const SV::WideString& name,
                          bool mostDerived = true);
    ~LArpeggiatorEditPanel() override;

    static SV::RCPtr<SV::LControl>
    CreateControl(const SV::RCPtr<SV::LControl>& parent,
                  const SV::ConstRCPtr<SV::LControlDescriptor>& descriptor);

    // Finds the nine controls (throws for a missing one) and follows their changes.
    int32_t Initialize() override;
    // Sets the controls from a ten-byte value (E_FAIL for any other length, nothing changed).
    // Fields past their ranges show the nearest value, and the value the controls then hold is
    // sent to the engine once.
    int32_t SetParamValueLocal(const SV::ParamDescriptor& descriptor, const SV::Variant& value,
                               bool fromDevice) override;

private:
    // The ten bytes of the controls as they are.
    SV::Variant BuildValue() const;
    // Whole value to the main control; 1.
    int32_t SendValue(const SV::ConstRCPtr<SV::LNotificationDistributor>& sender,
                      const SV::ConstRCPtr<SV::LNotification>& notification);
    // A click on the on/off button switches it; 1.
    int32_t OnEnableButtonClick(const SV::ConstRCPtr<SV::LNotificationDistributor>& sender,
                                const SV::ConstRCPtr<SV::LNotification>& notification);
    // The child of that name as T, subscribed to `notification` with `function`; throws when it
    // is missing or the subscription fails.
    template <class T>
    SV::RCPtr<T> Subscribe(const char16_t* name, const char* nameText, const char16_t* notification,
                           int32_t (LArpeggiatorEditPanel::*function)(
                               const SV::ConstRCPtr<SV::LNotificationDistributor>&,
                               const SV::ConstRCPtr<SV::LNotification>&));

    SV::ControlNotificationHandler<LArpeggiatorEditPanel> mHandler{this};
    SV::RCPtr<SV::LButton> mEnabledButton;
    SV::RCPtr<SV::LNumericUpDown> mTempoUpDown;
    SV::RCPtr<SV::LComboBox> mModeBox;
    SV::RCPtr<SV::LComboBox> mTimeDivisionBox;
    SV::RCPtr<SV::LComboBox> mClockBox;
    SV::RCPtr<SV::LComboBox> mLatchBox;
    SV::RCPtr<SV::LComboBox> mSwingBox;
    SV::RCPtr<SV::LComboBox> mTapsBox;
    SV::RCPtr<SV::LComboBox> mOctaveBox;
};
