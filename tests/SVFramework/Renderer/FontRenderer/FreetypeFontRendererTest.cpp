#include "Renderer/FontRenderer/FreetypeFontRenderer.h"
#include "ExceptionText.h"
#include "Renderer/Font.h"
#include "Renderer/FontRenderer/FontFileInfo.h"
#include "Renderer/MeasurementRenderer.h"
#include "ResultCodes.h"
#include "Utilities/Graphics/PixelBuffer.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <vector>

namespace {

using SV::LGlyphProcessor;

// Keeps every glyph it is handed and asks for every glyph to be loaded.
class RecordingProcessor : public LGlyphProcessor
{
public:
    void BeginText(const SV::ConstRCPtr<SV::LFont>& /*font*/, int32_t flags) override
    {
        ++begun;
        lastFlags = flags;
        bounds = {};
    }
    void EndText() override { ++ended; }
    int32_t LookupGlyph(SGlyphRecord& record) override
    {
        looked.push_back(record.character);
        return kLoadAll;
    }
    void AddGlyph(SGlyphRecord& record) override
    {
        added.push_back(record);
        bounds.right = std::max(bounds.right, record.penX + (record.advanceX >> 6));
        bounds.top = std::min(bounds.top, static_cast<float>(record.box.top));
        bounds.bottom = std::max(bounds.bottom, static_cast<float>(record.box.bottom));
    }
    TextBounds GetTextBounds() const override { return bounds; }

    int begun = 0;
    int ended = 0;
    int32_t lastFlags = 0;
    std::vector<uint32_t> looked;
    std::vector<SGlyphRecord> added;
    TextBounds bounds;
};

// Measures fonts with the font renderer under test, as the application's renderer would.
class MeasurementDouble : public SV::LMeasurementRenderer
{
public:
    explicit MeasurementDouble(SV::LFontRenderer& renderer) : mRenderer(renderer) {}
    int32_t GetFontMetrics(const SV::ConstRCPtr<SV::LFont>& font, int32_t& height, int32_t& ascent,
                           int32_t& descent) override
    {
        return mRenderer.GetFontMetrics(font, height, ascent, descent);
    }
    SV::RectT<float> MeasureText(const SV::WideString& text,
                                 const SV::ConstRCPtr<SV::LFont>& font) override
    {
        return mRenderer.MeasureText(text, font);
    }

private:
    SV::LFontRenderer& mRenderer;
};

class FreetypeFontRendererTest : public testing::Test
{
protected:
    FreetypeFontRendererTest()
    {
        SV::LFont::SetMeasurementRendererSource([this] {
            return SV::RCPtr<SV::LMeasurementRenderer>(new MeasurementDouble(*mRenderer));
        });
    }
    ~FreetypeFontRendererTest() override { SV::LFont::SetMeasurementRendererSource(nullptr); }

    // Fonts of their own, so that no test sees another's measurements.
    static SV::RCPtr<SV::LFont> Font(const char16_t* family, float size, int32_t style = 0)
    {
        return SV::RCPtr<SV::LFont>(new SV::LFont(family, size, style));
    }

