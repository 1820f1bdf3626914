// printf-style formatting of UTF-16 text on char16_t, with the wide-printf rules the program's
// format texts were written for.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>

namespace SV {

// printf-style formatting into buffer (capacity units, terminator included). %s, %ls and %ws take
// UTF-16 text (char16_t*), %hs and %S UTF-8 text (char*, each byte that starts no legal sequence
// shown as U+FFFD); null text prints "(null)". %c takes a UTF-16 unit, %hc and %C a char (ASCII;
// any other byte shows as U+FFFD). Width and precision of text count UTF-16 units, and a
// precision never ends between the halves of a pair. The length modifiers are hh h l ll L z j t
// I32 I64 I; l (and w) with an integer conversion means 32 bits, as in the formats the program's
// texts were written with, and L takes a long double. The numeric conversions are those of the C
// library; %p prints every hexadecimal digit of the address in upper case. %n stores nothing
// (its pointer is skipped), and an unknown conversion is copied as text. The output is always
// terminated and cut at capacity - 1 units, never inside a surrogate pair. Answers the units
// written without the terminator, or -1 when the output had to be cut (or the capacity is 0, the
// buffer or the format null).
int32_t WideFormatV(char16_t* buffer, size_t capacity, const char16_t* format, va_list args);
int32_t WideFormat(char16_t* buffer, size_t capacity, const char16_t* format, ...);

} // namespace SV
