#include "GuideSource.h"
#include "GuideTypesetter.h"

#include <gtest/gtest.h>

#include <cairo.h>

#include <string>
#include <vector>

namespace {

using guide::Block;
using guide::BlockKind;

struct ExpectedBlock
{
    BlockKind kind;
    std::string markup;
    int number = 0;
};

struct ParseCase
{
    const char* name;
    const char* source;
    std::vector<ExpectedBlock> blocks;
};

class GuideSourceParse : public testing::TestWithParam<ParseCase>
{};

TEST_P(GuideSourceParse, GivesTheBlocksInOrder)
{
    const ParseCase& c = GetParam();
    const std::vector<Block> blocks = guide::ParseGuide(c.source);
    ASSERT_EQ(blocks.size(), c.blocks.size());
    for (size_t i = 0; i < blocks.size(); ++i) {
        EXPECT_EQ(blocks[i].kind, c.blocks[i].kind) << "block " << i;
        EXPECT_EQ(blocks[i].markup, c.blocks[i].markup) << "block " << i;
        EXPECT_EQ(blocks[i].number, c.blocks[i].number) << "block " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GuideSourceParse,
    testing::Values(
        ParseCase{"Headings",
                  "# Title\n## Section\n### Sub\n",
                  {{BlockKind::Title, "Title"},
                   {BlockKind::Section, "Section"},
                   {BlockKind::Subsection, "Sub"}}},
        ParseCase{"LinesOfAParagraphJoin",
                  "one\ntwo  \n\nthree\n",
                  {{BlockKind::Paragraph, "one two"}, {BlockKind::Paragraph, "three"}}},
        ParseCase{"BulletsTakeTheirContinuationLines",
                  "- first\n  goes on\n- second\nafter\n",
                  {{BlockKind::Bullet, "first goes on"}, {BlockKind::Bullet, "second after"}}},
        ParseCase{"StepsKeepTheirNumbers",
                  "1. get\n12. send\n3.no step\n",
                  {{BlockKind::Step, "get", 1}, {BlockKind::Step, "send 3.no step", 12}}},
        ParseCase{"HeadingEndsTheParagraphAbove",
                  "text\n## Next\nmore",
                  {{BlockKind::Paragraph, "text"},
                   {BlockKind::Section, "Next"},
                   {BlockKind::Paragraph, "more"}}},
        ParseCase{"WindowsLineEndsAndEmptySource", "a\r\n\r\n", {{BlockKind::Paragraph, "a"}}},
        ParseCase{"NothingAtAll", "", {}}),
    [](const testing::TestParamInfo<ParseCase>& param) { return param.param.name; });

TEST(GuideSourceInlineMarkup, MarksAndEscapesText)
{
    const std::pair<const char*, const char*> cases[] = {
        {"**Get** it", "<b>Get</b> it"},
        {"*Ram* `a<b`", "<i>Ram</i> <tt>a&lt;b</tt>"},
        {"Tom & Jerry <x>", "Tom &amp; Jerry &lt;x&gt;"},
        // Marks that are never closed stay as written.
        {"5 * 3 and `open", "5 * 3 and `open"},
        {"**", "**"},
        {"**bold *both***", "<b>bold *both</b>*"},
    };
    for (const auto& [text, markup] : cases) {
        EXPECT_EQ(guide::InlineMarkup(text), markup) << text;
    }
}

TEST(GuideTypesetter, BreaksLongTextOntoPagesAndCountsThemBeforeDrawing)
{
    std::string source = "# Title\n\n";
    for (int i = 0; i < 60; ++i) {
        source += "## Section " + std::to_string(i) +
                  "\n\nA paragraph long enough to take two or three lines of the page, so that "
                  "sixty of them with their headings cannot fit on one page or on two.\n\n";
    }
    const std::vector<Block> blocks = guide::ParseGuide(source);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 60, 85);
    cairo_t* cr = cairo_create(surface);
    int begun = 0;
    int ended = 0;
    const int pages = guide::GuideTypesetter("Footer").Render(
        blocks,
        [&](int page) {
            EXPECT_EQ(page, begun);
            ++begun;
            return cr;
        },
        [&](int page) {
            EXPECT_EQ(page, ended);
            ++ended;
        });
    cairo_destroy(cr);
    cairo_surface_destroy(surface);

    EXPECT_GT(pages, 3);
    EXPECT_EQ(begun, pages);
    EXPECT_EQ(ended, pages);
}

TEST(GuideTypesetter, AParagraphLongerThanAPageGoesOnOverSeveralPages)
{
    std::string text;
    for (int i = 0; i < 400; ++i) {
        text += "word" + std::to_string(i) + " ";
    }
    for (int i = 0; i < 3; ++i) {
        text += text;
    }
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 60, 85);
    cairo_t* cr = cairo_create(surface);
    const int pages = guide::GuideTypesetter("Footer").Render(
        guide::ParseGuide(text), [&](int) { return cr; }, [](int) {});
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    EXPECT_GT(pages, 1);
}

} // namespace
