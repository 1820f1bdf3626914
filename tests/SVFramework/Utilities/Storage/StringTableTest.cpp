// String tables: the table object, and reading the two documents in the user's locale.
#include "Utilities/Storage/StringTable.h"
#include "ControlBase/ControlFactory.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using SV::LControlFactory;
using SV::LStringTable;
using SV::RCPtr;
using SV::WideString;

std::vector<std::u16string> IdsOf(const LStringTable::Entries& entries)
{
    std::vector<std::u16string> ids;
    for (const auto& entry : entries) {
        ids.emplace_back(entry.first.GetText());
    }
    return ids;
}

TEST(StringTableTest, GetAndSetAnswerWhetherTheIdWasThere)
{
    LStringTable table;
    WideString text(u"default");
    EXPECT_FALSE(table.GetString(u"LABEL", text));
    EXPECT_TRUE(text.EqualsText(u"default"));

    EXPECT_EQ(table.SetString(u"", u"x"), E_INVALIDARG);
    EXPECT_EQ(table.SetString(u"LABEL", u"one"), 0);
    EXPECT_EQ(table.SetString(u"LABEL", u"two"), 1);
    EXPECT_TRUE(table.GetString(u"LABEL", text));
    EXPECT_TRUE(text.EqualsText(u"two"));
}

TEST(StringTableTest, EntriesComeInCodeUnitOrderAndPrefixesMatchExactly)
{
    LStringTable table;
    for (const char16_t* id : {u"MENU_LABEL.10", u"ITEM.00", u"MENU_LABEL.02", u"MENU_LABEL",
                               u"MENU_LABELX", u"menu_label.01", u"MENU_LABEL.", u"Z"}) {
        table.SetString(id, u"text");
    }
    LStringTable::Entries entries;
    entries.Add({u"stale", u"entry"});
    ASSERT_EQ(table.GetIDsWithPrefix(u"MENU_LABEL.", entries), 0);
    EXPECT_EQ(IdsOf(entries),
              (std::vector<std::u16string>{u"MENU_LABEL.", u"MENU_LABEL.02", u"MENU_LABEL.10"}));

    ASSERT_EQ(table.GetSortedEntries(entries), 0);
    EXPECT_EQ(IdsOf(entries), (std::vector<std::u16string>{
                                  u"ITEM.00", u"MENU_LABEL", u"MENU_LABEL.", u"MENU_LABEL.02",
                                  u"MENU_LABEL.10", u"MENU_LABELX", u"Z", u"menu_label.01"}));
    ASSERT_EQ(table.GetIDsWithPrefix(u"NONE", entries), 0);
    EXPECT_EQ(entries.GetCount(), 0);
}

// A string-table document with one table "T" holding one string "S" per locale given.
std::string Document(std::initializer_list<std::pair<const char*, const char*>> locales)
{
    std::string document = R"(<Root><Application Name="PresetEditor"><StringTable ID="T">)"
                           R"(<String ID="S">)";
    for (const auto& [lcid, text] : locales) {
        document += std::string("<Locale LCID=\"") + lcid + "\">" + text + "</Locale>";
    }
    return document + "</String></StringTable></Application></Root>";
}

TEST(StringTableTest, TheUserLocaleFallsBackToItsLanguageThenToEnglish)
{
    const struct
    {
        int32_t userLocale;
        std::string application;
        std::string framework;
        int32_t settledLocale;
        const char16_t* applicationText;
        const char16_t* frameworkText;
    } cases[] = {
        // No entry for 0x0409: its language, English, serves both documents.
        {0x0409, Document({{"0x0009", "en"}}), Document({{"0x0009", "EN"}, {"0x0007", "DE"}}),
         0x0009, u"en", u"EN"},
        // The application document has English only, so the framework's German is not used.
        {0x0407, Document({{"0x0009", "en"}}), Document({{"0x0007", "DE"}, {"0x0009", "EN"}}),
         0x0009, u"en", u"EN"},
        {0x0407, Document({{"0x0007", "de"}}), Document({{"0x0007", "DE"}, {"0x0009", "EN"}}),
         0x0007, u"de", u"DE"},
        // Traditional Chinese locales share one text, not the simplified one.
        {0x0404, Document({{"0x0004", "zh-s"}, {"0x7C04", "zh-t"}}), Document({{"0x7C04", "ZH-T"}}),
         0x7C04, u"zh-t", u"ZH-T"},
        {0x1404, Document({{"0x7C04", "zh-t"}}), Document({{"0x0009", "EN"}}), 0x0009, u"zh-t",
         u"EN"},
        // Nothing in English: the application document ends on English with empty tables.
        {0x0009, Document({{"0x0007", "de"}}), Document({{"9", "EN"}}), 0x0009, nullptr, u"EN"},
        // An exact match wins at once, written in decimal or hexadecimal.
        {0x0411, Document({{"1041", "ja-JP"}, {"0x0011", "ja"}}), Document({{"0x0411", "JA-JP"}}),
         0x0411, u"ja-JP", u"JA-JP"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.userLocale);
        LControlFactory factory(u"Product");
        ASSERT_EQ(factory.LoadStringTableTexts(c.application, {}, c.userLocale), 0);
        const RCPtr<LStringTable> application = factory.GetStringTableById(u"T");
        ASSERT_TRUE(application); // entered even when nothing matched
        WideString text;
        EXPECT_EQ(application->GetString(u"S", text), c.applicationText != nullptr);
        if (c.applicationText != nullptr) {
            EXPECT_TRUE(text.EqualsText(c.applicationText));
        }

        LControlFactory both(u"Product");
        ASSERT_EQ(both.LoadStringTableTexts(c.application, c.framework, c.userLocale), 0);
        EXPECT_EQ(both.GetStringTableLocale(), c.settledLocale);
        ASSERT_TRUE(both.GetStringTableById(u"T")->GetString(u"S", text));
        // Both documents fill the same table "T"; the first text read for "S" stays, and a
        // later match appends to it, so the framework's text ends the string.
        const std::u16string whole(text.GetText());
        EXPECT_TRUE(whole.ends_with(c.frameworkText)) << std::string(whole.begin(), whole.end());
    }
}

