#include "ControlSkinFixture.h"
#include "ControlSkins.h"
#include "Notification/NotificationNames.h"
#include "ScrollBarDouble.h"

#include "ControlBase/ControlCreator.h"

#include "ControlBase/KeyParam.h"
#include "Controls/CheckedComboBox.h"
#include "Controls/ComboBox.h"
#include "Controls/ListBox.h"
#include "Controls/ListBoxItemConditionsParam.h"
#include "Controls/Panel.h"
#include "Notification/Notification.h"
#include "Notification/NotificationClient.h"
#include "Notification/NotificationId.h"
#include "ObjectBase/StringWrapper.h"
#include "Windows/MouseParams.h"
#include "Windows/RootWindow.h"

#include <string>
#include <vector>

using namespace SV;

namespace {

// A template list three rows of 20 pixels high, a fixed-row list of two rows, and a list whose
// template measures no height.
const char* const kListSkin = R"(
    <Skin Name="Default">
      <SubControl Class="Framework.Panel" Name="window" XSizeAbs="400" YSizeAbs="300">
        <Skin Name="window">
          <SubControl Class="Framework.ListBox" Name="list" XSizeAbs="100" YSizeAbs="60">
            <Skin Name="list">
              <SubControl Class="Framework.ListBoxItem" Name="templateItem" XSizeToControl="Client" XSizeRel="1" YSizeAbs="20">
                <Skin Name="templateItem" LookList="States"/>
              </SubControl>
            </Skin>
          </SubControl>
          <SubControl Class="Framework.ListBox" Name="fixed" XPositionAbs="200" XSizeAbs="100" YSizeAbs="60">
            <Skin Name="fixed" LookList="States">
              <SubControl Class="Framework.ListBoxItem" Name="item1" XSizeAbs="100" YSizeAbs="20">
                <Skin Name="item1" LookList="States"/>
              </SubControl>
              <SubControl Class="Framework.ListBoxItem" Name="item2" YPositionAbs="20" XSizeAbs="100" YSizeAbs="20">
                <Skin Name="item2" LookList="States"/>
              </SubControl>
            </Skin>
          </SubControl>
          <SubControl Class="Framework.ListBox" Name="flat" YPositionAbs="200" XSizeAbs="100" YSizeAbs="60">
            <Skin Name="flat">
              <SubControl Class="Framework.ListBoxItem" Name="templateItem" XSizeToControl="Client" XSizeRel="1" YSizeAbs="0">
                <Skin Name="templateItem" LookList="States"/>
              </SubControl>
            </Skin>
          </SubControl>
        </Skin>
      </SubControl>
    </Skin>
)";

const char* const kStrings = R"(<Solvane_StringTable_Definitions>
  <Application Name="PresetEditor">
    <StringTable ID="Framework.Panel|list">
      <String ID="ITEM.02"><Locale LCID="0x0009">Two</Locale></String>
      <String ID="ITEM.00"><Locale LCID="0x0009">Zero</Locale></String>
      <String ID="ITEM.-1"><Locale LCID="0x0009">Before the first</Locale></String>
      <String ID="ITEM.2000000000"><Locale LCID="0x0009">Far away</Locale></String>
      <String ID="TOOLTIP"><Locale LCID="0x0009">Pick one</Locale></String>
    </StringTable>
    <StringTable ID="Framework.ListBox|item1">
      <String ID="LABEL"><Locale LCID="0x0009">First</Locale></String>
    </StringTable>
  </Application>
</Solvane_StringTable_Definitions>
)";

std::string Narrow(const WideString& text)
{
    return std::string(NarrowString(text).GetText());
}

class Recorder : public LNotificationClient
{
public:
    void Receive(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                 const ConstRCPtr<LNotification>& notification) override
    {
        names.push_back(Narrow(GetNotificationName(notification->GetId())));
        payloads.push_back(notification->GetPayload());
        if (onReceive) {
            onReceive();
        }
    }
    size_t Count(const std::string& name) const
    {
        size_t n = 0;
        for (const std::string& each : names) {
            n += each == name ? 1 : 0;
        }
        return n;
    }
    std::vector<std::string> names;
    std::vector<ConstRCPtr<LRefCountedObject>> payloads;
    std::function<void()> onReceive;
};

