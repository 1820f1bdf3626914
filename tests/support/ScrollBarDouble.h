// A scroll bar for scroll-view tests until the scroll bar control exists: a plain control with
// the steps, thumb proportion and thumb placing a scroll view sets, recorded for the test.
#pragma once

#include "ControlBase/Control.h"
#include "Controls/ScrollBarParts.h"

namespace svtest {

class ScrollBarDouble : public SV::LControl, public SV::IScrollBarParts
{
public:
    using SV::LControl::LControl;

    double GetLineStep() const override { return lineStep; }
    double GetPageStep() const override { return pageStep; }
    void SetSteps(double line, double page) override
    {
        lineStep = line;
        pageStep = page;
    }
    void SetThumbProportion(double proportion) override { thumbProportion = proportion; }
    void UpdateThumb() override { ++thumbUpdates; }

    double lineStep = 0.0;
    double pageStep = 0.0;
    double thumbProportion = 0.0;
    int thumbUpdates = 0;
};

} // namespace svtest
