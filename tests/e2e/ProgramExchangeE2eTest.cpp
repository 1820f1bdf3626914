// The whole program, driven only through its window, exchanging programs with the keyboard
// simulator, which runs as a program of its own on a JACK server of the test's own: gets and
// sends from the File menu, the program bank and the keyboard, program files chosen in a
// stand-in file chooser, and the message boxes that tell how each went.
// GoogleTest before Xlib, whose macros (None, Bool) would break its names.
#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "FakeFileChooser.h"
#include "HexBytes.h"
#include "KeyboardProcessTest.h"
#include "ProfileFile.h"
#include "ScopedEnvironment.h"
#include "TempFolder.h"
#include "X11WindowDriver.h"

#include <X11/keysym.h>
#include <jack/jack.h>
#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

constexpr const char* kMainWindowClass = "VedoziDuruzavaPresetEditorMainWindowClass";
constexpr const char* kMessageBoxClass = "MessageBox";

// A started editor shows its window within this time even on a loaded machine with sanitizers.
constexpr auto kStartLimit = 60s;
// A box, a menu or a file shows within this time after the action that asks for it.
constexpr auto kActionLimit = 10s;
constexpr auto kCloseLimit = 15s;
// An action whose effect has not shown within this time is taken again, at most kAttempts times.
constexpr auto kEffectLimit = 5s;
constexpr int32_t kAttempts = 3;

// Points of the main window, from the skin: the menu bar's File title, the rows of its popup
// (22 pixels each, from y 27) and of the sub-menus that open beside them, and the program bank
// (at 765, 189 in the window) with its buttons.
struct Point
{
    int32_t x;
    int32_t y;
};
constexpr Point kFileMenu{30, 12};
constexpr Point kSendProgramEntry{70, 38};
constexpr Point kGetProgramEntry{70, 60};
constexpr Point kOpenProgramEntry{70, 104};
constexpr Point kSaveProgramEntry{70, 126};
// The n-th entry of a sub-menu beside the popup, its first entry level with its parent's row.
constexpr Point SubMenuEntry(const Point& parent, int32_t index)
{
    return {290, parent.y + 22 * index};
}
constexpr Point GetButton(int32_t slot)
{
    return {765 + 14 + 88 * (slot - 1) + 40, 189 + 56 + 12};
}
constexpr Point kSendToRamButton{765 + 14 + 171, 189 + 169 + 12};
// The MIDI channel box (at 10, 48 in its panel, 104 by 22) and the rows of its list, 18 pixels
// each, which opens below it.
constexpr Point kChannelBox{64 + 10 + 52, 189 + 48 + 11};
constexpr Point ChannelRow(int32_t index)
{
    return {kChannelBox.x, 189 + 48 + 22 + 2 + 18 * index + 9};
}
// A part of the keyboard picture where the pointer rests without lighting anything up.
constexpr Point kRestingPoint{600, 600};
struct Area
{
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
};
// The panels that show the MIDI channel and the octave and transpose, and where the File menu and
// its sub-menus open.
constexpr Area kChannelPanel{64, 189, 124, 101};
constexpr Area kOctaveTransposePanel{64, 306, 124, 102};
constexpr Area kPopupArea{8, 28, 150, 150};
constexpr Area kChannelBoxArea{74, 237, 104, 22};
// The tempo box (at 10, 26 in the arpeggiator, 80 by 22), right of its three digits.
constexpr Point kTempoRightOfDigits{204 + 10 + 55, 189 + 26 + 11};
constexpr Area kChannelListArea{74, 259, 104, 60};
constexpr Area kSubMenuArea{220, 50, 140, 90};

// The captions of the boxes.
constexpr const char* kGetSucceeded = "Retrieve Successful";
constexpr const char* kGetFailed = "Retrieve Program Error";
constexpr const char* kSendSucceeded = "Send Success";
constexpr const char* kFileLoadFailed = "Program File Load";
constexpr const char* kReplaceQuestion = "Confirm Save";

// Programs as the keyboard holds them: the MIDI channel (2 bytes), the octave (1), the
// arpeggiator (10) and the transpose (1), in that order.
// The editor's model before anything changed it.
const Bytes kDefaultProgram = {0x00, 0x02, 0x04, 0x00, 0x00, 0x00, 0x00,
                               0x00, 0x00, 0x02, 0x00, 0x78, 0x00, 0x0C};
