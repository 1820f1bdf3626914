// The framework's file dropper ("Framework.FileDropper"): a token that the user picks up and drops
// onto another control. A press starts dragging the dropper itself at once; once dropped it asks
// its parent to take it away. It reads no files and sends nothing of its own: what a drop means
// is for the control that receives it.
#pragma once

#include "ControlBase/Control.h"

namespace SV {

class LFileDropper : public LControl
{
public:
    LFileDropper(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived = true);
    ~LFileDropper() override;

    static RCPtr<LControl> CreateControl(const RCPtr<LControl>& parent,
                                         const ConstRCPtr<LControlDescriptor>& descriptor);

    // The drop handling of the drag, then the parent hides the dropper and detaches it at its
    // next idle pass.
    void EndDrag() override;
    // A left press drags the dropper with the pointer on both axes, without waiting for the
    // pointer to move.
    void OnConditionsChanged(const RCPtr<LConditionsParam>& conditions) override;
    // Shown and never focused; 0.
    int32_t FinishCreate() override;
};

} // namespace SV