// Opens a row's state so that every look can be asked for.
class ProbeRow : public LListBoxItem
{
public:
    ProbeRow() : LListBoxItem(nullptr, u"probe") {}
    void Set(bool over, bool capture, bool dragging, bool highlight)
    {
        mPointerOver = over;
        mCapture = capture;
        mDragging[0] = dragging;
        mHoverHighlight = highlight;
    }
};

ConstRCPtr<LKeyParam> Key(uint32_t virtualKey, uint32_t modifiers = 0)
{
    return ConstRCPtr<LKeyParam>(new LKeyParam(KeyCode(virtualKey, true, 0, modifiers), 1));
}

ConstRCPtr<LMouseButtonParam> Left(int32_t x, int32_t y, int32_t doubleClick = 0,
                                   int32_t buttons = 1)
{
    return ConstRCPtr<LMouseButtonParam>(
        new LMouseButtonParam(1, x, y, 0, doubleClick, buttons, 0));
}

class ListBoxTest : public svtest::ControlSkinFixture
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(app.mFactory->LoadStringTableTexts(std::string(kStrings), {}, 0x0009), S_OK);
        LoadSkin(kListSkin, svtest::RepeatedLookList("States", 14));
        ASSERT_TRUE(CreateWindow(u"window"));
        list = dynamic_cast<LListBox*>(root->FindChildControl(u"list").Get());
        ASSERT_TRUE(list);
        recorder = RCPtr<Recorder>(new Recorder());
        for (const char16_t* name :
             {kNidSelectionChange, kNidItemActivated, kNidItemDoubleClicked,
              kNidItemHoverConditionChange, kNidItemLeftDragConditionChange}) {
            recorder->Register(RCPtr<LNotificationDistributor>(list), name);
        }
    }
    void TearDown() override
    {
        recorder->UnregisterAll();
        svtest::ControlSkinFixture::TearDown();
    }

    LListBox& List(const char16_t* name)
    {
        return *dynamic_cast<LListBox*>(root->FindChildControl(name).Get());
    }
    void Fill(LListBox& box, std::initializer_list<const char16_t*> texts)
    {
        box.RemoveAllItems();
        for (const char16_t* text : texts) {
            box.InsertItem(box.GetItemCount(), LListBox::MakeTextLabel(text));
        }
    }
    std::vector<std::string> RowTexts(LListBox& box)
    {
        std::vector<std::string> texts;
        for (uint32_t r = 0; r < box.GetRowCount(); ++r) {
            texts.push_back(Narrow(box.GetRowControl(r)->GetText()));
        }
        return texts;
    }
    std::vector<uint32_t> Selected()
    {
        const Array<uint32_t>& indices = list->GetSelectedIndices();
        std::vector<uint32_t> result;
        for (int32_t i = 0; i < indices.GetCount(); ++i) {
            result.push_back(*indices.At(i));
        }
        return result;
    }

    LListBox* list = nullptr;
    RCPtr<Recorder> recorder;
};

TEST(ListBoxItemLooks, TheStateChoosesOneOfFourteenLooks)
{
    const RCPtr<ProbeRow> row(new ProbeRow());
    const struct
    {
        bool over, capture, dragging, highlight, alternate, selected;
        int32_t look;
    } cases[] = {
        {false, false, false, false, false, false, 0},
        {true, false, false, false, false, false, 1},
        {false, false, false, true, false, false, 1}, // highlighted with the pointer elsewhere
        {true, true, true, false, false, false, 2},
        {false, true, true, false, false, false, 1}, // pressed, then dragged off
        {false, true, true, false, true, true, 11},
        {false, false, false, false, true, false, 3},
        {true, true, true, false, true, false, 5},
        {false, false, false, false, false, true, 7},
        {true, false, false, false, false, true, 8},
        {true, true, true, false, false, true, 9},
        {false, false, false, false, true, true, 10},
    };
    for (const auto& c : cases) {
        row->Set(c.over, c.capture, c.dragging, c.highlight);
        row->mAlternate = c.alternate;
        row->SetNormalizedValue(c.selected ? 1.0 : 0.0);
        EXPECT_EQ(row->GetStateLookIndex(), c.look) << "case for look " << c.look;
    }
}

