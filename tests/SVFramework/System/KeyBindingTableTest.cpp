#include "ApplicationDouble.h"
#include "ControlBase/ControlFactory.h"
#include "Notification/Notification.h"
#include "Notification/NotificationNames.h"
#include "System/GlobalHotKeyManager.h"
#include "System/ModifierKeys.h"
#include "Utilities/Storage/StringTable.h"

#include "ResultCodes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using SV::KeyCode;
using SV::WideString;

std::string N(const WideString& text)
{
    return text.ToNarrow().GetText();
}

// The application's bindings as the program's string table carries them.
SV::RCPtr<SV::LStringTable> ApplicationBindings()
{
    SV::LStringTable::Strings strings{
        {u"GHK.NID_EDIT_DELETE_REQ", u"VKEY_DELETE"},
        {u"GHK_WIN.NID_EDIT_COPY_REQ", u"Ctrl+VKEY_C"},
        {u"GHK_WIN.NID_EDIT_CUT_REQ", u"Ctrl+VKEY_X"},
        {u"GHK_WIN.NID_EDIT_PASTE_REQ", u"Ctrl+VKEY_V"},
        {u"GHK_WIN.NID_MENU_FILE_LOAD_PRESET_FROM_FILE", u"Ctrl+VKEY_O"},
        {u"GHK_WIN.NID_MENU_FILE_SAVE_PRESET_TO_FILE", u"Ctrl+VKEY_S"},
        {u"GHK_MAC.NID_EDIT_COPY_REQ", u"COMMAND+VKEY_C"},
        {u"GHK_MAC.NID_MENU_FILE_SAVE_PRESET_TO_FILE", u"COMMAND+VKEY_S"},
        {u"LABEL", u"Not a binding"},
    };
    return SV::RCPtr<SV::LStringTable>(new SV::LStringTable(std::move(strings)));
}

KeyCode Press(uint32_t virtualKey, uint32_t modifiers, uint8_t previous = 0)
{
    return KeyCode(virtualKey, true, previous, modifiers);
}

class Recorder : public SV::LNotificationClient
{
public:
    void Receive(const SV::ConstRCPtr<SV::LNotificationDistributor>&,
                 const SV::ConstRCPtr<SV::LNotification>& notification) override
    {
        names.push_back(N(SV::GetNotificationName(notification->GetId())));
    }
    std::vector<std::string> names;
};

TEST(KeyBindingTable, LoadsOnlyTheEntriesOfItsPrefix)
{
    SV::KeyBindingTable table;
    EXPECT_EQ(table.LoadFromStringTable(ApplicationBindings(), u"GHK"), S_OK);
    EXPECT_EQ(N(table.FindNameForKey(Press(0x2E, 0))), "NID_EDIT_DELETE_REQ");
    EXPECT_TRUE(table.FindNameForKey(Press(0x43, SV::kModifierCtrl)).IsEmpty())
        << "GHK_WIN. does not begin with GHK.";

    EXPECT_EQ(table.LoadFromStringTable(ApplicationBindings(), u"GHK_WIN"), S_OK);
    EXPECT_EQ(N(table.FindNameForKey(Press(0x43, SV::kModifierCtrl))), "NID_EDIT_COPY_REQ");
    EXPECT_EQ(N(table.FindNameForKey(Press(0x4F, SV::kModifierCtrl | SV::kModifierRightCtrl))),
              "NID_MENU_FILE_LOAD_PRESET_FROM_FILE");
    EXPECT_TRUE(table.FindNameForKey(KeyCode(WideString(u"COMMAND+VKEY_C"))).IsEmpty())
        << "GHK_MAC is never loaded";

    EXPECT_EQ(table.LoadFromStringTable(nullptr, u"GHK"), E_INVALIDARG);
}

TEST(KeyBindingTable, FirstSortedIdKeepsAKeyAndUnnamedOrKeylessEntriesBindNothing)
{
    SV::LStringTable::Strings strings{
        {u"GHK.NID_B", u"VKEY_F5"}, {u"GHK.NID_A", u"VKEY_F5"}, {u"GHK.", u"VKEY_F6"},
        {u"GHK.NID_EMPTY", u""},    {u"GHK.X.NID_C", u"[99]"},
    };
    SV::KeyBindingTable table;
    ASSERT_EQ(table.LoadFromStringTable(
                  SV::RCPtr<SV::LStringTable>(new SV::LStringTable(std::move(strings))), u"GHK"),
              S_OK);
    EXPECT_EQ(N(table.FindNameForKey(Press(0x74, 0))), "NID_A");
    EXPECT_FALSE(table.HasName(u"NID_B"));
    EXPECT_TRUE(table.FindNameForKey(Press(0x75, 0)).IsEmpty());
    EXPECT_FALSE(table.HasName(u"NID_EMPTY"));
    // The name is what follows the last dot.
    EXPECT_EQ(N(table.FindNameForKey(KeyCode(u'c', 0))), "NID_C");
}

