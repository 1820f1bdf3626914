// The start of the program apart from any display: the start-up steps, the exit request's
// consent, the start-up error box, the command line as one text, window sizing from the skin's
// limits and a restored placement brought onto the desktop.
#include "Application/FrameworkEntry.h"
#include "Application/WindowSizing.h"
#include "ControlBase/ControlFactory.h"
#include "FakeDesktop.h"
#include "FakeRootWindow.h"
#include "MessageBoxStyles.h"
#include "Notification/Notification.h"
#include "Notification/NotificationNames.h"
#include "TestFrameworkApp.h"
#include "Utilities/Storage/StringTable.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

using SV::RCPtr;

TEST(Startup, ASkinFileWithoutSkinsFailsTheFrameworksStepsAndRegistersNoExitHandler)
{
    svtest::FakeDesktop desktop;
    RCPtr<svtest::TestFrameworkApp> app(
        new svtest::TestFrameworkApp(RCPtr<SV::LControlFactory>(new SV::LControlFactory(u"Test"))));
    EXPECT_EQ(app->Startup(), static_cast<int32_t>(0x80004005u));
    std::vector<std::string> log;
    app->AddRootWindow(RCPtr<SV::IRootWindow>(new svtest::FakeRootWindow("w0", log)));
    app->GetNotificationCenter()->Post(SV::CreateNotification(SV::kNidAppExitRequest));
    app->IdlePass(true);
    EXPECT_FALSE(app->IsExitRequested());
}

TEST(Startup, AnExitTheApplicationRefusesChangesNothing)
{
    svtest::FakeDesktop desktop;
    RCPtr<svtest::TestFrameworkApp> app(new svtest::TestFrameworkApp());
    std::vector<std::string> log;
    app->AddRootWindow(RCPtr<SV::IRootWindow>(new svtest::FakeRootWindow("w0", log)));
    app->AddRootWindow(RCPtr<SV::IRootWindow>(new svtest::FakeRootWindow("w1", log)));
    app->Register(RCPtr<SV::LNotificationDistributor>(app->GetNotificationCenter()),
                  SV::kNidAppExitRequest);
    for (const bool canExit : {false, true}) {
        app->canExit = canExit;
        log.clear();
        app->GetNotificationCenter()->Post(SV::CreateNotification(SV::kNidAppExitRequest));
        app->IdlePass(true);
        EXPECT_EQ(app->IsExitRequested(), canExit);
        EXPECT_EQ(log.front() == "w1:RequestClose(0)", canExit);
    }
    app->UnregisterAll();
}

TEST(Startup, StartupErrorBoxUsesTheTablesTextsElseItsOwn)
{
    svtest::FakeDesktop desktop;
    SV::ShowStartupErrorBox(nullptr);
    SV::ShowStartupErrorBox(RCPtr<SV::LStringTable>(new SV::LStringTable(SV::LStringTable::Strings{
        {u"STARTUP_ERROR", u"Kaputt."}, {u"STARTUP_ERROR_CAPTION", u"Fehler"}})));
    ASSERT_EQ(desktop.messageBoxes.size(), 2u);
    EXPECT_EQ(desktop.messageBoxes[0].text,
              "The application encountered problems during startup and will now close.");
    EXPECT_EQ(desktop.messageBoxes[0].caption, "Error");
    EXPECT_EQ(desktop.messageBoxes[0].style, MB_ICONHAND);
    EXPECT_EQ(desktop.messageBoxes[1].text, "Kaputt.");
    EXPECT_EQ(desktop.messageBoxes[1].caption, "Fehler");
}