TEST_F(ListBoxTest, DisabledAndBlankRowsShowTheirLooksAndBlankEmptiesTheText)
{
    Fill(*list, {u"a", u"b", u"c"});
    LListBoxItem& row = *list->GetRowControl(0);
    row.mAlternate = true;
    row.SetEnabled(false);
    EXPECT_EQ(row.GetStateLookIndex(), 6);
    row.SetNormalizedValue(1.0);
    EXPECT_EQ(row.GetStateLookIndex(), 13);
    row.SetEnabled(true);
    row.SetBlank(true);
    EXPECT_EQ(row.GetFirstActiveLookIndex(), 13);
    EXPECT_TRUE(row.GetText().IsEmpty());
    row.SetBlank(false);
    EXPECT_TRUE(row.GetText().IsEmpty()) << "the list writes the text again, not the row";
    EXPECT_EQ(row.GetFirstActiveLookIndex(), 10);
    EXPECT_TRUE(row.IsNotFocusable());
}

TEST_F(ListBoxTest, TemplateRowsFillTheViewAndRowsPastTheItemsAreDisabledAndEmpty)
{
    EXPECT_EQ(list->GetItemHeight(), 20);
    EXPECT_FALSE(list->FindChildControl(u"templateItem")) << "the template row is never shown";
    ASSERT_EQ(list->GetRowCount(), 3u);
    EXPECT_EQ(list->GetRowControl(2)->GetName(), WideString(u"ItemControl3"));
    // The string table gave "ITEM.00" and "ITEM.02": three items, the middle one empty; the
    // numbers no list could hold are left out.
    EXPECT_EQ(list->GetItemCount(), 3u);
    EXPECT_EQ(RowTexts(*list), (std::vector<std::string>{"Zero", "", "Two"}));

    Fill(*list, {u"a", u"b"});
    LListBoxItem& past = *list->GetRowControl(2);
    EXPECT_FALSE(past.IsEnabled(false));
    EXPECT_TRUE(past.GetText().IsEmpty());
    EXPECT_EQ(past.GetFirstActiveLookIndex(), 6);
    EXPECT_EQ(list->ItemIndexFromControl(&past), 2);
    EXPECT_EQ(list->ItemRowFromIndex(2), -1);
    EXPECT_EQ(list->GetClientExtent().y, 40.0);
    EXPECT_EQ(RowTexts(*list)[1], "b");
    EXPECT_TRUE(list->GetRowControl(1)->UsesParentToolTip())
        << "a row whose text fits shows the list's tool tip";

    EXPECT_EQ(List(u"flat").GetItemHeight(), 14) << "a template measuring under 1 pixel";

    // Snapped to whole rows, never below one.
    for (const auto& [height, snapped] : {std::pair{75.0, 60.0}, std::pair{5.0, 20.0}}) {
        LayoutPositionSpec position;
        LayoutSpec size;
        list->GetLayout()->GetAxisSpec(1, position, size);
        size.absolute = height;
        list->SetLayoutSpec(1, position, size);
        EXPECT_EQ(list->SnapHeightToRows(), S_OK);
        EXPECT_EQ(list->GetRect().height, snapped) << height;
    }
}

TEST_F(ListBoxTest, FixedRowsBringTheirItemsAndTakeNoneFromATemplate)
{
    LListBox& fixed = List(u"fixed");
    // The list's own looks: 0 normal, 1 disabled.
    fixed.SetEnabled(false);
    EXPECT_EQ(fixed.GetFirstActiveLookIndex(), 1);
    fixed.SetEnabled(true);
    EXPECT_EQ(fixed.GetFirstActiveLookIndex(), 0);
    EXPECT_EQ(fixed.GetRowCount(), 2u);
    EXPECT_EQ(fixed.GetItemCount(), 2u);
    EXPECT_EQ(Narrow(fixed.GetItemText(0)), "First");
    fixed.InsertItem(2, LListBox::MakeTextLabel(u"third"));
    EXPECT_EQ(fixed.GetRowCount(), 2u) << "a list without a template never creates rows";
    EXPECT_EQ(fixed.GetItemCount(), 3u);
    EXPECT_EQ(fixed.SelectRange(1, -1, true), 1);
    EXPECT_EQ(fixed.GetRowControl(1)->GetNormalizedValue(), 1.0);
}

