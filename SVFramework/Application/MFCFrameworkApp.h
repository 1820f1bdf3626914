// The program's one class-library application object and the entry routine that drives it
// through its hooks: InitApplication (resources, skins and string tables, the single instance),
// InitInstance (the debug log), Run (the application object from start-up to shutdown) and
// ExitInstance. It keeps the locale id the entry routine chose, the window context and the
// application object while it runs; its idle hook drives the application's idle pass whenever
// the message loop has nothing to do.
#pragma once

#include "Application/FrameworkEntry.h"
#include "Application/MainWindowPlacement.h"
#include "Application/NativeWindowServices.h"
#include "Application/Version.h"
#include "ControlBase/ControlFactory.h"
#include "Locale.h"
#include "ObjectBase/DebugLog.h"
#include "ObjectBase/Exception.h"
#include "ObjectBase/RCPtr.h"
#include "TerminationSignals.h"
#include "TypeNames.h"
#include "Utilities/Graphics/Bitmap.h"
#include "Utilities/Storage/StringTable.h"
#include "Windows/OSWindow.h"
#include "Windows/OSWindowContext.h"
#include "Windows/RootWindow.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <typeinfo>

namespace SV {

template <class T>
class MFCFrameworkApp
{
public:
    MFCFrameworkApp() { sInstance = this; }
    MFCFrameworkApp(const MFCFrameworkApp&) = delete;
    MFCFrameworkApp& operator=(const MFCFrameworkApp&) = delete;
    virtual ~MFCFrameworkApp()
    {
        mApplication = nullptr;
        if (sInstance == this) {
            sInstance = nullptr;
        }
    }

    // The one object of the process; null before it is made.
    static MFCFrameworkApp* GetInstance() { return sInstance; }

    int32_t GetLocaleId() const { return mLocaleId; }
    void SetLocaleId(int32_t localeId) { mLocaleId = localeId; }
    const RCPtr<T>& GetApplication() const { return mApplication; }
    void SetApplication(const RCPtr<T>& application) { mApplication = application; }
    const RCPtr<LControlFactory>& GetControlFactory() const { return mControlFactory; }
    const ConstRCPtr<LStringTable>& GetFrameworkStringTable() const { return mFrameworkStrings; }
    const std::string& GetCommandLine() const { return mCommandLine; }
    bool IsFirstInstance() const { return mFirstInstance; }

    // The entry routine: the process exit code. -1 without a display, when InitApplication
    // fails (a second instance included) or when the run fails; ExitInstance's 1 when
    // InitInstance fails; otherwise Run's 1. A locale id of -1 is the user's.
    int FrameworkWinMain(int argc, const char* const* argv, int32_t localeId)
    {
        mCommandLine = JoinCommandLine(argc, argv);
        int result = -1;
        mWindowContext = OSWindowContext::Open([this](int32_t count) { return OnIdle(count); });
        if (!mWindowContext) {
            std::fputs("The editor needs an X display, and none could be opened: set DISPLAY to "
                       "a running X server.\n",
                       stderr);
            return result;
        }
        mTerminationSignals = svp::TerminationSignals::Catch(
            mWindowContext->GetLoop(), [this](int /*signal*/) { OnTerminationSignal(); });
        SetLocaleId(localeId == -1 ? static_cast<int32_t>(svp::GetUserDefaultLcid() & 0xFFFF)
                                   : localeId);
        if (!InitApplication()) {
            result = -1;
        } else if (InitInstance()) {
            result = RunGuarded();
        } else {
            result = ExitInstance();
        }
        LBitmap::EndPrefetching();
        mControlFactory = nullptr;
        mFrameworkStrings = nullptr;
        mSingleInstance.reset();
        mTerminationSignals.reset();
        mWindowContext.reset();
        return result;
    }

    // Resources, the framework string table, the main window class and the single instance;
    // for the instance that runs, the skin's pictures start decoding ahead of the first window.
    // False, after the start-up error box, when anything failed; false without a box for a
    // second instance that handed its command line over.
    virtual bool InitApplication()
    {
        try {
            mNotInitialized = false;
            StartSplash();
            mControlFactory =
                RCPtr<LControlFactory>(new LControlFactory(Version().GetProductName()));
            const int32_t result = mControlFactory->LoadResources(WideString(u"::"), GetLocaleId());
            if (result < 0) {
                throw Exception<FailedResultException>(FormatFailedResult(
                    result, HookName("InitApplication").c_str(), "ApplicationBaseWin", 161));
            }
            mFrameworkStrings =
                ConstRCPtr<LStringTable>(mControlFactory->GetFrameworkStringTable());
            SetMainWindowClassName(T::kMainWindowClassName);
            const bool runs = SettleSingleInstance(GetMainWindowClassName() + "Prevent",
                                                   mCommandLine, mSingleInstance);
            mFirstInstance = mSingleInstance == nullptr || mSingleInstance->IsFirst();
            if (runs) {
                // The skin's pictures decode while the program starts up and makes its window.
                mControlFactory->PrefetchPartImages();
            }
            return runs;
        } catch (...) {
            EndSplash();
            ShowStartupErrorBox(mFrameworkStrings);
            return false;
        }
    }

    // The debug log as the command line asks ("-DEBUG_CONSOLE[:port[:host]]", in any case).
    virtual bool InitInstance()
    {
        std::string upper = mCommandLine;
        for (char& c : upper) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        ConfigureDebugLogFromCommandLine(GetDebugStreamHolder(), upper);
        return true;
    }

