// The application object's framework layer: the services every part of the program reaches
// through CurrentApplication, the list of root windows, the idle pass, the skin switch and the
// exit flag. The platform layer (LApplicationBase) and the program (LApplication) fill in the
// operations left pure here. Everything runs on the user-interface thread.
#pragma once

#include "Application/ControlApplicationServices.h"
#include "Application/StatusBarText.h"
#include "ControlBase/ControlFactory.h"
#include "Desktop.h"
#include "Notification/NotificationCenter.h"
#include "Notification/NotificationClient.h"
#include "ObjectBase/RCPtr.h"
#include "Renderer/Font.h"
#include "Renderer/MeasurementRenderer.h"
#include "System/ClipBoard.h"
#include "System/GlobalHotKeyManager.h"
#include "System/IniFileManager.h"
#include "Utilities/Graphics/Point.h"
#include "Utilities/Graphics/Rect.h"
#include "Utilities/Storage/RCPtrArray.h"
#include "Utilities/Storage/StringT.h"
#include "Utilities/Storage/StringTable.h"
#include "Windows/IRootWindow.h"
#include "Windows/WindowApplication.h"

#include <cstdint>
#include <memory>

namespace SV {

class LControl;

class LFrameworkApp : public LNotificationClient, public IWindowApplication, public IClipboardHost
{
public:
    // Sets CurrentApplication, takes the "application" notification centre, makes the
    // application's hot-key manager, which posts into that centre's queue, and has fonts
    // measured by the main window's renderer.
    LFrameworkApp(const RCPtr<LControlFactory>& factory,
                  const ConstRCPtr<LStringTable>& frameworkStrings,
                  const NarrowString& commandLine);
    ~LFrameworkApp() override;

    // The exit request: sets the exit flag and asks every root window but the main one, from
    // the last, to close at the next idle pass. Other notifications are ignored.
    void Receive(const ConstRCPtr<LNotificationDistributor>& sender,
                 const ConstRCPtr<LNotification>& notification) override;

    // The start-up chain; the framework's steps are RunApplicationStartup.
    virtual int32_t Startup() { return RunApplicationStartup(); }
    // Notification recycling, the framework's control types, the "GHK" key bindings and the
    // saved skin. E_FAIL when a step throws (the steps after it do not run) or the skin file
    // holds no skin.
    int32_t RunApplicationStartup();
    // Releases the control factory and the key-binding owner; 0.
    virtual int32_t Shutdown();

    // The factory's top-level control of the name, without parent; empty when none.
    virtual RCPtr<LControl>& CreateRootControl(RCPtr<LControl>& control, const WideString& name);
    // The control in a modal window over the active one: the result given to its close request,
    // or E_FAIL when no window could be opened.
    virtual int32_t RunModal(const RCPtr<LControl>& control, bool systemMenu) = 0;
    // The control in a window of its own: the new root window's index, or E_FAIL.
    virtual int32_t OpenRootWindow(const RCPtr<LControl>& control, bool systemMenu,
                                   bool minimizeBox, bool maximizeBox) = 0;

    virtual int32_t OnCommandLineBeforeStartup(const WideString& commandLine);
    virtual int32_t OnCommandLineAfterStartup(const WideString& commandLine);
    int32_t OnForwardedCommandLine(const WideString& commandLine) override;
    // Redraws the main window, runs one idle pass and the message loop, and a last idle pass;
    // an exception out of the loop shows the start-up error box and posts the exit request.
    virtual void RunMainLoop();
    virtual bool IsExitRequested() const { return mExitRequested; }
    void PostExitRequest() override;

