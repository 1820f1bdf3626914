#include "Controls/ListBoxItem.h"

#include "ControlBase/ControlCreator.h"
#include "Controls/Button.h"
#include "ResultCodes.h"
#include "Utilities/Graphics/Rect.h"

namespace SV {

LListBoxItem::LListBoxItem(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived)
    : LControl(parent, name, mostDerived)
{}

LListBoxItem::~LListBoxItem() = default;

RCPtr<LControl> LListBoxItem::CreateControl(const RCPtr<LControl>& parent,
                                            const ConstRCPtr<LControlDescriptor>& descriptor)
{
    return CreateControlOf<LListBoxItem>(parent, descriptor);
}

int32_t LListBoxItem::GetStateLookIndex() const
{
    const bool over = IsPointerOver() || mHoverHighlight;
    const bool selected = GetNormalizedValue() >= 0.5;
    if (mBlank) {
        return LButton::kLookCheckedDisabled;
    }
    if (!IsEnabled(true)) {
        return selected ? LButton::kLookCheckedDisabled : LButton::kLookDisabled;
    }
    int32_t look = LButton::kLookNormal;
    if (HasCapture() && IsDragging(0)) {
        look = over ? LButton::kLookPressed : LButton::kLookHover;
    } else if (over && !HasCapture()) {
        look = LButton::kLookHover;
    }
    if (mAlternate) {
        look += LButton::kLookFocusedOffset;
    }
    if (selected) {
        look += LButton::kLookCheckedOffset;
    }
    return look;
}

void LListBoxItem::UpdateStateLook()
{
    ShowLook(GetStateLookIndex());
    Invalidate({0.0, 0.0, mRect.width, mRect.height}, true);
}

void LListBoxItem::SetBlank(bool blank)
{
    if (blank == mBlank) {
        return;
    }
    mBlank = blank;
    if (blank) {
        SetText(WideString());
    }
    UpdateStateLook();
}

void LListBoxItem::OnValueChanged()
{
    UpdateStateLook();
}

void LListBoxItem::OnConditionsChanged(const RCPtr<LConditionsParam>& conditions)
{
    LControl::OnConditionsChanged(conditions);
    UpdateStateLook();
}

int32_t LListBoxItem::FinishCreate()
{
    SetFocusable(true);
    return S_OK;
}

WideString LListBoxItem::GetToolTipText() const
{
    return IsTextTruncated() ? GetText() : LControl::GetToolTipText();
}

int32_t LListBoxItem::OnDragStart(int32_t button, int32_t x, int32_t y)
{
    if (mDropDownMode && mParent) {
        // The list follows the drag, so that the item under the pointer can be chosen as it
        // moves over the other rows.
        return mParent->OnDragStart(button, x + int32_t(RoundHalf(mRect.x)),
                                    y + int32_t(RoundHalf(mRect.y)));
    }
    return LControl::OnDragStart(button, x, y);
}

} // namespace SV
