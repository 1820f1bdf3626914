#include "Utilities/Storage/WideFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace SV {
namespace {

std::u16string Widen(const std::string& ascii)
{
    return std::u16string(ascii.begin(), ascii.end());
}

// Formats into a buffer of the given capacity, filled with a marker beforehand so that a write
// beyond the terminator shows.
struct Formatted
{
    int32_t written;
    std::u16string text;
};

Formatted FormatInto(size_t capacity, const char16_t* format, ...)
{
    std::vector<char16_t> buffer(capacity + 1, u'#');
    va_list args;
    va_start(args, format);
    const int32_t written = WideFormatV(buffer.data(), capacity, format, args);
    va_end(args);
    EXPECT_EQ(buffer[capacity], u'#') << "written beyond the capacity";
    return {written, capacity > 0 ? std::u16string(buffer.data()) : std::u16string()};
}

template <typename... Args>
std::u16string Format(const char16_t* format, Args... args)
{
    char16_t buffer[512];
    const int32_t written = WideFormat(buffer, std::size(buffer), format, args...);
    EXPECT_EQ(written, static_cast<int32_t>(std::u16string(buffer).size()));
    return buffer;
}

// The C library is the reference for the integer and floating conversions: every combination of
// flags, width and precision must come out as it does there, with only the types of l differing.
TEST(WideFormat, NumericConversionsMatchTheCLibraryForEveryFlagCombination)
{
    const char* const flagSets[] = {"", "-", "+", " ", "#", "0", "-0", "+0", "#0", "-#", " +"};
    const char* const widths[] = {"", "1", "8"};
    const char* const precisions[] = {"", ".0", ".3"};
    const int integers[] = {0, 1, -1, 42, -2147483647 - 1, 2147483647};
    const double doubles[] = {0.0, -0.0, 1.5, -2.25, 1e300, 1.0 / 3.0, HUGE_VAL, -HUGE_VAL};
    for (const char* flags : flagSets) {
        for (const char* width : widths) {
            for (const char* precision : precisions) {
                const std::string prefix = std::string("%") + flags + width + precision;
                for (char conversion : std::string("diuoxX")) {
                    const std::string field = prefix + conversion;
                    const std::u16string wideField = Widen(field);
                    for (int value : integers) {
                        char expected[64];
                        std::snprintf(expected, sizeof expected, field.c_str(), value);
                        EXPECT_EQ(Format(wideField.c_str(), value), Widen(expected))
                            << field << " " << value;
                    }
                }
                for (char conversion : std::string("fFeEgGaA")) {
                    const std::string field = prefix + conversion;
                    const std::u16string wideField = Widen(field);
                    for (double value : doubles) {
                        char expected[512];
                        std::snprintf(expected, sizeof expected, field.c_str(), value);
                        EXPECT_EQ(Format(wideField.c_str(), value), Widen(expected))
                            << field << " " << value;
                    }
                }
            }
        }
    }
}

TEST(WideFormat, FormatFollowsTheProgramsNumberFormats)
{
    EXPECT_EQ(Format(u"%d", -42), u"-42");
    EXPECT_EQ(Format(u"%u", 4294967295u), u"4294967295");
    EXPECT_EQ(Format(u"%X", static_cast<int32_t>(0x80004005u)), u"80004005");
    EXPECT_EQ(Format(u"%lf", 1.5), u"1.500000");
    EXPECT_EQ(Format(u"%%.%dlf", 2), u"%.2lf");
    EXPECT_EQ(Format(u"%5.2lf|", 3.14159), u" 3.14|");
    EXPECT_EQ(Format(u"%0.0f", 2.6), u"3");
    EXPECT_EQ(Format(u"%*d|%-*d|", 5, 42, 4, 7), u"   42|7   |");
    EXPECT_EQ(Format(u"%*d|", -4, 7), u"7   |");
    EXPECT_EQ(Format(u"%.*f|%.*f", 1, 2.25, -1, 2.5), u"2.2|2.500000");
    EXPECT_EQ(Format(u"%Lf", 2.5L), u"2.500000");
}

TEST(WideFormat, LengthModifiersTakeTheirTypesWidth)
{
    EXPECT_EQ(Format(u"%hhd %hhu", 300, 511), u"44 255");
    EXPECT_EQ(Format(u"%hd %hu", 70000, -1), u"4464 65535");
    EXPECT_EQ(Format(u"%ld %lu %lx", int32_t{-5}, uint32_t{4000000000u}, int32_t{-1}),
              u"-5 4000000000 ffffffff");
    EXPECT_EQ(Format(u"%I32d %I32u", int32_t{-7}, uint32_t{7}), u"-7 7");
    EXPECT_EQ(Format(u"%lld %I64d", std::numeric_limits<long long>::min(), int64_t{1} << 40),
              u"-9223372036854775808 1099511627776");
    EXPECT_EQ(Format(u"%llu %I64x", std::numeric_limits<unsigned long long>::max(), uint64_t{255}),
              u"18446744073709551615 ff");
    EXPECT_EQ(Format(u"%zu %Iu %td %jd", std::numeric_limits<size_t>::max(), size_t{3},
                     ptrdiff_t{-4}, intmax_t{-5}),
              u"18446744073709551615 3 -4 -5");
}

TEST(WideFormat, StringsAndCharactersTakeUtf16OrUtf8ByConversion)
{
    const char16_t* wide = u"\u00E9t\u00E9 \U0001F600";
    EXPECT_EQ(Format(u"[%s]", wide), u"[\u00E9t\u00E9 \U0001F600]");
    EXPECT_EQ(Format(u"[%ls|%ws]", u"a", u"b"), u"[a|b]");
    EXPECT_EQ(Format(u"[%S|%hs]", "\xC3\xA9t\xC3\xA9 \xF0\x9F\x98\x80", "x"),
              u"[\u00E9t\u00E9 \U0001F600|x]");
    EXPECT_EQ(Format(u"[%-4s|%4s|%.2s]", u"ab", u"ab", u"abc"), u"[ab  |  ab|ab]");
    EXPECT_EQ(Format(u"[%5S|%.1S]", "\xE2\x82\xAC", "\xE2\x82\xAC\xE2\x82\xAC"),
              u"[    \u20AC|\u20AC]");
    EXPECT_EQ(Format(u"[%s|%S|%.3s]", static_cast<const char16_t*>(nullptr),
                     static_cast<const char*>(nullptr), static_cast<const char16_t*>(nullptr)),
              u"[(null)|(null)|(nu]");
    EXPECT_EQ(Format(u"[%c%c|%3c|%C|%hc|%-2c]", u'x', 0x20AC, u'y', 'z', 'w', u'v'),
              u"[x\u20AC|  y|z|w|v ]");
}

TEST(WideFormat, TextPrecisionNeverEndsInsideASurrogatePair)
{
    EXPECT_EQ(Format(u"[%.2s]", u"a\U0001F600"), u"[a]");
    EXPECT_EQ(Format(u"[%.3s]", u"a\U0001F600"), u"[a\U0001F600]");
    EXPECT_EQ(Format(u"[%.2S]", "a\xF0\x9F\x98\x80"), u"[a]");
}

TEST(WideFormat, MalformedUtf8ArgumentShowsReplacementCharacters)
{
    EXPECT_EQ(Format(u"[%S]", "a\xC3(b\xE0\x80\x80"), u"[a\uFFFD(b\uFFFD\uFFFD\uFFFD]");
    EXPECT_EQ(Format(u"[%S]", "\xE2\x82"), u"[\uFFFD\uFFFD]");
    EXPECT_EQ(Format(u"[%C]", 0xE9), u"[\uFFFD]");
}

TEST(WideFormat, PrecisionBoundsTheBytesReadFromUtf8Text)
{
    // Not terminated: reading past the third byte would be caught by the address sanitizer.
    const char bytes[3] = {'a', 'b', 'c'};
    EXPECT_EQ(Format(u"[%.3S]", bytes), u"[abc]");
    const char16_t units[3] = {u'a', u'b', u'c'};
    EXPECT_EQ(Format(u"[%.3s]", units), u"[abc]");
    // A high surrogate on the last unit allowed: what follows it is not looked at.
    const auto pairStart = std::make_unique<char16_t[]>(2);
    pairStart[0] = u'a';
    pairStart[1] = 0xD83D;
    EXPECT_EQ(Format(u"[%.2s]", pairStart.get()), u"[a]");
}

TEST(WideFormat, PercentNStoresNothingAndUnknownConversionsStayAsText)
{
    int count = 1234;
    EXPECT_EQ(Format(u"ab%ncd%d", &count, 5), u"abcd5");
    EXPECT_EQ(count, 1234);
    EXPECT_EQ(Format(u"%y|%5k|%d", 7), u"%y|%5k|7");
    EXPECT_EQ(Format(u"100%"), u"100%");
    EXPECT_EQ(Format(u"%-5%|"), u"%|");
}

TEST(WideFormat, PointerPrintsAllHexadecimalDigits)
{
    const auto address = reinterpret_cast<void*>(uintptr_t{0xABCDEF});
    const std::u16string expected = std::u16string(2 * sizeof(void*) - 6, u'0') + u"ABCDEF";
    EXPECT_EQ(Format(u"%p", address), expected);
    EXPECT_EQ(Format(u"[%-*p]", static_cast<int>(expected.size() + 2), address),
              u"[" + expected + u"  ]");
}

TEST(WideFormat, OutputIsCutAtCapacityWithoutSplittingASurrogatePair)
{
    struct Case
    {
        const char* name;
        size_t capacity;
        int32_t written;
        std::u16string text;
    };
    // "ab" and a pair: 4 units.
    const Case cases[] = {
        {"fits exactly", 5, 4, u"ab\U0001F600"},
        {"room for the high half only", 4, -1, u"ab"},
        {"room for the letters", 3, -1, u"ab"},
        {"room for the terminator only", 1, -1, u""},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        for (const char16_t* format : {u"ab\U0001F600", u"%s", u"a%Sb%c%c"}) {
            SCOPED_TRACE(testing::PrintToString(format));
            const Formatted formatted =
                format[0] == u'%' ? FormatInto(testCase.capacity, format, u"ab\U0001F600")
                                  : FormatInto(testCase.capacity, format, "", 0xD83D, 0xDE00);
            EXPECT_EQ(formatted.written, testCase.written);
            EXPECT_EQ(formatted.text, testCase.text);
        }
    }
}

TEST(WideFormat, ZeroCapacityOrNullBufferWritesNothing)
{
    char16_t unit = u'#';
    EXPECT_EQ(WideFormat(&unit, 0, u"abc"), -1);
    EXPECT_EQ(unit, u'#');
    EXPECT_EQ(WideFormat(nullptr, 10, u"abc"), -1);
    EXPECT_EQ(WideFormat(&unit, 1, nullptr), -1);
    EXPECT_EQ(unit, 0);
}

TEST(WideFormat, HugeFieldsAreCutSafelyAtTheStringWorkingArea)
{
    constexpr size_t kWorkingArea = 0x4000;
    const std::u16string longText(20000, u'x');
    const struct
    {
        const char* name;
        Formatted formatted;
        char16_t lastUnit;
    } cases[] = {
        {"long argument", FormatInto(kWorkingArea, u"%s", longText.c_str()), u'x'},
        {"wide field", FormatInto(kWorkingArea, u"%20000d", 5), u' '},
        {"largest width", FormatInto(kWorkingArea, u"%2147483647d", 5), u' '},
        {"width beyond int", FormatInto(kWorkingArea, u"%99999999999999999999d", 5), u' '},
        {"long precision", FormatInto(kWorkingArea, u"%.20000d", 5), u'0'},
        {"float precision beyond exact digits", FormatInto(kWorkingArea, u"%.100000f", 1.5), u'0'},
        {"largest float precision", FormatInto(kWorkingArea, u"%.2147483647e", 1.5), u'0'},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        EXPECT_EQ(testCase.formatted.written, -1);
        ASSERT_EQ(testCase.formatted.text.size(), kWorkingArea - 1);
        EXPECT_EQ(testCase.formatted.text.back(), testCase.lastUnit);
    }
}

TEST(WideFormat, PrecisionBeyondExactDigitsAddsZerosBeforeTheExponent)
{
    const std::u16string zeros(20000 - 1, u'0');
    std::vector<char16_t> buffer(30000);
    ASSERT_GT(WideFormat(buffer.data(), buffer.size(), u"%.20000e", 1.5), 0);
    EXPECT_EQ(std::u16string(buffer.data()), u"1.5" + zeros + u"e+00");
    ASSERT_GT(WideFormat(buffer.data(), buffer.size(), u"%#.20000g", 1.5), 0);
    EXPECT_EQ(std::u16string(buffer.data()), u"1.5" + std::u16string(20000 - 2, u'0'));
    ASSERT_GT(WideFormat(buffer.data(), buffer.size(), u"%.20000g", 1.5), 0);
    EXPECT_EQ(std::u16string(buffer.data()), u"1.5");
}

} // namespace
} // namespace SV
