// How the skin reader turns attribute text into values.
#include "ControlBase/ControlFactory.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

using SV::LControlFactory;
using SV::WideString;

TEST(SkinAttributeTest, NumbersAreUpToFourHexDigitsAfterLowerCase0xElseDecimal)
{
    const struct
    {
        const char16_t* text;
        int32_t expected;
    } cases[] = {
        {u"0x00FF", 255},
        {u"0X00FF", 0},
        {u"0x123456", 4660},
        {u"0x7c04", 31748},
        {u"0x", 0},
        {u"0xg1", 0},
        {u"-8", -8},
        {u"  42abc", 42},
        {u"abc", 0},
        {u"", 0},
        {u"99999999999", 2147483647},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LControlFactory::ParseNumber(c.text), c.expected)
            << SV::NarrowString(c.text).GetText();
    }
}

TEST(SkinAttributeTest, ReadersConvertPresentAttributesAndLeaveTargetsOfAbsentOnes)
{
    const LControlFactory::AttributeMap attributes = {
        {u"Yes", u"True"}, {u"Lower", u"true"}, {u"Upper", u"TRUE"}, {u"One", u"1"},
        {u"Half", u"0.5"}, {u"Huge", u"1e39"},  {u"Nan", u"nan"},    {u"Word", u"abc"},
        {u"Frac", u"2.7"}, {u"Hex", u"0x10"},   {u"Text", u"a b"},
    };

    bool flag = false;
    EXPECT_TRUE(LControlFactory::GetBoolAttribute(attributes, u"Yes", flag));
    EXPECT_TRUE(flag);
    for (const char16_t* name : {u"Lower", u"Upper", u"One"}) {
        flag = true;
        EXPECT_TRUE(LControlFactory::GetBoolAttribute(attributes, name, flag));
        EXPECT_FALSE(flag);
    }

    float real = -1.0f;
    EXPECT_TRUE(LControlFactory::GetFloatAttribute(attributes, u"Half", real));
    EXPECT_EQ(real, 0.5f);
    // Out of the float's range or no number at all: still a finite value.
    EXPECT_TRUE(LControlFactory::GetFloatAttribute(attributes, u"Huge", real));
    EXPECT_EQ(real, std::numeric_limits<float>::max());
    EXPECT_TRUE(LControlFactory::GetFloatAttribute(attributes, u"Nan", real));
    EXPECT_EQ(real, 0.0f);
    EXPECT_TRUE(LControlFactory::GetFloatAttribute(attributes, u"Word", real));
    EXPECT_EQ(real, 0.0f);

    double distance = -1.0;
    EXPECT_TRUE(LControlFactory::GetDistanceAttribute(attributes, u"Frac", distance));
    EXPECT_EQ(distance, 2.0);

    int32_t whole = -1;
    EXPECT_TRUE(LControlFactory::GetWholeAttribute(attributes, u"Hex", whole));
    EXPECT_EQ(whole, 0);
    EXPECT_TRUE(LControlFactory::GetIntAttribute(attributes, u"Hex", whole));
    EXPECT_EQ(whole, 16);

    WideString text(u"kept");
    EXPECT_TRUE(LControlFactory::GetStringAttribute(attributes, u"Text", text));
    EXPECT_TRUE(text.EqualsText(u"a b"));

    // Names match exactly; an absent attribute leaves every target alone.
    text = u"kept";
    flag = true;
    real = 3.0f;
    whole = 7;
    distance = 9.0;
    EXPECT_FALSE(LControlFactory::GetStringAttribute(attributes, u"text", text));
    EXPECT_FALSE(LControlFactory::GetBoolAttribute(attributes, u"Missing", flag));
    EXPECT_FALSE(LControlFactory::GetFloatAttribute(attributes, u"Missing", real));
    EXPECT_FALSE(LControlFactory::GetIntAttribute(attributes, u"Missing", whole));
    EXPECT_FALSE(LControlFactory::GetDistanceAttribute(attributes, u"Missing", distance));
    EXPECT_TRUE(text.EqualsText(u"kept"));
    EXPECT_TRUE(flag);
    EXPECT_EQ(real, 3.0f);
    EXPECT_EQ(whole, 7);
    EXPECT_EQ(distance, 9.0);
}

} // namespace
