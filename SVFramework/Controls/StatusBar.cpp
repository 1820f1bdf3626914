#include "Controls/StatusBar.h"

#include "ControlBase/ControlCreator.h"
#include "Notification/Notification.h"
#include "Notification/NotificationNames.h"
#include "ObjectBase/StringWrapper.h"
#include "ResultCodes.h"
#include "Utilities/Storage/StringTable.h"
#include "Windows/RootWindow.h"

namespace SV {

LStatusBar::LStatusBar(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived)
    : LControl(parent, name, mostDerived)
{}

LStatusBar::~LStatusBar()
{}

RCPtr<LControl> LStatusBar::CreateControl(const RCPtr<LControl>& parent,
                                          const ConstRCPtr<LControlDescriptor>& descriptor)
{
    return CreateControlOf<LStatusBar>(parent, descriptor);
}

int32_t LStatusBar::Initialize()
{
    const int32_t result = LControl::Initialize();
    mHandler.Create();
    // Only the newest posted text is delivered; a text sent directly is never taken.
    mHandler->RegisterHandler(&LStatusBar::OnSetStatusText, RCPtr<LNotificationDistributor>(this),
                              kNidSetStatusText, LNotificationDistributor::kLatestPostedOnly);
    if (SetDistributor(ConstRCPtr<LNotificationDistributor>(this)) >= 0) {
        // The queue's link back to the bar is the bar's own: the release hook cuts it.
        AddInternalRef();
        mQueueLinked = true;
    }
    RequestIdle();
    mLabel = FindChildControl(u"label1");
    return result;
}

int32_t LStatusBar::ApplyProperties()
{
    const int32_t result = LControl::ApplyProperties();
    SetFocusable(true);
    return result;
}

int32_t LStatusBar::SetStatusText(const WideString& text)
{
    Process(false);
    if (mLabel) {
        mLabel->SetText(text);
    }
    const RCPtr<LRootWindow>& window = GetRootWindowRef();
    if (window) {
        window->RedrawAll();
    }
    return S_OK;
}

int32_t LStatusBar::PostStatusText(const WideString& text)
{
    const RCPtr<LNotification> notification =
        CreateNotification(kNidSetStatusText, CreateStringWrapper(text));
    return Post(notification);
}

WideString LStatusBar::GetStatusText() const
{
    WideString text;
    const RCPtr<LStringTable> strings = mLabel ? mLabel->GetStringTable() : nullptr;
    if (strings) {
        strings->GetString(WideString(u"LABEL"), text);
    }
    return text;
}

void LStatusBar::OnIdle()
{
    Process(false);
}

int32_t LStatusBar::OnSetStatusText(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                                    const ConstRCPtr<LNotification>& notification)
{
    const auto* text = dynamic_cast<const LStringWrapper*>(notification->GetPayload().Get());
    if (text && mLabel) {
        mLabel->SetText(text->GetValue());
    }
    return 1;
}

int32_t LStatusBar::ReleaseHook()
{
    LNotificationQueue::Detach();
    if (mQueueLinked) {
        mQueueLinked = false;
        ReleaseInternalRef();
    }
    return LControl::ReleaseHook();
}

} // namespace SV