TEST(Startup, AFailureOutOfTheRunIsReportedAndEndsWithMinusOne)
{
    svtest::FakeDesktop desktop;
    bool cleanedUp = false;
    EXPECT_EQ(SV::RunReportingFailure([] { return 1; }, [&] { cleanedUp = true; }, nullptr), 1);
    EXPECT_FALSE(cleanedUp);
    EXPECT_TRUE(desktop.messageBoxes.empty());
    EXPECT_EQ(SV::RunReportingFailure([]() -> int { throw std::runtime_error("no window"); },
                                      [&] { cleanedUp = true; }, nullptr),
              -1);
    EXPECT_TRUE(cleanedUp);
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(desktop.messageBoxes[0].caption, "Error");
}

TEST(Startup, CommandLineJoinsTheArgumentsQuotingWhatWouldSplit)
{
    const char* argv[] = {"/opt/editor", "song.brv", "my song.brv", "say \"hi\"", ""};
    EXPECT_EQ(SV::JoinCommandLine(5, argv),
              "/opt/editor song.brv \"my song.brv\" \"say \\\"hi\\\"\" \"\"");
    EXPECT_EQ(SV::JoinCommandLine(0, argv), "");
}

SV::LayoutSpec Limit(int32_t kind, double absolute)
{
    return SV::LayoutSpec{kind, SV::WideString(kind == SV::kLimitToControl ? u"other" : u""), 0.0f,
                          absolute};
}

TEST(Startup, WindowSizingFollowsTheMainControlsLimits)
{
    const struct
    {
        const char* name;
        SV::LayoutSpec minimum;
        SV::LayoutSpec maximum;
        bool resizable;
        bool maximizable;
    } kCases[] = {
        {"minimum equals maximum", Limit(SV::kLimitToSelf, 1200), Limit(SV::kLimitToSelf, 1200),
         false, false},
        {"no limits", Limit(SV::kLimitToSelf, 0), Limit(SV::kLimitToSelf, 0), true, true},
        {"a maximum", Limit(SV::kLimitToSelf, 100), Limit(SV::kLimitToSelf, 900), true, false},
        {"bound to controls", Limit(SV::kLimitToControl, 0), Limit(SV::kLimitToControl, 0), false,
         false},
    };
    for (const auto& c : kCases) {
        SV::LLayoutDescriptor layout;
        for (auto& axis : layout.axes) {
            axis.minimum = c.minimum;
            axis.maximum = c.maximum;
        }
        const SV::WindowSizing sizing = SV::ChooseWindowSizing(layout);
        EXPECT_EQ(sizing.resizable, c.resizable) << c.name;
        EXPECT_EQ(sizing.maximizable, c.maximizable) << c.name;
    }
}

TEST(Startup, ARestoredPlacementIsBroughtOntoTheDesktop)
{
    const auto none = [](svp::ScreenRect&) {};
    const struct
    {
        svp::ScreenRect saved;
        svp::ScreenRect placed;
    } kCases[] = {
        {{100, 50, 1300, 770}, {100, 50, 1300, 770}},     // fits
        {{-40, -30, 1160, 690}, {0, 0, 1200, 720}},       // left and top edges not negative
        {{900, 600, 2100, 1320}, {720, 304, 1920, 1024}}, // moved back from the far edges
        {{-10, 20, 3000, 2000}, {0, 0, 1920, 1024}},      // larger than the desktop
    };
    for (const auto& c : kCases) {
        const svp::ScreenRect placed = SV::PlaceOnDesktop(c.saved, 1920, 1024, none);
        EXPECT_EQ(placed.left, c.placed.left);
        EXPECT_EQ(placed.top, c.placed.top);
        EXPECT_EQ(placed.right, c.placed.right);
        EXPECT_EQ(placed.bottom, c.placed.bottom);
    }
    // The control's limits apply before the desktop's edges.
    const svp::ScreenRect limited = SV::PlaceOnDesktop(
        {1500, 0, 1600, 100}, 1920, 1024, [](svp::ScreenRect& r) { r.right = r.left + 1200; });
    EXPECT_EQ(limited.left, 720);
    EXPECT_EQ(limited.right, 1920);
}

} // namespace
