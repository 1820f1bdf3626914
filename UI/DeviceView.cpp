#include "DeviceView.h"

#include "AboutDlg.h"
#include "Application/FileDialog.h"
#include "Application/FrameworkApp.h"
#include "ControlBase/ControlCreator.h"
#include "Controls/Button.h"
#include "Controls/Dialog.h"
#include "Controls/MenuBar.h"
#include "Controls/Panel.h"
#include "Desktop.h"
#include "DriverCommon/EditorMessages.h"
#include "DriverCommon/MainControl.h"
#include "DriverCommon/PresetFile.h"
#include "DriverCommon/PresetManager.h"
#include "DriverCommon/ProgramFolderSetting.h"
#include "DriverCommon/EditorNotificationNames.h"
#include "Notification/Notification.h"
#include "Notification/NotificationCenter.h"
#include "Notification/NotificationNames.h"
#include "ObjectBase/Exception.h"
#include "ProgramExchangeActions.h"
#include "ResultCodes.h"
#include "Utilities/Storage/Paths.h"
#include "Windows/RootWindow.h"

#include <stdexcept>
#include <string>

using namespace SV;

namespace {

constexpr const char* kSourcePath = "UI\\DeviceView";
constexpr const char* kInitializeContext = " : LDeviceView::Initialize : UI\\DeviceView : Line ";
constexpr const char16_t* kUserGuideFile =
    u"Vedozi Duruzava Program Editor - User Guide - v1.0.pdf";
constexpr uint32_t kOkStyle = 0;

} // namespace

const LDeviceView::BankButton LDeviceView::kBankButtons[] = {
    {u"sendProgram1", &LDeviceView::OnSendProgram1, 101, 102},
    {u"sendProgram2", &LDeviceView::OnSendProgram2, 105, 106},
    {u"sendProgram3", &LDeviceView::OnSendProgram3, 109, 110},
    {u"sendProgram4", &LDeviceView::OnSendProgram4, 113, 114},
    {u"sendToRam", &LDeviceView::OnSendToRam, 117, 118},
    {u"getProgram1", &LDeviceView::OnGetProgram1, 122, 123},
    {u"getProgram2", &LDeviceView::OnGetProgram2, 126, 127},
    {u"getProgram3", &LDeviceView::OnGetProgram3, 130, 131},
    {u"getProgram4", &LDeviceView::OnGetProgram4, 134, 135},
};

const LDeviceView::MenuCommand LDeviceView::kMenuCommands[] = {
    {kNidMenuFileSendPreset0ToDevice, &LDeviceView::OnSendToRam},
    {kNidMenuFileSendPreset1ToDevice, &LDeviceView::OnSendProgram1},
    {kNidMenuFileSendPreset2ToDevice, &LDeviceView::OnSendProgram2},
    {kNidMenuFileSendPreset3ToDevice, &LDeviceView::OnSendProgram3},
    {kNidMenuFileSendPreset4ToDevice, &LDeviceView::OnSendProgram4},
    {kNidMenuFileGetPreset0ToDevice, &LDeviceView::OnGetFromRam},
    {kNidMenuFileGetPreset1ToDevice, &LDeviceView::OnGetProgram1},
    {kNidMenuFileGetPreset2ToDevice, &LDeviceView::OnGetProgram2},
    {kNidMenuFileGetPreset3ToDevice, &LDeviceView::OnGetProgram3},
    {kNidMenuFileGetPreset4ToDevice, &LDeviceView::OnGetProgram4},
    {kNidMenuFileLoadPresetFromFile, &LDeviceView::OnLoadProgramFile},
    {kNidMenuFileSavePresetToFile, &LDeviceView::OnSaveProgramFile},
    {kNidMenuFileExitRequest, &LDeviceView::OnExit},
    {kNidMenuHelpOpenUserGuideRequest, &LDeviceView::OnOpenUserGuide},
    {kNidMenuHelpAboutRequest, &LDeviceView::OnAbout},
};

