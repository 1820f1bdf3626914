#include "ControlSkinFixture.h"

#include "Controls/ProgressBar.h"

#include <string>

using namespace SV;

namespace {

const char* const kBarSkin = R"(
    <Skin Name="Default">
      <SubControl Class="Framework.Panel" Name="window" XSizeAbs="400" YSizeAbs="300">
        <Skin Name="window">
          <SubControl Class="Framework.ProgressBar" Name="progress" XSizeAbs="300" YSizeAbs="20">
            <Skin Name="progress">
              <SubControl Class="Framework.Panel" Name="activeOverlay" XSizeAbs="300" YSizeAbs="20"/>
              <SubControl Class="Framework.Label" Name="percentCompleteLabel" XSizeAbs="40" YSizeAbs="20"/>
              <SubControl Class="Framework.Label" Name="timeRemainingLabel" XPositionAbs="40" XSizeAbs="260" YSizeAbs="20"/>
            </Skin>
          </SubControl>
        </Skin>
      </SubControl>
    </Skin>
)";

std::string Narrow(const WideString& text)
{
    return std::string(NarrowString(text).GetText());
}

class ProgressBarTest : public svtest::ControlSkinFixture
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(app.mFactory->LoadStringTables(WideString(u"::APP_STRINGS"),
                                                 WideString(u"::FRAMEWORK_STRINGS"), 0x0009),
                  S_OK);
        LoadSkin(kBarSkin);
        ASSERT_TRUE(CreateWindow(u"window"));
        bar = dynamic_cast<LProgressBar*>(root->FindChildControl(u"progress").Get());
        ASSERT_TRUE(bar);
    }

    LControl& Part(const char16_t* name) { return *bar->FindChildControl(name); }
    std::string TimeText() { return Narrow(Part(u"timeRemainingLabel").GetText()); }

    LProgressBar* bar = nullptr;
};

TEST_F(ProgressBarTest, OverlayAndPercentFollowTheValue)
{
    EXPECT_FALSE(Part(u"activeOverlay").IsVisible(false));
    EXPECT_EQ(Narrow(Part(u"percentCompleteLabel").GetText()), "0");
    EXPECT_FALSE(Part(u"timeRemainingLabel").IsVisible(false));

    bar->SetNormalizedValue(0.5);
    EXPECT_TRUE(Part(u"activeOverlay").IsVisible(false));
    EXPECT_EQ(Part(u"activeOverlay").GetRect().width, 150.0);
    EXPECT_EQ(Narrow(Part(u"percentCompleteLabel").GetText()), "50");
    EXPECT_DOUBLE_EQ(bar->NormalizedToValue(bar->GetNormalizedValue()), 50.0);

    bar->SetNormalizedValue(0.0);
    EXPECT_FALSE(Part(u"activeOverlay").IsVisible(false));
    EXPECT_EQ(Narrow(Part(u"percentCompleteLabel").GetText()), "0");
}

TEST_F(ProgressBarTest, RemainingTimeIsWrittenInTheFrameworkWords)
{
    const struct
    {
        int32_t seconds;
        const char* text;
    } cases[] = {
        {3725, "1 Hour 2 Minutes 5 Seconds Remaining"},
        {3600, "1 Hour 0 Minutes 0 Seconds Remaining"},
        {7260, "2 Hours 1 Minute 0 Seconds Remaining"},
        {61, "1 Minute 1 Second Remaining"},
        {45, "45 Seconds Remaining"},
        {1, "1 Second Remaining"},
        {0, "0 Seconds Remaining"},
        {-5, "0 Seconds Remaining"},
    };
    for (const auto& c : cases) {
        bar->SetTimeRemaining(c.seconds);
        EXPECT_EQ(TimeText(), c.text) << c.seconds;
    }
    EXPECT_TRUE(Part(u"timeRemainingLabel").IsVisible(false));
}

TEST_F(ProgressBarTest, EstimateUsesTheAverageRateSinceItBeganAndEndsAtTheEnd)
{
    app.mTime = 100.0;
    bar->SetNormalizedValue(0.2);
    bar->SetEstimating(true);
    app.mTime = 110.0;
    bar->SetNormalizedValue(0.3);
    EXPECT_EQ(TimeText(), "1 Minute 10 Seconds Remaining");

    // No progress, or a clock that stands still, leaves the text alone.
    bar->SetNormalizedValue(0.25);
    EXPECT_EQ(TimeText(), "1 Minute 10 Seconds Remaining");
    bar->SetNormalizedValue(0.3);
    EXPECT_EQ(TimeText(), "1 Minute 10 Seconds Remaining");

    app.mTime = 140.0;
    bar->SetNormalizedValue(1.0);
    EXPECT_EQ(TimeText(), "0 Seconds Remaining");
    EXPECT_FALSE(bar->IsEstimating());
    app.mTime = 150.0;
    bar->SetNormalizedValue(0.5);
    bar->SetNormalizedValue(0.6);
    EXPECT_EQ(TimeText(), "0 Seconds Remaining") << "after the end nothing is estimated";
}

} // namespace
