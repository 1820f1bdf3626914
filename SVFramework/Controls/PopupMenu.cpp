#include "Controls/PopupMenu.h"

#include "ControlBase/ControlApplication.h"
#include "ControlBase/ControlCreator.h"
#include "ControlBase/ControlFactory.h"
#include "ControlBase/KeyParam.h"
#include "ControlBase/MenuBuilder.h"
#include "Controls/ComboMenu.h"
#include "Controls/MenuBar.h"
#include "Controls/MenuItem.h"
#include "Controls/PopupMenuShortcuts.h"
#include "Notification/NotificationNames.h"
#include "Notification/NotificationQueue.h"
#include "Renderer/Renderer.h"
#include "ResultCodes.h"
#include "System/ModifierKeys.h"
#include "Utilities/Storage/StringTable.h"
#include "Windows/MouseParams.h"
#include "Windows/RootWindow.h"
#include "Windows/WindowApplication.h"

#include <cmath>

namespace SV {

namespace {

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
    : LCheckedListBox(parent, name, mostDerived)
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
    if (LCheckedListBox::Initialize() < 0) {
        return E_FAIL;
    }
    mPopupHandler.Create();
    SizeToSkin();
    // A not-focusable ancestor (the menu bar) does not keep the popup from the focus.
    SetFocusBarrier(true);
    SetDropDownMode(true);
    SetCheckBoxesPassThrough(true);
    return LoadOwnMenu();
}

int32_t LPopupMenu::FinishCreate()
{
    SetClipToParent(false);
    SetVisible(false);
    SizeToSkin();
    return S_OK;
}

int32_t LPopupMenu::SizeToSkin()
{
    const RCPtr<LLayoutDescriptor> skin =
        mControlDescriptor ? mControlDescriptor->GetLayout() : nullptr;
    if (!skin || !mLayout) {
        return S_FALSE;
    }
    for (int32_t axis = LLayoutDescriptor::kAxisX; axis <= LLayoutDescriptor::kAxisY; ++axis) {
        const LLayoutDescriptor::Axis& given = skin->axes[size_t(axis)];
        if (given.minimum.absolute != 0.0 && given.maximum.absolute != 0.0) {
            continue;
        }
        LayoutSpec minimum;
        LayoutSpec maximum;
        mLayout->GetAxisLimits(axis, minimum, maximum);
        if (given.minimum.absolute == 0.0) {
            if (axis == LLayoutDescriptor::kAxisX) {
                minimum.absolute = std::trunc(mRect.width);
            } else {
                minimum.absolute = GetItemHeight();
                minimum.relative = 0.0f;
            }
        }
        SetSizeLimits(axis, minimum, maximum);
    }
    mExtraRowWidth = -1;
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
    ResolveShortcutTexts(mMenu);
    return RebuildRows();
}

int32_t LPopupMenu::RebuildRows()
{
    if (!mMenu) {
        return S_OK;
    }
    const uint32_t count = uint32_t(mMenu->GetItemCount());
    SetItemCount(count);
    if (GetRowCount() == 0) {
        return S_FALSE;
    }
    const RCPtr<LListBoxItem> measuring = GetRowControl(GetRowCount() - 1);
    if (mExtraRowWidth < 0) {
        const RCPtr<LControl>& checkBox = measuring->FindChildControl(u"checkBox");
        const RCPtr<LControl>& hotKey = measuring->FindChildControl(u"hotKeyLabel");
        const double checkRight =
            checkBox ? std::trunc(checkBox->GetRect().x + checkBox->GetRect().width) : 0.0;
        const double hotKeyRoom = hotKey ? std::trunc(measuring->GetRect().width -
                                                      hotKey->GetRect().x - hotKey->GetRect().width)
                                         : 0.0;
        mExtraRowWidth = static_cast<int32_t>(checkRight + hotKeyRoom) + kRowTextGap;
    }
    // A separator row is a blank row without text: its height is measured once per rebuild.
    const WideString measuringText = measuring->GetText();
    measuring->SetBlank(true);
    measuring->SetLabelText(WideString(), false);
    measuring->UpdateLayout();
    mSeparatorHeight = static_cast<int32_t>(measuring->GetRect().height);
    measuring->SetBlank(false);
    measuring->SetLabelText(measuringText, false);

    mSeparatorCount = 0;
    int32_t widest = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const RCPtr<LMenuItemDescriptor> entry = mMenu->GetItem(int32_t(i));
        const bool separator = entry->IsSeparator() != 0;
        SetItemData(i, RCPtr<LRefCountedObject>(entry.Get()), 0.0, entry->HasChildren(), separator);
        SetItemChecked(i, entry->IsChecked() != 0);
        SetItemBlank(i, separator);
        if (separator) {
            ++mSeparatorCount;
        }
        widest = std::max(widest, MeasureItemWidth(i));
    }
    const double barWidth = GetScrollBarSizes().x;
    SetWidthToContent(barWidth + widest);
    RefreshRowsFrom(0);
    SetHeightToContent(std::max(GetContentHeight(), GetItemHeight()));
    return S_OK;
}

