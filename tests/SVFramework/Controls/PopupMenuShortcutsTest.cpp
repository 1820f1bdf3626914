#include "Controls/PopupMenuShortcuts.h"
#include "ControlBase/ControlFactory.h"
#include "ControlBase/MenuBuilder.h"

#include <gtest/gtest.h>

#include <string>

using namespace SV;

namespace {

std::string Narrow(const WideString& text)
{
    return text.ToNarrow().GetText();
}

// "label[shortcut]" per entry, sub-menus in braces.
std::string Shortcuts(const LMenuDescriptor& node)
{
    std::string text;
    for (int32_t i = 0; i < node.GetItemCount(); ++i) {
        const RCPtr<LMenuItemDescriptor> entry = node.GetItem(i);
        text += i > 0 ? ", " : "";
        text += entry->IsSeparator() ? "-" : Narrow(entry->GetLabel());
        text += "[" + Narrow(entry->GetShortcutText()) + "]";
        if (entry->HasChildren()) {
            text += "{" + Shortcuts(*entry) + "}";
        }
    }
    return text;
}

TEST(PopupMenuShortcutsTest, TheEditorsFileAndHelpMenusShowTheirBoundKeys)
{
    LControlFactory factory(u"Editor");
    ASSERT_EQ(factory.LoadResources(u"::", 0x0409), 0);
    const RCPtr<LStringTable> table =
        factory.GetStringTableById(WideString(u"PresetEditor.MainControl|mainMenu"));
    ASSERT_TRUE(table);
    KeyBindingTable window;
    ASSERT_EQ(window.LoadFromStringTable(factory.GetApplicationStringTable(), u"GHK_WIN"), 0);
    KeyBindingTable global;
    ASSERT_EQ(global.LoadFromStringTable(factory.GetApplicationStringTable(), u"GHK"), 0);

    LStringTable::Entries entries;
    table->GetSortedEntries(entries);
    const Array<LStringTable::Entries> menus = CollectContextMenus(entries);
    ASSERT_EQ(menus.GetCount(), 2);
    const RCPtr<LMenuDescriptor> file = BuildMenuDescriptor(*menus.At(0));
    FillShortcutTexts(*file, {nullptr, &window, &global});
    EXPECT_EQ(Shortcuts(*file),
              "Send Program []{Ram[], Program 1[], Program 2[], Program 3[], Program 4[]}, "
              "Get Program []{Program 1[], Program 2[], Program 3[], Program 4[]}, -[], "
              "Open Program [Ctrl+O], Save Program [Ctrl+S], -[], Exit[]");

    const RCPtr<LMenuDescriptor> help = BuildMenuDescriptor(*menus.At(1));
    FillShortcutTexts(*help, {nullptr, &window, &global});
    EXPECT_EQ(Shortcuts(*help), "Open User Guide [], About Vedozi Duruzava Program Editor []");
}

TEST(PopupMenuShortcutsTest, NearestTableWinsAndATextOnceFilledIsKept)
{
    KeyBindingTable local;
    ASSERT_EQ(local.AddKey(KeyCode(WideString(u"Ctrl+VKEY_L")), u"NID_A"), 0);
    KeyBindingTable far;
    ASSERT_EQ(far.AddKey(KeyCode(WideString(u"Ctrl+VKEY_F")), u"NID_A"), 0);
    ASSERT_EQ(far.AddKey(KeyCode(WideString(u"VKEY_DELETE")), u"NID_B"), 0);

    const RCPtr<LMenuDescriptor> menu(new LMenuDescriptor());
    menu->InsertItem(0, u"a", u"NID_A", 1, 0);
    menu->InsertItem(1, u"b", u"NID_B", 1, 0);
    menu->InsertSeparator(2);
    menu->InsertItem(3, u"c", u"NID_C", 1, 0);
    FillShortcutTexts(*menu, {&local, &far});
    EXPECT_EQ(Shortcuts(*menu), "a[Ctrl+L], b[Del], -[], c[]");

    // Filled texts are not looked up again, even when a nearer table binds the command later.
    KeyBindingTable nearer;
    ASSERT_EQ(nearer.AddKey(KeyCode(WideString(u"Alt+VKEY_B")), u"NID_B"), 0);
    FillShortcutTexts(*menu, {&nearer, &local, &far});
    EXPECT_EQ(Shortcuts(*menu), "a[Ctrl+L], b[Del], -[], c[]");
}

} // namespace
