#include "Controls/CheckedComboBox.h"

#include "ControlBase/ControlCreator.h"
#include "Controls/Button.h"
#include "Notification/Notification.h"
#include "Notification/NotificationNames.h"
#include "ObjectBase/DebugLog.h"
#include "ResultCodes.h"
#include "Utilities/Graphics/Bitmap.h"

namespace SV {

LCheckedComboBox::LCheckedComboBox(const RCPtr<LControl>& parent, const WideString& name,
                                   bool mostDerived)
    : LComboBox(parent, name, mostDerived)
{}

LCheckedComboBox::~LCheckedComboBox()
{
    mCheckedList = nullptr;
}

RCPtr<LControl> LCheckedComboBox::CreateControl(const RCPtr<LControl>& parent,
                                                const ConstRCPtr<LControlDescriptor>& descriptor)
{
    return CreateControlOf<LCheckedComboBox>(parent, descriptor);
}

int32_t LCheckedComboBox::Initialize()
{
    mCheckedList =
        RCPtr<LCheckedListBox>(dynamic_cast<LCheckedListBox*>(FindChildControl(u"listBox").Get()));
    if (LComboBox::Initialize() < 0) {
        return E_FAIL;
    }
    if (!mCheckedList) {
        // The skin is still usable: the control goes on as a plain combo box.
        GetDebugStreamHolder().GetNarrowOutput()
            << "Checked combo box " << NarrowString(mName).GetText()
            << " has no checked list box named listBox: items cannot be checked\n"
            << std::flush;
        return E_FAIL;
    }
    if (const RCPtr<LControl>& checkBox = FindChildControl(u"checkBox")) {
        checkBox->SetUsesParentToolTip(true);
    }
    mCheckedList->SetDropDownMode(true);
    if (mCheckedList->GetIconCount() > 0) {
        SetCheckBoxPassThrough(true);
    }
    mCheckHandler.Create();
    mCheckHandler->RegisterHandler(&LCheckedComboBox::OnListCheckChange,
                                   RCPtr<LNotificationDistributor>(mCheckedList),
                                   kNidItemCheckChange);
    return S_OK;
}

int32_t LCheckedComboBox::FinishCreate()
{
    const int32_t selected = GetSelectedIndex();
    ShowIconOnCheckBox(mCheckedList && selected >= 0 ? mCheckedList->GetItemIcon(uint32_t(selected))
                                                     : RCPtr<LBitmap>());
    return LComboBox::FinishCreate();
}

void LCheckedComboBox::SetCheckBoxPassThrough(bool passThrough)
{
    mCheckBoxPassThrough = passThrough;
    if (auto* checkBox = dynamic_cast<LButton*>(FindChildControl(u"checkBox").Get())) {
        checkBox->SetPassThrough(passThrough);
    }
}

int32_t LCheckedComboBox::SetItemCount(uint32_t count)
{
    const int32_t result = LComboBox::SetItemCount(count);
    UpdateStateLook();
    return result;
}

int32_t LCheckedComboBox::SetSelectedIndex(int32_t index)
{
    const RCPtr<LControl>& checkBox = FindChildControl(u"checkBox");
    if (checkBox && mCheckedList) {
        RCPtr<LBitmap> icon;
        // Outside the items the box keeps its value; only the icon goes.
        if (index >= 0 && uint32_t(index) < mCheckedList->GetItemCount()) {
            checkBox->SetNormalizedValue(mCheckedList->IsItemChecked(uint32_t(index)) ? 1.0 : 0.0);
            icon = mCheckedList->GetItemIcon(uint32_t(index));
        }
        ShowIconOnCheckBox(icon);
    }
    return LComboBox::SetSelectedIndex(index);
}

void LCheckedComboBox::ShowIconOnCheckBox(const RCPtr<LBitmap>& icon)
{
    const RCPtr<LControl>& checkBox = FindChildControl(u"checkBox");
    if (!checkBox) {
        return;
    }
    for (int32_t look = checkBox->GetLooks().GetCount() - 1; look >= 0; --look) {
        if (*checkBox->GetLooks().At(look)) {
            checkBox->SetLookPart(icon, ResizeType::Stretch, look, true);
        }
    }
}

int32_t LCheckedComboBox::UpdateStateLook()
{
    const bool over = mPointerOver;
    const bool focused = mHasFocus || mContainsFocus;
    int32_t look;
    if (!IsEnabled(true)) {
        look = kLookDisabled;
    } else if (IsDroppedDown()) {
        look = over ? kLookOpenHover : kLookOpen;
    } else if (over) {
        look = focused ? kLookHoverFocused : kLookHover;
    } else {
        look = focused ? kLookFocused : kLookNormal;
    }
    if (mCheckedList && mCheckedList->GetCheckedCount() > 0) {
        look += kLookCheckedOffset;
    }
    ShowLook(look);
    return S_OK;
}

int32_t LCheckedComboBox::OnListCheckChange(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                                            const ConstRCPtr<LNotification>& notification)
{
    const RCPtr<LControl> keepAlive(this);
    // Only the first check and the last uncheck cross between the two halves of the looks.
    const int32_t checked = mCheckedList ? mCheckedList->GetCheckedCount() : 0;
    if (checked == 0 || checked == 1) {
        UpdateStateLook();
    }
    SendNotification(kNidItemCheckChange,
                     notification ? notification->GetPayload() : ConstRCPtr<LRefCountedObject>());
    return 1;
}

} // namespace SV
