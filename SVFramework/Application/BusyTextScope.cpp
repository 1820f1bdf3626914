#include "Application/BusyTextScope.h"

#include "Application/FrameworkApp.h"
#include "Windows/CursorNames.h"

namespace SV {

BusyTextScope::BusyTextScope(const WideString& text)
{
    LFrameworkApp* application = CurrentApplication;
    if (application == nullptr) {
        return;
    }
    mRootWindow = application->GetActiveRootWindow();
    if (!mRootWindow && application->GetRootWindows().GetCount() > 0) {
        mRootWindow = *application->GetRootWindows().At(0);
    }
    if (mRootWindow) {
        mPreviousCursor = mRootWindow->SetCursor(application->GetCursor(UI_CURSOR_WAIT));
    }
    application->ShowBusyText(text, true);
    application->IdlePass(true);
}

BusyTextScope::~BusyTextScope()
{
    if (mRootWindow) {
        mRootWindow->SetCursor(mPreviousCursor);
    }
    if (CurrentApplication != nullptr) {
        CurrentApplication->ClearBusyText(true);
    }
    mRootWindow = nullptr;
}

} // namespace SV
