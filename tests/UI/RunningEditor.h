// The editor as the program starts and runs it, inside the benchmark's own process: the
// program's application object over the control factory with the compiled-in resources (the
// whole skin and the string tables), its start-up, its main window on the X display of $DISPLAY
// with the main control, and the event loop driven as the program's main loop drives it (events,
// paints, the 33 ms timer and the idle passes). Settings go to a folder of its own; a message box
// never blocks, it is only recorded.
//
// Header only: it needs the editor's headers, which only the editor's test folder sees.
#pragma once

#include "Application.h"
#include "Application/Version.h"
#include "ControlBase/Control.h"
#include "ControlBase/ControlFactory.h"
#include "Desktop.h"
#include "Locale.h"
#include "ScopedEnvironment.h"
#include "TempFolder.h"
#include "Utilities/Graphics/Bitmap.h"
#include "WindowMessages.h"
#include "Windows/OSWindow.h"
#include "Windows/OSWindowContext.h"
#include "Windows/RootWindow.h"
#include "Windows/WindowOSServices.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace svtest {

class RunningEditor
{
public:
    RunningEditor()
    {
        mEnvironment.Set("XDG_CONFIG_HOME", mFolder.Path().c_str());
        mContext = SV::OSWindowContext::Open([this](int32_t count) { return Idle(count); });
        if (!mContext) {
            mProblem = "no X display";
            return;
        }
        mDesktop = std::make_unique<BoxRecordingDesktop>(svp::GetDesktop(), mMessageBoxes);
        svp::SetDesktop(mDesktop.get());
        Start();
    }

    ~RunningEditor()
    {
        mRootWindow = nullptr;
        if (mApplication) {
            mApplication->Shutdown();
            mApplication = nullptr;
        }
        SV::LBitmap::EndPrefetching();
        mFactory = nullptr;
        svp::SetDesktop(nullptr);
        mDesktop.reset();
        mContext.reset();
    }

    RunningEditor(const RunningEditor&) = delete;
    RunningEditor& operator=(const RunningEditor&) = delete;

    // True once the main window is shown with its first frame painted.
    bool IsReady() const { return mProblem.empty(); }
    const std::string& GetProblem() const { return mProblem; }

    LApplication& GetApplication() { return *mApplication; }
    SV::LRootWindow& GetRootWindow() { return *mRootWindow; }
    SV::OSWindow& GetMainWindow() { return *SV::OSWindow::FromHandle(mMainWindow); }
    svp::WindowSystem& GetWindows() { return mContext->GetWindows(); }
    svp::EventLoop& GetLoop() { return mContext->GetLoop(); }
    // The message boxes shown since the last call, as "caption: text".
    std::vector<std::string> TakeMessageBoxes() { return std::exchange(mMessageBoxes, {}); }

    // The control at a path of names separated by '/' below the main control; empty when a step
    // is missing.
    SV::RCPtr<SV::LControl> Find(const std::string& path) const
    {
        SV::RCPtr<SV::LControl> control = mRootWindow->GetMainControl();
        size_t start = 0;
        while (control) {
            const size_t end = path.find('/', start);
            const std::string name = path.substr(start, end - start);
            control = control->FindChildControl(SV::WideString(name.c_str()));
            if (end == std::string::npos) {
                break;
            }
            start = end + 1;
        }
        return control;
    }

    // Runs the loop as the program's main loop runs it until `done` holds at a moment when
    // nothing waits any more (no event, no posted work, no paint due): what `done` waited for
    // has been painted. False when the limit passed first.
    bool RunUntilSettled(const std::function<bool()>& done,
                         std::chrono::milliseconds limit = std::chrono::seconds(5))
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        bool settled = false;
        GetLoop().Run([this](int32_t count) { return Idle(count); },
                      [&] {
                          if (done() && !GetLoop().HasPending()) {
                              settled = true;
                              return false;
                          }
                          return std::chrono::steady_clock::now() < deadline;
                      });
        return settled;
    }

    // A press and release of the left button over the middle of the control, as the native
    // window receives them from the display.
    void Click(const SV::RCPtr<SV::LControl>& control)
    {
        const SV::PointT<double> origin = control->GetPositionInRoot();
        const SV::RectT<double>& rect = control->GetRect();
        svp::WindowMessage message;
        message.x = static_cast<int32_t>(origin.x + rect.width / 2);
        message.y = static_cast<int32_t>(origin.y + rect.height / 2);
        message.message = WM_MOUSEMOVE;
        GetMainWindow().HandleMessage(message);
        message.message = WM_LBUTTONDOWN;
        message.buttonFlags = MK_LBUTTON;
        GetMainWindow().HandleMessage(message);
        message.message = WM_LBUTTONUP;
        message.buttonFlags = 0;
        GetMainWindow().HandleMessage(message);
    }

