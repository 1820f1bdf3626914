#include "Application/ApplicationServices.h"
#include "Application/MFCFrameworkApp.h"
#include "ExceptionText.h"
#include "FakeDesktop.h"
#include "FakeRootWindow.h"
#include "MessageBoxStyles.h"
#include "Notification/Notification.h"
#include "Notification/NotificationNames.h"
#include "ScopedEnvironment.h"
#include "TempFolder.h"
#include "TestFrameworkApp.h"
#include "Utilities/Storage/StringTable.h"
#include "VirtualKeys.h"
#include "Windows/CursorNames.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

using SV::RCPtr;
using SV::WideString;
using svtest::FakeRootWindow;
using svtest::TestFrameworkApp;

std::string N(const WideString& text)
{
    return text.ToNarrow().GetText();
}

class FrameworkApp : public testing::Test
{
protected:
    RCPtr<FakeRootWindow> AddWindow(const std::string& name)
    {
        RCPtr<FakeRootWindow> window(new FakeRootWindow(name, mLog));
        mApp->AddRootWindow(RCPtr<SV::IRootWindow>(window));
        return window;
    }

    // A client of the "application" centre that runs an action for each notification.
    class Listener : public SV::LNotificationClient
    {
    public:
        void Receive(const SV::ConstRCPtr<SV::LNotificationDistributor>&,
                     const SV::ConstRCPtr<SV::LNotification>& notification) override
        {
            names.push_back(N(SV::GetNotificationName(notification->GetId())));
            if (action) {
                action(names.back());
            }
        }
        std::vector<std::string> names;
        std::function<void(const std::string&)> action;
    };

    RCPtr<Listener> Listen(std::initializer_list<const char16_t*> names)
    {
        RCPtr<Listener> listener(new Listener());
        for (const char16_t* name : names) {
            listener->Register(RCPtr<SV::LNotificationDistributor>(mApp->GetNotificationCenter()),
                               name);
        }
        mListeners.push_back(listener);
        return listener;
    }

    void Post(const char16_t* name)
    {
        ASSERT_EQ(mApp->GetNotificationCenter()->Post(SV::CreateNotification(name)), 0);
    }

    void TearDown() override
    {
        for (const auto& listener : mListeners) {
            listener->UnregisterAll();
        }
    }

    svtest::FakeDesktop mDesktop;
    std::vector<std::string> mLog;
    RCPtr<TestFrameworkApp> mApp{new TestFrameworkApp()};
    std::vector<RCPtr<Listener>> mListeners;
};

TEST_F(FrameworkApp, IdleHookRunsAtMostThreePassesAndNoneAfterTheExit)
{
    SV::MFCFrameworkApp<TestFrameworkApp> classLibrary;
    classLibrary.SetApplication(mApp);
    const RCPtr<FakeRootWindow> window = AddWindow("main");

    window->workRemains = true;
    EXPECT_TRUE(classLibrary.OnIdle(0));
    EXPECT_TRUE(classLibrary.OnIdle(1));
    EXPECT_FALSE(classLibrary.OnIdle(2));
    EXPECT_EQ(window->idlePasses, 3);
    EXPECT_EQ(window->firstPasses, 1);

    window->workRemains = false;
    EXPECT_FALSE(classLibrary.OnIdle(0));
    EXPECT_EQ(window->idlePasses, 4);

    mApp->Register(RCPtr<SV::LNotificationDistributor>(mApp->GetNotificationCenter()),
                   SV::kNidAppExitRequest);
    Post(SV::kNidAppExitRequest);
    mApp->IdlePass(true);
    ASSERT_TRUE(mApp->IsExitRequested());
    const int32_t passes = window->idlePasses;
    EXPECT_FALSE(classLibrary.OnIdle(0));
    EXPECT_EQ(window->idlePasses, passes);
    mApp->UnregisterAll();
}

