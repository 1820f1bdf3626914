#include "ControlSkinFixture.h"

#include "ControlBase/KeyParam.h"
#include "Controls/ComboMenu.h"
#include "Controls/MenuItem.h"
#include "Controls/PopupMenu.h"
#include "FakeRootWindow.h"
#include "Notification/Notification.h"
#include "Notification/NotificationClient.h"
#include "Windows/ModifierKeys.h"
#include "Windows/RootWindow.h"

#include <string>
#include <vector>

using namespace SV;

namespace {

// A 400 x 300 window with a control to right-click and the skin's "contextMenu": 100 pixels
// wide, rows 20 high with a check box and a shortcut label.
const char* const kSkin = R"(
    <Skin Name="Default">
      <SubControl Class="Framework.Panel" Name="window" XSizeAbs="400" YSizeAbs="300">
        <Skin Name="window" LookList="Solid">
          <SubControl Class="Framework.Panel" Name="target" XSizeAbs="200" YSizeAbs="200">
            <Skin Name="target" LookList="Solid"/>
          </SubControl>
          <SubControl Class="Framework.Button" Name="other" YPositionAbs="250" XSizeAbs="40" YSizeAbs="20"/>
        </Skin>
      </SubControl>
      <SubControl Class="Framework.PopupMenu" Name="contextMenu" XPositionToControl="Client"
                  YPositionToControl="Client" XSizeAbs="100" YSizeAbs="100">
        <Skin Name="contextMenu" LookList="Solid">
          <SubControl Class="Framework.MenuItem" Name="templateItem" XSizeAbs="100" YSizeAbs="20">
            <Skin Name="templateItem" LookList="Row">
              <SubControl Class="Framework.Button" Name="checkBox" XSizeAbs="16" YSizeAbs="20">
                <Skin Name="checkBox" LookList="Row"/>
              </SubControl>
              <SubControl Class="Framework.Label" Name="hotKeyLabel" XPositionAbs="60" XSizeAbs="30" YSizeAbs="20"/>
            </Skin>
          </SubControl>
        </Skin>
      </SubControl>
    </Skin>
)";

const char* const kLooks = R"(<Look Name="Solid"><ClientPart Name="Black" OffsetLeft="0"
    OffsetTop="0" OffsetRight="0" OffsetBottom="0"/></Look>)";

std::string LookLists()
{
    std::string row = R"(<LookList Name="Solid" NumLooks="1"><Look Name="Solid" Index="0"/>
        </LookList><LookList Name="Row" NumLooks="14">)";
    for (int i = 0; i < 14; ++i) {
        row += "<Look Name=\"Solid\" Index=\"" + std::to_string(i) + "\"/>";
    }
    return row + "</LookList>";
}

std::string Narrow(const WideString& text)
{
    return text.ToNarrow().GetText();
}

class Recorder : public LNotificationClient
{
public:
    void Receive(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                 const ConstRCPtr<LNotification>& notification) override
    {
        names.push_back(Narrow(WideString(GetNotificationName(notification->GetId()))));
    }
    std::vector<std::string> names;
};

// The right-clicked control: hears its context menu's commands itself.
class CommandControl : public LControl
{
public:
    CommandControl(const RCPtr<LControl>& parent, const WideString& name) : LControl(parent, name)
    {}
};

class PopupMenuTest : public svtest::ControlSkinFixture
{
protected:
    void SetUp() override
    {
        LoadSkin(kSkin, LookLists(), kLooks);
        services.active = true;
        services.screenClient = {0, 0, 400, 300};
        window = RCPtr<LRootWindow>(new LRootWindow(nullptr, &services));
        app.mActive = window;
    }
    void CreateTree()
    {
        ASSERT_EQ(window->SetMainControlByName(u"window"), S_OK);
        root = window->GetMainControl();
        target = root->FindChildControl(u"target");
        menu = RCPtr<LMenuDescriptor>(new LMenuDescriptor());
        menu->InsertItem(0, u"Cut", u"NID_TEST_CUT", 1, 0);
        const RCPtr<LMenuItemDescriptor> more = LMenuItemDescriptor::Create(u"More", u"", 1, 0);
        more->InsertItem(0, u"Deep", u"NID_TEST_DEEP", 1, 0);
        menu->InsertItem(1, more);
        menu->InsertSeparator(2);
        menu->InsertItem(3, u"Paste", u"NID_TEST_PASTE", 1, 1);
    }
    void TearDown() override
    {
        if (root) {
            window->SetMainControl(nullptr);
        }
        root = nullptr;
        app.mActive = nullptr;
        window = nullptr;
    }
    RCPtr<LPopupMenu> OpenContextMenu(int32_t x, int32_t y)
    {
        services.cursor = {x, y};
        const RCPtr<LControl> control =
            app.mFactory->CreateControl(target, app.mFactory->FindRootDescriptor(u"contextMenu"));
        const RCPtr<LPopupMenu> popup(dynamic_cast<LPopupMenu*>(control.Get()));
        if (popup) {
            popup->SetMenu(menu);
            popup->ShowAtCursor();
        }
        return popup;
    }
    static ConstRCPtr<LKeyParam> Key(uint32_t code)
    {
        return ConstRCPtr<LKeyParam>(new LKeyParam(KeyCode::FromWords(code, 0, 0), 1));
    }

