#include "Controls/Dialog.h"

#include "ControlBase/ControlApplication.h"
#include "Notification/NotificationNames.h"
#include "ResultCodes.h"
#include "Windows/RootWindow.h"

namespace SV {

namespace {

struct StandardButton
{
    const char16_t* name;
    int32_t result;
};

// OK and Close end the dialog only once they could take the focus from whoever holds it.
constexpr StandardButton kStandardButtons[] = {
    {u"buttonOK", LDialog::kResultOK},         {u"buttonClose", LDialog::kResultOK},
    {u"buttonCancel", LDialog::kResultCancel}, {u"buttonAbort", LDialog::kResultAbort},
    {u"buttonRetry", LDialog::kResultRetry},   {u"buttonIgnore", LDialog::kResultIgnore},
    {u"buttonYes", LDialog::kResultYes},       {u"buttonNo", LDialog::kResultNo},
};

bool TakesFocusFirst(const WideString& name)
{
    return name == WideString(u"buttonOK") || name == WideString(u"buttonClose");
}

} // namespace

LDialog::LDialog(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived)
    : LScrollView(parent, name, mostDerived)
{}

LDialog::~LDialog()
{}

int32_t LDialog::Initialize()
{
    const int32_t result = LScrollView::Initialize();
    mDialogHandler.Create();
    for (const StandardButton& button : kStandardButtons) {
        if (const RCPtr<LControl>& child = FindChildControl(button.name)) {
            mDialogHandler->RegisterHandler(&LDialog::OnButtonClick,
                                            RCPtr<LNotificationDistributor>(child), kNidLeftClick);
        }
    }
    return result;
}

int32_t LDialog::DoModal()
{
    const RCPtr<LDialog> keepAlive(this);
    IControlApplication* application = GetControlApplication();
    if (application == nullptr) {
        return E_FAIL;
    }
    return application->RunModal(RCPtr<LControl>(this), true);
}

void LDialog::OnDialogClosed()
{}

RCPtr<LCancelArgs> LDialog::SendClosing()
{
    const RCPtr<LCancelArgs> args(new LCancelArgs());
    SendNotification(kNidDialogClosing, args);
    return args;
}

int32_t LDialog::EndDialog(int32_t result)
{
    const RCPtr<LDialog> keepAlive(this);
    // The window is the top-most ancestor's; without one there is no run that could end, and
    // telling the listeners the dialog closed would be untrue.
    const RCPtr<LRootWindow> window = GetRootControl()->GetRootWindowRef();
    if (!window) {
        return E_FAIL;
    }
    mResult = result;
    if (SendClosing()->mCancel) {
        return S_FALSE;
    }
    // A window without a native window refuses the request; the dialog has ended all the same.
    window->RequestClose(result);
    SendNotification(kNidDialogClosed);
    OnDialogClosed();
    return S_OK;
}

int32_t LDialog::OnButtonClick(const ConstRCPtr<LNotificationDistributor>& sender,
                               const ConstRCPtr<LNotification>& /*notification*/)
{
    auto* button = const_cast<LControl*>(dynamic_cast<const LControl*>(sender.Get()));
    if (button == nullptr) {
        return 1;
    }
    for (const StandardButton& standard : kStandardButtons) {
        if (button->GetName() != WideString(standard.name)) {
            continue;
        }
        if (TakesFocusFirst(button->GetName()) && button->SetFocus(true) < 0) {
            break;
        }
        EndDialog(standard.result);
        break;
    }
    return 1;
}

} // namespace SV