TEST(KeyBindingTable, AddKeyKeepsEachKeyOnOneName)
{
    SV::KeyBindingTable table;
    const KeyCode f1 = Press(0x70, 0);
    const KeyCode f2 = Press(0x71, 0);
    EXPECT_EQ(table.AddKey(f1, u"NID_ONE"), S_OK);
    EXPECT_EQ(table.AddKey(f2, u"NID_ONE"), S_OK);
    EXPECT_EQ(table.AddKey(f1, u"NID_TWO"), E_INVALIDARG);
    EXPECT_EQ(table.AddKey(Press(0x72, 0), u""), E_INVALIDARG);

    const SV::Array<KeyCode> keys = table.GetKeys(u"NID_ONE");
    ASSERT_EQ(keys.GetCount(), 2);
    EXPECT_EQ(*keys.At(0), f1);
    EXPECT_EQ(*keys.At(1), f2);
    EXPECT_EQ(table.GetFirstKey(u"NID_ONE"), f1);
    EXPECT_TRUE(table.HasName(u"NID_ONE"));
    EXPECT_FALSE(table.HasName(u"NID_TWO"));
    EXPECT_FALSE(table.HasName(u""));
    EXPECT_EQ(table.GetKeys(u"").GetCount(), 0);
    // An unbound name has the empty key, whose text is empty.
    EXPECT_TRUE(table.GetFirstKey(u"NID_TWO").IsEmpty());
    EXPECT_TRUE(SV::KeyCodeToText(table.GetFirstKey(u"NID_TWO").GetCode()).IsEmpty());
}

TEST(KeyBindingTable, ShortcutTextOfABoundName)
{
    SV::KeyBindingTable table;
    table.LoadFromStringTable(ApplicationBindings(), u"GHK_WIN");
    EXPECT_EQ(
        N(SV::KeyCodeToText(table.GetFirstKey(u"NID_MENU_FILE_LOAD_PRESET_FROM_FILE").GetCode())),
        "Ctrl+O");
}

TEST(GlobalHotKeyManager, BoundKeyIsPostedAndDeliveredByTheNextIdlePass)
{
    svtest::ApplicationDouble application;
    application.RunApplicationStartup();
    SV::RCPtr<Recorder> recorder(new Recorder());
    const SV::RCPtr<SV::LNotificationCenter> center = application.GetNotificationCenter();
    for (const char16_t* name : {SV::kNidEditCopyRequest, SV::kNidEditDeleteRequest,
                                 u"NID_MENU_FILE_LOAD_PRESET_FROM_FILE"}) {
        ASSERT_NE(recorder->Register(SV::RCPtr<SV::LNotificationDistributor>(center), name, 0),
                  nullptr);
    }
    const SV::RCPtr<SV::LGlobalHotKeyManager> manager =
        SV::CreateGlobalHotKeyManager(application.GetHotKeyReceiver());
    manager->GetTable().LoadFromStringTable(ApplicationBindings(), u"GHK");
    manager->GetTable().LoadFromStringTable(ApplicationBindings(), u"GHK_WIN");

    EXPECT_EQ(manager->HandleKey(Press(0x43, SV::kModifierCtrl)), S_OK);
    EXPECT_TRUE(recorder->names.empty()) << "posted, not sent";
    application.IdlePass(true);
    EXPECT_EQ(recorder->names, std::vector<std::string>{"NID_EDIT_COPY_REQ"});

    const struct
    {
        KeyCode key;
        int32_t result;
    } cases[] = {
        {Press(0x4F, SV::kModifierCtrl), S_OK},
        {Press(0x4F, SV::kModifierCtrl, 1), S_OK}, // auto-repeat
        {KeyCode(0x4F, false, 1, SV::kModifierCtrl), S_FALSE},
        {Press(0x2E, 0), S_OK},
        {Press(0x2E, SV::kModifierCtrl), S_FALSE},
        {KeyCode(u'o', SV::kModifierCtrl), S_FALSE},
    };
    recorder->names.clear();
    for (const auto& c : cases) {
        EXPECT_EQ(manager->HandleKey(c.key), c.result) << std::hex << c.key.GetCode();
    }
    application.IdlePass(true);
    EXPECT_EQ(recorder->names, (std::vector<std::string>{"NID_MENU_FILE_LOAD_PRESET_FROM_FILE",
                                                         "NID_MENU_FILE_LOAD_PRESET_FROM_FILE",
                                                         "NID_EDIT_DELETE_REQ"}));
    recorder->UnregisterAll();
}

TEST(GlobalHotKeyManager, WithoutReceiverABoundKeyStillCounts)
{
    const SV::RCPtr<SV::LGlobalHotKeyManager> manager = SV::CreateGlobalHotKeyManager(nullptr);
    manager->GetTable().AddKey(Press(0x70, 0), u"NID_HELP");
    EXPECT_EQ(manager->HandleKey(Press(0x70, 0)), S_OK);
    EXPECT_EQ(manager->HandleKey(Press(0x71, 0)), S_FALSE);
}

TEST(KeyBindingTable, ProgramStringTableBindsTheDefaultKeys)
{
    SV::RCPtr<SV::LControlFactory> factory(new SV::LControlFactory(u"Editor"));
    ASSERT_EQ(factory->LoadResources(u"::", 0x0409), S_OK);
    SV::KeyBindingTable table;
    ASSERT_EQ(table.LoadFromStringTable(factory->GetApplicationStringTable(), u"GHK"), S_OK);
    ASSERT_EQ(table.LoadFromStringTable(factory->GetApplicationStringTable(), u"GHK_WIN"), S_OK);
    const struct
    {
        KeyCode key;
        const char* name;
    } cases[] = {
        {Press(0x2E, 0), "NID_EDIT_DELETE_REQ"},
        {Press(0x43, SV::kModifierCtrl), "NID_EDIT_COPY_REQ"},
        {Press(0x58, SV::kModifierCtrl), "NID_EDIT_CUT_REQ"},
        {Press(0x56, SV::kModifierCtrl), "NID_EDIT_PASTE_REQ"},
        {Press(0x4F, SV::kModifierCtrl), "NID_MENU_FILE_LOAD_PRESET_FROM_FILE"},
        {Press(0x53, SV::kModifierCtrl), "NID_MENU_FILE_SAVE_PRESET_TO_FILE"},
        {Press(0x53, SV::kModifierWindows), ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(N(table.FindNameForKey(c.key)), c.name);
    }
}

} // namespace
