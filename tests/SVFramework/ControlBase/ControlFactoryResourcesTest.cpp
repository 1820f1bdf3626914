// The program's own skin and string tables, loaded from the resources compiled into it.
#include "ControlBase/ControlFactory.h"

#include <gtest/gtest.h>

namespace {

using SV::LControlFactory;
using SV::RCPtr;
using SV::WideString;

struct ExpectedText
{
    const char* table;
    const char* id;
    const char* text;
};

WideString TextOf(const LControlFactory& factory, const char* table, const char* id)
{
    const RCPtr<SV::LStringTable> strings = factory.GetStringTableById(WideString(table));
    WideString text(u"<missing>");
    if (strings) {
        strings->GetString(WideString(id), text);
    }
    return text;
}

class ControlFactoryResourcesTest : public testing::TestWithParam<int32_t>
{};

// Whatever the user's locale, the English texts are found: the application document has English
// only, and the framework document follows it.
TEST_P(ControlFactoryResourcesTest, LoadsAllThreeDocumentsAndFindsTheirTextsThroughTheFallback)
{
    LControlFactory factory(u"Vedozi Duruzava Program Editor");
    ASSERT_EQ(factory.LoadResources(u"::", GetParam()), 0);

    EXPECT_TRUE(factory.GetApplicationName().EqualsText(u"PresetEditor"));
    EXPECT_EQ(factory.GetStringTableLocale(), 0x0009);
    EXPECT_TRUE(factory.GetImagePrefix().EqualsText(u"::"));

    const ExpectedText samples[] = {
        {"Framework", "STARTUP_ERROR",
         "The application encountered problems during startup and will now close."},
        {"Framework", "EXCEPTION_ID",
         "The application has encountered Error ID %d.  Please contact Solvane Technical "
         "Support."},
        {"Framework", "GL_ERROR_MESSAGE_GET_PROC_ADDRESS",
         "wglGetProcAddress(\\\"wglGetExtensionsStringARB\\\") failed with error %d: %s."},
        {"|PresetEditor", "GHK_WIN.NID_EDIT_COPY_REQ", "Ctrl+VKEY_C"},
        {"|PresetEditor", "LABEL_GET_PRESET_FAILED_MIDI_ERROR_MSGBOX_TEXT",
         "Error retrieving program from device.  Connect controller and try again."},
        {"|PresetEditor", "LABEL_SEND_PRESET_FAILED_FW_COMPATIBILITY_ERROR_MSGBOX_TEXT",
         "The firmware version of the device is not compatible. "},
        {"|PresetEditor", "HARDWARE_CONFIG_ERROR_TITLE", ""},
        {"|PresetEditor", "CONTROL_PANEL_SETTINGS_FILTER_SEGMENT_2", "|All Files (*.*)|*.*"},
        {"PresetEditor.MainControl|mainMenu",
         "CONTEXT_MENU0.MENU_FILE_GET_PRESET_TO_DEVICE.1.NID_MENU_FILE_GET_PRESET2_TO_DEVICE",
         "Program 2"},
        {"PresetEditor|dialogAbout", "LABEL", "About Vedozi Duruzava Program Editor"},
        {"PresetEditor.Arpeggiator|swingTypeComboBox", "ITEM.00", "50% (Off)"},
        {"PresetEditor.ChannelCommType|midiChannelComboBox", "ITEM.15", "Channel 16"},
    };
    for (const ExpectedText& sample : samples) {
        EXPECT_TRUE(TextOf(factory, sample.table, sample.id).EqualsUtf8(sample.text))
            << sample.table << " " << sample.id;
    }

    ASSERT_EQ(factory.GetSkinCount(), 1);
    const RCPtr<SV::LControlDescriptor> main = factory.FindRootDescriptor(u"mainControl");
    ASSERT_TRUE(main);
    const SV::LLayoutDescriptor& layout = *main->GetLayout();
    for (const auto& axis : layout.axes) {
        EXPECT_EQ(axis.minimum.absolute, axis.maximum.absolute);
        EXPECT_EQ(axis.size.absolute, axis.minimum.absolute);
    }
    EXPECT_EQ(layout.axes[0].size.absolute, 1200.0);
    EXPECT_EQ(layout.axes[1].size.absolute, 720.0);
    EXPECT_TRUE(factory.FindRootDescriptor(u"contextMenu"));
    const RCPtr<SV::LControlDescriptor> toolTip = factory.FindRootDescriptor(u"toolTip");
    ASSERT_TRUE(toolTip);
    ASSERT_TRUE(toolTip->GetSkin()->lookList);
    const RCPtr<SV::LLookDescriptor> look = *toolTip->GetSkin()->lookList->At(0);
    ASSERT_TRUE(look);
    EXPECT_TRUE(look->clientPart);
    EXPECT_EQ(look->nonClientParts.GetCount(), 1);
    EXPECT_TRUE(look->hasTextProperties);
}

INSTANTIATE_TEST_SUITE_P(UserLocales, ControlFactoryResourcesTest,
                         testing::Values(0x0409, 0x0407, 0x0404, 0x0009));

// The framework's texts for a locale of their own, read without an application document (which
// would otherwise settle the locale on English first): each of the eight translations holds every
// string the English table holds, and a locale the table lacks reads English.
TEST(FrameworkStringsTest, EachTranslatedLocaleHasEveryTextAndAnotherLocaleReadsEnglish)
{
    const auto framework = [](int32_t locale) {
        LControlFactory factory(u"Vedozi Duruzava Program Editor");
        EXPECT_EQ(
            factory.LoadStringTables(u"::NO_APPLICATION_STRINGS", u"::FRAMEWORK_STRINGS", locale),
            0);
        return factory.GetFrameworkStringTable();
    };
    const RCPtr<SV::LStringTable> english = framework(0x0009);
    ASSERT_TRUE(english);
    SV::LStringTable::Entries englishEntries;
    english->GetSortedEntries(englishEntries);
    ASSERT_EQ(englishEntries.GetCount(), 37);

    const struct
    {
        int32_t locale;
        const char* cut;
        const char* remaining;
    } translations[] = {
        {0x000A, "Cortar", "restantes"}, {0x0007, "Ausschneiden", "verbleibend"},
        {0x0011, "切り取り", "残り"},    {0x000C, "Couper", "restantes"},
        {0x0010, "Taglia", "rimanenti"}, {0x0012, "잘라내기", "남음"},
        {0x7c04, "剪下", "剩餘"},        {0x0004, "剪切", "剩余"},
    };
    for (const auto& translation : translations) {
        const RCPtr<SV::LStringTable> strings = framework(translation.locale);
        ASSERT_TRUE(strings) << translation.locale;
        SV::LStringTable::Entries entries;
        strings->GetSortedEntries(entries);
        ASSERT_EQ(entries.GetCount(), englishEntries.GetCount()) << translation.locale;
        for (int32_t i = 0; i < entries.GetCount(); ++i) {
            EXPECT_TRUE(entries.At(i)->first.Equals(englishEntries.At(i)->first));
            EXPECT_FALSE(entries.At(i)->second.IsEmpty());
        }
        WideString text;
        EXPECT_TRUE(strings->GetString(u"EDIT_CUT", text) && text.EqualsUtf8(translation.cut))
            << translation.locale;
        EXPECT_TRUE(strings->GetString(u"REMAINING", text) &&
                    text.EqualsUtf8(translation.remaining))
            << translation.locale;
    }

    // Russian has no texts: the table falls back to English, whole.
    const RCPtr<SV::LStringTable> russian = framework(0x0019);
    ASSERT_TRUE(russian);
    WideString text;
    EXPECT_TRUE(russian->GetString(u"EDIT_CUT", text) && text.EqualsUtf8("Cut"));
    EXPECT_TRUE(russian->GetString(u"REMAINING", text) && text.EqualsUtf8("Remaining"));
}

} // namespace
