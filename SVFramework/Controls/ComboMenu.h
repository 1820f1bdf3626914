// One title of a menu bar ("Framework.ComboMenu"): a drop-down control whose drop-down part is
// its popup menu, the child "popupMenu". It opens and closes that popup, keeps its look in step
// with it (0 normal, 1 pointer over, 2 open, 3 disabled), lets the pointer slide from one open
// title to the next, and closes the popup when an entry is run. The popup delivers the command.
#pragma once

#include "Controls/DropDownControl.h"

namespace SV {

class LPopupMenu;

class LComboMenu : public LDropDownControl
{
public:
    enum : int32_t
    {
        kLookNormal = 0,
        kLookHover = 1,
        kLookOpen = 2,
        kLookDisabled = 3,
    };

    LComboMenu(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived = true);
    ~LComboMenu() override;

    static RCPtr<LControl> CreateControl(const RCPtr<LControl>& parent,
                                         const ConstRCPtr<LControlDescriptor>& descriptor);

    // The child "popupMenu"; empty when there is none.
    RCPtr<LPopupMenu> GetPopupMenu() const;
    // Among the parent's children, last to first, the first title whose popup is open.
    RCPtr<LComboMenu> FindOpenSibling() const;
    // Opens the popup inside the window's width, or closes it; 0.
    int32_t DropDown(bool open);

    void OnConditionsChanged(const RCPtr<LConditionsParam>& conditions) override;
    // Throws the null-pointer runtime error when "popupMenu" is missing.
    int32_t Initialize() override;
    int32_t FinishCreate() override;
    bool IsDroppedDown() const override;
    int32_t SetDroppedDown(bool open) override;

private:
    int32_t OnPopupVisibilityChange(const ConstRCPtr<LNotificationDistributor>& sender,
                                    const ConstRCPtr<LNotification>& notification);
    int32_t OnPopupItemActivated(const ConstRCPtr<LNotificationDistributor>& sender,
                                 const ConstRCPtr<LNotification>& notification);
    // Look 1 with the pointer over the title, else 0.
    void ShowRestingLook();

    ControlNotificationHandler<LComboMenu> mHandler{this};
    double mPopupXOffset = 0.0;
    PointT<double> mPressPoint;
};

} // namespace SV
