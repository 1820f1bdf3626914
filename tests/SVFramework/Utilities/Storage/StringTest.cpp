#include "Utilities/Storage/StringT.h"

#include "ResultCodes.h"
#include "Utilities/Storage/StringArray.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

using SV::NarrowString;
using SV::WideString;

std::u16string Text(const WideString& text)
{
    return std::u16string(text.GetText(), static_cast<size_t>(text.GetLength()));
}

TEST(StringTest, EmptyStringsShareOneBuffer)
{
    const WideString byDefault;
    WideString cleared(u"abc");
    cleared.Clear();
    WideString assigned(u"abc");
    assigned.Assign(u"");
    WideString fromNull(static_cast<const char16_t*>(nullptr));
    WideString unlocked(u"abc");
    unlocked.Lock()[0] = 0;
    unlocked.Unlock();

    for (const WideString* text : {&cleared, &assigned, &fromNull, &unlocked}) {
        EXPECT_EQ(byDefault.GetText(), text->GetText());
        EXPECT_EQ(0, text->GetLength());
        EXPECT_TRUE(text->IsEmpty());
    }
    EXPECT_EQ(2u, byDefault.GetBufferSize());
    EXPECT_EQ(1u, NarrowString().GetBufferSize());
}

// Threads that outlive main (a pool's workers that wait for work) may still make strings while
// the process exits: the empty buffer they share stays until the very end.
TEST(StringTest, EmptyStringsCanStillBeMadeWhileTheProcessExits)
{
    EXPECT_EXIT(
        {
            static std::atomic<bool> exiting{false};
            const WideString madeBefore;
            std::atexit([] { exiting = true; });
            std::thread([] {
                while (!exiting) {
                    std::this_thread::yield();
                }
                for (;;) {
                    const WideString late;
                    const NarrowString lateNarrow;
                    if (late.GetLength() + lateNarrow.GetLength() != 0) {
                        std::abort();
                    }
                }
            }).detach();
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(StringTest, CopiesShareTheBufferUntilOneIsLocked)
{
    WideString original(u"abcd");
    const WideString copy(original);
    EXPECT_EQ(original.GetText(), copy.GetText());
    EXPECT_EQ(10u, original.GetBufferSize());

    original.Lock()[0] = u'x';
    original.Unlock();
    EXPECT_EQ(u"xbcd", Text(original));
    EXPECT_EQ(u"abcd", Text(copy));
}

TEST(StringTest, LockOfASharedStringGivesAPrivateZeroedAreaOfTheAskedSize)
{
    WideString text(u"abcd");
    const WideString other(text);
    char16_t* area = text.Lock(10);
    ASSERT_NE(nullptr, area);
    EXPECT_EQ(std::u16string(u"abcd\0\0\0\0\0\0", 10), std::u16string(area, 10));
    EXPECT_EQ(20u, text.GetBufferSize());
    EXPECT_EQ(4, text.GetLength());

    for (int i = 0; i < 6; ++i) {
        area[i] = static_cast<char16_t>(u'a' + 5 - i);
    }
    EXPECT_EQ(nullptr, text.Lock()) << "a locked string cannot be locked again";
    EXPECT_EQ(S_OK, text.Unlock());
    EXPECT_EQ(6, text.GetLength());
    EXPECT_EQ(14u, text.GetBufferSize());
    EXPECT_EQ(u"fedcba", Text(text));
    EXPECT_EQ(u"abcd", Text(other));
    EXPECT_EQ(S_FALSE, text.Unlock());
}

TEST(StringTest, LockOfTheOnlyHolderGrowsInPlaceWithZeros)
{
    WideString text(u"ab");
    text.Lock(2); // the only holder: locked in place and cut to one character and its end
    text.Unlock();
    EXPECT_EQ(u"a", Text(text));

    char16_t* area = text.Lock(5);
    EXPECT_EQ(std::u16string(u"a\0\0\0\0", 5), std::u16string(area, 5));
    text.Unlock();
}

TEST(StringTest, UnlockTerminatesATextThatFillsTheWholeArea)
{
    WideString text;
    char16_t* area = text.Lock(3);
    area[0] = u'a';
    area[1] = u'b';
    area[2] = u'c'; // over the terminator Lock put there
    text.Unlock();
    EXPECT_EQ(3, text.GetLength());
    EXPECT_EQ(u'\0', text.GetText()[3]);
}

TEST(StringTest, CopyingOrAssigningALockedStringCopiesItsText)
{
    WideString locked(u"ab");
    char16_t* area = locked.Lock(8);
    const WideString copy(locked);
    WideString assigned(u"zz");
    assigned = locked;
    area[2] = u'c';
    locked.Unlock();

    EXPECT_EQ(u"ab", Text(copy));
    EXPECT_EQ(u"ab", Text(assigned));
    EXPECT_EQ(6u, assigned.GetBufferSize());
    EXPECT_EQ(u"abc", Text(locked));
}

TEST(StringTest, AssigningIntoALockedStringWritesInPlace)
{
    WideString text;
    char16_t* area = text.Lock(4);
    text.Assign(u"xyzzy");
    EXPECT_EQ(area, text.GetText());
    EXPECT_EQ(u"xyz", Text(text)) << "cut to the locked area";
    text = WideString(u"q");
    EXPECT_EQ(area, text.GetText());
    EXPECT_EQ(u"q", Text(text));
    text.Unlock();
}

TEST(StringTest, MidLeftAndRightClampTheirArguments)
{
    const WideString text(u"abcd");
    struct Case
    {
        int32_t start;
        int32_t count;
        std::u16string expected;
    };
    const Case cases[] = {
        {-2, 5, u"cd"}, {4, 1, u""},       {1, -1, u"bcd"}, {0, 0, u""}, {1, 2, u"bc"},
        {-6, 3, u"a"},  {-6, 10, u"abcd"}, {2, 100, u"cd"}, {9, 1, u""}, {-1, -5, u"d"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, Text(text.Mid(c.start, c.count))) << c.start << "," << c.count;
    }
    EXPECT_EQ(u"abcd", Text(text.Right(10)));
    EXPECT_EQ(u"cd", Text(text.Right(2)));
    EXPECT_EQ(u"ab", Text(text.Left(2)));
    EXPECT_EQ(u"abcd", Text(text.Left(10)));
    EXPECT_EQ(u"cd", Text(text.MidFrom(2)));
    EXPECT_EQ(u"", Text(text.MidFrom(4)));
}

TEST(StringTest, InsertChecksTheIndexAndPlacesTheText)
{
    struct Case
    {
        uint32_t index;
        int32_t result;
        std::u16string expected;
    };
    const Case cases[] = {
        {0, S_OK, u"XYabcd"},
        {2, S_OK, u"abXYcd"},
        {4, S_OK, u"abcdXY"},
        {5, E_INVALIDARG, u"abcd"},
        {static_cast<uint32_t>(-1), E_INVALIDARG, u"abcd"},
    };
    for (const Case& c : cases) {
        WideString text(u"abcd");
        EXPECT_EQ(c.result, text.Insert(c.index, WideString(u"XY"))) << c.index;
        EXPECT_EQ(c.expected, Text(text)) << c.index;
    }

    WideString text(u"ac");
    EXPECT_EQ(S_OK, text.InsertChars(1, u"bzz", 1));
    EXPECT_EQ(S_OK, text.InsertChars(3, u"de", WideString::kWholeText));
    EXPECT_EQ(S_OK, text.InsertUtf8(0, "\xC3\xA9"));
    text.AppendChar(u'!');
    text.AppendUtf8Char('?');
    EXPECT_EQ(u"\u00E9abcde!?", Text(text));
}

TEST(StringTest, AppendingGrowsALockedStringInPlace)
{
    WideString text(u"ab");
    text.Lock();
    text += WideString(u"cd");
    EXPECT_TRUE(text.IsLocked());
    EXPECT_EQ(u"abcd", Text(text));
    text.Unlock();

    WideString self(u"xy");
    self += self;
    EXPECT_EQ(u"xyxy", Text(self));
    EXPECT_EQ(u"xyxyab", Text(self + WideString(u"ab")));
    EXPECT_EQ(u"xyxy", Text(self + WideString()));
}

TEST(StringTest, ComparisonIsByCodeUnits)
{
    const WideString abc(u"abc");
    EXPECT_TRUE(abc.Equals(WideString(u"abc")));
    EXPECT_FALSE(abc.Equals(WideString(u"abcd")));
    EXPECT_FALSE(abc.EqualsText(u"ABC"));
    EXPECT_TRUE(WideString().EqualsText(nullptr));
    EXPECT_TRUE(WideString().EqualsText(u""));
    EXPECT_FALSE(abc.EqualsText(nullptr));
    EXPECT_TRUE(WideString(u"\u00E9").EqualsUtf8("\xC3\xA9"));
    EXPECT_TRUE(abc.NotEqualsUtf8("abd"));

    EXPECT_TRUE(abc < WideString(u"abd"));
    EXPECT_TRUE(abc < WideString(u"abc\uFFFF"));
    EXPECT_TRUE(WideString(u"z") < WideString(u"\uFFFF")) << "units compare unsigned";
    EXPECT_FALSE(abc < abc);
    EXPECT_FALSE(WideString(u"abd") < abc);
}

TEST(StringTest, FindAnswersTheFirstIndexOrMinusOne)
{
    const WideString text(u"abcabc");
    EXPECT_EQ(1, text.Find(WideString(u"bc")));
    EXPECT_EQ(0, text.Find(WideString()));
    EXPECT_EQ(-1, text.Find(WideString(u"cb")));
    EXPECT_EQ(-1, WideString(u"ab").Find(WideString(u"abc")));
}

TEST(StringTest, CaseTrimAndReplace)
{
    EXPECT_EQ(u"skin \u00E9t\u00E9 1", Text(WideString(u"SKIN \u00C9T\u00C9 1").ToLower()));
    EXPECT_EQ(u"ABC", Text(WideString(u"abc").ToUpper()));
    EXPECT_EQ(u"  text", Text(WideString(u"  text \t\r\n").TrimRight(u" \t\r\n")));
    EXPECT_EQ(u"", Text(WideString(u" \n").TrimRight(u" \t\r\n")));

    WideString name(u"CE.bg png");
    const WideString shared(name);
    name.ReplaceChars(u". ", u'_');
    EXPECT_EQ(u"CE_bg_png", Text(name));
    EXPECT_EQ(u"CE.bg png", Text(shared));
    name.ReplaceChars(u"_", 0);
    EXPECT_EQ(u"CE_bg_png", Text(name));
}

TEST(StringTest, SplitGivesEmptyPartsBetweenSeparatorsButNoneAfterTheLast)
{
    struct Case
    {
        std::u16string text;
        std::vector<std::u16string> parts;
    };
    const Case cases[] = {
        {u"a,,b,", {u"a", u"", u"b"}},  {u"abc", {u"abc"}}, {u"", {u""}}, {u",a", {u"", u"a"}},
        {u"a;b,c", {u"a", u"b", u"c"}}, {u",", {u""}},
    };
    for (const Case& c : cases) {
        SV::WideStringArray array;
        SV::IArray<WideString>& parts = array;
        parts.Add(WideString(u"left over"));
        const int32_t count = WideString(c.text.c_str()).Split(u",;", parts);
        std::vector<std::u16string> actual;
        for (const WideString& part : parts) {
            actual.push_back(Text(part));
        }
        EXPECT_EQ(c.parts, actual);
        EXPECT_EQ(static_cast<int32_t>(c.parts.size()), count);
    }
}

TEST(StringTest, NumbersToText)
{
    const std::pair<WideString, std::u16string> cases[] = {
        {SV::IntToString(-42, 0), u"-42"},
        {SV::IntToString(42, -1), u"42"},
        {SV::IntToString(5, 2), u".05"},
        {SV::IntToString(123, 2), u"1.23"},
        {SV::IntToString(12, 2), u".12"},
        {SV::IntToString(-5, 3), u"-.005"},
        {SV::UIntToString(4294967295u, 0), u"4294967295"},
        {SV::DoubleToString(1.5, -1), u"1.500000"},
        {SV::DoubleToString(2.0 / 3.0, 2), u"0.67"},
        {SV::DoubleToString(-7.0, 0), u"-7"},
    };
    for (const auto& [actual, expected] : cases) {
        EXPECT_EQ(expected, Text(actual));
    }
    EXPECT_EQ(-12, WideString(u"  -12abc").ToInt());
    EXPECT_EQ(0, WideString(u"x1").ToInt());
    EXPECT_DOUBLE_EQ(2.5e3, WideString(u"2.5e3").ToDouble());
}

TEST(StringTest, FormatReplacesTheTextAndCutsWhatWouldNotFit)
{
    WideString text(u"old");
    text.Format(u"%s=%d (%S) %5.1lf|%-3c|", u"tempo", 120, "UTF-8 \xC3\xA9", 2.25, u'x');
    EXPECT_EQ(u"tempo=120 (UTF-8 \u00E9)   2.2|x  |", Text(text));

    const std::u16string longText(20000, u'a');
    text.Format(u"%s", longText.c_str());
    EXPECT_EQ(16383, text.GetLength());
    EXPECT_EQ(std::u16string(16383, u'a'), Text(text));
}

TEST(StringTest, Utf8ConversionKeepsWhatPrecedesAnError)
{
    WideString text;
    EXPECT_EQ(S_OK, text.AssignUtf8("a\xF0\x9F\x8E\xB9z", -1));
    EXPECT_EQ(u"a\U0001F3B9z", Text(text));
    EXPECT_EQ(4u * 2 + 2, text.GetBufferSize()) << "trimmed to the converted text";

    EXPECT_EQ(E_FAIL, text.AssignUtf8("ab\xE0\x80\x80yz", -1));
    EXPECT_EQ(u"ab", Text(text));
    EXPECT_EQ(E_FAIL, text.AssignUtf8("ab\xE2\x82", 4)) << "truncated sequence";
    EXPECT_EQ(u"ab", Text(text));

    EXPECT_EQ(S_OK, text.AssignUtf8("", -1));
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_EQ(S_OK, text.AssignUtf8("abc", 0));
    EXPECT_TRUE(text.IsEmpty());
}

TEST(StringTest, Utf8ConversionEndsAtTheFirstNulAndTrimsTheBuffer)
{
    struct Case
    {
        std::string bytes;
        int32_t length;
        int32_t result;
        std::u16string expected;
    };
    const Case cases[] = {
        {"Skin", -1, S_OK, u"Skin"},
        {"Skins.xml", 5, S_OK, u"Skins"},
        {std::string("ab\0cd", 5), 5, S_OK, u"ab"},
        {std::string("ab\0\xC3\xA9", 5), 5, S_OK, u"ab"},
        {std::string("ab\0\xE0\x80\x80", 6), 6, E_FAIL, u"ab"},
        {"caf\xC3\xA9", -1, S_OK, u"caf\u00E9"},
    };
    for (const Case& c : cases) {
        WideString text;
        EXPECT_EQ(c.result, text.AssignUtf8(c.bytes.data(), c.length)) << c.bytes;
        EXPECT_EQ(c.expected, Text(text)) << c.bytes;
        EXPECT_EQ((c.expected.size() + 1) * 2, text.GetBufferSize()) << c.bytes;
    }
}

TEST(StringTest, AssignNarrowTakesAtMostTheGivenBytes)
{
    WideString text;
    EXPECT_EQ(S_OK, text.AssignNarrow("skin.xml", 4));
    EXPECT_EQ(u"skin", Text(text));
    EXPECT_EQ(10u, text.GetBufferSize());
    EXPECT_EQ(S_OK, text.AssignNarrow("ab\0cd", 5));
    EXPECT_EQ(u"ab", Text(text));

    char16_t* area = text.Lock(8);
    EXPECT_EQ(S_OK, text.AssignNarrow("\xC3\xA9t\xC3\xA9", -1));
    EXPECT_EQ(area, text.GetText());
    EXPECT_EQ(u"\u00E9t\u00E9", Text(text));
    text.Unlock();
    EXPECT_EQ(S_OK, text.AssignNarrow(nullptr, 3));
    EXPECT_TRUE(text.IsEmpty());
}

TEST(StringTest, NarrowAndWideConvertBothWaysLeniently)
{
    const WideString wide(u"\u00E9\U0001F3B9");
    const NarrowString narrow = wide.ToNarrow();
    EXPECT_STREQ("\xC3\xA9\xF0\x9F\x8E\xB9", narrow.GetText());
    EXPECT_EQ(6, narrow.GetLength());
    EXPECT_TRUE(WideString(narrow).Equals(wide));

    NarrowString lone;
    const char16_t loneSurrogate[] = {u'a', 0xDC00, 0};
    EXPECT_EQ(S_OK, lone.AssignUtf16(loneSurrogate, -1));
    EXPECT_STREQ("a\xED\xB0\x80", lone.GetText());

    EXPECT_EQ(u"", Text(WideString(NarrowString())));
    EXPECT_STREQ("x", NarrowString('x').GetText());
    EXPECT_EQ(NarrowString().GetText(), NarrowString('\0').GetText());
}

TEST(StringTest, SingleCharacterStrings)
{
    const WideString x(u'x');
    EXPECT_EQ(4u, x.GetBufferSize());
    EXPECT_EQ(u"x", Text(x));
    const WideString zero(u'\0');
    EXPECT_EQ(2u, zero.GetBufferSize());
    EXPECT_TRUE(zero.IsEmpty());
}

} // namespace
