#include "ControlSkinFixture.h"
#include "Notification/NotificationNames.h"

#include "Controls/StatusBar.h"
#include "Notification/Notification.h"
#include "ObjectBase/StringWrapper.h"

#include <string>
#include <thread>

using namespace SV;

namespace {

const char* const kBarSkin = R"(
    <Skin Name="Default">
      <SubControl Class="Framework.Panel" Name="window" XSizeAbs="400" YSizeAbs="300">
        <Skin Name="window">
          <SubControl Class="Framework.StatusBar" Name="status" YPositionAbs="280" XSizeAbs="400" YSizeAbs="20">
            <Skin Name="status">
              <SubControl Class="Framework.Label" Name="label1" XSizeAbs="400" YSizeAbs="20"/>
            </Skin>
          </SubControl>
        </Skin>
      </SubControl>
    </Skin>
)";

const char* const kStrings = R"(<Solvane_StringTable_Definitions>
  <Application Name="PresetEditor">
    <StringTable ID="Framework.StatusBar|label1">
      <String ID="LABEL"><Locale LCID="0x0009">Ready</Locale></String>
    </StringTable>
  </Application>
</Solvane_StringTable_Definitions>
)";

std::string Narrow(const WideString& text)
{
    return std::string(NarrowString(text).GetText());
}

class StatusBarTest : public svtest::ControlSkinFixture
{
protected:
    void SetUp() override
    {
        const std::string strings(kStrings);
        ASSERT_EQ(app.mFactory->LoadStringTableTexts(strings, {}, 0x0009), S_OK);
        LoadSkin(kBarSkin);
        ASSERT_TRUE(CreateWindow(u"window"));
        bar = dynamic_cast<LStatusBar*>(root->FindChildControl(u"status").Get());
        ASSERT_TRUE(bar);
        label = bar->FindChildControl(u"label1").Get();
    }

    std::string Shown() const { return Narrow(label->GetText()); }

    LStatusBar* bar = nullptr;
    LControl* label = nullptr;
};

TEST_F(StatusBarTest, OnlyTheNewestOfTheTextsPostedFromAnotherThreadIsShownAtIdle)
{
    std::thread poster([this] {
        for (const char16_t* text : {u"one", u"two", u"three"}) {
            EXPECT_EQ(bar->PostStatusText(WideString(text)), S_OK);
        }
    });
    poster.join();
    EXPECT_EQ(Shown(), "Ready") << "posted texts wait for the idle pass";
    bar->OnIdle();
    EXPECT_EQ(Shown(), "three");
    EXPECT_EQ(bar->GetQueuedCount(), 0);
}

TEST_F(StatusBarTest, SetDeliversWhatIsQueuedFirstThenShowsItsOwnText)
{
    ASSERT_EQ(bar->PostStatusText(WideString(u"posted")), S_OK);
    EXPECT_EQ(bar->SetStatusText(WideString(u"now")), S_OK);
    EXPECT_EQ(Shown(), "now");
    EXPECT_EQ(bar->GetQueuedCount(), 0);
    bar->OnIdle();
    EXPECT_EQ(Shown(), "now");
}

TEST_F(StatusBarTest, IdleMessageComesFromTheLabelsStringTableAndDirectSendsAreIgnored)
{
    EXPECT_EQ(Narrow(bar->GetStatusText()), "Ready");
    bar->SetStatusText(WideString(u"Busy"));
    bar->SetStatusText(bar->GetStatusText());
    EXPECT_EQ(Shown(), "Ready");

    // Only posted texts are taken: one handed to the bar's distributor directly is not.
    bar->Notify(CreateNotification(kNidSetStatusText, CreateStringWrapper(WideString(u"sent"))));
    EXPECT_EQ(Shown(), "Ready");
}

TEST(StatusBarBeforeInitialize, PostingBeforeInitializeFailsAndQueuesNothing)
{
    const RCPtr<LStatusBar> bar(new LStatusBar(nullptr, u"bar"));
    EXPECT_EQ(bar->PostStatusText(WideString(u"early")), E_FAIL);
    EXPECT_EQ(bar->GetQueuedCount(), 0);
    EXPECT_EQ(bar->SetStatusText(WideString(u"no label")), S_OK);
}

} // namespace
