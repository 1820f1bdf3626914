#include "ControlSkinFixture.h"
#include "ControlSkins.h"
#include "Notification/NotificationNames.h"
#include "StderrCapture.h"

#include "Controls/Button.h"
#include "Controls/ListBox.h"
#include "Controls/MultiColumnListBox.h"
#include "Notification/Notification.h"
#include "Notification/NotificationClient.h"
#include "Notification/NotificationId.h"
#include "ObjectBase/DebugLog.h"
#include "ObjectBase/Exception.h"
#include "Windows/MouseParams.h"

#include <string>
#include <vector>

using namespace SV;

namespace {

// One column 100 pixels wide at x = 100 (k - 1), three rows of 20 under a header row of 20.
std::string Column(int k)
{
    const std::string name = "listboxNoScroll" + std::to_string(k);
    return R"(<SubControl Class="Framework.listboxNoScroll" Name=")" + name +
           R"(" XPositionAbs=")" + std::to_string(100 * (k - 1)) +
           R"(" YPositionAbs="20" XSizeAbs="100" YSizeAbs="60"><Skin Name=")" + name +
           R"("><SubControl Class="Framework.ListBoxItem" Name="templateItem" XSizeToControl="Client" XSizeRel="1" YSizeAbs="20"><Skin Name="templateItem" LookList="States"/></SubControl></Skin></SubControl>)";
}

std::string Header(int k)
{
    return R"(<SubControl Class="Framework.Button" Name="buttonColumnHeader)" + std::to_string(k) +
           R"(" XPositionAbs=")" + std::to_string(100 * (k - 1)) +
           R"(" XSizeAbs="100" YSizeAbs="20"/>)";
}

std::string TableSkin(const std::string& children)
{
    return R"(
    <Skin Name="Default">
      <SubControl Class="Framework.Panel" Name="window" XSizeAbs="400" YSizeAbs="300">
        <Skin Name="window">
          <SubControl Class="Framework.listbox2ColumnSortable" Name="table" XSizeAbs="300" YSizeAbs="100">
            <Skin Name="table">)" +
           children + R"(</Skin>
          </SubControl>
        </Skin>
      </SubControl>
    </Skin>)";
}

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

ConstRCPtr<LMouseButtonParam> Left(int32_t doubleClick = 0)
{
    return ConstRCPtr<LMouseButtonParam>(new LMouseButtonParam(1, 3, 3, 0, doubleClick, 1, 0));
}

class MultiColumnListBoxTest : public svtest::ControlSkinFixture
{
protected:
    void SetUp() override
    {
        LoadSkin(TableSkin(Header(1) + Header(2) + Column(1) + Column(2)),
                 svtest::RepeatedLookList("States", 14));
        ASSERT_TRUE(CreateWindow(u"window"));
        table = dynamic_cast<LMultiColumnListBox*>(root->FindChildControl(u"table").Get());
        ASSERT_TRUE(table);
        first = &ColumnBox(u"listboxNoScroll1");
        second = &ColumnBox(u"listboxNoScroll2");
        recorder = RCPtr<Recorder>(new Recorder());
        for (const char16_t* name :
             {kNidSelectionChange, kNidItemActivated, kNidItemDoubleClicked}) {
            recorder->Register(RCPtr<LNotificationDistributor>(table), name);
        }
    }
    void TearDown() override
    {
        recorder->UnregisterAll();
        svtest::ControlSkinFixture::TearDown();
    }

