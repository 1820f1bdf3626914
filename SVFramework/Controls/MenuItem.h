// One row of a popup menu ("Framework.MenuItem"): a checked-list row whose "checkBox" part shows
// the check mark and whose "hotKeyLabel" part shows the entry's shortcut text, right-aligned.
#pragma once

#include "Controls/CheckedListBoxItem.h"

namespace SV {

class LVisualPart;

class LMenuListBoxItem : public LCheckedListBoxItem
{
public:
    LMenuListBoxItem(const RCPtr<LControl>& parent, const WideString& name,
                     bool mostDerived = true);

    static RCPtr<LControl> CreateControl(const RCPtr<LControl>& parent,
                                         const ConstRCPtr<LControlDescriptor>& descriptor);

    bool ShowRowLook(int32_t look, bool flag) override;

    // The row's "hotKeyLabel" part; empty when the row has none.
    RCPtr<LControl> GetHotKeyLabel() const;
    void SetHotKeyText(const WideString& text);
    // Draws the shortcut text on the same part as the row's own text.
    void SetHotKeyVisualPart(const RCPtr<LVisualPart>& part);
};

} // namespace SV
