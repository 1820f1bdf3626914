// The editor's application object: its settings version, main control, cursors of its own,
// folders, settings files, renderer type, the MIDI manager it hands to the editor and the
// root-module engine it hosts for everything that asks for the program's engine. The windowing
// layer adds the main window and the message loop.
#pragma once

#include "Application/ApplicationBaseWin.h"
#include "PresetEditorCommon/MidiManager.h"
#include "RootModuleEngine.h"

#include <cstdint>

class LApplication : public SV::LApplicationBase<LApplication>, public IRootModuleEngineHost
{
public:
    static constexpr int32_t kAppSettings = 0;
    static constexpr int32_t kUserSettings = 1;

    LApplication(const SV::RCPtr<SV::LControlFactory>& factory,
                 const SV::ConstRCPtr<SV::LStringTable>& frameworkStrings,
                 const SV::WideString& commandLine);
    ~LApplication() override;

    // The framework's start-up, then the editor's: the "GHK_WIN" key bindings (whose failure is
    // the answer), the editor's control types, the MIDI manager and the root-module engine,
    // with this object registered as the engine's host until it goes.
    int32_t Startup() override;

    SV::WideString GetSettingsVersion() override;
    SV::WideString GetMainControlName() override;
    // The drag-and-drop cursors of the program's resources, no cursor for the split, rotate and
    // magnifier names; every other name as the base answers it. Names are recognised by their
    // process-wide string, not by an equal text.
    svp::HCURSOR GetCursor(const SV::WideString& name) override;
    // Folders 5 and 6 are the documents folder too.
    SV::WideString GetFolder(int32_t folderId) override;
    int32_t GetSettingsFile(int32_t fileId) override;
    int32_t GetRendererType() override;
    bool CanExit() override;

    // Empty until start-up made it.
    const SV::RCPtr<SV::LMidiManager>& GetMidiManager() const { return mMidiManager; }
    // The engine start-up made; empty before.
    SV::RCPtr<LRootModuleEngine> GetRootModuleEngine() override { return mEngine; }

protected:
    void SetMidiManager(const SV::RCPtr<SV::LMidiManager>& manager) { mMidiManager = manager; }

private:
    int32_t mAppSettingsHandle = 0;
    int32_t mUserSettingsHandle = 0;
    SV::RCPtr<SV::LMidiManager> mMidiManager;
    SV::RCPtr<LRootModuleEngine> mEngine;
    bool mHostsEngine = false;
};
