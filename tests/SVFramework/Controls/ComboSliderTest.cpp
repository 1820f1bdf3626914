#include "ControlSkinFixture.h"
#include "ControlSkins.h"
#include "FakeRootWindow.h"
#include "Notification/NotificationNames.h"
#include "StderrCapture.h"

#include "Controls/ComboSlider.h"
#include "Controls/Slider.h"
#include "Notification/Notification.h"
#include "Notification/NotificationClient.h"
#include "ObjectBase/Exception.h"
#include "System/ModifierKeys.h"
#include "Windows/MouseParams.h"
#include "Windows/RootWindow.h"

#include <string>
#include <vector>

using namespace SV;

namespace {

// A combo slider 60 x 20 at (x, y) whose panel, right below it at the skin's x, holds a slider
// with a horizontal track from x 10 to x 110.
std::string ComboSliderSkin(const char* name, int x, int y, int panelX, int panelWidth,
                            const char* params = "")
{
    return std::string(R"(<SubControl Class="Framework.ComboSlider" Name=")") + name +
           R"(" XPositionAbs=")" + std::to_string(x) + R"(" YPositionAbs=")" + std::to_string(y) +
           R"(" XSizeAbs="60" YSizeAbs="20"><Skin Name=")" + name +
           R"(" LookList="Seven">
             <SubControl Class="Framework.ComboSlider.DropDownPanel" Name="dropDownPanel"
                 ClipToParent="False" XPositionAbs=")" +
           std::to_string(panelX) + R"(" YPositionAbs="20" XSizeAbs=")" +
           std::to_string(panelWidth) + R"(" YSizeAbs="30"><Skin Name="dropDownPanel">
               <SubControl Class="Framework.Slider" Name="slider" XSizeAbs="140" YSizeAbs="30">
                 <Skin Name="slider">
                   <SubControl Class="Framework.Button" Name="thumbStart" XPositionAbs="10" YPositionAbs="5" XSizeAbs="10" YSizeAbs="20"/>
                   <SubControl Class="Framework.Button" Name="thumbEnd" XPositionAbs="110" YPositionAbs="5" XSizeAbs="10" YSizeAbs="20"/>
                 </Skin>
               </SubControl>
             </Skin></SubControl></Skin>)" +
           params + "</SubControl>";
}

// A look that hit testing finds, for the list "Seven" (a look without parts lets the pointer
// through).
const char* const kSolidLook = R"(<Look Name="Solid"><ClientPart Name="Black" OffsetLeft="0"
    OffsetTop="0" OffsetRight="0" OffsetBottom="0"/></Look>)";

std::string Narrow(const WideString& text)
{
    return text.ToNarrow().GetText();
}

// The normalised values of the "NID_VALUE_CHANGE" notifications heard.
class ValueRecorder : public LNotificationClient
{
public:
    void Receive(const ConstRCPtr<LNotificationDistributor>& sender,
                 const ConstRCPtr<LNotification>& /*notification*/) override
    {
        values.push_back(dynamic_cast<const LControl*>(sender.Get())->GetNormalizedValue());
    }
    std::vector<double> values;
};

RCPtr<LMouseButtonParam> Button(int32_t x, int32_t y, int32_t buttons)
{
    return RCPtr<LMouseButtonParam>(new LMouseButtonParam(1, x, y, 0, 0, buttons, 0));
}

class ComboSliderTest : public svtest::ControlSkinFixture
{
protected:
    void SetUp() override
    {
        const std::string skin =
            R"(<Skin Name="Default"><SubControl Class="Framework.Panel" Name="window"
                XSizeAbs="400" YSizeAbs="300"><Skin Name="window">)" +
            ComboSliderSkin("field", 20, 20, 0, 160) + ComboSliderSkin("edge", 300, 20, 0, 160) +
            ComboSliderSkin("wide", 100, 20, -10, 500) +
            ComboSliderSkin("preset", 20, 100, 0, 160,
                            R"(<CreateParamList><CreateParam ID="INITIAL_VALUE">0.25</CreateParam>
                               </CreateParamList>)") +
            R"(<SubControl Class="Framework.ComboSlider" Name="bare" XPositionAbs="200"
                   YPositionAbs="200" XSizeAbs="60" YSizeAbs="20"><Skin Name="bare" LookList="Seven"/>
                 <CreateParamList><CreateParam ID="DEFER_CREATE">true</CreateParam></CreateParamList>
               </SubControl>
            </Skin></SubControl></Skin>)";
        LoadSkin(skin, svtest::RepeatedLookList("Seven", 7, "Solid"), kSolidLook);
        services.active = true;
        services.screenClient = {0, 0, 400, 300};
        window = RCPtr<LRootWindow>(new LRootWindow(nullptr, &services));
        app.mActive = window;
        ASSERT_EQ(window->SetMainControlByName(u"window"), S_OK);
        root = window->GetMainControl();
        field = Find(u"field");
        ASSERT_TRUE(field);
        field->SetValueRange(0.0, 127.0, 0);
        recorder = RCPtr<ValueRecorder>(new ValueRecorder());
        recorder->Register(RCPtr<LNotificationDistributor>(field), kNidValueChange);
    }
    void TearDown() override
    {
        recorder->UnregisterAll();
        window->SetMainControl(nullptr);
        root = nullptr;
        app.mActive = nullptr;
        window = nullptr;
    }
    LComboSlider* Find(const char16_t* name) const
    {
        return dynamic_cast<LComboSlider*>(root->FindChildControl(name).Get());
    }
    static LSlider& SliderOf(const LComboSlider& combo)
    {
        return *dynamic_cast<LSlider*>(combo.FindSlider().Get());
    }
    void Press(int32_t x, int32_t y)
    {
        services.cursor = {x, y};
        services.buttons = kButtonLeft;
        window->OnMouseButton(kButtonPress, kButtonLeft, 0, {x, y}, 0);
    }
    void Release(int32_t x, int32_t y)
    {
        services.cursor = {x, y};
        services.buttons = 0;
        window->OnMouseButton(kButtonRelease, kButtonLeft, 0, {x, y}, 0);
    }
    void MoveTo(int32_t x, int32_t y)
    {
        services.cursor = {x, y};
        window->OnMouseMove({x, y}, 0, 0);
    }

    svtest::FakeWindowServices services;
    LComboSlider* field = nullptr;
    RCPtr<ValueRecorder> recorder;
};

