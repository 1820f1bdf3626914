#include "EventLoop.h"
#include "VirtualKeys.h"
#include "WindowSystem.h"
#include "WindowedDesktop.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <cairo-xlib.h>
#include <cairo.h>

#include <vector>

namespace {

// Sends events to the window from a connection of its own, as another client (or the server)
// would, and runs the loop until the window has seen what the test waits for.
class WindowSystemX11Test : public ::testing::Test
{
protected:
    // One connection stays open for the whole suite: an X server resets when its last client
    // leaves and refuses connections while it does.
    static void SetUpTestSuite() { sSender = XOpenDisplay(nullptr); }
    static void TearDownTestSuite()
    {
        if (sSender != nullptr) {
            XCloseDisplay(sSender);
        }
    }

    void SetUp() override
    {
        ASSERT_NE(sSender, nullptr) << "no X display";
        mSender = sSender;
        mSystem = svp::WindowSystem::Open(mLoop);
        ASSERT_TRUE(mSystem) << "no X display";
        svp::WindowCreateParams params;
        params.title = "Test";
        params.className = "TestClass";
        params.x = 10;
        params.y = 20;
        params.width = 200;
        params.height = 100;
        mWindow = mSystem->CreateWindow(
            params, [this](svp::HWND, const svp::WindowMessage& m) { mMessages.push_back(m); });
        mSystem->Show(mWindow, true);
        mSystem->SetFocus(mWindow);
        // The first frame and the focus, before any input is sent.
        WaitFor(WM_PAINT);
        WaitFor(WM_SETFOCUS);
        mMessages.clear();
    }

    // Runs the loop until a message of that kind arrives; the last one of that kind.
    svp::WindowMessage WaitFor(uint32_t kind)
    {
        for (int rounds = 0; rounds < 2000; ++rounds) {
            for (const svp::WindowMessage& m : mMessages) {
                if (m.message == kind) {
                    return m;
                }
            }
            mLoop.PumpOne(50);
        }
        ADD_FAILURE() << "no message 0x" << std::hex << kind;
        return {};
    }

    std::vector<uint32_t> Kinds() const { return KindsOf(mMessages); }

    static std::vector<uint32_t> KindsOf(const std::vector<svp::WindowMessage>& messages)
    {
        std::vector<uint32_t> kinds;
        for (const svp::WindowMessage& m : messages) {
            kinds.push_back(m.message);
        }
        return kinds;
    }

    // The messages of kinds first to last only: the tests share the display with other
    // programs, whose windows may take the focus from this one or move the pointer over it, and
    // a late expose may paint it again.
    std::vector<svp::WindowMessage> MessagesOf(uint32_t first, uint32_t last) const
    {
        std::vector<svp::WindowMessage> chosen;
        for (const svp::WindowMessage& m : mMessages) {
            if (m.message >= first && m.message <= last) {
                chosen.push_back(m);
            }
        }
        return chosen;
    }

    void Send(XEvent event)
    {
        event.xany.window = static_cast<Window>(mSystem->GetSystemId(mWindow));
        event.xany.display = mSender;
        XSendEvent(mSender, static_cast<Window>(mSystem->GetSystemId(mWindow)), False, NoEventMask,
                   &event);
        // Once the server has handled the request, the event is on its way to the window's
        // connection, ahead of anything the test does next.
        XSync(mSender, False);
    }

    void SendKey(int type, KeySym symbol, unsigned state)
    {
        XEvent event{};
        event.xkey.type = type;
        event.xkey.root = DefaultRootWindow(mSender);
        event.xkey.keycode = XKeysymToKeycode(mSender, symbol);
        event.xkey.state = state;
        event.xkey.same_screen = True;
        Send(event);
    }

    void SendButton(int type, unsigned button, int x, int y, Time time)
    {
        XEvent event{};
        event.xbutton.type = type;
        event.xbutton.root = DefaultRootWindow(mSender);
        event.xbutton.button = button;
        event.xbutton.x = x;
        event.xbutton.y = y;
        event.xbutton.time = time;
        event.xbutton.same_screen = True;
        Send(event);
    }

    svp::EventLoop mLoop;
    std::unique_ptr<svp::WindowSystem> mSystem;
    static inline Display* sSender = nullptr;
    Display* mSender = nullptr;
    svp::HWND mWindow = nullptr;
    std::vector<svp::WindowMessage> mMessages;
};

TEST_F(WindowSystemX11Test, InvalidatedRectanglesAreMergedIntoOnePaintClippedToTheWindow)
{
    mSystem->InvalidateRect(mWindow, 10, 10, 20, 20);
    mSystem->InvalidateRect(mWindow, 150, 50, 100, 100);
    const svp::WindowMessage paint = WaitFor(WM_PAINT);
    EXPECT_EQ(paint.x, 10);
    EXPECT_EQ(paint.y, 10);
    EXPECT_EQ(paint.width, 190);
    EXPECT_EQ(paint.height, 90);
    const std::vector<uint32_t> kinds = Kinds();
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), WM_PAINT), 1);
    const svp::ClientRect rect = mSystem->GetClientRect(mWindow);
    EXPECT_EQ(rect.width, 200);
    EXPECT_EQ(rect.height, 100);
}