// Channel 6, octave +1, the arpeggiator on (Down, 1/8, internal clock, latched, swing 55%,
// 3 taps, tempo 150, 2 octaves), transpose +3.
const Bytes kStoredProgram = {0x05, 0x00, 0x05, 0x01, 0x01, 0x02, 0x00,
                              0x01, 0x01, 0x03, 0x01, 0x16, 0x01, 0x0F};
// Channel 10, octave -2, the arpeggiator off (Exclusive, 1/8 triplet, external clock, swing
// 57%, 4 taps, tempo 90, 4 octaves), transpose -5.
const Bytes kFileProgram = {0x09, 0x00, 0x02, 0x00, 0x02, 0x03, 0x01,
                            0x00, 0x02, 0x04, 0x00, 0x5A, 0x03, 0x07};

void AppendWord(Bytes& bytes, uint32_t word)
{
    for (int32_t shift = 0; shift < 32; shift += 8) {
        bytes.push_back(static_cast<uint8_t>(word >> shift));
    }
}

// The program file of a program: the header (version 1, the keyboard's identity 0, 0) and one
// record a value, each its length, a reserved word, the parameter id and the value as a byte
// blob Variant (size, format 1, type 14, bytes).
Bytes ProgramFile(const Bytes& program)
{
    static constexpr size_t kValueSizes[] = {2, 1, 10, 1};
    Bytes file;
    AppendWord(file, 1);
    AppendWord(file, 0);
    AppendWord(file, 0);
    size_t offset = 0;
    for (uint32_t id = 0; id < 4; ++id) {
        const auto size = static_cast<uint32_t>(kValueSizes[id]);
        AppendWord(file, size + 24);
        AppendWord(file, 0);
        AppendWord(file, id);
        AppendWord(file, size + 12);
        AppendWord(file, 1);
        AppendWord(file, 14);
        file.insert(file.end(), program.begin() + static_cast<ptrdiff_t>(offset),
                    program.begin() + static_cast<ptrdiff_t>(offset + size));
        offset += size;
    }
    return file;
}

