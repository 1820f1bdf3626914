#include "Controls/TabControl.h"

#include "ControlBase/ControlCreator.h"
#include "Controls/Button.h"
#include "Notification/NotificationNames.h"
#include "ObjectBase/DebugLog.h"
#include "ResultCodes.h"

namespace SV {

LTabControl::LTabControl(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived)
    : LPanel(parent, name, mostDerived)
{}

LTabControl::~LTabControl()
{
    mSelectedName.Clear();
    mButtonHolder = nullptr;
    mPageHolder = nullptr;
}

RCPtr<LControl> LTabControl::CreateControl(const RCPtr<LControl>& parent,
                                           const ConstRCPtr<LControlDescriptor>& descriptor)
{
    return CreateControlOf<LTabControl>(parent, descriptor);
}

int32_t LTabControl::ApplyDescriptor(const ConstRCPtr<LControlDescriptor>& descriptor)
{
    const int32_t result = LPanel::ApplyDescriptor(descriptor);
    if (mCreated) {
        SelectTab(mSelectedName);
    }
    return result;
}

int32_t LTabControl::Initialize()
{
    if (LPanel::Initialize() < 0) {
        return E_FAIL;
    }
    mButtonHolder = RCPtr<LPanel>(dynamic_cast<LPanel*>(FindChildControl(u"buttonHolder").Get()));
    mPageHolder = RCPtr<LPanel>(dynamic_cast<LPanel*>(FindChildControl(u"pageHolder").Get()));
    if (mButtonHolder && mPageHolder &&
        mPageHolder->GetChildren().GetCount() < mButtonHolder->GetChildren().GetCount()) {
        GetDebugStreamHolder().GetNarrowOutput()
            << "Tab control " << NarrowString(mName).GetText()
            << " has fewer pages than tabs: a tab without a page shows nothing\n";
    }
    const int32_t result = SelectTabAt(0);
    if (result < 0) {
        return result;
    }
    mHandler.Create();
    ChildControlList& tabs = mButtonHolder->GetChildren();
    for (int32_t index = 0; index < tabs.GetCount(); ++index) {
        const RCPtr<LControl>& tab = tabs.GetAt(index, kStoredOrder);
        if (dynamic_cast<LButton*>(tab.Get()) != nullptr) {
            mHandler->RegisterHandler(&LTabControl::OnTabClicked,
                                      RCPtr<LNotificationDistributor>(tab), kNidLeftClick);
        }
    }
    return result;
}

uint32_t LTabControl::GetTabCount() const
{
    return mButtonHolder ? static_cast<uint32_t>(mButtonHolder->GetChildren().GetCount()) : 0u;
}

int32_t LTabControl::GetTabIndex(const WideString& name) const
{
    if (!mButtonHolder) {
        return -1;
    }
    const ChildControlList& tabs = mButtonHolder->GetChildren();
    for (int32_t index = tabs.GetCount() - 1; index >= 0; --index) {
        if (tabs.GetAt(index, kStoredOrder)->GetName() == name) {
            return index;
        }
    }
    return -1;
}

int32_t LTabControl::GetSelectedTabIndex() const
{
    return GetTabIndex(mSelectedName);
}

RCPtr<LControl> LTabControl::PageOrNone(int32_t index) const
{
    if (!mPageHolder || index < 0 || index >= mPageHolder->GetChildren().GetCount()) {
        return nullptr;
    }
    return mPageHolder->GetChildren().GetAt(index, kStoredOrder);
}

RCPtr<LControl> LTabControl::GetSelectedPage() const
{
    return PageOrNone(GetSelectedTabIndex());
}

RCPtr<LControl> LTabControl::GetPage(const WideString& name) const
{
    return PageOrNone(GetTabIndex(name));
}

RCPtr<LControl> LTabControl::GetPageAt(uint32_t index) const
{
    return index < GetTabCount() ? PageOrNone(static_cast<int32_t>(index)) : nullptr;
}

RCPtr<LControl> LTabControl::GetTabButton(const WideString& name) const
{
    const int32_t index = GetTabIndex(name);
    return index < 0 ? nullptr : mButtonHolder->GetChildren().GetAt(index, kStoredOrder);
}

RCPtr<LControl> LTabControl::GetTabButtonAt(uint32_t index) const
{
    if (index >= GetTabCount()) {
        return nullptr;
    }
    return mButtonHolder->GetChildren().GetAt(static_cast<int32_t>(index), kStoredOrder);
}

int32_t LTabControl::SelectTab(const WideString& name)
{
    if (!mButtonHolder || !mPageHolder) {
        return E_FAIL;
    }
    const int32_t selected = GetTabIndex(name);
    for (int32_t index = static_cast<int32_t>(GetTabCount()) - 1; index >= 0; --index) {
        if (index != selected) {
            if (const RCPtr<LControl> page = GetPageAt(static_cast<uint32_t>(index))) {
                page->SetVisible(false);
            }
        }
    }
    mSelectedName = name;
    OnTabSelected(selected);
    if (selected >= 0) {
        if (const RCPtr<LControl> page = GetPageAt(static_cast<uint32_t>(selected))) {
            page->SetVisible(true);
        }
    }
    SendNotification(kNidTabSelected, GetSelectedPage());
    return S_OK;
}

int32_t LTabControl::SelectTabAt(uint32_t index)
{
    if (!mButtonHolder || index >= GetTabCount()) {
        return E_FAIL;
    }
    const RCPtr<LControl>& tab =
        mButtonHolder->GetChildren().GetAt(static_cast<int32_t>(index), kTabOrder);
    if (dynamic_cast<LButton*>(tab.Get()) == nullptr) {
        return E_FAIL;
    }
    return SelectTab(tab->GetName());
}

void LTabControl::OnTabSelected(int32_t /*index*/)
{}

int32_t LTabControl::OnTabClicked(const ConstRCPtr<LNotificationDistributor>& sender,
                                  const ConstRCPtr<LNotification>& /*notification*/)
{
    if (const auto* tab = dynamic_cast<const LControl*>(sender.Get())) {
        SelectTab(tab->GetName());
    }
    return 1;
}

} // namespace SV
