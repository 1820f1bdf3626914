#include "Utilities/Storage/StringArray.h"

#include <gtest/gtest.h>

namespace {

using SV::WideString;

TEST(StringArrayTest, FindComparesTheTextWithOrWithoutLetterCase)
{
    SV::WideStringArray names;
    for (const char16_t* name : {u"Volume", u"CUTOFF", u"", u"Ärger"}) {
        names.Add(WideString(name));
    }
    struct Case
    {
        const char16_t* text;
        bool exact;
        int32_t index;
    };
    const Case cases[] = {
        {u"Volume", true, 0},  {u"volume", true, -1}, {u"volume", false, 0},
        {u"Cutoff", false, 1}, {u"Cutof", false, -1}, {u"Cutoffs", false, -1},
        {u"", true, 2},        {nullptr, false, 2},   {u"äRGER", false, 3},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.index, names.Find(c.text, c.exact))
            << (c.text != nullptr ? WideString(c.text).ToNarrow().GetText() : "null") << ", "
            << c.exact;
    }
}

TEST(StringArrayTest, IndexOfTextFindsTheEntryHoldingTheCharactersNotAnEqualText)
{
    SV::WideStringArray names;
    names.Add(WideString(u"NID_A"));
    names.Add(WideString(u"NID_B"));
    names.Add(WideString(u"NID_A"));
    const char16_t* interned = names.At(2)->GetText();
    // Growing the array moves the string objects, not their characters.
    for (int i = 0; i < 100; ++i) {
        names.Add(WideString(u"other"));
    }
    EXPECT_EQ(2, names.IndexOfText(interned));
    EXPECT_EQ(0, names.IndexOfText(names.At(0)->GetText()));
    const WideString equalCopy(u"NID_A");
    EXPECT_EQ(-1, names.IndexOfText(equalCopy.GetText()));
    EXPECT_EQ(-1, names.IndexOfText(nullptr));
}

TEST(StringArrayTest, NarrowTextSplitsIntoAnArrayToo)
{
    SV::NarrowStringArray parts;
    EXPECT_EQ(3, SV::NarrowString("a b  ").Split(" ", parts));
    ASSERT_EQ(3, parts.GetCount());
    EXPECT_TRUE(parts.At(0)->EqualsText("a"));
    EXPECT_TRUE(parts.At(1)->EqualsText("b"));
    EXPECT_TRUE(parts.At(2)->IsEmpty());
    EXPECT_EQ(1, parts.Find("B", false));
}

} // namespace
