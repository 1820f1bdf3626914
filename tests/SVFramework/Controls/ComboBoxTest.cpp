#include "ControlSkinFixture.h"
#include "Notification/NotificationNames.h"

#include "ControlBase/KeyParam.h"
#include "Controls/ComboBox.h"
#include "Controls/TextBox.h"
#include "FakeRootWindow.h"
#include "Notification/Notification.h"
#include "Notification/NotificationClient.h"
#include "Notification/NotificationId.h"
#include "System/ModifierKeys.h"
#include "Windows/RootWindow.h"

#include <cmath>
#include <functional>
#include <string>
#include <vector>

using namespace SV;

namespace {

// Two combo boxes of the editor's kind: "top" near the window's top with room below, "low" near
// its bottom with more room above; rows 18 high, lists 80 high by the skin.
std::string ComboSkin(const char* name, int y, const char* params, const char* parts = "")
{
    return std::string(R"(<SubControl Class="Framework.ComboBox" Name=")") + name +
           R"(" XPositionAbs="20" YPositionAbs=")" + std::to_string(y) +
           R"(" XSizeAbs="100" YSizeAbs="20"><Skin Name=")" + name + R"(" LookList="Combo">
             <SubControl Class="Framework.ListBox" Name="listBox" Z_Order="5" IsVisible="False"
                 XPositionToControl="Parent" XSizeToControl="Parent" XSizeRel="1" XSizeAbs="0"
                 YPositionToControl="Parent" YPositionRel="1" YSizeAbs="80">
               <Skin Name="listBox" LookList="Solid">
                 <SubControl Class="Framework.ListBoxItem" Name="templateItem" XSizeAbs="100" YSizeAbs="18">
                   <Skin Name="templateItem" LookList="Solid"/>
                 </SubControl>
               </Skin>
             </SubControl>)" +
           parts + "</Skin>" + params + "</SubControl>";
}

const char* const kLooks = R"(<Look Name="Solid"><ClientPart Name="Black" OffsetLeft="0"
    OffsetTop="0" OffsetRight="0" OffsetBottom="0"/></Look>)";
const char* const kLookLists = R"(<LookList Name="Solid" NumLooks="1"><Look Name="Solid"
    Index="0"/></LookList><LookList Name="Combo" NumLooks="7"><Look Name="Solid" Index="0"/>
    <Look Name="Solid" Index="1"/><Look Name="Solid" Index="2"/><Look Name="Solid" Index="3"/>
    <Look Name="Solid" Index="4"/><Look Name="Solid" Index="5"/><Look Name="Solid" Index="6"/>
    </LookList>)";

std::string Items(const char* combo)
{
    std::string table = std::string("<StringTable ID=\"Framework.Panel|") + combo + "\">";
    const char* const texts[] = {"Zero", "One", "Two", "Three", "Two", "Five"};
    for (int i = 0; i < 6; ++i) {
        table += "<String ID=\"ITEM." + std::to_string(i) + "\"><Locale LCID=\"0x0009\">" +
                 texts[i] + "</Locale></String>";
    }
    return table + "</StringTable>";
}

std::string Narrow(const WideString& text)
{
    return text.ToNarrow().GetText();
}

class Counter : public LNotificationClient
{
public:
    void Receive(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                 const ConstRCPtr<LNotification>& /*notification*/) override
    {
        ++count;
    }
    int32_t count = 0;
};

// A combo box with a text box for typing an item.
const char* const kTextBoxPart = R"(<SubControl Class="Framework.TextBox" Name="textBox"
    XSizeAbs="80" YSizeAbs="20"><Skin Name="textBox" LookList="Solid"/></SubControl>)";

