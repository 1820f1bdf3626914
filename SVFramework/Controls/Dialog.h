// The base of the framework's dialogs: the top control of a root window of its own, run modally
// by the application. It ends with a small result: from its standard buttons ("buttonOK" 1 ...
// "buttonNo" 7), from its window's close command (2) or from EndDialog. Listeners of
// "NID_DIALOG_CLOSING" may veto the end; "NID_DIALOG_CLOSED" follows an end. Applications derive
// their dialogs from it and register them with the control factory.
#pragma once

#include "Controls/CancelArgs.h"
#include "Controls/ScrollView.h"
#include "Windows/DialogControl.h"

namespace SV {

class LRootWindow;

class LDialog : public LScrollView, public IDialogControl
{
public:
    // The results of the standard buttons.
    enum : int32_t
    {
        kResultOK = 1,
        kResultCancel = 2,
        kResultAbort = 3,
        kResultRetry = 4,
        kResultIgnore = 5,
        kResultYes = 6,
        kResultNo = 7,
    };

    LDialog(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived = true);
    ~LDialog() override;

    // Subscribes the clicks of the standard buttons that are there; answers the scroll view's
    // initialisation result.
    int32_t Initialize() override;

    // Runs the dialog in a modal window of its own: the result given to EndDialog, or E_FAIL
    // when no window can be made for it.
    virtual int32_t DoModal();
    // Runs once the dialog has ended; nothing here.
    virtual void OnDialogClosed();

    // Ends the dialog with the result at its window's next idle pass unless a listener vetoes:
    // 0 ended, 1 vetoed. A dialog in no root window has no run to end: E_FAIL, and nothing is
    // sent.
    int32_t EndDialog(int32_t result) override;
    int32_t GetResult() const { return mResult; }
    // Sends "NID_DIALOG_CLOSING" with fresh arguments and answers them.
    RCPtr<LCancelArgs> SendClosing();

private:
    int32_t OnButtonClick(const ConstRCPtr<LNotificationDistributor>& sender,
                          const ConstRCPtr<LNotification>& notification);

    ControlNotificationHandler<LDialog> mDialogHandler{this};
    int32_t mResult = 0;
};

} // namespace SV
