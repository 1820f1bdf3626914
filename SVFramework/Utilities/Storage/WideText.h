// The runtime library's wide-text functions, for UTF-16 text on char16_t: lengths, case,
// number parsing.
#pragma once

#include <cstddef>
#include <cstdint>

namespace SV {

// Units before the terminating 0; 0 for null text.
size_t WideLength(const char16_t* text);
// Units before the terminating 0, at most maxUnits (so the text need not be terminated).
size_t WideLengthBounded(const char16_t* text, size_t maxUnits);

// Simple one-to-one case mapping of a UTF-16 unit over the Latin, Greek, Cyrillic and Armenian
// letters and the fullwidth Latin forms; units without a one-unit mapping come back unchanged
// (0xDF among them, whose upper case is two letters).
char16_t WideToLower(char16_t unit);
char16_t WideToUpper(char16_t unit);
// Compares unit by unit after WideToLower: negative, 0 or positive as the first text sorts
// before, equal to or after the second. Null text counts as empty.
int32_t WideCompareIgnoreCase(const char16_t* first, const char16_t* second);

// White space as the number parsers and word-wise text editing see it: the Unicode line and word
// separators, not the no-break spaces.
bool IsWideSpace(char16_t unit);
// A unit that shows as a character when typed: not a control character, a line or paragraph
// separator, half of a surrogate pair or a noncharacter. Space counts as printable.
bool IsWidePrintable(char16_t unit);

// Leading white space, an optional sign, decimal digits; 0 when no number starts the text;
// saturates at the 32-bit limits.
int32_t WideToInt(const char16_t* text);
// Leading white space, an optional sign, digits, fraction and exponent (also "inf" and "nan"),
// independent of the process locale; 0 when no number starts the text.
double WideToDouble(const char16_t* text);

} // namespace SV