TEST_F(FrameworkApp, NotificationPostedDuringDeliveryWaitsForTheNextPass)
{
    const RCPtr<Listener> listener = Listen({u"NID_FIRST", u"NID_SECOND"});
    listener->action = [this](const std::string& name) {
        if (name == "NID_FIRST") {
            Post(u"NID_SECOND");
        }
    };
    Post(u"NID_FIRST");
    EXPECT_TRUE(mApp->IdlePass(true)) << "the second is still queued";
    EXPECT_EQ(listener->names, std::vector<std::string>{"NID_FIRST"});
    EXPECT_FALSE(mApp->IdlePass(false));
    EXPECT_EQ(listener->names, (std::vector<std::string>{"NID_FIRST", "NID_SECOND"}));
}

TEST_F(FrameworkApp, WindowClosingInItsIdleTurnLeavesTheOthersVisitedOnce)
{
    const RCPtr<FakeRootWindow> w0 = AddWindow("w0");
    const RCPtr<FakeRootWindow> w1 = AddWindow("w1");
    const RCPtr<FakeRootWindow> w2 = AddWindow("w2");
    w1->onIdle = [&](bool) { mApp->RemoveRootWindow(RCPtr<SV::IRootWindow>(w1)); };
    w2->onIdle = [&](bool) {
        // Closing two windows in one turn: the walk goes on below them.
        mApp->RemoveRootWindow(RCPtr<SV::IRootWindow>(w2));
    };
    EXPECT_FALSE(mApp->IdlePass(true));
    EXPECT_EQ(mLog, (std::vector<std::string>{"w2:OnIdle(first)", "w1:OnIdle(first)",
                                              "w0:OnIdle(first)"}));
    EXPECT_EQ(mApp->GetRootWindows().GetCount(), 1);

    mLog.clear();
    const RCPtr<FakeRootWindow> w3 = AddWindow("w3");
    const RCPtr<FakeRootWindow> w4 = AddWindow("w4");
    w4->onIdle = [&](bool) {
        mApp->RemoveRootWindow(RCPtr<SV::IRootWindow>(w4));
        mApp->RemoveRootWindow(RCPtr<SV::IRootWindow>(w3));
    };
    mApp->IdlePass(false);
    EXPECT_EQ(mLog, (std::vector<std::string>{"w4:OnIdle", "w0:OnIdle"}));
}

TEST_F(FrameworkApp, RootWindowListKeepsEachWindowOnce)
{
    RCPtr<SV::IRootWindow> a(new FakeRootWindow("a", mLog));
    RCPtr<SV::IRootWindow> b(new FakeRootWindow("b", mLog));
    RCPtr<SV::IRootWindow> c(new FakeRootWindow("c", mLog));
    EXPECT_EQ(mApp->AddRootWindow(a), 0);
    EXPECT_EQ(mApp->AddRootWindow(b), 1);
    EXPECT_EQ(mApp->AddRootWindow(a), 0);
    EXPECT_EQ(mApp->AddRootWindow(c), 2);
    EXPECT_EQ(mApp->GetRootWindows().GetCount(), 3);
    EXPECT_GE(mApp->RemoveRootWindow(b), 0);
    EXPECT_EQ(mApp->IndexOfRootWindow(c.Get()), 1);
    EXPECT_LT(mApp->RemoveRootWindow(b), 0);
    EXPECT_EQ(mApp->IndexOfRootWindow(b.Get()), -1);
}

TEST_F(FrameworkApp, ExitRequestClosesEveryWindowButTheMainOne)
{
    AddWindow("w0");
    AddWindow("w1");
    AddWindow("w2");
    mApp->Register(RCPtr<SV::LNotificationDistributor>(mApp->GetNotificationCenter()),
                   SV::kNidAppExitRequest);
    Post(SV::kNidAppExitRequest);
    EXPECT_FALSE(mApp->IsExitRequested()) << "posted, handled at idle";
    mApp->IdlePass(true);
    EXPECT_TRUE(mApp->IsExitRequested());
    EXPECT_EQ(mLog, (std::vector<std::string>{"w2:RequestClose(0)", "w1:RequestClose(0)",
                                              "w2:OnIdle(first)", "w1:OnIdle(first)",
                                              "w0:OnIdle(first)"}));
    mApp->UnregisterAll();
}

