// A menu described once, apart from any control: a tree of shared descriptors whose children are
// held strongly and whose parent links count as internal references, so a child never keeps its
// parent alive. Popups show private clones, so they may change flags and texts freely.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "ObjectBase/TaggableObject.h"
#include "Utilities/Storage/RCPtrArray.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace SV {

class LMenuItemDescriptor;

// What the control behind a menu is asked about one entry.
struct MenuItemState
{
    uint8_t enabled = 0;
    uint8_t checked = 0;
    WideString label;
};

class LMenuDescriptor : public virtual LTaggableObject
{
public:
    LMenuDescriptor() = default;
    LMenuDescriptor(const LMenuDescriptor&) = delete;
    LMenuDescriptor& operator=(const LMenuDescriptor&) = delete;
    ~LMenuDescriptor() override;

    // Breaks the child-to-parent links when only they and the caller hold this node.
    int32_t ReleaseHook() override;

    // The array's result: the index on success; a negative result leaves the entry out and its
    // parent unchanged.
    int32_t InsertItem(int32_t index, const RCPtr<LMenuItemDescriptor>& entry);
    int32_t InsertItem(int32_t index, const WideString& label, const WideString& identifier,
                       uint8_t enabled, uint8_t checked);
    int32_t InsertSeparator(int32_t index);

    // E_INVALIDARG past the last entry, with the record cleared all the same.
    int32_t GetItemState(int32_t index, MenuItemState& state) const;

    // Drops every entry, the last first, and this node's own parent link.
    int32_t Clear();

    // A deep copy as a plain node without a parent.
    RCPtr<LMenuDescriptor> Clone() const;

    void SetParent(const RCPtr<LMenuDescriptor>& parent);
    const RCPtr<LMenuDescriptor>& GetParent() const { return mParent; }

    int32_t GetItemCount() const { return mChildren.GetCount(); }
    // Empty for an index out of range.
    RCPtr<LMenuItemDescriptor> GetItem(int32_t index) const;
    bool HasChildren() const { return mChildren.GetCount() > 0; }

protected:
    // Fills `copy` with clones of this node's entries, each with `copy` as its parent.
    void CloneChildrenInto(const RCPtr<LMenuDescriptor>& copy) const;

private:
    RCPtrArray<LMenuDescriptor, 1, 0> mChildren;
    RCPtr<LMenuDescriptor> mParent;
};

class LMenuItemDescriptor : public LMenuDescriptor
{
public:
    LMenuItemDescriptor(const WideString& label, const WideString& identifier, uint8_t enabled,
                        uint8_t checked, uint8_t separator);

    static RCPtr<LMenuItemDescriptor> Create(const WideString& label, const WideString& identifier,
                                             uint8_t enabled, uint8_t checked);
    static RCPtr<LMenuItemDescriptor> CreateSeparator();

    WideString ToString() const override { return mLabel; }

    // Hides the node's Clone: an entry's copy is an entry, with every text and flag.
    RCPtr<LMenuItemDescriptor> Clone() const;

    const WideString& GetLabel() const { return mLabel; }
    void SetLabel(const WideString& label) { mLabel = label; }
    const WideString& GetShortcutText() const { return mShortcutText; }
    void SetShortcutText(const WideString& text) { mShortcutText = text; }
    const WideString& GetHelpText() const { return mHelpText; }
    void SetHelpText(const WideString& text) { mHelpText = text; }
    const WideString& GetIdentifier() const { return mIdentifier; }
    void SetIdentifier(const WideString& identifier) { mIdentifier = identifier; }
    uint8_t IsEnabled() const { return mEnabled; }
    void SetEnabled(uint8_t enabled) { mEnabled = enabled; }
    uint8_t IsChecked() const { return mChecked; }
    void SetChecked(uint8_t checked) { mChecked = checked; }
    uint8_t IsSeparator() const { return mSeparator; }

private:
    WideString mLabel;
    WideString mShortcutText;
    WideString mHelpText;
    WideString mIdentifier;
    uint8_t mEnabled;
    uint8_t mChecked;
    uint8_t mSeparator;
};

// The payload of a chosen entry's notification: the menu the popup shows and the entry's index.
class LMenuActivationParam : public virtual LRefCountedObject
{
public:
    LMenuActivationParam(const RCPtr<LMenuDescriptor>& menu, int32_t index)
        : mMenu(menu), mIndex(index)
    {}

    const RCPtr<LMenuDescriptor>& GetMenu() const { return mMenu; }
    int32_t GetIndex() const { return mIndex; }

private:
    RCPtr<LMenuDescriptor> mMenu;
    int32_t mIndex;
};

} // namespace SV
