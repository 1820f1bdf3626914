#include "ControlSkinFixture.h"
#include "Notification/NotificationNames.h"

#include "ControlBase/KeyParam.h"
#include "Controls/Knob.h"
#include "Notification/Notification.h"
#include "Notification/NotificationClient.h"
#include "Notification/NotificationId.h"
#include "ObjectBase/Holder.h"
#include "System/ModifierKeys.h"
#include "Windows/MouseParams.h"

#include <string>
#include <vector>

using namespace SV;

namespace {

// Four frame looks, then the empty slot that ends them.
const char* const kFrameLooks = R"(
    <LookList Name="Frames" NumLooks="5">
      <Look Name="Plain" Index="0"/><Look Name="Plain" Index="1"/>
      <Look Name="Plain" Index="2"/><Look Name="Plain" Index="3"/>
    </LookList>)";

std::string KnobSkin(const std::string& params, const std::string& lookList)
{
    return R"(
    <Skin Name="Default">
      <SubControl Class="Framework.Panel" Name="window" XSizeAbs="400" YSizeAbs="300">
        <Skin Name="window">
          <SubControl Class="Framework.Knob" Name="knob" XPositionAbs="100" YPositionAbs="50" XSizeAbs="40" YSizeAbs="40">
            <Skin Name="knob" LookList=")" +
           lookList + R"("/>
            <CreateParamList>)" +
           params + R"(</CreateParamList>
          </SubControl>
        </Skin>
      </SubControl>
    </Skin>)";
}

class Recorder : public LNotificationClient
{
public:
    void Receive(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                 const ConstRCPtr<LNotification>& notification) override
    {
        std::string name(NarrowString(GetNotificationName(notification->GetId())).GetText());
        if (const auto* flag =
                dynamic_cast<const LHolder<bool>*>(notification->GetPayload().Get())) {
            name += flag->Get() ? "(true)" : "(false)";
        }
        names.push_back(name);
    }
    std::vector<std::string> names;
};

class KnobTest : public svtest::ControlSkinFixture
{
protected:
    void Create(const std::string& params = "", const std::string& lookLists = "")
    {
        LoadSkin(KnobSkin(params, lookLists.empty() ? "Plain" : "Frames"), lookLists);
        ASSERT_TRUE(CreateWindow(u"window"));
        knob = dynamic_cast<LKnob*>(root->FindChildControl(u"knob").Get());
        ASSERT_TRUE(knob);
        recorder = RCPtr<Recorder>(new Recorder());
        for (const char16_t* name :
             {kNidValueChangeCapture, kNidValueChangeKeyDown, kNidValueChangeKeyUp}) {
            recorder->Register(RCPtr<LNotificationDistributor>(knob), name);
        }
    }

    void TearDown() override
    {
        if (recorder) {
            recorder->UnregisterAll();
        }
        svtest::ControlSkinFixture::TearDown();
    }

    int32_t Value() const
    {
        return static_cast<int32_t>(knob->NormalizedToValue(knob->GetNormalizedValue()) + 0.5);
    }

    // A left press that turns into a drag at once, at knob coordinates.
    void Press(int32_t x, int32_t y)
    {
        knob->SetDragThreshold(0);
        knob->OnMouseDown(
            ConstRCPtr<LMouseButtonParam>(new LMouseButtonParam(1, x, y, 0, 0, 1, 0)));
        ASSERT_TRUE(knob->IsDragging(0));
    }
    void Move(int32_t x, int32_t y, uint32_t modifiers = 0)
    {
        knob->OnMouseMove(
            ConstRCPtr<LPointWithModifiersParam>(new LPointWithModifiersParam(x, y, modifiers, 0)));
    }
    void Release(int32_t x, int32_t y)
    {
        knob->OnMouseUp(ConstRCPtr<LMouseButtonParam>(new LMouseButtonParam(1, x, y, 0, 0, 0, 0)));
    }
    int32_t Key(uint32_t virtualKey, bool pressed, uint32_t modifiers = 0)
    {
        return knob->HandleKey(ConstRCPtr<LKeyParam>(
            new LKeyParam(KeyCode(virtualKey, pressed, pressed ? 0 : 1, modifiers), 1)));
    }

    LKnob* knob = nullptr;
    RCPtr<Recorder> recorder;
};

TEST_F(KnobTest, CreateParametersChooseTheGestureAndTheFineMultiplier)
{
    Create(R"(<CreateParam ID="FINE_ADJUST_MULTIPLIER">0.5</CreateParam>)");
    EXPECT_FALSE(knob->IsRadial());
    EXPECT_EQ(knob->GetFineAdjustMultiplier(), 0.5);
    EXPECT_EQ(knob->NormalizedToValue(1.0), 127.0);
}

TEST_F(KnobTest, AZeroMultiplierMeansAQuarterAndAnglesMakeItRadial)
{
    Create(R"(<CreateParam ID="FINE_ADJUST_MULTIPLIER">0</CreateParam>
              <CreateParam ID="RADIAL_GESTURE_START_ANGLE">-135</CreateParam>
              <CreateParam ID="RADIAL_GESTURE_END_ANGLE">135</CreateParam>)");
    EXPECT_EQ(knob->GetFineAdjustMultiplier(), 0.25);
    EXPECT_TRUE(knob->IsRadial());
}

