// The shortcut texts of a menu: the name of the first key bound to each entry's command, looked
// up in key tables in the order given (the nearest first), shown right-aligned in the entry's row.
#pragma once

#include "ControlBase/MenuDescriptor.h"
#include "System/KeyBindingTable.h"

#include <initializer_list>

namespace SV {

// Fills the empty shortcut text of every command entry of the menu and of its sub-menus; an
// entry whose command no table binds keeps an empty text, and a text once filled is kept.
// Separators and sub-menu entries get none. Empty table pointers are skipped.
void FillShortcutTexts(LMenuDescriptor& menu, std::initializer_list<const KeyBindingTable*> tables);

} // namespace SV
