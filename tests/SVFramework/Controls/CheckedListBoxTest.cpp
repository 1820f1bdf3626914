#include "ControlSkinFixture.h"
#include "ControlSkins.h"
#include "Notification/NotificationNames.h"
#include "PngFixtures.h"

#include "Controls/Button.h"
#include "Controls/CheckedListBox.h"
#include "Controls/CheckedListBoxParams.h"
#include "Notification/Notification.h"
#include "Notification/NotificationClient.h"
#include "Notification/NotificationId.h"
#include "ObjectBase/Exception.h"
#include "Windows/MouseParams.h"

#include <string>
#include <vector>

using namespace SV;

namespace {

// A check list three rows of 20 pixels high, each row with its check box.
const std::string kCheckSkin = svtest::WindowSkin(
    svtest::SubControl("Framework.CheckedListBox", "checks", R"(XSizeAbs="100" YSizeAbs="60")",
                       svtest::CheckBoxRowTemplate("Framework.CheckedListBoxItem")));

class Recorder : public LNotificationClient
{
public:
    void Receive(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                 const ConstRCPtr<LNotification>& notification) override
    {
        names.push_back(
            std::string(NarrowString(GetNotificationName(notification->GetId())).GetText()));
        payloads.push_back(notification->GetPayload());
    }
    std::vector<std::string> names;
    std::vector<ConstRCPtr<LRefCountedObject>> payloads;
};

ConstRCPtr<LMouseButtonParam> Click()
{
    return ConstRCPtr<LMouseButtonParam>(new LMouseButtonParam(1, 2, 2, 0, 0, 0, 0));
}

class CheckedListBoxTest : public svtest::ControlSkinFixture
{
protected:
    void SetUp() override
    {
        LoadSkin(kCheckSkin, svtest::RepeatedLookList("States", 14));
        ASSERT_TRUE(CreateWindow(u"window"));
        list = dynamic_cast<LCheckedListBox*>(root->FindChildControl(u"checks").Get());
        ASSERT_TRUE(list);
        for (const char16_t* text : {u"b", u"C", u"a"}) {
            list->InsertItem(list->GetItemCount(), LListBox::MakeTextLabel(text));
        }
        recorder = RCPtr<Recorder>(new Recorder());
        for (const char16_t* name :
             {kNidItemCheckChange, kNidItemCheckBoxClicked, kNidSelectionChange}) {
            recorder->Register(RCPtr<LNotificationDistributor>(list), name);
        }
    }
    void TearDown() override
    {
        recorder->UnregisterAll();
        svtest::ControlSkinFixture::TearDown();
    }

    LButton& CheckBox(uint32_t row)
    {
        return *dynamic_cast<LButton*>(list->GetRowControl(row)->GetCheckBox().Get());
    }
    const LIndexedDataWithValueParam& LastPayload()
    {
        return *dynamic_cast<const LIndexedDataWithValueParam*>(recorder->payloads.back().Get());
    }

