// The application's clipboard service: carries out the edit commands raised on the
// "application" centre by handing them to the edit target of the focused control in the active
// window, and moves text between the program and the system clipboard, keeping a copy so that
// the clipboard is read again only after it changed.
#pragma once

#include "ClipboardBackend.h"
#include "Notification/NotificationClient.h"
#include "Notification/NotificationHandler.h"
#include "ObjectBase/RCPtr.h"

#include <cstdint>

namespace SV {

class LNotificationCenter;

enum EditOperation : int32_t
{
    kEditDelete = 0,
    kEditCut = 1,
    kEditCopy = 2,
    kEditPaste = 3,
};

// What the clipboard service asks of the application it serves: the centre its edit commands
// arrive on, the control that carries them out (the edit target of the focused control in the
// active window) and the native window that owns what the program puts on the clipboard. The
// application object implements it and registers itself for its lifetime.
class IClipboardHost
{
public:
    virtual ~IClipboardHost() = default;

    // The "application" centre.
    virtual RCPtr<LNotificationCenter> GetNotificationCenter() const = 0;
    // The control's result, or 1 when no control takes the operation.
    virtual int32_t PerformEditOperation(EditOperation operation) = 0;
    virtual bool CanPerformEditOperation(EditOperation operation) = 0;
    // The main root window's native window; null without one.
    virtual svp::HWND GetClipboardOwnerWindow() const = 0;
};

// The running application's side of the clipboard; null while there is none.
IClipboardHost* GetClipboardHost();
void SetClipboardHost(IClipboardHost* host);

class LClipboard : public LNotificationClient
{
public:
    // Text read from the clipboard is cut at this many bytes.
    static constexpr size_t kMaxTextBytes = 1024 * 1024;

    // The back end is not owned and must outlive the service.
    explicit LClipboard(svp::IClipboardBackend& backend);

    // Registers the edit commands on the application's centre; 0, or E_FAIL.
    int32_t Initialize();
    bool IsInitialized() const { return mInitialized; }

    // Puts the object (a string wrapper for text; empty to clear) on the clipboard: 0, E_FAIL,
    // or 1 when called while another SetText runs.
    int32_t SetText(const ConstRCPtr<LRefCountedObject>& object);
    // The clipboard's text as a string wrapper, the program's own content, or empty.
    ConstRCPtr<LRefCountedObject> GetText();

    // The control's result, or 1 when no control took the operation.
    int32_t PerformEditOperation(EditOperation operation);
    bool CanPerformEditOperation(EditOperation operation);

    void Receive(const ConstRCPtr<LNotificationDistributor>& sender,
                 const ConstRCPtr<LNotification>& notification) override;

private:
    int32_t OnCut(const ConstRCPtr<LNotificationDistributor>&, const ConstRCPtr<LNotification>&);
    int32_t OnCopy(const ConstRCPtr<LNotificationDistributor>&, const ConstRCPtr<LNotification>&);
    int32_t OnPaste(const ConstRCPtr<LNotificationDistributor>&, const ConstRCPtr<LNotification>&);
    int32_t OnDelete(const ConstRCPtr<LNotificationDistributor>&, const ConstRCPtr<LNotification>&);

    svp::IClipboardBackend& mBackend;
    RCPtr<LNotificationHandler<LClipboard>> mHandler;
    uint32_t mLastSequenceNumber = 0;
    ConstRCPtr<LRefCountedObject> mCached;
    bool mInitialized = false;
    bool mBusy = false;
};

} // namespace SV
