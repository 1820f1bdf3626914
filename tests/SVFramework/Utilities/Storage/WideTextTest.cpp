#include "Utilities/Storage/WideText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

namespace SV {
namespace {

TEST(WideText, LengthsStopAtTheTerminatorOrTheBound)
{
    EXPECT_EQ(WideLength(u"abc"), 3u);
    EXPECT_EQ(WideLength(u""), 0u);
    EXPECT_EQ(WideLength(nullptr), 0u);
    const char16_t unterminated[3] = {u'a', u'b', u'c'};
    EXPECT_EQ(WideLengthBounded(unterminated, 3), 3u);
    EXPECT_EQ(WideLengthBounded(u"abc", 10), 3u);
    EXPECT_EQ(WideLengthBounded(u"abc", 0), 0u);
}

TEST(WideText, CaseMappingCoversLatinGreekAndCyrillicPairs)
{
    struct Case
    {
        char16_t unit;
        char16_t lower;
        char16_t upper;
    };
    const Case cases[] = {
        {u'A', u'a', u'A'},       {u'z', u'z', u'Z'},       {u'@', u'@', u'@'},
        {u'[', u'[', u'['},       {u'`', u'`', u'`'},       {u'{', u'{', u'{'},
        {u'5', u'5', u'5'},       {0x00C0, 0x00E0, 0x00C0}, {0x00DE, 0x00FE, 0x00DE},
        {0x00D7, 0x00D7, 0x00D7}, {0x00F7, 0x00F7, 0x00F7}, {0x00DF, 0x00DF, 0x00DF},
        {0x00FF, 0x00FF, 0x0178}, {0x0178, 0x00FF, 0x0178}, {0x00B5, 0x00B5, 0x039C},
        {0x0100, 0x0101, 0x0100}, {0x012F, 0x012F, 0x012E}, {0x0130, u'i', 0x0130},
        {0x0131, 0x0131, u'I'},   {0x0138, 0x0138, 0x0138}, {0x0139, 0x013A, 0x0139},
        {0x0148, 0x0148, 0x0147}, {0x0149, 0x0149, 0x0149}, {0x017D, 0x017E, 0x017D},
        {0x017F, 0x017F, u'S'},   {0x01C5, 0x01C6, 0x01C4}, {0x0386, 0x03AC, 0x0386},
        {0x0391, 0x03B1, 0x0391}, {0x03A9, 0x03C9, 0x03A9}, {0x03A2, 0x03A2, 0x03A2},
        {0x03C2, 0x03C2, 0x03A3}, {0x0390, 0x0390, 0x0390}, {0x0400, 0x0450, 0x0400},
        {0x0410, 0x0430, 0x0410}, {0x044F, 0x044F, 0x042F}, {0x0461, 0x0461, 0x0460},
        {0x04C0, 0x04CF, 0x04C0}, {0x04C1, 0x04C2, 0x04C1}, {0x0531, 0x0561, 0x0531},
        {0x1E9E, 0x00DF, 0x1E9E}, {0x212A, u'k', 0x212A},   {0xFF21, 0xFF41, 0xFF21},
        {0x4E2D, 0x4E2D, 0x4E2D}, {0xD800, 0xD800, 0xD800}, {0xFFFF, 0xFFFF, 0xFFFF},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(static_cast<int>(testCase.unit));
        EXPECT_EQ(WideToLower(testCase.unit), testCase.lower);
        EXPECT_EQ(WideToUpper(testCase.unit), testCase.upper);
    }
}

TEST(WideText, WideToIntReadsALeadingDecimalNumberAndSaturates)
{
    struct Case
    {
        const char16_t* text;
        int32_t value;
    };
    const Case cases[] = {
        {u"42", 42},
        {u" \t\r\n-17", -17},
        {u"+8px", 8},
        {u"\u30005", 5},
        {u"\u00A05", 0},
        {u"007", 7},
        {u"", 0},
        {u"abc", 0},
        {u"- 5", 0},
        {u"+-5", 0},
        {u"\uFF11", 0},
        {u"2147483647", 2147483647},
        {u"2147483648", 2147483647},
        {u"-2147483648", -2147483647 - 1},
        {u"-99999999999999999999", -2147483647 - 1},
        {nullptr, 0},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.text != nullptr ? testing::PrintToString(testCase.text) : "null");
        EXPECT_EQ(WideToInt(testCase.text), testCase.value);
    }
}

TEST(WideText, WideToDoubleReadsALeadingNumberWithoutLocale)
{
    struct Case
    {
        const char16_t* text;
        double value;
    };
    const double infinity = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {u"3.25", 3.25},
        {u"  -1.5e2", -150.0},
        {u"+.5", 0.5},
        {u"5.", 5.0},
        {u"1e", 1.0},
        {u"2E+3x", 2000.0},
        {u"12,5", 12.0},
        {u"0x1.8p1", 3.0},
        {u"-0x10", -16.0},
        {u"0x", 0.0},
        {u"0xg", 0.0},
        {u"inf", infinity},
        {u"-Infinity", -infinity},
        {u"1e400", infinity},
        {u"-1e400", -infinity},
        {u"0.0001e-400", 0.0},
        {u"0x1p-2000", 0.0},
        {u"0x1p2000", infinity},
        {u"", 0.0},
        {u".", 0.0},
        {u"abc", 0.0},
        {u"--1", 0.0},
        {u"+-1", 0.0},
        {nullptr, 0.0},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.text != nullptr ? testing::PrintToString(testCase.text) : "null");
        EXPECT_EQ(WideToDouble(testCase.text), testCase.value);
    }
    EXPECT_TRUE(std::isnan(WideToDouble(u" nan")));
    EXPECT_TRUE(std::signbit(WideToDouble(u"-1e-999")));
}

TEST(WideText, CaseInsensitiveComparisonLowersBothSides)
{
    EXPECT_EQ(WideCompareIgnoreCase(u"Arial", u"aRIAL"), 0);
    EXPECT_EQ(WideCompareIgnoreCase(u"\u0414\u0430", u"\u0434\u0410"), 0);
    EXPECT_LT(WideCompareIgnoreCase(u"Arial", u"arial black"), 0);
    EXPECT_GT(WideCompareIgnoreCase(u"b", u"A"), 0);
    EXPECT_EQ(WideCompareIgnoreCase(nullptr, u""), 0);
}

TEST(WideText, SpaceAndPrintableClassesOfTypedCharacters)
{
    const struct
    {
        char16_t unit;
        bool space;
        bool printable;
    } cases[] = {
        {u'a', false, true},    {u' ', true, true},     {u'\t', true, false},
        {u'\n', true, false},   {0x0007, false, false}, {0x007F, false, false},
        {0x0085, true, false},  {0x00A0, false, true},  {0x00E9, false, true},
        {0x3000, true, true},   {0x2028, true, false},  {0xD83D, false, false},
        {0xFFFE, false, false}, {0x20AC, false, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsWideSpace(c.unit), c.space) << std::hex << int(c.unit);
        EXPECT_EQ(IsWidePrintable(c.unit), c.printable) << std::hex << int(c.unit);
    }
}

} // namespace
} // namespace SV
