// The framework's tab control ("Framework.TabControl"): a row of tab buttons in "buttonHolder"
// and their pages in "pageHolder", matched by position. Choosing a tab shows its page, hides
// the others and sends "NID_TAB_SELECTED" with the page.
#pragma once

#include "Controls/Panel.h"

namespace SV {

class LTabControl : public LPanel
{
public:
    LTabControl(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived = true);
    ~LTabControl() override;

    static RCPtr<LControl> CreateControl(const RCPtr<LControl>& parent,
                                         const ConstRCPtr<LControlDescriptor>& descriptor);

    // A new skin keeps the selected tab's page shown.
    int32_t ApplyDescriptor(const ConstRCPtr<LControlDescriptor>& descriptor) override;
    // Selects the first tab of the tab order; E_FAIL without holders or tab buttons, and the
    // control then never reacts to clicks.
    int32_t Initialize() override;

    virtual uint32_t GetTabCount() const;
    // Child order of the button holder; -1 when no tab button has that name.
    virtual int32_t GetTabIndex(const WideString& name) const;
    virtual int32_t GetSelectedTabIndex() const;
    virtual RCPtr<LControl> GetSelectedPage() const;
    virtual const WideString& GetSelectedTabName() const { return mSelectedName; }
    virtual RCPtr<LControl> GetPage(const WideString& name) const;
    virtual RCPtr<LControl> GetPageAt(uint32_t index) const;
    virtual RCPtr<LControl> GetTabButton(const WideString& name) const;
    virtual RCPtr<LControl> GetTabButtonAt(uint32_t index) const;
    // 0; E_FAIL without a button holder or a page holder. A name of no tab hides every page.
    virtual int32_t SelectTab(const WideString& name);
    // The index counts in the button holder's tab order.
    virtual int32_t SelectTabAt(uint32_t index);
    // Called after the name is stored and before the new page is shown.
    virtual void OnTabSelected(int32_t index);

private:
    int32_t OnTabClicked(const ConstRCPtr<LNotificationDistributor>& sender,
                         const ConstRCPtr<LNotification>& notification);
    // The page holder's child at the index, when it has that many pages.
    RCPtr<LControl> PageOrNone(int32_t index) const;

    ControlNotificationHandler<LTabControl> mHandler{this};
    RCPtr<LPanel> mButtonHolder;
    RCPtr<LPanel> mPageHolder;
    WideString mSelectedName;
};

} // namespace SV