std::string Text(const Bytes& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

Bytes BytesOf(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The names of the editor's clients on the JACK server (the second gets a number), that are there
// now; empty when the server cannot be asked.
std::vector<std::string> EditorClientsOnTheServer()
{
    jack_status_t status{};
    jack_client_t* observer = jack_client_open("e2e observer", JackNoStartServer, &status);
    if (observer == nullptr) {
        ADD_FAILURE() << "the JACK server cannot be asked";
        return {};
    }
    std::vector<std::string> present;
    for (const char* name : {"SV MIDI", "SV MIDI-01", "SV MIDI-02"}) {
        if (char* uuid = jack_get_uuid_for_client_name(observer, name)) {
            present.emplace_back(name);
            jack_free(uuid);
        }
    }
    jack_client_close(observer);
    return present;
}

bool Contains(const std::vector<std::string>& arguments, const std::string& wanted)
{
    return std::find(arguments.begin(), arguments.end(), wanted) != arguments.end();
}

class ProgramExchangeE2e : public svtest::KeyboardProcessTest
{
protected:
    void SetUp() override
    {
        KeyboardProcessTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        if (!mDriver.IsOpen()) {
            GTEST_SKIP() << "no X display";
        }
        // The editor is started from this process and so finds the test's JACK server.
        const char* server = std::getenv("JACK_DEFAULT_SERVER");
        ASSERT_TRUE(server != nullptr && sServer->GetName() == server);

        ::chmod(mRuntime.Path().c_str(), 0700);
        mEnvironment.Set("XDG_CONFIG_HOME", mConfig.Path().c_str());
        mEnvironment.Set("XDG_RUNTIME_DIR", mRuntime.Path().c_str());
        // Main windows of editors that other tests on this display started are not this one.
        svtest::X11WindowDriver::Query query{kMainWindowClass, 0, {}};
        for (const Window other : mDriver.FindWindows(query)) {
            query.except.insert(other);
        }
        svtest::ChildProcess::Options options;
        options.arguments = {SV_EDITOR_PROGRAM};
        mEditor = std::make_unique<svtest::ChildProcess>(options);
        ASSERT_TRUE(mEditor->IsStarted());
        mWindow = mDriver.WaitForPaintedWindow(query, kStartLimit);
        ASSERT_NE(mWindow, 0u) << "the main window did not show";
        mDriver.MovePointer(mWindow, kRestingPoint.x, kRestingPoint.y);
        mClosedMenu = WaitForSteady(kPopupArea);
    }

    // The editor is closed as a user closes it, so that it leaves the JACK server as a program
    // does that ends: one that is killed leaves a client behind that holds up the server's
    // cycle for the next test. A box left open keeps the window from closing: then it is
    // stopped.
    void TearDown() override
    {
        if (!mEditor) {
            return;
        }
        if (mWindow != 0) {
            mDriver.Close(mWindow);
        }
        if (!mEditor->WaitForExit(kCloseLimit)) {
            mEditor->Stop();
        }
    }

    void SetSlot(int32_t slot, const Bytes& program)
    {
        ASSERT_TRUE(
            sKeyboard->Command("program " + std::to_string(slot) + " " + svtest::ToHex(program)))
            << sKeyboard->GetProblem();
    }

    // The slot once the keyboard has received the program sent to it (a message after the first
    // `receivedBefore`): the editor tells of a send as soon as the message has left, which may be
    // before the keyboard has stored it.
    Bytes ShowSlotOnceSent(int32_t slot, size_t receivedBefore)
    {
        const auto isSendToSlot = [slot](const Bytes& message) {
            return message.size() == 23 && message[4] == 0x5E && message[7] == slot;
        };
        // A busy machine can hold the server's cycle back for seconds: the limit is generous.
        for (size_t count = receivedBefore + 1;; ++count) {
            if (!sKeyboard->WaitForReceived(count, std::chrono::seconds(15))) {
                ADD_FAILURE() << "the keyboard received no program for slot " << slot;
                return {};
            }
            if (isSendToSlot(sKeyboard->GetReceived()[count - 1])) {
                return ShowSlot(slot);
            }
        }
    }

    Bytes ShowSlot(int32_t slot)
    {
        std::vector<std::string> output;
        const std::string prefix = "program " + std::to_string(slot) + " ";
        if (!sKeyboard->Command("show " + std::to_string(slot), &output) || output.empty() ||
            output.back().rfind(prefix, 0) != 0) {
            ADD_FAILURE() << "the simulator did not show slot " << slot;
            return {};
        }
        return svtest::FromHex(output.back().substr(prefix.size())).value_or(Bytes{});
    }

    // A key in the main window, which is given the input focus first: a window that has lost it
    // to another program's window takes the focus from its controls, and the key would go to
    // none of them.
    void PressKey(unsigned long keySym, const std::vector<unsigned long>& modifiers = {})
    {
        mDriver.Focus(mWindow);
        mDriver.PressKey(mWindow, keySym, modifiers);
    }

    // The area once two looks a moment apart agree: the window has drawn what it had to.
    std::vector<uint32_t> WaitForSteady(const Area& area)
    {
        const auto deadline = Clock::now() + kActionLimit;
        std::vector<uint32_t> last = Capture(area);
        for (;;) {
            std::this_thread::sleep_for(150ms);
            std::vector<uint32_t> now = Capture(area);
            if (now == last || Clock::now() >= deadline) {
                EXPECT_EQ(now, last) << "the window kept changing";
                return now;
            }
            last = std::move(now);
        }
    }

    // Waits until the area shows something other than `before`; false when it did not in time.
    bool WaitForChange(const Area& area, const std::vector<uint32_t>& before)
    {
        const auto deadline = Clock::now() + kActionLimit;
        while (Capture(area) == before) {
            if (Clock::now() >= deadline) {
                return false;
            }
            std::this_thread::sleep_for(20ms);
        }
        return true;
    }

    // Clicks a point of the main window, which is given the input focus first: a window that has
    // lost it closes its menus. False when another window kept the point covered.
    bool Click(const Point& point)
    {
        mDriver.Focus(mWindow);
        return mDriver.Click(mWindow, point.x, point.y);
    }

    // Clicks and waits until the area shows something else, as a menu does when it opens.
    bool ClickAndWaitForChange(const Point& point, const Area& area)
    {
        const std::vector<uint32_t> before = Capture(area);
        return Click(point) && WaitForChange(area, before);
    }

    // Opens the File menu, once the one opened before has closed, and chooses an entry, or an
    // entry of one of its sub-menus (index -1: none); false when a menu did not open.
    bool ChooseFromMenu(const Point& entry, int32_t subMenuIndex)
    {
        const auto deadline = Clock::now() + kActionLimit;
        while (Capture(kPopupArea) != mClosedMenu) {
            if (Clock::now() >= deadline) {
                return false;
            }
            std::this_thread::sleep_for(20ms);
        }
        if (!ClickAndWaitForChange(kFileMenu, kPopupArea)) {
            return false;
        }
        if (subMenuIndex < 0) {
            return Click(entry);
        }
        return ClickAndWaitForChange(entry, kSubMenuArea) &&
               Click(SubMenuEntry(entry, subMenuIndex));
    }

    // Takes the steps until what they do shows. Another program's window may come over a point
    // or take the input focus, which closes the editor's menus, between two steps: steps whose
    // effect did not show are taken again from the start, a few times, the menus closed first.
    void Act(const std::function<bool()>& steps, const std::function<bool()>& done,
             const std::string& what)
    {
        for (int32_t attempt = 0; attempt < kAttempts; ++attempt) {
            if (steps() && WaitUntil(done, kEffectLimit)) {
                return;
            }
            for (int32_t level = 0; level < 3; ++level) {
                PressKey(XK_Escape);
            }
        }
        ADD_FAILURE() << what << " did not happen";
    }

    void ChooseFromFileMenu(const Point& entry, const std::function<bool()>& done)
    {
        Act([&] { return ChooseFromMenu(entry, -1); }, done, "the menu command");
    }

    void ChooseFromFileMenu(const Point& entry, int32_t subMenuIndex,
                            const std::function<bool()>& done)
    {
        Act([&] { return ChooseFromMenu(entry, subMenuIndex); }, done, "the sub-menu command");
    }

    void ClickButton(const Point& point, const std::function<bool()>& done)
    {
        Act([&] { return Click(point); }, done, "the button's action");
    }

    static bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
    {
        const auto deadline = Clock::now() + timeout;
        while (!done()) {
            if (Clock::now() >= deadline) {
                return false;
            }
            std::this_thread::sleep_for(20ms);
        }
        return true;
    }

    // What an action shows when it ran: a message box over the main window, or another run of
    // the file chooser.
    std::function<bool()> BoxShown()
    {
        return [this] { return !mDriver.FindWindows({kMessageBoxClass, mWindow, {}}).empty(); };
    }

    std::function<bool()> ChooserRan()
    {
        const size_t runs = mChooser.GetRuns().size();
        return [this, runs] { return mChooser.GetRuns().size() > runs; };
    }

    std::vector<uint32_t> Capture(const Area& area)
    {
        return mDriver.Capture(mWindow, area.x, area.y, area.width, area.height);
    }

    // Waits for the message box over the main window and answers its caption; Return presses
    // its OK, and the box must then go.
    std::string CloseMessageBox()
    {
        const Window box = mDriver.WaitForWindow({kMessageBoxClass, mWindow, {}}, kActionLimit);
        if (box == 0) {
            ADD_FAILURE() << "no message box showed";
            return {};
        }
        const std::string caption = mDriver.GetTitle(box);
        mDriver.PressKey(box, XK_Return);
        EXPECT_TRUE(mDriver.WaitUntilGone(box, kActionLimit)) << "the box stayed: " << caption;
        return caption;
    }

    // Saves the program with Ctrl+S under the name in the test's folder and answers the file.
    Bytes SaveWithCtrlS(const std::string& name)
    {
        const std::string path = mFiles.Join(name);
        mChooser.Answer(path);
        const auto ran = ChooserRan();
        PressKey(XK_s, {XK_Control_L});
        EXPECT_TRUE(WaitUntil(ran, kActionLimit)) << "Ctrl+S did not ask for a file";
        return BytesOf(WaitForFile(path, 122));
    }

    // Waits until a file has the size, as the editor writes it.
    std::string WaitForFile(const std::string& path, size_t size)
    {
        const auto deadline = Clock::now() + kActionLimit;
        for (;;) {
            std::error_code error;
            if (std::filesystem::file_size(path, error) == size && !error) {
                return ReadWholeFile(path);
            }
            if (Clock::now() >= deadline) {
                ADD_FAILURE() << path << " was not written";
                return {};
            }
            std::this_thread::sleep_for(20ms);
        }
    }

    std::string ProfilePath() const
    {
        return mConfig.Path() + "/Vudozi/Vedozi Duruzava Program Editor/profile.ini";
    }

    svtest::X11WindowDriver mDriver;
    svtest::TempFolder mConfig;
    svtest::TempFolder mRuntime;
    svtest::TempFolder mFiles;
    svtest::ScopedEnvironment mEnvironment;
    svtest::FakeFileChooser mChooser;
    std::unique_ptr<svtest::ChildProcess> mEditor;
    Window mWindow = 0;
    // What the window shows where the File menu opens, while it is closed.
    std::vector<uint32_t> mClosedMenu;
};

TEST_F(ProgramExchangeE2e, GetsProgramTwoFromTheMenuAndSavesItAsTheKeyboardHoldsIt)
{
    SetSlot(2, kStoredProgram);
    ChooseFromFileMenu(kGetProgramEntry, 1, BoxShown());
    EXPECT_EQ(CloseMessageBox(), kGetSucceeded);

    const std::string path = mFiles.Join("program two.brv");
    mChooser.Answer(path);
    ChooseFromFileMenu(kSaveProgramEntry, ChooserRan());
    EXPECT_EQ(svtest::ToHex(BytesOf(WaitForFile(path, 122))),
              svtest::ToHex(ProgramFile(ShowSlot(2))));
    ASSERT_EQ(mChooser.GetRuns().size(), 1u);
    EXPECT_TRUE(Contains(mChooser.GetRuns()[0], "--save"));
}

TEST_F(ProgramExchangeE2e, OpensAProgramFileAndSendsItToProgramThree)
{
    SetSlot(3, kDefaultProgram);
    const std::string path = mFiles.Join("from disk.brv");
    mFiles.WriteFile("from disk.brv", Text(ProgramFile(kFileProgram)));
    mChooser.Answer(path);
    const auto channelBefore = WaitForSteady(kChannelPanel);
    const auto octaveBefore = WaitForSteady(kOctaveTransposePanel);
    ChooseFromFileMenu(kOpenProgramEntry, ChooserRan());
    // The panels show the program opened, the channel box as soon as the octave.
    EXPECT_TRUE(WaitForChange(kOctaveTransposePanel, octaveBefore));
    EXPECT_TRUE(WaitForChange(kChannelPanel, channelBefore));
    const size_t receivedBefore = sKeyboard->GetReceived().size();
    ChooseFromFileMenu(kSendProgramEntry, 3, BoxShown());
    EXPECT_EQ(CloseMessageBox(), kSendSucceeded);

    EXPECT_EQ(svtest::ToHex(ShowSlotOnceSent(3, receivedBefore)), svtest::ToHex(kFileProgram));
    const auto runs = mChooser.GetRuns();
    ASSERT_EQ(runs.size(), 1u) << "the successful load showed a box or asked again";
    EXPECT_FALSE(Contains(runs[0], "--save"));
}

TEST_F(ProgramExchangeE2e, ChangesTheChannelWithKeysAloneAndSendsItToRam)
{
    SetSlot(0, kStoredProgram);
    // The focus starts in the channel box, the first control in reading order, whose list opens
    // with Down; Down picks the next channel and Return takes it.
    PressKey(XK_Down);
    PressKey(XK_Down);
    PressKey(XK_Return);
    const size_t receivedBefore = sKeyboard->GetReceived().size();
    ClickButton(kSendToRamButton, BoxShown());
    EXPECT_EQ(CloseMessageBox(), kSendSucceeded);

    Bytes expected = kDefaultProgram;
    expected[0] = 0x01; // channel 2
    expected[1] = 0x00; // as the channel box writes it
    EXPECT_EQ(svtest::ToHex(ShowSlotOnceSent(0, receivedBefore)), svtest::ToHex(expected));
}

// After a channel is chosen in its list, with the mouse and then with keys, the keyboard still
// works: Tab goes on to the octave box, and Ctrl+S saves the program with the chosen channel.
TEST_F(ProgramExchangeE2e, KeysGoOnWorkingAfterAChannelIsChosenWithTheMouseOrTheKeys)
{
    // The mouse opens the list and takes "Channel 3": the list closes and the box shows it.
    const auto listClosed = WaitForSteady(kChannelListArea);
    const auto boxBefore = WaitForSteady(kChannelBoxArea);
    Act(
        [&] {
            return ClickAndWaitForChange(kChannelBox, kChannelListArea) && Click(ChannelRow(2));
        },
        [&] {
            return Capture(kChannelListArea) == listClosed && Capture(kChannelBoxArea) != boxBefore;
        },
        "choosing a channel with the mouse");
    mDriver.MovePointer(mWindow, kRestingPoint.x, kRestingPoint.y);
    PressKey(XK_Tab);
    Bytes expected = kDefaultProgram;
    expected[0] = 0x02; // channel 3
    expected[1] = 0x00; // as the channel box writes it
    EXPECT_EQ(svtest::ToHex(SaveWithCtrlS("mouse.brv")), svtest::ToHex(ProgramFile(expected)));

    // Shift+Tab comes back from the octave box to the channel box, one stop before it; Down opens
    // its list, Down marks "Channel 4" and Return takes it.
    PressKey(XK_Tab, {XK_Shift_L});
    PressKey(XK_Down);
    PressKey(XK_Down);
    PressKey(XK_Return);
    PressKey(XK_Tab);
    expected[0] = 0x03; // channel 4
    EXPECT_EQ(svtest::ToHex(SaveWithCtrlS("keys.brv")), svtest::ToHex(ProgramFile(expected)));
}

// A click right of a number's digits puts the caret after them: three Backspaces clear the full
// three-digit tempo, and the digits typed then are the new tempo.
TEST_F(ProgramExchangeE2e, AClickRightOfTheDigitsPutsTheCaretAfterThem)
{
    ASSERT_TRUE(Click(kTempoRightOfDigits));
    for (int i = 0; i < 3; ++i) {
        PressKey(XK_BackSpace);
    }
    PressKey(XK_9);
    PressKey(XK_5);
    PressKey(XK_Tab);
    Bytes expected = kDefaultProgram;
    expected[10] = 0x00; // tempo 95
    expected[11] = 0x5F;
    EXPECT_EQ(svtest::ToHex(SaveWithCtrlS("tempo.brv")), svtest::ToHex(ProgramFile(expected)));
}

TEST_F(ProgramExchangeE2e, ACorruptFileShowsTheLoadErrorAndLeavesTheProgramShown)
{
    // Its first two records would change the channel and the octave; the third is cut short.
    Bytes file = ProgramFile(kFileProgram);
    file.resize(12 + 26 + 25);
    AppendWord(file, 5);
    AppendWord(file, 0);
    mFiles.WriteFile("corrupt.brv", Text(file));
    mChooser.Answer(mFiles.Join("corrupt.brv"));

    const auto channelBefore = WaitForSteady(kChannelPanel);
    const auto octaveBefore = WaitForSteady(kOctaveTransposePanel);
    ChooseFromFileMenu(kOpenProgramEntry, ChooserRan());
    EXPECT_EQ(CloseMessageBox(), kFileLoadFailed);

    mDriver.MovePointer(mWindow, kRestingPoint.x, kRestingPoint.y);
    EXPECT_EQ(WaitForSteady(kChannelPanel), channelBefore) << "the channel changed";
    EXPECT_EQ(WaitForSteady(kOctaveTransposePanel), octaveBefore) << "the octave changed";
}

TEST_F(ProgramExchangeE2e, AGetTheKeyboardLeavesUnansweredEndsInAnErrorAndTheWindowGoesOn)
{
    ASSERT_TRUE(sKeyboard->Command("answer silent"));
    const size_t requestsBefore = sKeyboard->GetReceived().size();
    auto clicked = Clock::now();
    Act(
        [&] {
            clicked = Clock::now();
            return Click(GetButton(1));
        },
        BoxShown(), "the get");
    const auto shownAfter =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - clicked);
    std::printf("the error box showed %lld ms after the click\n",
                static_cast<long long>(shownAfter.count()));
    // The keyboard was asked and did not answer: the editor gave up after its reply time.
    EXPECT_LT(shownAfter, 3s);
    ASSERT_TRUE(sKeyboard->WaitForReceived(requestsBefore + 1));
    EXPECT_EQ(svtest::ToHex(sKeyboard->GetReceived().back()), "F0 47 7F 3E 66 00 01 01 F7");
    EXPECT_EQ(CloseMessageBox(), kGetFailed);

    // The window still answers: the next get, with the keyboard answering, goes through.
    ASSERT_TRUE(sKeyboard->Command("answer normal"));
    SetSlot(1, kStoredProgram);
    ClickButton(GetButton(1), BoxShown());
    EXPECT_EQ(CloseMessageBox(), kGetSucceeded);
}

// A name typed without an extension is saved with ".brv" added; when that file exists, the
// editor asks before it replaces it, since the chooser asked only about the name typed.
TEST_F(ProgramExchangeE2e, ANameWithoutExtensionIsSavedAsABrvFileReplacedOnlyWhenTheUserSaysSo)
{
    const std::string typed = mFiles.Join("prog");
    const std::string saved = mFiles.Join("prog.brv");
    mChooser.Answer(typed);
    ChooseFromFileMenu(kSaveProgramEntry, ChooserRan());
    EXPECT_EQ(svtest::ToHex(BytesOf(WaitForFile(saved, 122))),
              svtest::ToHex(ProgramFile(kDefaultProgram)));
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(mFiles.Path())) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"prog.brv"});
    EXPECT_TRUE(mDriver.FindWindows({kMessageBoxClass, mWindow, {}}).empty());

    // "No" (the box's default) brings the chooser back with that name, and nothing is written.
    mFiles.WriteFile("prog.brv", "mine");
    ChooseFromFileMenu(kSaveProgramEntry, BoxShown());
    const Window box = mDriver.WaitForWindow({kMessageBoxClass, mWindow, {}}, kActionLimit);
    ASSERT_NE(box, 0u);
    EXPECT_EQ(mDriver.GetTitle(box), kReplaceQuestion);
    mChooser.Cancel();
    const auto chooserAgain = ChooserRan();
    mDriver.PressKey(box, XK_Return);
    EXPECT_TRUE(WaitUntil(chooserAgain, kActionLimit)) << "the chooser did not come back";
    const auto runs = mChooser.GetRuns();
    ASSERT_FALSE(runs.empty());
    EXPECT_TRUE(Contains(runs.back(), "--filename=" + saved));
    EXPECT_EQ(mFiles.ReadFile("prog.brv"), "mine");

    // "Yes" replaces it.
    mChooser.Answer(typed);
    ChooseFromFileMenu(kSaveProgramEntry, BoxShown());
    const Window again = mDriver.WaitForWindow({kMessageBoxClass, mWindow, {}}, kActionLimit);
    ASSERT_NE(again, 0u);
    mDriver.PressKey(again, XK_Left);
    mDriver.PressKey(again, XK_Return);
    EXPECT_TRUE(mDriver.WaitUntilGone(again, kActionLimit));
    EXPECT_EQ(svtest::ToHex(BytesOf(WaitForFile(saved, 122))),
              svtest::ToHex(ProgramFile(kDefaultProgram)));
}

