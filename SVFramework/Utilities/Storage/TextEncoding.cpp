#include "Utilities/Storage/TextEncoding.h"

namespace SV {

namespace {

constexpr uint32_t kHighSurrogateFirst = 0xD800;
constexpr uint32_t kHighSurrogateLast = 0xDBFF;
constexpr uint32_t kLowSurrogateFirst = 0xDC00;
constexpr uint32_t kLowSurrogateLast = 0xDFFF;
constexpr uint32_t kLastBmpUnit = 0xFFFF;
constexpr uint32_t kLastCodePoint = 0x10FFFF;
constexpr uint32_t kFirstSupplementary = 0x10000;
constexpr char16_t kReplacementUnit = 0xFFFD;

// Trailing bytes announced by each lead byte. Continuation bytes count as 0 (the legality check
// rejects them); F8-FF announce the old 5- and 6-byte forms so that a truncated one is reported
// as truncated rather than illegal, as the reference converter does.
constexpr uint8_t TrailingBytes(uint8_t lead)
{
    if (lead < 0xC0) {
        return 0;
    }
    if (lead < 0xE0) {
        return 1;
    }
    if (lead < 0xF0) {
        return 2;
    }
    if (lead < 0xF8) {
        return 3;
    }
    if (lead < 0xFC) {
        return 4;
    }
    return 5;
}

// What summing the bytes of a sequence adds on top of the code point: the lead byte's mark and
// 0x80 for every trailing byte, each shifted into place.
constexpr uint32_t kOffsetsFromUtf8[6] = {0x00000000, 0x00003080, 0x000E2080,
                                          0x03C82080, 0xFA082080, 0x82082080};

// The lead byte's mark for sequences of 1 to 4 bytes, indexed by the byte count.
constexpr uint8_t kFirstByteMark[5] = {0x00, 0x00, 0xC0, 0xE0, 0xF0};

constexpr bool IsHighSurrogate(uint32_t unit)
{
    return unit >= kHighSurrogateFirst && unit <= kHighSurrogateLast;
}

constexpr bool IsLowSurrogate(uint32_t unit)
{
    return unit >= kLowSurrogateFirst && unit <= kLowSurrogateLast;
}

} // namespace

ConversionResult Utf16ToUtf8(const char16_t** sourceStart, const char16_t* sourceEnd,
                             char** targetStart, char* targetEnd, bool lenient)
{
    ConversionResult result = kConversionOk;
    const char16_t* source = *sourceStart;
    char* target = *targetStart;
    while (source < sourceEnd) {
        const char16_t* sequenceStart = source;
        uint32_t codePoint = *source++;
        if (IsHighSurrogate(codePoint)) {
            if (source == sourceEnd) {
                // The low half may still come with the next piece of text.
                source = sequenceStart;
                result = kSourceExhausted;
                break;
            }
            const uint32_t next = *source;
            if (IsLowSurrogate(next)) {
                codePoint = ((codePoint - kHighSurrogateFirst) << 10) +
                            (next - kLowSurrogateFirst) + kFirstSupplementary;
                ++source;
            } else if (!lenient) {
                source = sequenceStart;
                result = kSourceIllegal;
                break;
            }
        } else if (!lenient && IsLowSurrogate(codePoint)) {
            source = sequenceStart;
            result = kSourceIllegal;
            break;
        }

        int byteCount = 4;
        if (codePoint < 0x80) {
            byteCount = 1;
        } else if (codePoint < 0x800) {
            byteCount = 2;
        } else if (codePoint < kFirstSupplementary) {
            byteCount = 3;
        }
        // Nothing of a sequence is written unless all of it fits, so a caller can retry it whole.
        if (targetEnd - target < byteCount) {
            source = sequenceStart;
            result = kTargetExhausted;
            break;
        }
        for (int index = byteCount - 1; index > 0; --index) {
            target[index] = static_cast<char>(0x80 | (codePoint & 0x3F));
            codePoint >>= 6;
        }
        target[0] = static_cast<char>(kFirstByteMark[byteCount] | codePoint);
        target += byteCount;
    }
    *sourceStart = source;
    *targetStart = target;
    return result;
}

bool IsLegalUtf8(const uint8_t* bytes, int32_t length)
{
    if (length < 1 || length > 4) {
        return false;
    }
    for (int32_t index = 2; index < length; ++index) {
        if (bytes[index] < 0x80 || bytes[index] > 0xBF) {
            return false;
        }
    }
    const uint8_t lead = bytes[0];
    if (length >= 2) {
        // The second byte is a trailing byte whatever the lead, so an ASCII character is never
        // swallowed into a sequence; its narrower limits rule out overlong forms, encoded
        // surrogates and code points above 0x10FFFF.
        const uint8_t second = bytes[1];
        if (second < 0x80 || second > 0xBF) {
            return false;
        }
        switch (lead) {
        case 0xE0:
            if (second < 0xA0) {
                return false;
            }
            break;
        case 0xED:
            if (second > 0x9F) {
                return false;
            }
            break;
        case 0xF0:
            if (second < 0x90) {
                return false;
            }
            break;
        case 0xF4:
            if (second > 0x8F) {
                return false;
            }
            break;
        default:
            break;
        }
    }
    return !(lead >= 0x80 && lead < 0xC2) && lead <= 0xF4;
}

ConversionResult Utf8ToUtf16(const char** sourceStart, const char* sourceEnd,
                             char16_t** targetStart, char16_t* targetEnd, bool lenient)
{
    ConversionResult result = kConversionOk;
    const char* source = *sourceStart;
    char16_t* target = *targetStart;
    while (source < sourceEnd) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(source);
        const int32_t trailing = TrailingBytes(bytes[0]);
        if (trailing >= sourceEnd - source) {
            result = kSourceExhausted;
            break;
        }
        if (!IsLegalUtf8(bytes, trailing + 1)) {
            result = kSourceIllegal;
            break;
        }
        uint32_t codePoint = 0;
        for (int32_t index = 0; index <= trailing; ++index) {
            codePoint = (codePoint << 6) + bytes[index];
        }
        codePoint -= kOffsetsFromUtf8[trailing];

        if (target >= targetEnd) {
            result = kTargetExhausted;
            break;
        }
        if (codePoint <= kLastBmpUnit) {
            if (IsHighSurrogate(codePoint) || IsLowSurrogate(codePoint)) {
                if (!lenient) {
                    result = kSourceIllegal;
                    break;
                }
                *target++ = kReplacementUnit;
            } else {
                *target++ = static_cast<char16_t>(codePoint);
            }
        } else if (codePoint > kLastCodePoint) {
            if (!lenient) {
                result = kSourceIllegal;
                break;
            }
            *target++ = kReplacementUnit;
        } else {
            if (targetEnd - target < 2) {
                result = kTargetExhausted;
                break;
            }
            codePoint -= kFirstSupplementary;
            *target++ = static_cast<char16_t>((codePoint >> 10) + kHighSurrogateFirst);
            *target++ = static_cast<char16_t>((codePoint & 0x3FF) + kLowSurrogateFirst);
        }
        source += trailing + 1;
    }
    *sourceStart = source;
    *targetStart = target;
    return result;
}

} // namespace SV
