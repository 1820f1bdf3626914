// Key texts as the string tables hold them ("Ctrl+VKEY_C", "[97]"): any UTF-16 text is parsed
// into a key, the key turned back into display text, and the text bound in a key-binding table
// that must then find the key under its name.

#include "FuzzCheck.h"
#include "System/KeyBindingTable.h"
#include "System/KeyCode.h"
#include "Utilities/Storage/StringTable.h"

#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The bytes as UTF-16 code units; an odd last byte is dropped.
    std::vector<char16_t> units(size / 2 + 1, u'\0');
    std::memcpy(units.data(), data, size / 2 * 2);
    units.resize(size / 2);
    // Texts end at their first NUL, as the string tables' texts do.
    units.push_back(u'\0');
    const SV::WideString text(units.data());

    const SV::KeyCode key(text);
    SV_FUZZ_CHECK(key.GetSides() == 0);
    SV_FUZZ_CHECK(key.GetPreviousState() == 0);
    SV_FUZZ_CHECK((key.GetCode() & 0x40000000u) == 0);
    SV_FUZZ_CHECK(text.IsEmpty() == key.IsEmpty());
    volatile int32_t length = SV::KeyCodeToText(key.GetCode()).GetLength();
    (void)length;

    SV::RCPtr<SV::LStringTable> table(new SV::LStringTable());
    table->SetString(u"GHK.NID_FUZZ", text);
    SV::KeyBindingTable bindings;
    SV_FUZZ_CHECK(bindings.LoadFromStringTable(table, u"GHK") == 0);
    SV_FUZZ_CHECK(bindings.HasName(u"NID_FUZZ") == !key.IsEmpty());
    if (!key.IsEmpty()) {
        SV_FUZZ_CHECK(bindings.FindNameForKey(key).EqualsText(u"NID_FUZZ"));
        SV_FUZZ_CHECK(bindings.GetFirstKey(u"NID_FUZZ") == key);
    }
    return 0;
}
