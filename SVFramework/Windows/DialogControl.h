// What a root window asks of a dialog that is its main control (found by a run-time cast): the
// dialog control implements it.
#pragma once

#include <cstdint>

namespace SV {

class IDialogControl
{
public:
    // Dialog results: 1 OK or Close, 2 Cancel, 3 Abort, 4 Retry, 5 Ignore, 6 Yes, 7 No.
    static constexpr int32_t kCancel = 2;

    virtual ~IDialogControl() = default;
    // Ends the dialog with the result: unless a receiver of its closing notification cancels,
    // the result goes to the root window's close request, carried out at the next idle pass.
    virtual int32_t EndDialog(int32_t result) = 0;
};

} // namespace SV