TEST_F(ListBoxTest, ScrollingRewritesTheRowsAndSkipsHiddenItems)
{
    Fill(*list, {u"a", u"b", u"c", u"d", u"e", u"f"});
    LListBoxItem* first = list->GetRowControl(0).Get();
    list->SetScrollOffset({0.0, 20.0});
    EXPECT_EQ(list->GetFirstVisibleItem(), 1u);
    EXPECT_EQ(RowTexts(*list), (std::vector<std::string>{"b", "c", "d"}));
    EXPECT_EQ(list->GetRowControl(0).Get(), first) << "the rows stay; their content moves";
    EXPECT_EQ(list->GetRowCount(), 3u);

    list->SetScrollOffset({0.0, 0.0});
    ASSERT_TRUE(list->SetItemHidden(1, true));
    EXPECT_EQ(list->GetClientExtent().y, 100.0);
    EXPECT_EQ(RowTexts(*list), (std::vector<std::string>{"a", "c", "d"}));
    EXPECT_EQ(list->ItemRowFromIndex(1), -1);
    EXPECT_EQ(list->ItemRowFromIndex(3), 2);
    list->SetScrollOffset({0.0, 20.0});
    EXPECT_EQ(list->GetFirstVisibleItem(), 2u) << "the item under one row's scroll skips b";
    EXPECT_EQ(RowTexts(*list), (std::vector<std::string>{"c", "d", "e"}));
}

TEST_F(ListBoxTest, ThousandsOfItemsNeedNoMoreRowsAndAreMeasuredOnceInABatch)
{
    const int before = app.mMeasurer->GetMeasureCount();
    EXPECT_EQ(list->SetItemCount(3000), 3000);
    EXPECT_EQ(list->GetRowCount(), 3u);
    EXPECT_EQ(list->GetClientExtent().y, 60000.0);
    EXPECT_LE(app.mMeasurer->GetMeasureCount() - before, 3100);
    const int filled = app.mMeasurer->GetMeasureCount();
    EXPECT_EQ(list->RemoveAllItems(), S_OK);
    EXPECT_EQ(list->GetItemCount(), 0u);
    EXPECT_LE(app.mMeasurer->GetMeasureCount() - filled, 100);
    EXPECT_EQ(list->GetClientExtent().y, 0.0);
    EXPECT_EQ(list->GetWidestItemWidth(), 0);
}

TEST_F(ListBoxTest, EnsureItemVisibleScrollsBelowToTheBottomRowAndAboveToTheTop)
{
    Fill(*list, {u"a", u"b", u"c", u"d", u"e", u"f", u"g", u"h"});
    const struct
    {
        uint32_t item;
        uint32_t firstVisible;
    } steps[] = {{5, 3}, {4, 3}, {3, 3}, {1, 1}, {7, 5}, {6, 5}};
    for (const auto& step : steps) {
        EXPECT_EQ(list->EnsureItemVisible(step.item), S_OK);
        EXPECT_EQ(list->GetFirstVisibleItem(), step.firstVisible) << "item " << step.item;
    }
    EXPECT_EQ(list->EnsureItemVisible(8), E_INVALIDARG);
}

TEST_F(ListBoxTest, WidestWidthFollowsRemovalsAndSortingKeepsTheRestOfTheList)
{
    // Characters are 10 pixels wide and an empty row measured 100 wide.
    Fill(*list, {u"dd", u"Bbbbb", u"a", u"Cc", u"e"});
    EXPECT_EQ(list->GetWidestItemWidth(), list->GetTextMargin() + 50);
    list->RemoveItem(2);
    EXPECT_EQ(list->GetWidestItemWidth(), list->GetTextMargin() + 50);
    list->RemoveItem(1);
    EXPECT_EQ(list->GetWidestItemWidth(), list->GetTextMargin() + 20);

    Fill(*list, {u"z", u"d", u"B", u"a", u"C", u"A"});
    list->SelectRange(1, 4, true);
    EXPECT_EQ(list->SortItems(1, 4), S_OK);
    std::vector<std::string> texts;
    for (uint32_t i = 0; i < list->GetItemCount(); ++i) {
        texts.push_back(Narrow(list->GetItemText(i)));
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"z", "a", "B", "C", "d", "A"}));
    EXPECT_EQ(list->GetAnchor(), 4) << "the anchor follows d";
    EXPECT_EQ(list->GetCaret(), 3) << "the caret follows C";
    EXPECT_EQ(Selected(), (std::vector<uint32_t>{1, 2, 3, 4}));
    EXPECT_EQ(list->SortItems(0, 0), S_FALSE);
    EXPECT_EQ(list->SortItems(3, 4), E_INVALIDARG);
}

