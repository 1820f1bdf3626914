#include "ControlSkinFixture.h"
#include "Notification/NotificationNames.h"

#include "ControlBase/KeyParam.h"
#include "Controls/Button.h"
#include "Notification/Notification.h"
#include "Notification/NotificationClient.h"
#include "Notification/NotificationId.h"
#include "Windows/MouseParams.h"

#include <string>
#include <vector>

using namespace SV;

namespace {

const char* const kLookLists = R"(<LookList Name="States" NumLooks="14">LOOKS</LookList>)";

const char* const kButtonSkin = R"(
    <Skin Name="Default">
      <SubControl Class="Framework.Panel" Name="window" XSizeAbs="400" YSizeAbs="300">
        <Skin Name="window">
          <SubControl Class="Framework.Button" Name="plain" XSizeAbs="40" YSizeAbs="20">
            <Skin Name="plain" LookList="States"/>
          </SubControl>
          <SubControl Class="Framework.Button" Name="toggle" YPositionAbs="30" XSizeAbs="40" YSizeAbs="20">
            <Skin Name="toggle" LookList="States"/>
            <CreateParamList><CreateParam ID="AUTO_VALUE_SET">TRUE</CreateParam></CreateParamList>
          </SubControl>
          <SubControl Class="Framework.Panel" Name="group" YPositionAbs="60" XSizeAbs="200" YSizeAbs="40">
            <Skin Name="group">
              <SubControl Class="Framework.Button" Name="a" XSizeAbs="40" YSizeAbs="20">
                <Skin Name="a" LookList="States"/>
                <CreateParamList><CreateParam ID="AUTO_VALUE_SET">true</CreateParam>
                  <CreateParam ID="IS_RADIO">true</CreateParam></CreateParamList>
              </SubControl>
              <SubControl Class="Framework.Button" Name="b" XPositionAbs="50" XSizeAbs="40" YSizeAbs="20">
                <Skin Name="b" LookList="States"/>
                <CreateParamList><CreateParam ID="AUTO_VALUE_SET">true</CreateParam>
                  <CreateParam ID="IS_RADIO">true</CreateParam></CreateParamList>
              </SubControl>
              <SubControl Class="Framework.Button" Name="other" XPositionAbs="100" XSizeAbs="40" YSizeAbs="20">
                <Skin Name="other" LookList="States"/>
                <CreateParamList><CreateParam ID="IS_RADIO">yes</CreateParam></CreateParamList>
              </SubControl>
            </Skin>
          </SubControl>
        </Skin>
      </SubControl>
    </Skin>
)";

class Recorder : public LNotificationClient
{
public:
    void Receive(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                 const ConstRCPtr<LNotification>& notification) override
    {
        names.push_back(
            std::string(NarrowString(GetNotificationName(notification->GetId())).GetText()));
    }
    std::vector<std::string> names;
};

// Opens the condition flags of a button so that each look can be asked for directly.
class ProbeButton : public LButton
{
public:
    ProbeButton() : LButton(nullptr, u"probe") {}
    void Set(bool over, bool capture, bool dragging, bool focus)
    {
        mPointerOver = over;
        mCapture = capture;
        mDragging[0] = dragging;
        mHasFocus = focus;
    }
};

class ButtonTest : public svtest::ControlSkinFixture
{
protected:
    void SetUp() override
    {
        std::string lists(kLookLists);
        lists.replace(lists.find("LOOKS"), 5,
                      "<Look Name=\"Plain\" Index=\"0\"/><Look Name=\"Plain\" Index=\"1\"/><Look "
                      "Name=\"Plain\" Index=\"2\"/><Look Name=\"Plain\" Index=\"3\"/><Look "
                      "Name=\"Plain\" Index=\"4\"/><Look Name=\"Plain\" Index=\"5\"/><Look "
                      "Name=\"Plain\" Index=\"6\"/><Look Name=\"Plain\" Index=\"7\"/><Look "
                      "Name=\"Plain\" Index=\"8\"/><Look Name=\"Plain\" Index=\"9\"/><Look "
                      "Name=\"Plain\" Index=\"10\"/><Look Name=\"Plain\" Index=\"11\"/><Look "
                      "Name=\"Plain\" Index=\"12\"/><Look Name=\"Plain\" Index=\"13\"/>");
        LoadSkin(kButtonSkin, lists);
        ASSERT_TRUE(CreateWindow(u"window"));
        recorder = RCPtr<Recorder>(new Recorder());
    }
    void TearDown() override
    {
        recorder->UnregisterAll();
        svtest::ControlSkinFixture::TearDown();
    }

