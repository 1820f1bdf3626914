// Conversion between UTF-16 and UTF-8, after the Unicode Consortium's reference converter, with a
// strict and a lenient mode. The strings convert in lenient mode only.
#pragma once

#include <cstdint>

namespace SV {

enum ConversionResult : int32_t
{
    kConversionOk = 0,
    kSourceExhausted = 1, // the source ends inside a sequence or surrogate pair
    kTargetExhausted = 2, // the target is full
    kSourceIllegal = 3,   // illegal source
};

// Both convert as far as they can and leave each cursor after the last unit converted.
// Lenient UTF-16 -> UTF-8 passes an unpaired surrogate as the 3-byte form of its own value;
// lenient UTF-8 -> UTF-16 stores 0xFFFD for a surrogate or out-of-range code point. Malformed
// UTF-8 stops the conversion with kSourceIllegal in both modes.
[[nodiscard]] ConversionResult Utf16ToUtf8(const char16_t** sourceStart, const char16_t* sourceEnd,
                                           char** targetStart, char* targetEnd, bool lenient);
[[nodiscard]] ConversionResult Utf8ToUtf16(const char** sourceStart, const char* sourceEnd,
                                           char16_t** targetStart, char16_t* targetEnd,
                                           bool lenient);

// True when the length bytes (1 to 4) form one legal UTF-8 sequence: no overlong form, no encoded
// surrogate, nothing above 0x10FFFF. The length is the one the lead byte announces; the converter
// takes it from there, and the lead byte is not checked against it here.
bool IsLegalUtf8(const uint8_t* bytes, int32_t length);

} // namespace SV