TEST_F(ListBoxTest, SelectRangeExclusiveAndInclusiveWithAnchorCaretAndOneNotification)
{
    Fill(*list, {u"0", u"1", u"2", u"3", u"4", u"5", u"6", u"7"});
    list->SetItemValue(0, 1.0);
    list->SetItemValue(7, 1.0);
    EXPECT_TRUE(recorder->names.empty()) << "values set directly send nothing";
    EXPECT_EQ(list->SelectRange(2, 5, true), 2);
    EXPECT_EQ(Selected(), (std::vector<uint32_t>{2, 3, 4, 5}));
    EXPECT_EQ(list->GetAnchor(), 2);
    EXPECT_EQ(list->GetCaret(), 5);
    EXPECT_EQ(recorder->Count("NID_SELECTION_CHANGE"), 1u);

    list->DeselectAll();
    list->SetItemValue(7, 1.0);
    EXPECT_EQ(list->SelectRange(5, 2, false), 5);
    EXPECT_EQ(Selected(), (std::vector<uint32_t>{2, 3, 4, 5, 7}));
    EXPECT_EQ(list->GetAnchor(), 5);
    EXPECT_EQ(list->GetCaret(), 2);
    EXPECT_EQ(list->GetSelectedCount(), 5);

    list->SelectRange(4, -1, true);
    const size_t before = recorder->names.size();
    list->SelectRange(4, -1, true);
    EXPECT_EQ(recorder->names.size(), before) << "selecting the one selected item again";
    EXPECT_EQ(list->SelectRange(8, -1, true), E_INVALIDARG);
    EXPECT_EQ(list->SelectRange(6, 100, true), 6) << "a range past the end stops at the end";
    EXPECT_EQ(Selected(), (std::vector<uint32_t>{6, 7}));
    EXPECT_EQ(list->GetCaret(), 7);

    EXPECT_EQ(list->SelectItemByText(u"6", 6, true), 6) << "the search wraps around";
    EXPECT_EQ(list->SelectItemByText(u"x", -1, false), -1);
}

TEST_F(ListBoxTest, DeselectingMovesTheCaretToASelectedNeighbour)
{
    Fill(*list, {u"0", u"1", u"2", u"3", u"4", u"5", u"6", u"7"});
    list->SelectRange(3, 6, true);
    EXPECT_EQ(list->DeselectItem(6), S_OK);
    EXPECT_EQ(list->GetCaret(), 5);
    EXPECT_EQ(list->GetAnchor(), 3);
    EXPECT_EQ(list->DeselectItem(3), S_OK);
    EXPECT_EQ(list->GetAnchor(), 4);
    EXPECT_EQ(list->DeselectItem(3), S_FALSE);
    list->SelectRange(1, -1, true);
    EXPECT_EQ(list->DeselectItem(1), S_OK);
    EXPECT_EQ(list->GetAnchor(), -1);
    EXPECT_EQ(list->GetCaret(), -1);

    // Removing a selected item deselects it first, while it is still in the list.
    list->SelectRange(2, -1, true);
    uint32_t countSeen = 0;
    recorder->onReceive = [&] { countSeen = list->GetItemCount(); };
    EXPECT_EQ(list->RemoveItem(2), 7);
    EXPECT_EQ(countSeen, 8u);
    EXPECT_EQ(list->GetSelectedCount(), 0);
}

TEST_F(ListBoxTest, KeysMoveTheCaretAndReturnActivatesIt)
{
    Fill(*list, {u"a", u"b", u"c"});
    constexpr uint32_t kShift = 8;
    const struct
    {
        uint32_t key;
        uint32_t modifiers;
        int32_t caret;
    } presses[] = {{0x28, 0, 0}, {0x28, kShift, 1}, {0x28, 0, 2}, {0x28, 0, 2},
                   {0x26, 0, 1}, {0x26, 0, 0},      {0x26, 0, 0}};
    for (const auto& press : presses) {
        EXPECT_EQ(list->HandleKey(Key(press.key, press.modifiers)), 0);
        EXPECT_EQ(list->GetCaret(), press.caret);
        EXPECT_EQ(Selected(), (std::vector<uint32_t>{uint32_t(press.caret)}));
    }
    EXPECT_EQ(list->HandleKey(Key(0x0D)), 0);
    EXPECT_EQ(recorder->Count("NID_ITEM_ACTIVATED"), 1u);
    EXPECT_TRUE(list->IsVisible(false)) << "only a drop-down list hides on activation";
    EXPECT_EQ(list->HandleKey(Key(0x41)), 1);
    EXPECT_EQ(list->HandleKey(Key(0x28, 1)), 1) << "Ctrl+Down is not the list's";

    list->RemoveAllItems();
    EXPECT_EQ(list->GetCaret(), -1);
    EXPECT_EQ(list->HandleKey(Key(0x0D)), 0);
    EXPECT_EQ(recorder->Count("NID_ITEM_ACTIVATED"), 1u);
}