    LListBox& ColumnBox(const char16_t* name)
    {
        return *dynamic_cast<LListBox*>(table->FindChildControl(name).Get());
    }
    LButton& HeaderButton(int k)
    {
        const std::u16string name = u"buttonColumnHeader" + std::u16string(1, char16_t(u'0' + k));
        return *dynamic_cast<LButton*>(table->FindChildControl(name.c_str()).Get());
    }
    void Fill(const std::vector<std::pair<const char16_t*, const char16_t*>>& rows)
    {
        for (const auto& row : rows) {
            first->InsertItem(first->GetItemCount(), LListBox::MakeTextLabel(row.first));
            second->InsertItem(second->GetItemCount(), LListBox::MakeTextLabel(row.second));
        }
    }
    static std::vector<std::string> Texts(const LListBox& column)
    {
        std::vector<std::string> texts;
        for (uint32_t i = 0; i < column.GetItemCount(); ++i) {
            texts.push_back(std::string(NarrowString(column.GetItemText(i)).GetText()));
        }
        return texts;
    }
    static std::vector<uint32_t> Selected(LListBox& column)
    {
        const Array<uint32_t>& indices = column.GetSelectedIndices();
        std::vector<uint32_t> selected;
        for (int32_t i = 0; i < indices.GetCount(); ++i) {
            selected.push_back(*indices.At(i));
        }
        return selected;
    }

    LMultiColumnListBox* table = nullptr;
    LListBox* first = nullptr;
    LListBox* second = nullptr;
    RCPtr<Recorder> recorder;
};

TEST_F(MultiColumnListBoxTest, HeaderClicksSortEveryColumnAlternatingPerColumn)
{
    Fill({{u"x", u"Banana"}, {u"y", u"cherry"}, {u"z", u"apple"}});
    struct Step
    {
        int header;
        std::vector<std::string> first;
        std::vector<std::string> second;
    };
    const std::vector<Step> steps = {
        {2, {"z", "x", "y"}, {"apple", "Banana", "cherry"}},
        {2, {"y", "x", "z"}, {"cherry", "Banana", "apple"}},
        {1, {"x", "y", "z"}, {"Banana", "cherry", "apple"}},
        {2, {"z", "x", "y"}, {"apple", "Banana", "cherry"}},
        {1, {"z", "y", "x"}, {"apple", "cherry", "Banana"}},
    };
    for (const Step& step : steps) {
        HeaderButton(step.header).OnLeftClick(Left());
        EXPECT_EQ(Texts(*first), step.first) << "after a click on header " << step.header;
        EXPECT_EQ(Texts(*second), step.second) << "after a click on header " << step.header;
    }
    EXPECT_TRUE(recorder->names.empty()) << "a sort announces nothing of its own";
    EXPECT_EQ(table->PerformSort(2), E_INVALIDARG);
    EXPECT_EQ(table->PerformSort(-1), E_INVALIDARG);
}

TEST_F(MultiColumnListBoxTest, SelectionAndAlternateFlagsFollowTheirRowsThroughASort)
{
    Fill({{u"x", u"Banana"}, {u"y", u"cherry"}, {u"z", u"apple"}});
    first->SetItemAlternate(1, true);
    second->SelectRange(1, 1, true);
    recorder->names.clear();

    ASSERT_EQ(table->PerformSort(1), S_OK);
    EXPECT_EQ(Texts(*second), (std::vector<std::string>{"apple", "Banana", "cherry"}));
    EXPECT_EQ(Selected(*first), (std::vector<uint32_t>{2}));
    EXPECT_EQ(Selected(*second), (std::vector<uint32_t>{2}));
    for (LListBox* column : {first, second}) {
        EXPECT_FALSE(column->IsItemAlternate(0));
        EXPECT_FALSE(column->IsItemAlternate(1));
        EXPECT_TRUE(column->IsItemAlternate(2)) << "the alternate row of y moved with it";
    }
    EXPECT_TRUE(recorder->names.empty());

    // The selection subscriptions are back: the columns keep in step after the sort.
    first->SelectRange(0, 0, true);
    EXPECT_EQ(Selected(*second), (std::vector<uint32_t>{0}));
}

