#include "Controls/Panel.h"

#include "ControlBase/ControlCreator.h"
#include "ResultCodes.h"

namespace SV {

LPanel::LPanel(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived)
    : LScrollView(parent, name, mostDerived)
{}

LPanel::~LPanel()
{
    mPanelHandler = nullptr;
}

RCPtr<LControl> LPanel::CreateControl(const RCPtr<LControl>& parent,
                                      const ConstRCPtr<LControlDescriptor>& descriptor)
{
    return CreateControlOf<LPanel>(parent, descriptor);
}

int32_t LPanel::Initialize()
{
    const int32_t result = LScrollView::Initialize();
    if (result < 0 || !mParent) {
        return result;
    }
    mPanelHandler = RCPtr<LNotificationHandler<LPanel>>(new LNotificationHandler<LPanel>(this));
    return S_OK;
}

void LPanel::Receive(const ConstRCPtr<LNotificationDistributor>& sender,
                     const ConstRCPtr<LNotification>& notification)
{
    if (mPanelHandler && mCreated && mPanelHandler->HandleNotification(sender, notification) != 0) {
        return;
    }
    LScrollView::Receive(sender, notification);
}

int32_t LPanel::Unregister(const RCPtr<LNotificationDistributor>& distributor, const char16_t* name)
{
    if (mPanelHandler) {
        mPanelHandler->UnregisterHandler(distributor, name);
    }
    return LScrollView::Unregister(distributor, name);
}

} // namespace SV
