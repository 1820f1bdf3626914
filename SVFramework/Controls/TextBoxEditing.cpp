// The text box's side of the clipboard service and of its owner: the edit commands (delete,
// cut, copy, paste) with their enabling, the context menu that offers them, and the validation
// that lets the owner correct or refuse the text.
#include "Controls/TextBox.h"
#include "Notification/NotificationNames.h"

#include "ControlBase/ControlApplication.h"
#include "ControlBase/ControlFactory.h"
#include "ControlBase/MenuDescriptor.h"
#include "ObjectBase/StringWrapper.h"
#include "ResultCodes.h"
#include "System/ClipBoard.h"
#include "Utilities/Storage/StringTable.h"

namespace SV {

namespace {

RCPtr<LClipboard> GetClipboardService()
{
    IControlApplication* application = GetControlApplication();
    return application != nullptr ? application->GetClipboard() : nullptr;
}

// The clipboard's text; false when it holds none (or no text, such as the program's own
// content).
bool ReadClipboardText(const RCPtr<LClipboard>& clipboard, WideString& text)
{
    if (!clipboard) {
        return false;
    }
    const ConstRCPtr<LRefCountedObject> content = clipboard->GetText();
    const auto* wrapper = dynamic_cast<const LStringWrapper*>(content.Get());
    if (wrapper == nullptr) {
        return false;
    }
    text = *wrapper;
    return true;
}

struct EditCommand
{
    const char16_t* name;
    EditOperation operation;
    const char16_t* labelId;
};

// In the order of the context menu.
constexpr EditCommand kEditCommands[] = {
    {kNidEditCutRequest, kEditCut, u"EDIT_CUT"},
    {kNidEditCopyRequest, kEditCopy, u"EDIT_COPY"},
    {kNidEditPasteRequest, kEditPaste, u"EDIT_PASTE"},
    {kNidEditDeleteRequest, kEditDelete, u"EDIT_DELETE"},
};

} // namespace

bool LTextBox::CanPerformEdit(int32_t operation) const
{
    switch (operation) {
    case kEditDelete:
    case kEditCut:
    case kEditCopy:
        return mSelectionLength > 0;
    default:
        break;
    }
    WideString pasted;
    if (!ReadClipboardText(GetClipboardService(), pasted)) {
        return false;
    }
    return mMaxLength == 0 ||
           int64_t(GetText().GetLength()) - mSelectionLength + pasted.GetLength() <= mMaxLength;
}

int32_t LTextBox::PerformEdit(int32_t operation)
{
    const RCPtr<LControl> keepAlive(this);
    const RCPtr<LClipboard> clipboard = GetClipboardService();
    switch (operation) {
    case kEditDelete:
        if (mSelectionLength == 0) {
            return E_FAIL;
        }
        DeleteSelection();
        return S_OK;
    case kEditCut:
    case kEditCopy:
        if (mSelectionLength == 0 || !clipboard) {
            return E_FAIL;
        }
        // A cut whose text the clipboard did not take keeps the text in the box.
        if (clipboard->SetText(CreateStringWrapper(GetSelectedText())) != S_OK) {
            return E_FAIL;
        }
        if (operation == kEditCut) {
            DeleteSelection();
        }
        return S_OK;
    case kEditPaste:
        break;
    default:
        return E_FAIL;
    }

    WideString pasted;
    if (!ReadClipboardText(clipboard, pasted)) {
        return E_FAIL;
    }
    const WideString& text = GetText();
    if (mMaxLength != 0 &&
        int64_t(text.GetLength()) - mSelectionLength + pasted.GetLength() > mMaxLength) {
        return E_FAIL;
    }
    // Pasted text is not filtered: the filter holds for typing only.
    if (mSelectionLength == 0) {
        const int32_t caret = mCaret;
        WideString copy = text;
        copy.Insert(uint32_t(caret), pasted);
        if (SetText(copy, false) != S_OK) {
            return E_FAIL;
        }
        SetCaret(caret + pasted.GetLength(), true);
        return S_OK;
    }
    const int32_t start = mSelectionStart;
    const WideString copy = text.Left(start) + pasted + text.MidFrom(start + mSelectionLength);
    const int32_t result = SetText(copy, false);
    SetCaret(start + pasted.GetLength(), true);
    ClearSelection();
    return result;
}

int32_t LTextBox::UpdateMenuItem(const RCPtr<LMenuDescriptor>& /*menu*/, int32_t /*index*/,
                                 const WideString& identifier, MenuItemState& state)
{
    for (const EditCommand& command : kEditCommands) {
        if (identifier.EqualsText(command.name)) {
            const RCPtr<LClipboard> clipboard = GetClipboardService();
            state.enabled = clipboard && clipboard->CanPerformEditOperation(command.operation);
            return S_OK;
        }
    }
    return S_FALSE;
}

void LTextBox::PrepareContextMenu()
{
    IControlApplication* application = GetControlApplication();
    const RCPtr<LControlFactory> factory =
        application != nullptr ? application->GetControlFactory() : nullptr;
    const RCPtr<LStringTable> strings = factory ? factory->GetFrameworkStringTable() : nullptr;
    if (!strings) {
        return;
    }
    const RCPtr<LMenuDescriptor> menu(new LMenuDescriptor());
    for (const EditCommand& command : kEditCommands) {
        WideString label;
        strings->GetString(command.labelId, label);
        menu->InsertItem(menu->GetItemCount(), label, WideString(command.name), 1, 0);
    }
    mEditMenu = menu;
    SetContextMenu(menu);
}

void LTextBox::OnRootAttached()
{
    LScrollView::OnRootAttached();
    PrepareContextMenu();
}

RCPtr<LTextValidationParams> LTextBox::Validate()
{
    const RCPtr<LControl> keepAlive(this);
    const RCPtr<LTextValidationParams> params(new LTextValidationParams(GetText()));
    SendNotification(kNidTextBoxValidating, params);
    if (params->mAccepted && !(params->mText == GetText())) {
        SetText(params->mText, false);
    }
    if (params->mAccepted) {
        SendNotification(kNidTextBoxValidated, params);
    }
    return params;
}

} // namespace SV
