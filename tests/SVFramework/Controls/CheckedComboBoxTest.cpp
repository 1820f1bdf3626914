#include "ControlApplicationDouble.h"
#include "Notification/NotificationNames.h"
#include "PngFixtures.h"
#include "StderrCapture.h"
#include "TempFolder.h"

#include "ControlBase/ControlFactory.h"
#include "ControlBase/VisualPart.h"
#include "Controls/Button.h"
#include "Controls/CheckedComboBox.h"
#include "Controls/CheckedListBoxParams.h"
#include "Controls/ControlTypes.h"
#include "Notification/Notification.h"
#include "Notification/NotificationClient.h"
#include "Notification/NotificationId.h"
#include "Windows/MouseParams.h"
#include "Windows/RootWindow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace SV;

namespace {

std::string LookList(const char* name, int count)
{
    std::string looks =
        std::string("<LookList Name=\"") + name + "\" NumLooks=\"" + std::to_string(count) + "\">";
    for (int i = 0; i < count; ++i) {
        looks += "<Look Name=\"Plain\" Index=\"" + std::to_string(i) + "\"/>";
    }
    return looks + "</LookList>";
}

// A combo box of the given class at (20, y) whose "listBox" is of the list class, with rows 20
// high that carry check boxes; `extra` adds parts beside the list, `params` the combo box's
// create parameters.
std::string ComboSkin(const char* comboClass, const char* name, int y, const char* listClass,
                      const char* listLooks, const char* extra = "", const char* params = "")
{
    return std::string("<SubControl Class=\"") + comboClass + "\" Name=\"" + name +
           R"(" XPositionAbs="20" YPositionAbs=")" + std::to_string(y) +
           R"(" XSizeAbs="100" YSizeAbs="20"><Skin Name=")" + name +
           R"(" LookList="Fourteen"><SubControl Class=")" + listClass +
           R"(" Name="listBox" Z_Order="5" IsVisible="False"
                 XPositionToControl="Parent" XSizeToControl="Parent" XSizeRel="1" XSizeAbs="0"
                 YPositionToControl="Parent" YPositionRel="1" YSizeAbs="80">
               <Skin Name="listBox" LookList=")" +
           listLooks + R"(">
                 <SubControl Class="Framework.CheckedListBoxItem" Name="templateItem" XSizeAbs="100" YSizeAbs="20">
                   <Skin Name="templateItem" LookList="Fourteen">
                     <SubControl Class="Framework.Button" Name="checkBox" XSizeAbs="16" YSizeAbs="16">
                       <Skin Name="checkBox" LookList="Fourteen"/>
                     </SubControl>
                   </Skin>
                 </SubControl>
               </Skin>
             </SubControl>)" +
           extra + "</Skin>" + params + "</SubControl>";
}

std::string Items(const char* combo)
{
    std::string table = std::string("<StringTable ID=\"Framework.Panel|") + combo + "\">";
    for (int i = 0; i < 4; ++i) {
        table += "<String ID=\"ITEM." + std::to_string(i) + "\"><Locale LCID=\"0x0009\">Item " +
                 std::to_string(i) + "</Locale></String>";
    }
    return table + "</StringTable>";
}

std::string Narrow(const WideString& text)
{
    return text.ToNarrow().GetText();
}

class Recorder : public LNotificationClient
{
public:
    void Receive(const ConstRCPtr<LNotificationDistributor>& sender,
                 const ConstRCPtr<LNotification>& notification) override
    {
        senders.push_back(sender.Get());
        payloads.push_back(notification->GetPayload());
    }
    std::vector<const LNotificationDistributor*> senders;
    std::vector<ConstRCPtr<LRefCountedObject>> payloads;
};

ConstRCPtr<LMouseButtonParam> Click()
{
    return ConstRCPtr<LMouseButtonParam>(new LMouseButtonParam(1, 2, 2, 0, 0, 0, 0));
}

// Made by the test itself, which hears what its creation reports.
const char* const kDeferred =
    R"(<CreateParamList><CreateParam ID="DEFER_CREATE">true</CreateParam></CreateParamList>)";