TEST_F(MultiColumnListBoxTest, SelectingInOneColumnSelectsTheRowInEveryColumn)
{
    Fill({{u"x", u"a"}, {u"y", u"b"}, {u"z", u"c"}});
    first->SelectRange(0, 0, true);
    recorder->names.clear();
    recorder->payloads.clear();

    second->GetRowControl(2)->OnMouseDown(Left());
    EXPECT_EQ(Selected(*second), (std::vector<uint32_t>{2}));
    EXPECT_EQ(Selected(*first), (std::vector<uint32_t>{2})) << "the old selection is cleared";
    EXPECT_EQ(recorder->names, (std::vector<std::string>{"NID_SELECTION_CHANGE"}));
    EXPECT_FALSE(recorder->payloads.back());
    second->GetRowControl(2)->OnMouseUp(Left());

    second->DeselectItem(2);
    EXPECT_TRUE(Selected(*first).empty());
}

TEST_F(MultiColumnListBoxTest, ActivationAndDoubleClicksAreResentWithoutPayload)
{
    Fill({{u"x", u"a"}, {u"y", u"b"}});
    recorder->names.clear();
    second->GetRowControl(1)->OnMouseDown(Left(1));
    second->GetRowControl(1)->OnMouseUp(Left());
    first->ActivateItem(0);
    EXPECT_EQ(recorder->names,
              (std::vector<std::string>{"NID_SELECTION_CHANGE", "NID_ITEM_DOUBLE_CLICKED",
                                        "NID_ITEM_ACTIVATED"}));
    for (const auto& payload : recorder->payloads) {
        EXPECT_FALSE(payload);
    }
}

TEST_F(MultiColumnListBoxTest, ThePointerOverACellHighlightsTheWholeRow)
{
    Fill({{u"x", u"a"}, {u"y", u"b"}});
    LListBoxItem& cell = *second->GetRowControl(1);
    LListBoxItem& mate = *first->GetRowControl(1);
    cell.OnMouseEnter();
    EXPECT_NE(mate.ComputeConditions() & kConditionHover, 0u);
    EXPECT_EQ(first->GetRowControl(0)->ComputeConditions() & kConditionHover, 0u);
    cell.OnMouseLeave();
    EXPECT_EQ(mate.ComputeConditions() & kConditionHover, 0u);
}

TEST_F(MultiColumnListBoxTest, ScrollingTheFirstColumnMovesEveryColumnButNotTheHeaders)
{
    Fill({{u"1", u"a"}, {u"2", u"b"}, {u"3", u"c"}, {u"4", u"d"}, {u"5", u"e"}, {u"6", u"f"}});
    const RectT<double> header = HeaderButton(1).GetRect();
    const RectT<double> column = second->GetRect();
    EXPECT_EQ(table->GetClientExtent().y, 120.0) << "six rows of 20";
    EXPECT_EQ(table->GetClientExtent().x, 200.0);

    first->EnsureItemVisible(5);
    EXPECT_EQ(first->GetScrollOffset().y, 60.0);
    EXPECT_EQ(second->GetScrollOffset().y, 60.0);
    EXPECT_EQ(table->GetScrollOffset().y, 60.0);
    EXPECT_EQ(second->GetFirstVisibleItem(), 3u);
    // Docked on the vertical axis, they stand where they stood in the control's view.
    EXPECT_EQ(HeaderButton(1).GetRect().y - table->GetScrollOffset().y, header.y);
    EXPECT_EQ(second->GetRect().y - table->GetScrollOffset().y, column.y);
    EXPECT_EQ(second->GetRect().x, column.x);

    table->SetScrollOffset({0.0, 20.0});
    EXPECT_EQ(first->GetScrollOffset().y, 20.0);
    EXPECT_EQ(second->GetScrollOffset().y, 20.0);

    // A first column that dropped the table's scroll subscription leaves nothing to mute; the
    // table still scrolls its columns.
    first->UnregisterClient(RCPtr<LNotificationReceiver>(table), kNidScrollOffsetChange);
    table->SetScrollOffset({0.0, 40.0});
    EXPECT_EQ(first->GetScrollOffset().y, 40.0);
    EXPECT_EQ(second->GetScrollOffset().y, 40.0);
}