TEST_F(FrameworkApp, ExceptionOutOfTheMessageLoopShowsTheErrorBoxAndRequestsTheExit)
{
    mApp = nullptr;
    mApp = new TestFrameworkApp(
        nullptr,
        RCPtr<SV::LStringTable>(new SV::LStringTable(SV::LStringTable::Strings{
            {u"STARTUP_ERROR", u"Something failed."}, {u"STARTUP_ERROR_CAPTION", u"Error"}})));
    const RCPtr<FakeRootWindow> main = AddWindow("main");
    mApp->Register(RCPtr<SV::LNotificationDistributor>(mApp->GetNotificationCenter()),
                   SV::kNidAppExitRequest);
    mApp->messageLoop = [this] {
        mLog.push_back("loop");
        throw std::runtime_error("lost");
    };
    mApp->RunMainLoop();
    ASSERT_EQ(mDesktop.messageBoxes.size(), 1u);
    EXPECT_EQ(mDesktop.messageBoxes[0].text, "Something failed.");
    EXPECT_EQ(mDesktop.messageBoxes[0].caption, "Error");
    EXPECT_EQ(mDesktop.messageBoxes[0].style, MB_ICONHAND);
    EXPECT_TRUE(mApp->IsExitRequested());
    EXPECT_EQ(mLog, (std::vector<std::string>{"main:RedrawAll", "main:OnIdle(first)", "loop",
                                              "main:OnIdle(first)"}));
    EXPECT_EQ(main->services.redraws, 1);
    mApp->UnregisterAll();
}

TEST_F(FrameworkApp, PointerStateComesFromTheActiveWindowElseTheDesktop)
{
    const RCPtr<FakeRootWindow> w0 = AddWindow("w0");
    const RCPtr<FakeRootWindow> w1 = AddWindow("w1");
    mDesktop.cursorX = 7;
    mDesktop.cursorY = 9;
    mDesktop.keyStates[VK_LBUTTON] = 0x8000;
    mDesktop.keyStates[VK_RBUTTON] = 0x8001;
    mDesktop.keyStates[VK_MBUTTON] = 0x0001; // toggled only
    EXPECT_FALSE(mApp->GetActiveRootWindow());
    EXPECT_EQ(mApp->GetCursorPosition(), (SV::PointT<int32_t>{7, 9}));
    EXPECT_EQ(mApp->GetMouseButtons(), 5);

    w0->services.active = true;
    w1->services.active = true;
    w1->services.screenClient = {300, 200, 640, 480};
    w1->services.cursor = {10, 20};
    w1->services.buttons = 2;
    EXPECT_EQ(mApp->GetActiveRootWindow().Get(), w1.Get()) << "the highest index";
    EXPECT_EQ(mApp->GetCursorPosition(), (SV::PointT<int32_t>{310, 220}));
    EXPECT_EQ(mApp->GetMouseButtons(), 2);

    w1->hasServices = false;
    EXPECT_EQ(mApp->GetActiveRootWindow().Get(), w0.Get());
}

TEST_F(FrameworkApp, ClockAddsSigned32BitTickDifferences)
{
    mApp->clock = 1000;
    const double start = mApp->GetTime();
    mApp->clock = 2500;
    EXPECT_DOUBLE_EQ(mApp->GetTime() - start, 1.5);
    mApp->clock = 0xFFFFFF00u;
    const double beforeWrap = mApp->GetTime();
    mApp->clock = 0x000004DCu; // 0x5DC = 1500 ms after the last tick, across the wrap
    EXPECT_DOUBLE_EQ(mApp->GetTime() - beforeWrap, 1.5);
}

