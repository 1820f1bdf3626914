#include "ControlSkinFixture.h"
#include "ControlSkins.h"
#include "Notification/NotificationNames.h"

#include "Controls/LevelMeter.h"
#include "Notification/NotificationClient.h"
#include "Notification/NotificationId.h"
#include "Windows/MouseParams.h"

#include <vector>

using namespace SV;

namespace {

// A vertical meter whose peak mark runs from y 90 (peak 0) up to y 10 (peak 1), and a
// horizontal one without a peak end (so without a peak mark).
const std::string kMeterSkin = svtest::WindowSkin(R"(
          <SubControl Class="Framework.LevelMeter" Name="vertical" XSizeAbs="20" YSizeAbs="100">
            <Skin Name="vertical">
              <SubControl Class="Framework.Panel" Name="activeOverlay" XSizeAbs="20" YSizeAbs="100"/>
              <SubControl Class="Framework.Panel" Name="clipButton" XSizeAbs="20" YSizeAbs="5"/>
              <SubControl Class="Framework.Panel" Name="peakLo" YPositionAbs="90" XSizeAbs="20" YSizeAbs="2"/>
              <SubControl Class="Framework.Panel" Name="peakHi" YPositionAbs="10" XSizeAbs="20" YSizeAbs="2"/>
            </Skin>
          </SubControl>
          <SubControl Class="Framework.LevelMeter" Name="horizontal" YPositionAbs="200" XSizeAbs="200" YSizeAbs="20">
            <Skin Name="horizontal">
              <SubControl Class="Framework.Panel" Name="activeOverlay" XSizeAbs="200" YSizeAbs="20"/>
              <SubControl Class="Framework.Panel" Name="clipButton" XSizeAbs="5" YSizeAbs="20"/>
              <SubControl Class="Framework.Panel" Name="peakLo" XSizeAbs="2" YSizeAbs="20"/>
            </Skin>
          </SubControl>
)");

class CountingClient : public LNotificationClient
{
public:
    void Receive(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                 const ConstRCPtr<LNotification>& /*notification*/) override
    {
        ++count;
    }
    int32_t count = 0;
};

class LevelMeterTest : public svtest::ControlSkinFixture
{
protected:
    void SetUp() override
    {
        LoadSkin(kMeterSkin);
        ASSERT_TRUE(CreateWindow(u"window"));
        vertical = dynamic_cast<LLevelMeter*>(root->FindChildControl(u"vertical").Get());
        horizontal = dynamic_cast<LLevelMeter*>(root->FindChildControl(u"horizontal").Get());
        ASSERT_TRUE(vertical && horizontal);
    }

    static LControl& Part(LLevelMeter* meter, const char16_t* name)
    {
        return *meter->FindChildControl(name);
    }

