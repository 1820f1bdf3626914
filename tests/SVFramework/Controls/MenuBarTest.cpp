#include "ControlSkinFixture.h"

#include "ControlBase/KeyParam.h"
#include "Controls/ComboMenu.h"
#include "Controls/MenuBar.h"
#include "Controls/PopupMenu.h"
#include "FakeRootWindow.h"
#include "Notification/Notification.h"
#include "Notification/NotificationClient.h"
#include "Notification/NotificationId.h"
#include "System/ModifierKeys.h"
#include "Windows/RootWindow.h"

#include <string>
#include <vector>

using namespace SV;

namespace {

// A bar with a 60 x 24 title template whose popup (100 x 100, rows 20 high) opens below it, and a
// focusable button beside the bar.
const char* const kSkin = R"(
    <Skin Name="Default">
      <SubControl Class="Framework.Panel" Name="window" XSizeAbs="400" YSizeAbs="300">
        <Skin Name="window">
          <SubControl Class="Framework.Button" Name="editor" YPositionAbs="200" XSizeAbs="40" YSizeAbs="20"/>
          <SubControl Class="Framework.MainMenu" Name="mainMenu" XSizeAbs="400" YSizeAbs="24">
            <Skin Name="mainMenu">
              <SubControl Class="Framework.ComboMenu" Name="templateMenu" XSizeAbs="60" YSizeAbs="24">
                <Skin Name="templateMenu" LookList="Title">
                <SubControl Class="Framework.PopupMenu" Name="popupMenu" XPositionToControl="Parent" YPositionToControl="Parent" YPositionRel="1" XSizeAbs="100" YSizeAbs="100">
                  <Skin Name="popupMenu" LookList="Solid">
                    <SubControl Class="Framework.MenuItem" Name="templateItem" XSizeAbs="100" YSizeAbs="20">
                      <Skin Name="templateItem" LookList="Solid">
                        <SubControl Class="Framework.Button" Name="checkBox" XSizeAbs="16" YSizeAbs="20"/>
                        <SubControl Class="Framework.Label" Name="hotKeyLabel" XPositionAbs="60" XSizeAbs="30" YSizeAbs="20"/>
                      </Skin>
                    </SubControl>
                  </Skin>
                </SubControl>
                </Skin>
              </SubControl>
            </Skin>
          </SubControl>
        </Skin>
      </SubControl>
    </Skin>
)";

// Opaque looks, so that hit testing finds the controls.
const char* const kSolidLook = R"(<Look Name="Solid"><ClientPart Name="Black" OffsetLeft="0"
    OffsetTop="0" OffsetRight="0" OffsetBottom="0"/></Look>)";
const char* const kTitleLooks = R"(<LookList Name="Title" NumLooks="4"><Look Name="Solid"
    Index="0"/><Look Name="Solid" Index="1"/><Look Name="Solid" Index="2"/><Look Name="Solid"
    Index="3"/></LookList><LookList Name="Solid" NumLooks="1"><Look Name="Solid" Index="0"/>
    </LookList>)";

std::string Strings(const std::string& menuEntries)
{
    return R"(<Solvane_StringTable_Definitions>
  <Application Name="PresetEditor">
    <StringTable ID="Framework.Panel|mainMenu">)" +
           menuEntries + R"(
    </StringTable>
  </Application>
</Solvane_StringTable_Definitions>
)";
}

std::string Entry(const std::string& id, const std::string& text)
{
    return "<String ID=\"" + id + "\"><Locale LCID=\"0x0009\">" + text + "</Locale></String>";
}

const std::string kFileAndHelp =
    Entry("MENU_LABEL.00", "File") + Entry("MENU_LABEL.01", "Help") +
    Entry("CONTEXT_MENU0.00.NID_TEST_A", "Alpha|first") + Entry("CONTEXT_MENU0.01.MORE.", "More") +
    Entry("CONTEXT_MENU0.MORE.0.NID_TEST_B", "Beta") + Entry("CONTEXT_MENU0.02.-", "-") +
    Entry("CONTEXT_MENU0.03.NID_TEST_C", "Gamma") + Entry("CONTEXT_MENU1.00.NID_TEST_D", "Delta");

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
        auto* param = dynamic_cast<const LMenuActivationParam*>(notification->GetPayload().Get());
        indexes.push_back(param != nullptr ? param->GetIndex() : -1);
    }
    std::vector<std::string> names;
    std::vector<int32_t> indexes;
};

