// Building menus from string-table keys: the key grammar, the turn-taking numbers, sub-menus,
// labels and help texts, and the editor's own menu bar as it stands in the program's resources.
#include "ControlBase/MenuBuilder.h"
#include "ControlBase/ControlFactory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace SV;

namespace {

std::string Narrow(const WideString& text)
{
    return text.ToNarrow().GetText();
}

// One line of text per tree: "label=ID" for a command, "-" for a separator, "label{...}" for a
// sub-menu, entries separated by ", ".
std::string Describe(const LMenuDescriptor& node)
{
    std::string text;
    for (int32_t i = 0; i < node.GetItemCount(); ++i) {
        const RCPtr<LMenuItemDescriptor> entry = node.GetItem(i);
        if (i > 0) {
            text += ", ";
        }
        if (entry->IsSeparator()) {
            text += "-";
        } else if (entry->HasChildren()) {
            text += Narrow(entry->GetLabel()) + "{" + Describe(*entry) + "}";
        } else {
            text += Narrow(entry->GetLabel()) + "=" + Narrow(entry->GetIdentifier());
        }
    }
    return text;
}

LStringTable::Entries Pairs(std::initializer_list<std::pair<const char16_t*, const char16_t*>> list)
{
    LStringTable::Entries pairs;
    for (const auto& [key, text] : list) {
        pairs.Add({WideString(key), WideString(text)});
    }
    return pairs;
}

struct KeyCase
{
    const char* name;
    LStringTable::Entries pairs;
    std::string expected;
};

TEST(MenuBuilderTest, KeysAreTakenInTurnAndMalformedOnesAreLeftOut)
{
    const KeyCase cases[] = {
        {"no pairs", Pairs({}), ""},
        {"a gap stops the level", Pairs({{u"00.X", u"x"}, {u"02.Y", u"y"}, {u"03.Z", u"z"}}),
         "x=X"},
        {"a repeat is ignored", Pairs({{u"0.A", u"a"}, {u"0.B", u"b"}, {u"1.C", u"c"}}),
         "a=A, c=C"},
        {"10 arrives before 2",
         Pairs({{u"0.A", u"a"}, {u"1.B", u"b"}, {u"10.K", u"k"}, {u"2.C", u"c"}, {u"3.D", u"d"}}),
         "a=A, b=B, c=C, d=D"},
        {"one part, no dot, leading dot",
         Pairs({{u"00.", u"a"}, {u"00", u"b"}, {u".X", u"c"}, {u"00.OK", u"d"}}), "d=OK"},
        {"a group key without identifier", Pairs({{u"00.G.", u"Group"}, {u"G.0", u"empty"}}),
         "Group{empty=}"},
        {"a missing group leaves the entry out", Pairs({{u"00.NONE.", u"gone"}, {u"01.X", u"x"}}),
         "x=X"},
        {"a group that took nothing is a plain entry",
         Pairs({{u"00.G.", u"plain"}, {u"G.1.A", u"a"}}), "plain="},
        {"two trailing dots still open the group", Pairs({{u"00.G..", u"Sub"}, {u"G.0.A", u"a"}}),
         "Sub{a=A}"},
        {"separators drop their text", Pairs({{u"0.A", u"a"}, {u"1.-", u"ignored"}}), "a=A, -"},
        {"groups count on their own",
         Pairs({{u"0.G.", u"g"},
                {u"1.H.", u"h"},
                {u"G.0.A", u"a"},
                {u"H.0.B", u"b"},
                {u"H.1.-", u"-"}}),
         "g{a=A}, h{b=B, -}"},
        {"a group naming itself is refused",
         Pairs({{u"0.G.", u"g"}, {u"G.0.G.", u"again"}, {u"G.1.A", u"a"}}), "g{a=A}"},
        {"groups naming each other are refused",
         Pairs({{u"0.G.", u"g"}, {u"G.0.H.", u"h"}, {u"H.0.G.", u"back"}, {u"H.1.B", u"b"}}),
         "g{h{b=B}}"},
        {"the main level is no group", Pairs({{u"0.A", u"a"}, {u"1..", u"main"}}), "a=A"},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        const RCPtr<LMenuDescriptor> root = BuildMenuDescriptor(c.pairs);
        ASSERT_TRUE(root);
        EXPECT_FALSE(root->GetParent());
        EXPECT_EQ(Describe(*root), c.expected);
    }
}

TEST(MenuBuilderTest, LabelAndHelpSplitAtTheFirstBarWithoutTrimming)
{
    const struct
    {
        const char16_t* text;
        const char* label;
        const char* help;
    } cases[] = {
        {u"Send Program | Send it.", "Send Program ", " Send it."},
        {u"Exit|Exit now", "Exit", "Exit now"},
        {u"No help", "No help", ""},
        {u"a|b|c", "a", "b|c"},
        {u"|only help", "", "only help"},
    };
    for (const auto& c : cases) {
        for (const char16_t* key : {u"0.NID_X", u"0.G."}) {
            const RCPtr<LMenuDescriptor> root =
                BuildMenuDescriptor(Pairs({{key, c.text}, {u"G.0.A", u"a"}}));
            ASSERT_EQ(root->GetItemCount(), 1);
            EXPECT_EQ(Narrow(root->GetItem(0)->GetLabel()), c.label);
            EXPECT_EQ(Narrow(root->GetItem(0)->GetHelpText()), c.help);
        }
    }
}

TEST(MenuBuilderTest, AddMenuEntriesReplacesWhatTheNodeHeld)
{
    const RCPtr<LMenuDescriptor> node(new LMenuDescriptor());
    node->InsertItem(0, u"old", u"OLD", 1, 0);
    MenuGroups groups;
    groups[WideString(u"G")] = Pairs({{u"A", u"a"}});
    const RCPtr<LMenuDescriptor> result =
        AddMenuEntries(Pairs({{u"NEW", u"new"}, {u"G.", u"g"}}), groups, node);
    EXPECT_EQ(result.Get(), node.Get());
    EXPECT_EQ(Describe(*node), "new=NEW, g{a=A}");
    EXPECT_EQ(node->GetItem(1)->GetItem(0)->GetParent().Get(), node->GetItem(1).Get());

    const RCPtr<LMenuDescriptor> fresh = AddMenuEntries(Pairs({{u"-", u""}}), groups, nullptr);
    ASSERT_TRUE(fresh);
    EXPECT_EQ(Describe(*fresh), "-");
}

TEST(MenuBuilderTest, ContextMenusAreCollectedByPrefixInStringOrder)
{
    const LStringTable::Entries numbered = Pairs({{u"CONTEXT_MENU0.00.A", u"a"},
                                                  {u"CONTEXT_MENU10.00.K", u"k"},
                                                  {u"CONTEXT_MENU2.00.B", u"b"},
                                                  {u"LABEL", u"x"},
                                                  {u"MENU_LABEL.00", u"File"}});
    const Array<LStringTable::Entries> menus = CollectContextMenus(numbered);
    ASSERT_EQ(menus.GetCount(), 3);
    EXPECT_EQ(Describe(*BuildMenuDescriptor(*menus.At(0))), "a=A");
    EXPECT_EQ(Describe(*BuildMenuDescriptor(*menus.At(1))), "k=K");
    EXPECT_EQ(Describe(*BuildMenuDescriptor(*menus.At(2))), "b=B");

    // One key of the single-menu form makes it the only menu.
    const Array<LStringTable::Entries> single =
        CollectContextMenus(Pairs({{u"CONTEXT_MENU.00.S", u"s"}, {u"CONTEXT_MENU0.00.A", u"a"}}));
    ASSERT_EQ(single.GetCount(), 1);
    EXPECT_EQ(Describe(*BuildMenuDescriptor(*single.At(0))), "s=S");

    EXPECT_EQ(CollectContextMenus(Pairs({{u"LABEL", u"x"}})).GetCount(), 0);
}

TEST(MenuBuilderTest, TheEditorsMenuBarBuildsFromTheProgramsStringTables)
{
    LControlFactory factory(u"Editor");
    ASSERT_EQ(factory.LoadResources(u"::", 0x0409), 0);
    const RCPtr<LStringTable> table =
        factory.GetStringTableById(WideString(u"PresetEditor.MainControl|mainMenu"));
    ASSERT_TRUE(table);
    LStringTable::Entries entries;
    ASSERT_EQ(table->GetSortedEntries(entries), 0);
    const Array<LStringTable::Entries> menus = CollectContextMenus(entries);
    ASSERT_EQ(menus.GetCount(), 2);

    const RCPtr<LMenuDescriptor> file = BuildMenuDescriptor(*menus.At(0));
    EXPECT_EQ(Describe(*file),
              "Send Program {Ram=NID_MENU_FILE_SEND_PRESET0_TO_DEVICE, "
              "Program 1=NID_MENU_FILE_SEND_PRESET1_TO_DEVICE, "
              "Program 2=NID_MENU_FILE_SEND_PRESET2_TO_DEVICE, "
              "Program 3=NID_MENU_FILE_SEND_PRESET3_TO_DEVICE, "
              "Program 4=NID_MENU_FILE_SEND_PRESET4_TO_DEVICE}, "
              "Get Program {Program 1=NID_MENU_FILE_GET_PRESET1_TO_DEVICE, "
              "Program 2=NID_MENU_FILE_GET_PRESET2_TO_DEVICE, "
              "Program 3=NID_MENU_FILE_GET_PRESET3_TO_DEVICE, "
              "Program 4=NID_MENU_FILE_GET_PRESET4_TO_DEVICE}, "
              "-, Open Program =NID_MENU_FILE_LOAD_PRESET_FROM_FILE, "
              "Save Program =NID_MENU_FILE_SAVE_PRESET_TO_FILE, -, Exit=NID_MENU_FILE_EXIT_REQ");
    EXPECT_EQ(Narrow(file->GetItem(0)->GetHelpText()), " Send this program to the controller.");
    EXPECT_TRUE(file->GetItem(0)->GetIdentifier().IsEmpty());
    EXPECT_EQ(Narrow(file->GetItem(6)->GetHelpText()), "Exit Vedozi Duruzava Program Editor");
    for (int32_t i = 0; i < file->GetItemCount(); ++i) {
        EXPECT_EQ(file->GetItem(i)->IsEnabled(), 1);
        EXPECT_EQ(file->GetItem(i)->IsChecked(), 0);
    }

    const RCPtr<LMenuDescriptor> help = BuildMenuDescriptor(*menus.At(1));
    EXPECT_EQ(Describe(*help), "Open User Guide =NID_MENU_HELP_OPEN_USERGUIDE_REQ, "
                               "About Vedozi Duruzava Program Editor =NID_MENU_HELP_ABOUT_REQ");
}

} // namespace
