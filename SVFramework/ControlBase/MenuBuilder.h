// Builds menu trees from string-table entries, so that the menus of a window, their order, their
// sub-menus and the notification each entry sends live in the string tables and not in code.
#pragma once

#include "ControlBase/MenuDescriptor.h"
#include "Utilities/Storage/StringTable.h"

#include <map>

namespace SV {

// Named sub-menu groups and their (identifier, text) lists, in the order their entries were taken.
using MenuGroups = std::map<WideString, LStringTable::Entries>;

// Reads (key, text) pairs in the given order: "nn.ID", "nn.-", "nn.NAME." and "NAME.k.ID".
// Malformed keys, keys out of turn and sub-menus without a group are left out silently, so the
// result is at worst a root without entries.
RCPtr<LMenuDescriptor> BuildMenuDescriptor(const LStringTable::Entries& pairs);

// Clears `node` (a new root when it is empty) and appends one entry per (identifier, text) pair,
// opening the named groups as sub-menus. A group that is already open on the way down is left
// out, so groups that name each other cannot nest without end.
RCPtr<LMenuDescriptor> AddMenuEntries(const LStringTable::Entries& entries,
                                      const MenuGroups& groups, RCPtr<LMenuDescriptor> node);

// Splits a table's sorted entries into the menus of a control: the keys "CONTEXT_MENU.*" make the
// only menu when any is there; otherwise each "CONTEXT_MENUm" makes one, in the string order of
// those prefixes. Each menu's pairs come with the prefix and its dot cut off.
Array<LStringTable::Entries> CollectContextMenus(const LStringTable::Entries& sortedEntries);

} // namespace SV
