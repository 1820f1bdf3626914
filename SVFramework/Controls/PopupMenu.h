// The framework's popup menu ("Framework.PopupMenu"): shows one menu description as a column of
// entries and turns the choice of an entry into the notification its identifier names. It is
// the drop-down of a menu-bar title, a control's context menu and a sub-menu of another popup;
// its rows are the checked list's rows in drop-down mode, where the row under the pointer is the
// current entry and a release or Return runs it. The popups of one menu form a chain (one open
// sub-menu each) that opens sub-menus after the pointer has rested 250 ms, follows Left, Right and
// Escape, and closes as a whole.
#pragma once

#include "ControlBase/PopupMenuControl.h"
#include "ControlBase/MenuDescriptor.h"
#include "ControlBase/MenuItemUpdater.h"
#include "Controls/CheckedListBox.h"

namespace SV {

class LNotificationQueue;

class LPopupMenu : public LCheckedListBox, public IPopupMenuControl
{
public:
    // The pointer rests longer than this on an entry before its sub-menu opens or closes.
    static constexpr uint32_t kHoverDelayMs = 250;
    // Room beside an entry's texts: check box, the space right of the shortcut and a gap.
    static constexpr int32_t kRowTextGap = 20;

    LPopupMenu(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived = true);
    ~LPopupMenu() override;

    static RCPtr<LControl> CreateControl(const RCPtr<LControl>& parent,
                                         const ConstRCPtr<LControlDescriptor>& descriptor);

    // Shows a private deep copy of the menu; E_INVALIDARG for an empty menu.
    int32_t SetMenu(const RCPtr<LMenuDescriptor>& menu) override;
    const RCPtr<LMenuDescriptor>& GetMenu() const { return mMenu; }
    // Chosen commands are posted into the queue; E_INVALIDARG for an empty queue, E_FAIL when a
    // receiver is set already.
    int32_t SetReceiver(const RCPtr<LNotificationQueue>& queue);
    // The receiver set, else the nearest ancestor that is not a popup; empty when none.
    RCPtr<LNotificationReceiver> GetReceiver() const;
    void SetUpdater(const RCPtr<LMenuItemUpdater>& updater) { mUpdater = updater; }
    // The updater set, else the receiver control's, which is then kept.
    RCPtr<LMenuItemUpdater> GetPopupUpdater();
    void SetTransient(bool transient) { mTransient = transient; }
    bool IsTransient() const { return mTransient; }
    bool IsClosing() const { return mClosing; }

    // Fills the shortcut texts of the menu from the key bindings nearest to the receiver;
    // E_FAIL without menu or receiver, or with a receiver set while outside a window.
    int32_t ResolveShortcutTexts(const RCPtr<LMenuDescriptor>& menu);
    // Asks the control behind the menu about every command entry, the last first.
    int32_t UpdateItemStates();
    // 1 when the state is the entry's already, E_INVALIDARG past the last entry, else 0.
    int32_t ApplyItemState(int32_t index, const MenuItemState& state);
    // Opens the current entry's sub-menu with its first entry selected, the popup staying open;
    // false when the current entry has no sub-menu.
    bool OpenCurrentSubMenu();
    // Places the popup at the pointer inside the window, shows it and gives it the focus.
    int32_t ShowAtCursor() override;
    // Runs a chosen entry: the focus goes back where it was before the menu bar took it, and
    // the entry's notification goes to the receiver with the menu and the entry's index.
    int32_t ActivateItem(const RCPtr<LMenuItemDescriptor>& entry);
    // The list's activation of an item by index (release or Return), which runs the hook.
    using LCheckedListBox::ActivateItem;

    // The entry under the pointer or the keys: the list's caret.
    int32_t GetCurrentItem() const { return GetCaret(); }
    // Never narrower than the skin's width nor lower than one row.
    int32_t SizeToSkin();
    // Writes every entry into the list's items and fits the popup's width to the widest entry.
    int32_t RebuildRows();
    int32_t GetSeparatorHeight() const { return mSeparatorHeight; }
    int32_t GetExtraRowWidth() const { return mExtraRowWidth; }

    // Sub-menus.
    int32_t OpenSubMenu(int32_t index);
    int32_t SetMenuFromParentItem(int32_t index);
    int32_t CloseSubMenu();
    int32_t Close();
    RCPtr<LPopupMenu> GetParentPopup() const;
    const RCPtr<LPopupMenu>& GetOpenSubMenu() const { return mOpenSubMenu; }
    bool IsInChain(const LPopupMenu* popup) const;
    int32_t StartHoverTimer();
    bool IsHoverWaiting() const { return mHoverWait; }

    void OnSelectionChanged() override;
    void OnItemActivated() override;
    int32_t CreateItemControl() override;
    int32_t RefreshItemRow(uint32_t item, int32_t& row) override;
    int32_t MeasureItemWidth(uint32_t item) const override;
    int32_t GetContentHeight() const override;
    bool CanSelectItem(uint32_t item) const override;
    // Entries are never reordered.
    int32_t SwapItems(uint32_t a, uint32_t b) override;
    int32_t ApplyDescriptor(const ConstRCPtr<LControlDescriptor>& descriptor) override;

    int32_t SetFocus(bool forward) override;
    void OnConditionsChanged(const RCPtr<LConditionsParam>& conditions) override;
    int32_t RequestFocusOnClick(LControl* child) override;
    void OnPointerMove(const ConstRCPtr<LPointWithModifiersParam>& event) override;
    // A release over an entry with a sub-menu opens the sub-menu and keeps the popup open.
    void OnLeftButtonUp(const ConstRCPtr<LMouseButtonParam>& event) override;
    int32_t HandleKey(const ConstRCPtr<LKeyParam>& key) override;
    void OnIdle() override;
    int32_t Initialize() override;
    int32_t FinishCreate() override;

private:
    int32_t OnRowHoverChange(const ConstRCPtr<LNotificationDistributor>& sender,
                             const ConstRCPtr<LNotification>& notification);
    // The parent popup selects the entry whose sub-menu is open and stops its own timer.
    void SyncParentSelection();
    void StopHoverTimer();
    bool PointerInEntry(int32_t index) const;
    RCPtr<LMenuItemDescriptor> GetEntry(int32_t index) const;
    // Hides a transient popup that is not closing.
    void HideIfTransient();
    int32_t LoadOwnMenu();

    RCPtr<LMenuDescriptor> mMenu;
    RCPtr<LPopupMenu> mOpenSubMenu;
    RCPtr<LMenuItemDescriptor> mOpenedEntry;
    RCPtr<LNotificationReceiver> mReceiver;
    RCPtr<LMenuItemUpdater> mUpdater;
    bool mHoverWait = false;
    uint32_t mHoverStart = 0;
    bool mClosingSubMenu = false;
    bool mTransient = true;
    bool mClosing = false;
    int32_t mSeparatorHeight = 0;
    int32_t mSeparatorCount = 0;
    int32_t mExtraRowWidth = -1;
    ControlNotificationHandler<LPopupMenu> mPopupHandler{this};
};

} // namespace SV
