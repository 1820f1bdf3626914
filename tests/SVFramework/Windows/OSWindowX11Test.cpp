// The native window on the test's X server: messages of the window system become root-window
// calls (wheel steps, key codes, capture, close), and modal loops and hand-overs behave as the
// program relies on.
#include "ControlBase/KeyParam.h"
#include "Notification/NotificationClient.h"
#include "Notification/NotificationNames.h"
#include "RootWindowFixture.h"
#include "System/ModifierKeys.h"
#include "TestFrameworkApp.h"
#include "Windows/OSWindow.h"
#include "Windows/OSWindowContext.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

class KeyRecordingControl : public svtest::InputControl
{
public:
    using svtest::InputControl::InputControl;

    int32_t HandleKey(const SV::ConstRCPtr<SV::LKeyParam>& key) override
    {
        keys.push_back(key->mKey);
        return 1;
    }
    int32_t HandleVerticalWheel(const SV::ConstRCPtr<SV::LMouseWheelParam>&) override
    {
        ++verticalWheels;
        return 0;
    }
    int32_t HandleHorizontalWheel(const SV::ConstRCPtr<SV::LMouseWheelParam>&) override
    {
        ++horizontalWheels;
        return 0;
    }

    std::vector<SV::KeyCode> keys;
    int verticalWheels = 0;
    int horizontalWheels = 0;
};

class ExitRequestRecorder : public SV::LNotificationClient
{
public:
    void Receive(const SV::ConstRCPtr<SV::LNotificationDistributor>&,
                 const SV::ConstRCPtr<SV::LNotification>&) override
    {
        ++received;
    }
    int received = 0;
};

class OSWindowX11 : public ::testing::Test
{
protected:
    void SetUp() override
    {
        context = SV::OSWindowContext::Open([](int32_t) { return false; });
        if (!context) {
            GTEST_SKIP() << "no X display";
        }
        app = SV::RCPtr<svtest::TestFrameworkApp>(new svtest::TestFrameworkApp());
        window = new SV::OSWindow(context->GetWindows(), context->GetLoop());
        svp::WindowCreateParams params;
        params.className = "OSWindowTest";
        params.x = 40;
        params.y = 30;
        params.width = 200;
        params.height = 100;
        ASSERT_EQ(window->Create(params), 0);
        ASSERT_EQ(window->InitRootWindow(1), 0);
        handle = window->GetWindowHandle();

        control = SV::RCPtr<KeyRecordingControl>(new KeyRecordingControl(nullptr, u"main", log));
        SV::RCPtr<SV::LLayoutDescriptor> layout(new SV::LLayoutDescriptor());
        svtest::At(0, 0, 200, 100)(*layout);
        control->SetLayout(layout);
        control->UpdateLayout();
        control->SetCreated();
        window->GetRootWindow()->SetMainControl(control);
        window->GetRootWindow()->SetFocusedControl(control);
    }

    void TearDown() override
    {
        if (!context) {
            return;
        }
        if (SV::OSWindow* live = SV::OSWindow::FromHandle(handle)) {
            live->GetRootWindow()->SetMainControl(nullptr);
            live->Close();
        }
        control = nullptr;
        app = nullptr;
        context.reset();
    }

    svp::WindowMessage Message(uint32_t id) const
    {
        svp::WindowMessage message;
        message.message = id;
        return message;
    }

    svp::WindowMessage Wheel(uint32_t id, int32_t delta) const
    {
        svp::WindowMessage message = Message(id);
        message.wheelDelta = delta;
        const SV::PointT<int32_t> screen = window->ClientToScreen({20, 20});
        message.x = screen.x;
        message.y = screen.y;
        return message;
    }

    svp::WindowMessage Key(uint32_t id, uint32_t virtualKey, bool repeat = false,
                           bool alt = false) const
    {
        svp::WindowMessage message = Message(id);
        message.key.code = virtualKey;
        message.repeat = repeat;
        message.altHeld = alt;
        return message;
    }

    svp::WindowMessage Button(uint32_t id, int32_t x, int32_t y) const
    {
        svp::WindowMessage message = Message(id);
        message.x = x;
        message.y = y;
        return message;
    }

    std::unique_ptr<SV::OSWindowContext> context;
    SV::RCPtr<svtest::TestFrameworkApp> app;
    SV::OSWindow* window = nullptr;
    svp::HWND handle = nullptr;
    std::vector<std::string> log;
    SV::RCPtr<KeyRecordingControl> control;
};

TEST_F(OSWindowX11, WheelDeltasAddUpToWholeStepsAndEachMessagePassesOnOneEventAtMost)
{
    const struct
    {
        uint32_t message;
        int32_t delta;
        int vertical;
        int horizontal;
    } kSteps[] = {
        {WM_MOUSEWHEEL, 360, 1, 0}, // three steps, one event, nothing left over
        {WM_MOUSEWHEEL, 60, 1, 0},  {WM_MOUSEWHEEL, 60, 2, 0},   {WM_MOUSEWHEEL, -119, 2, 0},
        {WM_MOUSEWHEEL, -1, 3, 0},  {WM_MOUSEHWHEEL, 120, 3, 1}, {WM_MOUSEHWHEEL, -120, 3, 2},
    };
    for (const auto& step : kSteps) {
        window->HandleMessage(Wheel(step.message, step.delta));
        EXPECT_EQ(control->verticalWheels, step.vertical) << step.delta;
        EXPECT_EQ(control->horizontalWheels, step.horizontal) << step.delta;
    }
}

