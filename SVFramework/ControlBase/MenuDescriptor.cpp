#include "ControlBase/MenuDescriptor.h"

#include "ResultCodes.h"

namespace SV {

LMenuDescriptor::~LMenuDescriptor()
{
    // A node dropped while still linked must give back the internal reference it holds, or its
    // parent would never see that only its children keep it.
    if (mParent) {
        mParent->ReleaseInternalRef();
    }
}

int32_t LMenuDescriptor::ReleaseHook()
{
    Clear();
    return 0;
}

void LMenuDescriptor::SetParent(const RCPtr<LMenuDescriptor>& parent)
{
    if (parent.Get() == mParent.Get()) {
        return;
    }
    if (parent) {
        parent->AddInternalRef();
    }
    RCPtr<LMenuDescriptor> old = std::move(mParent);
    mParent = parent;
    if (old) {
        old->ReleaseInternalRef();
    }
}

int32_t LMenuDescriptor::InsertItem(int32_t index, const RCPtr<LMenuItemDescriptor>& entry)
{
    if (!entry) {
        return E_INVALIDARG;
    }
    const int32_t result = mChildren.InsertAt(index, RCPtr<LMenuDescriptor>(entry));
    if (result >= 0) {
        entry->SetParent(RCPtr<LMenuDescriptor>(this));
    }
    return result;
}

int32_t LMenuDescriptor::InsertItem(int32_t index, const WideString& label,
                                    const WideString& identifier, uint8_t enabled, uint8_t checked)
{
    return InsertItem(index, LMenuItemDescriptor::Create(label, identifier, enabled, checked));
}

int32_t LMenuDescriptor::InsertSeparator(int32_t index)
{
    return InsertItem(index, LMenuItemDescriptor::CreateSeparator());
}

int32_t LMenuDescriptor::GetItemState(int32_t index, MenuItemState& state) const
{
    state = MenuItemState{};
    const RCPtr<LMenuItemDescriptor> entry = GetItem(index);
    if (!entry) {
        return E_INVALIDARG;
    }
    state.enabled = entry->IsEnabled();
    state.checked = entry->IsChecked();
    state.label = entry->GetLabel();
    return 0;
}

RCPtr<LMenuItemDescriptor> LMenuDescriptor::GetItem(int32_t index) const
{
    if (index < 0 || index >= mChildren.GetCount()) {
        return nullptr;
    }
    return RCPtr<LMenuItemDescriptor>(*mChildren.At(index));
}

int32_t LMenuDescriptor::Clear()
{
    // Our own holder may be among the references the children drop.
    for (int32_t i = mChildren.GetCount() - 1; i >= 0; --i) {
        const RCPtr<LMenuDescriptor> child = *mChildren.At(i);
        if (child && child->mParent.Get() == this) {
            child->SetParent(nullptr);
        }
        mChildren.RemoveAt(i, 1);
    }
    SetParent(nullptr);
    return 0;
}

void LMenuDescriptor::CloneChildrenInto(const RCPtr<LMenuDescriptor>& copy) const
{
    for (int32_t i = 0; i < mChildren.GetCount(); ++i) {
        const RCPtr<LMenuItemDescriptor> entry = GetItem(i);
        if (entry) {
            copy->InsertItem(copy->GetItemCount(), entry->Clone());
        }
    }
}

RCPtr<LMenuDescriptor> LMenuDescriptor::Clone() const
{
    RCPtr<LMenuDescriptor> copy(new LMenuDescriptor());
    CloneChildrenInto(copy);
    return copy;
}

LMenuItemDescriptor::LMenuItemDescriptor(const WideString& label, const WideString& identifier,
                                         uint8_t enabled, uint8_t checked, uint8_t separator)
    : mLabel(label), mIdentifier(identifier), mEnabled(enabled), mChecked(checked),
      mSeparator(separator)
{}

RCPtr<LMenuItemDescriptor> LMenuItemDescriptor::Create(const WideString& label,
                                                       const WideString& identifier,
                                                       uint8_t enabled, uint8_t checked)
{
    return RCPtr<LMenuItemDescriptor>(
        new LMenuItemDescriptor(label, identifier, enabled, checked, 0));
}

RCPtr<LMenuItemDescriptor> LMenuItemDescriptor::CreateSeparator()
{
    return RCPtr<LMenuItemDescriptor>(new LMenuItemDescriptor(WideString(), WideString(), 1, 0, 1));
}

RCPtr<LMenuItemDescriptor> LMenuItemDescriptor::Clone() const
{
    RCPtr<LMenuItemDescriptor> copy(
        new LMenuItemDescriptor(mLabel, mIdentifier, mEnabled, mChecked, mSeparator));
    copy->mHelpText = mHelpText;
    copy->mShortcutText = mShortcutText;
    CloneChildrenInto(RCPtr<LMenuDescriptor>(copy));
    return copy;
}

} // namespace SV
