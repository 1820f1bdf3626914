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

} // namespace