TEST_F(ListBoxTest, PressOnARowSelectsItsItemAloneAndADoubleClickIsReported)
{
    Fill(*list, {u"a", u"b", u"c", u"d"});
    list->SetScrollOffset({0.0, 20.0});
    LListBoxItem& row = *list->GetRowControl(1);
    row.OnMouseEnter();
    EXPECT_EQ(recorder->Count("NID_ITEM_HOVER_CONDITION_CHANGE"), 1u);
    const auto* hover = dynamic_cast<const LItemConditionsParam*>(recorder->payloads.back().Get());
    ASSERT_TRUE(hover);
    EXPECT_EQ(hover->mItem, 2);
    EXPECT_TRUE(hover->mPointerOver);
    EXPECT_EQ(hover->mLook, 1);

    row.OnMouseDown(Left(3, 3, 1));
    EXPECT_EQ(Selected(), (std::vector<uint32_t>{2}));
    EXPECT_EQ(recorder->Count("NID_ITEM_DOUBLE_CLICKED"), 1u);
    EXPECT_EQ(window->GetCaptureControl().Get(), &row) << "an ordinary list leaves the capture";
    row.OnMouseUp(Left(3, 3, 0, 0));
}

TEST_F(ListBoxTest, DropDownListFollowsThePointerAndIsChosenOnRelease)
{
    Fill(*list, {u"a", u"b", u"c"});
    list->SetDropDownMode(true);
    LListBoxItem& row = *list->GetRowControl(0);
    EXPECT_TRUE(row.mDropDownMode);
    row.OnMouseEnter();
    EXPECT_EQ(Selected(), (std::vector<uint32_t>{0})) << "hovering selects in a drop-down list";
    row.OnMouseDown(Left(5, 5));
    EXPECT_EQ(Selected(), (std::vector<uint32_t>{0})) << "the press itself changes nothing";
    EXPECT_EQ(window->GetCaptureControl().Get(), list) << "the drag is handed to the list";

    // The drag moves over the third row, then out of the rows.
    list->OnMouseMove(
        ConstRCPtr<LPointWithModifiersParam>(new LPointWithModifiersParam(5, 45, 0, 0)));
    EXPECT_EQ(Selected(), (std::vector<uint32_t>{2}));
    list->OnMouseMove(
        ConstRCPtr<LPointWithModifiersParam>(new LPointWithModifiersParam(5, 95, 0, 0)));
    EXPECT_TRUE(Selected().empty());
    list->OnMouseMove(
        ConstRCPtr<LPointWithModifiersParam>(new LPointWithModifiersParam(5, 25, 0, 0)));
    EXPECT_EQ(Selected(), (std::vector<uint32_t>{1}));
    list->OnMouseUp(Left(5, 25, 0, 0));
    EXPECT_EQ(Selected(), (std::vector<uint32_t>{1}));
    EXPECT_EQ(recorder->Count("NID_ITEM_ACTIVATED"), 1u);
    EXPECT_FALSE(list->IsVisible(false));
    EXPECT_EQ(recorder->Count("NID_SELECTION_CHANGE"), 0u) << "never in drop-down mode";

    // A drop-down list is as high as its items, at least one row.
    list->InsertItem(3, LListBox::MakeTextLabel(u"d"));
    EXPECT_EQ(list->GetRect().height, 80.0);
    list->RemoveAllItems();
    EXPECT_EQ(list->GetRect().height, 20.0);
}

TEST(ListBoxWithoutParent, ActivationHidesADropDownListButReportsNothing)
{
    svtest::ControlApplicationDouble app;
    const RCPtr<LListBox> box(new LListBox(nullptr, u"alone"));
    box->Initialize();
    box->SetCreated();
    const RCPtr<Recorder> recorder(new Recorder());
    recorder->Register(RCPtr<LNotificationDistributor>(box), kNidItemActivated);
    box->InsertItem(0, LListBox::MakeTextLabel(u"only"));
    EXPECT_EQ(box->GetRowCount(), 0u);
    box->SetDropDownMode(true);
    box->ActivateItem(0);
    EXPECT_FALSE(box->IsVisible(false));
    EXPECT_TRUE(recorder->names.empty());
    recorder->UnregisterAll();
}

