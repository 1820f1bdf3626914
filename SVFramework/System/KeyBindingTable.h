// Key bindings: notification names and the keys bound to them, filled from the string entries
// whose ID is a prefix ("GHK", "GHK_WIN", "LHK"), a dot and the notification name and whose text
// is a key text. A key is bound to at most one name of a table. User-interface thread only.
#pragma once

#include "Notification/NotificationId.h"
#include "ObjectBase/RCPtr.h"
#include "System/KeyCode.h"
#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>
#include <map>

namespace SV {

class LStringTable;

class KeyBindingTable
{
public:
    // E_INVALIDARG without a string table; otherwise 0, also when nothing was bound. IDs are
    // taken in sorted order, so when two bind the same key the one that sorts first wins.
    int32_t LoadFromStringTable(const ConstRCPtr<LStringTable>& stringTable,
                                const WideString& prefix);
    // E_INVALIDARG when the key is bound to any name of this table already, or for an empty
    // name; else 0 with the key appended to the name's keys.
    int32_t AddKey(const KeyCode& key, const WideString& name);
    // The interned name bound to the key, or the empty text.
    WideString FindNameForKey(const KeyCode& key) const;
    // The name's keys in the order they were added; empty for a name without keys.
    Array<KeyCode> GetKeys(const WideString& name) const;
    // The name's first key, or the empty key.
    KeyCode GetFirstKey(const WideString& name) const;
    bool HasName(const WideString& name) const;
    void RemoveAll() { mBindings.clear(); }
    bool IsEmpty() const { return mBindings.empty(); }

private:
    // The interned name of a non-empty name; null for the empty one.
    static NotificationId IdOf(const WideString& name);

    std::map<NotificationId, Array<KeyCode>> mBindings;
};

} // namespace SV
