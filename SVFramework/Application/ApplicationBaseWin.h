// The application object's platform layer: names and version from the executable's version
// information, folders, the settings manager, the clock, cursors, the default font, the work
// area, key state and message boxes. A class template over the program's own class, which fills
// in the program's choices.
#pragma once

#include "Application/ApplicationServices.h"
#include "Application/FrameworkApp.h"
#include "Application/MFCFrameworkApp.h"
#include "Application/MainWindowPlacement.h"
#include "Application/NativeWindowServices.h"
#include "Application/Version.h"
#include "Desktop.h"
#include "Locale.h"
#include "MonotonicClock.h"
#include "Notification/Notification.h"
#include "Notification/NotificationNames.h"
#include "ResultCodes.h"
#include "System/IniFileManager.h"
#include "TypeNames.h"
#include "Windows/CursorNames.h"
#include "Windows/WindowOSServices.h"

#include <typeinfo>

namespace SV {

template <class T>
class LApplicationBase : public LFrameworkApp
{
public:
    // The command line is kept as UTF-8. The settings library is loaded from the executable's
    // folder; without it the program runs without settings.
    LApplicationBase(const RCPtr<LControlFactory>& factory,
                     const ConstRCPtr<LStringTable>& frameworkStrings,
                     const WideString& commandLine)
        : LFrameworkApp(factory, frameworkStrings, commandLine.ToNarrow()),
          mClockTick(svp::GetTickMilliseconds()), mSettings(new LIniFileManager())
    {
        mSettings->Load(WideString());
    }

    ~LApplicationBase() override
    {
        mSettings->Unload();
        mSettings = nullptr;
    }

    // The framework's steps, then the main window class and the exit request. E_FAIL when the
    // framework's steps failed.
    int32_t Startup() override
    {
        SetMainWindowClassName(kMainWindowClassName);
        if (RunApplicationStartup() < 0) {
            return E_FAIL;
        }
        Register(GetNotificationCenter(), kNidAppExitRequest, 0);
        return S_OK;
    }

    // The exit request, when the application agrees: every other window closes at the next
    // idle pass, the main window closes and the loop ends.
    void Receive(const ConstRCPtr<LNotificationDistributor>& sender,
                 const ConstRCPtr<LNotification>& notification) override
    {
        if (notification && notification->GetId() == GetNotificationID(kNidAppExitRequest)) {
            if (!CanExit()) {
                return;
            }
            LFrameworkApp::Receive(sender, notification);
            PostApplicationExit(mMainWindow);
            return;
        }
        LFrameworkApp::Receive(sender, notification);
    }

    // A main window still open (the loop ended by a failure) is closed first, so its placement
    // is saved whichever way the run ended.
    int32_t Shutdown() override
    {
        CloseMainWindow(mMainWindow);
        mMainWindow = nullptr;
        mMainNativeWindow = nullptr;
        return LFrameworkApp::Shutdown();
    }

    int32_t CreateMainWindow(int32_t rendererType) override
    {
        const int32_t result = CreateMainNativeWindow(
            *this, rendererType, FunctionName("CreateMainWindow"), mMainWindow);
        mMainNativeWindow = mMainWindow != nullptr && GetRootWindows().GetCount() > 0
                                ? (*GetRootWindows().At(0))->GetWindowServices()
                                : nullptr;
        return result;
    }

    void RunMessageLoop() override { RunApplicationMessageLoop(*this); }

    int32_t RunModal(const RCPtr<LControl>& control, bool systemMenu) override
    {
        const int32_t index = CreateFurtherRootWindow(*this, control, false, systemMenu, false,
                                                      false, FunctionName("CreateRootWindow"));
        if (index < 0) {
            return E_FAIL;
        }
        return RunRootWindowModal(*this, index);
    }

    int32_t OpenRootWindow(const RCPtr<LControl>& control, bool systemMenu, bool minimizeBox,
                           bool maximizeBox) override
    {
        const int32_t index =
            CreateFurtherRootWindow(*this, control, true, systemMenu, minimizeBox, maximizeBox,
                                    FunctionName("CreateRootWindow"));
        if (index < 0) {
            return E_FAIL;
        }
        if (IWindowOSServices* services = (*GetRootWindows().At(index))->GetWindowServices()) {
            services->Show(kShowWindow);
        }
        return index;
    }

    svp::HWND GetMainWindowHandle() const { return mMainWindow; }

    WideString GetCompanyName() override { return Version().GetCompanyName(); }
    WideString GetApplicationName() override { return Version().GetProductName(); }
    WideString GetProductVersion() override { return Version().GetProductVersion(); }
    WideString GetProductName() override { return Version().GetProductName(); }