    SV::RCPtr<RecordingProcessor> mProcessor{new RecordingProcessor};
    SV::RCPtr<SV::LFreetypeFontRenderer> mRenderer{new SV::LFreetypeFontRenderer(
        SV::ConstRCPtr<LGlyphProcessor>(mProcessor), SV::ConstRCPtr<LGlyphProcessor>(mProcessor))};
};

TEST_F(FreetypeFontRendererTest, MetricsOfATwelvePointFontSpanAtLeastSixteenPixels)
{
    int32_t height = 0;
    int32_t ascent = 0;
    int32_t descent = 0;
    ASSERT_EQ(mRenderer->GetFontMetrics(Font(u"DejaVu Sans", 12.0f), height, ascent, descent),
              S_OK);
    EXPECT_GE(height, 16);
    EXPECT_LT(ascent, 0);
    EXPECT_GT(descent, 0);
    EXPECT_GE(height, descent - ascent);
}

TEST_F(FreetypeFontRendererTest, LaysGlyphsOutLeftToRightWithTheirCoverage)
{
    const SV::RCPtr<SV::LFont> font = Font(u"DejaVu Sans", 12.0f);
    EXPECT_EQ(mRenderer->RenderText(u"Hi!", font, SV::ConstRCPtr<LGlyphProcessor>(mProcessor), 0,
                                    0.0f, 15),
              3);
    EXPECT_EQ(mProcessor->lastFlags, 15);
    ASSERT_EQ(mProcessor->added.size(), 3u);
    float pen = -1;
    for (const LGlyphProcessor::SGlyphRecord& glyph : mProcessor->added) {
        EXPECT_GT(glyph.penX, pen);
        pen = glyph.penX;
        EXPECT_GT(glyph.advanceX, 0);
        EXPECT_LT(glyph.box.top, 0) << "ink above the baseline";
        ASSERT_TRUE(glyph.bitmap);
        EXPECT_EQ(glyph.bitmap->GetWidth(), glyph.box.right - glyph.box.left);
        EXPECT_EQ(glyph.bitmap->GetHeight(), glyph.box.bottom - glyph.box.top);
    }
    EXPECT_EQ(mProcessor->added[2].index, 2) << "the index is the position after the last glyph";
}

TEST_F(FreetypeFontRendererTest, SmallFontsRenderInOneBitExpandedToFullCoverage)
{
    const auto levels = [this](float size) {
        mProcessor->added.clear();
        (void)mRenderer->RenderText(u"O", Font(u"DejaVu Sans", size),
                                    SV::ConstRCPtr<LGlyphProcessor>(mProcessor), 0, 0.0f, 15);
        std::set<int> values;
        const auto& bitmap = *mProcessor->added.at(0).bitmap;
        for (int32_t y = 0; y < bitmap.GetHeight(); ++y) {
            for (int32_t x = 0; x < bitmap.GetWidth(); ++x) {
                values.insert(*bitmap.GetPixelForRead(x, y));
            }
        }
        return values;
    };
    EXPECT_EQ(levels(7.5f), (std::set<int>{0, 255}));
    EXPECT_GT(levels(8.0f).size(), 2u);
}

TEST_F(FreetypeFontRendererTest, CharactersWithoutGlyphsAreSkippedAndSurrogatesLookedUpAlone)
{
    const SV::WideString text = u"\uE000\U0001F600";
    EXPECT_EQ(mRenderer->RenderText(text, Font(u"DejaVu Sans", 12.0f),
                                    SV::ConstRCPtr<LGlyphProcessor>(mProcessor), 0, 0.0f, 3),
              3);
    EXPECT_EQ(mProcessor->begun, 1);
    EXPECT_EQ(mProcessor->ended, 1);
    EXPECT_TRUE(mProcessor->added.empty());
    EXPECT_EQ(mProcessor->looked, (std::vector<uint32_t>{0xE000, 0xD83D, 0xDE00}));
}

TEST_F(FreetypeFontRendererTest, AMaximumWidthEndsTheRunBeforeTheGlyphThatPassesIt)
{
    const SV::RCPtr<SV::LFont> font = Font(u"DejaVu Sans", 12.0f);
    const int32_t consumed = mRenderer->RenderText(
        u"WWWWWWWW", font, SV::ConstRCPtr<LGlyphProcessor>(mProcessor), 0, 30.0f, 3);
    EXPECT_EQ(consumed, static_cast<int32_t>(mProcessor->added.size()));
    EXPECT_GT(mProcessor->added.size(), 0u);
    EXPECT_LT(mProcessor->added.size(), 8u);
}

TEST_F(FreetypeFontRendererTest, MeasuringAnEmptyTextGivesTheLineOfTheFont)
{
    const SV::RCPtr<SV::LFont> font = Font(u"DejaVu Sans", 12.0f);
    const SV::RectT<float> measured = mRenderer->MeasureText(u"", font);
    EXPECT_EQ(measured.x, 0.0f);
    EXPECT_EQ(measured.y, static_cast<float>(font->GetAscent()));
    EXPECT_EQ(measured.width, 1.0f);
    EXPECT_EQ(measured.height, static_cast<float>(font->GetDescent() - font->GetAscent()));
    EXPECT_EQ(mProcessor->lastFlags, 3);
}

TEST_F(FreetypeFontRendererTest, AFontWhoseFileCannotOpenMeasuresAsNothing)
{
    (void)mRenderer->MeasureText(u"Wide text", Font(u"DejaVu Sans", 12.0f));
    ASSERT_GT(mProcessor->bounds.right, 0.0f);
    const SV::RCPtr<SV::LFontFileInfo> broken = SV::LFontFileInfo::AddEntry();
    broken->familyName = u"Broken";
    broken->regularPath = u"/nonexistent/broken.ttf";

    const SV::RCPtr<SV::LFont> font = Font(u"Broken", 12.0f);
    int32_t height = 7;
    int32_t ascent = 7;
    int32_t descent = 7;
    EXPECT_EQ(mRenderer->GetFontMetrics(font, height, ascent, descent), E_FAIL);
    EXPECT_EQ(height, 7);
    const SV::RectT<float> measured = mRenderer->MeasureText(u"Wide text", font);
    EXPECT_EQ(measured.width, 0.0f) << "not the bounds of the text before";
    EXPECT_EQ(measured.height, 0.0f);
    EXPECT_EQ(
        mRenderer->RenderText(u"x", font, SV::ConstRCPtr<LGlyphProcessor>(mProcessor), 0, 0.0f, 15),
        0);
}

TEST_F(FreetypeFontRendererTest, AnUncataloguedFamilyThrowsBeforeAnythingIsDrawn)
{
    EXPECT_EQ(svtest::ExceptionTextOf<SV::Exception<std::runtime_error>>([&] {
                  (void)mRenderer->RenderText(u"x", Font(u"No Such Family", 12.0f),
                                              SV::ConstRCPtr<LGlyphProcessor>(mProcessor), 0, 0.0f,
                                              15);
              }),
              "Runtime Error : SV::LFontFileInfo::GetFileID : "
              "Renderer\\FontRenderer\\FontFileInfo : Line 464");
    EXPECT_EQ(mProcessor->begun, 0);
}

} // namespace