private:
    // The real desktop, with message boxes recorded instead of shown.
    class BoxRecordingDesktop : public svp::IDesktop
    {
    public:
        BoxRecordingDesktop(svp::IDesktop& real, std::vector<std::string>& boxes)
            : mReal(real), mBoxes(boxes)
        {}
        bool GetWorkArea(svp::ScreenRect& area) override { return mReal.GetWorkArea(area); }
        uint16_t GetKeyState(uint32_t key) override { return mReal.GetKeyState(key); }
        bool GetCursorPos(int32_t& x, int32_t& y) override { return mReal.GetCursorPos(x, y); }
        bool SetCursorPos(int32_t x, int32_t y) override { return mReal.SetCursorPos(x, y); }
        int32_t ShowCursor(bool show) override { return mReal.ShowCursor(show); }
        int32_t MessageBox(svp::HWND, const std::string& text, const std::string& caption,
                           uint32_t) override
        {
            mBoxes.push_back(caption + ": " + text);
            return 1;
        }
        svp::HCURSOR LoadSystemCursor(uint32_t id) override { return mReal.LoadSystemCursor(id); }
        svp::HCURSOR LoadCursorResource(int32_t id) override
        {
            return mReal.LoadCursorResource(id);
        }
        svp::HICON LoadIconResource(int32_t id) override { return mReal.LoadIconResource(id); }

    private:
        svp::IDesktop& mReal;
        std::vector<std::string>& mBoxes;
    };

    // The program's start, step by step as its entry routine takes it.
    void Start()
    {
        mFactory =
            SV::RCPtr<SV::LControlFactory>(new SV::LControlFactory(SV::Version().GetProductName()));
        const int32_t locale = static_cast<int32_t>(svp::GetUserDefaultLcid() & 0xFFFF);
        if (mFactory->LoadResources(SV::WideString(u"::"), locale) < 0) {
            mProblem = "the compiled-in resources do not load";
            return;
        }
        mFactory->PrefetchPartImages();
        SV::SetMainWindowClassName(LApplication::kMainWindowClassName);
        const SV::WideString commandLine(u"vedozi-duruzava-editor");
        mApplication = SV::RCPtr<LApplication>(new LApplication(
            mFactory, SV::ConstRCPtr<SV::LStringTable>(mFactory->GetFrameworkStringTable()),
            commandLine));
        mApplication->OnCommandLineBeforeStartup(commandLine);
        if (mApplication->Startup() < 0) {
            mProblem = "the start-up failed";
            return;
        }
        mApplication->OnCommandLineAfterStartup(commandLine);
        if (mApplication->CreateMainWindow(mApplication->GetRendererType()) < 0) {
            mProblem = "the main window cannot be made";
            return;
        }
        mMainWindow = mApplication->GetMainWindowHandle();
        mRootWindow = SV::RCPtr<SV::LRootWindow>(
            dynamic_cast<SV::LRootWindow*>(mApplication->GetRootWindows().At(0)->Get()));
        if (!mRootWindow ||
            mRootWindow->SetMainControlByName(mApplication->GetMainControlName()) < 0) {
            mProblem = "the main control cannot be made";
            return;
        }
        if (SV::IWindowOSServices* services = mRootWindow->GetWindowServices()) {
            services->Show(kShowWindow);
            services->SetFocus();
        }
        // What the main loop does before it waits for the first event.
        mRootWindow->RedrawAll();
        mApplication->OnBeforeMainLoop();
        mApplication->IdlePass(true);
        if (!RunUntilSettled([this] { return GetWindows().IsVisible(mMainWindow); })) {
            mProblem = "the main window does not show";
        }
    }

    bool Idle(int32_t count)
    {
        if (!mApplication || mApplication->IsExitRequested()) {
            return false;
        }
        return mApplication->IdlePass(count == 0) && count < 2;
    }

    static constexpr int32_t kShowWindow = 5;

    TempFolder mFolder;
    ScopedEnvironment mEnvironment;
    std::unique_ptr<SV::OSWindowContext> mContext;
    std::vector<std::string> mMessageBoxes;
    std::unique_ptr<BoxRecordingDesktop> mDesktop;
    SV::RCPtr<SV::LControlFactory> mFactory;
    SV::RCPtr<LApplication> mApplication;
    SV::RCPtr<SV::LRootWindow> mRootWindow;
    svp::HWND mMainWindow = nullptr;
    std::string mProblem;
};

} // namespace svtest