// Records what a combo box passes on from its text box: the notification and its payload.
class Recorder : public LNotificationClient
{
public:
    void Receive(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                 const ConstRCPtr<LNotification>& notification) override
    {
        ids.push_back(notification->GetId());
        payloads.push_back(notification->GetPayload().Get());
        const auto* params =
            dynamic_cast<const LTextValidationParams*>(notification->GetPayload().Get());
        if (refuse && params != nullptr &&
            notification->GetId() == GetNotificationID(kNidTextBoxValidating)) {
            const_cast<LTextValidationParams*>(params)->mAccepted = false;
        }
    }
    std::vector<NotificationId> ids;
    std::vector<const LRefCountedObject*> payloads;
    bool refuse = false;
};

class ComboBoxTest : public svtest::ControlSkinFixture
{
protected:
    void SetUp() override
    {
        const std::string strings =
            "<Solvane_StringTable_Definitions><Application Name=\"PresetEditor\">" + Items("top") +
            Items("low") + Items("second") + Items("typed") +
            "</Application></Solvane_StringTable_Definitions>";
        ASSERT_EQ(app.mFactory->LoadStringTableTexts(strings, {}, 0x0009), S_OK);
        const std::string skin =
            R"(<Skin Name="Default"><SubControl Class="Framework.Panel" Name="window"
                XSizeAbs="400" YSizeAbs="300"><Skin Name="window" LookList="Solid">)" +
            ComboSkin("top", 20, "") + ComboSkin("low", 260, "") +
            ComboSkin(
                "second", 100,
                R"(<CreateParamList><CreateParam ID="INITIAL_SELECTED_INDEX">3</CreateParam></CreateParamList>)") +
            ComboSkin("typed", 140, "", kTextBoxPart) +
            R"(<SubControl Class="Framework.ComboBox" Name="bare" XPositionAbs="200" XSizeAbs="100" YSizeAbs="20"/>
            </Skin></SubControl></Skin>)";
        LoadSkin(skin, kLookLists, kLooks);
        services.active = true;
        services.screenClient = {0, 0, 400, 300};
        window = RCPtr<LRootWindow>(new LRootWindow(nullptr, &services));
        app.mActive = window;
        ASSERT_EQ(window->SetMainControlByName(u"window"), S_OK);
        root = window->GetMainControl();
        top = Combo(u"top");
        low = Combo(u"low");
        counter = RCPtr<Counter>(new Counter());
        counter->Register(RCPtr<LNotificationDistributor>(top), kNidSelectionChange);
    }
    void TearDown() override
    {
        counter->UnregisterAll();
        window->SetMainControl(nullptr);
        root = nullptr;
        app.mActive = nullptr;
        window = nullptr;
    }
    LComboBox* Combo(const char16_t* name)
    {
        return dynamic_cast<LComboBox*>(root->FindChildControl(name).Get());
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
    static ConstRCPtr<LKeyParam> Key(uint32_t code)
    {
        return ConstRCPtr<LKeyParam>(new LKeyParam(KeyCode::FromWords(code, 0, 0), 1));
    }

    svtest::FakeWindowServices services;
    LComboBox* top = nullptr;
    LComboBox* low = nullptr;
    RCPtr<Counter> counter;
};

TEST_F(ComboBoxTest, ItemsComeFromTheStringTableWithTheInitialItemShown)
{
    ASSERT_TRUE(top && low);
    EXPECT_EQ(top->GetList()->GetItemCount(), 6u);
    EXPECT_EQ(top->GetSelectedIndex(), 0);
    EXPECT_EQ(Narrow(top->GetText()), "Zero");
    EXPECT_FALSE(top->IsDroppedDown());
    LComboBox* second = Combo(u"second");
    EXPECT_EQ(second->GetSelectedIndex(), 3);
    EXPECT_EQ(Narrow(second->GetText()), "Three");
    // Never narrower than the combo box nor lower than one row.
    EXPECT_EQ(top->GetList()->GetLayout()->axes[0].minimum.absolute, 100.0);
    EXPECT_EQ(top->GetList()->GetLayout()->axes[1].minimum.absolute, 18.0);

    LComboBox* bare = Combo(u"bare");
    EXPECT_EQ(bare->SetSelectedIndex(1), -1);
    EXPECT_EQ(bare->SetItemCount(3), E_FAIL);
    EXPECT_EQ(bare->ShowDropDown(true), E_FAIL);
    EXPECT_EQ(bare->AddItem(u"x"), E_FAIL);
    EXPECT_EQ(bare->InsertItem(0, nullptr), E_INVALIDARG);
}

