#include "ControlSkinFixture.h"
#include "ControlSkins.h"
#include "Notification/NotificationNames.h"

#include "Controls/Button.h"
#include "Controls/CheckedListBoxParams.h"
#include "Controls/TreeView.h"
#include "Notification/Notification.h"
#include "Notification/NotificationClient.h"
#include "Notification/NotificationId.h"
#include "Windows/MouseParams.h"

#include <string>
#include <vector>

using namespace SV;

namespace {

// A tree five rows of 20 pixels high; each row's expander is 16 pixels wide.
const std::string kTreeSkin = svtest::WindowSkin(
    svtest::SubControl("Framework.TreeView", "tree", R"(XSizeAbs="200" YSizeAbs="100")",
                       svtest::CheckBoxRowTemplate("Framework.TreeViewItem")));

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

struct Node
{
    const char16_t* label;
    int32_t parent;
};

class TreeViewTest : public svtest::ControlSkinFixture
{
protected:
    void SetUp() override
    {
        LoadSkin(kTreeSkin, svtest::RepeatedLookList("States", 14));
        ASSERT_TRUE(CreateWindow(u"window"));
        tree = dynamic_cast<LTreeView*>(root->FindChildControl(u"tree").Get());
        ASSERT_TRUE(tree);
        recorder = RCPtr<Recorder>(new Recorder());
        for (const char16_t* name :
             {kNidItemCheckChange, kNidItemCheckBoxClicked, kNidSelectionChange}) {
            recorder->Register(RCPtr<LNotificationDistributor>(tree), name);
        }
    }
    void TearDown() override
    {
        recorder->UnregisterAll();
        svtest::ControlSkinFixture::TearDown();
    }

    // Nodes as an owner builds them: inserted, then their parents written, then the rows shown.
    void Build(const std::vector<Node>& nodes)
    {
        for (const Node& node : nodes) {
            tree->InsertItem(tree->GetItemCount(), LListBox::MakeTextLabel(node.label));
            tree->GetNodeRecord(tree->GetItemCount() - 1).parent = node.parent;
        }
        tree->RefreshRowsFrom(0);
    }
    // root, A (under root), A1 (under A), B (under root).
    void BuildFamily() { Build({{u"root", -1}, {u"A", 0}, {u"A1", 1}, {u"B", 0}}); }

    LButton& Expander(uint32_t row)
    {
        return *dynamic_cast<LButton*>(tree->GetTreeRowControl(row)->GetCheckBox().Get());
    }
    std::string RowText(uint32_t row)
    {
        return std::string(NarrowString(tree->GetRowControl(row)->GetText()).GetText());
    }
    std::vector<bool> Hidden()
    {
        std::vector<bool> hidden;
        for (uint32_t i = 0; i < tree->GetItemCount(); ++i) {
            hidden.push_back(tree->GetItemRecord(i).hidden);
        }
        return hidden;
    }
    std::vector<std::string> Order()
    {
        std::vector<std::string> order;
        for (uint32_t i = 0; i < tree->GetItemCount(); ++i) {
            order.push_back(std::string(NarrowString(tree->GetItemText(i)).GetText()) + "<" +
                            std::to_string(tree->GetParentIndex(i)));
        }
        return order;
    }
    const LIndexedDataWithValueParam& LastPayload()
    {
        return *dynamic_cast<const LIndexedDataWithValueParam*>(recorder->payloads.back().Get());
    }

