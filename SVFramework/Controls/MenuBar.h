// The window's menu bar ("Framework.MainMenu"): a row of menu titles, each a copy of the skin's
// hidden "templateMenu", named and labelled by the bar's "MENU_LABEL.nn" strings and showing the
// menus of its "CONTEXT_MENU" strings. Chosen commands are posted into the root window's queue;
// one command-target control answers for the entries' states; the control that had the focus
// before the menu took it gets it back and serves as edit target; the added titles survive a
// change of skin.
#pragma once

#include "ControlBase/Control.h"
#include "ControlBase/MenuDescriptor.h"
#include "ControlBase/MenuItemUpdater.h"

namespace SV {

class LComboMenu;

class LMainMenu : public LControl
{
public:
    LMainMenu(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived = true);
    ~LMainMenu() override;

    static RCPtr<LControl> CreateControl(const RCPtr<LControl>& parent,
                                         const ConstRCPtr<LControlDescriptor>& descriptor);

    // 1 when it was the stored one already, else 0.
    int32_t SetCommandTarget(const RCPtr<LMenuItemUpdater>& target);
    const RCPtr<LMenuItemUpdater>& GetCommandTarget() const { return mCommandTarget; }

    // A new title after the last one; E_INVALIDARG when a child has that name, E_FAIL without a
    // title to copy.
    int32_t AddTitle(const WideString& name);
    // The new title's position among the added titles; E_INVALIDARG when "before" names no
    // added title or the name is taken.
    int32_t InsertTitle(const WideString& before, const WideString& name, const WideString& label,
                        const RCPtr<LMenuDescriptor>& menu);
    int32_t InsertTitleAt(int32_t position, const WideString& name, const WideString& label,
                          const RCPtr<LMenuDescriptor>& menu);

    RCPtr<LComboMenu> GetTitle(int32_t index) const;
    int32_t GetTitleCount() const;
    int32_t FindTitle(const WideString& name) const;
    WideString GetTitleName(int32_t addedIndex) const;
    int32_t GetTitleIndex(const WideString& name) const;
    int32_t GetSkinTitleCount() const { return mSkinTitles; }
    static RCPtr<LMenuDescriptor> GetTitleMenu(const LComboMenu& title);
    static int32_t SetTitlePopupUpdater(const LComboMenu& title,
                                        const RCPtr<LMenuItemUpdater>& updater);
    const RCPtr<LControl>& GetPreviousFocus() const { return mPreviousFocus; }

    RCPtr<LControl> GetEditTarget() override;
    void OnConditionsChanged(const RCPtr<LConditionsParam>& conditions) override;
    void OnRootAttached() override;
    int32_t UpdateMenuItem(const RCPtr<LMenuDescriptor>& menu, int32_t index,
                           const WideString& identifier, MenuItemState& state) override;
    int32_t ApplyDescriptor(const ConstRCPtr<LControlDescriptor>& descriptor) override;
    int32_t Initialize() override;
    int32_t AttachChild(const RCPtr<LControl>& child,
                        const ConstRCPtr<LControlDescriptor>& descriptor) override;

private:
    // Gives a title's popup the bar's updater and, in a window, the window's queue.
    void ConnectTitle(LComboMenu& title);
    // Moves a title's popup menu, text and name onto another title.
    void RenameTitle(LComboMenu& title, const WideString& name);

    RCPtr<LControl> mPreviousFocus;
    ConstRCPtr<LControlDescriptor> mTitleTemplate;
    RCPtr<LMenuItemUpdater> mCommandTarget;
    int32_t mSkinTitles = 0;
    bool mHasTemplate = false;
};

} // namespace SV