TEST_F(ComboSliderTest, TheValueShowsAsAWholeNumberAndTheSliderHoldsTheSameValue)
{
    struct Case
    {
        double set;
        double value;
        const char* text;
    };
    const Case cases[] = {
        {0.5, 0.5, "64"}, {0.25, 0.25, "32"}, {1.0, 1.0, "127"},
        {-3.0, 0.0, "0"}, {2.0, 1.0, "127"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(field->SetNormalizedValue(c.set), c.value) << c.set;
        EXPECT_EQ(Narrow(field->GetText()), c.text) << c.set;
        EXPECT_EQ(SliderOf(*field).GetNormalizedValue(), c.value) << c.set;
    }
    EXPECT_EQ(recorder->values, (std::vector<double>{0.5, 0.25, 1.0, 0.0, 1.0}))
        << "one change per new value, none for the same value again";
}

TEST_F(ComboSliderTest, DraggingTheSliderUpdatesTheTextAtEveryStep)
{
    Press(30, 30);
    Release(30, 30);
    ASSERT_TRUE(field->IsDroppedDown());
    LSlider& slider = SliderOf(*field);
    LControl& thumb = *slider.GetThumb();
    services.buttons = kButtonLeft;
    thumb.OnMouseDown(Button(5, 5, 1));
    const std::vector<std::pair<int32_t, const char*>> steps = {
        {25, "32"}, {50, "64"}, {100, "127"}, {150, "127"}};
    for (const auto& [x, text] : steps) {
        const double at = thumb.GetRect().x;
        thumb.OnMouseMove(RCPtr<LPointWithModifiersParam>(
            new LPointWithModifiersParam(int32_t(10 + x - at + 5), 5, 0, 0)));
        EXPECT_EQ(Narrow(field->GetText()), text) << x;
        EXPECT_EQ(field->GetNormalizedValue(), slider.GetNormalizedValue()) << x;
    }
    thumb.OnMouseUp(Button(5, 5, 0));
    services.buttons = 0;
    EXPECT_EQ(recorder->values, (std::vector<double>{0.25, 0.5, 1.0}))
        << "one change from the field per change of the slider";
    EXPECT_EQ(field->GetNormalizedValue(), 1.0);
}

TEST_F(ComboSliderTest, ThePanelOpensAtItsSkinPositionMovedLeftToStayInsideTheWindow)
{
    struct Case
    {
        const char16_t* name;
        double rootX;
    };
    const Case cases[] = {
        {u"field", 20.0}, // at the skin's position
        {u"edge", 240.0}, // ends at the window's right edge
        {u"wide", 0.0},   // wider than the window: from its left edge
    };
    for (const Case& c : cases) {
        LComboSlider* combo = Find(c.name);
        ASSERT_TRUE(combo);
        EXPECT_FALSE(combo->GetDropDownPanel()->IsVisible(false)) << "hidden until opened";
        EXPECT_EQ(combo->SetDroppedDown(true), S_OK);
        EXPECT_TRUE(combo->IsDroppedDown());
        const PointT<double> at = combo->GetDropDownPanel()->GetPositionInRoot();
        EXPECT_EQ(at.x, c.rootX) << Narrow(c.name);
        EXPECT_EQ(at.y, 40.0) << "the skin's vertical position";
        EXPECT_EQ(combo->SetDroppedDown(false), S_OK);
        EXPECT_FALSE(combo->IsDroppedDown());
    }
    // Moving the field along and opening it again starts over from the skin's position.
    LComboSlider* edge = Find(u"edge");
    LayoutPositionSpec position;
    LayoutSpec size;
    edge->GetLayout()->GetAxisSpec(LLayoutDescriptor::kAxisX, position, size);
    position.absolute = 100.0;
    edge->SetLayoutSpec(LLayoutDescriptor::kAxisX, position, size);
    edge->SetDroppedDown(true);
    EXPECT_EQ(edge->GetDropDownPanel()->GetPositionInRoot().x, 100.0);
}

TEST_F(ComboSliderTest, APressOpensAndClosesThePanelAndTheLooksFollowTheState)
{
    // The window gave the first field the focus.
    LComboSlider* edge = Find(u"edge");
    EXPECT_EQ(edge->ShowStateLook(), LComboSlider::kLookNormal);
    MoveTo(310, 30);
    EXPECT_EQ(edge->GetFirstActiveLookIndex(), LComboSlider::kLookHover);
    EXPECT_EQ(field->ShowStateLook(), LComboSlider::kLookFocused);

    MoveTo(30, 30);
    EXPECT_EQ(field->GetFirstActiveLookIndex(), LComboSlider::kLookHoverFocused);
    Press(30, 30);
    EXPECT_TRUE(field->IsDroppedDown());
    EXPECT_EQ(field->GetFirstActiveLookIndex(), LComboSlider::kLookOpenHover);
    Release(30, 30);
    MoveTo(300, 250);
    EXPECT_EQ(field->GetFirstActiveLookIndex(), LComboSlider::kLookOpen);
    MoveTo(30, 30);
    Press(30, 30);
    Release(30, 30);
    EXPECT_FALSE(field->IsDroppedDown()) << "a press on the open field only closes it";
    EXPECT_EQ(field->GetFirstActiveLookIndex(), LComboSlider::kLookHoverFocused);
    MoveTo(300, 250);
    EXPECT_EQ(field->GetFirstActiveLookIndex(), LComboSlider::kLookFocused);

    // Disabled shows its look whatever the state, for the field or an ancestor.
    field->SetDroppedDown(true);
    field->SetEnabled(false);
    EXPECT_EQ(field->GetFirstActiveLookIndex(), LComboSlider::kLookDisabled);
    field->SetEnabled(true);
    root->SetEnabled(false);
    EXPECT_EQ(field->ShowStateLook(), LComboSlider::kLookDisabled);
}

TEST_F(ComboSliderTest, ASkinValueReachesTheSliderToo)
{
    LComboSlider* preset = Find(u"preset");
    ASSERT_TRUE(preset);
    EXPECT_EQ(preset->GetNormalizedValue(), 0.25);
    EXPECT_EQ(SliderOf(*preset).GetNormalizedValue(), 0.25);
}

TEST_F(ComboSliderTest, WithoutAPanelTheFieldOnlyShowsItsValue)
{
    // Made here, so that the report of its creation is heard.
    svtest::StderrCapture capture;
    const LControlDescriptor::Children& children = root->GetControlDescriptor()->GetChildren();
    ASSERT_EQ((*children.At(4))->GetName(), WideString(u"bare"));
    auto* bare =
        dynamic_cast<LComboSlider*>(app.mFactory->CreateControl(root, *children.At(4)).Get());
    ASSERT_TRUE(bare);
    EXPECT_NE(capture.Text().find("Combo slider bare has no dropDownPanel"), std::string::npos)
        << capture.Text();

    EXPECT_FALSE(bare->GetDropDownPanel());
    EXPECT_EQ(bare->SetDroppedDown(true), E_FAIL);
    EXPECT_FALSE(bare->IsDroppedDown());
    Press(210, 210);
    Release(210, 210);
    EXPECT_FALSE(bare->IsDroppedDown());
    bare->SetValueRange(0.0, 10.0, 0);
    EXPECT_EQ(bare->SetNormalizedValue(0.37), 0.37);
    EXPECT_EQ(Narrow(bare->GetText()), "4");

    const RCPtr<LComboSlider> unmade(new LComboSlider(nullptr, u"unmade"));
    EXPECT_EQ(unmade->SetNormalizedValue(0.5), 0.5);
    EXPECT_EQ(unmade->SetDroppedDown(true), E_FAIL);
    EXPECT_FALSE(unmade->IsDroppedDown());
}

using ComboSliderPartsTest = svtest::ControlSkinFixture;

TEST_F(ComboSliderPartsTest, APanelWithoutASliderIsReported)
{
    LoadSkin(R"(
    <Skin Name="Default">
      <SubControl Class="Framework.Panel" Name="window" XSizeAbs="400" YSizeAbs="300">
        <Skin Name="window">
          <SubControl Class="Framework.ComboSlider" Name="field" XSizeAbs="60" YSizeAbs="20">
            <Skin Name="field">
              <SubControl Class="Framework.ComboSlider.DropDownPanel" Name="dropDownPanel" YPositionAbs="20" XSizeAbs="160" YSizeAbs="30"/>
            </Skin>
          </SubControl>
        </Skin>
      </SubControl>
    </Skin>)");
    EXPECT_EQ(
        WindowCreationError().rfind("Runtime Error : Null Pointer : Can not find child slider : "
                                    "SV::LComboSlider::Initialize : Controls\\ComboSlider : Line ",
                                    0),
        0u);
}

} // namespace
