#include "ControlSkinFixture.h"
#include "Notification/NotificationNames.h"

#include "Controls/Button.h"
#include "Controls/TabControl.h"
#include "Notification/Notification.h"
#include "Notification/NotificationClient.h"
#include "Windows/MouseParams.h"

#include <string>
#include <vector>

using namespace SV;

namespace {

// Three tabs whose tab order (TabStop) differs from their child order: "second" comes first.
std::string TabSkin(int32_t pages)
{
    std::string pageControls;
    for (int32_t page = 1; page <= pages; ++page) {
        pageControls += "<SubControl Class=\"Framework.Panel\" Name=\"page" + std::to_string(page) +
                        "\" XSizeAbs=\"300\" YSizeAbs=\"200\"/>";
    }
    return R"(
    <Skin Name="Default">
      <SubControl Class="Framework.Panel" Name="window" XSizeAbs="400" YSizeAbs="300">
        <Skin Name="window">
          <SubControl Class="Framework.TabControl" Name="tabs" XSizeAbs="300" YSizeAbs="250">
            <Skin Name="tabs">
              <SubControl Class="Framework.Panel" Name="buttonHolder" XSizeAbs="300" YSizeAbs="20">
                <Skin Name="buttonHolder">
                  <SubControl Class="Framework.Button" Name="first" TabStop="2" XSizeAbs="50" YSizeAbs="20"/>
                  <SubControl Class="Framework.Button" Name="second" TabStop="1" XPositionAbs="50" XSizeAbs="50" YSizeAbs="20"/>
                  <SubControl Class="Framework.Button" Name="third" TabStop="3" XPositionAbs="100" XSizeAbs="50" YSizeAbs="20"/>
                </Skin>
              </SubControl>
              <SubControl Class="Framework.Panel" Name="pageHolder" YPositionAbs="20" XSizeAbs="300" YSizeAbs="230">
                <Skin Name="pageHolder">)" +
           pageControls + R"(</Skin>
              </SubControl>
            </Skin>
          </SubControl>
        </Skin>
      </SubControl>
    </Skin>)";
}

class SelectionRecorder : public LNotificationClient
{
public:
    void Receive(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                 const ConstRCPtr<LNotification>& notification) override
    {
        pages.push_back(dynamic_cast<const LControl*>(notification->GetPayload().Get()));
    }
    std::vector<const LControl*> pages;
};

class TabControlTest : public svtest::ControlSkinFixture
{
protected:
    void Create(int32_t pages)
    {
        LoadSkin(TabSkin(pages));
        ASSERT_TRUE(CreateWindow(u"window"));
        tabs = dynamic_cast<LTabControl*>(root->FindChildControl(u"tabs").Get());
        ASSERT_TRUE(tabs);
        recorder = RCPtr<SelectionRecorder>(new SelectionRecorder());
        recorder->Register(RCPtr<LNotificationDistributor>(tabs), kNidTabSelected);
    }
    void TearDown() override
    {
        if (recorder) {
            recorder->UnregisterAll();
        }
        svtest::ControlSkinFixture::TearDown();
    }
    std::vector<bool> Shown() const
    {
        std::vector<bool> shown;
        for (uint32_t index = 0; index < tabs->GetTabCount(); ++index) {
            const RCPtr<LControl> page = tabs->GetPageAt(index);
            shown.push_back(page && page->IsVisible(false));
        }
        return shown;
    }

    LTabControl* tabs = nullptr;
    RCPtr<SelectionRecorder> recorder;
};

TEST_F(TabControlTest, TheFirstTabOfTheTabOrderIsSelectedAndAClickShowsItsPage)
{
    Create(3);
    EXPECT_EQ(tabs->GetSelectedTabName(), WideString(u"second"));
    EXPECT_EQ(Shown(), (std::vector<bool>{false, true, false}));
    EXPECT_EQ(tabs->GetTabButtonAt(0)->GetName(), WideString(u"first"));

    tabs->GetTabButton(WideString(u"third"))
        ->OnLeftClick(ConstRCPtr<LMouseButtonParam>(new LMouseButtonParam(1, 1, 1, 0, 0, 0, 0)));
    EXPECT_EQ(Shown(), (std::vector<bool>{false, false, true}));
    ASSERT_EQ(recorder->pages.size(), 1u);
    EXPECT_EQ(recorder->pages[0], tabs->GetPageAt(2).Get());
    EXPECT_EQ(tabs->GetSelectedTabIndex(), 2);

    EXPECT_EQ(tabs->GetTabIndex(WideString(u"page1")), -1) << "pages are not tabs";
    EXPECT_EQ(tabs->SelectTabAt(3), E_FAIL);
    EXPECT_EQ(tabs->GetSelectedTabIndex(), 2);
}

TEST_F(TabControlTest, AnUnknownNameHidesEveryPageAndANewSkinKeepsThePage)
{
    Create(3);
    EXPECT_EQ(tabs->SelectTab(WideString(u"first")), S_OK);
    EXPECT_EQ(Shown(), (std::vector<bool>{true, false, false}));
    tabs->ApplyDescriptor(tabs->GetControlDescriptor());
    EXPECT_EQ(Shown(), (std::vector<bool>{true, false, false}));

    EXPECT_EQ(tabs->SelectTab(WideString(u"nothing")), S_OK);
    EXPECT_EQ(Shown(), (std::vector<bool>{false, false, false}));
    EXPECT_EQ(recorder->pages.back(), nullptr);
    EXPECT_FALSE(tabs->GetSelectedPage());
}

TEST_F(TabControlTest, FewerPagesThanTabsLeaveTheTabWithoutAPageEmpty)
{
    Create(2);
    EXPECT_EQ(tabs->SelectTab(WideString(u"third")), S_OK);
    EXPECT_EQ(Shown(), (std::vector<bool>{false, false, false}));
    EXPECT_FALSE(tabs->GetPage(WideString(u"third")));
    EXPECT_FALSE(tabs->GetPageAt(2));
}

} // namespace