// "checks" has no "checkBox" child; "icons" has one and a list with two icons; "plain", made by
// its test, has a plain list box.
class CheckedComboBoxTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const auto& [file, colour] :
             {std::pair{"one.png", 0xFF00FF00u}, std::pair{"two.png", 0xFF0000FFu}}) {
            const std::vector<uint8_t> png = svtest::EncodeFilledPng(4, 4, colour);
            folder.WriteFile(file, std::string(png.begin(), png.end()));
        }
        folder.WriteFile("StringTables.xml", "<R/>");
        folder.WriteFile("FrameworkStrings.xml", "<R/>");
        const std::string checkBox =
            R"(<SubControl Class="Framework.Button" Name="checkBox" XSizeAbs="16" YSizeAbs="16">
                 <Skin Name="checkBox" LookList="Fourteen"/></SubControl>)";
        folder.WriteFile("Skins.xml",
                         R"(<Skin_Definitions>
  <Application Name="PresetEditor"/>
  <Colorizers><Colorizer Name="Black" ColorType="SolidFill" Color="FF000000"/></Colorizers>
  <Parts>
    <Part Name="Black" Width="1" Height="1" ResizeType="Stretch" ColorizerName="Black"/>
    <Part Name="one" Width="4" Height="4" ResizeType="Stretch" ImageFile="one.png" ImageLocX="0" ImageLocY="0"/>
    <Part Name="two" Width="4" Height="4" ResizeType="Stretch" ImageFile="two.png" ImageLocX="0" ImageLocY="0"/>
  </Parts>
  <Looks>
    <Look Name="Plain"/>
    <Look Name="Icons">
      <NonClientPart Name="one" OffsetLeft="0" OffsetTop="0" Width="4" Height="4"/>
      <NonClientPart Name="two" OffsetLeft="4" OffsetTop="0" Width="4" Height="4"/>
    </Look>
  </Looks>
  <LookLists>)" + LookList("Fourteen", 14) +
                             LookList("Plain", 1) +
                             R"(<LookList Name="WithIcons" NumLooks="4">
      <Look Name="Plain" Index="0"/><Look Name="Plain" Index="1"/><Look Name="Plain" Index="2"/>
      <Look Name="Icons" Index="3"/></LookList>
  </LookLists>
  <Skins><Skin Name="Default">
    <SubControl Class="Framework.Panel" Name="window" XSizeAbs="400" YSizeAbs="300">
      <Skin Name="window">)" +
                             ComboSkin("Framework.CheckedComboBox", "checks", 20,
                                       "Framework.CheckedListBox", "Plain") +
                             ComboSkin("Framework.ComboBoxWithIcons", "icons", 150,
                                       "Framework.ListBoxWithIcons", "WithIcons",
                                       checkBox.c_str()) +
                             ComboSkin("Framework.CheckedComboBox", "plain", 250,
                                       "Framework.ListBox", "Plain", "", kDeferred) +
                             R"(</Skin>
    </SubControl>
  </Skin></Skins>
</Skin_Definitions>
)");
        ASSERT_EQ(app.mFactory->LoadResources(WideString(folder.Path().c_str()), 0x0009), S_OK);
        const std::string strings =
            "<Solvane_StringTable_Definitions><Application Name=\"PresetEditor\">" +
            Items("checks") + Items("icons") + Items("plain") +
            "</Application></Solvane_StringTable_Definitions>";
        ASSERT_EQ(app.mFactory->LoadStringTableTexts(strings, {}, 0x0009), S_OK);
        RegisterFrameworkControlTypes(*app.mFactory);
        window = app.AddRootWindow({0, 0, 400, 300});
        app.mActive = window;
        root = app.mFactory->CreateRootControl(u"window", window);
        ASSERT_TRUE(root);
        checks = Find(u"checks");
        icons = Find(u"icons");
        ASSERT_TRUE(checks && icons);
        recorder = RCPtr<Recorder>(new Recorder());
        for (LCheckedComboBox* combo : {checks, icons}) {
            recorder->Register(RCPtr<LNotificationDistributor>(combo), kNidItemCheckChange);
            recorder->Register(RCPtr<LNotificationDistributor>(combo->GetCheckedList()),
                               kNidItemCheckChange);
        }
    }
    void TearDown() override
    {
        if (recorder) {
            recorder->UnregisterAll();
        }
        if (root) {
            root->Detach();
        }
    }

    LCheckedComboBox* Find(const char16_t* name) const
    {
        return dynamic_cast<LCheckedComboBox*>(root->FindChildControl(name).Get());
    }
    static LButton& RowCheckBox(const LCheckedComboBox& combo, uint32_t row)
    {
        return *dynamic_cast<LButton*>(
            combo.GetCheckedList()->GetRowControl(row)->GetCheckBox().Get());
    }
    LButton& CheckBoxOf(const LCheckedComboBox& combo) const
    {
        return *dynamic_cast<LButton*>(combo.FindChildControl(u"checkBox").Get());
    }
    // The icon every look of the combo's "checkBox" shows; fails when the looks disagree.
    RCPtr<LBitmap> ShownIcon(const LCheckedComboBox& combo) const
    {
        const RCPtrArray<LLook>& looks = CheckBoxOf(combo).GetLooks();
        RCPtr<LBitmap> first;
        for (int32_t i = 0; i < looks.GetCount(); ++i) {
            const RCPtr<LVisualPart>& overlay = (*looks.At(i))->GetOverlayPart();
            const RCPtr<LBitmap> icon = overlay ? overlay->GetBitmap() : RCPtr<LBitmap>();
            if (i == 0) {
                first = icon;
            }
            EXPECT_EQ(icon, first) << "look " << i;
        }
        return first;
    }

    svtest::TempFolder folder;
    svtest::ControlApplicationDouble app;
    RCPtr<LRootWindow> window;
    RCPtr<LControl> root;
    LCheckedComboBox* checks = nullptr;
    LCheckedComboBox* icons = nullptr;
    RCPtr<Recorder> recorder;
};

