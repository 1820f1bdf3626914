// The body of the main window ("PresetEditor.MainControl.DeviceView"): the device module of the
// editor's control tree, handing out its edit panels as the four sub-modules, and the place where
// the user's commands run: the File and Help menu commands, their hot keys and the program-bank
// buttons that get and send programs.
#pragma once

#include "ControlBase/Control.h"
#include "RootModuleInterface.h"
#include "StatusView.h"

namespace SV {
class LFileDialog;
class LPresetManager;
} // namespace SV

class LDeviceView : public SV::LControl, public IDevice
{
public:
    LDeviceView(const SV::RCPtr<SV::LControl>& parent, const SV::WideString& name,
                bool mostDerived = true);
    ~LDeviceView() override;

    static SV::RCPtr<SV::LControl>
    CreateControl(const SV::RCPtr<SV::LControl>& parent,
                  const SV::ConstRCPtr<SV::LControlDescriptor>& descriptor);

    // Subscribes the menu commands on the root window and the two hot-key commands on the
    // application centre.
    void OnRootAttached() override;
    // The menus show their entries as they are: 0.
    int32_t UpdateMenuItem(const SV::RCPtr<SV::LMenuDescriptor>& menu, int32_t index,
                           const SV::WideString& identifier, SV::MenuItemState& state) override;
    // Wires the bank buttons (throws when the bank panel lacks one), makes the file dialog, the
    // status record and the program-file manager.
    int32_t Initialize() override;

    SV::RCPtr<ICommunicationType> GetCommunicationType() override;
    SV::RCPtr<IOctave> GetOctave() override;
    SV::RCPtr<IArpeggiator> GetArpeggiator() override;
    SV::RCPtr<ITranspose> GetTranspose() override;

    virtual SV::RCPtr<LStatusView> GetStatusView();
    // "brv", "*.brv" and the dialogs' filter built from the application's texts.
    virtual SV::WideString GetProgramFileExtension();
    virtual SV::WideString GetProgramFileFilter();
    virtual SV::WideString GetProgramFileMask();
    // The open dialog, then the load and its message for a failed load: the load's result, or
    // the dialog's when it was cancelled or there is no program-file manager.
    virtual int32_t LoadProgramFile();
    // The save dialog, then the save, the folder setting and the save-failure box for a failed
    // save: the save's result, or the dialog's when it was cancelled.
    virtual int32_t SaveProgramFile();
    // 0 with the chosen path, else E_FAIL (cancelled or failed).
    virtual int32_t ShowSaveProgramDialog(SV::WideString& path);
    virtual int32_t ShowOpenProgramDialog(SV::WideString& path);

protected:
    // The folder of the file dialog, for the folder setting.
    SV::WideString GetDialogFolder() const;

private:
    using Command = int32_t (LDeviceView::*)(const SV::ConstRCPtr<SV::LNotificationDistributor>&,
                                             const SV::ConstRCPtr<SV::LNotification>&);
    struct BankButton
    {
        const char16_t* name;
        Command command;
        int missingLine;
        int registrationLine;
    };
    struct MenuCommand
    {
        const char16_t* name;
        Command command;
    };
    static const BankButton kBankButtons[];
    static const MenuCommand kMenuCommands[];

    void WireBankButtons();

    int32_t OnSendToRam(const SV::ConstRCPtr<SV::LNotificationDistributor>& sender,
                        const SV::ConstRCPtr<SV::LNotification>& notification);
    int32_t OnSendProgram1(const SV::ConstRCPtr<SV::LNotificationDistributor>& sender,
                           const SV::ConstRCPtr<SV::LNotification>& notification);
    int32_t OnSendProgram2(const SV::ConstRCPtr<SV::LNotificationDistributor>& sender,
                           const SV::ConstRCPtr<SV::LNotification>& notification);
    int32_t OnSendProgram3(const SV::ConstRCPtr<SV::LNotificationDistributor>& sender,
                           const SV::ConstRCPtr<SV::LNotification>& notification);
    int32_t OnSendProgram4(const SV::ConstRCPtr<SV::LNotificationDistributor>& sender,
                           const SV::ConstRCPtr<SV::LNotification>& notification);
    int32_t OnGetFromRam(const SV::ConstRCPtr<SV::LNotificationDistributor>& sender,
                         const SV::ConstRCPtr<SV::LNotification>& notification);
    int32_t OnGetProgram1(const SV::ConstRCPtr<SV::LNotificationDistributor>& sender,
                          const SV::ConstRCPtr<SV::LNotification>& notification);
    int32_t OnGetProgram2(const SV::ConstRCPtr<SV::LNotificationDistributor>& sender,
                          const SV::ConstRCPtr<SV::LNotification>& notification);
    int32_t OnGetProgram3(const SV::ConstRCPtr<SV::LNotificationDistributor>& sender,
                          const SV::ConstRCPtr<SV::LNotification>& notification);
    int32_t OnGetProgram4(const SV::ConstRCPtr<SV::LNotificationDistributor>& sender,
                          const SV::ConstRCPtr<SV::LNotification>& notification);
    int32_t OnLoadProgramFile(const SV::ConstRCPtr<SV::LNotificationDistributor>& sender,
                              const SV::ConstRCPtr<SV::LNotification>& notification);
    int32_t OnSaveProgramFile(const SV::ConstRCPtr<SV::LNotificationDistributor>& sender,
                              const SV::ConstRCPtr<SV::LNotification>& notification);
    int32_t OnExit(const SV::ConstRCPtr<SV::LNotificationDistributor>& sender,
                   const SV::ConstRCPtr<SV::LNotification>& notification);
    int32_t OnOpenUserGuide(const SV::ConstRCPtr<SV::LNotificationDistributor>& sender,
                            const SV::ConstRCPtr<SV::LNotification>& notification);
    int32_t OnAbout(const SV::ConstRCPtr<SV::LNotificationDistributor>& sender,
                    const SV::ConstRCPtr<SV::LNotification>& notification);

    // The panel of that name inside "transposePanel", empty without either.
    SV::RCPtr<SV::LControl> FindTransposePanelChild(const char16_t* name) const;

    SV::ControlNotificationHandler<LDeviceView> mHandler{this};
    SV::RCPtr<SV::LFileDialog> mFileDialog;
    SV::RCPtr<LStatusView> mStatusView;
    SV::RCPtr<SV::LPresetManager> mPresetManager;
};
