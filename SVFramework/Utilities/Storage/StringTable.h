// The texts of one control, of the application or of the framework, in the locale the program
// runs in, by string ID. Every table handed out is a copy of its own that nothing updates.
#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/Pair.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>
#include <map>

namespace SV {

class LStringTable : public virtual LRefCountedObject
{
public:
    // String ID to text, both in code-unit order.
    using Strings = std::map<WideString, WideString>;
    using Entries = Array<Pair<WideString, WideString>>;

    LStringTable() = default;
    explicit LStringTable(Strings strings) : mStrings(std::move(strings)) {}

    // On a hit the text is copied out and the answer is true; otherwise `text` is untouched.
    bool GetString(const WideString& id, WideString& text) const;
    // E_INVALIDARG for an empty ID; 0 for a new ID, 1 when an existing text was replaced.
    int32_t SetString(const WideString& id, const WideString& text);
    // Every (ID, text) pair in ascending ID order.
    int32_t GetSortedEntries(Entries& entries) const;
    // The pairs whose ID begins with exactly the prefix (case-sensitive), in ascending ID order.
    int32_t GetIDsWithPrefix(const WideString& prefix, Entries& entries) const;

    const Strings& GetStrings() const { return mStrings; }

private:
    Strings mStrings;
};

} // namespace SV
