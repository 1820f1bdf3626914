#include "Notification/NotificationNames.h"
#include "RootWindowFixture.h"

#include "ControlBase/ControlCreator.h"
#include "ControlBase/MenuBuilder.h"
#include "ControlBase/MenuDescriptor.h"
#include "ControlBase/MenuItemUpdater.h"
#include "Controls/ControlTypes.h"
#include "Controls/PopupMenu.h"
#include "FakeDesktop.h"
#include "Notification/NotificationCenter.h"
#include "ResultCodes.h"
#include "TestFrameworkApp.h"

#include <gtest/gtest.h>

using namespace SV;

namespace {

using Log = std::vector<std::string>;
using Menu = std::vector<std::string>;

// A control with a string table of the test's and a record of its popups being prepared.
class MenuControl : public svtest::InputControl
{
public:
    MenuControl(const RCPtr<LControl>& parent, const char16_t* name, std::vector<std::string>& log)
        : svtest::InputControl(parent, name, log), mLog(log)
    {}

    void SetStrings(LStringTable::Strings strings)
    {
        mStringTable = RCPtr<LStringTable>(new LStringTable(std::move(strings)));
    }
    void OnContextMenuOpening(const RCPtr<LControl>& popup) override
    {
        opened = popup;
        hiddenWhenOpening = !popup->IsVisible(false);
        mLog.push_back("opening");
    }

    RCPtr<LControl> opened;
    bool hiddenWhenOpening = false;

private:
    std::vector<std::string>& mLog;
};

// The identifiers of a menu's entries, "-" for a separator.
Menu Describe(const RCPtr<LMenuDescriptor>& menu)
{
    Menu items;
    for (int32_t i = 0; menu && i < menu->GetItemCount(); ++i) {
        const RCPtr<LMenuItemDescriptor> item = menu->GetItem(i);
        items.push_back(item->IsSeparator()
                            ? std::string("-")
                            : std::string(NarrowString(item->GetIdentifier()).GetText()));
    }
    return items;
}

class ControlMenusTest : public svtest::RootWindowFixture
{
protected:
    ControlMenusTest()
    {
        control = RCPtr<MenuControl>(new MenuControl(main, u"menuOwner", log));
        RCPtr<LLayoutDescriptor> layout(new LLayoutDescriptor());
        svtest::At(10, 60, 40, 30)(*layout);
        control->SetLayout(layout);
        control->UpdateLayout();
        control->SetCreated();
        RegisterFrameworkControlTypes(*app.mFactory);
        EXPECT_EQ(
            app.mFactory->RegisterControlCreateFunction(u"Test.Plain", &CreateControlOf<LControl>),
            S_OK);
    }

    // The skin's "contextMenu" of that class; a popup menu gets the rows it needs, 20 high.
    void LoadContextMenuClass(const char* skinClass)
    {
        const std::string skin =
            std::string("<Document><Skins><Skin Name=\"Default\"><SubControl Class=\"") +
            skinClass +
            R"(" Name="contextMenu" XSizeAbs="60" YSizeAbs="40"><Skin Name="contextMenu">
                 <SubControl Class="Framework.MenuItem" Name="templateItem" XSizeAbs="60" YSizeAbs="20">
                   <Skin Name="templateItem">
                     <SubControl Class="Framework.Button" Name="checkBox" XSizeAbs="16" YSizeAbs="20"/>
                     <SubControl Class="Framework.Label" Name="hotKeyLabel" XPositionAbs="40" XSizeAbs="20" YSizeAbs="20"/>
                   </Skin>
                 </SubControl>
               </Skin></SubControl></Skin></Skins></Document>)";
        ASSERT_EQ(app.mFactory->LoadSkinText(skin), S_OK);
    }
    static RCPtr<LMenuDescriptor>
    MenuOf(std::initializer_list<std::pair<const char16_t*, const char16_t*>> keys)
    {
        LStringTable::Entries pairs;
        for (const auto& [key, text] : keys) {
            pairs.Add({WideString(key), WideString(text)});
        }
        return BuildMenuDescriptor(pairs);
    }
    void RightClick(int32_t x, int32_t y)
    {
        Button(0, 4, x, y, 4);
        Button(1, 4, x, y, 0);
    }

