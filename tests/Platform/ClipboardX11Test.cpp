// Google Test first: Xlib defines None as a macro, which breaks its headers.
#include <gtest/gtest.h>

#include "../../Platform/Linux/X11Clipboard.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <atomic>
#include <future>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace {

std::string SelectionName()
{
    return "SV_TEST_CLIPBOARD_" + std::to_string(getpid());
}

// A clipboard owner on a connection and thread of its own, serving until it is stopped.
class OwnerThread
{
public:
    explicit OwnerThread(std::string text) : mText(std::move(text))
    {
        std::promise<bool> ready;
        auto started = ready.get_future();
        mThread = std::thread([this, &ready] {
            Display* display = XOpenDisplay(nullptr);
            {
                svp::X11Clipboard clipboard(display, SelectionName().c_str());
                clipboard.SetLostHandler([this] { mLost = true; });
                ready.set_value(clipboard.SetText(mText));
                while (!mStop) {
                    while (XPending(display) > 0) {
                        XEvent event;
                        XNextEvent(display, &event);
                        clipboard.HandleEvent(event);
                    }
                    pollfd fd{ConnectionNumber(display), POLLIN, 0};
                    poll(&fd, 1, 20);
                }
                mOwnsAtEnd = clipboard.Owns();
            }
            XCloseDisplay(display);
        });
        mStarted = started.get();
    }

    ~OwnerThread() { Stop(); }

    void Stop()
    {
        mStop = true;
        if (mThread.joinable()) {
            mThread.join();
        }
    }

    bool mStarted = false;
    std::atomic<bool> mLost{false};
    bool mOwnsAtEnd = true;

private:
    std::string mText;
    std::atomic<bool> mStop{false};
    std::thread mThread;
};

class ClipboardX11Test : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mDisplay = XOpenDisplay(nullptr);
        ASSERT_NE(mDisplay, nullptr) << "no X display";
        mClipboard = std::make_unique<svp::X11Clipboard>(mDisplay, SelectionName().c_str());
    }

    void TearDown() override
    {
        mClipboard.reset();
        if (mDisplay != nullptr) {
            XCloseDisplay(mDisplay);
        }
    }

    // Asks the owner for a target as another program would; the type and bytes it answered,
    // or None when it refused.
    std::pair<Atom, std::string> Convert(const char* target)
    {
        Window window =
            XCreateSimpleWindow(mDisplay, DefaultRootWindow(mDisplay), 0, 0, 1, 1, 0, 0, 0);
        const Atom property = XInternAtom(mDisplay, "SV_TEST_PROPERTY", False);
        XConvertSelection(mDisplay, XInternAtom(mDisplay, SelectionName().c_str(), False),
                          XInternAtom(mDisplay, target, False), property, window, CurrentTime);
        XEvent event;
        do {
            XNextEvent(mDisplay, &event);
        } while (event.type != SelectionNotify);
        std::pair<Atom, std::string> answer{None, {}};
        if (event.xselection.property != None) {
            int format = 0;
            unsigned long count = 0;
            unsigned long after = 0;
            unsigned char* bytes = nullptr;
            XGetWindowProperty(mDisplay, window, property, 0, 1 << 20, True, AnyPropertyType,
                               &answer.first, &format, &count, &after, &bytes);
            const size_t unit = format == 32 ? sizeof(long) : static_cast<size_t>(format / 8);
            answer.second.assign(reinterpret_cast<const char*>(bytes), count * unit);
            XFree(bytes);
        }
        XDestroyWindow(mDisplay, window);
        return answer;
    }

    bool HasTarget(const std::pair<Atom, std::string>& targets, Atom atom)
    {
        const auto* atoms = reinterpret_cast<const long*>(targets.second.data());
        for (size_t i = 0; i < targets.second.size() / sizeof(long); ++i) {
            if (static_cast<Atom>(atoms[i]) == atom) {
                return true;
            }
        }
        return false;
    }

    Display* mDisplay = nullptr;
    std::unique_ptr<svp::X11Clipboard> mClipboard;
};

TEST_F(ClipboardX11Test, AnotherProgramsTextIsReadAsUtf8IncludingLargeOnesInIncrSteps)
{
    EXPECT_EQ(mClipboard->GetText(200), std::nullopt) << "nobody owns it yet";
    const std::vector<std::string> texts{
        "Gr\xC3\xBC\xC3\x9F"
        "e \xE2\x82\xAC \xF0\x9F\x98\x80",
        std::string(300 * 1024, 'x') + "end",
    };
    for (const std::string& text : texts) {
        OwnerThread owner(text);
        ASSERT_TRUE(owner.mStarted);
        EXPECT_EQ(mClipboard->GetText(2000), text);
    }
}

TEST_F(ClipboardX11Test, StringIsServedOnlyForLatin1TextAndTargetsSaySo)
{
    const Atom string = XA_STRING;
    {
        OwnerThread owner("Gr\xC3\xBC\xC3\x9F"
                          "e");
        ASSERT_TRUE(owner.mStarted);
        EXPECT_TRUE(HasTarget(Convert("TARGETS"), string));
        EXPECT_EQ(Convert("STRING"), std::make_pair(string, std::string("Gr\xFC\xDF"
                                                                        "e")));
        EXPECT_EQ(Convert("UTF8_STRING").second, "Gr\xC3\xBC\xC3\x9F"
                                                 "e");
        EXPECT_EQ(Convert("image/png").first, static_cast<Atom>(None));
    }
    {
        OwnerThread owner("5 \xE2\x82\xAC");
        ASSERT_TRUE(owner.mStarted);
        const auto targets = Convert("TARGETS");
        EXPECT_FALSE(HasTarget(targets, string));
        EXPECT_TRUE(HasTarget(targets, XInternAtom(mDisplay, "UTF8_STRING", False)));
        EXPECT_EQ(Convert("STRING").first, static_cast<Atom>(None));
        EXPECT_EQ(Convert("TEXT").second, "5 \xE2\x82\xAC");
    }
}

TEST_F(ClipboardX11Test, TakingTheClipboardOverTellsTheOldOwner)
{
    OwnerThread owner("old");
    ASSERT_TRUE(owner.mStarted);
    ASSERT_TRUE(mClipboard->SetText("new"));
    EXPECT_TRUE(mClipboard->Owns());
    EXPECT_EQ(mClipboard->GetText(0), "new");
    while (!owner.mLost) {
        std::this_thread::yield();
    }
    owner.Stop();
    EXPECT_FALSE(owner.mOwnsAtEnd);
}

} // namespace
