#include "Controls/PopupMenu.h"

#include "Application/FrameworkApp.h"
#include "ControlBase/ControlApplication.h"
#include "ControlBase/ControlCreator.h"
#include "ControlBase/ControlFactory.h"
#include "ControlBase/KeyParam.h"
#include "ControlBase/StringTable.h"
#include "Controls/ComboMenu.h"
#include "Controls/MenuBar.h"
#include "Controls/MenuBuilder.h"
#include "Controls/PopupMenuShortcuts.h"
#include "Notification/NotificationQueue.h"
#include "ResultCodes.h"
#include "Windows/ModifierKeys.h"
#include "Windows/MouseParams.h"
#include "Windows/RootWindow.h"

#include <cmath>

namespace SV {

namespace {

constexpr uint32_t kKeyLeft = 0x20250000u;
constexpr uint32_t kKeyRight = 0x20270000u;
constexpr uint32_t kKeyEscape = 0x201B0000u;

uint32_t NowMs()
{
    IControlApplication* application = GetControlApplication();
    if (application == nullptr) {
        return 0;
    }
    const double milliseconds = std::round(application->GetTime() * 1000.0);
    return milliseconds > 0.0 ? static_cast<uint32_t>(static_cast<uint64_t>(milliseconds)) : 0;
}

int32_t RoundToInt(double value)
{
    return static_cast<int32_t>(std::round(value));
}

} // namespace

LPopupMenu::LPopupMenu(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived)
    : LControl(parent, name, mostDerived)
{}

LPopupMenu::~LPopupMenu()
{
    mUpdater = nullptr;
    mReceiver = nullptr;
    mOpenedEntry = nullptr;
    mOpenSubMenu = nullptr;
    mMenu = nullptr;
}

RCPtr<LControl> LPopupMenu::CreateControl(const RCPtr<LControl>& parent,
                                          const ConstRCPtr<LControlDescriptor>& descriptor)
{
    return CreateControlOf<LPopupMenu>(parent, descriptor);
}

int32_t LPopupMenu::Initialize()
{
    if (LControl::Initialize() < 0) {
        return E_FAIL;
    }
    // A not-focusable ancestor (the menu bar) does not keep the popup from the focus.
    SetFocusBarrier(true);
    return LoadOwnMenu();
}

int32_t LPopupMenu::FinishCreate()
{
    SetClipToParent(false);
    SetVisible(false);
    return S_OK;
}

int32_t LPopupMenu::LoadOwnMenu()
{
    if (!mStringTable) {
        return S_FALSE;
    }
    LStringTable::Entries entries;
    mStringTable->GetSortedEntries(entries);
    return SetMenu(BuildMenuDescriptor(entries));
}

RCPtr<LMenuItemDescriptor> LPopupMenu::GetEntry(int32_t index) const
{
    return mMenu && index >= 0 ? mMenu->GetItem(index) : nullptr;
}

int32_t LPopupMenu::SetMenu(const RCPtr<LMenuDescriptor>& menu)
{
    if (!menu) {
        return E_INVALIDARG;
    }
    CloseSubMenu();
    mMenu = menu->Clone();
    mCurrentItem = -1;
    ResolveShortcutTexts(mMenu);
    return S_OK;
}

int32_t LPopupMenu::SetReceiver(const RCPtr<LNotificationQueue>& queue)
{
    if (!queue) {
        return E_INVALIDARG;
    }
    if (mReceiver) {
        return E_FAIL;
    }
    mReceiver = RCPtr<LNotificationReceiver>(queue->GetPostingReceiver().Get());
    if (mMenu) {
        ResolveShortcutTexts(mMenu);
    }
    return S_OK;
}

RCPtr<LNotificationReceiver> LPopupMenu::GetReceiver() const
{
    if (mReceiver) {
        return mReceiver;
    }
    for (LControl* control = mParent.Get(); control != nullptr;
         control = control->GetParent().Get()) {
        if (dynamic_cast<LPopupMenu*>(control) == nullptr) {
            return RCPtr<LNotificationReceiver>(control);
        }
    }
    return nullptr;
}

RCPtr<LMenuItemUpdater> LPopupMenu::GetPopupUpdater()
{
    if (!mUpdater) {
        const RCPtr<LNotificationReceiver> receiver = GetReceiver();
        if (auto* control = dynamic_cast<LControl*>(receiver.Get())) {
            mUpdater = control->GetMenuItemUpdater();
        }
    }
    return mUpdater;
}

int32_t LPopupMenu::ResolveShortcutTexts(const RCPtr<LMenuDescriptor>& menu)
{
    const RCPtr<LNotificationReceiver> receiver = GetReceiver();
    const RCPtr<LRootWindow>& window = GetRootWindowRef();
    if (!menu || !receiver || (mReceiver && !window)) {
        return E_FAIL;
    }
    const KeyBindingTable* local = nullptr;
    const KeyBindingTable* windowKeys = nullptr;
    if (mReceiver) {
        // Commands posted into a window's queue are the window's: its bindings name them.
        const auto posting = window->GetPostingReceiver();
        if (static_cast<LNotificationReceiver*>(posting.Get()) == mReceiver.Get() &&
            window->GetHotKeyManager()) {
            windowKeys = &window->GetHotKeyManager()->GetTable();
        }
    } else if (auto* control = dynamic_cast<LControl*>(receiver.Get())) {
        local = &control->GetLocalHotKeys();
        const RCPtr<LRootWindow>& controlWindow = control->GetRootWindowRef();
        if (controlWindow && controlWindow->GetHotKeyManager()) {
            windowKeys = &controlWindow->GetHotKeyManager()->GetTable();
        }
    }
    const KeyBindingTable* global =
        CurrentApplication != nullptr && CurrentApplication->GetHotKeyManager()
            ? &CurrentApplication->GetHotKeyManager()->GetTable()
            : nullptr;
    FillShortcutTexts(*menu, {local, windowKeys, global});
    return S_OK;
}

int32_t LPopupMenu::UpdateItemStates()
{
    const RCPtr<LMenuItemUpdater> updater = GetPopupUpdater();
    if (!updater || !mMenu) {
        return S_FALSE;
    }
    mCurrentItem = -1;
    const RCPtr<LControl> target = updater->GetControl();
    for (int32_t i = mMenu->GetItemCount() - 1; i >= 0; --i) {
        const RCPtr<LMenuItemDescriptor> entry = GetEntry(i);
        if (!entry || entry->HasChildren() || entry->IsSeparator()) {
            continue;
        }
        MenuItemState state;
        mMenu->GetItemState(i, state);
        if (target) {
            target->FilterNotification(mMenu, i, entry->GetIdentifier(), &state);
        }
        ApplyItemState(i, state);
    }
    return S_OK;
}

int32_t LPopupMenu::ApplyItemState(int32_t index, const MenuItemState& state)
{
    const RCPtr<LMenuItemDescriptor> entry = GetEntry(index);
    if (!entry) {
        return E_INVALIDARG;
    }
    if (entry->IsEnabled() == state.enabled && entry->IsChecked() == state.checked &&
        entry->GetLabel() == state.label) {
        return S_FALSE;
    }
    // A separator's flags never change, and an entry with a sub-menu is never checked.
    if (!entry->IsSeparator()) {
        entry->SetEnabled(state.enabled);
        if (!entry->HasChildren()) {
            entry->SetChecked(state.checked);
        }
    }
    if (!(entry->GetLabel() == state.label)) {
        entry->SetLabel(state.label);
    }
    InvalidateSelf();
    return S_OK;
}

bool LPopupMenu::CanSelectItem(int32_t index) const
{
    const RCPtr<LMenuItemDescriptor> entry = GetEntry(index);
    return entry && entry->IsEnabled() != 0 && entry->IsSeparator() == 0;
}

int32_t LPopupMenu::GetItemHeight() const
{
    const RCPtr<LControl>& row = FindChildControl(u"templateItem");
    const double height = row ? row->GetRect().height : 0.0;
    return height >= 1.0 ? static_cast<int32_t>(height) : kDefaultItemHeight;
}

RectT<double> LPopupMenu::GetEntryRect(int32_t index) const
{
    const double height = GetItemHeight();
    return {0.0, height * index, mRect.width, height};
}

int32_t LPopupMenu::SelectItem(int32_t index)
{
    const int32_t item = CanSelectItem(index) ? index : -1;
    if (item == mCurrentItem) {
        return item;
    }
    mCurrentItem = item;
    InvalidateSelf();
    OnSelectionChanged();
    return item;
}

int32_t LPopupMenu::ShowAtCursor()
{
    const RCPtr<LRootWindow>& window = GetRootWindowRef();
    if (!window || !mLayout) {
        return E_FAIL;
    }
    const RCPtr<LControl> keepAlive(this);
    const PointT<int32_t> pointer = window->GetCursorPosition();
    const RectT<int32_t> client = window->GetScreenClientRect();
    const int32_t pointerAt[2] = {pointer.x, pointer.y};
    const int32_t clientSize[2] = {client.width, client.height};
    const int32_t ownSize[2] = {RoundToInt(mRect.width), RoundToInt(mRect.height)};
    for (int32_t axis = LLayoutDescriptor::kAxisX; axis <= LLayoutDescriptor::kAxisY; ++axis) {
        int32_t p = pointerAt[axis];
        if (p + ownSize[axis] > clientSize[axis]) {
            p = clientSize[axis] - ownSize[axis];
        }
        if (p < 0) {
            p = 0;
        }
        LayoutPositionSpec position;
        LayoutSpec size;
        mLayout->GetAxisSpec(axis, position, size);
        // Docked, so the parent's scrolling does not move it; the offset is measured from where
        // the specification puts the corner now, whatever the reference kind.
        position.relative = 0.0f;
        position.docked = true;
        SetLayoutSpec(axis, position, size);
        const PointT<double> at = GetPositionInRoot();
        const double now = axis == LLayoutDescriptor::kAxisX ? at.x : at.y;
        position.absolute += double(p) - std::round(now);
        SetLayoutSpec(axis, position, size);
    }
    SetVisible(true);
    if (!mHasFocus) {
        SetFocus(true);
    }
    return S_OK;
}

void LPopupMenu::HideIfTransient()
{
    if (mTransient && !mClosing) {
        SetVisible(false);
    }
}

int32_t LPopupMenu::ActivateItem(const RCPtr<LMenuItemDescriptor>& entry)
{
    const RCPtr<LControl> keepAlive(this);
    for (LControl* control = mParent.Get(); control != nullptr;
         control = control->GetParent().Get()) {
        if (auto* bar = dynamic_cast<LMainMenu*>(control)) {
            const RCPtr<LControl> previous = bar->GetPreviousFocus();
            if (previous && previous->GetRootWindowRef()) {
                previous->SetFocus(true);
            }
            break;
        }
    }
    HideIfTransient();
    const RCPtr<LNotificationReceiver> receiver = GetReceiver();
    if (receiver && entry) {
        const int32_t index = mCurrentItem;
        SendNotification(u"NID_ITEM_ACTIVATED");
        const RCPtr<LMenuActivationParam> payload(new LMenuActivationParam(mMenu, index));
        SendNotificationToReceiver(receiver.Get(), entry->GetIdentifier().GetText(),
                                   ConstRCPtr<LRefCountedObject>(payload));
    }
    if (mTransient && !mClosing) {
        Close();
    }
    return S_OK;
}

void LPopupMenu::OnItemActivated()
{
    const RCPtr<LMenuItemDescriptor> entry = GetEntry(mCurrentItem);
    if (!entry) {
        return;
    }
    if (!entry->HasChildren()) {
        ActivateItem(entry);
        return;
    }
    if (entry.Get() != mOpenedEntry.Get() && OpenSubMenu(mCurrentItem) >= 0 && mOpenSubMenu) {
        mOpenSubMenu->SelectItem(0);
    }
}

void LPopupMenu::OnSelectionChanged()
{
    const RCPtr<LMenuItemDescriptor> entry = GetEntry(mCurrentItem);
    if (!entry) {
        return;
    }
    SyncParentSelection();
    if (entry->HasChildren()) {
        if (entry.Get() != mOpenedEntry.Get()) {
            if (PointerInEntry(mCurrentItem)) {
                StartHoverTimer();
            }
        } else {
            StopHoverTimer();
        }
    } else if (mOpenSubMenu) {
        // Resting on a plain entry closes the open sub-menu after the same wait.
        StartHoverTimer();
    }
}

void LPopupMenu::SyncParentSelection()
{
    const RCPtr<LPopupMenu> parent = GetParentPopup();
    if (!parent || !parent->mOpenedEntry || !parent->mMenu) {
        return;
    }
    for (int32_t i = 0; i < parent->mMenu->GetItemCount(); ++i) {
        if (parent->GetEntry(i).Get() == parent->mOpenedEntry.Get()) {
            if (parent->mCurrentItem != i) {
                parent->mCurrentItem = i;
                parent->InvalidateSelf();
                parent->StopHoverTimer();
            }
            return;
        }
    }
}

bool LPopupMenu::PointerInEntry(int32_t index) const
{
    const RCPtr<LRootWindow>& window = GetRootWindowRef();
    if (!window) {
        return false;
    }
    const PointT<int32_t> pointer = window->GetCursorPosition();
    const PointT<double> origin = GetPositionInRoot();
    const double x = pointer.x - origin.x;
    const double y = pointer.y - origin.y;
    const RectT<double> row = GetEntryRect(index);
    return x >= row.x && x < row.x + row.width && y >= row.y && y < row.y + row.height;
}

int32_t LPopupMenu::StartHoverTimer()
{
    mHoverStart = NowMs();
    if (!mHoverWait) {
        mHoverWait = true;
        RequestIdle();
    }
    return S_OK;
}

void LPopupMenu::StopHoverTimer()
{
    if (mHoverWait) {
        mHoverWait = false;
        ReleaseIdle();
    }
}

void LPopupMenu::OnIdle()
{
    if (!mHoverWait || NowMs() - mHoverStart <= kHoverDelayMs) {
        return;
    }
    const RCPtr<LControl> keepAlive(this);
    CloseSubMenu();
    const RCPtr<LMenuItemDescriptor> entry = GetEntry(mCurrentItem);
    if (entry && entry->HasChildren()) {
        OpenSubMenu(mCurrentItem);
    }
}

RCPtr<LPopupMenu> LPopupMenu::GetParentPopup() const
{
    return RCPtr<LPopupMenu>(dynamic_cast<LPopupMenu*>(mParent.Get()));
}

int32_t LPopupMenu::OpenSubMenu(int32_t index)
{
    const RCPtr<LMenuItemDescriptor> entry = GetEntry(index);
    if (!entry || !entry->HasChildren()) {
        return E_INVALIDARG;
    }
    const RCPtr<LControl> keepAlive(this);
    CloseSubMenu();
    IControlApplication* application = GetControlApplication();
    const RCPtr<LControlFactory> factory =
        application != nullptr ? application->GetControlFactory() : nullptr;
    if (!factory || !mControlDescriptor) {
        return E_FAIL;
    }
    const RCPtr<LLayoutDescriptor> layout = mControlDescriptor->GetLayout()
                                                ? mControlDescriptor->GetLayout()->Clone()
                                                : RCPtr<LLayoutDescriptor>(new LLayoutDescriptor());
    const RCPtr<LControlDescriptor> descriptor =
        factory->CloneDescriptor(mControlDescriptor, layout, WideString(u"submenu"));
    // The sub-menu of the last opening may still wait for its detach under the same name.
    DetachPendingChildren();
    const RCPtr<LControl> control = factory->CreateControl(RCPtr<LControl>(this), descriptor);
    const RCPtr<LPopupMenu> sub(dynamic_cast<LPopupMenu*>(control.Get()));
    if (!sub) {
        if (control) {
            control->Detach();
        }
        return E_FAIL;
    }
    mOpenSubMenu = sub;
    mOpenedEntry = entry;
    sub->SetMenuFromParentItem(index);
    sub->mReceiver = mReceiver;
    sub->mTransient = mTransient;

    // Beside the entry's row, to the left when there is no room on the right, and moved up to
    // end on the window's bottom edge.
    const RectT<double> row = GetEntryRect(index);
    const int32_t right = static_cast<int32_t>(row.x + row.width);
    const int32_t top = static_cast<int32_t>(row.y);
    const PointT<double> origin = GetPositionInRoot();
    const int32_t ox = RoundToInt(origin.x);
    const int32_t oy = RoundToInt(origin.y);
    int32_t windowWidth = 0;
    int32_t windowHeight = 0;
    if (const RCPtr<LRootWindow>& window = GetRootWindowRef()) {
        const RectT<int32_t> client = window->GetScreenClientRect();
        windowWidth = client.width;
        windowHeight = client.height;
    }
    const int32_t w = RoundToInt(sub->GetRect().width);
    const int32_t h = RoundToInt(sub->GetRect().height);
    int32_t x = right;
    if (ox + right + w > windowWidth) {
        x = -w;
        if (ox + x < 0) {
            x = right;
        }
    }
    int32_t y = top;
    if (oy + top + h > windowHeight) {
        y = windowHeight - oy - h;
        if (oy + y < 0) {
            y = 0;
        }
    }
    const int32_t offsets[2] = {x, y};
    if (sub->GetLayout()) {
        for (int32_t axis = LLayoutDescriptor::kAxisX; axis <= LLayoutDescriptor::kAxisY; ++axis) {
            LayoutPositionSpec position;
            LayoutSpec size;
            sub->GetLayout()->GetAxisSpec(axis, position, size);
            position.relative = 0.0f;
            position.absolute = offsets[axis];
            sub->SetLayoutSpec(axis, position, size);
        }
    }
    sub->mUpdater = GetPopupUpdater();
    sub->SetVisible(true);
    return S_OK;
}

int32_t LPopupMenu::SetMenuFromParentItem(int32_t index)
{
    const RCPtr<LPopupMenu> parent = GetParentPopup();
    const RCPtr<LMenuItemDescriptor> entry = parent ? parent->GetEntry(index) : nullptr;
    if (!entry || !entry->HasChildren()) {
        return E_INVALIDARG;
    }
    CloseSubMenu();
    // The sub-menu shows the opener's entry itself, not a copy.
    mMenu = RCPtr<LMenuDescriptor>(entry.Get());
    mCurrentItem = -1;
    ResolveShortcutTexts(mMenu);
    return S_OK;
}

int32_t LPopupMenu::CloseSubMenu()
{
    StopHoverTimer();
    if (mOpenSubMenu) {
        const RCPtr<LPopupMenu> sub = mOpenSubMenu;
        mClosingSubMenu = true;
        sub->CloseSubMenu();
        sub->SetVisible(false);
        DetachChildLater(RCPtr<LControl>(sub.Get()));
        mOpenSubMenu = nullptr;
    }
    mOpenedEntry = nullptr;
    return S_OK;
}

int32_t LPopupMenu::Close()
{
    mClosing = true;
    if (const RCPtr<LPopupMenu> parent = GetParentPopup()) {
        parent->Close();
        return S_OK;
    }
    const RCPtr<LControl> keepAlive(this);
    StopHoverTimer();
    CloseSubMenu();
    return mParent ? mParent->DetachChildLater(keepAlive) : S_OK;
}

bool LPopupMenu::IsInChain(const LPopupMenu* popup) const
{
    for (const LPopupMenu* sub = mOpenSubMenu.Get(); sub != nullptr;
         sub = sub->mOpenSubMenu.Get()) {
        if (sub == popup) {
            return true;
        }
    }
    for (RCPtr<LPopupMenu> parent = GetParentPopup(); parent; parent = parent->GetParentPopup()) {
        if (parent.Get() == popup) {
            return true;
        }
    }
    return false;
}

int32_t LPopupMenu::HandleKey(const ConstRCPtr<LKeyParam>& key)
{
    if (!key) {
        return S_FALSE;
    }
    const RCPtr<LControl> keepAlive(this);
    switch (key->mKey.GetCode()) {
    case kKeyLeft:
        if (const RCPtr<LPopupMenu> parent = GetParentPopup()) {
            parent->CloseSubMenu();
        }
        return S_OK;
    case kKeyRight: {
        const RCPtr<LMenuItemDescriptor> entry = GetEntry(mCurrentItem);
        if (entry && entry->HasChildren() && OpenSubMenu(mCurrentItem) >= 0 && mOpenSubMenu) {
            mOpenSubMenu->SelectItem(0);
        }
        return S_OK;
    }
    case kKeyEscape:
        if (mTransient && !mClosing) {
            Close();
        }
        return S_OK;
    default:
        return LControl::HandleKey(key);
    }
}

void LPopupMenu::OnPointerMove(const ConstRCPtr<LPointWithModifiersParam>& event)
{
    LControl::OnPointerMove(event);
    if (!event || !mDragging[0]) {
        return;
    }
    const double x = event->mX;
    const double y = event->mY;
    if (x >= 0.0 && y >= 0.0 && x < mRect.width && y < mRect.height) {
        return;
    }
    // A left drag that leaves the popup passes to the title or the popup of the chain under the
    // pointer.
    const RCPtr<LRootWindow>& window = GetRootWindowRef();
    if (!window) {
        return;
    }
    const PointT<double> origin = GetPositionInRoot();
    PointT<int32_t> local;
    const RCPtr<LControl> hit =
        window->HitTest({RoundToInt(origin.x + x), RoundToInt(origin.y + y)}, false, local);
    if (!hit) {
        return;
    }
    if (dynamic_cast<LComboMenu*>(hit.Get()) != nullptr) {
        hit->OnDragStart(kButtonLeft, local.x, local.y);
        return;
    }
    for (LControl* control = hit.Get(); control != nullptr; control = control->GetParent().Get()) {
        if (auto* popup = dynamic_cast<LPopupMenu*>(control)) {
            if (popup != this && IsInChain(popup)) {
                const PointT<double> at = popup->GetPositionInRoot();
                popup->OnDragStart(kButtonLeft, RoundToInt(origin.x + x - at.x),
                                   RoundToInt(origin.y + y - at.y));
            }
            return;
        }
    }
}

int32_t LPopupMenu::SetFocus(bool forward)
{
    if ((mHasFocus || mContainsFocus) && !mClosingSubMenu && mTransient && !mClosing) {
        Close();
    }
    mClosingSubMenu = false;
    return LControl::SetFocus(forward);
}

int32_t LPopupMenu::RequestFocusOnClick(LControl* /*child*/)
{
    return S_OK;
}

void LPopupMenu::OnConditionsChanged(const RCPtr<LConditionsParam>& conditions)
{
    LControl::OnConditionsChanged(conditions);
    if (!conditions) {
        return;
    }
    const RCPtr<LControl> keepAlive(this);
    const uint32_t before = conditions->mOldMask;
    const uint32_t after = conditions->mNewMask;
    constexpr uint32_t kFocus = kConditionHasFocus | kConditionContainsFocus;
    const bool topLevel = !GetParentPopup();
    if (topLevel && ((before ^ after) & kFocus) != 0 && (after & kFocus) == 0 && IsVisible(false) &&
        mTransient && !mClosing) {
        Close();
    }
    if ((after & kConditionVisible) != 0 && (before & kConditionVisible) == 0) {
        UpdateItemStates();
    } else if (topLevel && (after & kConditionVisible) == 0 && (before & kConditionVisible) != 0) {
        CloseSubMenu();
    }
}

} // namespace SV
