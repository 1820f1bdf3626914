#include "System/ClipBoard.h"

#include "Notification/NotificationCenter.h"
#include "Notification/NotificationNames.h"
#include "ObjectBase/StringWrapper.h"
#include "ResultCodes.h"

#include <algorithm>
#include <cstring>

namespace SV {

namespace {

IClipboardHost* gClipboardHost = nullptr;

svp::HWND OwnerWindow()
{
    return gClipboardHost != nullptr ? gClipboardHost->GetClipboardOwnerWindow() : nullptr;
}

std::string Utf16Bytes(const WideString& text)
{
    std::string bytes((size_t(text.GetLength()) + 1) * sizeof(char16_t), '\0');
    std::memcpy(bytes.data(), text.GetText(), size_t(text.GetLength()) * sizeof(char16_t));
    return bytes;
}

// The clipboard's bytes hold no promise of a terminating NUL: the text ends at the first NUL
// within the bytes, at their end, or at the cap.
WideString TextFromUtf16(const std::string& bytes)
{
    const size_t usable = std::min(bytes.size(), LClipboard::kMaxTextBytes) / sizeof(char16_t);
    std::u16string units(usable, u'\0');
    std::memcpy(units.data(), bytes.data(), usable * sizeof(char16_t));
    const size_t end = units.find(u'\0');
    WideString text;
    text.Assign(units.c_str(), uint32_t(end == std::u16string::npos ? usable : end));
    return text;
}

WideString TextFromUtf8(const std::string& bytes)
{
    const size_t usable = std::min(bytes.size(), LClipboard::kMaxTextBytes);
    const size_t nul = bytes.find('\0');
    const size_t length = std::min(usable, nul == std::string::npos ? usable : nul);
    WideString text;
    text.AssignUtf8(bytes.data(), int32_t(length));
    return text;
}

} // namespace

IClipboardHost* GetClipboardHost()
{
    return gClipboardHost;
}

void SetClipboardHost(IClipboardHost* host)
{
    gClipboardHost = host;
}

LClipboard::LClipboard(svp::IClipboardBackend& backend) : mBackend(backend)
{}

int32_t LClipboard::Initialize()
{
    mHandler = RCPtr<LNotificationHandler<LClipboard>>(new LNotificationHandler<LClipboard>(this));
    const RCPtr<LNotificationCenter> center =
        gClipboardHost != nullptr ? gClipboardHost->GetNotificationCenter() : nullptr;
    if (!center) {
        return E_FAIL;
    }
    const RCPtr<LNotificationDistributor> distributor(center);
    const struct
    {
        LNotificationHandler<LClipboard>::Function function;
        const char16_t* name;
    } commands[] = {{&LClipboard::OnCut, kNidEditCutRequest},
                    {&LClipboard::OnCopy, kNidEditCopyRequest},
                    {&LClipboard::OnPaste, kNidEditPasteRequest},
                    {&LClipboard::OnDelete, kNidEditDeleteRequest}};
    for (const auto& command : commands) {
        if (mHandler->RegisterHandler(command.function, distributor, command.name) < 0) {
            return E_FAIL;
        }
    }
    mInitialized = true;
    return S_OK;
}

void LClipboard::Receive(const ConstRCPtr<LNotificationDistributor>& sender,
                         const ConstRCPtr<LNotification>& notification)
{
    if (mInitialized && mHandler) {
        mHandler->HandleNotification(sender, notification);
    }
}

int32_t LClipboard::OnCut(const ConstRCPtr<LNotificationDistributor>&,
                          const ConstRCPtr<LNotification>&)
{
    PerformEditOperation(kEditCut);
    return 1;
}

int32_t LClipboard::OnCopy(const ConstRCPtr<LNotificationDistributor>&,
                           const ConstRCPtr<LNotification>&)
{
    PerformEditOperation(kEditCopy);
    return 1;
}

int32_t LClipboard::OnPaste(const ConstRCPtr<LNotificationDistributor>&,
                            const ConstRCPtr<LNotification>&)
{
    PerformEditOperation(kEditPaste);
    return 1;
}

int32_t LClipboard::OnDelete(const ConstRCPtr<LNotificationDistributor>&,
                             const ConstRCPtr<LNotification>&)
{
    PerformEditOperation(kEditDelete);
    return 1;
}

int32_t LClipboard::PerformEditOperation(EditOperation operation)
{
    return gClipboardHost != nullptr ? gClipboardHost->PerformEditOperation(operation) : S_FALSE;
}

bool LClipboard::CanPerformEditOperation(EditOperation operation)
{
    return gClipboardHost != nullptr && gClipboardHost->CanPerformEditOperation(operation);
}

int32_t LClipboard::SetText(const ConstRCPtr<LRefCountedObject>& object)
{
    if (mBusy) {
        return S_FALSE;
    }
    mBusy = true;
    mCached = object;
    if (!object) {
        mBusy = false;
        return S_OK;
    }
    if (!mBackend.Open(OwnerWindow())) {
        mBusy = false;
        return E_FAIL;
    }
    int32_t result = S_OK;
    if (!mBackend.Empty()) {
        result = E_FAIL;
    } else if (const auto* text = dynamic_cast<const LStringWrapper*>(object.Get())) {
        const bool unicode = mBackend.SetData(svp::kClipboardUnicodeText, Utf16Bytes(*text));
        const NarrowString utf8 = text->ToNarrow();
        const bool narrow = mBackend.SetData(
            svp::kClipboardText, std::string(utf8.GetText(), size_t(utf8.GetLength()) + 1));
        result = unicode && narrow ? S_OK : E_FAIL;
    } else {
        result = mBackend.Announce(svp::kClipboardPrivate) ? S_OK : E_FAIL;
    }
    mBackend.Close();
    mLastSequenceNumber = mBackend.GetSequenceNumber();
    mBusy = false;
    return result;
}

ConstRCPtr<LRefCountedObject> LClipboard::GetText()
{
    if (mBackend.GetSequenceNumber() == mLastSequenceNumber ||
        mBackend.IsFormatAvailable(svp::kClipboardPrivate)) {
        return mCached;
    }
    const bool unicode = mBackend.IsFormatAvailable(svp::kClipboardUnicodeText);
    if (!unicode && !mBackend.IsFormatAvailable(svp::kClipboardText)) {
        mCached = nullptr;
        return mCached;
    }
    if (!mBackend.Open(OwnerWindow())) {
        return mCached;
    }
    ConstRCPtr<LRefCountedObject> result;
    std::string bytes;
    if (mBackend.GetData(unicode ? svp::kClipboardUnicodeText : svp::kClipboardText, bytes)) {
        result = CreateStringWrapper(unicode ? TextFromUtf16(bytes) : TextFromUtf8(bytes));
    }
    mBackend.Close();
    mCached = result;
    mLastSequenceNumber = mBackend.GetSequenceNumber();
    return mCached;
}

} // namespace SV