TEST_F(ListBoxTest, NewSkinWhileRowsExistRebuildsThePoolWithoutKeepingOldRows)
{
    Fill(*list, {u"a", u"b", u"c", u"d"});
    list->SetScrollOffset({0.0, 20.0});
    const RCPtr<LListBoxItem> old = list->GetRowControl(0);
    ASSERT_EQ(app.mFactory->ReapplySkin(root), S_OK);
    EXPECT_EQ(list->GetRowCount(), 3u);
    EXPECT_EQ(old->GetRefCount(), 1) << "the dropped row is held by nothing but this test";
    EXPECT_FALSE(old->GetParent());
    for (uint32_t r = 0; r < list->GetRowCount(); ++r) {
        ASSERT_TRUE(list->GetRowControl(r)) << r;
        EXPECT_EQ(list->GetRowControl(r)->GetParent().Get(), list);
    }
    EXPECT_EQ(RowTexts(*list), (std::vector<std::string>{"b", "c", "d"}));
    list->GetRowControl(0)->OnMouseDown(Left(3, 3));
    EXPECT_EQ(Selected(), (std::vector<uint32_t>{1})) << "the new rows are wired";
    list->GetRowControl(0)->OnMouseUp(Left(3, 3, 0, 0));

    LListBox& fixed = List(u"fixed");
    ASSERT_EQ(app.mFactory->ReapplySkin(root), S_OK);
    EXPECT_EQ(fixed.GetRowCount(), 2u);
    EXPECT_EQ(fixed.GetRowControl(1)->GetName(), WideString(u"item2"));
    fixed.GetRowControl(1)->OnMouseDown(Left(3, 3));
    EXPECT_EQ(fixed.GetCaret(), 1) << "the skin's own rows are wired again";
    fixed.GetRowControl(1)->OnMouseUp(Left(3, 3, 0, 0));
}

} // namespace

namespace {

// A list with a vertical bar: the bar counts rows.
class ListBoxScrollBarTest : public svtest::ControlSkinFixture
{
protected:
    void SetUp() override
    {
        LoadSkin(R"(
    <Skin Name="Default">
      <SubControl Class="Framework.Panel" Name="window" XSizeAbs="400" YSizeAbs="300">
        <Skin Name="window">
          <SubControl Class="Framework.ListBox" Name="list" XSizeAbs="100" YSizeAbs="60">
            <Skin Name="list">
              <SubControl Class="Test.ScrollBar" Name="vBar" XPositionAbs="84" XSizeAbs="16" YSizeAbs="60"/>
              <SubControl Class="Framework.ListBoxItem" Name="templateItem" XSizeAbs="80" YSizeAbs="20">
                <Skin Name="templateItem" LookList="States"/>
              </SubControl>
            </Skin>
          </SubControl>
        </Skin>
      </SubControl>
    </Skin>)",
                 svtest::RepeatedLookList("States", 14));
        app.mFactory->RegisterControlCreateFunction(u"Test.ScrollBar",
                                                    &CreateControlOf<svtest::ScrollBarDouble>);
        ASSERT_TRUE(CreateWindow(u"window"));
        list = dynamic_cast<LListBox*>(root->FindChildControl(u"list").Get());
        ASSERT_TRUE(list);
        bar = dynamic_cast<svtest::ScrollBarDouble*>(list->FindChildControl(u"vBar").Get());
        ASSERT_TRUE(bar);
    }

    LListBox* list = nullptr;
    svtest::ScrollBarDouble* bar = nullptr;
};

TEST_F(ListBoxScrollBarTest, TheBarCountsRowsAndMovesTheFirstVisibleItem)
{
    for (int i = 0; i < 10; ++i) {
        list->InsertItem(list->GetItemCount(),
                         LListBox::MakeTextLabel(WideString(std::to_string(i).c_str())));
    }
    ASSERT_EQ(list->GetRowCount(), 3u);
    EXPECT_EQ(bar->NormalizedToValue(1.0), 7.0) << "ten rows of which three are shown";
    bar->SetNormalizedValue(bar->ValueToNormalized(2.0));
    EXPECT_EQ(list->GetFirstVisibleItem(), 2u);
    EXPECT_EQ(list->GetScrollOffset().y, 40.0);
    EXPECT_EQ(Narrow(list->GetRowControl(0)->GetText()), "2");

    list->SelectRange(9, -1, true);
    EXPECT_EQ(list->GetFirstVisibleItem(), 7u) << "the selection is scrolled into view";
    EXPECT_NEAR(bar->NormalizedToValue(bar->GetNormalizedValue()), 7.0, 1e-9);
}

} // namespace