// The control behind the menu: disables one command and checks another.
class CommandTarget : public LControl
{
public:
    CommandTarget() : LControl(nullptr, u"target") {}
    int32_t UpdateMenuItem(const RCPtr<LMenuDescriptor>& /*menu*/, int32_t /*index*/,
                           const WideString& identifier, MenuItemState& state) override
    {
        ++asked;
        if (identifier == WideString(u"NID_TEST_C")) {
            state.enabled = 0;
            return 0;
        }
        if (identifier == WideString(u"NID_TEST_A")) {
            state.checked = 1;
            return 0;
        }
        return 1;
    }
    int32_t asked = 0;
};

class MenuBarTest : public svtest::ControlSkinFixture
{
protected:
    void Create(const std::string& entries)
    {
        const std::string strings = Strings(entries);
        ASSERT_EQ(app.mFactory->LoadStringTableTexts(strings, {}, 0x0009), S_OK);
        LoadSkin(kSkin, kTitleLooks, kSolidLook);
        services.active = true;
        services.screenClient = {0, 0, 400, 300};
        window = RCPtr<LRootWindow>(new LRootWindow(nullptr, &services));
        window->GetHotKeyManager()->GetTable().AddKey(KeyCode(WideString(u"Ctrl+VKEY_G")),
                                                      u"NID_TEST_C");
        app.mActive = window;
        ASSERT_EQ(window->SetMainControlByName(u"window"), S_OK);
        root = window->GetMainControl();
        ASSERT_TRUE(root);
        bar = dynamic_cast<LMainMenu*>(root->FindChildControl(u"mainMenu").Get());
        ASSERT_TRUE(bar);
        recorder = RCPtr<Recorder>(new Recorder());
    }
    void TearDown() override
    {
        if (recorder) {
            recorder->UnregisterAll();
        }
        if (window) {
            window->SetMainControl(nullptr);
        }
        root = nullptr;
        app.mActive = nullptr;
        window = nullptr;
    }

    std::vector<std::string> Titles() const
    {
        std::vector<std::string> titles;
        for (int32_t i = 0; i < bar->GetTitleCount(); ++i) {
            const RCPtr<LComboMenu> title = bar->GetTitle(i);
            const RCPtr<LMenuDescriptor> menu = LMainMenu::GetTitleMenu(*title);
            titles.push_back(Narrow(title->GetName()) + "/" + Narrow(title->GetText()) + ":" +
                             (menu && menu->GetItemCount() > 0
                                  ? Narrow(menu->GetItem(0)->GetLabel())
                                  : std::string("-")));
        }
        return titles;
    }
    LPopupMenu& Popup(int32_t title) { return *bar->GetTitle(title)->GetPopupMenu(); }
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
    int32_t Look(LControl& control) { return control.GetFirstActiveLookIndex(); }

    svtest::FakeWindowServices services;
    LMainMenu* bar = nullptr;
    RCPtr<Recorder> recorder;
};

TEST_F(MenuBarTest, TitlesComeFromTheLabelsLeftToRightWithTheirMenus)
{
    Create(kFileAndHelp);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"File/File:Alpha", "Help/Help:Delta"}));
    EXPECT_FALSE(bar->FindChildControl(u"templateMenu")) << "the template leaves the bar";
    EXPECT_EQ(bar->GetSkinTitleCount(), 0);
    EXPECT_EQ(bar->GetTitle(0)->GetRect().x, 0.0);
    EXPECT_EQ(bar->GetTitle(1)->GetRect().x, 60.0);
    EXPECT_EQ(bar->GetTitleIndex(u"Help"), 1);
    EXPECT_EQ(Narrow(bar->GetTitleName(0)), "File");
    EXPECT_TRUE(bar->IsNotFocusable());
    // Commands go to the window's queue, whose bindings give the shortcut texts.
    const RCPtr<LMenuDescriptor> file = Popup(0).GetMenu();
    EXPECT_EQ(Narrow(file->GetItem(3)->GetShortcutText()), "Ctrl+G");
    EXPECT_TRUE(file->GetItem(0)->GetShortcutText().IsEmpty());
    EXPECT_EQ(Narrow(file->GetItem(0)->GetHelpText()), "first");
}