TEST_F(KnobTest, RadialGestureFollowsTheAngleAndSplitsTheGapBetweenTheEnds)
{
    Create(R"(<CreateParam ID="RADIAL_GESTURE_START_ANGLE">225</CreateParam>
              <CreateParam ID="RADIAL_GESTURE_END_ANGLE">135</CreateParam>)");
    // One look covering the knob: the centre is (20, 20).
    knob->ApplyRadialGesture(20, 5);
    EXPECT_DOUBLE_EQ(knob->GetNormalizedValue(), 0.5) << "straight above";
    knob->ApplyRadialGesture(20, 35);
    EXPECT_DOUBLE_EQ(knob->GetNormalizedValue(), 1.0) << "the middle of the gap";
    knob->ApplyRadialGesture(19, 35);
    EXPECT_DOUBLE_EQ(knob->GetNormalizedValue(), 0.0) << "the start's half of the gap";
    knob->ApplyRadialGesture(20, 20);
    EXPECT_DOUBLE_EQ(knob->GetNormalizedValue(), 0.0) << "the centre changes nothing";
}

TEST_F(KnobTest, LinearGestureCancelsTheDiagonalAgainstTheDirectionAlreadyTaken)
{
    Create();
    EXPECT_EQ(knob->GetLinearGestureRange(), 128);
    knob->SetNormalizedValue(knob->ValueToNormalized(64));
    Press(10, 10);
    Move(30, 10);
    EXPECT_EQ(Value(), 84);
    Move(33, 20);
    EXPECT_EQ(Value(), 87) << "after a move right, a down-right step counts as right";
    Release(33, 20);

    knob->SetNormalizedValue(knob->ValueToNormalized(64));
    Press(10, 10);
    Move(13, 20);
    EXPECT_EQ(Value(), 57) << "without it, the step counts as 7 pixels down";
    // Ctrl makes the grid four times finer: four pixels to one step.
    Move(21, 20, kModifierCtrl);
    EXPECT_EQ(Value(), 59);
    Release(21, 20);
    EXPECT_EQ(recorder->names, (std::vector<std::string>{"NID_VALUE_CHANGE_CAPTURE(true)",
                                                         "NID_VALUE_CHANGE_CAPTURE(false)",
                                                         "NID_VALUE_CHANGE_CAPTURE(true)",
                                                         "NID_VALUE_CHANGE_CAPTURE(false)"}));
}

TEST_F(KnobTest, TheValueChoosesTheFrameAndTheFramesFitTheDefaultRange)
{
    Create("", kFrameLooks);
    EXPECT_EQ(knob->GetFrameLookCount(), 4u);
    EXPECT_EQ(knob->GetLinearGestureRange(), 128);
    knob->SetNormalizedValue(1.0);
    EXPECT_EQ(knob->GetFirstActiveLookIndex(), 3);
    knob->SetNormalizedValue(knob->ValueToNormalized(64));
    EXPECT_EQ(knob->GetFirstActiveLookIndex(), 2);
    knob->SetNormalizedValue(0.0);
    EXPECT_EQ(knob->GetFirstActiveLookIndex(), 0);
}

TEST_F(KnobTest, AValueSetDuringADragWaitsForTheRelease)
{
    Create();
    Press(10, 10);
    Move(20, 10);
    const double dragged = knob->GetNormalizedValue();
    EXPECT_EQ(knob->SetNormalizedValue(0.75), dragged);
    EXPECT_EQ(knob->GetNormalizedValue(), dragged);
    Release(20, 10);
    EXPECT_EQ(knob->GetNormalizedValue(), 0.75);
}

TEST_F(KnobTest, ArrowKeysStepAndReportThePressOnceAndTheRelease)
{
    Create();
    knob->SetNormalizedValue(knob->ValueToNormalized(10));
    EXPECT_EQ(Key(0x26, true), 0);
    EXPECT_EQ(Key(0x26, true), 0);
    EXPECT_EQ(Key(0x26, true), 0);
    EXPECT_EQ(Value(), 13);
    EXPECT_EQ(Key(0x26, false), 0);
    EXPECT_EQ(Key(0x26, true, kModifierShift), 1) << "Shift+Up is not the knob's";
    EXPECT_EQ(Key(0x28, true), 0);
    EXPECT_EQ(Value(), 12);
    EXPECT_EQ(Key(0x41, true), 1);
    EXPECT_EQ(recorder->names,
              (std::vector<std::string>{"NID_VALUE_CHANGE_KEY_DOWN", "NID_VALUE_CHANGE_KEY_UP",
                                        "NID_VALUE_CHANGE_KEY_DOWN"}));

    // The wheel steps by one; the ends of the range hold.
    knob->HandleVerticalWheel(ConstRCPtr<LMouseWheelParam>(new LMouseWheelParam(0, 0, 0, 1)));
    EXPECT_EQ(Value(), 13);
    knob->SetNormalizedValue(1.0);
    knob->HandleVerticalWheel(ConstRCPtr<LMouseWheelParam>(new LMouseWheelParam(0, 0, 0, 1)));
    EXPECT_EQ(knob->GetNormalizedValue(), 1.0);
}

} // namespace

namespace {

TEST(KnobWithoutFrames, AKnobWithoutFrameLooksKeepsAWorkingRangeInsteadOfDividingByZero)
{
    const RCPtr<LKnob> knob(new LKnob(nullptr, u"bare"));
    ASSERT_GE(knob->Initialize(), 0);
    ASSERT_EQ(knob->FinishCreate(), S_OK);
    EXPECT_EQ(knob->GetFrameLookCount(), 0u);
    EXPECT_EQ(knob->GetLinearGestureRange(), 128);
    EXPECT_EQ(knob->HandleKey(ConstRCPtr<LKeyParam>(new LKeyParam(KeyCode(0x26, true, 0, 0), 1))),
              0);
    EXPECT_DOUBLE_EQ(knob->GetNormalizedValue(), 1.0 / 127.0);
}

} // namespace