LDeviceView::LDeviceView(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived)
    : LControl(parent, name, mostDerived)
{}

LDeviceView::~LDeviceView()
{
    mFileDialog = nullptr;
    mStatusView = nullptr;
    mPresetManager = nullptr;
}

RCPtr<LControl> LDeviceView::CreateControl(const RCPtr<LControl>& parent,
                                           const ConstRCPtr<LControlDescriptor>& descriptor)
{
    return CreateControlOf<LDeviceView>(parent, descriptor);
}

int32_t LDeviceView::Initialize()
{
    const int32_t result = LControl::Initialize();
    if (result < 0) {
        return result;
    }
    mHandler.Create();
    if (!mHandler) {
        throw Exception<FailedResultException>(
            FormatFailedResult(E_OUTOFMEMORY, "LDeviceView::Initialize", kSourcePath, 91));
    }
    mFileDialog = RCPtr<LFileDialog>(new LFileDialog(WideString(u".")));
    WireBankButtons();
    // The menu bar asks this view about its entries before it shows them.
    const RCPtr<LControl>& parent = LControl::GetParent();
    if (const RCPtr<LMainControl> main(parent); main) {
        if (const RCPtr<LMainMenu> menu(main->FindChildControl(u"mainMenu")); menu) {
            menu->SetCommandTarget(GetMenuItemUpdater());
        }
    }
    mStatusView = RCPtr<LStatusView>(new LStatusView());
    mPresetManager = LPresetManager::Create();
    return result;
}

void LDeviceView::WireBankButtons()
{
    const RCPtr<LPanel> bank(FindChildControl(u"programBankPanel"));
    if (!bank) {
        return;
    }
    for (const BankButton& entry : kBankButtons) {
        const RCPtr<LButton> button(bank->FindChildControl(entry.name));
        if (!button) {
            throw Exception<std::runtime_error>(
                "Runtime Error : Null Pointer : cannot find child " +
                std::string(WideString(entry.name).ToNarrow().GetText()) + kInitializeContext +
                std::to_string(entry.missingLine));
        }
        const int32_t registered = mHandler->RegisterHandler(
            entry.command, RCPtr<LNotificationDistributor>(button), kNidLeftClick);
        if (registered < 0) {
            throw Exception<FailedResultException>(FormatFailedResult(
                registered, "LDeviceView::Initialize", kSourcePath, entry.registrationLine));
        }
    }
}

void LDeviceView::OnRootAttached()
{
    if (mHandler) {
        if (const RCPtr<LRootWindow>& window = GetRootWindowRef()) {
            for (const MenuCommand& entry : kMenuCommands) {
                mHandler->RegisterHandler(entry.command, RCPtr<LNotificationDistributor>(window),
                                          entry.name);
            }
        }
        // The hot keys of Open and Save are raised on the application centre.
        const RCPtr<LNotificationDistributor> centre(mNotificationCenter);
        mHandler->RegisterHandler(&LDeviceView::OnLoadProgramFile, centre,
                                  kNidMenuFileLoadPresetFromFile);
        mHandler->RegisterHandler(&LDeviceView::OnSaveProgramFile, centre,
                                  kNidMenuFileSavePresetToFile);
    }
    LControl::OnRootAttached();
}

int32_t LDeviceView::UpdateMenuItem(const RCPtr<LMenuDescriptor>& /*menu*/, int32_t /*index*/,
                                    const WideString& /*identifier*/, MenuItemState& /*state*/)
{
    return S_OK;
}

RCPtr<LControl> LDeviceView::FindTransposePanelChild(const char16_t* name) const
{
    const RCPtr<LControl>& panel = FindChildControl(u"transposePanel");
    return panel ? panel->FindChildControl(name) : nullptr;
}

RCPtr<ICommunicationType> LDeviceView::GetCommunicationType()
{
    return RCPtr<ICommunicationType>(FindChildControl(u"commType"));
}

