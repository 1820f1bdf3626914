#include "Controls/PopupMenuShortcuts.h"

namespace SV {

namespace {

WideString FindShortcutText(const WideString& identifier,
                            std::initializer_list<const KeyBindingTable*> tables)
{
    for (const KeyBindingTable* table : tables) {
        if (table != nullptr && table->HasName(identifier)) {
            const KeyCode key = table->GetFirstKey(identifier);
            if (!key.IsEmpty()) {
                return KeyCodeToText(key.GetCode());
            }
        }
    }
    return WideString();
}

} // namespace

void FillShortcutTexts(LMenuDescriptor& menu, std::initializer_list<const KeyBindingTable*> tables)
{
    for (int32_t i = 0; i < menu.GetItemCount(); ++i) {
        const RCPtr<LMenuItemDescriptor> entry = menu.GetItem(i);
        if (!entry || entry->IsSeparator()) {
            continue;
        }
        if (entry->HasChildren()) {
            FillShortcutTexts(*entry, tables);
            continue;
        }
        if (entry->GetShortcutText().IsEmpty() && !entry->GetIdentifier().IsEmpty()) {
            entry->SetShortcutText(FindShortcutText(entry->GetIdentifier(), tables));
        }
    }
}

} // namespace SV
