#include "Controls/MenuBar.h"

#include "ControlBase/ControlApplication.h"
#include "ControlBase/ControlCreator.h"
#include "ControlBase/ControlFactory.h"
#include "Controls/ComboMenu.h"
#include "Controls/PopupMenu.h"
#include "ResultCodes.h"
#include "Utilities/Storage/StringTable.h"
#include "Utilities/Storage/WideText.h"
#include "Windows/RootWindow.h"

#include <vector>

namespace SV {

namespace {

const char16_t* const kTemplateName = u"templateMenu";

// The bar's titles by "MENU_LABEL.nn": element nn is the text (a later entry with the same
// number wins), gaps stay empty.
std::vector<WideString> CollectLabels(const LStringTable& table)
{
    static const WideString kPrefix(u"MENU_LABEL.");
    LStringTable::Entries entries;
    table.GetIDsWithPrefix(kPrefix, entries);
    std::vector<WideString> labels(size_t(entries.GetCount()));
    for (const auto& entry : entries) {
        const int32_t n = WideToInt(entry.first.MidFrom(kPrefix.GetLength()).GetText());
        if (n < 0) {
            continue;
        }
        if (size_t(n) >= labels.size()) {
            labels.resize(size_t(n) + 1);
        }
        labels[size_t(n)] = entry.second;
    }
    return labels;
}

} // namespace

LMainMenu::LMainMenu(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived)
    : LControl(parent, name, mostDerived)
{}

LMainMenu::~LMainMenu()
{
    mTitleTemplate = nullptr;
    mCommandTarget = nullptr;
    mPreviousFocus = nullptr;
}

RCPtr<LControl> LMainMenu::CreateControl(const RCPtr<LControl>& parent,
                                         const ConstRCPtr<LControlDescriptor>& descriptor)
{
    return CreateControlOf<LMainMenu>(parent, descriptor);
}

int32_t LMainMenu::SetCommandTarget(const RCPtr<LMenuItemUpdater>& target)
{
    if (target.Get() == mCommandTarget.Get()) {
        return S_FALSE;
    }
    mCommandTarget = target;
    return S_OK;
}

RCPtr<LComboMenu> LMainMenu::GetTitle(int32_t index) const
{
    int32_t seen = 0;
    for (int32_t i = 0; i < mChildren.GetCount(); ++i) {
        auto* title = dynamic_cast<LComboMenu*>(mChildren.GetAt(i, kStoredOrder).Get());
        if (title != nullptr && seen++ == index) {
            return RCPtr<LComboMenu>(title);
        }
    }
    return nullptr;
}

int32_t LMainMenu::GetTitleCount() const
{
    int32_t count = 0;
    for (int32_t i = 0; i < mChildren.GetCount(); ++i) {
        if (dynamic_cast<LComboMenu*>(mChildren.GetAt(i, kStoredOrder).Get()) != nullptr) {
            ++count;
        }
    }
    return count;
}

int32_t LMainMenu::FindTitle(const WideString& name) const
{
    for (int32_t i = GetTitleCount() - 1; i >= 0; --i) {
        if (GetTitle(i)->GetName() == name) {
            return i;
        }
    }
    return -1;
}

WideString LMainMenu::GetTitleName(int32_t addedIndex) const
{
    const RCPtr<LComboMenu> title = addedIndex >= 0 ? GetTitle(mSkinTitles + addedIndex) : nullptr;
    return title ? title->GetName() : WideString();
}

int32_t LMainMenu::GetTitleIndex(const WideString& name) const
{
    const int32_t index = FindTitle(name);
    return index >= mSkinTitles ? index - mSkinTitles : -1;
}

RCPtr<LMenuDescriptor> LMainMenu::GetTitleMenu(const LComboMenu& title)
{
    const RCPtr<LPopupMenu> popup = title.GetPopupMenu();
    return popup ? popup->GetMenu() : nullptr;
}

int32_t LMainMenu::SetTitlePopupUpdater(const LComboMenu& title,
                                        const RCPtr<LMenuItemUpdater>& updater)
{
    const RCPtr<LPopupMenu> popup = title.GetPopupMenu();
    if (!popup) {
        return E_FAIL;
    }
    popup->SetUpdater(updater);
    return S_OK;
}

void LMainMenu::ConnectTitle(LComboMenu& title)
{
    title.SetFocusBarrier(true);
    SetTitlePopupUpdater(title, GetMenuItemUpdater());
    if (const RCPtr<LRootWindow>& window = GetRootWindowRef()) {
        if (const RCPtr<LPopupMenu> popup = title.GetPopupMenu()) {
            popup->SetReceiver(RCPtr<LNotificationQueue>(window));
        }
    }
}

int32_t LMainMenu::Initialize()
{
    const int32_t result = LControl::Initialize();
    // The bar never takes the focus; its titles and their popups do.
    SetFocusable(true);
    for (int32_t i = mChildren.GetCount() - 1; i >= 0; --i) {
        const RCPtr<LControl> child = mChildren.GetAt(i, kStoredOrder);
        auto* title = dynamic_cast<LComboMenu*>(child.Get());
        if (title == nullptr) {
            continue;
        }
        if (title->GetName() == kTemplateName) {
            mTitleTemplate = title->GetControlDescriptor();
            mHasTemplate = true;
            title->Detach();
            continue;
        }
        title->SetFocusBarrier(true);
        SetTitlePopupUpdater(*title, GetMenuItemUpdater());
        ++mSkinTitles;
        if (!mTitleTemplate) {
            mTitleTemplate = title->GetControlDescriptor();
        }
    }
    if (!mStringTable) {
        return result;
    }
    const std::vector<WideString> labels = CollectLabels(*mStringTable);
    RCPtrArray<LMenuDescriptor, 1, 0> menus;
    ParseContextMenu(menus);
    if (menus.GetCount() < 1 || size_t(menus.GetCount()) != labels.size()) {
        return result;
    }
    for (size_t i = 0; i < labels.size(); ++i) {
        // Appended after the titles made so far: a label that repeats an earlier one names no
        // new title, and its menu is left out without disturbing the others.
        const int32_t added = GetTitleCount() - mSkinTitles;
        InsertTitleAt(added, labels[i], labels[i], *menus.At(int32_t(i)));
    }
    return result;
}

int32_t LMainMenu::AddTitle(const WideString& name)
{
    if (FindChildControl(name)) {
        return E_INVALIDARG;
    }
    IControlApplication* application = GetControlApplication();
    const RCPtr<LControlFactory> factory =
        application != nullptr ? application->GetControlFactory() : nullptr;
    if (!mTitleTemplate || !factory) {
        return E_FAIL;
    }
    RCPtr<LLayoutDescriptor> layout = mTitleTemplate->GetLayout()
                                          ? mTitleTemplate->GetLayout()->Clone()
                                          : RCPtr<LLayoutDescriptor>(new LLayoutDescriptor());
    const int32_t titles = GetTitleCount();
    const bool firstAdded = titles == mSkinTitles;
    if (!(firstAdded && mHasTemplate) && titles > 0) {
        // Each new title starts at the right edge of the last one.
        LLayoutDescriptor::Axis& x = layout->axes[LLayoutDescriptor::kAxisX];
        x.anchor = 0.0f;
        x.position.kind = kPositionToControl;
        x.position.reference = GetTitle(titles - 1)->GetName();
        x.position.relative = 1.0f;
        x.position.absolute = 0.0;
    }
    const RCPtr<LControlDescriptor> descriptor =
        factory->CloneDescriptor(mTitleTemplate, layout, name);
    const RCPtr<LControl> control = factory->CreateControl(RCPtr<LControl>(this), descriptor);
    auto* title = dynamic_cast<LComboMenu*>(control.Get());
    if (title == nullptr) {
        if (control) {
            control->Detach();
        }
        return E_FAIL;
    }
    ConnectTitle(*title);
    return S_OK;
}

void LMainMenu::RenameTitle(LComboMenu& title, const WideString& name)
{
    RenameChild(RCPtr<LControl>(&title), name);
}

int32_t LMainMenu::InsertTitle(const WideString& before, const WideString& name,
                               const WideString& label, const RCPtr<LMenuDescriptor>& menu)
{
    int32_t position = GetTitleCount();
    if (!before.IsEmpty()) {
        const int32_t index = GetTitleIndex(before);
        if (index < 0) {
            return E_INVALIDARG;
        }
        position = index + mSkinTitles;
    }
    // A name that is taken makes no title; without this check the moves below would run past
    // the last title.
    const int32_t added = AddTitle(name);
    if (added < 0) {
        return added;
    }
    const RCPtr<LControl> keepAlive(this);
    for (int32_t i = GetTitleCount() - 1; i > position; --i) {
        const RCPtr<LComboMenu> to = GetTitle(i);
        const RCPtr<LComboMenu> from = GetTitle(i - 1);
        const RCPtr<LPopupMenu> toPopup = to->GetPopupMenu();
        const RCPtr<LMenuDescriptor> fromMenu = GetTitleMenu(*from);
        if (toPopup && fromMenu) {
            toPopup->SetMenu(fromMenu);
        }
        to->SetText(from->GetText());
        const WideString fromName = from->GetName();
        RenameTitle(*from, fromName + WideString(u"_"));
        RenameTitle(*to, fromName);
    }
    const RCPtr<LComboMenu> title = GetTitle(position);
    title->SetText(label);
    if (const RCPtr<LPopupMenu> popup = title->GetPopupMenu()) {
        if (menu) {
            popup->SetMenu(menu);
        }
    }
    RenameTitle(*title, name);
    return position - mSkinTitles;
}

int32_t LMainMenu::InsertTitleAt(int32_t position, const WideString& name, const WideString& label,
                                 const RCPtr<LMenuDescriptor>& menu)
{
    const int32_t added = GetTitleCount() - mSkinTitles;
    if (position < 0 || position > added) {
        return E_INVALIDARG;
    }
    return InsertTitle(position == added ? WideString() : GetTitleName(position), name, label,
                       menu);
}

int32_t LMainMenu::UpdateMenuItem(const RCPtr<LMenuDescriptor>& menu, int32_t index,
                                  const WideString& identifier, MenuItemState& state)
{
    if (!mCommandTarget) {
        return S_FALSE;
    }
    const RCPtr<LControl> target = mCommandTarget->GetControl();
    if (!target) {
        return E_FAIL;
    }
    return target->UpdateMenuItem(menu, index, identifier, state);
}

RCPtr<LControl> LMainMenu::GetEditTarget()
{
    if (mPreviousFocus && mPreviousFocus->SupportsEdit()) {
        return mPreviousFocus;
    }
    return mParent ? mParent->GetEditTarget() : nullptr;
}

void LMainMenu::OnConditionsChanged(const RCPtr<LConditionsParam>& conditions)
{
    LControl::OnConditionsChanged(conditions);
    if (conditions && (conditions->mNewMask & kConditionContainsFocus) != 0 &&
        (conditions->mOldMask & kConditionContainsFocus) == 0) {
        const RCPtr<LRootWindow>& window = GetRootWindowRef();
        mPreviousFocus = window ? window->GetLastFocusedControl() : nullptr;
    }
}

void LMainMenu::OnRootAttached()
{
    if (const RCPtr<LRootWindow>& window = GetRootWindowRef()) {
        for (int32_t i = 0; i < GetTitleCount(); ++i) {
            if (const RCPtr<LPopupMenu> popup = GetTitle(i)->GetPopupMenu()) {
                popup->SetReceiver(RCPtr<LNotificationQueue>(window));
            }
        }
    }
    LControl::OnRootAttached();
}

int32_t LMainMenu::AttachChild(const RCPtr<LControl>& child,
                               const ConstRCPtr<LControlDescriptor>& descriptor)
{
    if (!child) {
        if (descriptor && descriptor->GetName() == kTemplateName) {
            mTitleTemplate = descriptor;
            return S_OK;
        }
        return LControl::AttachChild(child, descriptor);
    }
    const int32_t result = LControl::AttachChild(child, descriptor);
    if (!mTitleTemplate && dynamic_cast<LComboMenu*>(child.Get()) != nullptr) {
        mTitleTemplate = descriptor;
    }
    return result;
}

int32_t LMainMenu::ApplyDescriptor(const ConstRCPtr<LControlDescriptor>& descriptor)
{
    struct SavedTitle
    {
        WideString name;
        WideString text;
        RCPtr<LMenuDescriptor> menu;
    };
    std::vector<SavedTitle> saved;
    mTitleTemplate = nullptr;
    for (int32_t i = mSkinTitles; i < GetTitleCount(); ++i) {
        const RCPtr<LComboMenu> title = GetTitle(i);
        saved.push_back({title->GetName(), title->GetText(), GetTitleMenu(*title)});
    }
    const int32_t result = LControl::ApplyDescriptor(descriptor);
    if (!mCreated) {
        return result;
    }
    // The new skin's template has no control to attach: its description is taken as it is.
    if (descriptor) {
        const LControlDescriptor::Children& children = descriptor->GetChildren();
        for (int32_t i = 0; i < children.GetCount(); ++i) {
            const RCPtr<LControlDescriptor>& child = *children.At(i);
            if (child->GetName() == kTemplateName) {
                mTitleTemplate = child;
                mHasTemplate = true;
            }
        }
    }
    if (!mTitleTemplate) {
        for (int32_t i = 0; i < GetTitleCount(); ++i) {
            mTitleTemplate = GetTitle(i)->GetControlDescriptor();
            break;
        }
    }
    mSkinTitles = GetTitleCount();
    for (const SavedTitle& title : saved) {
        if (AddTitle(title.name) < 0) {
            continue;
        }
        const RCPtr<LComboMenu> added = GetTitle(GetTitleCount() - 1);
        added->SetText(title.text);
        if (const RCPtr<LPopupMenu> popup = added->GetPopupMenu()) {
            if (title.menu) {
                popup->SetMenu(title.menu);
            }
        }
    }
    return result;
}

} // namespace SV
