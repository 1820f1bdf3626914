#include "ControlSkinFixture.h"

#include "ControlBase/KeyParam.h"
#include "Windows/RootWindow.h"

#include <string>

using namespace SV;

namespace {

// Two groups in a window: the first holds a box (a panel with a text box and a button that takes
// no focus) and a button, the second one button.
const char* const kSkin = R"(
    <Skin Name="Default">
      <SubControl Class="Framework.Panel" Name="window" XSizeAbs="400" YSizeAbs="300">
        <Skin Name="window">
          <SubControl Class="Framework.Panel" Name="first" XSizeAbs="200" YSizeAbs="100" TabStop="0">
            <Skin Name="first">
              <SubControl Class="Framework.Panel" Name="box" XSizeAbs="100" YSizeAbs="20" TabStop="0">
                <Skin Name="box">
                  <SubControl Class="Framework.TextBox" Name="text" XSizeAbs="80" YSizeAbs="20" TabStop="0"/>
                  <SubControl Class="Framework.Button" Name="arrow" XPositionAbs="80" XSizeAbs="20" YSizeAbs="20" TabStop="1">
                    <CreateParamList><CreateParam ID="NOT_FOCUSABLE">true</CreateParam></CreateParamList>
                  </SubControl>
                </Skin>
              </SubControl>
              <SubControl Class="Framework.Button" Name="one" YPositionAbs="40" XSizeAbs="80" YSizeAbs="20" TabStop="1"/>
            </Skin>
          </SubControl>
          <SubControl Class="Framework.Panel" Name="second" YPositionAbs="120" XSizeAbs="200" YSizeAbs="100" TabStop="1">
            <Skin Name="second">
              <SubControl Class="Framework.Button" Name="two" XSizeAbs="80" YSizeAbs="20" TabStop="0"/>
            </Skin>
          </SubControl>
        </Skin>
      </SubControl>
    </Skin>)";

class PanelTest : public svtest::ControlSkinFixture
{
protected:
    void SetUp() override
    {
        LoadSkin(kSkin);
        ASSERT_TRUE(CreateWindow(u"window"));
    }
    RCPtr<LControl> Find(const char16_t* group, const char16_t* name)
    {
        RCPtr<LControl> control = root->FindChildControl(group);
        return control ? control->FindChildControl(name) : nullptr;
    }
    void Press(uint32_t code)
    {
        window->OnKey(ConstRCPtr<LKeyParam>(new LKeyParam(KeyCode::FromWords(code, 0, 0), 1)));
    }
};

constexpr uint32_t kTab = 0x20090000u;
constexpr uint32_t kShiftTab = 0x22090000u;
constexpr uint32_t kCtrlTab = 0x21090000u;

TEST_F(PanelTest, TabLeavesANestedPanelForTheControlAfterItAndTheTopPanelWrapsAround)
{
    const RCPtr<LControl> text = Find(u"first", u"box")->FindChildControl(u"text");
    const RCPtr<LControl> one = Find(u"first", u"one");
    const RCPtr<LControl> two = Find(u"second", u"two");
    ASSERT_TRUE(text && one && two);
    const struct
    {
        const RCPtr<LControl>* from;
        uint32_t key;
        const RCPtr<LControl>* to;
    } steps[] = {
        {&text, kTab, &one},      // out of the box past its button that takes no focus
        {&one, kTab, &two},       // out of the first group into the second
        {&two, kTab, &text},      // the window wraps around to its first control
        {&text, kShiftTab, &two}, // and back
        {&two, kShiftTab, &one},  {&one, kShiftTab, &text},
        {&text, kCtrlTab, &one}, // Ctrl+Tab goes to what follows the box in its group
        {&one, kCtrlTab, &two},  // and from the group to the next group
    };
    for (const auto& step : steps) {
        (*step.from)->SetFocus(true);
        ASSERT_TRUE((*step.from)->HasFocus()) << (*step.from)->GetName().ToNarrow().GetText();
        Press(step.key);
        EXPECT_TRUE((*step.to)->HasFocus())
            << (*step.from)->GetName().ToNarrow().GetText() << " " << std::hex << step.key;
    }
}

} // namespace