    LButton& Button(const char16_t* name, const char16_t* group = nullptr)
    {
        LControl* parent = group ? root->FindChildControl(group).Get() : root.Get();
        return *dynamic_cast<LButton*>(parent->FindChildControl(name).Get());
    }
    void Listen(LButton& button)
    {
        for (const char16_t* name : {kNidButtonAutoRepeat, kNidLeftClick, kNidValueChange}) {
            recorder->Register(RCPtr<LNotificationDistributor>(&button), name);
        }
    }
    static ConstRCPtr<LMouseButtonParam> Left(int32_t buttons)
    {
        return ConstRCPtr<LMouseButtonParam>(new LMouseButtonParam(1, 5, 5, 0, 0, buttons, 0));
    }
    static ConstRCPtr<LKeyParam> Return()
    {
        return ConstRCPtr<LKeyParam>(new LKeyParam(KeyCode(0x0D, true, 0, 0), 1));
    }

    RCPtr<Recorder> recorder;
};

TEST(ButtonLooks, TheStateChoosesOneOfFourteenLooks)
{
    const RCPtr<ProbeButton> button(new ProbeButton());
    const struct
    {
        bool over, capture, dragging, focus, checked, keepPressed;
        int32_t look;
    } cases[] = {
        {false, false, false, false, false, false, 0},
        {true, false, false, false, false, false, 1},
        {true, true, false, false, false, false, 0}, // pressed but not yet moved
        {true, true, true, false, false, false, 2},
        {false, true, true, false, false, false, 1}, // dragged off
        {false, true, true, false, false, true, 2},  // a thumb keeps its pressed look
        {false, false, false, true, false, false, 3},
        {true, false, false, true, false, false, 4},
        {true, true, true, true, false, false, 5},
        {false, false, false, false, true, false, 7},
        {true, false, false, false, true, false, 8},
        {true, true, true, false, true, false, 9},
        {false, false, false, true, true, false, 10},
        {true, false, false, true, true, false, 11},
        {true, true, true, true, true, false, 12},
    };
    for (const auto& c : cases) {
        button->Set(c.over, c.capture, c.dragging, c.focus);
        button->SetKeepPressed(c.keepPressed);
        button->SetNormalizedValue(c.checked ? 1.0 : 0.0);
        EXPECT_EQ(button->ComputeStateLook(), c.look) << "case for look " << c.look;
    }
    button->SetPassThrough(true);
    EXPECT_EQ(button->ComputeStateLook(), -1);
    EXPECT_FALSE(button->ContainsPoint({0, 0}));
}

TEST_F(ButtonTest, DisabledLooksAndNoSimulatedClickWhileDisabled)
{
    LButton& plain = Button(u"plain");
    Listen(plain);
    plain.SetEnabled(false);
    EXPECT_EQ(plain.GetFirstActiveLookIndex(), 6);
    plain.SetChecked(true);
    EXPECT_EQ(plain.GetFirstActiveLookIndex(), 13);
    LControl::SendNotificationToReceiver(&plain, kNidSimulateClick, nullptr);
    EXPECT_FALSE(plain.IsSimulatedClickPending());
}