TEST_F(CheckedComboBoxTest, TheFirstCheckAndTheLastUncheckSwitchTheLooksAndEveryCheckIsPassedOn)
{
    ASSERT_EQ(checks->ShowDropDown(true), S_OK);
    EXPECT_EQ(checks->GetFirstActiveLookIndex(), LComboBox::kLookOpen);
    const LNotificationDistributor* list = checks->GetCheckedList().Get();
    const LNotificationDistributor* combo = checks;

    RowCheckBox(*checks, 1).OnLeftClick(Click());
    EXPECT_EQ(checks->GetFirstActiveLookIndex(), LComboBox::kLookOpen + 7);
    ASSERT_EQ(recorder->senders, (std::vector<const LNotificationDistributor*>{list, combo}));
    EXPECT_EQ(recorder->payloads[1], recorder->payloads[0]) << "the list's own payload";
    const auto* payload =
        dynamic_cast<const LIndexedDataWithValueParam*>(recorder->payloads[1].Get());
    ASSERT_TRUE(payload);
    EXPECT_EQ(payload->mIndex, 1);
    EXPECT_EQ(payload->mValue, 1.0);

    RowCheckBox(*checks, 3).OnLeftClick(Click());
    EXPECT_EQ(recorder->senders.size(), 4u);
    EXPECT_EQ(checks->GetFirstActiveLookIndex(), LComboBox::kLookOpen + 7);
    RowCheckBox(*checks, 1).OnLeftClick(Click());
    EXPECT_EQ(checks->GetFirstActiveLookIndex(), LComboBox::kLookOpen + 7) << "one still checked";
    RowCheckBox(*checks, 3).OnLeftClick(Click());
    EXPECT_EQ(checks->GetFirstActiveLookIndex(), LComboBox::kLookOpen);
    EXPECT_EQ(recorder->senders.size(), 8u);
    EXPECT_EQ(dynamic_cast<const LIndexedDataWithValueParam*>(recorder->payloads[7].Get())->mValue,
              0.0);

    // Closed, checked, disabled: the combo box's looks, plus seven while any item is checked.
    checks->GetCheckedList()->SetItemChecked(0, true);
    checks->ShowDropDown(false);
    EXPECT_EQ(checks->GetFirstActiveLookIndex(), LComboBox::kLookFocused + 7);
    checks->SetEnabled(false);
    EXPECT_EQ(checks->GetFirstActiveLookIndex(), LComboBox::kLookDisabled + 7);
}

TEST_F(CheckedComboBoxTest, SettingTheItemCountRepicksTheLook)
{
    checks->GetCheckedList()->SetItemChecked(3, true);
    EXPECT_EQ(checks->GetFirstActiveLookIndex(), LComboBox::kLookNormal) << "set silently";
    EXPECT_EQ(checks->SetItemCount(4), 4);
    EXPECT_EQ(checks->GetFirstActiveLookIndex(), LComboBox::kLookNormal + 7);
    EXPECT_EQ(checks->SetItemCount(2), 2);
    EXPECT_EQ(checks->GetFirstActiveLookIndex(), LComboBox::kLookNormal)
        << "the checked item went with the count";
}

