#include "ControlSkinFixture.h"
#include "ControlSkins.h"
#include "Notification/NotificationNames.h"
#include "RecordingWindowServices.h"

#include "ControlBase/KeyParam.h"
#include "Controls/Button.h"
#include "Controls/Slider.h"
#include "Notification/Notification.h"
#include "Notification/NotificationClient.h"
#include "Notification/NotificationId.h"
#include "ObjectBase/Holder.h"
#include "Windows/MouseParams.h"

#include <cmath>
#include <string>
#include <vector>

using namespace SV;

namespace {

// A horizontal track from x 10 to x 110, a diagonal one from (0, 0) to (100, 50) and a
// zero-size slider whose markers coincide, as the editor's up-downs hold them.
const std::string kSliderSkin = svtest::WindowSkin(R"(
          <SubControl Class="Framework.Slider" Name="horizontal" XPositionAbs="10" YPositionAbs="10" XSizeAbs="140" YSizeAbs="30">
            <Skin Name="horizontal" LookList="Slider">
              <SubControl Class="Framework.Button" Name="thumbStart" XPositionAbs="10" YPositionAbs="5" XSizeAbs="10" YSizeAbs="20"/>
              <SubControl Class="Framework.Button" Name="thumbEnd" XPositionAbs="110" YPositionAbs="5" XSizeAbs="10" YSizeAbs="20"/>
            </Skin>
          </SubControl>
          <SubControl Class="Framework.Slider" Name="diagonal" YPositionAbs="100" XSizeAbs="120" YSizeAbs="70">
            <Skin Name="diagonal">
              <SubControl Class="Framework.Button" Name="thumbStart" XSizeAbs="10" YSizeAbs="10"/>
              <SubControl Class="Framework.Button" Name="thumbEnd" XPositionAbs="100" YPositionAbs="50" XSizeAbs="10" YSizeAbs="10"/>
            </Skin>
          </SubControl>
          <SubControl Class="Framework.Slider" Name="zero" XPositionAbs="200" XSizeAbs="0" YSizeAbs="0">
            <Skin Name="zero">
              <SubControl Class="Framework.Button" Name="thumbStart" XSizeAbs="0" YSizeAbs="0"/>
              <SubControl Class="Framework.Button" Name="thumbEnd" XSizeAbs="0" YSizeAbs="0"/>
            </Skin>
          </SubControl>
)");

class Recorder : public LNotificationClient
{
public:
    void Receive(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                 const ConstRCPtr<LNotification>& notification) override
    {
        std::string name(NarrowString(GetNotificationName(notification->GetId())).GetText());
        const LRefCountedObject* payload = notification->GetPayload().Get();
        if (const auto* flag = dynamic_cast<const LHolder<bool>*>(payload)) {
            name += flag->Get() ? "(true)" : "(false)";
        } else if (payload == nullptr) {
            name += "()";
        }
        names.push_back(name);
    }
    std::vector<std::string> names;
};

RCPtr<LMouseButtonParam> Button(int32_t x, int32_t y, int32_t buttons)
{
    return RCPtr<LMouseButtonParam>(new LMouseButtonParam(1, x, y, 0, 0, buttons, 0));
}

RCPtr<LPointWithModifiersParam> Point(double x, double y)
{
    return RCPtr<LPointWithModifiersParam>(
        new LPointWithModifiersParam(static_cast<int32_t>(x), static_cast<int32_t>(y), 0, 0));
}

class SliderTest : public svtest::ControlSkinFixture
{
protected:
    void SetUp() override
    {
        LoadSkin(kSliderSkin, svtest::RepeatedLookList("Slider", 3));
        services.active = true;
        // The user holds the left button through every press the tests make.
        services.buttons = 1;
        window = RCPtr<LRootWindow>(new LRootWindow(nullptr, &services));
        window->SetWindowRect({0, 0, 400, 300});
        app.mActive = window;
        root = app.mFactory->CreateRootControl(u"window", window);
        ASSERT_TRUE(root);
        window->SetMainControl(root);
        horizontal = Find(u"horizontal");
        diagonal = Find(u"diagonal");
        zero = Find(u"zero");
        ASSERT_TRUE(horizontal && diagonal && zero);
        recorder = RCPtr<Recorder>(new Recorder());
        for (const char16_t* name :
             {kNidValueChangeCapture, kNidValueChangeKeyDown, kNidValueChangeKeyUp}) {
            recorder->Register(RCPtr<LNotificationDistributor>(horizontal), name);
        }
    }

    void TearDown() override
    {
        recorder->UnregisterAll();
        svtest::ControlSkinFixture::TearDown();
        root = nullptr;
        app.mActive = nullptr;
        window = nullptr;
    }

