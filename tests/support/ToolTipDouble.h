// A tool-tip control for tests: records its requests and, like the real one, leaves its parent's
// child list when hidden.
#pragma once

#include "ControlBase/Control.h"
#include "ControlBase/ToolTipControl.h"

namespace svtest {

class ToolTipDouble : public SV::LControl, public SV::IToolTipControl
{
public:
    using SV::LControl::LControl;

    void Show() override { ++shows; }
    void Hide() override
    {
        ++hides;
        Detach();
    }

    int shows = 0;
    int hides = 0;
};

} // namespace svtest
