// What a scroll view sets and reads on its scroll bars beyond the control's own value and range:
// the steps used by the arrows, the channel and the wheel, the share of the channel the thumb
// covers, and the placing of the thumb. The scroll bar control implements it.
#pragma once

namespace SV {

class IScrollBarParts
{
public:
    virtual ~IScrollBarParts() = default;

    // In normalised units.
    virtual double GetLineStep() const = 0;
    virtual double GetPageStep() const = 0;
    virtual void SetSteps(double lineStep, double pageStep) = 0;
    // 0..1.
    virtual void SetThumbProportion(double proportion) = 0;
    virtual void UpdateThumb() = 0;
};

} // namespace SV