// Opening a FIFO does not wait for somebody to write into it: the window says at once that the
// file could not be read, and goes on.
TEST_F(ProgramExchangeE2e, OpeningAFifoIsRefusedAtOnce)
{
    const std::string fifo = mFiles.Join("pipe.brv");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    mChooser.Answer(fifo);
    ChooseFromFileMenu(kOpenProgramEntry, BoxShown());
    EXPECT_EQ(CloseMessageBox(), kFileLoadFailed);

    SetSlot(1, kStoredProgram);
    ClickButton(GetButton(1), BoxShown());
    EXPECT_EQ(CloseMessageBox(), kGetSucceeded);
}

// A keyboard that answers late: the answer to a get of program 3 that ended in the error box
// comes in while the get of program 4 waits for its own, which comes too late.
TEST_F(ProgramExchangeE2e, ALateAnswerForProgramThreeIsNotTakenAsProgramFour)
{
    SetSlot(3, kStoredProgram);
    SetSlot(4, kFileProgram);
    ASSERT_TRUE(sKeyboard->Command("answer silent"));
    const size_t requestsBefore = sKeyboard->GetReceived().size();
    ClickButton(GetButton(3), BoxShown());
    EXPECT_EQ(CloseMessageBox(), kGetFailed);
    ASSERT_TRUE(sKeyboard->WaitForReceived(requestsBefore + 1));

    const auto channelBefore = WaitForSteady(kChannelPanel);
    const auto octaveBefore = WaitForSteady(kOctaveTransposePanel);
    ClickButton(GetButton(4), [&] { return sKeyboard->WaitForReceived(requestsBefore + 2, 50ms); });
    EXPECT_EQ(svtest::ToHex(sKeyboard->GetReceived().back()), "F0 47 7F 3E 66 00 01 04 F7");
    Bytes lateAnswer = {0xF0, 0x47, 0x7F, 0x3E, 0x53, 0x00, 0x0F, 0x03};
    lateAnswer.insert(lateAnswer.end(), kStoredProgram.begin(), kStoredProgram.end());
    lateAnswer.push_back(0xF7);
    ASSERT_TRUE(sKeyboard->Command("deliver " + svtest::ToHex(lateAnswer)));
    EXPECT_EQ(CloseMessageBox(), kGetFailed);

    mDriver.MovePointer(mWindow, kRestingPoint.x, kRestingPoint.y);
    EXPECT_EQ(WaitForSteady(kChannelPanel), channelBefore) << "the channel changed";
    EXPECT_EQ(WaitForSteady(kOctaveTransposePanel), octaveBefore) << "the octave changed";
}