TEST_F(WindowSystemX11Test, TheWindowManagersCloseRequestTakesTheCloseCommandPath)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.message_type = XInternAtom(mSender, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(mSender, "WM_DELETE_WINDOW", False));
    Send(event);
    EXPECT_EQ(WaitFor(WM_SYSCOMMAND).command, SC_CLOSE);
}

TEST_F(WindowSystemX11Test, KeysGiveVirtualKeyCodesRepeatsAltAsSystemKeysAndCharacters)
{
    SendKey(KeyPress, XK_a, 0);
    SendKey(KeyPress, XK_a, 0);
    SendKey(KeyRelease, XK_a, 0);
    const svp::WindowMessage up = WaitFor(WM_KEYUP);
    EXPECT_EQ(up.key.code, VK_A);
    std::vector<svp::WindowMessage> downs;
    std::u16string characters;
    for (const svp::WindowMessage& m : mMessages) {
        if (m.message == WM_KEYDOWN) {
            downs.push_back(m);
        } else if (m.message == WM_CHAR) {
            characters += m.character;
        }
    }
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_FALSE(downs[0].repeat);
    EXPECT_TRUE(downs[1].repeat);
    EXPECT_EQ(characters, u"aa");

    mMessages.clear();
    SendKey(KeyPress, XK_f, Mod1Mask);
    const svp::WindowMessage sys = WaitFor(WM_SYSKEYDOWN);
    EXPECT_EQ(sys.key.code, VK_A + 5);
    EXPECT_TRUE(sys.altHeld);
    SendKey(KeyRelease, XK_f, Mod1Mask);
    WaitFor(WM_SYSKEYUP);

    mMessages.clear();
    SendKey(KeyPress, XK_b, Mod4Mask);
    SendKey(KeyRelease, XK_b, Mod4Mask);
    WaitFor(WM_KEYUP);
    EXPECT_EQ(KindsOf(MessagesOf(WM_KEYDOWN, WM_SYSKEYUP)),
              (std::vector<uint32_t>{WM_KEYDOWN, WM_KEYUP}))
        << "no character with Super";
}

TEST_F(WindowSystemX11Test, ASecondPressOfTheSameButtonCloseInTimeAndPlaceIsADoubleClick)
{
    struct Press
    {
        unsigned button;
        int x;
        Time time;
        uint32_t expected;
    };
    const Press presses[] = {
        {1, 50, 1000, WM_LBUTTONDOWN},   {1, 53, 1400, WM_LBUTTONDBLCLK},
        {1, 53, 1500, WM_LBUTTONDOWN},   {1, 53, 2100, WM_LBUTTONDOWN},
        {1, 58, 2200, WM_LBUTTONDOWN},   {3, 58, 2300, WM_RBUTTONDOWN},
        {1, 58, 2400, WM_LBUTTONDOWN},   {2, 58, 2500, WM_MBUTTONDOWN},
        {2, 58, 2600, WM_MBUTTONDBLCLK},
    };
    std::vector<uint32_t> expected;
    for (const Press& press : presses) {
        SendButton(ButtonPress, press.button, press.x, 40, press.time);
        SendButton(ButtonRelease, press.button, press.x, 40, press.time + 10);
        expected.push_back(press.expected);
        expected.push_back(press.button == 1   ? WM_LBUTTONUP
                           : press.button == 2 ? WM_MBUTTONUP
                                               : WM_RBUTTONUP);
    }
    const auto buttonMessages = [this] { return MessagesOf(WM_LBUTTONDOWN, WM_MBUTTONDBLCLK); };
    for (int rounds = 0; rounds < 2000 && buttonMessages().size() < expected.size(); ++rounds) {
        mLoop.PumpOne(50);
    }
    const std::vector<svp::WindowMessage> buttons = buttonMessages();
    const std::vector<uint32_t> kinds = KindsOf(buttons);
    EXPECT_EQ(kinds, expected);
    ASSERT_GE(buttons.size(), 2u);
    EXPECT_EQ(buttons[0].x, 50);
    EXPECT_EQ(buttons[0].y, 40);
    EXPECT_EQ(buttons[0].buttonFlags, MK_LBUTTON);
    EXPECT_EQ(buttons[1].buttonFlags, 0u);
}

