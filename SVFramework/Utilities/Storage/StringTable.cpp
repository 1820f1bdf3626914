#include "Utilities/Storage/StringTable.h"

#include "ResultCodes.h"

#include <algorithm>

namespace SV {

bool LStringTable::GetString(const WideString& id, WideString& text) const
{
    const auto found = mStrings.find(id);
    if (found == mStrings.end()) {
        return false;
    }
    text = found->second;
    return true;
}

int32_t LStringTable::SetString(const WideString& id, const WideString& text)
{
    if (id.IsEmpty()) {
        return E_INVALIDARG;
    }
    const auto [entry, inserted] = mStrings.try_emplace(id, text);
    if (inserted) {
        return S_OK;
    }
    entry->second = text;
    return S_FALSE;
}

int32_t LStringTable::GetSortedEntries(Entries& entries) const
{
    entries.RemoveAll();
    for (const auto& [id, text] : mStrings) {
        entries.Add(Pair<WideString, WideString>(id, text));
    }
    return S_OK;
}

int32_t LStringTable::GetIDsWithPrefix(const WideString& prefix, Entries& entries) const
{
    entries.RemoveAll();
    const char16_t* prefixText = prefix.GetText();
    const int32_t prefixLength = prefix.GetLength();
    // Every ID with the prefix sorts at or after the prefix itself and before the first ID
    // that no longer starts with it.
    for (auto entry = mStrings.lower_bound(prefix); entry != mStrings.end(); ++entry) {
        const WideString& id = entry->first;
        if (id.GetLength() < prefixLength ||
            !std::equal(prefixText, prefixText + prefixLength, id.GetText())) {
            break;
        }
        entries.Add(Pair<WideString, WideString>(id, entry->second));
    }
    return S_OK;
}

} // namespace SV