    svp::HCURSOR GetCursor(const WideString& name) override { return GetSystemCursorForName(name); }

    int32_t GetLocaleId() override
    {
        const MFCFrameworkApp<T>* classLibraryApp = MFCFrameworkApp<T>::GetInstance();
        if (classLibraryApp != nullptr && classLibraryApp->GetLocaleId() != -1) {
            return classLibraryApp->GetLocaleId();
        }
        return static_cast<int32_t>(svp::GetUserDefaultLcid() & 0xFFFF);
    }

    int32_t GetDefaultFont(WideString& faceName, float& size, int32_t& style) override
    {
        return ReadDefaultFont(faceName, size, style);
    }

    RectT<int32_t> GetWorkArea() override { return ReadWorkArea(); }

    WideString GetFolder(int32_t folderId) override
    {
        // Only the configuration folders need the names from the version information.
        if (folderId == 2 || folderId == 3) {
            return GetApplicationFolder(folderId, GetCompanyName(), GetProductName(),
                                        FolderFunction());
        }
        return GetApplicationFolder(folderId, WideString(), WideString(), FolderFunction());
    }

    // The elapsed time of the clock is taken as a signed 32-bit count of milliseconds, so a
    // tick counter that wrapped between two calls still adds the right amount.
    double GetTime() override
    {
        const uint32_t now = GetTimeMilliseconds();
        mClockSeconds += static_cast<int32_t>(now - mClockTick) / 1000.0;
        mClockTick = now;
        return mClockSeconds;
    }

    uint32_t GetTimeMilliseconds() override { return svp::GetTickMilliseconds(); }

    int32_t GetSystemTime(int32_t& year, int32_t& month, int32_t& dayOfWeek, int32_t& day,
                          int32_t& hour, int32_t& minute, int32_t& second,
                          int32_t& milliseconds) override
    {
        ReadSystemTime(year, month, dayOfWeek, day, hour, minute, second, milliseconds);
        return S_OK;
    }

    int32_t GetKeyState(uint32_t virtualKey, uint8_t& down, uint8_t& toggled) override
    {
        const uint16_t state = svp::GetDesktop().GetKeyState(virtualKey);
        down = (state & 0x8000) != 0 ? 1 : 0;
        toggled = (state & 0x0001) != 0 ? 1 : 0;
        return S_OK;
    }

    int32_t ShowMessageBox(const WideString& text, const WideString& caption,
                           uint32_t type) override
    {
        svp::HWND owner = nullptr;
        if (mMainNativeWindow != nullptr) {
            RCPtr<IRootWindow> ownerWindow = GetActiveRootWindow();
            if (!ownerWindow && GetRootWindows().GetCount() > 0) {
                ownerWindow = *GetRootWindows().At(0);
            }
            IWindowOSServices* services = ownerWindow ? ownerWindow->GetWindowServices() : nullptr;
            owner = services != nullptr ? services->GetWindowHandle() : nullptr;
        }
        return svp::GetDesktop().MessageBox(owner, text.ToNarrow().GetText(),
                                            caption.ToNarrow().GetText(), type);
    }

    RCPtr<LIniFileManager> GetIniFileManager() override { return mSettings; }

    int32_t ShowCursor(bool show) override { return svp::GetDesktop().ShowCursor(show); }

    int32_t SetCursorPosition(int32_t x, int32_t y) override
    {
        return svp::GetDesktop().SetCursorPos(x, y) ? S_OK : E_FAIL;
    }

    int32_t OnPowerBroadcast() override { return 1; }

    svp::HICON GetApplicationIcon() override
    {
        return svp::GetDesktop().LoadIconResource(kApplicationIcon);
    }

    static constexpr const char* kMainWindowClassName = "VedoziDuruzavaPresetEditorMainWindowClass";

protected:
    static constexpr int32_t kApplicationIcon = 2002;
    static constexpr int32_t kShowWindow = 5;

    // The main window, once the windowing layer made it; message boxes get an owner only then.
    IWindowOSServices* GetMainNativeWindow() const { return mMainNativeWindow; }
    void SetMainNativeWindow(IWindowOSServices* window) { mMainNativeWindow = window; }

private:
    static std::string FunctionName(const char* operation)
    {
        return "SV::LApplicationBase<" + svp::ClassTypeName(typeid(T)) + ">::" + operation;
    }

    static std::string FolderFunction()
    {
        return "SV::MFCFrameworkApp<" + svp::ClassTypeName(typeid(T)) + ">::GetFolder";
    }

    IWindowOSServices* mMainNativeWindow = nullptr;
    svp::HWND mMainWindow = nullptr;
    uint32_t mClockTick = 0;
    double mClockSeconds = 0.0;
    RCPtr<LIniFileManager> mSettings;
};

} // namespace SV
