#include "ControlSkinFixture.h"

#include "ControlBase/KeyParam.h"
#include "Controls/ToolTip.h"
#include "FakeRootWindow.h"
#include "Windows/MouseParams.h"
#include "Windows/RootWindow.h"

#include <string>

using namespace SV;

namespace {

// A 1200 x 720 window: "owner" (top left) shows its tip also for its parts, which have no text
// of their own; "other" (top right) has a tip; "long" (bottom left) a tip wider than the window;
// "silent" (bottom right) none.
const char* const kSkin = R"(
    <Skin Name="Default">
      <SubControl Class="Framework.Panel" Name="window" XSizeAbs="1200" YSizeAbs="720">
        <Skin Name="window">
          <SubControl Class="Framework.Panel" Name="owner" XSizeAbs="600" YSizeAbs="360">
            <Skin Name="owner" LookList="Solid">
              <SubControl Class="Framework.Panel" Name="part" XSizeAbs="50" YSizeAbs="50">
                <Skin Name="part" LookList="Solid"/>
                <CreateParamList><CreateParam ID="USE_PARENT_TOOLTIP"> TRUE </CreateParam></CreateParamList>
              </SubControl>
              <SubControl Class="Framework.Panel" Name="part2" XPositionAbs="60" XSizeAbs="50" YSizeAbs="50">
                <Skin Name="part2" LookList="Solid"/>
                <CreateParamList><CreateParam ID="USE_PARENT_TOOLTIP">true</CreateParam></CreateParamList>
              </SubControl>
            </Skin>
          </SubControl>
          <SubControl Class="Framework.Panel" Name="other" XPositionAbs="600" XSizeAbs="600" YSizeAbs="360">
            <Skin Name="other" LookList="Solid"/>
          </SubControl>
          <SubControl Class="Framework.Panel" Name="long" YPositionAbs="360" XSizeAbs="600" YSizeAbs="360">
            <Skin Name="long" LookList="Solid"/>
          </SubControl>
          <SubControl Class="Framework.Panel" Name="silent" XPositionAbs="600" YPositionAbs="360" XSizeAbs="600" YSizeAbs="360">
            <Skin Name="silent" LookList="Solid"/>
          </SubControl>
        </Skin>
      </SubControl>
      <SubControl Class="Framework.ToolTip" Name="toolTip" ClipToParent="False" Z_Order="9999"
                  XPositionToControl="Active Window" XPositionAbs="240" YPositionToControl="Active Window" YPositionAbs="100"
                  TextOverflowXType="Expand" TextOverflowYType="Expand" IsVisible="True">
        <Skin Name="toolTip" LookList="Tip"/>
      </SubControl>
    </Skin>
)";

// Opaque looks, so that hit testing finds the controls; the tip's look has a text area 2 pixels
// in from every edge.
const char* const kLooks = R"(<Look Name="Solid"><ClientPart Name="Black" OffsetLeft="0"
    OffsetTop="0" OffsetRight="0" OffsetBottom="0"/></Look><Look Name="Tip"><ClientPart
    Name="Black" OffsetLeft="0" OffsetTop="0" OffsetRight="0" OffsetBottom="0"/><TextProperties
    TextLeftRel="0" TextLeftAbs="2" TextRightRel="1" TextRightAbs="-2" TextHAlign="0"
    TextTopRel="0" TextTopAbs="2" TextBottomRel="1" TextBottomAbs="-2" TextVAlign="0.5"
    TextForegroundPart="Black"/></Look>)";
const char* const kLookLists = R"(<LookList Name="Solid" NumLooks="1"><Look Name="Solid"
    Index="0"/></LookList><LookList Name="Tip" NumLooks="1"><Look Name="Tip" Index="0"/>
    </LookList>)";