TEST_F(ComboBoxTest, SelectionChangeIsSentOnlyWhenTheSelectedItemChanges)
{
    EXPECT_EQ(top->SetSelectedIndex(0), 0);
    EXPECT_EQ(counter->count, 0);
    EXPECT_EQ(top->SetSelectedIndex(9), -1);
    EXPECT_EQ(Narrow(top->GetText()), "Zero") << "the text stays";
    EXPECT_EQ(counter->count, 0);
    EXPECT_EQ(top->SetText(u"Three"), S_OK);
    EXPECT_EQ(top->GetSelectedIndex(), 3);
    EXPECT_EQ(counter->count, 1);
    EXPECT_EQ(top->SetText(u"Three"), S_FALSE);
    EXPECT_EQ(counter->count, 1);
    top->SetText(u"nothing");
    EXPECT_EQ(top->GetSelectedIndex(), -1);
    EXPECT_EQ(top->GetList()->GetSelectedCount(), 0);

    // Inserting before the selection keeps naming the same item.
    top->SetSelectedIndex(2);
    EXPECT_EQ(top->InsertItem(0, LListBox::MakeTextLabel(u"New")), 0);
    EXPECT_EQ(top->GetSelectedIndex(), 3);
    EXPECT_EQ(top->SetItemCount(2), 2);
    EXPECT_EQ(top->GetSelectedIndex(), -1);
}

TEST_F(ComboBoxTest, ListOpensWhereThereIsRoomSnappedToRowsWithTheCurrentItemMarked)
{
    top->SetText(u"Two");
    ASSERT_EQ(top->ShowDropDown(true), S_OK);
    const RCPtr<LListBox> list = top->GetList();
    EXPECT_TRUE(top->IsDroppedDown());
    EXPECT_EQ(list->GetPositionInRoot().y, 40.0) << "below the combo box";
    EXPECT_EQ(list->GetCaret(), 2) << "the lower of two items with the text";
    EXPECT_TRUE(list->HasFocus());
    EXPECT_EQ(top->GetFirstActiveLookIndex(), LComboBox::kLookOpen);

    ASSERT_EQ(low->ShowDropDown(true), S_OK);
    const RCPtr<LListBox> lowList = low->GetList();
    const RectT<double>& r = lowList->GetRect();
    EXPECT_EQ(lowList->GetPositionInRoot().y + r.height, 260.0) << "above the combo box";
    const double frame = r.height - lowList->GetLookRect(-1).height;
    EXPECT_EQ(std::fmod(r.height - frame, 18.0), 0.0) << "whole rows";
    EXPECT_EQ(lowList->GetCaret(), 0) << "no item has the text: the first is marked";
}

TEST_F(ComboBoxTest, KeysOpenAndCloseTheList)
{
    EXPECT_EQ(top->HandleKey(Key(0x20410000)), S_FALSE);
    EXPECT_EQ(top->HandleKey(Key(0x20280000)), S_OK);
    EXPECT_TRUE(top->IsDroppedDown());
    EXPECT_EQ(top->HandleKey(Key(0x201B0000)), S_OK);
    EXPECT_FALSE(top->IsDroppedDown());
    EXPECT_EQ(top->HandleKey(Key(0x200D0000)), S_OK);
    EXPECT_TRUE(top->IsDroppedDown());
    top->BubbleKey(Key(0x201B0000));
    EXPECT_FALSE(top->IsDroppedDown());
}

