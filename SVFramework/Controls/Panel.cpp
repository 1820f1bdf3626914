#include "Controls/Panel.h"

#include "ControlBase/ControlCreator.h"
#include "ControlBase/KeyParam.h"
#include "Notification/Notification.h"
#include "Notification/NotificationNames.h"
#include "ObjectBase/Exception.h"
#include "ResultCodes.h"
#include "System/KeyCode.h"

#include <stdexcept>

namespace SV {

LPanel::LPanel(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived)
    : LScrollView(parent, name, mostDerived)
{}

LPanel::~LPanel()
{}

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
    mPanelHandler.Create();
    int32_t registered = E_FAIL;
    try {
        registered = mPanelHandler->RegisterHandler(
            &LPanel::OnParentSiblingKey, RCPtr<LNotificationDistributor>(mParent), kNidSiblingKey);
    } catch (const std::runtime_error&) {
        return E_FAIL;
    }
    if (registered < 0) {
        throw Exception<FailedResultException>(
            FormatFailedResult(registered, "SV::LPanel::Initialize", "Controls\\Panel", 37));
    }
    return S_OK;
}

int32_t LPanel::OnParentSiblingKey(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                                   const ConstRCPtr<LNotification>& notification)
{
    const auto* sibling =
        notification ? dynamic_cast<const LSiblingKeyParam*>(notification->GetPayload().Get())
                     : nullptr;
    if (sibling == nullptr) {
        return 1;
    }
    const RCPtr<LControl> keepAlive(this);
    const int32_t result = SendSiblingKey(CreateKeyParam(sibling->mKey, 1));
    // The payload carries the answer back to whoever handed the key out.
    const_cast<LSiblingKeyParam*>(sibling)->mResult = result;
    return 1;
}

void LPanel::BubbleKey(const ConstRCPtr<LKeyParam>& key)
{
    if (!key) {
        return;
    }
    if (!mParent) {
        LScrollView::BubbleKey(key);
        return;
    }
    const RCPtr<LControl> keepAlive(this);
    if (SendSiblingKey(key) != S_FALSE) {
        return;
    }
    const_cast<LKeyParam&>(*key).mPassed.Add(RCPtr<LControl>(this));
    const RCPtr<LControl> parent = mParent;
    parent->BubbleKey(key);
}

RCPtr<LControl> LPanel::GetNextTabStop(const LControl* child, bool backwards)
{
    RCPtr<LControl> next = LScrollView::GetNextTabStop(child, backwards);
    if (!next || !mParent) {
        return next;
    }
    // Only a panel at the top of its tree wraps around.
    const int32_t from = mChildren.IndexOf(child, kTabOrder);
    const int32_t to = mChildren.IndexOf(next.Get(), kTabOrder);
    const bool wrapped = backwards ? to >= from : to <= from;
    return wrapped ? nullptr : next;
}

void LPanel::NavigateFocus(const ConstRCPtr<LKeyParam>& key)
{
    if (!key) {
        return;
    }
    const uint32_t code = key->mKey.GetCode();
    if ((code & KeyCode::kCtrl) != 0) {
        // Ctrl+Tab leaves the panel for the next group of its parent.
        LScrollView::NavigateFocus(key);
        return;
    }
    const RCPtr<LControl> keepAlive(this);
    const bool backwards = (code & KeyCode::kShift) != 0;
    const int32_t passed = key->mPassed.GetCount();
    RCPtr<LControl> start = passed > 0 ? *key->mPassed.At(passed - 1) : nullptr;
    RCPtr<LControl> next = GetNextTabStop(start.Get(), backwards);
    while (next && next.Get() != start.Get()) {
        if (next->IsFocusTarget() || next->CanTakeFocus()) {
            next->SetFocus(!backwards);
            return;
        }
        if (!start->IsVisible(true) || !start->IsEnabled(true)) {
            start = next;
        }
        next = GetNextTabStop(next.Get(), backwards);
    }
    // A key travels as a const payload but collects the controls that pass it on.
    const_cast<LKeyParam&>(*key).mPassed.Add(RCPtr<LControl>(this));
    if (mParent) {
        const RCPtr<LControl> parent = mParent;
        parent->NavigateFocus(key);
    }
}

} // namespace SV