TEST_F(FrameworkApp, MessageBoxIsOwnedByTheActiveWindowOnceThereIsAMainWindow)
{
    const RCPtr<FakeRootWindow> w0 = AddWindow("w0");
    const RCPtr<FakeRootWindow> w1 = AddWindow("w1");
    w0->services.handle = reinterpret_cast<svp::HWND>(0x10);
    w1->services.handle = reinterpret_cast<svp::HWND>(0x11);
    mDesktop.messageBoxAnswer = IDNO;
    EXPECT_EQ(mApp->ShowMessageBox(u"Text ü", u"Caption", MB_YESNO), IDNO);
    mApp->SetMainNativeWindow(&w0->services);
    mApp->ShowMessageBox(u"Text", u"Caption", MB_OK);
    w1->services.active = true;
    mApp->ShowMessageBox(u"Text", u"Caption", MB_OK);
    ASSERT_EQ(mDesktop.messageBoxes.size(), 3u);
    EXPECT_EQ(mDesktop.messageBoxes[0].owner, nullptr);
    EXPECT_EQ(mDesktop.messageBoxes[0].text, "Text ü");
    EXPECT_EQ(mDesktop.messageBoxes[0].style, MB_YESNO);
    EXPECT_EQ(mDesktop.messageBoxes[1].owner, w0->services.handle);
    EXPECT_EQ(mDesktop.messageBoxes[2].owner, w1->services.handle);
}

TEST_F(FrameworkApp, DesktopServices)
{
    mDesktop.keyStates[VK_CAPITAL] = 0x0001;
    mDesktop.keyStates[VK_SHIFT] = 0x8000;
    uint8_t down = 9;
    uint8_t toggled = 9;
    EXPECT_EQ(mApp->GetKeyState(VK_CAPITAL, down, toggled), 0);
    EXPECT_EQ(down, 0);
    EXPECT_EQ(toggled, 1);
    mApp->GetKeyState(VK_SHIFT, down, toggled);
    EXPECT_EQ(down, 1);
    EXPECT_EQ(toggled, 0);

    mDesktop.workArea = {10, 30, 1910, 1050};
    EXPECT_EQ(mApp->GetWorkArea(), (SV::RectT<int32_t>{10, 30, 1900, 1020}));
    EXPECT_EQ(mApp->SetCursorPosition(4, 5), 0);
    mDesktop.canMoveCursor = false;
    EXPECT_EQ(mApp->SetCursorPosition(4, 5), E_FAIL);
    EXPECT_EQ(mApp->ShowCursor(false), -1);
    EXPECT_EQ(mApp->GetApplicationIcon(), svtest::FakeDesktop::ResourceIcon(2002));
    EXPECT_EQ(mApp->OnPowerBroadcast(), 1);
    EXPECT_FALSE(mApp->GetStatusBar());
    EXPECT_EQ(mApp->ShowBusyText(u"Busy", true), E_FAIL);
    EXPECT_EQ(mApp->ClearBusyText(false), E_FAIL);

    int32_t year = 0, month = 0, dayOfWeek = -1, day = 0, hour = -1, minute = -1, second = -1,
            milliseconds = -1;
    EXPECT_EQ(mApp->GetSystemTime(year, month, dayOfWeek, day, hour, minute, second, milliseconds),
              0);
    EXPECT_GE(year, 2024);
    EXPECT_TRUE(month >= 1 && month <= 12 && day >= 1 && day <= 31);
    EXPECT_TRUE(dayOfWeek >= 0 && dayOfWeek <= 6 && hour >= 0 && hour <= 23);
    EXPECT_TRUE(minute >= 0 && second >= 0 && milliseconds >= 0 && milliseconds <= 999);
}

TEST_F(FrameworkApp, SystemCursorsByName)
{
    const struct
    {
        const char16_t* name;
        uint32_t cursor;
    } cases[] = {
        {u"UI_CURSOR_ARROW", svp::IDC_ARROW},    {u"UI_CURSOR_WAIT", svp::IDC_WAIT},
        {u"UI_CURSOR_SIZE_NS", svp::IDC_SIZENS}, {u"UI_CURSOR_NO_DROP", svp::IDC_NO},
        {u"UI_CURSOR_HELP", svp::IDC_HELP},      {u"UI_CURSOR_NOTHING", svp::IDC_ARROW},
        {u"ui_cursor_wait", svp::IDC_ARROW},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(mApp->GetCursor(WideString(c.name)), svtest::FakeDesktop::SystemCursor(c.cursor))
            << N(WideString(c.name));
    }
    EXPECT_EQ(SV::GetApplicationCursor(SV::UI_CURSOR_IBEAM),
              svtest::FakeDesktop::SystemCursor(svp::IDC_IBEAM));
}