int32_t LPopupMenu::MeasureItemWidth(uint32_t item) const
{
    const RCPtr<LMenuItemDescriptor> entry = GetEntry(int32_t(item));
    IControlApplication* application = GetControlApplication();
    const RCPtr<LMeasurementRenderer> measurer =
        application != nullptr ? application->GetMeasurementRenderer() : nullptr;
    if (!entry || !measurer || GetRowCount() == 0) {
        return 0;
    }
    const RCPtr<LListBoxItem> row = GetRowControl(0);
    const RCPtr<LControl>& hotKey = row->FindChildControl(u"hotKeyLabel");
    float width = measurer->MeasureText(entry->GetLabel(), ConstRCPtr<LFont>(row->GetFont())).width;
    if (hotKey && !entry->GetShortcutText().IsEmpty()) {
        width +=
            measurer->MeasureText(entry->GetShortcutText(), ConstRCPtr<LFont>(hotKey->GetFont()))
                .width;
    }
    return static_cast<int32_t>(std::round(width)) + std::max(mExtraRowWidth, 0);
}

int32_t LPopupMenu::GetContentHeight() const
{
    const int32_t entries = mMenu ? mMenu->GetItemCount() : 0;
    return mSeparatorCount * mSeparatorHeight + (entries - mSeparatorCount) * GetItemHeight();
}

int32_t LPopupMenu::SwapItems(uint32_t /*a*/, uint32_t /*b*/)
{
    return E_NOTIMPL;
}

int32_t LPopupMenu::CreateItemControl()
{
    const int32_t result = LCheckedListBox::CreateItemControl();
    if (result >= 0 && mPopupHandler && GetRowCount() > 0) {
        if (const RCPtr<LListBoxItem> row = GetRowControl(GetRowCount() - 1)) {
            mPopupHandler->RegisterHandler(&LPopupMenu::OnRowHoverChange,
                                           RCPtr<LNotificationDistributor>(row.Get()),
                                           kNidHoverConditionChange);
        }
    }
    return result;
}

int32_t LPopupMenu::OnRowHoverChange(const ConstRCPtr<LNotificationDistributor>& sender,
                                     const ConstRCPtr<LNotification>& notification)
{
    auto* row = dynamic_cast<const LControl*>(sender.Get());
    auto* conditions = notification
                           ? dynamic_cast<const LConditionsParam*>(notification->GetPayload().Get())
                           : nullptr;
    if (row == nullptr || conditions == nullptr || GetWindowApplication() == nullptr) {
        return 0;
    }
    // The entry's help text as status text while the pointer is over its row.
    if ((conditions->mNewMask & kConditionHover) != 0 &&
        (conditions->mOldMask & kConditionHover) == 0) {
        const RCPtr<LMenuItemDescriptor> entry = GetEntry(ItemIndexFromControl(row));
        if (entry && !entry->GetHelpText().IsEmpty()) {
            GetWindowApplication()->ShowBusyText(entry->GetHelpText(), false);
        }
    } else if ((conditions->mNewMask & kConditionHover) == 0 &&
               (conditions->mOldMask & kConditionHover) != 0) {
        GetWindowApplication()->ClearBusyText(false);
    }
    return 0;
}

int32_t LPopupMenu::RefreshItemRow(uint32_t item, int32_t& row)
{
    const int32_t result = LCheckedListBox::RefreshItemRow(item, row);
    if (result < 0 || row < 0) {
        return result;
    }
    auto* control = dynamic_cast<LMenuListBoxItem*>(GetRowControl(uint32_t(row)).Get());
    if (control == nullptr) {
        return result;
    }
    const RCPtr<LMenuItemDescriptor> entry = GetEntry(int32_t(item));
    if (entry) {
        control->SetHotKeyText(entry->GetShortcutText());
        control->SetBlank(entry->IsSeparator() != 0);
        control->SetEnabled(entry->IsEnabled() != 0);
        const int32_t checkLook = entry->IsChecked() ? (control->IsPointerOver() ? 8 : 7) : 0;
        control->ShowCheckBoxLook(checkLook, true);
    } else {
        control->SetHotKeyText(WideString());
        control->SetEnabled(false);
        control->ShowCheckBoxLook(0, true);
    }
    if (const RCPtr<LLook> look = control->GetLook(-1)) {
        control->SetHotKeyVisualPart(look->GetTextForegroundPart());
    }
    return result;
}