TEST_F(MultiColumnListBoxTest, OnlyTheFirstColumnTakesTheFocusAndColumnsGetDefaultLimits)
{
    EXPECT_FALSE(first->IsNotFocusable());
    EXPECT_TRUE(second->IsNotFocusable());
    // The skin sets no limits: no maximum either way, at least one row high.
    for (LListBox* column : {first, second}) {
        LayoutSpec minimum;
        LayoutSpec maximum;
        column->GetLayout()->GetAxisLimits(1, minimum, maximum);
        EXPECT_EQ(minimum.absolute, 20.0);
        EXPECT_EQ(maximum.absolute, 0.0);
        column->GetLayout()->GetAxisLimits(0, minimum, maximum);
        EXPECT_EQ(maximum.absolute, 0.0);
        EXPECT_EQ(maximum.relative, 0.0f);
    }
    RectT<double> area;
    table->GetClientArea(area);
    EXPECT_EQ(area.y, 20.0) << "the header row is left out";
    EXPECT_EQ(area.height, 60.0);
}

using MultiColumnListBoxSkinTest = svtest::ControlSkinFixture;

TEST_F(MultiColumnListBoxSkinTest, ColumnsAreCountedUpToTheFirstGapAndExtraHeadersStayDeaf)
{
    LoadSkin(TableSkin(Header(1) + Header(2) + Header(3) + Column(1) + Column(3)),
             svtest::RepeatedLookList("States", 14));
    svtest::StderrCapture capture;
    ASSERT_TRUE(CreateWindow(u"window"));
    GetDebugStreamHolder().GetNarrowOutput() << std::flush;
    EXPECT_NE(capture.Text().find("more column headers than columns"), std::string::npos);

    auto* table = dynamic_cast<LMultiColumnListBox*>(root->FindChildControl(u"table").Get());
    ASSERT_TRUE(table);
    EXPECT_EQ(table->GetColumnCount(), 1);
    EXPECT_EQ(table->GetHeaderCount(), 3);
    auto* column = dynamic_cast<LListBox*>(table->FindChildControl(u"listboxNoScroll1").Get());
    for (const char16_t* text : {u"b", u"a"}) {
        column->InsertItem(column->GetItemCount(), LListBox::MakeTextLabel(text));
    }
    for (const char16_t* name : {u"buttonColumnHeader2", u"buttonColumnHeader3"}) {
        dynamic_cast<LButton*>(table->FindChildControl(name).Get())
            ->OnLeftClick(ConstRCPtr<LMouseButtonParam>(Left()));
    }
    EXPECT_EQ(column->GetItemText(0), WideString(u"b")) << "headers without a column sort nothing";
    dynamic_cast<LButton*>(table->FindChildControl(u"buttonColumnHeader1").Get())
        ->OnLeftClick(Left());
    EXPECT_EQ(column->GetItemText(0), WideString(u"a"));
}

TEST_F(MultiColumnListBoxSkinTest, ATableWithoutAFirstColumnIsReportedAndStaysInert)
{
    LoadSkin(TableSkin(Header(1) + Column(2)), svtest::RepeatedLookList("States", 14));
    EXPECT_EQ(WindowCreationError().rfind(
                  "Runtime Error : Null Pointer : Can not find child listboxNoScroll1 : "
                  "SV::LMultiColumnListBox::Initialize : Controls\\MultiColumnListBox : Line ",
                  0),
              0u);

    const RCPtr<LMultiColumnListBox> bare(new LMultiColumnListBox(nullptr, u"bare"));
    EXPECT_EQ(bare->PerformSort(0), E_INVALIDARG);
    RectT<double> area{1.0, 2.0, 3.0, 4.0};
    bare->GetClientArea(area);
    EXPECT_EQ(area, (RectT<double>{}));
    bare->SetScrollOffset({0.0, 10.0});
    EXPECT_EQ(bare->FinishCreate(), S_OK);
}

} // namespace
