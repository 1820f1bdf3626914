// While it lives, the active root window (else the main one) shows the wait cursor and the
// status bar, when there is one, the busy text. Its constructor runs one idle pass, so the
// cursor shows and posted work is done before the busy work starts.
#pragma once

#include "Desktop.h"
#include "ObjectBase/RCPtr.h"
#include "Utilities/Storage/StringT.h"
#include "Windows/IRootWindow.h"

namespace SV {

class BusyTextScope
{
public:
    explicit BusyTextScope(const WideString& text);
    BusyTextScope(const BusyTextScope&) = delete;
    BusyTextScope& operator=(const BusyTextScope&) = delete;
    // Puts the cursor shown before back on the same root window and clears the busy text.
    ~BusyTextScope();

private:
    RCPtr<IRootWindow> mRootWindow;
    svp::HCURSOR mPreviousCursor = nullptr;
};

} // namespace SV
