// The two process-wide key-name tables: "VKEY_" names of the key texts to virtual-key codes,
// and virtual-key codes to the English texts that menus show as shortcuts. Both are built
// together on first use and never change afterwards; user-interface thread only.
#pragma once

#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace SV {

// The virtual-key code of a "VKEY_" name, matched exactly (case-sensitively); 0 for a name the
// table does not hold. Builds both tables when they are still empty.
uint32_t GetVirtualKeyByName(const WideString& name);

// The display text of a virtual-key code; empty when the code has none. Builds the tables too,
// so a menu asking first still gets its text.
WideString GetVirtualKeyDisplayName(uint32_t virtualKey);

// Fills both tables, the names first; an entry already present is kept.
void BuildKeyNameTables();

// The sizes of the tables, 0 until they are built.
int32_t GetKeyNameCount();
int32_t GetKeyDisplayNameCount();

} // namespace SV
