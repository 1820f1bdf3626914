// Arrays of strings, with the two searches that name tables need: by text, and by the identity
// of an entry's characters (an interned name is known by the address of its text).
#pragma once

#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/StringT.h"
#include "Utilities/Storage/WideText.h"

namespace SV {

template <class C, class O>
class StringArrayT : public Array<StringT<C, O>>
{
public:
    using String = StringT<C, O>;

    // The index of the first entry with the text; with `exact` false, letter case is ignored.
    // -1 when there is none.
    int32_t Find(const C* text, bool exact) const
    {
        const int32_t count = this->GetCount();
        for (int32_t i = 0; i < count; ++i) {
            const String& entry = this->mItems[static_cast<size_t>(i)];
            if (exact ? entry.EqualsText(text) : EqualsIgnoringCase(entry.GetText(), text)) {
                return i;
            }
        }
        return -1;
    }

    // The index of the entry whose characters are at `text` (not a copy of them), searched from
    // the newest entry; -1 when no entry holds them.
    int32_t IndexOfText(const C* text) const
    {
        for (int32_t i = this->GetCount() - 1; i >= 0; --i) {
            if (this->mItems[static_cast<size_t>(i)].GetText() == text) {
                return i;
            }
        }
        return -1;
    }

private:
    static C Fold(C unit)
    {
        if constexpr (sizeof(C) == sizeof(char16_t)) {
            return WideToLower(unit);
        } else {
            return unit >= 'A' && unit <= 'Z' ? static_cast<C>(unit - 'A' + 'a') : unit;
        }
    }

    static bool EqualsIgnoringCase(const C* left, const C* right)
    {
        // Null text counts as empty, as it does for the strings themselves.
        static constexpr C kEmpty[1] = {0};
        left = left != nullptr ? left : kEmpty;
        right = right != nullptr ? right : kEmpty;
        for (; Fold(*left) == Fold(*right); ++left, ++right) {
            if (*left == 0) {
                return true;
            }
        }
        return false;
    }
};

using WideStringArray = StringArrayT<char16_t, char>;
using NarrowStringArray = StringArrayT<char, char16_t>;

} // namespace SV