    RCPtr<MenuControl> control;
};

TEST_F(ControlMenusTest, StringTableGivesOneMenuPerGroupInTheOrderOfTheirNames)
{
    struct Case
    {
        const char* what;
        LStringTable::Strings strings;
        std::vector<Menu> menus;
    };
    const Case cases[] = {
        {"two numbered menus",
         {{u"CONTEXT_MENU0.00.NID_A", u"A"},
          {u"CONTEXT_MENU1.00.NID_B", u"B"},
          {u"CONTEXT_MENU0.01.-", u""}},
         {{"NID_A", "-"}, {"NID_B"}}},
        {"the single form wins",
         {{u"CONTEXT_MENU.00.NID_X", u"X"}, {u"CONTEXT_MENU0.00.NID_Y", u"Y"}},
         {{"NID_X"}}},
        {"menu 10 sorts between 1 and 2 and keeps its own entries",
         {{u"CONTEXT_MENU1.00.NID_ONE", u"1"},
          {u"CONTEXT_MENU2.00.NID_TWO", u"2"},
          {u"CONTEXT_MENU10.00.NID_TEN", u"10"}},
         {{"NID_ONE"}, {"NID_TEN"}, {"NID_TWO"}}},
        {"no menu keys", {{u"LABEL", u"x"}, {u"CONTEXT_MENU5", u"no dot"}}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        control->SetStrings(c.strings);
        RCPtrArray<LMenuDescriptor, 1, 0> menus;
        EXPECT_EQ(control->ParseContextMenu(menus), S_FALSE);
        std::vector<Menu> described;
        for (int32_t i = 0; i < menus.GetCount(); ++i) {
            described.push_back(Describe(*menus.At(i)));
        }
        EXPECT_EQ(described, c.menus);
    }
    // Without a string table nothing is added.
    RCPtrArray<LMenuDescriptor, 1, 0> menus;
    EXPECT_EQ(a->ParseContextMenu(menus), S_FALSE);
    EXPECT_EQ(menus.GetCount(), 0);
}

TEST_F(ControlMenusTest, CommandWithAKeyBindingGoesTheWayOfItsKey)
{
    window->GetHotKeyManager()->GetTable().AddKey(KeyCode(WideString(u"Ctrl+VKEY_A")), u"NID_A");
    window->GetHotKeyManager()->GetTable().AddKey(KeyCode(WideString(u"Ctrl+VKEY_C")), u"NID_C");
    RCPtr<svtest::LogRecorder> recorder(new svtest::LogRecorder(log));
    for (const char16_t* name : {u"NID_A", u"NID_B", u"NID_C"}) {
        recorder->Register(RCPtr<LNotificationDistributor>(window), name);
    }
    // NID_C is bound inside a sub-menu: the entries of sub-menus are walked too.
    ASSERT_EQ(control->SetContextMenu(MenuOf({{u"00.NID_A", u"A"},
                                              {u"01.NID_B", u"B"},
                                              {u"02.MORE.", u"More"},
                                              {u"MORE.00.NID_C", u"C"}})),
              S_OK);
    log.clear();
    for (const char16_t* name : {u"NID_A", u"NID_B", u"NID_C"}) {
        LControl::SendNotificationToReceiver(control.Get(), name, nullptr);
    }
    EXPECT_TRUE(log.empty()) << "posted, as the key posts it";
    window->OnIdle(false);
    EXPECT_EQ(log, (Log{"?:NID_A", "?:NID_C"}));

    // Replacing the menu takes the commands of the old one away.
    ASSERT_EQ(control->SetContextMenu(nullptr), S_OK);
    log.clear();
    LControl::SendNotificationToReceiver(control.Get(), u"NID_A", nullptr);
    window->OnIdle(false);
    EXPECT_TRUE(log.empty());
    recorder->UnregisterAll();
}

TEST_F(ControlMenusTest, CommandBoundOnlyByTheApplicationGoesToTheApplicationsKeys)
{
    svtest::FakeDesktop desktop;
    RCPtr<svtest::TestFrameworkApp> application(new svtest::TestFrameworkApp());
    application->GetHotKeyManager()->GetTable().AddKey(KeyCode(WideString(u"Ctrl+VKEY_O")),
                                                       u"NID_OPEN");
    const RCPtr<LNotificationCenter> centre = application->GetNotificationCenter();
    RCPtr<svtest::LogRecorder> recorder(new svtest::LogRecorder(log));
    recorder->Register(RCPtr<LNotificationDistributor>(centre), u"NID_OPEN");
    recorder->Register(RCPtr<LNotificationDistributor>(window), u"NID_OPEN");
    control->SetContextMenu(MenuOf({{u"00.NID_OPEN", u"Open"}}));
    log.clear();
    LControl::SendNotificationToReceiver(control.Get(), u"NID_OPEN", nullptr);
    window->OnIdle(false);
    EXPECT_TRUE(log.empty()) << "the window does not bind it";
    centre->Process(false);
    EXPECT_EQ(log, (Log{"?:NID_OPEN"}));
    recorder->UnregisterAll();
    control->SetContextMenu(nullptr);
}

TEST_F(ControlMenusTest, RightClickOpensTheMenuInAHiddenPopupAtThePointer)
{
    LoadContextMenuClass("Framework.PopupMenu");
    const RCPtr<LMenuDescriptor> menu = MenuOf({{u"00.NID_A", u"A"}});
    control->SetContextMenu(menu);
    RCPtr<svtest::LogRecorder> recorder(new svtest::LogRecorder(log));
    recorder->Listen(RCPtr<LControl>(control), {kNidRightClick});
    log.clear();
    RightClick(20, 70);
    const RCPtr<LPopupMenu> popup(
        dynamic_cast<LPopupMenu*>(control->FindChildControl(u"contextMenu").Get()));
    ASSERT_TRUE(popup);
    EXPECT_EQ(Describe(popup->GetMenu()), Menu{"NID_A"});
    EXPECT_EQ(popup->GetItemCount(), 1u);
    EXPECT_TRUE(control->hiddenWhenOpening);
    EXPECT_TRUE(popup->IsVisible(true));
    EXPECT_EQ(popup->GetPositionInRoot().x, 20.0) << "its corner at the pointer";
    EXPECT_TRUE(popup->HasFocus());
    EXPECT_EQ(control->opened.Get(), static_cast<LControl*>(popup.Get()));
    // The click notification first, then the popup is prepared.
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(Log(log.end() - 2, log.end()), (Log{"menuOwner:NID_RIGHT_CLICK", "opening"}));
    control->opened = nullptr;
}

TEST_F(ControlMenusTest, SkinWithoutAPopupMenuShowsNoMenu)
{
    control->SetContextMenu(MenuOf({{u"00.NID_A", u"A"}}));
    // No "contextMenu" in the skin at all.
    RightClick(20, 70);
    EXPECT_FALSE(control->FindChildControl(u"contextMenu"));
    EXPECT_FALSE(control->opened);
    // A "contextMenu" that makes no popup menu is taken away again.
    LoadContextMenuClass("Test.Plain");
    RightClick(20, 70);
    EXPECT_FALSE(control->FindChildControl(u"contextMenu"));
    EXPECT_FALSE(control->opened);
}

TEST_F(ControlMenusTest, UpdaterLinksBackToItsControlWithoutKeepingItAlive)
{
    class Watched : public LControl
    {
    public:
        Watched(bool& destroyed) : LControl(nullptr, u"watched"), mDestroyed(destroyed) {}
        ~Watched() override { mDestroyed = true; }

    private:
        bool& mDestroyed;
    };
    bool destroyed = false;
    RCPtr<LControl> watched(new Watched(destroyed));
    const RCPtr<LMenuItemUpdater> updater = watched->GetMenuItemUpdater();
    EXPECT_EQ(watched->GetMenuItemUpdater().Get(), updater.Get());
    EXPECT_EQ(updater->GetControl().Get(), watched.Get());
    MenuItemState state;
    EXPECT_EQ(watched->UpdateMenuItem(nullptr, 0, u"NID_A", state), S_FALSE);
    watched = nullptr;
    EXPECT_TRUE(destroyed);
    EXPECT_FALSE(updater->GetControl());
}

} // namespace
