#include "Renderer/Font.h"
#include "Renderer/OpenGL/GLGlyphRenderer.h"

#include <gtest/gtest.h>

namespace {

using SV::LGLGlyphRenderer;
using SV::LGlyphProcessor;
using Glyph = LGlyphProcessor::SGlyphRecord;

// Measuring only: glyphs are placed in the atlas but nothing is uploaded or drawn, so no GL
// context is needed.
constexpr int32_t kMeasure = 1 | LGlyphProcessor::kTextMeasure;

SV::RCPtr<SV::LFont> Font(float size)
{
    return SV::RCPtr<SV::LFont>(new SV::LFont(u"Test", size, 0));
}

// A record of a glyph whose coverage bitmap is width x height bytes of `fill`.
Glyph Record(char16_t character, int32_t width, int32_t height, unsigned char fill = 0xAB)
{
    Glyph record;
    record.character = character;
    record.glyphIndex = character;
    record.box = {0, static_cast<int8_t>(-height), static_cast<int8_t>(width), 0};
    record.advanceX = static_cast<int16_t>((width + 1) * 64);
    record.bitmap = SV::RCPtr<SV::LPixelBuffer<unsigned char>>(
        new SV::LPixelBuffer<unsigned char>(width, height, fill));
    return record;
}

class GlyphAtlasTest : public testing::Test
{
protected:
    // Looks the glyph up and adds it as the font renderer does; answers the lookup's request.
    int32_t Add(Glyph record)
    {
        const int32_t request = mRenderer.LookupGlyph(record);
        mRenderer.AddGlyph(record);
        return request;
    }

    LGLGlyphRenderer::LCachedFont& Current() { return *mRenderer.GetCurrentFont(); }
    int32_t AtlasHeight() { return Current().GetAtlas()->GetHeight(); }

