// What a control asks of the tool-tip control that it creates from the skin's "toolTip"
// description: the tool-tip control implements it.
#pragma once

namespace SV {

class IToolTipControl
{
public:
    virtual ~IToolTipControl() = default;
    // Requests the tip: shown after its delay, or at once when it was hidden a moment ago.
    virtual void Show() = 0;
    // Hides the tip and takes it out of its parent's child list.
    virtual void Hide() = 0;
};

} // namespace SV