    LLevelMeter* vertical = nullptr;
    LLevelMeter* horizontal = nullptr;
};

TEST_F(LevelMeterTest, OverlayCoversWhatTheLevelLeavesDarkAndHidesBelowOnePixel)
{
    LControl& overlay = Part(vertical, u"activeOverlay");
    // At level 0 the vertical overlay covers the whole meter; the horizontal one is empty.
    EXPECT_TRUE(overlay.IsVisible(false));
    EXPECT_EQ(overlay.GetRect().height, 100.0);
    EXPECT_FALSE(Part(horizontal, u"activeOverlay").IsVisible(false));
    vertical->SetLevel(0.25, 0.0);
    EXPECT_TRUE(overlay.IsVisible(false));
    EXPECT_EQ(overlay.GetRect().height, 75.0);
    vertical->SetLevel(1.0, 0.0);
    EXPECT_FALSE(overlay.IsVisible(false));

    LControl& bar = Part(horizontal, u"activeOverlay");
    horizontal->SetLevel(0.5, 0.0);
    EXPECT_TRUE(bar.IsVisible(false));
    EXPECT_EQ(bar.GetRect().width, 100.0);
    horizontal->SetLevel(0.002, 0.0);
    EXPECT_FALSE(bar.IsVisible(false));
    EXPECT_DOUBLE_EQ(horizontal->GetNormalizedValue(), 0.002);
}

TEST_F(LevelMeterTest, PeakMarkMovesBetweenItsEndsAndAValueFromOutsideHidesIt)
{
    LControl& peak = Part(vertical, u"peakLo");
    vertical->SetLevel(0.3, 0.5);
    EXPECT_TRUE(peak.IsVisible(false));
    EXPECT_EQ(peak.GetLayout()->axes[1].position.absolute, -40.0);
    vertical->SetLevel(0.3, 0.0);
    EXPECT_FALSE(peak.IsVisible(false));

    vertical->SetLevel(0.3, 1.0);
    ASSERT_TRUE(peak.IsVisible(false));
    vertical->SetNormalizedValue(0.6);
    EXPECT_FALSE(peak.IsVisible(false));
    EXPECT_EQ(Part(vertical, u"activeOverlay").GetRect().height, 40.0);

    // Without "peakHi" the horizontal meter shows no peak at all.
    horizontal->SetLevel(0.5, 0.8);
    EXPECT_FALSE(Part(horizontal, u"peakLo").IsVisible(false));
}

TEST_F(LevelMeterTest, UnlatchedClipLightIsLitExactlyForCallsWithANewClipState)
{
    const int32_t states[] = {0, 1, 1, 2, 2, 2, 3};
    const bool lit[] = {false, true, false, true, false, false, true};
    for (size_t call = 0; call < std::size(states); ++call) {
        vertical->SetLevel(0.5, 0.0, states[call]);
        EXPECT_EQ(vertical->IsClipLit(), lit[call]) << "call " << call;
    }
    EXPECT_EQ(vertical->GetClipState(), 3);
}

TEST_F(LevelMeterTest, LatchedClipLightStaysLitUntilClickedAndReportsTheUnlatchOnce)
{
    const RCPtr<CountingClient> unlatched(new CountingClient());
    unlatched->Register(RCPtr<LNotificationDistributor>(vertical), kNidClipLightUnlatched);
    ASSERT_EQ(vertical->SetClipLatch(true), S_OK);
    vertical->SetLevel(0.5, 0.0, 7);
    vertical->SetLevel(0.5, 0.0, 7);
    vertical->SetLevel(0.5, 0.0, 7);
    EXPECT_TRUE(vertical->IsClipLit());

    LControl& light = Part(vertical, u"clipButton");
    const ConstRCPtr<LMouseButtonParam> click(new LMouseButtonParam(1, 1, 1, 0, 0, 0, 0));
    light.OnLeftClick(click);
    EXPECT_FALSE(vertical->IsClipLit());
    EXPECT_EQ(unlatched->count, 1);
    light.OnLeftClick(click);
    EXPECT_EQ(unlatched->count, 1) << "a click on a dark light says nothing";

    // Unlatched again, clicks are no longer heard.
    vertical->SetLevel(0.5, 0.0, 8);
    ASSERT_EQ(vertical->SetClipLatch(false), S_OK);
    EXPECT_FALSE(vertical->IsClipLit());
    vertical->SetLevel(0.5, 0.0, 9);
    light.OnLeftClick(click);
    EXPECT_EQ(unlatched->count, 1);
    unlatched->UnregisterAll();
}

using LevelMeterPartsTest = svtest::ControlSkinFixture;

TEST_F(LevelMeterPartsTest, MissingRequiredPartIsReportedAndAMeterWithoutPartsStaysInert)
{
    LoadSkin(svtest::WindowSkin(
        svtest::SubControl("Framework.LevelMeter", "meter", R"(XSizeAbs="20" YSizeAbs="100")",
                           svtest::SubControl("Framework.Panel", "activeOverlay",
                                              R"(XSizeAbs="20" YSizeAbs="100")"))));
    EXPECT_EQ(WindowCreationError().rfind(
                  "Runtime Error : Null Pointer : Can not find child clipButton : "
                  "SV::LLevelMeter::Initialize : Controls\\LevelMeter : Line ",
                  0),
              0u);

    const RCPtr<LLevelMeter> bare(new LLevelMeter(nullptr, u"bare"));
    EXPECT_EQ(bare->SetLevel(0.5, 0.5, 1), S_OK);
    EXPECT_EQ(bare->SetClipLatch(true), E_FAIL);
    EXPECT_FALSE(bare->IsClipLit());
}

} // namespace