TEST_F(FrameworkApp, DefaultFontIsTheDesktopsSansAtNinePoints)
{
    WideString face(u"old");
    float size = -1.0f;
    int32_t style = -1;
    ASSERT_EQ(mApp->GetDefaultFont(face, size, style), 0);
    EXPECT_FALSE(face.IsEmpty());
    EXPECT_FLOAT_EQ(size, 9.0f);
    EXPECT_EQ(style, 0);
}

TEST_F(FrameworkApp, LocaleIdIsTheOneTheEntryRoutineStored)
{
    svtest::ScopedEnvironment environment;
    environment.Set("LC_ALL", "ja_JP.UTF-8");
    EXPECT_EQ(mApp->GetLocaleId(), 0x0411);
    SV::MFCFrameworkApp<TestFrameworkApp> classLibrary;
    classLibrary.SetLocaleId(0x0C0A);
    EXPECT_EQ(mApp->GetLocaleId(), 0x0C0A);
}

TEST_F(FrameworkApp, Folders)
{
    svtest::TempFolder home;
    svtest::ScopedEnvironment environment;
    environment.Set("HOME", home.Path().c_str());
    environment.Set("XDG_CONFIG_HOME", home.Join("config").c_str());
    environment.Set("XDG_CONFIG_DIRS", "/nonexistent/xdg:/etc/xdg");
    environment.Set("XDG_DOCUMENTS_DIR", nullptr);
    const std::string product = "Vudozi/Vedozi Duruzava Program Editor";

    EXPECT_FALSE(N(mApp->GetFolder(0)).empty());
    EXPECT_NE(N(mApp->GetFolder(0)).back(), '/');
    EXPECT_EQ(N(mApp->GetFolder(1)), "::");
    EXPECT_EQ(N(mApp->GetFolder(2)), "/nonexistent/xdg/" + product);
    EXPECT_FALSE(std::filesystem::exists("/nonexistent/xdg"));
    EXPECT_EQ(N(mApp->GetFolder(3)), home.Join("config/" + product));
    EXPECT_TRUE(std::filesystem::is_directory(home.Join("config/" + product)));
    EXPECT_EQ(N(mApp->GetFolder(4)), home.Path());
    EXPECT_EQ(
        svtest::ExceptionTextOf<SV::Exception<std::out_of_range>>([&] { mApp->GetFolder(7); }),
        "Out of Range : Unknown Path ID. : "
        "SV::MFCFrameworkApp<class svtest::TestFrameworkApp>::GetFolder : "
        "ApplicationBaseWin : Line 570");

    // Names are made safe for the file system.
    EXPECT_EQ(N(SV::GetApplicationFolder(3, u"Vu/dozi", u"Pro:duct (1)", "f")),
              home.Join("config/Vu_dozi/Pro_duct _1_"));
    EXPECT_TRUE(std::filesystem::is_directory(home.Join("config/Vu_dozi/Pro_duct _1_")));

    // Without a home folder the user's folders cannot be told.
    environment.Set("HOME", nullptr);
    environment.Set("XDG_CONFIG_HOME", nullptr);
    EXPECT_TRUE(mApp->GetFolder(3).IsEmpty());
    EXPECT_TRUE(mApp->GetFolder(4).IsEmpty());
}

TEST_F(FrameworkApp, SetSkinThrowsWhenTheDefaultFontCannotBeRead)
{
    mApp->defaultFontFails = true;
    EXPECT_EQ(svtest::ExceptionTextOf<SV::FailedResultException>([&] { mApp->SetSkin(0); }),
              "Failed Result : SVRESULT = 80004005 : SV::LFrameworkApp::SetSkin : "
              "Application\\FrameworkApp : Line 227");
}

} // namespace