std::string Strings()
{
    return R"(<Solvane_StringTable_Definitions>
  <Application Name="PresetEditor">
    <StringTable ID="Framework.Panel|owner">
      <String ID="TOOLTIP"><Locale LCID="0x0009">owner tip</Locale></String>
    </StringTable>
    <StringTable ID="Framework.Panel|other">
      <String ID="TOOLTIP"><Locale LCID="0x0009">other tip</Locale></String>
    </StringTable>
    <StringTable ID="Framework.Panel|long">
      <String ID="TOOLTIP"><Locale LCID="0x0009">)" +
           std::string(200, 'x') + R"(</Locale></String>
    </StringTable>
  </Application>
</Solvane_StringTable_Definitions>
)";
}

class ToolTipTest : public svtest::ControlSkinFixture
{
protected:
    void SetUp() override
    {
        const std::string strings = Strings();
        ASSERT_EQ(app.mFactory->LoadStringTableTexts(strings, {}, 0x0009), S_OK);
        LoadSkin(kSkin, kLookLists, kLooks);
        services.active = true;
        services.screenClient = {0, 0, 1200, 720};
        window = RCPtr<LRootWindow>(new LRootWindow(nullptr, &services));
        app.mActive = window;
        ASSERT_EQ(window->SetMainControlByName(u"window"), S_OK);
        root = window->GetMainControl();
        ASSERT_TRUE(root);
    }
    void TearDown() override
    {
        window->SetMainControl(nullptr);
        root = nullptr;
        app.mActive = nullptr;
        window = nullptr;
    }

    // Each test runs on a clock of its own, far from every other test's tips.
    void At(double seconds) { app.mTime = seconds; }
    void MoveTo(int32_t x, int32_t y)
    {
        services.cursor = {x, y};
        window->OnMouseMove({x, y}, 0, 0);
    }
    void IdleAt(double seconds)
    {
        At(seconds);
        window->SendIdle();
    }
    LControl& Child(const char16_t* name) { return *root->FindChildControl(name); }
    LToolTip* TipOf(const char16_t* owner)
    {
        return dynamic_cast<LToolTip*>(Child(owner).FindChildControl(u"toolTip").Get());
    }
    PointT<double> Corner(LToolTip* tip) { return tip->GetPositionInRoot(); }

    svtest::FakeWindowServices services;
};

TEST_F(ToolTipTest, ShowsOnTheFirstIdlePassAfterHalfASecondAndGoesAwayAfterFiveSeconds)
{
    At(100.0);
    MoveTo(100, 100);
    LToolTip* tip = TipOf(u"owner");
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(tip->GetState(), LToolTip::kStatePending);
    EXPECT_FALSE(tip->IsVisible(false));
    EXPECT_TRUE(tip->GetText().EqualsText(u"owner tip"));
    EXPECT_TRUE(tip->IsNotFocusable());

    IdleAt(100.5);
    EXPECT_FALSE(tip->IsVisible(false)) << "500 ms is not more than the delay";
    MoveTo(130, 140); // the same owner: nothing changes, the tip stays placed by the first point
    IdleAt(100.501);
    ASSERT_TRUE(tip->IsVisible(false));
    EXPECT_EQ(Corner(tip), (PointT<double>{130.0, 160.0}));

    IdleAt(105.501);
    EXPECT_TRUE(tip->IsVisible(false));
    const RCPtr<LToolTip> kept(tip);
    IdleAt(105.502);
    EXPECT_EQ(kept->GetState(), LToolTip::kStateIdle);
    EXPECT_FALSE(kept->IsVisible(false));
    // Gone from the owner after the owner's next idle pass, and not back while the pointer stays.
    IdleAt(105.6);
    EXPECT_FALSE(Child(u"owner").FindChildControl(u"toolTip"));
    MoveTo(140, 140);
    IdleAt(107.0);
    EXPECT_FALSE(Child(u"owner").FindChildControl(u"toolTip"));
}

