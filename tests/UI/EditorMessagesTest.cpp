#include "DriverCommon/EditorMessages.h"

#include "ControlApplicationDouble.h"
#include "ControlBase/Control.h"
#include "DriverCommon/ProgramFolderSetting.h"
#include "EditorApplicationDouble.h"
#include "FakeDesktop.h"
#include "Notification/NotificationCenter.h"
#include "ObjectBase/Holder.h"
#include "ResultCodes.h"
#include "ScopedEnvironment.h"
#include "System/IniFileManagerProxy.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

using SV::RCPtr;
using SV::WideString;

std::string N(const WideString& text)
{
    return text.ToNarrow().GetText();
}

// Everything a notification centre delivers, as name-less records of payload and presence.
class DeliveryRecorder : public SV::LNotificationClient
{
public:
    void Receive(const SV::ConstRCPtr<SV::LNotificationDistributor>&,
                 const SV::ConstRCPtr<SV::LNotification>& notification) override
    {
        payloads.push_back(notification->GetPayload());
    }

    std::vector<SV::ConstRCPtr<SV::LRefCountedObject>> payloads;
};

TEST(EditorMessages, AppStringsComeFromTheApplicationsOwnTableOrAreEmpty)
{
    EXPECT_EQ(N(GetAppString(u"LABEL_GET_PRESET_FAILED_MSGBOX_CAPTION")), "")
        << "without an application";
    const RCPtr<svtest::EditorApplicationDouble> app =
        svtest::EditorApplicationDouble::WithProgramStrings();
    EXPECT_EQ(N(GetAppString(u"LABEL_GET_PRESET_FAILED_MSGBOX_CAPTION")), "Retrieve Program Error");
    EXPECT_EQ(N(GetAppString(u"HARDWARE_CONFIG_ERROR_TITLE")), "") << "held without text";
    EXPECT_EQ(N(GetAppString(u"NO_SUCH_STRING")), "");
    EXPECT_EQ(N(GetAppString(u"LABEL")), "") << "a control's ID is no application string";
}

TEST(EditorMessages, TheMessageBoxIsTheApplicationsAndAnswersItsResult)
{
    svtest::FakeDesktop desktop;
    desktop.messageBoxAnswer = 6;
    EXPECT_EQ(ShowMessageBox(u"text", u"caption", 0x10), E_FAIL) << "without an application";
    EXPECT_TRUE(desktop.messageBoxes.empty());

    const RCPtr<svtest::EditorApplicationDouble> app =
        svtest::EditorApplicationDouble::WithProgramStrings();
    EXPECT_EQ(ShowMessageBox(u"Program file", u"Program File Load", 0x10), 6);
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(desktop.messageBoxes[0].text, "Program file");
    EXPECT_EQ(desktop.messageBoxes[0].caption, "Program File Load");
    EXPECT_EQ(desktop.messageBoxes[0].style, 0x10u);
}

TEST(EditorMessages, NamedNotificationsArePostedWithOrWithoutPayloadFromAnyThread)
{
    const RCPtr<SV::LNotificationCenter> center = SV::CreateNotificationCenter(u"test");
    const RCPtr<DeliveryRecorder> recorder(new DeliveryRecorder());
    recorder->Register(RCPtr<SV::LNotificationDistributor>(center), u"NID_TEST_NAMED_POST");
    const RCPtr<SV::LHolder<int>> payload(new SV::LHolder<int>(7));

    EXPECT_EQ(PostNamedNotification(center, u"NID_TEST_NAMED_POST", nullptr), S_OK);
    std::thread poster(
        [&] { EXPECT_EQ(PostNamedNotification(center, u"NID_TEST_NAMED_POST", payload), S_OK); });
    poster.join();
    EXPECT_TRUE(recorder->payloads.empty()) << "delivered by the queue's owner, later";
    center->Process(false);
    ASSERT_EQ(recorder->payloads.size(), 2u);
    EXPECT_FALSE(recorder->payloads[0]);
    EXPECT_EQ(recorder->payloads[1].Get(), payload.Get());

    EXPECT_EQ(PostNamedNotification(nullptr, u"NID_TEST_NAMED_POST", nullptr), E_INVALIDARG);
    EXPECT_EQ(PostNamedNotification(center, u"", nullptr), E_INVALIDARG);
    const RCPtr<SV::LNotificationQueue> undelivered(new SV::LNotificationQueue());
    EXPECT_EQ(PostNamedNotification(undelivered, u"NID_TEST_NAMED_POST", nullptr), E_FAIL);
    undelivered->Detach();
    center->Process(false);
    EXPECT_EQ(recorder->payloads.size(), 2u);
}

TEST(EditorMessages, AControlsLocalizedTextIsEmptyWithoutItsTableOrEntry)
{
    svtest::ControlApplicationDouble application;
    const std::string strings = R"(<Solvane_StringTable_Definitions>
  <Application Name="PresetEditor">
    <StringTable ID="PresetEditor|mainControl">
      <String ID="HARDWARE_CONFIG_ERROR_TITLE"><Locale LCID="0x0009">No keyboard</Locale></String>
      <String ID="EMPTY"><Locale LCID="0x0009"></Locale></String>
    </StringTable>
  </Application>
</Solvane_StringTable_Definitions>
)";
    ASSERT_EQ(application.mFactory->LoadStringTableTexts(strings, {}, 0x0009), S_OK);
    const RCPtr<SV::LControl> withTable(new SV::LControl(nullptr, u"mainControl"));
    EXPECT_EQ(N(withTable->GetLocalizedText(u"HARDWARE_CONFIG_ERROR_TITLE")), "No keyboard");
    EXPECT_EQ(N(withTable->GetLocalizedText(u"EMPTY")), "");
    EXPECT_EQ(N(withTable->GetLocalizedText(u"MISSING")), "");
    const RCPtr<SV::LControl> withoutTable(new SV::LControl(nullptr, u"other"));
    ASSERT_FALSE(withoutTable->GetStringTable());
    EXPECT_EQ(N(withoutTable->GetLocalizedText(u"HARDWARE_CONFIG_ERROR_TITLE")), "");
}

TEST(ProgramFolderSetting, TheSaveDialogsFolderGoesToTheUserSettings)
{
    SaveProgramFolderSetting(u"/nowhere") /* without an application: nothing, no crash */;

    svtest::TempFolder home;
    svtest::ScopedEnvironment environment;
    environment.Set("HOME", home.Path().c_str());
    environment.Set("XDG_CONFIG_HOME", home.Join("config").c_str());
    SV::CIniFileManagerProxy::SetDefaultFolder(WideString(SV_INI_FILE_MANAGER_FOLDER));
    {
        const RCPtr<svtest::EditorApplicationDouble> app =
            svtest::EditorApplicationDouble::WithProgramStrings();
        SaveProgramFolderSetting(u"/home/player/Programs");
        const int32_t handle = app->GetSettingsFile(LApplication::kUserSettings);
        ASSERT_NE(handle, 0);
        WideString stored;
        EXPECT_EQ(app->GetIniFileManager()->GetIniValueStr(handle, u"PresetLastFolderPath",
                                                           WideString(), stored),
                  S_OK);
        EXPECT_EQ(N(stored), "/home/player/Programs");
    }
    SV::CIniFileManagerProxy::SetDefaultFolder(WideString());
}

} // namespace