TEST_F(WindowSystemX11Test, WheelButtonsGiveStepsOf120InFourDirections)
{
    const std::pair<unsigned, std::pair<uint32_t, int32_t>> cases[] = {
        {4, {WM_MOUSEWHEEL, 120}},
        {5, {WM_MOUSEWHEEL, -120}},
        {6, {WM_MOUSEHWHEEL, -120}},
        {7, {WM_MOUSEHWHEEL, 120}},
    };
    for (const auto& [button, expected] : cases) {
        mMessages.clear();
        SendButton(ButtonPress, button, 5, 5, 100);
        SendButton(ButtonRelease, button, 5, 5, 110);
        const svp::WindowMessage wheel = WaitFor(expected.first);
        EXPECT_EQ(wheel.wheelDelta, expected.second) << button;
    }
}

TEST_F(WindowSystemX11Test, ADisabledWindowGetsNoInputButStillPaints)
{
    mSystem->Enable(mWindow, false);
    SendKey(KeyPress, XK_a, 0);
    SendButton(ButtonPress, 1, 5, 5, 100);
    mSystem->InvalidateRect(mWindow, 0, 0, 5, 5);
    WaitFor(WM_PAINT);
    // Neither the key nor the button came through (a pointer another program moves over the
    // window is no input of this test's).
    EXPECT_EQ(KindsOf(MessagesOf(WM_KEYDOWN, WM_SYSKEYUP)), std::vector<uint32_t>{});
    EXPECT_EQ(KindsOf(MessagesOf(WM_LBUTTONDOWN, WM_MOUSEHWHEEL)), std::vector<uint32_t>{});
    EXPECT_EQ(mSystem->GetKeyState(VK_A), 0x8000) << "the key table still follows the keyboard";
    mSystem->Enable(mWindow, true);
    SendKey(KeyRelease, XK_a, 0);
    WaitFor(WM_KEYUP);
}

// Another program may destroy a window while it is drawn through Cairo (a message box closed by
// the window manager before it painted): the drawing requests that name the window's picture
// fail, and the program goes on. The painter has a connection of its own, as the boxes draw.
TEST_F(WindowSystemX11Test, DrawingOnAWindowAnotherProgramDestroyedDoesNotEndTheProgram)
{
    Display* painter = XOpenDisplay(nullptr);
    ASSERT_NE(painter, nullptr);
    const Window window =
        XCreateSimpleWindow(painter, DefaultRootWindow(painter), 0, 0, 50, 50, 0, 0, 0);
    XMapWindow(painter, window);
    XSync(painter, False);
    cairo_surface_t* surface = cairo_xlib_surface_create(
        painter, window, DefaultVisual(painter, DefaultScreen(painter)), 50, 50);
    const auto draw = [surface] {
        cairo_t* cairo = cairo_create(surface);
        cairo_set_source_rgb(cairo, 0.5, 0.2, 0.1);
        cairo_paint(cairo);
        cairo_destroy(cairo);
        cairo_surface_flush(surface);
    };
    draw();
    XSync(painter, False);

    XDestroyWindow(mSender, window);
    XSync(mSender, False);
    draw();
    XSync(painter, False);
    cairo_surface_destroy(surface);
    XCloseDisplay(painter);
    // Still here, and the window system still answers.
    mSystem->InvalidateRect(mWindow, 0, 0, 5, 5);
    WaitFor(WM_PAINT);
}

} // namespace

namespace {

TEST(WindowedDesktopX11Test, WorkAreaPointerAndCursorsComeFromTheDisplay)
{
    svp::EventLoop loop;
    auto windows = svp::WindowSystem::Open(loop);
    ASSERT_TRUE(windows) << "no X display";
    auto desktop = svp::CreateWindowedDesktop(*windows, loop, nullptr);
    svp::ScreenRect area;
    ASSERT_TRUE(desktop->GetWorkArea(area));
    EXPECT_EQ(area.left, 0);
    EXPECT_EQ(area.top, 0);
    EXPECT_GT(area.right, 0);
    EXPECT_GT(area.bottom, 0);

    ASSERT_TRUE(desktop->SetCursorPos(33, 44));
    int32_t x = 0;
    int32_t y = 0;
    ASSERT_TRUE(desktop->GetCursorPos(x, y));
    EXPECT_EQ(x, 33);
    EXPECT_EQ(y, 44);

    const svp::HCURSOR arrow = desktop->LoadSystemCursor(svp::IDC_ARROW);
    EXPECT_NE(arrow, nullptr);
    EXPECT_EQ(desktop->LoadSystemCursor(svp::IDC_ARROW), arrow) << "loaded once";
    EXPECT_NE(desktop->LoadSystemCursor(svp::IDC_IBEAM), arrow);
    EXPECT_EQ(desktop->LoadSystemCursor(12345), nullptr);
}

} // namespace