RCPtr<IOctave> LDeviceView::GetOctave()
{
    return RCPtr<IOctave>(FindTransposePanelChild(u"octave"));
}

RCPtr<IArpeggiator> LDeviceView::GetArpeggiator()
{
    return RCPtr<IArpeggiator>(FindChildControl(u"arpeggiator"));
}

RCPtr<ITranspose> LDeviceView::GetTranspose()
{
    return RCPtr<ITranspose>(FindTransposePanelChild(u"transpose"));
}

RCPtr<LStatusView> LDeviceView::GetStatusView()
{
    return mStatusView;
}

WideString LDeviceView::GetProgramFileExtension()
{
    return WideString(u"brv");
}

WideString LDeviceView::GetProgramFileMask()
{
    return WideString(u"*.") + GetProgramFileExtension();
}

WideString LDeviceView::GetProgramFileFilter()
{
    const WideString extension = GetProgramFileExtension();
    return GetAppString(u"CONTROL_PANEL_SETTINGS_FILTER_SEGMENT_1") + extension +
           WideString(u")|*.") + extension +
           GetAppString(u"CONTROL_PANEL_SETTINGS_FILTER_SEGMENT_2");
}

int32_t LDeviceView::ShowOpenProgramDialog(WideString& path)
{
    if (!mFileDialog) {
        return E_FAIL;
    }
    const int32_t result = mFileDialog->Open(GetProgramFileFilter(), GetProgramFileMask(),
                                             GetAppString(u"LOAD_PRESET_DIALOG_TITLE"), false);
    if (result >= 0) {
        path = mFileDialog->GetFileName();
    }
    return result;
}

int32_t LDeviceView::ShowSaveProgramDialog(WideString& path)
{
    if (!mFileDialog) {
        return E_FAIL;
    }
    const int32_t result = mFileDialog->Save(GetProgramFileFilter(), GetProgramFileMask(),
                                             GetAppString(u"SAVE_PRESET_DIALOG_TITLE"));
    if (result >= 0) {
        path = mFileDialog->GetFileName();
    }
    return result;
}

WideString LDeviceView::GetDialogFolder() const
{
    return mFileDialog ? mFileDialog->GetDirectory() : WideString();
}

int32_t LDeviceView::LoadProgramFile()
{
    WideString path;
    const int32_t chosen = ShowOpenProgramDialog(path);
    if (chosen < 0 || !mPresetManager) {
        return chosen;
    }
    const int32_t result = mPresetManager->LoadPresetFile(path);
    switch (result) {
    case -1:
        LPresetManager::ShowLoadOlderMessage();
        break;
    case -2:
        LPresetManager::ShowLoadNewerMessage();
        break;
    case -3:
        LPresetManager::ShowLoadCorruptMessage();
        break;
    case -4:
        LPresetManager::ShowLoadWrongDeviceMessage();
        break;
    case -5:
        LPresetManager::ShowTranslationFailureMessage();
        break;
    case PresetFile::kUnreadable:
        LPresetManager::ShowLoadUnreadableMessage(path);
        break;
    default:
        break;
    }
    return result;
}

int32_t LDeviceView::SaveProgramFile()
{
    WideString path;
    const int32_t chosen = ShowSaveProgramDialog(path);
    if (chosen < 0) {
        return chosen;
    }
    const int32_t result = mPresetManager ? mPresetManager->SavePresetFile(path) : E_FAIL;
    SaveProgramFolderSetting(GetDialogFolder());
    if (result < 0) {
        LPresetManager::ShowSaveFailedMessage();
    }
    return result;
}

int32_t LDeviceView::OnSendToRam(const ConstRCPtr<LNotificationDistributor>&,
                                 const ConstRCPtr<LNotification>&)
{
    SendProgramToDevice(0);
    return 1;
}

int32_t LDeviceView::OnSendProgram1(const ConstRCPtr<LNotificationDistributor>&,
                                    const ConstRCPtr<LNotification>&)
{
    SendProgramToDevice(1);
    return 1;
}

