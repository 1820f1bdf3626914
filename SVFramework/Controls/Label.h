// The static text control ("Framework.Label"): never takes the focus, and shows its own text as
// its tool tip when the text does not fit.
#pragma once

#include "ControlBase/Control.h"

namespace SV {

class LLabel : public LControl
{
public:
    LLabel(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived = true);

    static RCPtr<LControl> CreateControl(const RCPtr<LControl>& parent,
                                         const ConstRCPtr<LControlDescriptor>& descriptor);

    int32_t FinishCreate() override;
    // The label's text when it is cut off, else the control's tool-tip text.
    WideString GetToolTipText() const override;
};

} // namespace SV
