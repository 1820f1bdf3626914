// The runtime library's wide-text functions, for UTF-16 text on char16_t: lengths, case,
// number parsing and printf-style formatting.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>

namespace SV {

// Units before the terminating 0.
size_t WideLength(const char16_t* text);
// Units before the terminating 0, at most maxUnits.
size_t WideLengthBounded(const char16_t* text, size_t maxUnits);

// Simple one-to-one case mapping of a UTF-16 unit; units without a mapping come back unchanged.
char16_t WideToLower(char16_t unit);
char16_t WideToUpper(char16_t unit);

// Leading white space, an optional sign, decimal digits; 0 when no number starts the text;
// saturates at the 32-bit limits.
int32_t WideToInt(const char16_t* text);
// Leading white space, an optional sign, digits, fraction and exponent (also "inf" and "nan"),
// independent of the process locale; 0 when no number starts the text.
double WideToDouble(const char16_t* text);

// printf-style formatting into buffer (capacity units, terminator included). %s and %ls take
// UTF-16 text (char16_t*), %hs and %S UTF-8 text (char*), %c a UTF-16 unit, %hc and %C a char;
// the numeric conversions are those of the C library. The output is always terminated and cut
// at capacity - 1 units, never inside a surrogate pair. Answers the units written without the
// terminator, or -1 when the output had to be cut (or the capacity is 0).
int32_t WideFormatV(char16_t* buffer, size_t capacity, const char16_t* format, va_list args);
int32_t WideFormat(char16_t* buffer, size_t capacity, const char16_t* format, ...);

} // namespace SV