struct LabelCase
{
    const char* name;
    std::string entries;
    std::vector<std::string> titles;
};

TEST_F(MenuBarTest, LabelsAndMenusThatDoNotPairGiveAsManyTitlesAsMakeSense)
{
    const std::string three = Entry("CONTEXT_MENU0.00.NID_TEST_A", "A") +
                              Entry("CONTEXT_MENU1.00.NID_TEST_B", "B") +
                              Entry("CONTEXT_MENU2.00.NID_TEST_C", "C");
    const LabelCase cases[] = {
        {"a gap gives an empty title",
         Entry("MENU_LABEL.00", "One") + Entry("MENU_LABEL.02", "Three") + three,
         {"One/One:A", "/:B", "Three/Three:C"}},
        {"a gap with too few menus gives none",
         Entry("MENU_LABEL.00", "One") + Entry("MENU_LABEL.02", "Three") +
             Entry("CONTEXT_MENU0.00.NID_TEST_A", "A") + Entry("CONTEXT_MENU1.00.NID_TEST_B", "B"),
         {}},
        {"a repeated label leaves its menu out and keeps the rest",
         Entry("MENU_LABEL.00", "Same") + Entry("MENU_LABEL.01", "Same") +
             Entry("MENU_LABEL.02", "Last") + three,
         {"Same/Same:A", "Last/Last:C"}},
    };
    for (const LabelCase& c : cases) {
        SCOPED_TRACE(c.name);
        Create(c.entries);
        EXPECT_EQ(Titles(), c.titles);
        TearDown();
        app.mFactory = RCPtr<LControlFactory>(new LControlFactory(u"PresetEditor"));
    }
}

TEST_F(MenuBarTest, InsertingBeforeATitleMovesLabelsNamesAndMenusAlongTheSameControls)
{
    Create(kFileAndHelp);
    const RCPtr<LComboMenu> second = bar->GetTitle(1);
    const RCPtr<LMenuDescriptor> edit(new LMenuDescriptor());
    edit->InsertItem(0, u"Undo", u"NID_TEST_UNDO", 1, 0);
    EXPECT_EQ(bar->InsertTitle(u"Help", u"Edit", u"Edit", edit), 1);
    EXPECT_EQ(Titles(),
              (std::vector<std::string>{"File/File:Alpha", "Edit/Edit:Undo", "Help/Help:Delta"}));
    EXPECT_EQ(bar->GetTitle(1).Get(), second.Get()) << "the controls stay in place";
    EXPECT_EQ(bar->GetTitle(2)->GetRect().x, 120.0);
    EXPECT_EQ(bar->InsertTitle(u"Nothing", u"X", u"X", edit), E_INVALIDARG);
    EXPECT_EQ(bar->InsertTitle(WideString(), u"File", u"File", edit), E_INVALIDARG);
    EXPECT_EQ(bar->InsertTitleAt(4, u"Y", u"Y", edit), E_INVALIDARG);
    EXPECT_EQ(bar->GetTitleCount(), 3);
}

TEST_F(MenuBarTest, AddedTitlesKeepTheirMenusAcrossANewSkin)
{
    Create(kFileAndHelp);
    ASSERT_EQ(app.mFactory->ReapplySkin(root), S_OK);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"File/File:Alpha", "Help/Help:Delta"}));
    EXPECT_EQ(bar->GetTitle(1)->GetRect().x, 60.0);
}

