#include "Controls/ComboBox.h"

#include "ControlBase/ControlCreator.h"
#include "ControlBase/KeyParam.h"
#include "Controls/TextBox.h"
#include "Notification/NotificationNames.h"
#include "ResultCodes.h"
#include "System/ModifierKeys.h"
#include "Utilities/Storage/StringTable.h"
#include "Utilities/Storage/WideText.h"
#include "Windows/RootWindow.h"

#include <algorithm>
#include <cmath>

namespace SV {

namespace {

bool IsEscape(const ConstRCPtr<LKeyParam>& key)
{
    return key && key->mKey.GetCode() == PressedVirtualKey(VK_ESCAPE);
}

} // namespace

LComboBox::LComboBox(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived)
    : LDropDownControl(parent, name, mostDerived)
{}

LComboBox::~LComboBox()
{
    mList = nullptr;
}

RCPtr<LControl> LComboBox::CreateControl(const RCPtr<LControl>& parent,
                                         const ConstRCPtr<LControlDescriptor>& descriptor)
{
    return CreateControlOf<LComboBox>(parent, descriptor);
}

int32_t LComboBox::ApplyProperties()
{
    const int32_t result = LDropDownControl::ApplyProperties();
    const RCPtr<LStringTable> params =
        mControlDescriptor ? mControlDescriptor->GetCreateParams() : nullptr;
    WideString text;
    mInitialSelectedIndex = params && params->GetString(u"INITIAL_SELECTED_INDEX", text)
                                ? WideToInt(text.GetText())
                                : 0;
    return result;
}

int32_t LComboBox::Initialize()
{
    const int32_t result = LDropDownControl::Initialize();
    if (result < 0) {
        return result;
    }
    // Without a list the combo box shows its text but has no items.
    mList = RCPtr<LListBox>(dynamic_cast<LListBox*>(FindChildControl(u"listBox").Get()));
    if (!mList) {
        return S_OK;
    }
    mHandler.Create();
    const RCPtr<LNotificationDistributor> list(mList.Get());
    mHandler->RegisterHandler(&LComboBox::OnListVisibilityChange, list,
                              kNidVisibilityConditionChange);
    mHandler->RegisterHandler(&LComboBox::OnListItemActivated, list, kNidItemActivated);
    // The text box is looked up whenever it is needed, not held.
    if (const RCPtr<LControl>& child = FindChildControl(u"textBox");
        dynamic_cast<LTextBox*>(child.Get()) != nullptr) {
        const RCPtr<LNotificationDistributor> box(child.Get());
        mHandler->RegisterHandler(&LComboBox::OnTextBoxValidating, box, kNidTextBoxValidating);
        mHandler->RegisterHandler(&LComboBox::OnTextBoxValidated, box, kNidTextBoxValidated);
        mHandler->RegisterHandler(&LComboBox::OnTextBoxTextChange, box, kNidTextBoxTextChange);
        mHandler->RegisterHandler(&LComboBox::OnTextBoxFocusChange, box,
                                  kNidHasFocusConditionChange);
    }
    mList->SetDropDownMode(true);
    mList->SetVisible(false);
    if (mStringTable) {
        mList->LoadItemsFromStringTable(mStringTable);
        const int32_t initial = mInitialSelectedIndex;
        if (initial >= 0 && uint32_t(initial) < mList->GetItemCount() &&
            mList->SelectRange(uint32_t(initial), -1, true) >= 0) {
            LControl::SetText(mList->GetItemText(uint32_t(initial)));
            mSelectedIndex = initial;
        }
    }
    return S_OK;
}

int32_t LComboBox::FinishCreate()
{
    if (mList) {
        mList->SetVisible(false);
    }
    SizeDropDownList();
    return S_OK;
}

int32_t LComboBox::SizeDropDownList()
{
    if (!mList) {
        return E_FAIL;
    }
    const ConstRCPtr<LControlDescriptor>& descriptor = mList->GetControlDescriptor();
    const RCPtr<LLayoutDescriptor> skin = descriptor ? descriptor->GetLayout() : nullptr;
    if (!skin || !mList->GetLayout()) {
        return S_FALSE;
    }
    for (int32_t axis = LLayoutDescriptor::kAxisX; axis <= LLayoutDescriptor::kAxisY; ++axis) {
        const LLayoutDescriptor::Axis& given = skin->axes[size_t(axis)];
        if (given.minimum.absolute != 0.0 && given.maximum.absolute != 0.0) {
            continue;
        }
        LayoutSpec minimum;
        LayoutSpec maximum;
        mList->GetLayout()->GetAxisLimits(axis, minimum, maximum);
        if (given.minimum.absolute == 0.0) {
            if (axis == LLayoutDescriptor::kAxisX) {
                minimum.absolute = std::trunc(mRect.width);
            } else {
                minimum.absolute = mList->GetItemHeight();
                minimum.relative = 0.0f;
            }
        }
        mList->SetSizeLimits(axis, minimum, maximum);
    }
    if (mList->GetLayout()->axes[LLayoutDescriptor::kAxisY].maximum.absolute > 0.0) {
        mList->SnapHeightToRows();
    }
    return S_OK;
}

bool LComboBox::IsDroppedDown() const
{
    return mList && mList->IsVisible(false);
}

int32_t LComboBox::SetDroppedDown(bool open)
{
    return ShowDropDown(open);
}

void LComboBox::PlaceDropDown()
{
    const RCPtr<LRootWindow>& window = GetRootWindowRef();
    const int32_t windowHeight =
        window ? static_cast<int32_t>(std::round(double(window->GetScreenClientRect().height))) : 0;
    const double top = GetPositionInRoot().y;
    const double roomBelow = windowHeight - (top + mRect.height) - kEdgeMargin;
    const double roomAbove = top - kEdgeMargin;
    const double needed = double(mList->GetItemHeight()) * mList->GetItemCount();
    const double currentMaximum =
        mList->GetLayout()->axes[LLayoutDescriptor::kAxisY].maximum.absolute;
    const ConstRCPtr<LControlDescriptor>& descriptor = mList->GetControlDescriptor();
    const double skinMaximum =
        descriptor && descriptor->GetLayout()
            ? descriptor->GetLayout()->axes[LLayoutDescriptor::kAxisY].maximum.absolute
            : 0.0;

    // A list with a fixed maximum height goes where that height fits, below first; otherwise
    // below when all rows fit there or there is at least as much room as above.
    bool below;
    if (currentMaximum != 0.0 && skinMaximum > 0.0 && roomBelow >= skinMaximum) {
        below = true;
    } else if (currentMaximum != 0.0 && skinMaximum > 0.0 && roomAbove >= skinMaximum) {
        below = false;
    } else {
        below = roomBelow >= needed || roomBelow >= roomAbove;
    }
    const double room = below ? roomBelow : roomAbove;
    LayoutSpec minimum;
    LayoutSpec maximum;
    mList->GetLayout()->GetAxisLimits(LLayoutDescriptor::kAxisY, minimum, maximum);
    maximum.absolute =
        skinMaximum > 0.0 ? std::min(room, skinMaximum) : (needed > room ? room : 0.0);
    mList->SetSizeLimits(LLayoutDescriptor::kAxisY, minimum, maximum);

    LayoutPositionSpec position;
    LayoutSpec size;
    mList->GetLayout()->GetAxisSpec(LLayoutDescriptor::kAxisY, position, size);
    position.kind = kPositionToParent;
    position.reference = WideString();
    position.absolute = 0.0;
    position.docked = false;
    position.anchor = below ? 0.0f : 1.0f;
    position.relative = below ? 1.0f : 0.0f;
    size.absolute = std::min(needed, room);
    mList->SetLayoutSpec(LLayoutDescriptor::kAxisY, position, size);
    mList->SnapHeightToRows();
}

void LComboBox::MarkCurrentItem()
{
    // The lowest item with the combo box's text ends selected.
    bool found = false;
    for (uint32_t i = mList->GetItemCount(); i > 0; --i) {
        if (mList->GetItemText(i - 1) == mLabelText) {
            mList->SelectRange(i - 1, -1, true);
            mList->EnsureItemVisible(i - 1);
            found = true;
        }
    }
    if (!found && mList->GetItemCount() > 0) {
        mList->SelectRange(0, -1, true);
        mList->EnsureItemVisible(0);
    }
}

int32_t LComboBox::ShowDropDown(bool open)
{
    if (!mList) {
        return E_FAIL;
    }
    const RCPtr<LControl> keepAlive(this);
    if (open && mParent) {
        // A receiver may fill or change the items now.
        SendNotification(kNidDropDownOpening);
        if (mList->GetLayout()) {
            PlaceDropDown();
        }
        MarkCurrentItem();
    }
    mList->SetVisible(open);
    if (open) {
        // The press that opened the list is still held: the list takes over its drag, so that
        // releasing over an item chooses it.
        if (mList->IsDropDownMode() && mPressed[0]) {
            mList->OnDragStart(kButtonLeft, static_cast<int32_t>(std::round(mPressPoint.x)),
                               static_cast<int32_t>(std::round(mPressPoint.y)));
        }
        mList->SetFocus(true);
    }
    return S_OK;
}

int32_t LComboBox::SetSelectedIndex(int32_t index)
{
    if (!mList) {
        mSelectedIndex = -1;
        return -1;
    }
    if (index < 0) {
        mSelectedIndex = -1;
        mList->DeselectAll();
        return -1;
    }
    const int32_t selected = mList->SelectRange(uint32_t(index), -1, true);
    const bool changed = selected != mSelectedIndex;
    if (selected < 0) {
        mSelectedIndex = -1;
        return -1;
    }
    mSelectedIndex = selected;
    SetLabelText(mList->GetItemText(uint32_t(selected)), true);
    if (const RCPtr<LControl>& textBox = FindChildControl(u"textBox")) {
        textBox->SetText(mLabelText);
    }
    if (changed) {
        SendNotification(kNidSelectionChange);
    }
    return selected;
}

int32_t LComboBox::SetText(const WideString& text)
{
    if (!SetLabelText(text, true)) {
        return S_FALSE;
    }
    SetSelectedIndex(mList ? mList->FindItemByText(text, false) : -1);
    return S_OK;
}

int32_t LComboBox::SetItemCount(uint32_t count)
{
    if (!mList) {
        return E_FAIL;
    }
    const int32_t result = mList->SetItemCount(count);
    if (mSelectedIndex >= 0 && count <= uint32_t(mSelectedIndex)) {
        SetSelectedIndex(-1);
    }
    if (IsDroppedDown()) {
        ShowDropDown(true);
    }
    return result;
}

int32_t LComboBox::InsertItem(uint32_t index, const RCPtr<LRefCountedObject>& label)
{
    if (!label) {
        return E_INVALIDARG;
    }
    if (!mList) {
        return E_FAIL;
    }
    const int32_t result = mList->InsertItem(index, label);
    if (result < 0) {
        return result;
    }
    // The selected index keeps naming the same item.
    if (mSelectedIndex >= 0 && result <= mSelectedIndex) {
        ++mSelectedIndex;
    }
    if (mSelectedIndex < 0 && label->ToString() == mLabelText) {
        SetSelectedIndex(result);
    }
    return result;
}

int32_t LComboBox::AddItem(const WideString& text)
{
    return InsertItem(mList ? mList->GetItemCount() : 0, LListBox::MakeTextLabel(text));
}

const LListBox::ItemRecord& LComboBox::GetItemRecord(uint32_t index) const
{
    static const LListBox::ItemRecord kEmpty;
    return mList && index < mList->GetItemCount() ? mList->GetItemRecord(index) : kEmpty;
}

int32_t LComboBox::OnListItemActivated(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                                       const ConstRCPtr<LNotification>& /*notification*/)
{
    if (mList) {
        SetSelectedIndex(mList->GetCaret());
    }
    return 0;
}

int32_t LComboBox::OnListVisibilityChange(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                                          const ConstRCPtr<LNotification>& /*notification*/)
{
    UpdateStateLook();
    return 0;
}

int32_t LComboBox::OnTextBoxValidating(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                                       const ConstRCPtr<LNotification>& notification)
{
    SendNotification(kNidTextBoxValidating, notification->GetPayload());
    return 1;
}

int32_t LComboBox::OnTextBoxValidated(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                                      const ConstRCPtr<LNotification>& notification)
{
    const RCPtr<LControl> keepAlive(this);
    const auto* params =
        dynamic_cast<const LTextValidationParams*>(notification->GetPayload().Get());
    if (params != nullptr && mList) {
        SetSelectedIndex(mList->SelectItemByText(params->mText, -1, false));
    }
    SendNotification(kNidTextBoxValidated, notification->GetPayload());
    return 1;
}

int32_t LComboBox::OnTextBoxTextChange(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                                       const ConstRCPtr<LNotification>& notification)
{
    SendNotification(kNidTextBoxTextChange, notification->GetPayload());
    return 1;
}

int32_t LComboBox::OnTextBoxFocusChange(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                                        const ConstRCPtr<LNotification>& notification)
{
    const auto* conditions =
        dynamic_cast<const LConditionsParam*>(notification->GetPayload().Get());
    if (conditions != nullptr && mList && (conditions->mNewMask & kConditionHasFocus) != 0 &&
        (conditions->mOldMask & kConditionHasFocus) == 0) {
        mList->SetVisible(false);
    }
    return 1;
}

void LComboBox::OnConditionsChanged(const RCPtr<LConditionsParam>& conditions)
{
    const RCPtr<LControl> keepAlive(this);
    // The press point is taken before the press rule opens the list, which hands the press on.
    if (conditions && mList && (conditions->mNewMask & kConditionLeftPressed) != 0 &&
        (conditions->mOldMask & kConditionLeftPressed) == 0) {
        mPressPoint = {conditions->mPoint.x - mRect.x - mList->GetRect().x,
                       conditions->mPoint.y - mRect.y - mList->GetRect().y};
    }
    LDropDownControl::OnConditionsChanged(conditions);
    UpdateStateLook();
}

int32_t LComboBox::UpdateStateLook()
{
    int32_t look;
    const bool over = mPointerOver;
    const bool focused = mHasFocus || mContainsFocus;
    if (!IsEnabled(true)) {
        look = kLookDisabled;
    } else if (IsDroppedDown()) {
        look = over ? kLookOpenHover : kLookOpen;
    } else if (over) {
        look = focused ? kLookHoverFocused : kLookHover;
    } else {
        look = focused ? kLookFocused : kLookNormal;
    }
    ShowLook(look);
    return look;
}

int32_t LComboBox::HandleKey(const ConstRCPtr<LKeyParam>& key)
{
    if (!key) {
        return S_FALSE;
    }
    const uint32_t code = key->mKey.GetCode();
    if (!IsDroppedDown()) {
        if (code == PressedVirtualKey(VK_DOWN) || code == PressedVirtualKey(VK_RETURN)) {
            ShowDropDown(true);
            return S_OK;
        }
        return S_FALSE;
    }
    if (code == PressedVirtualKey(VK_ESCAPE)) {
        mList->SetVisible(false);
        return S_OK;
    }
    return S_FALSE;
}

void LComboBox::BubbleKey(const ConstRCPtr<LKeyParam>& key)
{
    if (IsEscape(key) && mList) {
        mList->SetVisible(false);
    }
}

WideString LComboBox::GetToolTipText() const
{
    return IsTextTruncated() ? mLabelText : LDropDownControl::GetToolTipText();
}

} // namespace SV