namespace {

// The drop-down list of a combo box, plain or checked: the list recognises either as its owner.
struct ComboKind
{
    const char* name;
    RCPtr<LControl> (*create)(const RCPtr<LControl>&, const ConstRCPtr<LControlDescriptor>&);
    const char* listClass;
    const char* itemClass;
    const char* itemChildren; // a checked row has its check box
};

class ListBoxInComboTest : public svtest::ControlSkinFixture,
                           public ::testing::WithParamInterface<ComboKind>
{
protected:
    void SetUp() override
    {
        const std::string listClass = GetParam().listClass;
        const std::string itemClass = GetParam().itemClass;
        LoadSkin(R"(
    <Skin Name="Default">
      <SubControl Class="Framework.Panel" Name="window" XSizeAbs="400" YSizeAbs="300">
        <Skin Name="window">
          <SubControl Class="Test.ComboBox" Name="combo" XSizeAbs="100" YSizeAbs="20" ClipToParent="false">
            <Skin Name="combo">
              <SubControl Class=")" +
                     listClass + R"(" Name="listBox" YPositionAbs="20" XSizeAbs="100" YSizeAbs="60">
                <Skin Name="listBox">
                  <SubControl Class=")" +
                     itemClass + R"(" Name="templateItem" XSizeAbs="100" YSizeAbs="20">
                    <Skin Name="templateItem" LookList="States">)" +
                     std::string(GetParam().itemChildren) + R"(</Skin>
                  </SubControl>
                </Skin>
              </SubControl>
            </Skin>
          </SubControl>
        </Skin>
      </SubControl>
    </Skin>)",
                 svtest::RepeatedLookList("States", 14));
        app.mFactory->RegisterControlCreateFunction(u"Test.ComboBox", GetParam().create);
        ASSERT_TRUE(CreateWindow(u"window"));
        combo = dynamic_cast<LComboBox*>(root->FindChildControl(u"combo").Get());
        ASSERT_TRUE(combo);
        list = dynamic_cast<LListBox*>(combo->FindChildControl(u"listBox").Get());
        ASSERT_TRUE(list);
        list->SetDropDownMode(true);
        for (const char16_t* text : {u"a", u"b"}) {
            list->InsertItem(list->GetItemCount(), LListBox::MakeTextLabel(text));
        }
    }

    LComboBox* combo = nullptr;
    LListBox* list = nullptr;
};

TEST_P(ListBoxInComboTest, ReleaseOutsideTheComboBoxHidesTheListAndOverItKeepsItOpen)
{
    ASSERT_GE(combo->SetDroppedDown(true), 0);
    const int32_t chosenBefore = combo->GetSelectedIndex();
    list->GetRowControl(0)->OnMouseDown(Left(5, 5));
    ASSERT_EQ(window->GetCaptureControl().Get(), list);
    // Below the rows but within the list: not over an item, and far below the combo box.
    const struct
    {
        int32_t y;
        bool visible;
    } releases[] = {{-10, true}, {70, false}};
    for (const auto& release : releases) {
        combo->SetDroppedDown(true);
        list->OnDragStart(1, 5, 5);
        list->OnMouseUp(Left(5, release.y, 0, 0));
        EXPECT_EQ(list->IsVisible(false), release.visible) << release.y;
    }
    EXPECT_EQ(combo->GetSelectedIndex(), chosenBefore) << "nothing was chosen";
}

INSTANTIATE_TEST_SUITE_P(
    Combos, ListBoxInComboTest,
    ::testing::Values(
        ComboKind{"Plain", &LComboBox::CreateControl, "Framework.ListBox", "Framework.ListBoxItem",
                  ""},
        ComboKind{
            "Checked", &LCheckedComboBox::CreateControl, "Framework.CheckedListBox",
            "Framework.CheckedListBoxItem",
            R"(<SubControl Class="Framework.Button" Name="checkBox" XSizeAbs="16" YSizeAbs="16">
                                     <Skin Name="checkBox" LookList="States"/>
                                   </SubControl>)"}),
    [](const ::testing::TestParamInfo<ComboKind>& kind) { return std::string(kind.param.name); });

} // namespace