// A desktop that logs out sends SIGTERM, a terminal's Ctrl+C SIGINT, a closed terminal SIGHUP.
class TerminationSignalE2e : public ProgramExchangeE2e, public ::testing::WithParamInterface<int>
{
protected:
    // The editor's time to end is what is measured, not the sanitizer's: AddressSanitizer's leak
    // check at the end takes seconds of its own (left to the tests that close the window), and
    // ThreadSanitizer waits a second at exit for threads still running.
    void SetUp() override
    {
        AppendOption("ASAN_OPTIONS", ":detect_leaks=0");
        AppendOption("TSAN_OPTIONS", ":atexit_sleep_ms=0");
        ProgramExchangeE2e::SetUp();
    }

private:
    void AppendOption(const char* variable, const char* option)
    {
        const char* options = std::getenv(variable);
        mEnvironment.Set(variable, (std::string(options != nullptr ? options : "") + option).c_str());
    }
};

TEST_P(TerminationSignalE2e, EndsTheEditorAfterAGetAsItsCloseBoxDoes)
{
    SetSlot(1, kStoredProgram);
    ClickButton(GetButton(1), BoxShown());
    EXPECT_EQ(CloseMessageBox(), kGetSucceeded);
    ASSERT_FALSE(EditorClientsOnTheServer().empty()) << "the get opened no JACK client";
    std::filesystem::remove(ProfilePath());

    const auto sent = Clock::now();
    ASSERT_EQ(::kill(mEditor->GetPid(), GetParam()), 0);
    const std::optional<int32_t> status = mEditor->WaitForExit(kCloseLimit);
    const auto took = Clock::now() - sent;
    // Within a second, with its settings written and its JACK clients gone from the server, which
    // would otherwise hold up the next clients' cycles.
    EXPECT_EQ(status, std::optional<int32_t>(1)) << "the editor did not end as its close box";
    EXPECT_LT(took, 1s);
    EXPECT_EQ(EditorClientsOnTheServer(), std::vector<std::string>{});
    EXPECT_TRUE(svp::ProfileFile(ProfilePath()).ReadBinary(kMainWindowClass, "WP").has_value())
        << "the window's placement was not written";
    mWindow = 0;
}

INSTANTIATE_TEST_SUITE_P(Signals, TerminationSignalE2e, ::testing::Values(SIGTERM, SIGINT, SIGHUP),
                         [](const ::testing::TestParamInfo<int>& signal) {
                             return std::string(signal.param == SIGTERM  ? "SIGTERM"
                                                : signal.param == SIGINT ? "SIGINT"
                                                                         : "SIGHUP");
                         });

} // namespace