    svtest::FakeWindowServices services;
    RCPtr<LControl> target;
    RCPtr<LMenuDescriptor> menu;
};

TEST_F(PopupMenuTest, RowsShowEntriesSeparatorsCheckMarksAndSubMenus)
{
    CreateTree();
    const RCPtr<LPopupMenu> popup = OpenContextMenu(10, 10);
    ASSERT_TRUE(popup);
    ASSERT_EQ(popup->GetItemCount(), 4u);
    EXPECT_EQ(Narrow(popup->GetItemText(0)), "Cut");
    EXPECT_TRUE(popup->IsItemAlternate(1)) << "a sub-menu entry shows the sub-menu looks";
    EXPECT_TRUE(popup->GetItemRecord(2).blank);
    EXPECT_FALSE(popup->CanSelectItem(2));
    EXPECT_TRUE(popup->IsItemChecked(3));
    EXPECT_FALSE(popup->IsItemChecked(0));
    EXPECT_EQ(popup->SwapItems(0, 3), E_NOTIMPL);
    // The height follows the entries: the separator row counts with its own height.
    EXPECT_EQ(popup->GetContentHeight(), 3 * popup->GetItemHeight() + popup->GetSeparatorHeight());
    // The caller's menu is copied: the popup's changes stay its own.
    MenuItemState state;
    menu->GetItemState(0, state);
    state.enabled = 0;
    EXPECT_EQ(popup->ApplyItemState(0, state), S_OK);
    EXPECT_EQ(popup->ApplyItemState(0, state), S_FALSE);
    EXPECT_EQ(popup->ApplyItemState(9, state), E_INVALIDARG);
    EXPECT_FALSE(popup->CanSelectItem(0));
    EXPECT_EQ(menu->GetItem(0)->IsEnabled(), 1);
    EXPECT_EQ(popup->SetMenu(nullptr), E_INVALIDARG);

    const RCPtr<LPopupMenu> empty = OpenContextMenu(10, 10);
    ASSERT_TRUE(empty);
    empty->SetMenu(RCPtr<LMenuDescriptor>(new LMenuDescriptor()));
    EXPECT_EQ(empty->GetItemCount(), 0u);
    EXPECT_GE(empty->GetRect().height, double(empty->GetItemHeight())) << "one row high";
}

TEST_F(PopupMenuTest, ContextMenuOpensAtThePointerInsideTheWindow)
{
    CreateTree();
    const RCPtr<LPopupMenu> popup = OpenContextMenu(30, 40);
    ASSERT_TRUE(popup);
    EXPECT_TRUE(popup->IsVisible(false));
    EXPECT_EQ(popup->GetPositionInRoot(), (PointT<double>{30.0, 40.0}));
    const double w = popup->GetRect().width;
    const double h = popup->GetRect().height;
    services.cursor = {390, 295};
    popup->ShowAtCursor();
    EXPECT_EQ(popup->GetPositionInRoot(), (PointT<double>{400.0 - w, 300.0 - h}));
}

