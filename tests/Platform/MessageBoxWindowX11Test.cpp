#include "EventLoop.h"
#include "MessageBoxStyles.h"
#include "MessageBoxWindow.h"
#include "WindowSystem.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <cstdlib>
#include <vector>

namespace {

// Presses keys in the box once it has painted and waits with the focus, as a user would.
class MessageBoxWindowX11Test : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mSender = XOpenDisplay(nullptr);
        ASSERT_NE(mSender, nullptr) << "no X display";
        mSystem = svp::WindowSystem::Open(mLoop);
        svp::WindowCreateParams params;
        params.title = "Owner";
        params.x = 100;
        params.y = 100;
        params.width = 600;
        params.height = 400;
        mOwner = mSystem->CreateWindow(params, [](svp::HWND, const svp::WindowMessage&) {});
        mSystem->Show(mOwner, true);
    }

    void TearDown() override
    {
        mSystem.reset();
        if (mSender != nullptr) {
            XCloseDisplay(mSender);
        }
    }

    // Runs a box and, at its first idle moment, sends the keys to whichever window has the
    // focus (the box gives itself the focus when it shows).
    int32_t RunWithKeys(uint32_t style, std::vector<std::pair<KeySym, unsigned>> keys,
                        const char* screenshot = nullptr)
    {
        bool sent = false;
        bool ownerDisabled = false;
        const int32_t answer = svp::RunMessageBox(
            *mSystem, mLoop, mOwner,
            "The program could not be saved because the folder is write-protected. Choose "
            "another folder and try again.",
            "Vedozi Duruzava Program Editor", style, [&](int32_t count) {
                if (count == 0 && !sent) {
                    sent = true;
                    ownerDisabled = !mSystem->IsEnabled(mOwner);
                    if (screenshot != nullptr) {
                        const std::string command =
                            std::string("xwd -root -silent | convert xwd:- ") + screenshot +
                            " 2>/dev/null";
                        [[maybe_unused]] const int ignored = std::system(command.c_str());
                    }
                    for (const auto& [symbol, state] : keys) {
                        SendKey(symbol, state);
                    }
                }
                return false;
            });
        EXPECT_TRUE(ownerDisabled);
        EXPECT_TRUE(mSystem->IsEnabled(mOwner));
        return answer;
    }

    void SendKey(KeySym symbol, unsigned state)
    {
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(mSender, &focus, &revert);
        for (const int type : {KeyPress, KeyRelease}) {
            XEvent event{};
            event.xkey.type = type;
            event.xkey.window = focus;
            event.xkey.root = DefaultRootWindow(mSender);
            event.xkey.keycode = XKeysymToKeycode(mSender, symbol);
            event.xkey.state = state;
            event.xkey.same_screen = True;
            XSendEvent(mSender, focus, False, NoEventMask, &event);
        }
        XSync(mSender, False);
    }

    svp::EventLoop mLoop;
    Display* mSender = nullptr;
    std::unique_ptr<svp::WindowSystem> mSystem;
    svp::HWND mOwner = nullptr;
};

TEST_F(MessageBoxWindowX11Test, ReturnChoosesTheDefaultButtonAndTabMovesOn)
{
    const char* shot = std::getenv("SV_MESSAGE_BOX_SCREENSHOT");
    EXPECT_EQ(RunWithKeys(MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2, {{XK_Return, 0}}, shot),
              IDNO);
    EXPECT_EQ(RunWithKeys(MB_YESNOCANCEL, {{XK_Tab, 0}, {XK_Return, 0}}), IDNO);
    EXPECT_EQ(RunWithKeys(MB_OKCANCEL | MB_ICONHAND, {{XK_Tab, 0}, {XK_Tab, 0}, {XK_Return, 0}}),
              IDOK);
}

TEST_F(MessageBoxWindowX11Test, EscapeCancelsOnlyWhereTheBoxCanBeCancelled)
{
    EXPECT_EQ(RunWithKeys(MB_RETRYCANCEL | MB_ICONEXCLAMATION, {{XK_Escape, 0}}), IDCANCEL);
    EXPECT_EQ(RunWithKeys(MB_OK, {{XK_Escape, 0}}), IDOK);
    // Yes/No has no way out but its buttons: Escape is ignored and Return still answers.
    EXPECT_EQ(RunWithKeys(MB_YESNO, {{XK_Escape, 0}, {XK_Return, 0}}), IDYES);
}

} // namespace