TEST_F(MenuBarTest, ChosenEntryIsPostedToTheWindowAndTheFocusGoesBack)
{
    Create(kFileAndHelp);
    recorder->Register(RCPtr<LNotificationDistributor>(window), u"NID_TEST_C");
    LControl& editor = *root->FindChildControl(u"editor");
    ASSERT_GE(editor.SetFocus(true), 0);
    ASSERT_TRUE(editor.HasFocus());

    Press(10, 10);
    Release(10, 10);
    LPopupMenu& file = Popup(0);
    ASSERT_TRUE(file.IsVisible(false));
    EXPECT_EQ(Look(*bar->GetTitle(0)), LComboMenu::kLookOpen);
    EXPECT_EQ(bar->GetPreviousFocus().Get(), &editor);

    file.SelectRange(3, -1, true);
    file.ActivateItem(3u);
    EXPECT_TRUE(recorder->names.empty()) << "commands arrive at the next idle pass";
    EXPECT_TRUE(editor.HasFocus());
    EXPECT_FALSE(file.IsVisible(false));
    window->OnIdle(true);
    EXPECT_EQ(recorder->names, (std::vector<std::string>{"NID_TEST_C"}));
    EXPECT_EQ(recorder->indexes, (std::vector<int32_t>{3}));
}

TEST_F(MenuBarTest, ClickOnAnEntryWithASubMenuOpensItAndKeepsTheMenuOpen)
{
    Create(kFileAndHelp);
    Press(10, 10);
    Release(10, 10);
    LPopupMenu& file = Popup(0);
    ASSERT_TRUE(file.IsVisible(false));
    const RectT<double> more = file.GetItemRect(1);
    const PointT<double> at = file.GetPositionInRoot();
    const int32_t x = int32_t(at.x + more.x + more.width / 2);
    const int32_t y = int32_t(at.y + more.y + more.height / 2);
    MoveTo(x, y);
    Press(x, y);
    Release(x, y);
    EXPECT_TRUE(file.IsVisible(false));
    ASSERT_TRUE(file.GetOpenSubMenu());
    EXPECT_TRUE(file.GetOpenSubMenu()->IsVisible(false));
}

TEST_F(MenuBarTest, CommandTargetSetsTheEntriesStatesEachTimeThePopupOpens)
{
    Create(kFileAndHelp);
    const RCPtr<CommandTarget> target(new CommandTarget());
    EXPECT_EQ(bar->SetCommandTarget(target->GetMenuItemUpdater()), S_OK);
    EXPECT_EQ(bar->SetCommandTarget(target->GetMenuItemUpdater()), S_FALSE);
    bar->GetTitle(0)->SetDroppedDown(true);
    LPopupMenu& file = Popup(0);
    EXPECT_FALSE(file.CanSelectItem(3));
    EXPECT_TRUE(file.CanSelectItem(0));
    EXPECT_FALSE(file.CanSelectItem(2)) << "a separator is never chosen";
    EXPECT_EQ(file.GetMenu()->GetItem(0)->IsChecked(), 1);
    file.ActivateItem(3u);
    EXPECT_TRUE(file.IsVisible(false)) << "a disabled entry is never run";
    // Sub-menu entries and separators are not asked about.
    EXPECT_EQ(target->asked, 2);
    // The caller's menu is untouched: the popup changed its own copy.
    EXPECT_EQ(LMainMenu::GetTitleMenu(*bar->GetTitle(0))->GetItem(3)->IsEnabled(), 0);
}

TEST_F(MenuBarTest, PressOnAnOpenTitleClosesItAndTheOpenMenuFollowsThePointer)
{
    Create(kFileAndHelp);
    LComboMenu& fileTitle = *bar->GetTitle(0);
    LComboMenu& helpTitle = *bar->GetTitle(1);
    Press(10, 10);
    Release(10, 10);
    ASSERT_TRUE(fileTitle.IsDroppedDown());
    MoveTo(70, 10);
    EXPECT_FALSE(fileTitle.IsDroppedDown());
    EXPECT_EQ(Look(fileTitle), LComboMenu::kLookNormal);
    EXPECT_TRUE(helpTitle.IsDroppedDown());
    EXPECT_EQ(Look(helpTitle), LComboMenu::kLookOpen);

    Press(70, 10);
    EXPECT_FALSE(helpTitle.IsDroppedDown()) << "the press closes and does not reopen";
    Release(70, 10);
    EXPECT_FALSE(helpTitle.IsDroppedDown());
    EXPECT_EQ(Look(helpTitle), LComboMenu::kLookHover);

    bar->SetEnabled(false);
    EXPECT_EQ(Look(fileTitle), LComboMenu::kLookDisabled);
    EXPECT_EQ(Look(helpTitle), LComboMenu::kLookDisabled);
}