TEST_F(CheckedComboBoxTest, TheCheckBoxShowsTheSelectedItemsCheckStateAndIcon)
{
    const RCPtr<LCheckedListBox>& list = icons->GetCheckedList();
    ASSERT_EQ(list->GetIconCount(), 2);
    EXPECT_TRUE(icons->IsCheckBoxPassThrough()) << "a list with icons";
    EXPECT_FALSE(checks->IsCheckBoxPassThrough());
    EXPECT_TRUE(CheckBoxOf(*icons).UsesParentToolTip());
    EXPECT_EQ(CheckBoxOf(*icons).ComputeStateLook(), -1) << "passes the pointer through";
    ASSERT_EQ(icons->GetSelectedIndex(), 0);
    EXPECT_EQ(ShownIcon(*icons), list->GetItemIcon(0)) << "the skin's selection at creation";

    list->SetItemChecked(1, true);
    EXPECT_EQ(icons->SetSelectedIndex(1), 1);
    EXPECT_EQ(Narrow(icons->GetText()), "Item 1");
    EXPECT_EQ(CheckBoxOf(*icons).GetNormalizedValue(), 1.0);
    ASSERT_TRUE(ShownIcon(*icons));
    EXPECT_EQ(ShownIcon(*icons), list->GetItemIcon(1));
    EXPECT_NE(list->GetItemIcon(1), list->GetItemIcon(0));

    EXPECT_EQ(icons->SetSelectedIndex(-1), -1);
    EXPECT_FALSE(ShownIcon(*icons));
    EXPECT_EQ(CheckBoxOf(*icons).GetNormalizedValue(), 1.0) << "the value stays";
    icons->SetSelectedIndex(2);
    EXPECT_EQ(CheckBoxOf(*icons).GetNormalizedValue(), 0.0);
    EXPECT_EQ(ShownIcon(*icons), list->GetItemIcon(0)) << "icons repeat over the items";

    // A check in the list is shown only at the next selection.
    list->SetItemChecked(2, true);
    EXPECT_EQ(CheckBoxOf(*icons).GetNormalizedValue(), 0.0);
}

TEST_F(CheckedComboBoxTest, APlainListBoxFailsTheCheckedComboAndLeavesAPlainComboBox)
{
    // The skin's author hears of it.
    svtest::StderrCapture capture;
    const LControlDescriptor::Children& children = root->GetControlDescriptor()->GetChildren();
    ASSERT_EQ((*children.At(2))->GetName(), WideString(u"plain"));
    auto* plain =
        dynamic_cast<LCheckedComboBox*>(app.mFactory->CreateControl(root, *children.At(2)).Get());
    ASSERT_TRUE(plain);
    EXPECT_NE(capture.Text().find("Checked combo box plain has no checked list box named listBox"),
              std::string::npos)
        << capture.Text();

    EXPECT_FALSE(plain->GetCheckedList());
    ASSERT_TRUE(plain->GetList());
    EXPECT_EQ(plain->GetList()->GetItemCount(), 4u);
    EXPECT_EQ(plain->SetSelectedIndex(2), 2);
    EXPECT_EQ(plain->SetItemCount(3), 3);
    EXPECT_EQ(plain->UpdateStateLook(), S_OK);
    EXPECT_EQ(plain->GetFirstActiveLookIndex(), LComboBox::kLookNormal);
    plain->ShowDropDown(true);
    EXPECT_EQ(plain->GetFirstActiveLookIndex(), LComboBox::kLookOpen);

    const RCPtr<LCheckedComboBox> bare(new LCheckedComboBox(nullptr, u"bare"));
    EXPECT_EQ(bare->Initialize(), E_FAIL) << "no list at all";
    EXPECT_EQ(bare->SetSelectedIndex(0), -1);
    EXPECT_EQ(bare->UpdateStateLook(), S_OK);
    bare->SetCheckBoxPassThrough(true);
    EXPECT_TRUE(bare->IsCheckBoxPassThrough());
}

} // namespace
