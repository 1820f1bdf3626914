#include "Application/FrameworkApp.h"

#include "Application/BusyTextScope.h"
#include "Application/MainWindowPlacement.h"
#include "ControlBase/Control.h"
#include "ControlBase/ControlFactory.h"
#include "Controls/ControlTypes.h"
#include "MessageBoxStyles.h"
#include "Notification/Notification.h"
#include "Notification/NotificationNames.h"
#include "ObjectBase/Exception.h"
#include "Renderer/FontRenderer/FontFileInfo.h"
#include "Renderer/Renderer.h"
#include "ResultCodes.h"
#include "System/GlobalHotKeyManager.h"
#include "System/IniFileManager.h"
#include "Utilities/Storage/StringTable.h"
#include "VirtualKeys.h"
#include "WindowClipboard.h"
#include "Windows/CursorNames.h"
#include "Windows/OSWindowContext.h"
#include "Windows/RootWindow.h"
#include "Windows/WindowOSServices.h"

#include <algorithm>

namespace SV {

LFrameworkApp* CurrentApplication = nullptr;

namespace {

constexpr const char16_t* kSkinIndexKey = u"CurrentSkinIndex";
constexpr int32_t kUserSettings = 1;

bool IsActiveWindow(const RCPtr<IRootWindow>& rootWindow)
{
    IWindowOSServices* services = rootWindow ? rootWindow->GetWindowServices() : nullptr;
    return services != nullptr && services->IsActive();
}

} // namespace

LFrameworkApp::LFrameworkApp(const RCPtr<LControlFactory>& factory,
                             const ConstRCPtr<LStringTable>& frameworkStrings,
                             const NarrowString& commandLine)
    : mControlFactory(factory), mCommandLine(commandLine), mFrameworkStrings(frameworkStrings)
{
    CurrentApplication = this;
    SetWindowApplication(this);
    SetClipboardHost(this);
    SetControlApplication(&mControlServices);
    const RCPtr<LNotificationCenter> center = GetNotificationCenter();
    mHotKeyManager = CreateGlobalHotKeyManager(
        center ? RCPtr<LNotificationReceiver>(center->GetPostingReceiver()) : nullptr);
    // The display's clipboard, once the program has one. Another program taking it over needs
    // no call: the service reads the clipboard again when it asks next.
    if (OSWindowContext* context = OSWindowContext::Current()) {
        mClipboardBackend = svp::CreateWindowClipboard(context->GetWindows());
        mClipboard = RCPtr<LClipboard>(new LClipboard(*mClipboardBackend));
    }
    if (mControlFactory) {
        mAppStrings = mControlFactory->GetApplicationStringTable();
    }
    LFont::SetMeasurementRendererSource([] {
        return CurrentApplication != nullptr ? CurrentApplication->GetMeasurementRenderer()
                                             : RCPtr<LMeasurementRenderer>();
    });
    // A skin font whose family has no file falls back to the desktop's font (only its family
    // counts) when the OpenGL back end looks for the file to draw it with.
    LFontFileInfo::SetDefaultFontSource([]() -> ConstRCPtr<LFont> {
        WideString face;
        float size = 0.0f;
        int32_t style = 0;
        if (CurrentApplication == nullptr ||
            CurrentApplication->GetDefaultFont(face, size, style) < 0 || face.IsEmpty()) {
            return nullptr;
        }
        return LFont::GetFont(face, size, style);
    });
}

LFrameworkApp::~LFrameworkApp()
{
    UnregisterAll();
    {
        RCPtr<LNotificationCenterManager> manager = std::move(GetNotificationCenterManager());
    }
    SetNotificationRecycling(false);
    LFont::SetMeasurementRendererSource(nullptr);
    LFontFileInfo::SetDefaultFontSource(nullptr);
    if (GetControlApplication() == &mControlServices) {
        SetControlApplication(nullptr);
    }
    CurrentApplication = nullptr;
    SetWindowApplication(nullptr);
    SetClipboardHost(nullptr);
    if (mClipboard) {
        mClipboard->UnregisterAll();
    }
    mClipboard = nullptr;
    mClipboardBackend.reset();
    mHotKeyManager = nullptr;
    mDefaultFont = nullptr;
    mAppStrings = nullptr;
    mFrameworkStrings = nullptr;
    mRootWindows.RemoveAll();
    mControlFactory = nullptr;
}

void LFrameworkApp::Receive(const ConstRCPtr<LNotificationDistributor>&,
                            const ConstRCPtr<LNotification>& notification)
{
    if (!notification || notification->GetId() != GetNotificationID(kNidAppExitRequest)) {
        return;
    }
    SetExitRequested();
    // The main window (index 0) goes last, with the message loop.
    for (int32_t i = mRootWindows.GetCount() - 1; i >= 1; --i) {
        if (i < mRootWindows.GetCount()) {
            const RCPtr<IRootWindow> rootWindow = *mRootWindows.At(i);
            rootWindow->RequestClose(0);
        }
    }
}

void LFrameworkApp::PostExitRequest()
{
    if (const RCPtr<LNotificationCenter> center = GetNotificationCenter()) {
        center->Post(CreateNotification(kNidAppExitRequest));
    }
}

int32_t LFrameworkApp::RunApplicationStartup()
{
    try {
        SetNotificationRecycling(true);
        if (mControlFactory) {
            RegisterFrameworkControlTypes(*mControlFactory);
        }
        // Unbound keys are no failure: the program runs without them.
        if (mHotKeyManager && mAppStrings) {
            mHotKeyManager->GetTable().LoadFromStringTable(mAppStrings, WideString(u"GHK"));
        }
        if (mClipboard && mClipboard->Initialize() < 0) {
            throw Exception<FailedResultException>(
                FormatFailedResult(E_FAIL, "SV::LClipboard::Initialize", "System\\ClipBoard", 41));
        }
        // A skin file without a skin leaves nothing to show.
        if (SelectSavedSkin() < 0) {
            return E_FAIL;
        }
    } catch (const std::exception&) {
        return E_FAIL;
    }
    return S_OK;
}

int32_t LFrameworkApp::Shutdown()
{
    // Each pointer is cleared before its object goes, so that nothing reaches it half destroyed.
    RCPtr<LControlFactory> factory = mControlFactory;
    mControlFactory = nullptr;
    factory = nullptr;
    RCPtr<LGlobalHotKeyManager> hotKeys = mHotKeyManager;
    mHotKeyManager = nullptr;
    hotKeys = nullptr;
    RCPtr<LClipboard> clipboard = mClipboard;
    mClipboard = nullptr;
    if (clipboard) {
        clipboard->UnregisterAll();
    }
    clipboard = nullptr;
    return S_OK;
}

RCPtr<LControl>& LFrameworkApp::CreateRootControl(RCPtr<LControl>& control, const WideString& name)
{
    control = mControlFactory ? mControlFactory->CreateRootControl(name, nullptr) : nullptr;
    return control;
}

int32_t LFrameworkApp::OnCommandLineBeforeStartup(const WideString&)
{
    return S_OK;
}

int32_t LFrameworkApp::OnCommandLineAfterStartup(const WideString&)
{
    return S_OK;
}

int32_t LFrameworkApp::OnForwardedCommandLine(const WideString&)
{
    return S_OK;
}

void LFrameworkApp::RunMainLoop()
{
    if (mRootWindows.GetCount() > 0) {
        const RCPtr<IRootWindow> mainWindow = *mRootWindows.At(0);
        mainWindow->RedrawAll();
    }
    OnBeforeMainLoop();
    IdlePass(true);
    try {
        RunMessageLoop();
    } catch (...) {
        WideString text;
        WideString caption;
        if (mFrameworkStrings) {
            mFrameworkStrings->GetString(WideString(u"STARTUP_ERROR"), text);
            mFrameworkStrings->GetString(WideString(u"STARTUP_ERROR_CAPTION"), caption);
        }
        ShowMessageBox(text, caption, MB_ICONHAND);
        PostExitRequest();
    }
    IdlePass(true);
}

RCPtr<IStatusBarText> LFrameworkApp::GetStatusBar()
{
    return nullptr;
}

RCPtr<LMeasurementRenderer> LFrameworkApp::GetMeasurementRenderer()
{
    if (mRootWindows.GetCount() == 0) {
        return nullptr;
    }
    return RCPtr<LMeasurementRenderer>((*mRootWindows.At(0))->GetRenderer());
}

int32_t LFrameworkApp::GetSavedSkinIndex()
{
    const int32_t handle = GetSettingsFile(kUserSettings);
    if (handle == 0) {
        return 0;
    }
    int32_t index = 0;
    // A failed read leaves the default.
    GetSettings()->GetIniValueInt(handle, WideString(kSkinIndexKey), 0, index);
    return index;
}

int32_t LFrameworkApp::SetSkin(int32_t skinIndex)
{
    WideString faceName;
    float size = 0.0f;
    int32_t style = 0;
    const int32_t fontResult = GetDefaultFont(faceName, size, style);
    if (fontResult < 0) {
        throw Exception<FailedResultException>(FormatFailedResult(
            fontResult, "SV::LFrameworkApp::SetSkin", "Application\\FrameworkApp", 227));
    }
    // An index outside the skin list selects the nearest skin there is.
    const int32_t skinCount = mControlFactory ? mControlFactory->GetSkinCount() : 0;
    if (skinCount > 0) {
        skinIndex = std::clamp(skinIndex, 0, skinCount - 1);
    }
    if (mControlFactory) {
        mControlFactory->SetCurrentSkinIndex(skinIndex);
        mControlFactory->GetSkinFontOverrides(faceName, size, style);
    }
    mDefaultFont = LFont::GetFont(faceName, size, style);

    // The busy message's idle pass may close windows: each window of the list as it was is
    // visited only while it is still open.
    RootWindows snapshot;
    snapshot.Append(mRootWindows);
    for (int32_t i = 0; i < snapshot.GetCount(); ++i) {
        const RCPtr<IRootWindow> rootWindow = *snapshot.At(i);
        BusyTextScope busy(WideString(u"Loading Skin..."));
        if (IndexOfRootWindow(rootWindow.Get()) < 0) {
            continue;
        }
        const bool wasActive = IsActiveWindow(rootWindow);
        if (wasActive) {
            rootWindow->OnFocusLost();
        }
        if (mControlFactory) {
            rootWindow->ReapplySkin(*mControlFactory);
        }
        // Refreshes the cached client rectangle from the native window.
        const RectT<int32_t> client = rootWindow->GetScreenClientRect();
        rootWindow->Invalidate(RectT<int32_t>{0, 0, client.width, client.height});
        if (wasActive) {
            rootWindow->OnFocusGained();
        }
    }

    const int32_t handle = GetSettingsFile(kUserSettings);
    if (handle != 0) {
        GetSettings()->SetIniValueInt(handle, WideString(kSkinIndexKey), skinIndex);
    }
    return S_OK;
}

int32_t LFrameworkApp::SelectSavedSkin()
{
    const int32_t skinCount = mControlFactory ? mControlFactory->GetSkinCount() : 0;
    if (skinCount <= 0) {
        return E_FAIL;
    }
    const int32_t saved = GetSavedSkinIndex();
    SetSkin(std::clamp(saved, 0, skinCount - 1));
    return S_OK;
}

int32_t LFrameworkApp::AddRootWindow(const RCPtr<IRootWindow>& rootWindow)
{
    const int32_t index = IndexOfRootWindow(rootWindow.Get());
    if (index >= 0) {
        return index;
    }
    return mRootWindows.Add(rootWindow);
}

int32_t LFrameworkApp::RemoveRootWindow(const RCPtr<IRootWindow>& rootWindow)
{
    const int32_t index = IndexOfRootWindow(rootWindow.Get());
    if (index < 0) {
        return E_INVALIDARG;
    }
    return mRootWindows.RemoveAt(index, 1);
}

int32_t LFrameworkApp::IndexOfRootWindow(const IRootWindow* rootWindow) const
{
    for (int32_t i = mRootWindows.GetCount() - 1; i >= 0; --i) {
        if (mRootWindows.At(i)->Get() == rootWindow) {
            return i;
        }
    }
    return -1;
}

const RCPtr<IRootWindow>& LFrameworkApp::GetActiveRootWindow() const
{
    static const RCPtr<IRootWindow> kNone;
    for (int32_t i = mRootWindows.GetCount() - 1; i >= 0; --i) {
        if (IsActiveWindow(*mRootWindows.At(i))) {
            return *mRootWindows.At(i);
        }
    }
    return kNone;
}

RCPtr<LIniFileManager> LFrameworkApp::GetSettings()
{
    return GetIniFileManager();
}

PointT<int32_t> LFrameworkApp::GetCursorPosition()
{
    const RCPtr<IRootWindow>& active = GetActiveRootWindow();
    if (active) {
        return active->GetWindowServices()->ClientToScreen(active->GetCursorPosition());
    }
    PointT<int32_t> point;
    if (!svp::GetDesktop().GetCursorPos(point.x, point.y)) {
        return PointT<int32_t>{};
    }
    return point;
}

int32_t LFrameworkApp::GetMouseButtons()
{
    const RCPtr<IRootWindow>& active = GetActiveRootWindow();
    if (active) {
        return active->GetMouseButtons();
    }
    int32_t buttons = 0;
    const struct
    {
        uint32_t key;
        int32_t bit;
    } kButtons[] = {{VK_LBUTTON, 1}, {VK_MBUTTON, 2}, {VK_RBUTTON, 4}};
    for (const auto& button : kButtons) {
        uint8_t down = 0;
        uint8_t toggled = 0;
        GetKeyState(button.key, down, toggled);
        buttons |= down != 0 ? button.bit : 0;
    }
    return buttons;
}

bool LFrameworkApp::IdlePass(bool first)
{
    bool workRemains = GetNotificationCenterManager()->ProcessAll(first);
    for (int32_t i = mRootWindows.GetCount() - 1; i >= 0; --i) {
        // A window that closes during its turn takes only its own place: the lower indices
        // stay as they were. Should a turn close several, the walk goes on below them.
        if (i >= mRootWindows.GetCount()) {
            continue;
        }
        const RCPtr<IRootWindow> rootWindow = *mRootWindows.At(i);
        if (rootWindow->OnIdle(first)) {
            workRemains = true;
        }
    }
    return workRemains;
}

RCPtr<LNotificationCenter> LFrameworkApp::GetNotificationCenter() const
{
    const RCPtr<LNotificationCenterManager>& manager = GetNotificationCenterManager();
    return manager ? manager->GetCenter(GetApplicationCenterName()) : nullptr;
}

int32_t LFrameworkApp::ShowBusyText(const WideString& text, bool immediate)
{
    const RCPtr<IStatusBarText> statusBar = GetStatusBar();
    if (mRootWindows.GetCount() == 0 || !statusBar) {
        return E_FAIL;
    }
    return immediate ? statusBar->SetStatusText(text) : statusBar->PostStatusText(text);
}

int32_t LFrameworkApp::ClearBusyText(bool immediate)
{
    const RCPtr<IStatusBarText> statusBar = GetStatusBar();
    if (mRootWindows.GetCount() == 0 || !statusBar) {
        return E_FAIL;
    }
    const WideString text = statusBar->GetStatusText();
    return immediate ? statusBar->SetStatusText(text) : statusBar->PostStatusText(text);
}

bool LFrameworkApp::SaveMainWindowPlacement(const svp::WindowPlacement& placement)
{
    return SV::SaveMainWindowPlacement(placement);
}

RCPtr<LControl> LFrameworkApp::FindEditControl() const
{
    const auto* window = dynamic_cast<const LRootWindow*>(GetActiveRootWindow().Get());
    if (window == nullptr || !window->GetFocusedControl()) {
        return nullptr;
    }
    const RCPtr<LControl> holder = window->GetFocusedControl();
    RCPtr<LControl> target = holder->GetEditTarget();
    if (!target) {
        target = holder;
    }
    return target->SupportsEdit() ? target : nullptr;
}

int32_t LFrameworkApp::PerformEditOperation(EditOperation operation)
{
    const RCPtr<LControl> target = FindEditControl();
    if (!target || !target->CanPerformEdit(operation)) {
        return S_FALSE;
    }
    return target->PerformEdit(operation);
}

bool LFrameworkApp::CanPerformEditOperation(EditOperation operation)
{
    const RCPtr<LControl> target = FindEditControl();
    return target && target->CanPerformEdit(operation);
}

svp::HWND LFrameworkApp::GetClipboardOwnerWindow() const
{
    if (mRootWindows.GetCount() == 0) {
        return nullptr;
    }
    const RCPtr<IRootWindow> main = *mRootWindows.At(0);
    IWindowOSServices* services = main ? main->GetWindowServices() : nullptr;
    return services != nullptr ? services->GetWindowHandle() : nullptr;
}

} // namespace SV
