#include "Controls/MenuItem.h"

#include "ControlBase/ControlCreator.h"

namespace SV {

LMenuListBoxItem::LMenuListBoxItem(const RCPtr<LControl>& parent, const WideString& name,
                                   bool mostDerived)
    : LCheckedListBoxItem(parent, name, mostDerived)
{}

RCPtr<LControl> LMenuListBoxItem::CreateControl(const RCPtr<LControl>& parent,
                                                const ConstRCPtr<LControlDescriptor>& descriptor)
{
    return CreateControlOf<LMenuListBoxItem>(parent, descriptor);
}

bool LMenuListBoxItem::ShowRowLook(int32_t look, bool flag)
{
    LCheckedListBoxItem::ShowRowLook(look, flag);
    return true;
}

RCPtr<LControl> LMenuListBoxItem::GetHotKeyLabel() const
{
    return FindChildControl(u"hotKeyLabel");
}

void LMenuListBoxItem::SetHotKeyText(const WideString& text)
{
    if (const RCPtr<LControl> label = GetHotKeyLabel()) {
        label->SetText(text);
    }
}

void LMenuListBoxItem::SetHotKeyVisualPart(const RCPtr<LVisualPart>& part)
{
    const RCPtr<LControl> label = GetHotKeyLabel();
    if (label && part) {
        label->SetLookVisualPart(part, label->GetFirstActiveLookIndex());
    }
}

} // namespace SV
