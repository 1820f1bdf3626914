#include "Controls/CheckedListBoxItem.h"

#include "ControlBase/ControlCreator.h"
#include "Notification/Notification.h"
#include "Notification/NotificationNames.h"
#include "ObjectBase/Exception.h"
#include "ResultCodes.h"
#include "Utilities/Graphics/Bitmap.h"

#include <string>

namespace SV {

LCheckedListBoxItem::LCheckedListBoxItem(const RCPtr<LControl>& parent, const WideString& name,
                                         bool mostDerived)
    : LListBoxItem(parent, name, mostDerived)
{}

LCheckedListBoxItem::~LCheckedListBoxItem()
{}

RCPtr<LControl> LCheckedListBoxItem::CreateControl(const RCPtr<LControl>& parent,
                                                   const ConstRCPtr<LControlDescriptor>& descriptor)
{
    return CreateControlOf<LCheckedListBoxItem>(parent, descriptor);
}

int32_t LCheckedListBoxItem::Initialize()
{
    const int32_t result = LListBoxItem::Initialize();
    mItemHandler.Create();
    mCheckBox = FindChildControl(u"checkBox");
    if (!mCheckBox) {
        throw Exception<std::runtime_error>(
            std::string("Runtime Error : Null Pointer : Can not find child checkBox : "
                        "SV::LCheckedListBoxItem::Initialize : Controls\\CheckedListBoxItem : "
                        "Line ") +
            std::to_string(__LINE__));
    }
    mItemHandler->RegisterHandler(&LCheckedListBoxItem::OnCheckBoxHover,
                                  RCPtr<LNotificationDistributor>(mCheckBox),
                                  kNidHoverConditionChange);
    mCheckBox->SetFocusable(true);
    mCheckBox->SetUsesParentToolTip(true);
    return result;
}

int32_t LCheckedListBoxItem::OnCheckBoxHover(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                                             const ConstRCPtr<LNotification>& notification)
{
    const auto* conditions =
        notification ? dynamic_cast<const LConditionsParam*>(notification->GetPayload().Get())
                     : nullptr;
    if (conditions == nullptr) {
        return 0;
    }
    SetHoverHighlight((conditions->mNewMask & kConditionPointerOver) != 0 &&
                      (conditions->mOldMask & kConditionPointerOver) == 0);
    return 1;
}

bool LCheckedListBoxItem::ShowRowLook(int32_t look, bool /*flag*/)
{
    return look >= 0 && SetLookAlpha(uint32_t(look), 1.0f, true) == S_OK;
}

void LCheckedListBoxItem::SetChecked(bool checked)
{
    if (mCheckBox) {
        mCheckBox->SetNormalizedValue(checked ? 1.0 : 0.0);
    }
}

void LCheckedListBoxItem::SetCheckBoxVisible(bool visible)
{
    if (mCheckBox) {
        mCheckBox->SetVisible(visible);
    }
}

int32_t LCheckedListBoxItem::SetIcon(const RCPtr<LBitmap>& icon)
{
    if (!mCheckBox) {
        return S_OK;
    }
    for (int32_t look = mCheckBox->GetLooks().GetCount() - 1; look >= 0; --look) {
        if (*mCheckBox->GetLooks().At(look)) {
            mCheckBox->SetLookPart(icon, ResizeType::Stretch, look, true);
        }
    }
    return S_OK;
}

int32_t LCheckedListBoxItem::ShowCheckBoxLook(int32_t look, bool exclusive)
{
    if (!mCreated || !mCheckBox) {
        return S_FALSE;
    }
    if (look < 0) {
        return E_INVALIDARG;
    }
    return mCheckBox->SetLookAlpha(uint32_t(look), 1.0f, exclusive);
}

} // namespace SV