int32_t LDeviceView::OnSendProgram2(const ConstRCPtr<LNotificationDistributor>&,
                                    const ConstRCPtr<LNotification>&)
{
    SendProgramToDevice(2);
    return 1;
}

int32_t LDeviceView::OnSendProgram3(const ConstRCPtr<LNotificationDistributor>&,
                                    const ConstRCPtr<LNotification>&)
{
    SendProgramToDevice(3);
    return 1;
}

int32_t LDeviceView::OnSendProgram4(const ConstRCPtr<LNotificationDistributor>&,
                                    const ConstRCPtr<LNotification>&)
{
    SendProgramToDevice(4);
    return 1;
}

int32_t LDeviceView::OnGetFromRam(const ConstRCPtr<LNotificationDistributor>&,
                                  const ConstRCPtr<LNotification>&)
{
    GetProgramFromDevice(0);
    return 1;
}

int32_t LDeviceView::OnGetProgram1(const ConstRCPtr<LNotificationDistributor>&,
                                   const ConstRCPtr<LNotification>&)
{
    GetProgramFromDevice(1);
    return 1;
}

int32_t LDeviceView::OnGetProgram2(const ConstRCPtr<LNotificationDistributor>&,
                                   const ConstRCPtr<LNotification>&)
{
    GetProgramFromDevice(2);
    return 1;
}

int32_t LDeviceView::OnGetProgram3(const ConstRCPtr<LNotificationDistributor>&,
                                   const ConstRCPtr<LNotification>&)
{
    GetProgramFromDevice(3);
    return 1;
}

int32_t LDeviceView::OnGetProgram4(const ConstRCPtr<LNotificationDistributor>&,
                                   const ConstRCPtr<LNotification>&)
{
    GetProgramFromDevice(4);
    return 1;
}

int32_t LDeviceView::OnLoadProgramFile(const ConstRCPtr<LNotificationDistributor>&,
                                       const ConstRCPtr<LNotification>&)
{
    LoadProgramFile();
    return 1;
}

int32_t LDeviceView::OnSaveProgramFile(const ConstRCPtr<LNotificationDistributor>&,
                                       const ConstRCPtr<LNotification>&)
{
    SaveProgramFile();
    return 1;
}

int32_t LDeviceView::OnExit(const ConstRCPtr<LNotificationDistributor>&,
                            const ConstRCPtr<LNotification>&)
{
    PostNamedNotification(RCPtr<LNotificationQueue>(mNotificationCenter), kNidAppExitRequest,
                          nullptr);
    return 1;
}

int32_t LDeviceView::OnOpenUserGuide(const ConstRCPtr<LNotificationDistributor>&,
                                     const ConstRCPtr<LNotification>&)
{
    if (CurrentApplication == nullptr) {
        return 1;
    }
    const WideString path = JoinPath(CurrentApplication->GetFolder(0), WideString(kUserGuideFile));
    if (!svp::GetDesktop().OpenDocument(std::string(path.ToNarrow().GetText()))) {
        CurrentApplication->ShowMessageBox(
            GetAppString(u"LABEL_OPEN_USERGUIDE_FILE_FAILED_MSGBOX_TEXT"),
            GetAppString(u"LABEL_OPEN_USERGUIDE_FILE_FAILED_MSGBOX_CAPTION"), kOkStyle);
    }
    return 1;
}

int32_t LDeviceView::OnAbout(const ConstRCPtr<LNotificationDistributor>&,
                             const ConstRCPtr<LNotification>&)
{
    if (CurrentApplication == nullptr) {
        return 1;
    }
    RCPtr<LControl> created;
    CurrentApplication->CreateRootControl(created, WideString(u"dialogAbout"));
    if (const RCPtr<LDialog> dialog(created); dialog) {
        dialog->DoModal();
    }
    return 1;
}
