// The transpose panel ("PresetEditor.Transpose"): a numeric up-down from -12 to 12 whose value,
// plus 12, is the program's one-byte transpose parameter.
#pragma once

#include "RootModuleInterface.h"
#include "SignedByteEditPanel.h"

struct TransposePanelTraits
{
    static constexpr const char16_t* kUpDownName = u"transposeNumericUpDown";
    static constexpr const char* kUpDownNameText = "transposeNumericUpDown";
    static constexpr int32_t kMinimum = -12;
    static constexpr int32_t kMaximum = 12;
    static constexpr int32_t kOffset = 12;
    static constexpr const char* kInitializeFunction = "LTransposeEditPanel::Initialize";
    static constexpr const char* kSourcePath = "UI\\TransposeEditPanel";
};

class LTransposeEditPanel : public LSignedByteEditPanel<ITranspose, TransposePanelTraits>
{
public:
    LTransposeEditPanel(const SV::RCPtr<SV::LControl>& parent, const SV::WideString& name,
                        bool mostDerived = true);

    static SV::RCPtr<SV::LControl>
    CreateControl(const SV::RCPtr<SV::LControl>& parent,
                  const SV::ConstRCPtr<SV::LControlDescriptor>& descriptor);
};