TEST_F(MenuBarTest, PopupOfATitleNearTheRightEdgeEndsOnTheWindowsEdge)
{
    Create(kFileAndHelp);
    const RCPtr<LMenuDescriptor> menu = LMainMenu::GetTitleMenu(*bar->GetTitle(1));
    for (const char16_t* name : {u"T2", u"T3", u"T4", u"T5", u"T6"}) {
        ASSERT_GE(bar->InsertTitle(WideString(), name, name, menu), 0);
    }
    const RCPtr<LComboMenu> last = bar->GetTitle(6);
    ASSERT_EQ(last->GetPositionInRoot().x, 360.0);
    last->SetDroppedDown(true);
    LPopupMenu& popup = *last->GetPopupMenu();
    ASSERT_TRUE(popup.IsVisible(false));
    EXPECT_EQ(popup.GetPositionInRoot().x + popup.GetRect().width, 400.0);
    // A popup that fits keeps its place under its own title.
    last->SetDroppedDown(false);
    bar->GetTitle(1)->SetDroppedDown(true);
    EXPECT_EQ(Popup(1).GetPositionInRoot().x, 60.0);
}

TEST_F(MenuBarTest, SubMenuOpensAfterTheHoverTimeAndFollowsLeftRightAndEscape)
{
    Create(kFileAndHelp);
    bar->GetTitle(0)->SetDroppedDown(true);
    LPopupMenu& file = Popup(0);
    app.mTime = 50.0;
    // The pointer rests over the row of "More".
    const RectT<double> more = file.GetItemRect(1);
    services.cursor = {int32_t(more.x + more.width / 2), int32_t(24 + more.y + more.height / 2)};
    file.SelectRange(1, -1, true);
    EXPECT_TRUE(file.IsHoverWaiting());
    app.mTime = 50.25;
    window->SendIdle();
    EXPECT_FALSE(file.GetOpenSubMenu()) << "250 ms is not more than the wait";
    app.mTime = 50.251;
    window->SendIdle();
    const RCPtr<LPopupMenu> sub = file.GetOpenSubMenu();
    ASSERT_TRUE(sub);
    EXPECT_TRUE(sub->IsVisible(false));
    EXPECT_EQ(Narrow(sub->GetMenu()->GetItem(0)->GetLabel()), "Beta");
    const RectT<double> row = file.GetItemRect(1);
    EXPECT_EQ(sub->GetRect().x, row.x + row.width) << "beside the row, at its right edge";
    EXPECT_EQ(sub->GetRect().y, row.y);
    EXPECT_TRUE(file.IsInChain(sub.Get()));
    EXPECT_TRUE(sub->IsInChain(&file));

    // Left in the sub-menu closes it; Right on the entry opens it again with its first entry.
    sub->HandleKey(Key(0x20250000));
    EXPECT_FALSE(file.GetOpenSubMenu());
    EXPECT_EQ(file.HandleKey(Key(0x20270000)), S_OK);
    ASSERT_TRUE(file.GetOpenSubMenu());
    EXPECT_EQ(file.GetOpenSubMenu()->GetCurrentItem(), 0);

    // Resting on a plain entry closes the sub-menu after the same wait.
    file.SelectRange(0, -1, true);
    app.mTime = 51.0;
    window->SendIdle();
    EXPECT_FALSE(file.GetOpenSubMenu());

    // Return on an entry with a sub-menu opens it and leaves the popup open.
    file.SelectRange(1, -1, true);
    EXPECT_EQ(file.HandleKey(Key(0x200D0000)), S_OK);
    EXPECT_TRUE(file.GetOpenSubMenu());
    EXPECT_TRUE(file.IsVisible(false));
    file.CloseSubMenu();
    file.SelectRange(0, -1, true);

    // Escape in a title's popup changes nothing; Right on a plain entry neither.
    EXPECT_EQ(file.HandleKey(Key(0x201B0000)), S_OK);
    EXPECT_EQ(file.HandleKey(Key(0x20270000)), S_OK);
    EXPECT_TRUE(file.IsVisible(false));
    EXPECT_FALSE(file.IsClosing());
}

} // namespace