    LSlider* Find(const char16_t* name) const
    {
        return dynamic_cast<LSlider*>(root->FindChildControl(name).Get());
    }

    static PointT<double> ThumbAt(LSlider* slider)
    {
        const RectT<double>& rect = slider->GetThumb()->GetRect();
        return {rect.x, rect.y};
    }

    // Presses the thumb at (5, 5) of its own and drags it so that its corner would go to `to`
    // (slider coordinates).
    static void DragThumbTo(LSlider* slider, const PointT<double>& to)
    {
        LControl& thumb = *slider->GetThumb();
        if (!slider->IsThumbDragged()) {
            thumb.OnMouseDown(Button(5, 5, 1));
        }
        const PointT<double> at = ThumbAt(slider);
        thumb.OnMouseMove(Point(to.x - at.x + 5, to.y - at.y + 5));
    }

    int32_t Key(uint32_t virtualKey, bool pressed, uint32_t modifiers = 0)
    {
        return horizontal->HandleKey(ConstRCPtr<LKeyParam>(
            new LKeyParam(KeyCode(virtualKey, pressed, pressed ? 0 : 1, modifiers), 1)));
    }

    double Value(LSlider* slider) const
    {
        return slider->NormalizedToValue(slider->GetNormalizedValue());
    }

    svtest::RecordingWindowServices services;
    LSlider* horizontal = nullptr;
    LSlider* diagonal = nullptr;
    LSlider* zero = nullptr;
    RCPtr<Recorder> recorder;
};

TEST_F(SliderTest, TheThumbLooksLikeTheStartMarkerAndStandsWhereTheValueSays)
{
    auto* thumb = dynamic_cast<LButton*>(horizontal->GetThumb().Get());
    ASSERT_TRUE(thumb);
    EXPECT_TRUE(thumb->IsVisible(false));
    EXPECT_EQ(thumb->GetRect().width, 10.0);
    EXPECT_EQ(thumb->GetRect().height, 20.0);
    EXPECT_FALSE(horizontal->FindChildControl(u"thumbStart")->IsVisible(false));
    EXPECT_FALSE(horizontal->FindChildControl(u"thumbEnd")->IsVisible(false));
    EXPECT_EQ(horizontal->NormalizedToValue(1.0), 127.0);
    EXPECT_EQ(horizontal->GetHotSpot().x, 5);
    EXPECT_EQ(horizontal->GetHotSpot().y, 10);

    EXPECT_EQ(ThumbAt(horizontal).x, 10.0);
    horizontal->SetNormalizedValue(0.25);
    EXPECT_EQ(ThumbAt(horizontal).x, 35.0);
    EXPECT_EQ(ThumbAt(horizontal).y, 5.0);
    diagonal->SetNormalizedValue(0.5);
    EXPECT_EQ(ThumbAt(diagonal).x, 50.0);
    EXPECT_EQ(ThumbAt(diagonal).y, 25.0);
}

TEST_F(SliderTest, ADraggedThumbFollowsThePointerAndAnOutsideValueWinsAtTheRelease)
{
    DragThumbTo(horizontal, {60.0, 5.0});
    ASSERT_TRUE(horizontal->IsThumbDragged());
    EXPECT_EQ(ThumbAt(horizontal).x, 60.0);
    EXPECT_DOUBLE_EQ(horizontal->GetNormalizedValue(), 0.5);

    DragThumbTo(horizontal, {200.0, 40.0});
    EXPECT_EQ(ThumbAt(horizontal).x, 110.0) << "pinned at the end marker";
    EXPECT_EQ(ThumbAt(horizontal).y, 5.0) << "a horizontal track keeps the thumb's y";
    EXPECT_DOUBLE_EQ(horizontal->GetNormalizedValue(), 1.0);

    EXPECT_DOUBLE_EQ(horizontal->SetNormalizedValue(0.2), 1.0);
    EXPECT_DOUBLE_EQ(horizontal->SetNormalizedValue(0.3), 1.0);
    EXPECT_EQ(ThumbAt(horizontal).x, 110.0);
    horizontal->GetThumb()->OnMouseUp(Button(5, 5, 0));
    EXPECT_FALSE(horizontal->IsThumbDragged());
    EXPECT_DOUBLE_EQ(horizontal->GetNormalizedValue(), 0.3);
    EXPECT_EQ(ThumbAt(horizontal).x, 40.0);
    EXPECT_EQ(recorder->names, (std::vector<std::string>{"NID_VALUE_CHANGE_CAPTURE(true)",
                                                         "NID_VALUE_CHANGE_CAPTURE(false)"}));
}

TEST_F(SliderTest, ADiagonalTrackTakesTheFootOfThePerpendicularWithinTheMarkers)
{
    struct Case
    {
        PointT<double> pointer;
        PointT<double> thumb;
    };
    const Case cases[] = {
        {{50.0, 0.0}, {40.0, 20.0}},
        {{0.0, 50.0}, {20.0, 10.0}},
        {{200.0, -50.0}, {100.0, 50.0}},
        {{-40.0, -40.0}, {0.0, 0.0}},
    };
    for (const Case& c : cases) {
        const PointT<double> projected = diagonal->ProjectOntoTrack(c.pointer);
        EXPECT_EQ(projected.x, c.thumb.x) << c.pointer.x << "," << c.pointer.y;
        EXPECT_EQ(projected.y, c.thumb.y) << c.pointer.x << "," << c.pointer.y;
    }
    DragThumbTo(diagonal, {50.0, 0.0});
    EXPECT_EQ(ThumbAt(diagonal).x, 40.0);
    EXPECT_EQ(ThumbAt(diagonal).y, 20.0);
    EXPECT_NEAR(diagonal->GetNormalizedValue(), 0.4, 1e-12);
    diagonal->GetThumb()->OnMouseUp(Button(5, 5, 0));
}

TEST_F(SliderTest, HoldingTheTrackPagesTowardsThePointerAndStopsThere)
{
    // The pointer 50 pixels beyond the thumb's corner, aimed with the hot spot (5, 10).
    services.cursor = {10 + 65, 10 + 15};
    horizontal->OnMouseEnter();
    app.mTime = 5.0;
    horizontal->OnMouseDown(Button(65, 15, 1));
    ASSERT_TRUE(horizontal->IsPaging());
    EXPECT_EQ(horizontal->GetIdleRequests(), 1);
    EXPECT_DOUBLE_EQ(horizontal->GetNormalizedValue(), 0.0) << "the press alone does not page";

    struct Pass
    {
        double time;
        double value;
    };
    // 0.3 s to the first page, then one every 0.1 s, up to the pointer at 0.5.
    for (const Pass& pass : {Pass{5.29, 0.0}, Pass{5.31, 0.1}, Pass{5.42, 0.2}, Pass{5.53, 0.3},
                             Pass{5.64, 0.4}, Pass{5.75, 0.5}, Pass{5.86, 0.5}}) {
        app.mTime = pass.time;
        horizontal->OnIdle();
        EXPECT_NEAR(horizontal->GetNormalizedValue(), pass.value, 1e-12) << pass.time;
    }
    horizontal->OnMouseUp(Button(65, 15, 0));
    EXPECT_FALSE(horizontal->IsPaging());
    EXPECT_EQ(horizontal->GetIdleRequests(), 0);
    EXPECT_DOUBLE_EQ(horizontal->GetNormalizedValue(), 0.5) << "the click reaches no further";

    // A click before the thumb pages back by one page.
    horizontal->OnMouseDown(Button(15, 15, 1));
    horizontal->OnMouseUp(Button(15, 15, 0));
    EXPECT_NEAR(horizontal->GetNormalizedValue(), 0.4, 1e-12);
}

TEST_F(SliderTest, ArrowKeysStepByOneAndReportTheirUseOnce)
{
    horizontal->SetFocusable(false);
    ASSERT_GE(horizontal->SetFocus(true), 0);
    EXPECT_EQ(horizontal->GetLookAlpha(LSlider::kLookFocused), 1.0f);

    EXPECT_EQ(Key(0x27, true), 0);
    EXPECT_EQ(Key(0x27, true), 0);
    EXPECT_EQ(Key(0x26, true), 0);
    EXPECT_DOUBLE_EQ(Value(horizontal), 3.0);
    EXPECT_EQ(Key(0x27, false), 0);
    EXPECT_EQ(Key(0x28, true), 0);
    EXPECT_DOUBLE_EQ(Value(horizontal), 2.0);
    EXPECT_EQ(Key(0x28, true, KeyCode::kLeftShift), 1) << "only bare arrows step";
    EXPECT_EQ(Key(0x41, true), 1);
    // One key step moves the thumb by 1/127 of the track.
    EXPECT_EQ(ThumbAt(horizontal).x, 10.0 + std::round(100.0 * 2.0 / 127.0));

    horizontal->OnFocusLost();
    EXPECT_EQ(horizontal->GetLookAlpha(LSlider::kLookNormal), 1.0f);
    EXPECT_FALSE(horizontal->IsKeyHeld());
    EXPECT_EQ(recorder->names,
              (std::vector<std::string>{"NID_VALUE_CHANGE_KEY_DOWN", "NID_VALUE_CHANGE_KEY_UP",
                                        "NID_VALUE_CHANGE_KEY_DOWN", "NID_VALUE_CHANGE_KEY_UP()"}));

    horizontal->SetEnabled(false);
    EXPECT_EQ(horizontal->GetLookAlpha(LSlider::kLookDisabled), 1.0f);
}

TEST_F(SliderTest, KeysReachTheSliderThroughTheWindowWhileItsThumbHoldsTheFocus)
{
    horizontal->SetFocusable(false);
    ASSERT_GE(horizontal->SetFocus(true), 0);
    ASSERT_EQ(window->GetFocusedControl().Get(), horizontal->GetThumb().Get());
    EXPECT_EQ(horizontal->GetLookAlpha(LSlider::kLookFocused), 1.0f) << "the focus is within";
    window->OnKey(CreateKeyParam(KeyCode(0x27, true, 0, 0), 1));
    window->OnKey(CreateKeyParam(KeyCode(0x27, false, 1, 0), 1));
    EXPECT_DOUBLE_EQ(Value(horizontal), 1.0);
    EXPECT_EQ(recorder->names,
              (std::vector<std::string>{"NID_VALUE_CHANGE_KEY_DOWN", "NID_VALUE_CHANGE_KEY_UP"}));
}

TEST_F(SliderTest, TheWheelStepsByOneInValueUnits)
{
    struct Case
    {
        int32_t direction;
        double value;
    };
    horizontal->SetNormalizedValue(horizontal->ValueToNormalized(10.0));
    for (const Case& c : {Case{1, 11.0}, Case{0, 10.0}, Case{3, 11.0}, Case{2, 10.0}}) {
        const RCPtr<LMouseWheelParam> wheel(new LMouseWheelParam(0, 0, 0, c.direction));
        const int32_t used = c.direction < 2 ? horizontal->HandleVerticalWheel(wheel)
                                             : horizontal->HandleHorizontalWheel(wheel);
        EXPECT_EQ(used, 0);
        EXPECT_DOUBLE_EQ(Value(horizontal), c.value) << c.direction;
    }
}

TEST_F(SliderTest, ATrackOfLengthZeroMapsNoPositionToAValue)
{
    EXPECT_EQ(zero->GetTrackLength(), 0.0);
    zero->SetNormalizedValue(0.5);
    EXPECT_EQ(ThumbAt(zero).x, 0.0);
    DragThumbTo(zero, {3.0, 3.0});
    zero->GetThumb()->OnMouseUp(Button(5, 5, 0));
    zero->PageTowards({50.0, 0.0});
    EXPECT_DOUBLE_EQ(zero->GetNormalizedValue(), 0.5);
    EXPECT_FALSE(std::isnan(zero->GetNormalizedValue()));
}

TEST_F(SliderTest, OnlyTheThumbMayBeAttachedWithoutADescription)
{
    const RCPtr<LControl> stranger(new LButton(nullptr, u"stranger"));
    EXPECT_EQ(horizontal->AttachChild(stranger, nullptr), E_FAIL);
    EXPECT_FALSE(horizontal->FindChildControl(u"stranger"));

    // A thumb given back takes the start marker's description again.
    horizontal->GetThumb()->Detach();
    const RCPtr<LControl> thumb(new LButton(nullptr, u"thumb"));
    EXPECT_GE(horizontal->AttachChild(thumb, nullptr), 0);
    EXPECT_EQ(thumb->GetParent().Get(), static_cast<LControl*>(horizontal));
    EXPECT_TRUE(thumb->IsVisible(false));
    EXPECT_EQ(thumb->GetRect().width, 10.0);
    EXPECT_EQ(thumb->GetRect().height, 20.0);
}

using SliderPartsTest = svtest::ControlSkinFixture;

TEST_F(SliderPartsTest, AMissingMarkerIsReportedAndASliderWithoutPartsStaysInert)
{
    LoadSkin(svtest::WindowSkin(svtest::SubControl(
        "Framework.Slider", "slider", R"(XSizeAbs="100" YSizeAbs="20")",
        svtest::SubControl("Framework.Button", "thumbStart", R"(XSizeAbs="10" YSizeAbs="20")"))));
    EXPECT_EQ(
        WindowCreationError().rfind("Runtime Error : Null Pointer : Can not find child thumbEnd : "
                                    "SV::LSlider::Initialize : Controls\\Slider : Line ",
                                    0),
        0u);

    const RCPtr<LSlider> bare(new LSlider(nullptr, u"bare"));
    bare->SetValueRange(0.0, 127.0, 0);
    EXPECT_DOUBLE_EQ(bare->SetNormalizedValue(0.5), 0.5);
    bare->PageTowards({10.0, 10.0});
    bare->UpdateThumb();
    bare->OnIdle();
    EXPECT_EQ(bare->HandleKey(ConstRCPtr<LKeyParam>(new LKeyParam(KeyCode(0x27, true, 0, 0), 1))),
              0);
    EXPECT_DOUBLE_EQ(bare->GetNormalizedValue(), bare->ValueToNormalized(64.5));
}

} // namespace
