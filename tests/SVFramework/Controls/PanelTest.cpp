#include "ControlSkinFixture.h"
#include "Notification/NotificationNames.h"

#include "ControlBase/KeyParam.h"
#include "Notification/Notification.h"
#include "Notification/NotificationClient.h"
#include "Windows/RootWindow.h"

#include <string>
#include <vector>

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

// Takes the keys handed out on a panel's "NID_SIBLING_KEY" that it is told to take, and notes
// every key it is offered.
class SiblingKeyTaker : public LNotificationClient
{
public:
    explicit SiblingKeyTaker(uint32_t takes) : mTakes(takes) {}
    void Receive(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                 const ConstRCPtr<LNotification>& notification) override
    {
        auto* key = const_cast<LSiblingKeyParam*>(
            dynamic_cast<const LSiblingKeyParam*>(notification->GetPayload().Get()));
        ASSERT_NE(key, nullptr);
        offered.push_back(key->mKey.GetCode());
        if (key->mKey.GetCode() == mTakes) {
            key->mResult = 0;
        }
    }
    std::vector<uint32_t> offered;

private:
    uint32_t mTakes;
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

namespace {

TEST_F(PanelTest, AKeyNoControlUsesClimbsThroughThePanelsAndReachesTheOtherGroupsKeyTakers)
{
    const uint32_t f5 = PressedVirtualKey(VK_F1 + 4);
    const uint32_t f6 = PressedVirtualKey(VK_F1 + 5);
    const RCPtr<LControl> second = root->FindChildControl(u"second");
    const RCPtr<LControl> box = Find(u"first", u"box");
    ASSERT_TRUE(second && box);
    const RCPtr<SiblingKeyTaker> inSecond(new SiblingKeyTaker(f5));
    const RCPtr<SiblingKeyTaker> inBox(new SiblingKeyTaker(0));
    inSecond->Register(RCPtr<LNotificationDistributor>(second), kNidSiblingKey);
    inBox->Register(RCPtr<LNotificationDistributor>(box), kNidSiblingKey);

    // From the text box in the first group: the box and the first group pass the key on, the
    // window hands it to its groups and the second group to what listens inside it.
    box->FindChildControl(u"text")->SetFocus(true);
    Press(f5);
    EXPECT_EQ(inBox->offered, std::vector<uint32_t>{f5});
    EXPECT_EQ(inSecond->offered, std::vector<uint32_t>{f5});

    // From the second group's button: the first group hands the key down into its box.
    Find(u"second", u"two")->SetFocus(true);
    Press(f6);
    EXPECT_EQ(inBox->offered, (std::vector<uint32_t>{f5, f6}));
    EXPECT_EQ(inSecond->offered, (std::vector<uint32_t>{f5, f6}));

    inSecond->UnregisterAll();
    inBox->UnregisterAll();
}

} // namespace