TEST_F(PopupMenuTest, ContextMenuRunsACommandOnTheControlAndEscapeClosesTheWholeChain)
{
    CreateTree();
    const RCPtr<Recorder> recorder(new Recorder());
    recorder->Register(RCPtr<LNotificationDistributor>(target), u"NID_TEST_CUT");
    RCPtr<LPopupMenu> popup = OpenContextMenu(10, 10);
    ASSERT_TRUE(popup);
    EXPECT_EQ(popup->GetReceiver().Get(), static_cast<LNotificationReceiver*>(target.Get()));
    popup->SelectRange(0, -1, true);
    popup->ActivateItem(0u);
    EXPECT_TRUE(popup->IsClosing());
    EXPECT_FALSE(popup->IsVisible(false));
    window->SendIdle();
    EXPECT_FALSE(target->FindChildControl(u"contextMenu")) << "dismissed at the next idle pass";
    recorder->UnregisterAll();

    popup = OpenContextMenu(10, 10);
    popup->SelectRange(1, -1, true);
    EXPECT_EQ(popup->HandleKey(Key(0x20270000)), S_OK);
    const RCPtr<LPopupMenu> sub = popup->GetOpenSubMenu();
    ASSERT_TRUE(sub);
    EXPECT_EQ(Narrow(sub->GetItemText(0)), "Deep");
    EXPECT_EQ(sub->HandleKey(Key(0x201B0000)), S_OK);
    EXPECT_TRUE(popup->IsClosing()) << "Escape in a sub-menu closes from the top";
    EXPECT_FALSE(popup->IsVisible(false));
}

TEST_F(PopupMenuTest, RightClickOpensTheControlsContextMenuAtThePointer)
{
    CreateTree();
    const auto rightClick = [this](int32_t x, int32_t y) {
        services.cursor = {x, y};
        window->OnMouseMove({x, y}, 0, 0);
        services.buttons = kButtonRight;
        window->OnMouseButton(kButtonPress, kButtonRight, 0, {x, y}, 0);
        services.buttons = 0;
        window->OnMouseButton(kButtonRelease, kButtonRight, 0, {x, y}, 0);
    };
    rightClick(30, 40);
    EXPECT_FALSE(target->FindChildControl(u"contextMenu")) << "no context menu, nothing shown";

    target->SetContextMenu(menu);
    rightClick(30, 40);
    auto* popup = dynamic_cast<LPopupMenu*>(target->FindChildControl(u"contextMenu").Get());
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(popup->IsVisible(false));
    EXPECT_EQ(popup->GetPositionInRoot(), (PointT<double>{30.0, 40.0}));
    EXPECT_EQ(popup->GetItemCount(), 4u);
}

TEST_F(PopupMenuTest, ContextMenuClosesWhenTheFocusGoesElsewhere)
{
    CreateTree();
    const RCPtr<LPopupMenu> popup = OpenContextMenu(10, 10);
    ASSERT_TRUE(popup);
    ASSERT_TRUE(popup->HasFocus() || popup->ContainsFocus());
    ASSERT_GE(root->FindChildControl(u"other")->SetFocus(true), 0);
    EXPECT_TRUE(popup->IsClosing());
    EXPECT_FALSE(popup->IsVisible(false));
}

TEST_F(PopupMenuTest, SubMenuOpensToTheLeftWhenTheRightHasNoRoom)
{
    CreateTree();
    const RCPtr<LPopupMenu> popup = OpenContextMenu(350, 10);
    ASSERT_TRUE(popup);
    ASSERT_EQ(popup->OpenSubMenu(1), S_OK);
    const RCPtr<LPopupMenu> sub = popup->GetOpenSubMenu();
    ASSERT_TRUE(sub);
    EXPECT_EQ(sub->GetRect().x, -sub->GetRect().width);
    EXPECT_EQ(popup->OpenSubMenu(0), E_INVALIDARG) << "a plain entry has no sub-menu";
    EXPECT_EQ(popup->CloseSubMenu(), S_OK);
    EXPECT_FALSE(popup->GetOpenSubMenu());
    EXPECT_FALSE(popup->IsClosing());
}

using ComboMenuPartsTest = svtest::ControlSkinFixture;

TEST_F(ComboMenuPartsTest, TitleWithoutItsPopupIsReportedAndABareTitleStaysInert)
{
    LoadSkin(R"(
    <Skin Name="Default">
      <SubControl Class="Framework.Panel" Name="window" XSizeAbs="400" YSizeAbs="300">
        <Skin Name="window">
          <SubControl Class="Framework.ComboMenu" Name="broken" XSizeAbs="40" YSizeAbs="20"/>
        </Skin>
      </SubControl>
    </Skin>)");
    EXPECT_EQ(
        WindowCreationError().rfind("Runtime Error : Null Pointer : Can not find child popupMenu : "
                                    "SV::LComboMenu::Initialize : Controls\\ComboMenu : Line ",
                                    0),
        0u);
    const RCPtr<LComboMenu> bare(new LComboMenu(nullptr, u"bare"));
    EXPECT_EQ(bare->DropDown(true), S_OK);
    EXPECT_FALSE(bare->IsDroppedDown());
    EXPECT_FALSE(bare->FindOpenSibling());
}

} // namespace