TEST(StringTableTest, LocaleTextsAreKeptWholeAndASecondMatchAppends)
{
    LControlFactory factory(u"Product");
    const std::string document = R"(<?xml version="1.0"?>
        <Root><Locale LCID="9">orphan</Locale>
        <StringTable ID="A">
          <String ID="ONE"><Locale LCID="0x0009">a &amp; b
  c</Locale><Locale LCID="0x0009">+more</Locale></String>
          <String><Locale LCID="9">-again</Locale></String>
          <String ID="EMPTY"><Locale LCID="9"/></String>
        </StringTable>
        <StringTable ID="B"><String ID="TWO"><Locale LCID="9">b</Locale></String></StringTable>
        <StringTable ID="A"><String ID="THREE"><Locale LCID="9">three</Locale></String>
        </StringTable></Root>)";
    ASSERT_EQ(factory.LoadStringTableTexts(document, {}, 0x0009), 0);
    EXPECT_TRUE(factory.GetApplicationName().EqualsText(u"Product"));

    const RCPtr<LStringTable> a = factory.GetStringTableById(u"A");
    ASSERT_TRUE(a);
    WideString text;
    ASSERT_TRUE(a->GetString(u"ONE", text));
    EXPECT_TRUE(text.EqualsText(u"a & b\n  c+more-again"));
    ASSERT_TRUE(a->GetString(u"EMPTY", text));
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_TRUE(a->GetString(u"THREE", text)); // a table met again goes on
    EXPECT_FALSE(a->GetString(u"TWO", text));
    EXPECT_FALSE(factory.GetStringTableById(u"")); // the Locale before every table went nowhere
}

TEST(StringTableTest, TablesAreFoundByOwnerAndHandedOutAsSeparateCopies)
{
    LControlFactory factory(u"Product");
    const std::string document = R"(<Root><Application Name="PresetEditor">
        <StringTable ID="|PresetEditor"><String ID="APP"><Locale LCID="9">app</Locale></String>
        </StringTable>
        <StringTable ID="PresetEditor|mainControl"><String ID="LABEL"><Locale LCID="9">main</Locale>
        </String></StringTable>
        <StringTable ID="Parent.Class|label"><String ID="LABEL"><Locale LCID="9">child</Locale>
        </String></StringTable></Application></Root>)";
    const std::string framework = R"(<Root><StringTable ID="Framework"><String ID="EDIT_CUT">
        <Locale LCID="9">Cut</Locale></String></StringTable></Root>)";
    ASSERT_EQ(factory.LoadStringTableTexts(document, framework, 0x0409), 0);

    WideString text;
    ASSERT_TRUE(factory.GetApplicationStringTable());
    EXPECT_TRUE(factory.GetApplicationStringTable()->GetString(u"APP", text));
    EXPECT_TRUE(factory.GetFrameworkStringTable()->GetString(u"EDIT_CUT", text));
    EXPECT_TRUE(factory.GetStringTable(nullptr, u"mainControl")->GetString(u"LABEL", text));
    EXPECT_TRUE(text.EqualsText(u"main"));
    EXPECT_FALSE(factory.GetStringTable(nullptr, u"nobody"));

    const RCPtr<SV::LControlDescriptor> parent(
        new SV::LControlDescriptor(u"Parent.Class", u"p", nullptr));
    const RCPtr<LStringTable> first = factory.GetStringTable(parent, u"label");
    const RCPtr<LStringTable> second = factory.GetStringTable(parent, u"label");
    ASSERT_TRUE(first && second);
    EXPECT_NE(first.Get(), second.Get());
    first->SetString(u"LABEL", u"changed");
    EXPECT_TRUE(second->GetString(u"LABEL", text));
    EXPECT_TRUE(text.EqualsText(u"child"));
    EXPECT_TRUE(factory.GetStringTable(parent, u"label")->GetString(u"LABEL", text));
    EXPECT_TRUE(text.EqualsText(u"child"));
}

} // namespace