TEST_F(ToolTipTest, MovingStraightFromAVisibleTipShowsTheNextAtOnceButNotFromAPendingOne)
{
    At(200.0);
    MoveTo(100, 100);
    IdleAt(200.6);
    ASSERT_TRUE(TipOf(u"owner")->IsVisible(false));
    MoveTo(700, 100);
    LToolTip* other = TipOf(u"other");
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->GetState(), LToolTip::kStateShown);
    EXPECT_TRUE(other->IsVisible(false));
    EXPECT_EQ(Corner(other), (PointT<double>{700.0, 120.0}));

    // From a tip that never showed the next one waits the whole delay.
    At(300.0);
    MoveTo(700, 500); // no owner: the visible tip goes
    At(301.0);
    MoveTo(100, 400);
    ASSERT_EQ(TipOf(u"long")->GetState(), LToolTip::kStatePending);
    At(301.1);
    MoveTo(10, 10);
    EXPECT_EQ(TipOf(u"owner")->GetState(), LToolTip::kStatePending);
}

TEST_F(ToolTipTest, TipIsPlacedBelowThePointerAndPushedBackInsideTheWindow)
{
    At(400.0);
    MoveTo(10, 10); // over "part", which shows its parent's tip
    IdleAt(400.6);
    LToolTip* tip = TipOf(u"owner");
    ASSERT_TRUE(tip && tip->IsVisible(false));
    EXPECT_EQ(Corner(tip), (PointT<double>{10.0, 30.0}));
    // Between parts of the same owner the one tip stays.
    MoveTo(70, 10);
    EXPECT_EQ(TipOf(u"owner"), tip);
    EXPECT_EQ(tip->GetState(), LToolTip::kStateShown);

    services.cursor = {1190, 710};
    tip->PlaceNearPointer();
    const double w = tip->GetRect().width;
    const double h = tip->GetRect().height;
    ASSERT_GT(w, 0.0);
    EXPECT_EQ(Corner(tip), (PointT<double>{1200.0 - w, 720.0 - h}));
}

TEST_F(ToolTipTest, TextWiderThanTheWindowIsLimitedToItsWidthLessEightAndStartsAtTheLeft)
{
    At(500.0);
    MoveTo(300, 500);
    IdleAt(500.6);
    LToolTip* tip = TipOf(u"long");
    ASSERT_TRUE(tip && tip->IsVisible(false));
    EXPECT_EQ(tip->GetRect().width, 1192.0);
    EXPECT_EQ(Corner(tip).x, 8.0);
}

TEST_F(ToolTipTest, InputHidesTheTipUntilThePointerReachesAnotherOwner)
{
    At(600.0);
    MoveTo(100, 100);
    IdleAt(600.6);
    ASSERT_TRUE(TipOf(u"owner")->IsVisible(false));
    window->OnKey(ConstRCPtr<LKeyParam>(new LKeyParam(KeyCode::FromWords(0x20410000, 0, 0), 1)));
    EXPECT_FALSE(TipOf(u"owner")->IsVisible(false));
    IdleAt(600.7);
    MoveTo(110, 110);
    IdleAt(602.0);
    EXPECT_FALSE(Child(u"owner").FindChildControl(u"toolTip"));

    // Over a control without a text, no owner: and back on the owner, a new tip.
    MoveTo(700, 500);
    EXPECT_FALSE(window->GetToolTipOwner());
    EXPECT_FALSE(Child(u"silent").FindChildControl(u"toolTip"));
    MoveTo(100, 100);
    ASSERT_NE(TipOf(u"owner"), nullptr);
}

TEST_F(ToolTipTest, NoTipWhileAControlHoldsThePointerCapture)
{
    At(700.0);
    services.cursor = {700, 100};
    window->OnMouseMove({700, 100}, 0, 0);
    window->SetCaptureControl(RCPtr<LControl>(&Child(u"silent")));
    MoveTo(100, 100);
    EXPECT_FALSE(window->GetToolTipOwner());
    EXPECT_FALSE(Child(u"owner").FindChildControl(u"toolTip"));
    window->ReleaseCaptureControl();
}

} // namespace
