// The octave panel ("PresetEditor.Octave"): a numeric up-down from -4 to 4 whose value, plus
// 4, is the program's one-byte octave parameter.
#pragma once

#include "RootModuleInterface.h"
#include "SignedByteEditPanel.h"

struct OctavePanelTraits
{
    static constexpr const char16_t* kUpDownName = u"octaveNumericUpDown";
    static constexpr const char* kUpDownNameText = "octaveNumericUpDown";
    static constexpr int32_t kMinimum = -4;
    static constexpr int32_t kMaximum = 4;
    static constexpr int32_t kOffset = 4;
    static constexpr const char* kInitializeFunction = "LOctaveEditPanel::Initialize";
    static constexpr const char* kSourcePath = "UI\\OctaveEditPanel";
};

class LOctaveEditPanel : public LSignedByteEditPanel<IOctave, OctavePanelTraits>
{
public:
    LOctaveEditPanel(const SV::RCPtr<SV::LControl>& parent, const SV::WideString& name,
                     bool mostDerived = true);

    static SV::RCPtr<SV::LControl>
    CreateControl(const SV::RCPtr<SV::LControl>& parent,
                  const SV::ConstRCPtr<SV::LControlDescriptor>& descriptor);
};