int32_t LPopupMenu::ApplyDescriptor(const ConstRCPtr<LControlDescriptor>& descriptor)
{
    const int32_t result = LCheckedListBox::ApplyDescriptor(descriptor);
    if (result >= 0 && mMenu && mCreated) {
        DeselectAll();
        RebuildRows();
    }
    return result;
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
        RebuildRows();
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
        GetWindowApplication() != nullptr && GetWindowApplication()->GetHotKeyManager()
            ? &GetWindowApplication()->GetHotKeyManager()->GetTable()
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
    DeselectAll();
    const RCPtr<LControl> target = updater->GetControl();
    for (int32_t i = mMenu->GetItemCount() - 1; i >= 0; --i) {
        const RCPtr<LMenuItemDescriptor> entry = GetEntry(i);
        if (!entry || entry->HasChildren() || entry->IsSeparator()) {
            continue;
        }
        MenuItemState state;
        mMenu->GetItemState(i, state);
        if (target) {
            target->UpdateMenuItem(mMenu, i, entry->GetIdentifier(), state);
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
        RebuildRows();
    }
    int32_t row = -1;
    RefreshItemRow(uint32_t(index), row);
    return S_OK;
}

bool LPopupMenu::CanSelectItem(uint32_t item) const
{
    const RCPtr<LMenuItemDescriptor> entry = GetEntry(int32_t(item));
    return entry && entry->IsEnabled() != 0 && entry->IsSeparator() == 0;
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
        // the layout puts the corner now, whatever the reference kind.
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
        const int32_t index = GetCaret();
        SendNotification(kNidItemActivated);
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
    const RCPtr<LMenuItemDescriptor> entry = GetEntry(GetCaret());
    if (!entry) {
        return;
    }
    if (!entry->HasChildren()) {
        ActivateItem(entry);
        return;
    }
    if (entry.Get() != mOpenedEntry.Get() && OpenSubMenu(GetCaret()) >= 0 && mOpenSubMenu &&
        mOpenSubMenu->GetItemCount() > 0) {
        mOpenSubMenu->SelectRange(0, -1, true);
    }
}

void LPopupMenu::OnSelectionChanged()
{
    const RCPtr<LMenuItemDescriptor> entry = GetEntry(GetCaret());
    if (!entry) {
        return;
    }
    SyncParentSelection();
    if (entry->HasChildren()) {
        if (entry.Get() != mOpenedEntry.Get()) {
            if (PointerInEntry(GetCaret())) {
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
            if (parent->GetCaret() != i) {
                parent->SelectRange(uint32_t(i), -1, true);
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
    const RectT<double> row = GetItemRect(uint32_t(index));
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
    const RCPtr<LMenuItemDescriptor> entry = GetEntry(GetCaret());
    if (entry && entry->HasChildren()) {
        OpenSubMenu(GetCaret());
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
    const RectT<double> row = GetItemRect(uint32_t(index));
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
    ResolveShortcutTexts(mMenu);
    return RebuildRows();
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
    case PressedVirtualKey(VK_LEFT):
        if (const RCPtr<LPopupMenu> parent = GetParentPopup()) {
            parent->CloseSubMenu();
        }
        return S_OK;
    case PressedVirtualKey(VK_RIGHT): {
        const RCPtr<LMenuItemDescriptor> entry = GetEntry(GetCaret());
        if (entry && entry->HasChildren() && OpenSubMenu(GetCaret()) >= 0 && mOpenSubMenu &&
            mOpenSubMenu->GetItemCount() > 0) {
            mOpenSubMenu->SelectRange(0, -1, true);
        }
        return S_OK;
    }
    case PressedVirtualKey(VK_ESCAPE):
        if (mTransient && !mClosing) {
            Close();
        }
        return S_OK;
    case PressedVirtualKey(VK_RETURN):
        // The list would run the entry and hide the popup: an entry with a sub-menu opens it.
        if (OpenCurrentSubMenu()) {
            return S_OK;
        }
        return LCheckedListBox::HandleKey(key);
    default:
        return LCheckedListBox::HandleKey(key);
    }
}

bool LPopupMenu::OpenCurrentSubMenu()
{
    const RCPtr<LMenuItemDescriptor> entry = GetEntry(GetCaret());
    if (!entry || !entry->HasChildren() || !CanSelectItem(uint32_t(GetCaret()))) {
        return false;
    }
    OnItemActivated();
    return true;
}

void LPopupMenu::OnLeftButtonUp(const ConstRCPtr<LMouseButtonParam>& event)
{
    if (event && IsDropDownMode()) {
        const int32_t item = ItemIndexAtPoint({double(event->mX), double(event->mY)});
        const RCPtr<LMenuItemDescriptor> entry = GetEntry(item);
        if (entry && entry->HasChildren() && CanSelectItem(uint32_t(item))) {
            const RCPtr<LControl> keepAlive(this);
            LScrollView::OnLeftButtonUp(event);
            SelectRange(uint32_t(item), -1, true);
            OpenCurrentSubMenu();
            return;
        }
    }
    LCheckedListBox::OnLeftButtonUp(event);
}

void LPopupMenu::OnPointerMove(const ConstRCPtr<LPointWithModifiersParam>& event)
{
    LCheckedListBox::OnPointerMove(event);
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
    return LCheckedListBox::SetFocus(forward);
}

int32_t LPopupMenu::RequestFocusOnClick(LControl* /*child*/)
{
    return S_OK;
}

void LPopupMenu::OnConditionsChanged(const RCPtr<LConditionsParam>& conditions)
{
    // The list's own reaction to its conditions does not apply to a popup.
    LScrollView::OnConditionsChanged(conditions);
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
