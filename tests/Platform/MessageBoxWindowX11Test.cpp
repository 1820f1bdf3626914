#include "EventLoop.h"
#include "MessageBoxStyles.h"
#include "MessageBoxWindow.h"
#include "WindowSystem.h"

#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
// After gtest: Xlib defines None, which gtest uses as a name.
#include "X11WindowProperty.h"

#include <cstdlib>
#include <functional>
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
        params.title = OwnerTitle();
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

    // The owner's title names this process, so that the box is found among the windows of
    // other programs on the same display.
    static std::string OwnerTitle() { return "Owner " + std::to_string(getpid()); }

    static bool HasName(Display* display, Window window, const std::string& name)
    {
        char* fetched = nullptr;
        const bool same =
            XFetchName(display, window, &fetched) != 0 && fetched != nullptr && name == fetched;
        if (fetched != nullptr) {
            XFree(fetched);
        }
        return same;
    }

    // The box: the top-level window that stands over this test's owner. Keys go to it rather than
    // to whichever window has the focus, which another program on the display may have taken.
    Window FindBox()
    {
        // Windows of other programs may go while they are looked at: their errors are ignored.
        XSync(mSender, False);
        const auto previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
        const Window box = FindBoxAmongTopLevels();
        XSync(mSender, False);
        XSetErrorHandler(previous);
        return box;
    }

    Window FindBoxAmongTopLevels()
    {
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        Window box = 0;
        if (XQueryTree(mSender, DefaultRootWindow(mSender), &root, &parent, &children, &count)) {
            for (unsigned i = 0; i < count && box == 0; ++i) {
                Window owner = 0;
                if (XGetTransientForHint(mSender, children[i], &owner) &&
                    HasName(mSender, owner, OwnerTitle())) {
                    box = children[i];
                }
            }
            if (children != nullptr) {
                XFree(children);
            }
        }
        if (box == 0) {
            int revert = 0;
            XGetInputFocus(mSender, &box, &revert);
        }
        return box;
    }

    // Runs a box and lets `atFirstIdle` look at it (the box found over the owner) once it shows.
    // A box that has not answered after a while is ended with a quit request, so that a test of
    // a box that does not end fails rather than hangs.
    int32_t RunAndLook(uint32_t style, const std::string& caption, const std::string& text,
                       const std::function<void(Window box)>& atFirstIdle)
    {
        bool looked = false;
        const uint32_t deadline = mLoop.SetTimer(20000, [this] { mLoop.PostQuit(0); });
        const int32_t answer =
            svp::RunMessageBox(*mSystem, mLoop, mOwner, text, caption, style, [&](int32_t count) {
                if (count == 0 && !looked) {
                    looked = true;
                    atFirstIdle(FindBox());
                }
                return false;
            });
        mLoop.KillTimer(deadline);
        EXPECT_TRUE(looked);
        EXPECT_TRUE(mSystem->IsEnabled(mOwner));
        return answer;
    }

    std::vector<long> ReadCardinals(Window window, const char* property, Atom type)
    {
        return svtest::ReadWindowProperty<long>(mSender, window, property, type);
    }

    void SendKey(KeySym symbol, unsigned state)
    {
        const Window box = FindBox();
        for (const int type : {KeyPress, KeyRelease}) {
            XEvent event{};
            event.xkey.type = type;
            event.xkey.window = box;
            event.xkey.root = DefaultRootWindow(mSender);
            event.xkey.keycode = XKeysymToKeycode(mSender, symbol);
            event.xkey.state = state;
            event.xkey.same_screen = True;
            XSendEvent(mSender, box, False, NoEventMask, &event);
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

// The window manager is told that the box is a dialog of its owner, of one size, without
// minimise or maximise, and the box is wide enough for the title bar to show its caption whole.
TEST_F(MessageBoxWindowX11Test, BoxIsAFixedSizeDialogOfItsOwnerWideEnoughForItsCaption)
{
    const std::string captions[] = {"Open User Guide Failed", "Hardware Configuration Error",
                                    "Vedozi Duruzava Program Editor: Program File Load"};
    for (const std::string& caption : captions) {
        SCOPED_TRACE(caption);
        const int32_t answer =
            RunAndLook(MB_OK, caption, "The user guide failed to open.", [&](Window box) {
                Window owner = 0;
                EXPECT_TRUE(XGetTransientForHint(mSender, box, &owner));
                EXPECT_EQ(owner, mSystem->GetSystemId(mOwner));
                const std::vector<long> type = ReadCardinals(box, "_NET_WM_WINDOW_TYPE", XA_ATOM);
                ASSERT_EQ(type.size(), 1u);
                EXPECT_EQ(static_cast<Atom>(type[0]),
                          XInternAtom(mSender, "_NET_WM_WINDOW_TYPE_DIALOG", False));
                const Atom motifType = XInternAtom(mSender, "_MOTIF_WM_HINTS", False);
                const std::vector<long> motif = ReadCardinals(box, "_MOTIF_WM_HINTS", motifType);
                ASSERT_GE(motif.size(), 3u);
                constexpr long kMinimizeMaximizeResize = 8 | 16 | 2;
                EXPECT_EQ(motif[1] & kMinimizeMaximizeResize, 0);

                XWindowAttributes attributes{};
                ASSERT_TRUE(XGetWindowAttributes(mSender, box, &attributes));
                XSizeHints hints{};
                long supplied = 0;
                ASSERT_TRUE(XGetWMNormalHints(mSender, box, &hints, &supplied));
                EXPECT_EQ(hints.flags & (PMinSize | PMaxSize), PMinSize | PMaxSize);
                EXPECT_EQ(hints.min_width, attributes.width);
                EXPECT_EQ(hints.max_width, attributes.width);
                EXPECT_EQ(hints.min_height, attributes.height);
                EXPECT_EQ(hints.max_height, attributes.height);
                // A bold title bar face of about 15 pixels, and the frame's icon and close button.
                EXPECT_GE(attributes.width, static_cast<int>(8 * caption.size()) + 100);
                SendKey(XK_Return, 0);
            });
        EXPECT_EQ(answer, IDOK);
    }
}

// Another program (a window manager, xkill) may destroy the box: it ends as cancelled, and its
// owner takes input again.
TEST_F(MessageBoxWindowX11Test, BoxDestroyedFromOutsideAnswersAsCancelled)
{
    const struct
    {
        uint32_t style;
        int32_t answer;
    } cases[] = {
        {MB_OKCANCEL, IDCANCEL},
        {MB_OK | MB_ICONHAND, IDOK},
        {MB_YESNO | MB_DEFBUTTON2, IDNO},
    };
    for (const auto& c : cases) {
        const int32_t answer = RunAndLook(c.style, "Caption", "Text", [&](Window box) {
            XDestroyWindow(mSender, box);
            XSync(mSender, False);
        });
        EXPECT_EQ(answer, c.answer) << std::hex << c.style;
    }
}

} // namespace