    LCheckedListBox* list = nullptr;
    RCPtr<Recorder> recorder;
};

TEST_F(CheckedListBoxTest, ClickingACheckBoxChecksTheItemSelectsItAndAnnouncesIt)
{
    ASSERT_EQ(list->GetRowCount(), 3u);
    EXPECT_TRUE(CheckBox(1).IsAutoValueSet());
    CheckBox(1).OnLeftClick(Click());
    EXPECT_TRUE(list->IsItemChecked(1));
    EXPECT_EQ(list->GetCheckedCount(), 1);
    EXPECT_EQ(list->GetCaret(), 1) << "the item is selected as a click on its row would";
    EXPECT_EQ(recorder->names,
              (std::vector<std::string>{"NID_SELECTION_CHANGE", "NID_ITEM_CHECK_CHANGE"}));
    EXPECT_EQ(LastPayload().mIndex, 1);
    EXPECT_EQ(LastPayload().mValue, 1.0);
    EXPECT_FALSE(LastPayload().mData);

    // A value that leaves the box checked changes no count.
    CheckBox(1).SetNormalizedValue(0.75);
    EXPECT_EQ(list->GetCheckedCount(), 1);
    CheckBox(1).SetNormalizedValue(1.0);

    CheckBox(1).OnLeftClick(Click());
    EXPECT_FALSE(list->IsItemChecked(1));
    EXPECT_EQ(list->GetCheckedCount(), 0);
    EXPECT_EQ(LastPayload().mValue, 0.0);
}

TEST_F(CheckedListBoxTest, WithoutAutoCheckAClickIsOnlyReportedAndTheOwnerDecides)
{
    list->SetAutoCheck(false);
    EXPECT_FALSE(CheckBox(0).IsAutoValueSet());
    CheckBox(0).OnLeftClick(Click());
    EXPECT_FALSE(list->IsItemChecked(0));
    EXPECT_EQ(list->GetCheckedCount(), 0);
    EXPECT_EQ(recorder->names.back(), "NID_ITEM_CHECKBOX_CLICKED");
    EXPECT_EQ(LastPayload().mValue, 0.0);

    list->SetItemChecked(0, true);
    CheckBox(0).OnLeftClick(Click());
    EXPECT_EQ(LastPayload().mValue, 1.0) << "the box's current value";
    EXPECT_EQ(recorder->names.size(), 3u) << "no check change besides the two clicks";

    list->SetAutoCheck(true);
    CheckBox(2).OnLeftClick(Click());
    EXPECT_EQ(recorder->names.back(), "NID_ITEM_CHECK_CHANGE");
    EXPECT_EQ(list->GetCheckedCount(), 2);
}

TEST_F(CheckedListBoxTest, OwnerSetStatesReachTheRowsSilentlyAndTravelWithTheirItems)
{
    list->SetItemChecked(0, true);
    list->SetItemChecked(0, true);
    EXPECT_EQ(list->GetCheckedCount(), 1);
    EXPECT_EQ(CheckBox(0).GetNormalizedValue(), 1.0);
    EXPECT_TRUE(recorder->names.empty());
    list->SetItemChecked(7, true);
    EXPECT_FALSE(list->IsItemChecked(7));

    // "b" checked; sorted it moves to the middle with its check.
    ASSERT_TRUE(list->SortAllItems());
    EXPECT_EQ(std::string(NarrowString(list->GetItemText(1)).GetText()), "b");
    EXPECT_TRUE(list->IsItemChecked(1));
    EXPECT_FALSE(list->IsItemChecked(0));
    EXPECT_EQ(CheckBox(1).GetNormalizedValue(), 1.0);
    EXPECT_EQ(CheckBox(0).GetNormalizedValue(), 0.0);
    EXPECT_TRUE(recorder->names.empty()) << "refreshing a row is no user's check";

    list->SetItemChecked(2, true);
    EXPECT_EQ(list->SetItemCount(1), 1);
    EXPECT_EQ(list->GetCheckedCount(), 0) << "the removed items took their checks along";
    EXPECT_FALSE(CheckBox(1).IsVisible(false)) << "rows past the last item show no check box";
    EXPECT_TRUE(CheckBox(0).IsVisible(false));
}

TEST_F(CheckedListBoxTest, TheRowStaysHighlightedWhileThePointerIsOverItsCheckBox)
{
    LCheckedListBoxItem& row = *list->GetRowControl(0);
    CheckBox(0).OnMouseEnter();
    EXPECT_EQ(row.GetStateLookIndex(), 1);
    CheckBox(0).OnMouseLeave();
    EXPECT_EQ(row.GetStateLookIndex(), 0);
    EXPECT_TRUE(CheckBox(0).IsNotFocusable());
    EXPECT_TRUE(CheckBox(0).UsesParentToolTip());
}

TEST_F(CheckedListBoxTest, IconsComeFromTheRecordAndPassThroughReachesEveryRow)
{
    const RCPtr<LBitmap> icon(new LBitmap());
    list->GetCheckedItemRecord(2).icon = icon;
    EXPECT_EQ(list->GetItemIcon(2), icon);
    EXPECT_FALSE(list->GetItemIcon(3));
    list->SetCheckBoxesPassThrough(true);
    EXPECT_EQ(CheckBox(2).ComputeStateLook(), -1);
    EXPECT_FALSE(CheckBox(2).ContainsPoint({1, 1}));
    EXPECT_EQ(list->GetIconCount(), 0) << "a skin without an icon look gives no icons";
}

TEST_F(CheckedListBoxTest, NewSkinDropsTheOldRowsWithTheirCheckBoxes)
{
    const RCPtr<LCheckedListBoxItem> old = list->GetRowControl(0);
    ASSERT_EQ(app.mFactory->ReapplySkin(root), S_OK);
    // Nothing of the list holds the dropped row or its check box any more.
    EXPECT_FALSE(old->GetParent());
    EXPECT_FALSE(old->HasClient(list));
    EXPECT_FALSE(old->GetCheckBox()->HasClient(list));
    ASSERT_EQ(list->GetRowCount(), 3u);
    CheckBox(0).OnLeftClick(Click());
    EXPECT_TRUE(list->IsItemChecked(0)) << "the new rows' check boxes are wired";
    EXPECT_EQ(list->GetCheckedCount(), 1);
}

TEST(CheckedListBoxIcons, LookThreeOfACheckedListGivesTheIconsInSkinOrder)
{
    svtest::ControlApplicationDouble app;
    svtest::TempFolder folder;
    for (const char* name : {"one.png", "two.png"}) {
        const std::vector<uint8_t> png = svtest::EncodeFilledPng(4, 4, 0xFF00FF00u);
        folder.WriteFile(name, std::string(png.begin(), png.end()));
    }
    folder.WriteFile("StringTables.xml", "<R/>");
    folder.WriteFile("FrameworkStrings.xml", "<R/>");
    std::string states;
    for (int i = 0; i < 14; ++i) {
        states += "<Look Name=\"Plain\" Index=\"" + std::to_string(i) + "\"/>";
    }
    folder.WriteFile("Skins.xml", R"(<Skin_Definitions>
  <Application Name="PresetEditor"/>
  <Colorizers><Colorizer Name="Black" ColorType="SolidFill" Color="FF000000"/></Colorizers>
  <Parts>
    <Part Name="Black" Width="1" Height="1" ResizeType="Stretch" ColorizerName="Black"/>
    <Part Name="one" Width="4" Height="4" ResizeType="Stretch" ImageFile="One.png" ImageLocX="0" ImageLocY="0"/>
    <Part Name="two" Width="4" Height="4" ResizeType="Stretch" ImageFile="two.png" ImageLocX="0" ImageLocY="0"/>
  </Parts>
  <Looks>
    <Look Name="Plain"/>
    <Look Name="Icons">
      <NonClientPart Name="two" OffsetLeft="0" OffsetTop="0" Width="4" Height="4"/>
      <NonClientPart Name="Black" OffsetLeft="4" OffsetTop="0" Width="4" Height="4"/>
      <NonClientPart Name="one" OffsetLeft="8" OffsetTop="0" Width="4" Height="4"/>
    </Look>
  </Looks>
  <LookLists>
    <LookList Name="States" NumLooks="14">)" +
                                      states + R"(</LookList>
    <LookList Name="WithIcons" NumLooks="4"><Look Name="Plain" Index="0"/><Look Name="Plain" Index="1"/>
      <Look Name="Plain" Index="2"/><Look Name="Icons" Index="3"/></LookList>
  </LookLists>
  <Skins>
    <Skin Name="Default">
      <SubControl Class="Framework.ListBoxWithIcons" Name="window" XSizeAbs="100" YSizeAbs="60">
        <Skin Name="window" LookList="WithIcons">
          <SubControl Class="Framework.CheckedListBoxItem" Name="templateItem" XSizeAbs="80" YSizeAbs="20">
            <Skin Name="templateItem" LookList="States">
              <SubControl Class="Framework.Button" Name="checkBox" XSizeAbs="16" YSizeAbs="16">
                <Skin Name="checkBox" LookList="States"/>
              </SubControl>
            </Skin>
          </SubControl>
        </Skin>
      </SubControl>
    </Skin>
  </Skins>
</Skin_Definitions>
)");
    ASSERT_EQ(app.mFactory->LoadResources(WideString(folder.Path().c_str()), 0x0009), S_OK);
    SV::RegisterFrameworkControlTypes(*app.mFactory);
    const RCPtr<LRootWindow> window = app.AddRootWindow({0, 0, 400, 300});
    app.mActive = window;
    const RCPtr<LControl> root = app.mFactory->CreateRootControl(u"window", window);
    auto* list = dynamic_cast<LCheckedListBox*>(root.Get());
    ASSERT_TRUE(list);
    EXPECT_EQ(list->GetIconCount(), 2) << "a colour part is no icon";
    EXPECT_TRUE(list->AreCheckBoxesPassThrough());
    for (const char16_t* text : {u"a", u"b", u"c", u"d", u"e"}) {
        list->InsertItem(list->GetItemCount(), LListBox::MakeTextLabel(text));
    }
    const RCPtr<LBitmap> first = list->GetItemIcon(0);
    const RCPtr<LBitmap> second = list->GetItemIcon(1);
    ASSERT_TRUE(first && second);
    EXPECT_NE(first, second);
    EXPECT_EQ(list->GetItemIcon(2), first);
    EXPECT_EQ(list->GetItemIcon(3), second);
    EXPECT_EQ(list->GetItemIcon(4), first);
    EXPECT_FALSE(list->GetItemIcon(5));
    root->Detach();
}

using CheckedListBoxPartsTest = svtest::ControlSkinFixture;

TEST_F(CheckedListBoxPartsTest, RowWithoutCheckBoxIsReportedAndABareRowStaysInert)
{
    LoadSkin(svtest::WindowSkin(svtest::SubControl(
        "Framework.CheckedListBox", "checks", R"(XSizeAbs="100" YSizeAbs="60")",
        svtest::SubControl("Framework.CheckedListBoxItem", "templateItem", R"(YSizeAbs="20")"))));
    EXPECT_EQ(WindowCreationError().rfind(
                  "Runtime Error : Null Pointer : Can not find child checkBox : "
                  "SV::LCheckedListBoxItem::Initialize : Controls\\CheckedListBoxItem : Line ",
                  0),
              0u);

    const RCPtr<LCheckedListBoxItem> bare(new LCheckedListBoxItem(nullptr, u"bare"));
    bare->SetChecked(true);
    bare->SetCheckBoxVisible(false);
    EXPECT_EQ(bare->SetIcon(nullptr), S_OK);
    EXPECT_EQ(bare->ShowCheckBoxLook(1, true), S_FALSE);
    EXPECT_FALSE(bare->GetCheckBox());
}

} // namespace