TEST_F(ComboBoxTest, PressDragAndReleaseOnAnItemChoosesItInOneGesture)
{
    Press(50, 30);
    ASSERT_TRUE(top->IsDroppedDown());
    const RectT<double> row = top->GetList()->GetItemRect(3);
    const PointT<double> listAt = top->GetList()->GetPositionInRoot();
    const int32_t x = int32_t(listAt.x + row.x + row.width / 2);
    const int32_t y = int32_t(listAt.y + row.y + row.height / 2);
    MoveTo(x, y);
    Release(x, y);
    EXPECT_FALSE(top->IsDroppedDown());
    EXPECT_EQ(top->GetSelectedIndex(), 3);
    EXPECT_EQ(Narrow(top->GetText()), "Three");
    EXPECT_EQ(counter->count, 1);

    // A second press on the open combo box closes it and does not reopen it.
    Press(50, 30);
    Release(50, 30);
    ASSERT_TRUE(top->IsDroppedDown());
    Press(50, 30);
    EXPECT_FALSE(top->IsDroppedDown());
    Release(50, 30);
    EXPECT_FALSE(top->IsDroppedDown());
    EXPECT_EQ(counter->count, 1);
}

// However the open list closes, the keyboard goes back to the combo box, and Tab goes on from
// there to the next control.
TEST_F(ComboBoxTest, TheComboBoxHasTheKeyboardAgainOnceItsListCloses)
{
    constexpr uint32_t kDown = 0x20280000;
    constexpr uint32_t kReturn = 0x200D0000;
    constexpr uint32_t kEscape = 0x201B0000;
    constexpr uint32_t kTab = 0x20090000;
    struct Case
    {
        const char* how;
        std::function<void()> close;
        int32_t chosen;
    };
    const auto clickRow = [this](uint32_t row) {
        const RectT<double> rect = top->GetList()->GetItemRect(row);
        const PointT<double> at = top->GetList()->GetPositionInRoot();
        const auto x = int32_t(at.x + rect.x + rect.width / 2);
        const auto y = int32_t(at.y + rect.y + rect.height / 2);
        MoveTo(x, y);
        Press(x, y);
        Release(x, y);
    };
    const Case cases[] = {
        {"Return",
         [&] {
             window->OnKey(Key(kDown));
             window->OnKey(Key(kReturn));
         },
         1},
        {"Escape", [&] { window->OnKey(Key(kEscape)); }, 0},
        {"a click on a row", [&] { clickRow(3); }, 3},
    };
    // As in the editor's skin, the open list lies over the controls below the combo box.
    top->GetList()->SetClipToParent(false);
    for (const Case& k : cases) {
        top->SetSelectedIndex(0);
        top->SetFocus(true);
        window->OnKey(Key(kDown));
        ASSERT_TRUE(top->IsDroppedDown()) << k.how;
        ASSERT_EQ(window->GetFocusedControl().Get(), top->GetList().Get()) << k.how;
        k.close();
        EXPECT_FALSE(top->IsDroppedDown()) << k.how;
        EXPECT_EQ(top->GetSelectedIndex(), k.chosen) << k.how;
        EXPECT_EQ(window->GetFocusedControl().Get(), top) << k.how;
        EXPECT_TRUE(top->HasFocus()) << k.how;
        window->OnKey(Key(kTab));
        EXPECT_EQ(window->GetFocusedControl().Get(), low) << k.how;
    }
}

