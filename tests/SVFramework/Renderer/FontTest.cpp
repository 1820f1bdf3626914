#include "Renderer/Font.h"
#include "RecordingRenderer.h"

#include <gtest/gtest.h>

namespace {

using SV::LFont;
using SV::RCPtr;

// Fonts live in one process-wide registry; each test uses family names of its own.
class FontTest : public ::testing::Test
{
protected:
    void TearDown() override { LFont::SetMeasurementRendererSource(nullptr); }

    void MeasureWith(const RCPtr<svtest::RecordingRenderer>& renderer)
    {
        LFont::SetMeasurementRendererSource(
            [renderer] { return RCPtr<SV::LMeasurementRenderer>(renderer); });
    }
};

TEST_F(FontTest, OneDescriptionGivesOneFontWhateverTheCaseOfItsName)
{
    EXPECT_EQ(LFont::FindFont(u"Registry Sans", 9.0f, 0), -1);
    const RCPtr<LFont> font = LFont::GetFont(u"Registry Sans", 9.0f, 0);
    EXPECT_EQ(LFont::GetFont(u"Registry Sans", 9.0f, 0), font);
    EXPECT_EQ(LFont::GetFont(u"registry sANS", 9.0f, 0), font);
    EXPECT_EQ(font->GetFamilyName().ToNarrow(), "Registry Sans");

    const int32_t index = LFont::FindFont(u"REGISTRY SANS", 9.0f, 0);
    ASSERT_GE(index, 0);
    EXPECT_EQ(*LFont::GetRegistry().At(index), font);

    EXPECT_NE(LFont::GetFont(u"Registry Sans", 9.75f, 0), font);
    EXPECT_NE(LFont::GetFont(u"Registry Sans", 9.0f, LFont::kBold), font);
    EXPECT_NE(LFont::GetFont(u"Registry Serif", 9.0f, 0), font);
}

TEST_F(FontTest, FontsGetConsecutiveUniqueIds)
{
    const RCPtr<LFont> first = LFont::GetFont(u"Id Sans", 10.0f, 0);
    const RCPtr<LFont> second = LFont::GetFont(u"Id Sans", 11.0f, 0);
    EXPECT_GT(LFont::GetUniqueID(first), 0);
    EXPECT_EQ(LFont::GetUniqueID(second), LFont::GetUniqueID(first) + 1);
}

TEST_F(FontTest, MetricsAreMeasuredOnceOnFirstRequest)
{
    const RCPtr<svtest::RecordingRenderer> renderer(new svtest::RecordingRenderer);
    renderer->SetFontMetrics({15, -11, 4});
    MeasureWith(renderer);

    const RCPtr<LFont> font = LFont::GetFont(u"Measured Sans", 9.0f, 0);
    EXPECT_FALSE(font->IsMeasured());
    EXPECT_EQ(font->GetAscent(), -11);
    EXPECT_EQ(font->GetHeight(), 15);
    EXPECT_EQ(font->GetDescent(), 4);
    EXPECT_EQ(renderer->GetFontMetricsCount(), 1);

    renderer->SetFontMetrics({30, -22, 8});
    EXPECT_EQ(font->GetHeight(), 15);
    EXPECT_EQ(renderer->GetFontMetricsCount(), 1);
}

TEST_F(FontTest, WithoutARendererAFontStaysUnmeasuredUntilOneExists)
{
    const RCPtr<LFont> font = LFont::GetFont(u"Early Sans", 9.0f, 0);
    EXPECT_EQ(font->GetHeight(), -1);
    LFont::SetMeasurementRendererSource([] { return RCPtr<SV::LMeasurementRenderer>(); });
    EXPECT_EQ(font->GetHeight(), -1);
    EXPECT_FALSE(font->IsMeasured());

    const RCPtr<svtest::RecordingRenderer> renderer(new svtest::RecordingRenderer);
    MeasureWith(renderer);
    EXPECT_EQ(font->GetHeight(), 16);
    EXPECT_TRUE(font->IsMeasured());
}

} // namespace
