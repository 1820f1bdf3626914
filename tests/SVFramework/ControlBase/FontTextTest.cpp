#include "ControlApplicationDouble.h"

#include "ControlBase/Control.h"
#include "ControlBase/FontText.h"
#include "ResultCodes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace SV;

namespace {

// Characters are 10 pixels wide and lines 12 pixels high.
class FontTextTest : public ::testing::Test
{
protected:
    RCPtr<LFontText> Make(const char16_t* text, int32_t width, bool wrap)
    {
        RCPtr<LFontText> t = LFontText::Create(text, LFont::GetFont(u"Sans", 9.0f, 0));
        t->SetWordWrap(wrap);
        t->SetArea(width, 100);
        return t;
    }

    static std::vector<std::string> LinesOf(LFontText& text)
    {
        std::vector<std::string> lines;
        for (int32_t i = 0; i < text.GetLineCount(); ++i) {
            lines.emplace_back(NarrowString(text.GetLineText(i)).GetText());
        }
        return lines;
    }

    svtest::ControlApplicationDouble app;
};

using Lines = std::vector<std::string>;

TEST_F(FontTextTest, LinesSplitAtLineBreaksOnly)
{
    const struct
    {
        const char16_t* text;
        Lines lines;
    } cases[] = {
        {u"a\n\nb", {"a", "", "b"}}, {u"a\n", {"a"}}, {u"\nb", {"", "b"}},
        {u"a\r\nb", {"a\r", "b"}},   {u"", {""}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LinesOf(*Make(c.text, 1000, false)), c.lines);
    }
}

TEST_F(FontTextTest, WrapBreaksAfterTheLastBlankOrHyphenThatFits)
{
    const struct
    {
        const char16_t* text;
        int32_t width;
        Lines lines;
    } cases[] = {
        // "Send this program" is 170 pixels wide, "Send this program to" 200.
        {u"Send this program to the controller.", 190, {"Send this program", "to the controller."}},
        {u"state-of-the-art", 95, {"state-of-", "the-art"}},
        {u"unbreakable", 30, {"unbreakable"}},
        {u"two  blanks", 45, {"two ", "blanks"}},
        {u"first\nsecond line", 70, {"first", "second", "line"}},
        {u"words at zero", 0, {"words", "at", "zero"}},
        {u"negative width", -50, {"negative", "width"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LinesOf(*Make(c.text, c.width, true)), c.lines)
            << NarrowString(WideString(c.text)).GetText();
    }
}

TEST_F(FontTextTest, FontThatMeasuresNothingKeepsEachParagraphWhole)
{
    app.mMeasurer->SetAdvance(0.0f);
    EXPECT_EQ(LinesOf(*Make(u"a b c", 5, true)), (Lines{"a b c"}));
    EXPECT_EQ(LinesOf(*Make(u"a b c", 0, true)), (Lines{"a b", "c"}));
}

TEST_F(FontTextTest, LinesArePlacedByTheAlignments)
{
    RCPtr<LFontText> text = Make(u"ab\ncdef", 100, false);
    text->SetAlignment(1.0f, 0.5f);
    ASSERT_EQ(text->GetLineCount(), 2);
    EXPECT_EQ(text->GetLine(0), (RectT<float>{80, 38, 20, 12}));
    EXPECT_EQ(text->GetLine(1), (RectT<float>{60, 50, 40, 12}));
    EXPECT_EQ(text->GetLine(2), (RectT<float>{}));
    // The bounds reach from the area origin to the right edge of the lines.
    EXPECT_EQ(text->GetTextBounds(), (PointT<int32_t>{100, 62}));
    EXPECT_EQ(text->GetTextWidth(), 40);
    EXPECT_EQ(text->GetHeightForWidth(10), 24);
}

TEST_F(FontTextTest, ChangesEmptyTheCachesOnlyWhenSomethingChanged)
{
    RCPtr<LFontText> text = Make(u"Open Program", 200, false);
    EXPECT_FALSE(text->SetText(u"Open Program"));
    EXPECT_TRUE(text->SetText(u"Open Program Now"));
    EXPECT_FALSE(text->SetFont(LFont::GetFont(u"Sans", 9.0f, 0)));
    EXPECT_FALSE(text->SetFont(LFont::GetFont(u"sans", 9.0f, 0)));
    EXPECT_TRUE(text->SetFont(LFont::GetFont(u"Serif", 9.0f, 0)));
    EXPECT_TRUE(text->SetFont(nullptr));
    EXPECT_EQ(text->SetWordWrap(true), 1);
    EXPECT_EQ(text->SetWordWrap(true), 0);

    text->SetFont(LFont::GetFont(u"Sans", 9.0f, 0));
    text->GetLineCount();
    const int measured = app.mMeasurer->GetMeasureCount();
    text->GetLineCount();
    text->GetLine(0);
    EXPECT_EQ(app.mMeasurer->GetMeasureCount(), measured);
}

} // namespace

namespace {

TEST(ControlFontTest, InheritedFontsFollowTheParent)
{
    svtest::ControlApplicationDouble app;
    RCPtr<LControl> parent(new LControl(nullptr, u"parent"));
    RCPtr<LControl> child(new LControl(parent, u"child"));
    ASSERT_EQ(parent->SetFont(u"Serif", 10.0f, 0, false), S_OK);
    child->SetFontInheritance(true, true);
    ASSERT_EQ(child->SetFont(u"", 1.2f, -1, true), S_OK);
    EXPECT_TRUE(child->GetFont()->GetFamilyName().EqualsText(u"Serif"));
    EXPECT_FLOAT_EQ(child->GetFont()->GetSize(), 12.0f);

    ASSERT_EQ(parent->SetFont(u"Mono", 20.0f, 2, false), S_OK);
    EXPECT_TRUE(child->GetFont()->GetFamilyName().EqualsText(u"Mono"));
    EXPECT_FLOAT_EQ(child->GetFont()->GetSize(), 24.0f);
    EXPECT_EQ(child->GetFont()->GetStyle(), 2);

    // The same font again changes nothing; without inheritance the application's font is the
    // base.
    EXPECT_EQ(parent->PropagateFont(LFont::GetFont(u"Mono", 20.0f, 2)), S_FALSE);
    EXPECT_EQ(parent->PropagateFont(nullptr), E_INVALIDARG);
    RCPtr<LControl> loose(new LControl(parent, u"loose"));
    ASSERT_EQ(loose->SetFont(u"", 0.0f, -1, false), S_OK);
    EXPECT_TRUE(loose->GetFont()->GetFamilyName().EqualsText(u"Sans"));
}

} // namespace