TEST_F(ComboBoxTest, TypedTextSelectsItsItemAndTheTextBoxNotificationsArePassedOn)
{
    LComboBox* typed = Combo(u"typed");
    const RCPtr<LTextBox> box(dynamic_cast<LTextBox*>(typed->FindChildControl(u"textBox").Get()));
    ASSERT_TRUE(box);
    const RCPtr<Recorder> recorder(new Recorder());
    const RCPtr<LNotificationDistributor> combo(typed);
    for (const char16_t* name : {kNidTextBoxValidating, kNidTextBoxValidated, kNidTextBoxTextChange,
                                 kNidSelectionChange}) {
        recorder->Register(combo, name);
    }
    const NotificationId validating = GetNotificationID(kNidTextBoxValidating);
    const NotificationId validated = GetNotificationID(kNidTextBoxValidated);
    const NotificationId textChange = GetNotificationID(kNidTextBoxTextChange);
    const NotificationId selectionChange = GetNotificationID(kNidSelectionChange);

    // Typing is passed on as it happens; the validated text selects the first item with that
    // text, whatever its case, and the box then shows the item's own spelling.
    EXPECT_EQ(box->SetText(u"two"), S_OK);
    ASSERT_EQ(recorder->ids, std::vector<NotificationId>{textChange});
    EXPECT_EQ(recorder->payloads[0], box.Get());
    recorder->ids.clear();
    recorder->payloads.clear();
    const RCPtr<LTextValidationParams> params = box->Validate();
    EXPECT_TRUE(params->mAccepted);
    EXPECT_EQ(typed->GetSelectedIndex(), 2);
    EXPECT_EQ(Narrow(typed->GetText()), "Two");
    EXPECT_EQ(Narrow(box->GetText()), "Two");
    EXPECT_EQ(recorder->ids,
              (std::vector<NotificationId>{validating, textChange, selectionChange, validated}));
    EXPECT_EQ(recorder->payloads.front(), params.Get()) << "the box's own payload";
    EXPECT_EQ(recorder->payloads.back(), params.Get());

    // A text that names no item clears the selection; the combo box keeps its text.
    recorder->ids.clear();
    box->SetText(u"Seven");
    box->Validate();
    EXPECT_EQ(typed->GetSelectedIndex(), -1);
    EXPECT_EQ(typed->GetList()->GetSelectedCount(), 0);
    EXPECT_EQ(Narrow(typed->GetText()), "Two");
    EXPECT_EQ(recorder->ids, (std::vector<NotificationId>{textChange, validating, validated}));

    // A receiver of the combo box refuses a text as if it listened to the box itself.
    recorder->refuse = true;
    recorder->ids.clear();
    box->SetText(u"One");
    EXPECT_FALSE(box->Validate()->mAccepted);
    EXPECT_EQ(typed->GetSelectedIndex(), -1);
    EXPECT_EQ(recorder->ids, (std::vector<NotificationId>{textChange, validating}));
    recorder->UnregisterAll();
}

TEST_F(ComboBoxTest, TheListClosesWhenTheTextBoxTakesTheFocus)
{
    LComboBox* typed = Combo(u"typed");
    const RCPtr<LControl> box = typed->FindChildControl(u"textBox");
    ASSERT_EQ(typed->ShowDropDown(true), S_OK);
    ASSERT_TRUE(typed->IsDroppedDown());
    ASSERT_TRUE(typed->GetList()->HasFocus());
    box->SetFocus(true);
    ASSERT_TRUE(box->HasFocus());
    EXPECT_FALSE(typed->IsDroppedDown());
    EXPECT_EQ(typed->GetFirstActiveLookIndex(), LComboBox::kLookFocused);
}

} // namespace

