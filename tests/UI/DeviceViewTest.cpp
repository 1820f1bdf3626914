#include "DeviceView.h"
#include "DriverCommon/EditorNotificationNames.h"
#include "Notification/NotificationNames.h"

#include "EditorSkinFixture.h"
#include "EditorSkins.h"
#include "ExceptionText.h"

#include "ControlBase/ControlCreator.h"
#include "Controls/Dialog.h"
#include "DriverCommon/MainControl.h"
#include "PresetEditorCommon/MidiManager.h"
#include "ScopedEnvironment.h"
#include "System/IniFileManagerProxy.h"
#include "Windows/RootWindow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using SV::RCPtr;

std::string N(const SV::WideString& text)
{
    return text.ToNarrow().GetText();
}

const char* const kStrings = R"(
<StringTable ID="|PresetEditor">
  <String ID="CONTROL_PANEL_SETTINGS_FILTER_SEGMENT_1"><Locale LCID="0x0009">Vedozi Duruzava Program Editor (*.</Locale></String>
  <String ID="CONTROL_PANEL_SETTINGS_FILTER_SEGMENT_2"><Locale LCID="0x0009">|All Files (*.*)|*.*</Locale></String>
  <String ID="SETTINGS_FILE_LOAD_CAPTION"><Locale LCID="0x0009">Program File Load</Locale></String>
  <String ID="SETTINGS_FILE_SAVE_CAPTION"><Locale LCID="0x0009">Program File Save</Locale></String>
  <String ID="SETTINGS_FILE_LOAD_CORRUPT_MESSAGE"><Locale LCID="0x0009">Damaged</Locale></String>
  <String ID="SETTINGS_FILE_LOAD_UNREADABLE_MESSAGE"><Locale LCID="0x0009">Cannot read %s</Locale></String>
  <String ID="LABEL_OPEN_USERGUIDE_FILE_FAILED_MSGBOX_TEXT"><Locale LCID="0x0009">The user guide failed to open.</Locale></String>
  <String ID="LABEL_OPEN_USERGUIDE_FILE_FAILED_MSGBOX_CAPTION"><Locale LCID="0x0009">Open User Guide Failed</Locale></String>
</StringTable>
)";

// A manager whose exchanges only record their slots.
class SlotRecordingMidiManager : public SV::LMidiManager
{
public:
    int32_t GetPresetFromMidiDevice(int32_t slot) override
    {
        calls.push_back("get " + std::to_string(slot));
        return 0;
    }
    int32_t SendPresetToMidiDevice(int32_t slot) override
    {
        calls.push_back("send " + std::to_string(slot));
        return 0;
    }

    std::vector<std::string> calls;
};

// The device view with file dialogs that answer what the test chose.
class ScriptedDialogDeviceView : public LDeviceView
{
public:
    using LDeviceView::LDeviceView;

    static RCPtr<SV::LControl>
    CreateControl(const RCPtr<SV::LControl>& parent,
                  const SV::ConstRCPtr<SV::LControlDescriptor>& descriptor)
    {
        return SV::CreateControlOf<ScriptedDialogDeviceView>(parent, descriptor);
    }

    int32_t ShowOpenProgramDialog(SV::WideString& path) override
    {
        ++dialogs;
        path = chosenPath;
        return dialogResult;
    }
    int32_t ShowSaveProgramDialog(SV::WideString& path) override
    {
        ++dialogs;
        path = chosenPath;
        return dialogResult;
    }

    inline static SV::WideString chosenPath;
    inline static int32_t dialogResult = 0;
    inline static int32_t dialogs = 0;
};

class DeviceViewTest : public svtest::EditorSkinFixture
{
protected:
    void SetUp() override
    {
        ScriptedDialogDeviceView::dialogResult = 0;
        ScriptedDialogDeviceView::dialogs = 0;
        ScriptedDialogDeviceView::chosenPath = SV::WideString(folder.Join("missing.brv").c_str());
    }

    void Build(const std::string& viewChildren)
    {
        Load(svtest::MainControlSkin(viewChildren, true, kAboutDialog), kStrings,
             [](SV::LControlFactory& factory) {
                 factory.RegisterControlCreateFunction(u"PresetEditor.MainControl.DeviceView",
                                                       &ScriptedDialogDeviceView::CreateControl);
             });
        app->SetMidiManager(manager);
        main = RCPtr<SV::LMainControl>(CreateWindow(u"mainControl"));
        ASSERT_TRUE(main);
        view = RCPtr<LDeviceView>(main->FindChildControl(u"viewDevice"));
        ASSERT_TRUE(view);
    }

