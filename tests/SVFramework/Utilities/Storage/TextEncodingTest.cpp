#include "Utilities/Storage/TextEncoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace SV {
namespace {

using Bytes = std::vector<uint8_t>;

struct Utf16ToUtf8Outcome
{
    ConversionResult result;
    size_t unitsConsumed;
    Bytes bytes;
};

Utf16ToUtf8Outcome ConvertToUtf8(const std::u16string& source, bool lenient, size_t targetSize)
{
    std::vector<char> target(targetSize);
    const char16_t* sourceCursor = source.data();
    char* targetCursor = target.data();
    const ConversionResult result =
        Utf16ToUtf8(&sourceCursor, source.data() + source.size(), &targetCursor,
                    target.data() + target.size(), lenient);
    return {result, static_cast<size_t>(sourceCursor - source.data()),
            Bytes(target.data(), targetCursor)};
}

struct Utf8ToUtf16Outcome
{
    ConversionResult result;
    size_t bytesConsumed;
    std::u16string units;
};

Utf8ToUtf16Outcome ConvertToUtf16(const Bytes& source, bool lenient, size_t targetSize)
{
    std::u16string target(targetSize, u'\0');
    const auto* begin = reinterpret_cast<const char*>(source.data());
    const char* sourceCursor = begin;
    char16_t* targetCursor = target.data();
    const ConversionResult result = Utf8ToUtf16(&sourceCursor, begin + source.size(), &targetCursor,
                                                target.data() + target.size(), lenient);
    return {result, static_cast<size_t>(sourceCursor - begin),
            std::u16string(target.data(), targetCursor)};
}

TEST(TextEncoding, Utf16ToUtf8EncodesPairsAndUnpairedSurrogatesByMode)
{
    struct Case
    {
        const char* name;
        std::u16string source;
        bool lenient;
        ConversionResult result;
        size_t unitsConsumed;
        Bytes bytes;
    };
    const Case cases[] = {
        {"one byte up to 0x7F", u"A\u007F", false, kConversionOk, 2, {0x41, 0x7F}},
        {"two bytes 0x80 to 0x7FF",
         u"\u0080\u07FF",
         false,
         kConversionOk,
         2,
         {0xC2, 0x80, 0xDF, 0xBF}},
        {"three bytes 0x800 to 0xFFFF",
         u"\u0800\uFFFF",
         false,
         kConversionOk,
         2,
         {0xE0, 0xA0, 0x80, 0xEF, 0xBF, 0xBF}},
        {"pair to four bytes", {0xD83D, 0xDE00}, false, kConversionOk, 2, {0xF0, 0x9F, 0x98, 0x80}},
        {"highest pair", {0xDBFF, 0xDFFF}, false, kConversionOk, 2, {0xF4, 0x8F, 0xBF, 0xBF}},
        {"lone low surrogate, lenient", {0xDC00}, true, kConversionOk, 1, {0xED, 0xB0, 0x80}},
        {"lone low surrogate, strict", {u'a', 0xDC00, u'b'}, false, kSourceIllegal, 1, {0x61}},
        {"high surrogate before a letter, lenient",
         {0xD800, u'A'},
         true,
         kConversionOk,
         2,
         {0xED, 0xA0, 0x80, 0x41}},
        {"high surrogate before a letter, strict", {0xD800, u'A'}, false, kSourceIllegal, 0, {}},
        {"two high surrogates, lenient",
         {0xD800, 0xD801, 0xDC00},
         true,
         kConversionOk,
         3,
         {0xED, 0xA0, 0x80, 0xF0, 0x90, 0x90, 0x80}},
        {"high surrogate at the end, lenient", {u'a', 0xD83D}, true, kSourceExhausted, 1, {0x61}},
        {"high surrogate at the end, strict", {u'a', 0xD83D}, false, kSourceExhausted, 1, {0x61}},
        {"empty source", u"", false, kConversionOk, 0, {}},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        const Utf16ToUtf8Outcome outcome = ConvertToUtf8(testCase.source, testCase.lenient, 16);
        EXPECT_EQ(outcome.result, testCase.result);
        EXPECT_EQ(outcome.unitsConsumed, testCase.unitsConsumed);
        EXPECT_EQ(outcome.bytes, testCase.bytes);
    }
}

TEST(TextEncoding, Utf16ToUtf8StopsBeforeASequenceTheTargetCannotHold)
{
    struct Case
    {
        const char* name;
        std::u16string source;
        size_t targetSize;
        size_t unitsConsumed;
        Bytes bytes;
    };
    const Case cases[] = {
        {"three-byte sequence one byte short", u"a\u20AC", 3, 1, {0x61}},
        {"pair one byte short", {u'a', 0xD83D, 0xDE00}, 4, 1, {0x61}},
        {"no room at all", u"a", 0, 0, {}},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        const Utf16ToUtf8Outcome outcome =
            ConvertToUtf8(testCase.source, true, testCase.targetSize);
        EXPECT_EQ(outcome.result, kTargetExhausted);
        EXPECT_EQ(outcome.unitsConsumed, testCase.unitsConsumed);
        EXPECT_EQ(outcome.bytes, testCase.bytes);
    }
}

TEST(TextEncoding, Utf8ToUtf16DecodesLegalSequencesAndStopsAtTheFirstBadOne)
{
    struct Case
    {
        const char* name;
        Bytes source;
        bool lenient;
        ConversionResult result;
        size_t bytesConsumed;
        std::u16string units;
    };
    const Case cases[] = {
        {"one to three bytes",
         {0x41, 0xC3, 0xA9, 0xE2, 0x82, 0xAC},
         false,
         kConversionOk,
         6,
         u"A\u00E9\u20AC"},
        {"four bytes to a pair",
         {0xF0, 0x9F, 0x98, 0x80},
         false,
         kConversionOk,
         4,
         {0xD83D, 0xDE00}},
        {"0x10FFFF", {0xF4, 0x8F, 0xBF, 0xBF}, false, kConversionOk, 4, {0xDBFF, 0xDFFF}},
        {"overlong three bytes", {0x41, 0xE0, 0x80, 0x80}, true, kSourceIllegal, 1, u"A"},
        {"overlong NUL", {0xC0, 0x80}, true, kSourceIllegal, 0, u""},
        {"encoded surrogate, lenient too", {0xED, 0xA0, 0x80}, true, kSourceIllegal, 0, u""},
        {"above 0x10FFFF", {0xF4, 0x90, 0x80, 0x80}, true, kSourceIllegal, 0, u""},
        {"lead byte F5", {0xF5, 0x80, 0x80, 0x80}, true, kSourceIllegal, 0, u""},
        {"five-byte form", {0xF8, 0x88, 0x80, 0x80, 0x80}, true, kSourceIllegal, 0, u""},
        {"lone continuation byte", {0x61, 0x80, 0x61}, true, kSourceIllegal, 1, u"a"},
        {"letter where a continuation belongs", {0xC3, 0x41}, true, kSourceIllegal, 0, u""},
        {"bad third byte", {0xE2, 0x82, 0x41}, true, kSourceIllegal, 0, u""},
        {"ASCII after ED", {0xED, 0x25, 0xA2}, false, kSourceIllegal, 0, u""},
        {"ASCII after F4", {0x41, 0xF4, 0x41, 0x80, 0x80}, true, kSourceIllegal, 1, u"A"},
        {"truncated three bytes", {0x61, 0xE2, 0x82}, true, kSourceExhausted, 1, u"a"},
        {"truncated five-byte form", {0xF8, 0x88}, true, kSourceExhausted, 0, u""},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        const Utf8ToUtf16Outcome outcome = ConvertToUtf16(testCase.source, testCase.lenient, 8);
        EXPECT_EQ(outcome.result, testCase.result);
        EXPECT_EQ(outcome.bytesConsumed, testCase.bytesConsumed);
        EXPECT_EQ(outcome.units, testCase.units);
    }
}

TEST(TextEncoding, Utf8ToUtf16StopsAtTheStartOfACharacterTheTargetCannotHold)
{
    struct Case
    {
        const char* name;
        Bytes source;
        size_t targetSize;
        size_t bytesConsumed;
        std::u16string units;
    };
    const Case cases[] = {
        {"pair with one unit left", {0x61, 0xF0, 0x9F, 0x98, 0x80}, 2, 1, u"a"},
        {"no unit left", {0x61, 0xC3, 0xA9}, 1, 1, u"a"},
        {"no room at all", {0x61}, 0, 0, u""},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        const Utf8ToUtf16Outcome outcome =
            ConvertToUtf16(testCase.source, true, testCase.targetSize);
        EXPECT_EQ(outcome.result, kTargetExhausted);
        EXPECT_EQ(outcome.bytesConsumed, testCase.bytesConsumed);
        EXPECT_EQ(outcome.units, testCase.units);
    }
}

TEST(TextEncoding, IsLegalUtf8AcceptsOnlyShortestFormsOfScalarValues)
{
    struct Case
    {
        Bytes bytes;
        bool legal;
    };
    const Case cases[] = {
        {{0x00}, true},
        {{0x7F}, true},
        {{0x80}, false},
        {{0xC1, 0xBF}, false},
        {{0xC2, 0x80}, true},
        {{0xC2, 0xC0}, false},
        {{0xE0, 0x9F, 0xBF}, false},
        {{0xE0, 0xA0, 0x80}, true},
        {{0xE2, 0x82, 0xC0}, false},
        {{0xED, 0x9F, 0xBF}, true},
        {{0xED, 0xA0, 0x80}, false},
        {{0xEF, 0xBF, 0xBF}, true},
        {{0xF0, 0x8F, 0xBF, 0xBF}, false},
        {{0xF0, 0x90, 0x80, 0x80}, true},
        {{0xF4, 0x8F, 0xBF, 0xBF}, true},
        {{0xF4, 0x90, 0x80, 0x80}, false},
        {{0xF5, 0x80, 0x80, 0x80}, false},
        {{0xF0, 0x90, 0x80, 0x7F}, false},
        // The second byte is always a trailing byte, also after the leads with narrower limits.
        {{0xE0, 0x25, 0x80}, false},
        {{0xED, 0x25, 0xA2}, false},
        {{0xED, 0x80, 0x80}, true},
        {{0xF0, 0x41, 0x80, 0x80}, false},
        {{0xF4, 0x7F, 0x80, 0x80}, false},
        {{0xF4, 0x80, 0x80, 0x80}, true},
        {{0xE1, 0x41, 0x80}, false},
        {{}, false},
        {{0xF8, 0x88, 0x80, 0x80, 0x80}, false},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(::testing::PrintToString(testCase.bytes));
        EXPECT_EQ(IsLegalUtf8(testCase.bytes.data(), static_cast<int32_t>(testCase.bytes.size())),
                  testCase.legal);
    }
}

TEST(TextEncoding, EveryScalarValueRoundTripsStrictlyThroughLegalBytes)
{
    for (char32_t codePoint = 0; codePoint <= 0x10FFFF; ++codePoint) {
        if (codePoint >= 0xD800 && codePoint <= 0xDFFF) {
            continue;
        }
        std::u16string units;
        if (codePoint < 0x10000) {
            units += static_cast<char16_t>(codePoint);
        } else {
            units += static_cast<char16_t>(0xD800 + ((codePoint - 0x10000) >> 10));
            units += static_cast<char16_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
        }
        const Utf16ToUtf8Outcome encoded = ConvertToUtf8(units, false, 4);
        const Utf8ToUtf16Outcome decoded = ConvertToUtf16(encoded.bytes, false, 2);
        const bool legal =
            IsLegalUtf8(encoded.bytes.data(), static_cast<int32_t>(encoded.bytes.size()));
        if (encoded.result != kConversionOk || !legal || decoded.result != kConversionOk ||
            decoded.units != units) {
            FAIL() << "code point " << std::hex << static_cast<uint32_t>(codePoint);
        }
    }
}

} // namespace
} // namespace SV