TEST_F(ButtonTest, ToggleClicksFlipAtHalfAndRadioButtonsCheckOnlyOneOfTheirGroup)
{
    LButton& toggle = Button(u"toggle");
    EXPECT_TRUE(toggle.IsAutoValueSet());
    toggle.SetNormalizedValue(0.5);
    toggle.OnLeftClick(Left(0));
    EXPECT_EQ(toggle.GetNormalizedValue(), 0.0);
    toggle.SetNormalizedValue(0.49);
    toggle.OnLeftClick(Left(0));
    EXPECT_EQ(toggle.GetNormalizedValue(), 1.0);

    LButton& a = Button(u"a", u"group");
    LButton& b = Button(u"b", u"group");
    LButton& other = Button(u"other", u"group");
    EXPECT_TRUE(a.IsRadio());
    EXPECT_FALSE(other.IsRadio()) << "only the text true switches a flag on";
    other.SetChecked(true);
    Listen(a);
    a.OnLeftClick(Left(0));
    EXPECT_TRUE(a.IsChecked());
    a.OnLeftClick(Left(0));
    EXPECT_TRUE(a.IsChecked()) << "a radio button is not unchecked by clicking it";
    EXPECT_EQ(recorder->names,
              (std::vector<std::string>{"NID_VALUE_CHANGE", "NID_LEFT_CLICK", "NID_LEFT_CLICK"}));
    EXPECT_TRUE(b.SetChecked(true));
    EXPECT_FALSE(a.IsChecked());
    EXPECT_TRUE(other.IsChecked()) << "a button that is no radio button keeps its value";
}

TEST_F(ButtonTest, AutoRepeatStepsAtThePressThenAfterTheDelayThenEveryInterval)
{
    LButton& arrow = Button(u"plain");
    arrow.SetAutoRepeat(true);
    Listen(arrow);
    app.mTime = 10.0;
    arrow.OnMouseEnter();
    arrow.OnMouseDown(Left(1));
    EXPECT_TRUE(arrow.IsHeld());
    EXPECT_EQ(recorder->names.size(), 1u);
    const struct
    {
        double time;
        size_t repeats;
    } passes[] = {{10.29, 1}, {10.31, 2}, {10.40, 2}, {10.42, 3}, {10.53, 4}};
    for (const auto& pass : passes) {
        app.mTime = pass.time;
        arrow.OnIdle();
        EXPECT_EQ(recorder->names.size(), pass.repeats) << pass.time;
    }
    // Off the button the count pauses, and resumes where it stopped.
    arrow.OnMouseLeave();
    app.mTime = 11.0;
    arrow.OnIdle();
    EXPECT_EQ(recorder->names.size(), 4u);
    arrow.OnMouseEnter();
    app.mTime = 11.05;
    arrow.OnIdle();
    EXPECT_EQ(recorder->names.size(), 4u);
    app.mTime = 11.11;
    arrow.OnIdle();
    EXPECT_EQ(recorder->names.size(), 5u);

    arrow.OnMouseUp(Left(0));
    EXPECT_FALSE(arrow.IsHeld());
    EXPECT_EQ(recorder->names.back(), "NID_LEFT_CLICK");
    app.mTime = 12.0;
    arrow.OnIdle();
    EXPECT_EQ(recorder->names.size(), 6u);
}

TEST_F(ButtonTest, ReturnPressesForAMomentAndASecondReturnClicksTheFirstAtOnce)
{
    LButton& plain = Button(u"plain");
    Listen(plain);
    app.mTime = 1.0;
    EXPECT_EQ(plain.HandleKey(Return()), 0);
    EXPECT_EQ(plain.GetFirstActiveLookIndex(), 2);
    EXPECT_TRUE(recorder->names.empty());
    app.mTime = 1.1;
    plain.OnIdle();
    EXPECT_TRUE(recorder->names.empty());
    EXPECT_EQ(plain.HandleKey(Return()), 0);
    EXPECT_EQ(recorder->names, (std::vector<std::string>{"NID_LEFT_CLICK"}));
    app.mTime = 1.2;
    plain.OnIdle();
    EXPECT_EQ(recorder->names.size(), 1u);
    app.mTime = 1.26;
    plain.OnIdle();
    EXPECT_EQ(recorder->names.size(), 2u);
    EXPECT_FALSE(plain.IsSimulatedClickPending());
    EXPECT_NE(plain.GetFirstActiveLookIndex(), 2);
    EXPECT_EQ(plain.HandleKey(ConstRCPtr<LKeyParam>(new LKeyParam(KeyCode(0x0D, true, 0, 1), 1))),
              1)
        << "Ctrl+Return is not the button's";
}

} // namespace