    void Command(const char16_t* name) { window->Notify(SV::CreateNotification(name, nullptr)); }

    void Click(const char16_t* button)
    {
        const RCPtr<SV::LControl>& bank = view->FindChildControl(u"programBankPanel");
        bank->FindChildControl(button)->Notify(SV::CreateNotification(SV::kNidLeftClick, nullptr));
    }

    static constexpr const char* kAboutDialog =
        R"(<SubControl Class="PresetEditor.DialogAbout" Name="dialogAbout" XSizeAbs="500" YSizeAbs="200"><Skin Name="dialogAbout">
<SubControl Class="Framework.Label" Name="labelProduct" XSizeAbs="500" YSizeAbs="20"/>
<SubControl Class="Framework.Label" Name="labelCopyright" XSizeAbs="500" YSizeAbs="10"/>
</Skin></SubControl>
)";

    RCPtr<SlotRecordingMidiManager> manager{new SlotRecordingMidiManager()};
    RCPtr<SV::LMainControl> main;
    RCPtr<LDeviceView> view;
};

TEST_F(DeviceViewTest, HandsOutItsPanelsAsTheDevicesModules)
{
    Build(svtest::TransposePanelSkin());
    EXPECT_EQ(main->GetDevice().Get(), static_cast<IDevice*>(view.Get()));
    EXPECT_TRUE(view->GetOctave());
    EXPECT_TRUE(view->GetTranspose());
    EXPECT_FALSE(view->GetCommunicationType());
    EXPECT_FALSE(view->GetArpeggiator());
    EXPECT_TRUE(view->GetStatusView());
}

TEST_F(DeviceViewTest, BankButtonsAndMenuCommandsGetAndSendTheirSlots)
{
    Build(svtest::BankPanelSkin());
    for (const char16_t* button :
         {u"sendToRam", u"sendProgram1", u"sendProgram4", u"getProgram1", u"getProgram3"}) {
        Click(button);
    }
    EXPECT_EQ(manager->calls,
              (std::vector<std::string>{"send 0", "send 1", "send 4", "get 1", "get 3"}));
    manager->calls.clear();
    for (const char16_t* command :
         {SV::kNidMenuFileSendPreset0ToDevice, SV::kNidMenuFileSendPreset2ToDevice,
          SV::kNidMenuFileGetPreset0ToDevice, SV::kNidMenuFileGetPreset4ToDevice}) {
        Command(command);
    }
    EXPECT_EQ(manager->calls, (std::vector<std::string>{"send 0", "send 2", "get 0", "get 4"}));
}

TEST_F(DeviceViewTest, ABankPanelWithoutOneOfItsButtonsCannotBeBuilt)
{
    Load(svtest::MainControlSkin(svtest::BankPanelSkin("getProgram3")));
    EXPECT_EQ(svtest::ExceptionTextOf<SV::Exception<std::runtime_error>>(
                  [&] { CreateWindow(u"mainControl"); }),
              "Runtime Error : Null Pointer : cannot find child getProgram3 : "
              "LDeviceView::Initialize : UI\\DeviceView : Line 130");
}

TEST_F(DeviceViewTest, TheFileFilterNamesTheProgramExtension)
{
    Build("");
    EXPECT_EQ(N(view->GetProgramFileMask()), "*.brv");
    EXPECT_EQ(N(view->GetProgramFileFilter()),
              "Vedozi Duruzava Program Editor (*.brv)|*.brv|All Files (*.*)|*.*");
}

TEST_F(DeviceViewTest, OpeningAProgramFileThatCannotBeReadSaysSo)
{
    Build("");
    ScriptedDialogDeviceView::dialogResult = E_FAIL;
    Command(SV::kNidMenuFileLoadPresetFromFile);
    EXPECT_EQ(ScriptedDialogDeviceView::dialogs, 1);
    EXPECT_TRUE(desktop.messageBoxes.empty()) << "a cancelled dialog shows nothing";

    ScriptedDialogDeviceView::dialogResult = 0;
    // The hot key Ctrl+O arrives on the application centre.
    NotifyCentre(SV::kNidMenuFileLoadPresetFromFile, nullptr);
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(desktop.messageBoxes[0].caption, "Program File Load");
    EXPECT_EQ(desktop.messageBoxes[0].text, "Cannot read " + folder.Join("missing.brv"));
    EXPECT_EQ(desktop.messageBoxes[0].style, 0x10u);

    // A file that was read and is no program.
    folder.WriteFile("damaged.brv", "no program");
    ScriptedDialogDeviceView::chosenPath = SV::WideString(folder.Join("damaged.brv").c_str());
    NotifyCentre(SV::kNidMenuFileLoadPresetFromFile, nullptr);
    ASSERT_EQ(desktop.messageBoxes.size(), 2u);
    EXPECT_EQ(desktop.messageBoxes[1].text, "Damaged");
}