    virtual WideString GetCompanyName() = 0;
    virtual WideString GetApplicationName() = 0;
    virtual WideString GetProductVersion() = 0;
    virtual WideString GetSettingsVersion() = 0;
    virtual WideString GetProductName() = 0;
    virtual WideString GetMainControlName() = 0;
    // The process-wide status bar, which nothing in this program sets.
    virtual RCPtr<IStatusBarText> GetStatusBar();
    virtual int32_t GetLocaleId() = 0;
    virtual int32_t GetDefaultFont(WideString& faceName, float& size, int32_t& style) = 0;
    virtual WideString GetFolder(int32_t folderId) = 0;
    // The main root window's renderer; empty without a root window.
    virtual RCPtr<LMeasurementRenderer> GetMeasurementRenderer();
    // "CurrentSkinIndex" of the user settings; 0 without settings.
    virtual int32_t GetSavedSkinIndex();
    // Makes the skin current, works out the default font, applies the skin again to every
    // root window's main control and saves the index. Throws the failed-result exception when
    // the default font cannot be read.
    virtual int32_t SetSkin(int32_t skinIndex);
    // Seconds since the application was made.
    virtual double GetTime() = 0;
    virtual uint32_t GetTimeMilliseconds() = 0;
    // The current UTC date and time.
    virtual int32_t GetSystemTime(int32_t& year, int32_t& month, int32_t& dayOfWeek, int32_t& day,
                                  int32_t& hour, int32_t& minute, int32_t& second,
                                  int32_t& milliseconds) = 0;
    // A message box (MB_* style) owned by the active root window's native window.
    virtual int32_t ShowMessageBox(const WideString& text, const WideString& caption,
                                   uint32_t type) = 0;
    int32_t AddRootWindow(const RCPtr<IRootWindow>& rootWindow) override;
    int32_t RemoveRootWindow(const RCPtr<IRootWindow>& rootWindow) override;
    virtual RCPtr<LIniFileManager> GetSettings();
    virtual RCPtr<LIniFileManager> GetIniFileManager() = 0;
    // The settings-library handle of settings file 0 ("AppSettings.ini") or 1
    // ("UserSettings.ini"); 0 when it cannot be opened and for any other id.
    virtual int32_t GetSettingsFile(int32_t fileId) = 0;
    virtual int32_t ShowCursor(bool show) = 0;
    virtual int32_t SetCursorPosition(int32_t x, int32_t y) = 0;
    PointT<int32_t> GetCursorPosition() override;
    int32_t GetMouseButtons() override;
    bool IdlePass(bool first) override;
    // Written to the profile of the application's company and product.
    bool SaveMainWindowPlacement(const svp::WindowPlacement& placement) override;
    virtual int32_t GetRendererType() = 0;
    virtual int32_t OnPowerBroadcast() = 0;
    virtual int32_t CreateMainWindow(int32_t rendererType) = 0;
    virtual void OnBeforeMainLoop() {}
    virtual void RunMessageLoop() = 0;
    virtual bool CanExit() = 0;
    virtual svp::HICON GetApplicationIcon() = 0;

    // The "application" centre, made on first use: the program-wide bus.
    RCPtr<LNotificationCenter> GetNotificationCenter() const override;
    // The root window with the highest index whose native window reports itself active, else
    // the empty pointer.
    const RCPtr<IRootWindow>& GetActiveRootWindow() const;
    int32_t IndexOfRootWindow(const IRootWindow* rootWindow) const override;
    const RootWindows& GetRootWindows() const override { return mRootWindows; }

    int32_t ShowBusyText(const WideString& text, bool immediate) override;
    int32_t ClearBusyText(bool immediate) override;

    // The start-up step that selects the saved skin: the saved index clamped to the skins
    // there are (a negative one to the first). E_FAIL, with nothing selected, when the skin
    // file holds no skin.
    int32_t SelectSavedSkin();

    const RCPtr<LControlFactory>& GetControlFactory() const { return mControlFactory; }
    const NarrowString& GetCommandLine() const { return mCommandLine; }
    const ConstRCPtr<LStringTable>& GetFrameworkStringTable() const { return mFrameworkStrings; }
    const ConstRCPtr<LStringTable>& GetApplicationStringTable() const { return mAppStrings; }
    const RCPtr<LGlobalHotKeyManager>& GetHotKeyManager() const override { return mHotKeyManager; }
    // The clipboard service over the display's clipboard; empty without a display.
    const RCPtr<LClipboard>& GetClipboard() const { return mClipboard; }
    // The edit commands go to the edit target of the focused control in the active window (the
    // focused control itself when it names none), when that control supports editing.
    int32_t PerformEditOperation(EditOperation operation) override;
    bool CanPerformEditOperation(EditOperation operation) override;
    svp::HWND GetClipboardOwnerWindow() const override;

    // The font of controls that take no font of their own: the desktop's, with what the current
    // skin sets in its place; worked out by SetSkin, empty before.
    const RCPtr<LFont>& GetApplicationFont() const { return mDefaultFont; }

protected:
    void SetExitRequested() { mExitRequested = true; }

private:
    RCPtr<LControl> FindEditControl() const;

    RCPtr<LControlFactory> mControlFactory;
    NarrowString mCommandLine;
    RootWindows mRootWindows;
    ConstRCPtr<LStringTable> mFrameworkStrings;
    ConstRCPtr<LStringTable> mAppStrings;
    bool mExitRequested = false;
    RCPtr<LFont> mDefaultFont;
    RCPtr<LGlobalHotKeyManager> mHotKeyManager;
    std::unique_ptr<svp::IClipboardBackend> mClipboardBackend;
    RCPtr<LClipboard> mClipboard;
    LControlApplicationServices mControlServices{*this};
};

// The application object from the middle of its construction to the middle of its
// destruction; null otherwise.
extern LFrameworkApp* CurrentApplication;

} // namespace SV
