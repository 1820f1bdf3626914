// A dialog for tests: records the results it is ended with and, unless told to refuse, hands
// them to its root window's close request as the dialog control does.
#pragma once

#include "ControlBase/Control.h"
#include "Windows/DialogControl.h"
#include "Windows/RootWindow.h"

#include <vector>

namespace svtest {

class DialogDouble : public SV::LControl, public SV::IDialogControl
{
public:
    using SV::LControl::LControl;

    int32_t EndDialog(int32_t result) override
    {
        results.push_back(result);
        if (refuses || !GetRootWindowRef()) {
            return 1;
        }
        return GetRootWindowRef()->RequestClose(result);
    }

    std::vector<int32_t> results;
    bool refuses = false;
};

} // namespace svtest