    // The application object from its creation to its release: start-up, the main window with
    // its main control, the main loop and the shutdown. 1; a failed step throws.
    virtual int Run()
    {
        const WideString commandLine = WideString(mCommandLine.c_str());
        RCPtr<T> application = CreateApplication(mControlFactory, mFrameworkStrings, commandLine);
        SetApplication(application);
        application->OnCommandLineBeforeStartup(commandLine);
        ThrowOnFailure(application->Startup(), 368);
        application->OnCommandLineAfterStartup(commandLine);
        ThrowOnFailure(application->CreateMainWindow(application->GetRendererType()), 349);
        RCPtr<LRootWindow> mainWindow(
            dynamic_cast<LRootWindow*>(application->GetRootWindows().At(0)->Get()));
        ThrowOnFailure(mainWindow
                           ? mainWindow->SetMainControlByName(application->GetMainControlName())
                           : E_FAIL,
                       350);
        if (OSWindow* window = OSWindow::FromHandle(application->GetMainWindowHandle())) {
            window->OfferSizeLimits();
        }
        if (IWindowOSServices* services = mainWindow->GetWindowServices()) {
            services->Show(kShowWindow);
            services->SetFocus();
        }
        mainWindow = nullptr;
        ListenForOtherInstances(application->GetMainWindowHandle());
        EndSplash();
        application->RunMainLoop();
        application->Shutdown();
        SetApplication(nullptr);
        application = nullptr;
        mSplash.reset();
        return 1;
    }

    virtual int ExitInstance() { return 1; }

    // SIGTERM, SIGINT or SIGHUP: the program ends as its close box ends it, the settings written
    // and the devices closed. Before the application runs, the loop that meets the request ends
    // and the program ends as soon as its main loop starts.
    virtual void OnTerminationSignal()
    {
        if (T* application = mApplication.Get()) {
            if (!application->IsExitRequested()) {
                application->PostExitRequest();
            }
            return;
        }
        mWindowContext->GetLoop().PostQuit(0);
    }

    // The idle hook, called with 0 for the first call of an idle period. Runs one idle pass for
    // every count (the first with first = true) and asks for another call only while work
    // remains and fewer than three passes ran; nothing once the exit is requested.
    virtual bool OnIdle(int32_t count)
    {
        T* application = mApplication.Get();
        if (application == nullptr || application->IsExitRequested()) {
            return false;
        }
        const bool workRemains = application->IdlePass(count == 0);
        return workRemains && count < 2;
    }

    // "::/Splash.png" never names a file: the program starts without a splash.
    virtual WideString GetSplashImagePath() { return WideString(); }
    virtual void StartSplash()
    {
        if (!mSplash) {
            mSplash = StartSplashWindow(GetSplashImagePath());
        }
    }
    virtual void EndSplash() { EndSplashWindow(mSplash); }

    static RCPtr<T> CreateApplication(const RCPtr<LControlFactory>& factory,
                                      const ConstRCPtr<LStringTable>& frameworkStrings,
                                      const WideString& commandLine)
    {
        return RCPtr<T>(new T(factory, frameworkStrings, commandLine));
    }

private:
    static constexpr int32_t kShowWindow = 5;

    static std::string HookName(const char* hook)
    {
        return "SV::MFCFrameworkApp<" + svp::ClassTypeName(typeid(T)) + ">::" + hook;
    }

    static void ThrowOnFailure(int32_t result, int line)
    {
        if (result < 0) {
            throw Exception<FailedResultException>(
                FormatFailedResult(result, HookName("Run").c_str(), "ApplicationBaseWin", line));
        }
    }

    // A failure out of the run ends the program with the start-up error box and -1, after the
    // main window (with its placement) and the application object are gone.
    int RunGuarded()
    {
        return RunReportingFailure([this] { return Run(); },
                                   [this] {
                                       EndSplash();
                                       if (mApplication) {
                                           CloseMainWindow(mApplication->GetMainWindowHandle());
                                       }
                                       SetApplication(nullptr);
                                       mSplash.reset();
                                   },
                                   mFrameworkStrings);
    }

    // Later instances hand their command lines to the main window, which comes to the front.
    void ListenForOtherInstances(svp::HWND mainWindow)
    {
        if (!mSingleInstance || !mSingleInstance->IsFirst()) {
            return;
        }
        const bool listening = mSingleInstance->Listen(
            mWindowContext->GetLoop(), [mainWindow](const std::string& commandLine) {
                OSWindow* window = OSWindow::FromHandle(mainWindow);
                if (window == nullptr) {
                    return false;
                }
                // The running window comes forward whether or not it can take the command line
                // now: restored when minimised, with the box that is open over it in front.
                window->BringForward();
                return window->OnForwardedCommandLine(commandLine);
            });
        (void)listening;
    }

    static inline MFCFrameworkApp* sInstance = nullptr;
    bool mNotInitialized = true;
    RCPtr<LControlFactory> mControlFactory;
    ConstRCPtr<LStringTable> mFrameworkStrings;
    std::unique_ptr<svp::SplashWindow> mSplash;
    bool mFirstInstance = true;
    int32_t mLocaleId = -1;
    RCPtr<T> mApplication;
    std::string mCommandLine;
    std::unique_ptr<OSWindowContext> mWindowContext;
    // Watched by the context's loop: goes before it.
    std::unique_ptr<svp::TerminationSignals> mTerminationSignals;
    // After the window context: the instance's socket is watched by that context's event loop,
    // so it must go first also when the process ends from inside the loop (a lost X connection
    // ends it through exit, which destroys this object member by member).
    std::unique_ptr<svp::SingleInstance> mSingleInstance;
};

} // namespace SV