namespace {

// A combo box of the editor's kind with sixteen items: its list is at most 80 high, opens over
// other controls and brings a vertical bar that its skin starts hidden, docked beside the rows.
const char* const kLongListSkin = R"(
    <Skin Name="Default">
      <SubControl Class="Framework.Panel" Name="window" XSizeAbs="400" YSizeAbs="300">
        <Skin Name="window" LookList="Solid">
          <SubControl Class="Framework.ComboBox" Name="channels" XPositionAbs="20" YPositionAbs="20" XSizeAbs="100" YSizeAbs="20">
            <Skin Name="channels" LookList="Combo">
              <SubControl Class="Framework.ListBox" Name="listBox" Z_Order="5" IsVisible="False" ClipToParent="False"
                  XPositionToControl="Parent" XSizeToControl="Parent" XSizeRel="1" XSizeAbs="0"
                  YPositionToControl="Parent" YPositionRel="1" YSizeAbs="80" YMaxSizeAbs="80">
                <Skin Name="listBox" LookList="Solid">
                  <SubControl Class="Framework.ScrollBar" Name="vBar" XIsDocked="True" YIsDocked="True" IsVisible="False"
                      XPositionToControl="Parent" XPositionRel="1" XPlacementAnchor="1" XSizeAbs="12"
                      YSizeToControl="Parent" YSizeRel="1" YSizeAbs="0">
                    <Skin Name="vBar" LookList="Solid">
                      <SubControl Class="Framework.Button" Name="dec" XSizeAbs="12" YSizeAbs="12"/>
                      <SubControl Class="Framework.ScrollChannel" Name="channel" YPositionAbs="12" XSizeAbs="12" YSizeToControl="Parent" YSizeRel="1" YSizeAbs="-12">
                        <Skin Name="channel" LookList="Solid">
                          <SubControl Class="Framework.Button" Name="thumb" XSizeAbs="12" YSizeAbs="12">
                            <Skin Name="thumb" LookList="Solid"/>
                          </SubControl>
                        </Skin>
                      </SubControl>
                      <SubControl Class="Framework.Button" Name="inc" XSizeAbs="12" YSizeAbs="12" YPositionToControl="Parent" YPositionRel="1" YPlacementAnchor="1"/>
                    </Skin>
                  </SubControl>
                  <SubControl Class="Framework.Panel" Name="corner" XIsDocked="True" YIsDocked="True" IsVisible="False"
                      XPositionToControl="Parent" XPositionRel="1" XPlacementAnchor="1" XSizeAbs="12"
                      YPositionToControl="Parent" YPositionRel="1" YPlacementAnchor="1" YSizeAbs="12"/>
                  <SubControl Class="Framework.ListBoxItem" Name="templateItem" XSizeToControl="Client" XSizeRel="1" YSizeAbs="18">
                    <Skin Name="templateItem" LookList="Solid"/>
                  </SubControl>
                </Skin>
              </SubControl>
            </Skin>
          </SubControl>
        </Skin>
      </SubControl>
    </Skin>)";

class LongComboListTest : public svtest::ControlSkinFixture
{
protected:
    void SetUp() override
    {
        std::string strings = "<Solvane_StringTable_Definitions><Application "
                              "Name=\"PresetEditor\"><StringTable ID=\"Framework.Panel|channels\">";
        for (int i = 0; i < 16; ++i) {
            strings += "<String ID=\"ITEM." + std::to_string(i) +
                       "\"><Locale LCID=\"0x0009\">Channel " + std::to_string(i + 1) +
                       "</Locale></String>";
        }
        strings += "</StringTable></Application></Solvane_StringTable_Definitions>";
        ASSERT_EQ(app.mFactory->LoadStringTableTexts(strings, {}, 0x0009), S_OK);
        LoadSkin(kLongListSkin, kLookLists, kLooks);
        services.active = true;
        services.screenClient = {0, 0, 400, 300};
        window = RCPtr<LRootWindow>(new LRootWindow(nullptr, &services));
        app.mActive = window;
        ASSERT_EQ(window->SetMainControlByName(u"window"), S_OK);
        root = window->GetMainControl();
        combo = dynamic_cast<LComboBox*>(root->FindChildControl(u"channels").Get());
        ASSERT_TRUE(combo);
        list = combo->GetList();
        ASSERT_TRUE(list);
        bar = list->FindChildControl(u"vBar");
        ASSERT_TRUE(bar);
    }
    void TearDown() override
    {
        window->SetMainControl(nullptr);
        root = nullptr;
        app.mActive = nullptr;
        window = nullptr;
    }
    void Button(int32_t kind, int32_t x, int32_t y)
    {
        services.cursor = {x, y};
        services.buttons = kind == kButtonPress ? kButtonLeft : 0;
        window->OnMouseButton(kind, kButtonLeft, 0, {x, y}, 0);
    }
    void MoveTo(int32_t x, int32_t y)
    {
        services.cursor = {x, y};
        window->OnMouseMove({x, y}, 0, 0);
    }
    void PressKey(uint32_t code)
    {
        window->OnKey(ConstRCPtr<LKeyParam>(new LKeyParam(KeyCode::FromWords(code, 0, 0), 1)));
    }
    // The thumb's top edge in window coordinates.
    int32_t ThumbTop()
    {
        return int32_t(
            bar->FindChildControl(u"channel")->FindChildControl(u"thumb")->GetPositionInRoot().y);
    }

