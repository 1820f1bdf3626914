// The framework's status bar ("Framework.StatusBar"): one label, "label1", with a short status
// text. A text is set at once on the user-interface thread, or posted from any thread and shown
// at the next idle pass, where only the newest of the texts posted since wins. The bar is its
// own notification queue.
#pragma once

#include "ControlBase/Control.h"
#include "Notification/NotificationQueue.h"

namespace SV {

class LStatusBar : public LControl, public LNotificationQueue
{
public:
    LStatusBar(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived = true);
    ~LStatusBar() override;

    static RCPtr<LControl> CreateControl(const RCPtr<LControl>& parent,
                                         const ConstRCPtr<LControlDescriptor>& descriptor);

    // User-interface thread: delivers what is queued, shows the text and redraws the window at
    // once (before a long operation blocks the loop). 0.
    int32_t SetStatusText(const WideString& text);
    // Any thread: the text is shown at the next idle pass unless a newer one is posted first.
    // E_FAIL before Initialize.
    int32_t PostStatusText(const WideString& text);
    // The idle message: the label's own "LABEL" text from the string table.
    WideString GetStatusText() const;

    void OnIdle() override;
    int32_t Initialize() override;
    int32_t ApplyProperties() override;
    int32_t ReleaseHook() override;

private:
    int32_t OnSetStatusText(const ConstRCPtr<LNotificationDistributor>& sender,
                            const ConstRCPtr<LNotification>& notification);

    ControlNotificationHandler<LStatusBar> mHandler{this};
    RCPtr<LControl> mLabel;
    bool mQueueLinked = false;
};

} // namespace SV