    LGLGlyphRenderer mRenderer;
    SV::RCPtr<SV::LFont> mFont = Font(12.0f);
};

TEST_F(GlyphAtlasTest, AFontsAtlasStartsAsHighAsThePowerOfTwoAboveItsSize)
{
    mRenderer.BeginText(mFont, kMeasure);
    EXPECT_EQ(Current().GetAtlas()->GetWidth(), 512);
    EXPECT_EQ(AtlasHeight(), 16);
    EXPECT_EQ(Current().GetRowHeight(), 12);
    EXPECT_EQ(Current().GetDirtyRect()[2], 512.0f) << "the whole atlas waits for its upload";
}

TEST_F(GlyphAtlasTest, GlyphsAreCopiedOnceWithABorderAndFoundAfterwards)
{
    mRenderer.BeginText(mFont, kMeasure);
    EXPECT_EQ(Add(Record(u'A', 5, 7)), LGlyphProcessor::kLoadAll);
    EXPECT_EQ(Add(Record(u'B', 3, 4, 0x11)), LGlyphProcessor::kLoadAll);
    const SV::LPixelBuffer<unsigned char>& atlas = *Current().GetAtlas();
    // A at (1, 1), B at (5 + 2 + 1, 1): one empty pixel on every side.
    EXPECT_EQ(*atlas.GetPixelForRead(1, 1), 0xAB);
    EXPECT_EQ(*atlas.GetPixelForRead(5, 7), 0xAB);
    EXPECT_EQ(*atlas.GetPixelForRead(6, 1), 0);
    EXPECT_EQ(*atlas.GetPixelForRead(1, 8), 0);
    EXPECT_EQ(*atlas.GetPixelForRead(8, 1), 0x11);
    EXPECT_EQ(Current().GetCursorX(), 7 + 5);
    mRenderer.EndText();

    mRenderer.BeginText(mFont, kMeasure);
    Glyph again;
    again.character = u'A';
    EXPECT_EQ(mRenderer.LookupGlyph(again), LGlyphProcessor::kLoadNothing);
    EXPECT_EQ(again.glyphIndex, u'A');
    EXPECT_EQ(again.box.right, 5);
    EXPECT_EQ(again.advanceX, 6 * 64);
    mRenderer.AddGlyph(again);
    EXPECT_EQ(Current().GetCursorX(), 12) << "a cached glyph takes no new cell";
}

TEST_F(GlyphAtlasTest, ACellReachingColumn512StartsANewRowBelowTheTallestCell)
{
    mRenderer.BeginText(mFont, kMeasure);
    (void)Add(Record(u'a', 20, 30)); // the row's tallest cell: 32 high
    (void)Add(Record(u'b', 100, 5));
    // The cursor is at 22 + 102 = 124; a cell of 388 would end exactly at 512.
    (void)Add(Record(u'c', 386, 5));
    EXPECT_EQ(Current().GetRowTop(), 32);
    EXPECT_EQ(Current().GetCursorX(), 388);
    Glyph c;
    c.character = u'c';
    (void)mRenderer.LookupGlyph(c);
    EXPECT_EQ(Current().GetRowHeight(), 7);
}

TEST_F(GlyphAtlasTest, TheAtlasGrowsToThePowerOfTwoBelowItsLowestCellKeepingItsRows)
{
    mRenderer.BeginText(mFont, kMeasure);
    (void)Add(Record(u'a', 4, 10));
    ASSERT_EQ(AtlasHeight(), 16);
    // A cell of 14 rows ends exactly on row 16: the size stays but all of it is dirty.
    (void)Add(Record(u'b', 4, 12));
    EXPECT_EQ(AtlasHeight(), 16);
    EXPECT_EQ(Current().GetDirtyRect()[3], 16.0f);

    (void)Add(Record(u'c', 4, 20));
    EXPECT_EQ(AtlasHeight(), 32);
    EXPECT_EQ(*Current().GetAtlas()->GetPixelForRead(1, 1), 0xAB) << "old rows keep their pixels";
    EXPECT_EQ(*Current().GetAtlas()->GetPixelForRead(400, 31), 0) << "new rows are zero";
}

TEST_F(GlyphAtlasTest, AGlyphTooWideForARowIsMeasuredButNeitherStoredNorCached)
{
    mRenderer.BeginText(mFont, kMeasure);
    Glyph wide = Record(u'W', 511, 3);
    wide.advanceX = 505 * 64;
    EXPECT_EQ(Add(wide), LGlyphProcessor::kLoadAll);
    EXPECT_EQ(Current().GetCursorX(), 0);
    EXPECT_EQ(Current().GetGlyphs().GetCount(), 0);
    EXPECT_GT(mRenderer.GetTextBounds().right, 500.0f);
    wide = Record(u'W', 510, 3);
    wide.advanceX = 505 * 64;
    EXPECT_EQ(Add(wide), LGlyphProcessor::kLoadAll);
    EXPECT_EQ(Current().GetGlyphs().GetCount(), 1) << "510 pixels and the border fit one row";
}

TEST_F(GlyphAtlasTest, BoundsUniteTheAdvanceBoxesAndAlwaysHoldTheOrigin)
{
    mRenderer.BeginText(mFont, kMeasure);
    Glyph first = Record(u'j', 6, 8);
    first.box = {-3, -6, 3, 2};
    first.penX = 2;
    (void)Add(first);
    const LGlyphProcessor::TextBounds bounds = mRenderer.GetTextBounds();
    EXPECT_EQ(bounds.left, 0.0f);
    EXPECT_EQ(bounds.top, -6.0f);
    EXPECT_EQ(bounds.right, 2.0f + 7.0f);
    EXPECT_EQ(bounds.bottom, 2.0f);
    mRenderer.BeginText(mFont, kMeasure);
    EXPECT_EQ(mRenderer.GetTextBounds().right, 0.0f) << "each text starts its bounds anew";
}

TEST_F(GlyphAtlasTest, WithoutACurrentFontNothingIsLookedUpOrAdded)
{
    Glyph record = Record(u'x', 3, 3);
    EXPECT_EQ(mRenderer.LookupGlyph(record), LGlyphProcessor::kLoadNothing);
    EXPECT_EQ(record.glyphIndex, u'x');
    mRenderer.AddGlyph(record);
    EXPECT_EQ(mRenderer.GetTextBounds().right, 0.0f);
}

TEST_F(GlyphAtlasTest, TheSeventeenthFontEvictsTheLeastRecentlyUsedAndItsAtlas)
{
    std::vector<SV::RCPtr<SV::LFont>> fonts;
    for (int i = 0; i < 17; ++i) {
        fonts.push_back(Font(10.0f + i));
        mRenderer.BeginText(fonts.back(), kMeasure);
        (void)Add(Record(u'a', 3, 3));
        mRenderer.EndText();
    }
    // The first font was the least recently used: drawing in it again starts from scratch.
    mRenderer.BeginText(fonts[0], kMeasure);
    EXPECT_EQ(Add(Record(u'a', 3, 3)), LGlyphProcessor::kLoadAll);
    mRenderer.EndText();
    mRenderer.BeginText(fonts[16], kMeasure);
    EXPECT_EQ(Add(Record(u'a', 3, 3)), LGlyphProcessor::kLoadNothing);
}

} // namespace