    svtest::FakeWindowServices services;
    LComboBox* combo = nullptr;
    RCPtr<LListBox> list;
    RCPtr<LControl> bar;
};

TEST_F(LongComboListTest, TheListOpensAtItsSkinHeightWithABarThatScrollsByWheelThumbAndKeys)
{
    ASSERT_EQ(combo->ShowDropDown(true), S_OK);
    // 80 pixels at most, snapped to whole rows: four rows of the sixteen items.
    EXPECT_EQ(list->GetRect().height, 72.0);
    EXPECT_EQ(list->GetPositionInRoot().y, 40.0);
    ASSERT_TRUE(list->IsScrollBarShown(1));
    EXPECT_TRUE(bar->IsVisible(true));
    EXPECT_EQ(bar->GetPositionInRoot(), (PointT<double>{108.0, 40.0}));
    EXPECT_EQ(bar->GetRect().height, 72.0);
    EXPECT_EQ(bar->NormalizedToValue(1.0), 12.0) << "sixteen rows of which four are shown";

    // The wheel over a row scrolls the list by one row, and the bar stays where it is.
    services.cursor = {114, 100};
    window->OnMouseWheel({114, 100}, 0, kWheelBackward);
    EXPECT_EQ(list->GetFirstVisibleItem(), 1u);
    EXPECT_EQ(Narrow(list->GetRowControl(0)->GetText()), "Channel 2");
    EXPECT_EQ(bar->GetPositionInRoot().y, 40.0);
    window->OnMouseWheel({114, 100}, 0, kWheelForward);
    EXPECT_EQ(list->GetFirstVisibleItem(), 0u);

    // Dragging the thumb to the channel's end shows the last rows.
    const int32_t top = ThumbTop();
    EXPECT_EQ(top, 52);
    Button(kButtonPress, 114, top + 2);
    MoveTo(114, top + 20);
    MoveTo(114, top + 100);
    Button(kButtonRelease, 114, top + 100);
    EXPECT_EQ(list->GetFirstVisibleItem(), 12u);
    EXPECT_EQ(ThumbTop(), 40 + 72 - 12 - 12);
    ASSERT_TRUE(combo->IsDroppedDown()) << "the bar is part of the list";

    // Up and Down move the selection, and the list follows it; Return chooses it.
    list->SetFocus(true);
    EXPECT_EQ(list->GetCaret(), 0);
    PressKey(0x20280000);
    EXPECT_EQ(list->GetCaret(), 1);
    EXPECT_EQ(list->GetFirstVisibleItem(), 1u) << "scrolled back to show the caret";
    for (int i = 0; i < 4; ++i) {
        PressKey(0x20280000);
    }
    EXPECT_EQ(list->GetCaret(), 5);
    EXPECT_EQ(list->GetFirstVisibleItem(), 2u) << "the caret on the bottom row";
    PressKey(0x20260000);
    EXPECT_EQ(list->GetCaret(), 4);
    EXPECT_EQ(list->GetFirstVisibleItem(), 2u);
    PressKey(0x200D0000);
    EXPECT_FALSE(combo->IsDroppedDown());
    EXPECT_EQ(combo->GetSelectedIndex(), 4);
    EXPECT_EQ(Narrow(combo->GetText()), "Channel 5");
}

} // namespace