TEST_F(DeviceViewTest, EverySaveTheUserConfirmsKeepsTheFolderAndAFailedOneSaysSo)
{
    svtest::TempFolder home;
    svtest::ScopedEnvironment environment;
    environment.Set("HOME", home.Path().c_str());
    environment.Set("XDG_CONFIG_HOME", home.Join("config").c_str());
    SV::CIniFileManagerProxy::SetDefaultFolder(SV::WideString(SV_INI_FILE_MANAGER_FOLDER));
    Build("");
    const int32_t settings = app->GetSettingsFile(LApplication::kUserSettings);
    ASSERT_NE(settings, 0);
    const auto storedFolder = [&] {
        SV::WideString stored;
        app->GetIniFileManager()->GetIniValueStr(settings, u"PresetLastFolderPath",
                                                 SV::WideString(), stored);
        return N(stored);
    };
    app->GetIniFileManager()->SetIniValueStr(settings, u"PresetLastFolderPath", u"earlier");

    ScriptedDialogDeviceView::dialogResult = E_FAIL;
    Command(SV::kNidMenuFileSavePresetToFile);
    EXPECT_EQ(storedFolder(), "earlier") << "a cancelled dialog stores nothing";

    ScriptedDialogDeviceView::dialogResult = 0;
    ScriptedDialogDeviceView::chosenPath =
        SV::WideString(folder.Join("no such folder/program.brv").c_str());
    EXPECT_LT(view->SaveProgramFile(), 0);
    EXPECT_NE(storedFolder(), "earlier");
    ASSERT_EQ(desktop.messageBoxes.size(), 1u) << "a failed save says so";
    EXPECT_EQ(desktop.messageBoxes[0].caption, "Program File Save");
    TearDown(); // the application goes while its settings library is still known
    SV::CIniFileManagerProxy::SetDefaultFolder(SV::WideString());
}

TEST_F(DeviceViewTest, ExitAsksTheApplicationToEnd)
{
    Build("");
    Command(SV::kNidMenuFileExitRequest);
    EXPECT_EQ(DeliverPosted(SV::kNidAppExitRequest), 1);
}

TEST_F(DeviceViewTest, TheUserGuideOpensFromTheProgramsFolderOrSaysItCouldNot)
{
    Build("");
    Command(SV::kNidMenuHelpOpenUserGuideRequest);
    ASSERT_EQ(desktop.openedDocuments.size(), 1u);
    EXPECT_EQ(desktop.openedDocuments[0],
              N(app->GetFolder(0)) + "/Vedozi Duruzava Program Editor - User Guide - v1.0.pdf");
    EXPECT_TRUE(desktop.messageBoxes.empty());

    desktop.openDocumentAnswer = false;
    Command(SV::kNidMenuHelpOpenUserGuideRequest);
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(desktop.messageBoxes[0].text, "The user guide failed to open.");
    EXPECT_EQ(desktop.messageBoxes[0].caption, "Open User Guide Failed");
    EXPECT_EQ(desktop.messageBoxes[0].style, 0u);
}

TEST_F(DeviceViewTest, AboutRunsAFreshDialogEachTime)
{
    Build("");
    std::vector<SV::LControl*> shown;
    controls->mOnModalPass = [&](const RCPtr<SV::LRootWindow>& modal) {
        const RCPtr<SV::LDialog> dialog(modal->GetMainControl());
        ASSERT_TRUE(dialog);
        shown.push_back(dialog.Get());
        modal->RequestClose(2);
    };
    Command(SV::kNidMenuHelpAboutRequest);
    Command(SV::kNidMenuHelpAboutRequest);
    EXPECT_EQ(controls->mModalRuns, 2);
    ASSERT_EQ(shown.size(), 2u);
}

} // namespace
