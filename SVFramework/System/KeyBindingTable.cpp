#include "System/KeyBindingTable.h"

#include "ResultCodes.h"
#include "Utilities/Storage/StringTable.h"

namespace SV {

NotificationId KeyBindingTable::IdOf(const WideString& name)
{
    return name.IsEmpty() ? nullptr : GetNotificationID(name.GetText());
}

int32_t KeyBindingTable::LoadFromStringTable(const ConstRCPtr<LStringTable>& stringTable,
                                             const WideString& prefix)
{
    if (!stringTable) {
        return E_INVALIDARG;
    }
    const WideString pattern = prefix + WideString(u".");
    LStringTable::Entries entries;
    stringTable->GetSortedEntries(entries);
    for (int32_t i = 0; i < entries.GetCount(); ++i) {
        const Pair<WideString, WideString>& entry = *entries.At(i);
        const WideString& id = entry.first;
        if (id.Find(pattern) != 0) {
            continue;
        }
        int32_t lastDot = id.GetLength() - 1;
        while (id.GetText()[lastDot] != u'.') {
            --lastDot;
        }
        const KeyCode key(entry.second);
        if (key.IsEmpty()) {
            continue;
        }
        // A key bound already keeps its first name.
        (void)AddKey(key, id.MidFrom(lastDot + 1));
    }
    return S_OK;
}

int32_t KeyBindingTable::AddKey(const KeyCode& key, const WideString& name)
{
    if (!FindNameForKey(key).IsEmpty() || name.IsEmpty()) {
        return E_INVALIDARG;
    }
    const NotificationId id = IdOf(name);
    if (id == nullptr) {
        return E_INVALIDARG;
    }
    mBindings[id].Add(key);
    return S_OK;
}

WideString KeyBindingTable::FindNameForKey(const KeyCode& key) const
{
    for (const auto& [id, keys] : mBindings) {
        for (int32_t i = keys.GetCount() - 1; i >= 0; --i) {
            if (*keys.At(i) == key) {
                return GetNotificationName(id);
            }
        }
    }
    return WideString();
}

Array<KeyCode> KeyBindingTable::GetKeys(const WideString& name) const
{
    if (name.IsEmpty()) {
        return {};
    }
    const auto found = mBindings.find(IdOf(name));
    return found == mBindings.end() ? Array<KeyCode>() : found->second;
}

KeyCode KeyBindingTable::GetFirstKey(const WideString& name) const
{
    const Array<KeyCode> keys = GetKeys(name);
    return keys.GetCount() > 0 ? *keys.At(0) : KeyCode();
}

bool KeyBindingTable::HasName(const WideString& name) const
{
    return !name.IsEmpty() && mBindings.count(IdOf(name)) != 0;
}

} // namespace SV
