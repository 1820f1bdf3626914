#include "Renderer/Font.h"
#include "RecordingRenderer.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace {

using SV::LFont;
using SV::RCPtr;

// Fonts live in one process-wide registry for the life of the process; each run of a test uses
// family names of its own, so a repeated or reordered test finds none of its fonts already there.
class FontTest : public ::testing::Test
{
protected:
    // The name with a number of this run after it.
    static std::string Family(const char* name)
    {
        static int32_t run = 0;
        return std::string(name) + " " + std::to_string(++run);
    }

    static SV::WideString Wide(const std::string& text)
    {
        return SV::WideString(std::u16string(text.begin(), text.end()).c_str());
    }

    void TearDown() override { LFont::SetMeasurementRendererSource(nullptr); }

    void MeasureWith(const RCPtr<svtest::RecordingRenderer>& renderer)
    {
        LFont::SetMeasurementRendererSource(
            [renderer] { return RCPtr<SV::LMeasurementRenderer>(renderer); });
    }
};

TEST_F(FontTest, OneDescriptionGivesOneFontWhateverTheCaseOfItsName)
{
    const std::string sans = Family("Registry Sans");
    std::string upper = sans;
    std::string mixed = sans;
    for (size_t i = 0; i < sans.size(); ++i) {
        upper[i] = char(std::toupper(static_cast<unsigned char>(sans[i])));
        mixed[i] = char(i % 2 ? std::toupper(static_cast<unsigned char>(sans[i]))
                              : std::tolower(static_cast<unsigned char>(sans[i])));
    }
    EXPECT_EQ(LFont::FindFont(Wide(sans), 9.0f, 0), -1);
    const RCPtr<LFont> font = LFont::GetFont(Wide(sans), 9.0f, 0);
    EXPECT_EQ(LFont::GetFont(Wide(sans), 9.0f, 0), font);
    EXPECT_EQ(LFont::GetFont(Wide(mixed), 9.0f, 0), font);
    EXPECT_EQ(std::string(font->GetFamilyName().ToNarrow().GetText()), sans);

    const int32_t index = LFont::FindFont(Wide(upper), 9.0f, 0);
    ASSERT_GE(index, 0);
    EXPECT_EQ(*LFont::GetRegistry().At(index), font);

    EXPECT_NE(LFont::GetFont(Wide(sans), 9.75f, 0), font);
    EXPECT_NE(LFont::GetFont(Wide(sans), 9.0f, LFont::kBold), font);
    EXPECT_NE(LFont::GetFont(Wide(Family("Registry Serif")), 9.0f, 0), font);
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

    const RCPtr<LFont> font = LFont::GetFont(Wide(Family("Measured Sans")), 9.0f, 0);
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
    const RCPtr<LFont> font = LFont::GetFont(Wide(Family("Early Sans")), 9.0f, 0);
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