    LTreeView* tree = nullptr;
    RCPtr<Recorder> recorder;
};

TEST_F(TreeViewTest, DepthsDescendantsExpandersAndIndentFollowTheParents)
{
    BuildFamily();
    EXPECT_EQ(tree->GetDepth(2), 2);
    EXPECT_EQ(tree->GetDepth(3), 1);
    EXPECT_EQ(tree->GetDescendantCount(0), 3u);
    EXPECT_EQ(tree->GetDescendantCount(1), 1u);
    EXPECT_EQ(tree->GetDescendantCount(3), 0u);
    EXPECT_TRUE(tree->IsAncestor(0, 2));
    EXPECT_FALSE(tree->IsAncestor(2, 2)) << "a node is not its own ancestor";
    EXPECT_FALSE(tree->IsAncestor(3, 2));
    EXPECT_EQ(tree->GetParentIndex(4), -1);
    EXPECT_EQ(tree->GetDepth(4), 0);
    EXPECT_EQ(tree->GetDescendantCount(4), 0u);

    EXPECT_TRUE(Expander(0).IsEnabled(false));
    EXPECT_TRUE(Expander(1).IsEnabled(false));
    EXPECT_FALSE(Expander(2).IsEnabled(false));
    EXPECT_FALSE(Expander(3).IsEnabled(false));
    EXPECT_EQ(tree->GetTreeRowControl(2)->GetRect().x - tree->GetTreeRowControl(0)->GetRect().x,
              32.0)
        << "two expander widths in";
    EXPECT_EQ(Hidden(), (std::vector<bool>{false, false, false, false}))
        << "written parents hide nothing until the hidden flags are updated";

    // Parents written out of order end the chain instead of looping.
    tree->GetNodeRecord(1).parent = 2;
    tree->GetNodeRecord(2).parent = 1;
    EXPECT_EQ(tree->GetDepth(2), 1);
    EXPECT_EQ(tree->GetDepth(1), 0);
    tree->UpdateHiddenFlags(0);
}

TEST_F(TreeViewTest, ExpandersShowAndHideSubtreesAndAnnounceTheChange)
{
    BuildFamily();
    tree->UpdateHiddenFlags(0);
    tree->RefreshRowsFrom(0);
    EXPECT_EQ(Hidden(), (std::vector<bool>{false, true, true, true}));
    EXPECT_EQ(RowText(1), "");

    tree->ExpandNode(0);
    EXPECT_EQ(recorder->names.back(), "NID_ITEM_CHECK_CHANGE");
    EXPECT_EQ(RowText(1), "A");
    EXPECT_EQ(RowText(2), "B");
    tree->ExpandNode(1);
    EXPECT_EQ(Hidden(), (std::vector<bool>{false, false, false, false}));
    EXPECT_EQ(tree->GetCheckedCount(), 2);
    EXPECT_EQ(RowText(2), "A1");

    tree->SelectRange(0, 0, true);
    recorder->names.clear();
    Expander(1).OnLeftClick(Click());
    EXPECT_EQ(Hidden(), (std::vector<bool>{false, false, true, false}));
    EXPECT_EQ(recorder->names,
              (std::vector<std::string>{"NID_SELECTION_CHANGE", "NID_ITEM_CHECK_CHANGE"}));
    EXPECT_EQ(LastPayload().mIndex, 1);
    EXPECT_EQ(LastPayload().mValue, 0.0);
    EXPECT_EQ(tree->GetCaret(), 1) << "the node is selected";
    EXPECT_EQ(RowText(2), "B");
    EXPECT_EQ(tree->GetCheckedCount(), 1);

    Expander(0).OnLeftClick(Click());
    EXPECT_EQ(Hidden(), (std::vector<bool>{false, true, true, true}));
    EXPECT_EQ(RowText(1), "");
    Expander(0).OnLeftClick(Click());
    EXPECT_EQ(Hidden(), (std::vector<bool>{false, false, true, false}))
        << "A1 stays under its collapsed parent";
    EXPECT_EQ(LastPayload().mValue, 1.0);
}

TEST_F(TreeViewTest, OwnerChangesAndNodesOffTheRowsStaySilent)
{
    BuildFamily();
    tree->UpdateHiddenFlags(0);
    tree->ExpandNode(1);
    EXPECT_TRUE(recorder->names.empty()) << "A is on no row: expanded silently";
    EXPECT_TRUE(tree->IsItemChecked(1));
    EXPECT_EQ(Hidden(), (std::vector<bool>{false, true, true, true})) << "the root is collapsed";

    // Refreshing the rows sets the expanders to the nodes' states; the tree does not take that
    // for a user's click.
    tree->SetItemChecked(0, true);
    tree->RefreshRowsFrom(0);
    EXPECT_TRUE(recorder->names.empty());
    EXPECT_EQ(Expander(0).GetNormalizedValue(), 1.0);
}

TEST_F(TreeViewTest, InsertingMakesACollapsedTopLevelNodeAndSortingIsRefused)
{
    BuildFamily();
    tree->InsertItem(1, LListBox::MakeTextLabel(u"new"));
    EXPECT_EQ(Order(), (std::vector<std::string>{"root<-1", "new<-1", "A<0", "A1<1", "B<0"}))
        << "the other nodes keep their parent indices";
    EXPECT_FALSE(tree->IsItemChecked(1));
    EXPECT_FALSE(tree->GetItemRecord(1).hidden);

    EXPECT_FALSE(tree->SortAllItems());
    EXPECT_EQ(tree->GetItemText(1), WideString(u"new"));
}

TEST_F(TreeViewTest, ReparentingMovesTheSubtreeUnderItsNewParentAndKeepsTheOrder)
{
    struct Case
    {
        uint32_t node;
        int32_t parent;
        int32_t result;
        std::vector<std::string> order;
    };
    const std::vector<Case> cases = {
        // A with A1 goes under C, at the end.
        {1, 4, 4, {"root<-1", "B<0", "C<-1", "C1<2", "A<2", "A1<4"}},
        // C1 moves up, to the end of A's children.
        {5, 1, 3, {"root<-1", "A<0", "A1<1", "C1<1", "B<0", "C<-1"}},
        // B moves out to top level, at the end of the list.
        {3, -1, 5, {"root<-1", "A<0", "A1<1", "C<-1", "C1<3", "B<-1"}},
        // A1 moves down past B, to the end of the root's children.
        {2, 0, 3, {"root<-1", "A<0", "B<0", "A1<0", "C<-1", "C1<4"}},
        // B already stands where A's last child would: only its parent changes.
        {3, 1, 3, {"root<-1", "A<0", "A1<1", "B<1", "C<-1", "C1<4"}},
        // Already there.
        {2, 1, 2, {"root<-1", "A<0", "A1<1", "B<0", "C<-1", "C1<4"}},
        // Refused: the first node, a node past the end, itself, into its own subtree.
        {0, 4, E_INVALIDARG, {"root<-1", "A<0", "A1<1", "B<0", "C<-1", "C1<4"}},
        {6, 0, E_INVALIDARG, {"root<-1", "A<0", "A1<1", "B<0", "C<-1", "C1<4"}},
        {1, 1, E_INVALIDARG, {"root<-1", "A<0", "A1<1", "B<0", "C<-1", "C1<4"}},
        {1, 2, E_INVALIDARG, {"root<-1", "A<0", "A1<1", "B<0", "C<-1", "C1<4"}},
        {1, 9, E_INVALIDARG, {"root<-1", "A<0", "A1<1", "B<0", "C<-1", "C1<4"}},
    };
    for (const Case& c : cases) {
        tree->RemoveAllItems();
        Build({{u"root", -1}, {u"A", 0}, {u"A1", 1}, {u"B", 0}, {u"C", -1}, {u"C1", 4}});
        EXPECT_EQ(tree->ReparentNode(c.node, c.parent), c.result)
            << "node " << c.node << " to " << c.parent;
        EXPECT_EQ(Order(), c.order) << "node " << c.node << " to " << c.parent;
    }
}

TEST_F(TreeViewTest, AMovedNodeIsShownUnderItsExpandedNewParent)
{
    Build({{u"root", -1}, {u"A", 0}, {u"B", -1}, {u"B1", 2}});
    tree->UpdateHiddenFlags(0);
    tree->UpdateHiddenFlags(2);
    EXPECT_EQ(Hidden(), (std::vector<bool>{false, true, false, true}));

    EXPECT_EQ(tree->ReparentNode(2, 0), 2);
    EXPECT_TRUE(tree->IsItemChecked(0)) << "the new parent is expanded";
    EXPECT_EQ(Hidden(), (std::vector<bool>{false, false, false, true})) << "B1 stays collapsed";
    EXPECT_EQ(RowText(2), "B");
    EXPECT_TRUE(Expander(0).IsEnabled(false));
    EXPECT_EQ(tree->GetTreeRowControl(2)->GetRect().x - tree->GetTreeRowControl(0)->GetRect().x,
              16.0);
}

TEST_F(TreeViewTest, AnIdleRequestLastsOnePass)
{
    tree->RequestIdle();
    tree->RequestIdle();
    const int32_t requests = tree->GetIdleRequests();
    tree->OnIdle();
    EXPECT_EQ(tree->GetIdleRequests(), requests - 1);
}

} // namespace
