#include "Controls/ComboMenu.h"

#include "ControlBase/ControlCreator.h"
#include "Controls/PopupMenu.h"
#include "Notification/NotificationNames.h"
#include "ObjectBase/Exception.h"
#include "ResultCodes.h"
#include "System/ModifierKeys.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace SV {

LComboMenu::LComboMenu(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived)
    : LDropDownControl(parent, name, mostDerived)
{}

LComboMenu::~LComboMenu()
{}

RCPtr<LControl> LComboMenu::CreateControl(const RCPtr<LControl>& parent,
                                          const ConstRCPtr<LControlDescriptor>& descriptor)
{
    return CreateControlOf<LComboMenu>(parent, descriptor);
}

RCPtr<LPopupMenu> LComboMenu::GetPopupMenu() const
{
    return RCPtr<LPopupMenu>(dynamic_cast<LPopupMenu*>(FindChildControl(u"popupMenu").Get()));
}

int32_t LComboMenu::Initialize()
{
    if (LDropDownControl::Initialize() < 0) {
        return E_FAIL;
    }
    mHandler.Create();
    const RCPtr<LPopupMenu> popup = GetPopupMenu();
    if (!popup) {
        throw Exception<std::runtime_error>(
            std::string("Runtime Error : Null Pointer : Can not find child popupMenu : "
                        "SV::LComboMenu::Initialize : Controls\\ComboMenu : Line ") +
            std::to_string(__LINE__));
    }
    const RCPtr<LNotificationDistributor> source(popup);
    mHandler->RegisterHandler(&LComboMenu::OnPopupVisibilityChange, source,
                              kNidVisibilityConditionChange);
    mHandler->RegisterHandler(&LComboMenu::OnPopupItemActivated, source, kNidItemActivated);
    // The title and the menu bar decide when this popup closes, not its focus or Escape.
    popup->SetTransient(false);
    return S_OK;
}

int32_t LComboMenu::FinishCreate()
{
    if (const RCPtr<LPopupMenu> popup = GetPopupMenu()) {
        if (popup->GetLayout()) {
            mPopupXOffset = popup->GetLayout()->axes[LLayoutDescriptor::kAxisX].position.absolute;
        }
    }
    return S_OK;
}

bool LComboMenu::IsDroppedDown() const
{
    const RCPtr<LPopupMenu> popup = GetPopupMenu();
    return popup && popup->IsVisible(false);
}

int32_t LComboMenu::SetDroppedDown(bool open)
{
    DropDown(open);
    return S_OK;
}

void LComboMenu::ShowRestingLook()
{
    ShowLook(mPointerOver ? kLookHover : kLookNormal);
}

int32_t LComboMenu::DropDown(bool open)
{
    const RCPtr<LPopupMenu> popup = GetPopupMenu();
    if (!popup) {
        return S_OK;
    }
    const RCPtr<LControl> keepAlive(this);
    if (open && popup->GetLayout()) {
        // Kept inside the window: a popup that would pass the right edge ends on it, and one
        // wider than the window starts at its left edge.
        const RCPtr<LControl> top = GetRootControl();
        PointT<double> point{mPopupXOffset, 0.0};
        top->OffsetToControl(*this, point);
        const double width = popup->GetRect().width;
        if (point.x + width > top->GetRect().width) {
            point.x = std::max(top->GetRect().width - width, 0.0);
        }
        OffsetToControl(*top, point);
        LayoutPositionSpec position;
        LayoutSpec size;
        if (popup->GetLayout()->GetAxisSpec(LLayoutDescriptor::kAxisX, position, size) >= 0 &&
            position.absolute != point.x) {
            position.absolute = point.x;
            popup->SetLayoutSpec(LLayoutDescriptor::kAxisX, position, size);
        }
    }
    popup->SetVisible(open);
    if (!open) {
        ShowRestingLook();
        return S_OK;
    }
    popup->SetFocus(true);
    ShowLook(kLookOpen);
    // The press that opened the popup is still held: the popup takes over its drag, so the
    // pointer can be dragged down and released on an entry.
    if (mPressed[0]) {
        popup->OnDragStart(kButtonLeft, static_cast<int32_t>(std::round(mPressPoint.x)),
                           static_cast<int32_t>(std::round(mPressPoint.y)));
    }
    return S_OK;
}

RCPtr<LComboMenu> LComboMenu::FindOpenSibling() const
{
    if (!mParent) {
        return nullptr;
    }
    const ChildControlList& siblings = mParent->GetChildren();
    for (int32_t i = siblings.GetCount() - 1; i >= 0; --i) {
        auto* title = dynamic_cast<LComboMenu*>(siblings.GetAt(i, kStoredOrder).Get());
        if (title != nullptr && title->IsDroppedDown()) {
            return RCPtr<LComboMenu>(title);
        }
    }
    return nullptr;
}

void LComboMenu::OnConditionsChanged(const RCPtr<LConditionsParam>& conditions)
{
    const RCPtr<LControl> keepAlive(this);
    if (!IsEnabled(true)) {
        ShowLook(kLookDisabled);
    } else {
        if (IsDroppedDown()) {
            ShowLook(kLookOpen);
        } else {
            ShowRestingLook();
        }
        // While one menu is open, the pointer arriving on another title switches to its menu.
        if (conditions && ((conditions->mOldMask ^ conditions->mNewMask) & kConditionPointerOver) &&
            (conditions->mNewMask & kConditionPointerOver) != 0) {
            const RCPtr<LComboMenu> open = FindOpenSibling();
            if (open && open.Get() != this) {
                if (const RCPtr<LPopupMenu> popup = open->GetPopupMenu()) {
                    popup->SetVisible(false);
                }
                open->ShowRestingLook();
                DropDown(true);
            }
        }
    }
    if (conditions && (conditions->mNewMask & kConditionLeftPressed) != 0 &&
        (conditions->mOldMask & kConditionLeftPressed) == 0) {
        // The payload's point is in the parent's coordinates; the popup wants its own.
        const RCPtr<LPopupMenu> popup = GetPopupMenu();
        const PointT<double> popupAt =
            popup ? PointT<double>{popup->GetRect().x, popup->GetRect().y} : PointT<double>{};
        mPressPoint = {conditions->mPoint.x - mRect.x - popupAt.x,
                       conditions->mPoint.y - mRect.y - popupAt.y};
    }
    LDropDownControl::OnConditionsChanged(conditions);
}

int32_t LComboMenu::OnPopupVisibilityChange(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                                            const ConstRCPtr<LNotification>& /*notification*/)
{
    if (IsDroppedDown()) {
        ShowLook(kLookOpen);
    } else {
        ShowRestingLook();
    }
    return 0;
}

int32_t LComboMenu::OnPopupItemActivated(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                                         const ConstRCPtr<LNotification>& /*notification*/)
{
    if (const RCPtr<LPopupMenu> popup = GetPopupMenu()) {
        popup->SetVisible(false);
    }
    ShowRestingLook();
    return 1;
}

} // namespace SV