TEST_F(OSWindowX11, KeyMessagesBecomeKeyCodesWithDownBitAndPreviousState)
{
    constexpr uint32_t kA = 0x41;
    window->HandleMessage(Key(WM_KEYDOWN, kA));
    window->HandleMessage(Key(WM_KEYDOWN, kA, true));
    window->HandleMessage(Key(WM_KEYUP, kA));
    window->HandleMessage(Key(WM_SYSKEYDOWN, 0x46, false, true)); // Alt+F
    window->HandleMessage(Key(WM_SYSKEYDOWN, 0, false, true));    // a system key without code
    window->HandleMessage(Key(WM_KEYDOWN, 0));                    // dropped
    ASSERT_EQ(control->keys.size(), 5u);
    EXPECT_EQ(control->keys[0].GetCode(), (kA << 16) | SV::KeyCode::kKeyDown);
    EXPECT_EQ(control->keys[0].GetPreviousState(), 0);
    EXPECT_EQ(control->keys[1].GetPreviousState(), 1);
    EXPECT_EQ(control->keys[2].GetCode(), kA << 16);
    EXPECT_EQ(control->keys[2].GetPreviousState(), 1);
    EXPECT_EQ(control->keys[3].GetCode(),
              (0x46u << 16) | SV::KeyCode::kKeyDown | SV::KeyCode::kAlt);
    EXPECT_EQ(control->keys[4].GetCode(), SV::KeyCode::kAlt);
}

TEST_F(OSWindowX11, AReleaseOutsideWithNothingHeldEndsTheCaptureAndOneInsideKeepsIt)
{
    window->HandleMessage(Button(WM_LBUTTONDOWN, 10, 10));
    EXPECT_TRUE(window->IsCaptured());
    EXPECT_EQ(window->GetPressCount(), 1);
    window->HandleMessage(Button(WM_LBUTTONUP, 12, 12));
    EXPECT_TRUE(window->IsCaptured());
    EXPECT_EQ(window->GetPressCount(), 1);

    window->HandleMessage(Button(WM_LBUTTONDOWN, 10, 10));
    window->HandleMessage(Button(WM_LBUTTONUP, -5, 300));
    EXPECT_FALSE(window->IsCaptured());
    EXPECT_EQ(window->GetPressCount(), 0);
    EXPECT_EQ(window->GetMouseButtons() & SV::kButtonLeft, 0);
}

TEST_F(OSWindowX11, TheMainWindowsCloseBoxAsksTheApplicationToExitAndStaysOpen)
{
    const SV::RCPtr<ExitRequestRecorder> recorder(new ExitRequestRecorder());
    recorder->Register(SV::RCPtr<SV::LNotificationDistributor>(app->GetNotificationCenter()),
                      SV::kNidAppExitRequest);
    svp::WindowMessage close = Message(WM_SYSCOMMAND);
    close.command = SC_CLOSE;
    window->HandleMessage(close);
    app->IdlePass(true);
    EXPECT_EQ(recorder->received, 1);
    EXPECT_EQ(SV::OSWindow::FromHandle(handle), window);
    recorder->UnregisterAll();
}

TEST_F(OSWindowX11, AModalLoopDisablesItsOwnerAndEndsWithTheCloseResult)
{
    auto* dialog = new SV::OSWindow(context->GetWindows(), context->GetLoop());
    svp::WindowCreateParams params;
    params.className = "OSWindowTestDialog";
    params.width = 80;
    params.height = 40;
    ASSERT_EQ(dialog->Create(params, handle), 0);
    ASSERT_EQ(dialog->CreateRootWindow(window->GetRootWindow()->GetRenderer()), 0);
    EXPECT_EQ(app->GetRootWindows().GetCount(), 2);
    const svp::HWND dialogHandle = dialog->GetWindowHandle();
    bool ownerEnabledDuringLoop = true;
    context->GetLoop().Post([&] {
        ownerEnabledDuringLoop = context->GetWindows().IsEnabled(handle);
        SV::OSWindow::FromHandle(dialogHandle)->GetRootWindow()->RequestClose(7);
    });
    EXPECT_EQ(dialog->RunModalLoop(), 7);
    EXPECT_FALSE(ownerEnabledDuringLoop);
    EXPECT_TRUE(context->GetWindows().IsEnabled(handle));
    EXPECT_EQ(SV::OSWindow::FromHandle(dialogHandle), nullptr);
    EXPECT_EQ(app->GetRootWindows().GetCount(), 1);
}

TEST_F(OSWindowX11, AHandedOverCommandLineIsDroppedWhileAModalWindowDisablesTheWindow)
{
    context->GetWindows().Enable(handle, false);
    EXPECT_FALSE(window->OnForwardedCommandLine("editor song.brv"));
    context->GetWindows().Enable(handle, true);
    EXPECT_TRUE(window->OnForwardedCommandLine("editor song.brv"));
}

} // namespace
