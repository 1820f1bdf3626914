#include "ProgramExchangeActions.h"

#include "EditorApplicationDouble.h"
#include "EngineDoubles.h"
#include "FakeDesktop.h"
#include "KeyboardSimulator.h"
#include "MidiCaptureRecorder.h"
#include "PresetEditorCommon/MidiManager.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
using SV::RCPtr;
using svtest::KeyboardSimulator;
using svtest::ValueStoreEngine;
using namespace std::chrono_literals;

const std::string kGetFailed = "Retrieve Program Error";
const std::string kGetMidiError =
    "Error retrieving program from device.  Connect controller and try again.";
const std::string kGetFirmwareError =
    "The firmware version of your Vudozi Vedozi needs to be updated. Visit the Vudozi "
    "Professional website for the latest firmware updates.";
const std::string kGetDone = "Retrieve Successful";
const std::string kGetDoneText = "The program has been successfully retrieved.";
const std::string kSendFailed = "Send Program Error";
const std::string kSendMidiError = "Error connecting to device. Verify your Vudozi Vedozi "
                                   "Duruzava is connected to the computer and try again.";
const std::string kSendFirmwareError = "The firmware version of the device is not compatible. ";
const std::string kSendDone = "Send Success";
const std::string kSendDoneText = "Program has been sent successfully to the device.";

// A manager whose exchanges answer what the test says, for results the keyboard cannot cause.
class ScriptedMidiManager : public SV::LMidiManager
{
public:
    int32_t GetPresetFromMidiDevice(int32_t slot) override
    {
        slots.push_back(slot);
        return result;
    }
    int32_t SendPresetToMidiDevice(int32_t slot) override
    {
        slots.push_back(slot);
        return result;
    }

    int32_t result = 0;
    std::vector<int32_t> slots;
};

class ProgramExchangeActionsTest : public testing::Test
{
protected:
    static void SetUpTestSuite() { svtest::UseOnlyInProcessMidiDevices(); }

    void SetUp() override
    {
        manager->SetReplyTimeout(200);
        app->SetMidiManager(manager);
    }

    // The one box shown since the last call, as caption and text; empty when none or several.
    std::vector<std::string> TakeBox()
    {
        std::vector<std::string> box;
        if (desktop.messageBoxes.size() == 1) {
            EXPECT_EQ(desktop.messageBoxes[0].style, 0u) << "an OK box";
            box = {desktop.messageBoxes[0].caption, desktop.messageBoxes[0].text};
        }
        desktop.messageBoxes.clear();
        return box;
    }

    svtest::FakeDesktop desktop;
    RCPtr<svtest::EditorApplicationDouble> app =
        svtest::EditorApplicationDouble::WithProgramStrings();
    RCPtr<ValueStoreEngine> engine{new ValueStoreEngine()};
    svtest::EngineHost host{engine};
    std::unique_ptr<KeyboardSimulator> keyboard = std::make_unique<KeyboardSimulator>();
    RCPtr<SV::LMidiManager> manager = SV::LMidiManager::Create();
};

TEST_F(ProgramExchangeActionsTest, EachResultOfTheManagerHasItsBoxAndIsAnsweredUnchanged)
{
    const RCPtr<ScriptedMidiManager> scripted(new ScriptedMidiManager());
    app->SetMidiManager(scripted);
    const struct
    {
        bool get;
        int32_t result;
        std::vector<std::string> box;
    } cases[] = {
        {true, 0, {kGetDone, kGetDoneText}},
        {true, -1, {kGetFailed, kGetMidiError}},
        {true, -3, {kGetFailed, kGetMidiError}},
        {true, -2, {kGetFailed, kGetFirmwareError}},
        {true, 5, {kGetDone, kGetDoneText}},
        {false, 23, {kSendDone, kSendDoneText}},
        {false, 0, {kSendDone, kSendDoneText}},
        {false, -1, {kSendFailed, kSendMidiError}},
        {false, -2, {kSendFailed, kSendFirmwareError}},
        {false, -3, {kSendDone, kSendDoneText}}, // a send awaits no reply
    };
    int32_t slot = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE((c.get ? "get " : "send ") + std::to_string(c.result));
        scripted->result = c.result;
        slot = (slot + 1) % 5;
        EXPECT_EQ(c.get ? GetProgramFromDevice(slot) : SendProgramToDevice(slot), c.result);
        EXPECT_EQ(scripted->slots.back(), slot);
        EXPECT_EQ(TakeBox(), c.box);
    }
}

TEST_F(ProgramExchangeActionsTest, AGetBringsTheKeyboardsProgramIntoTheEngineFromAnySlot)
{
    const KeyboardSimulator::Program program = {0x05, 0x00, 0x06, 0x01, 0x01, 0x02, 0x00,
                                                0x00, 0x00, 0x02, 0x00, 0x78, 0x00, 0x0E};
    const std::vector<ValueStoreEngine::SetCall> applied = {
        {0, {0x05, 0x00}},
        {1, {0x06}},
        {2, Bytes(program.begin() + 3, program.begin() + 13)},
        {3, {0x0E}}};
    for (int32_t slot : {2, 0}) {
        SCOPED_TRACE(slot);
        keyboard->SetProgram(slot, program);
        const size_t before = engine->SetCalls().size();
        EXPECT_EQ(GetProgramFromDevice(slot), 0);
        const std::vector<ValueStoreEngine::SetCall> calls = engine->SetCalls();
        EXPECT_EQ(std::vector<ValueStoreEngine::SetCall>(calls.begin() + before, calls.end()),
                  applied);
        EXPECT_EQ(TakeBox(), (std::vector<std::string>{kGetDone, kGetDoneText}));
    }
}

TEST_F(ProgramExchangeActionsTest, AKeyboardThatDoesNotAnswerGivesTheSameBoxAsNoKeyboard)
{
    KeyboardSimulator::Answer silent;
    silent.mode = KeyboardSimulator::Answer::Mode::Silent;
    keyboard->SetAnswer(silent);
    EXPECT_EQ(GetProgramFromDevice(1), -3);
    EXPECT_EQ(TakeBox(), (std::vector<std::string>{kGetFailed, kGetMidiError}));

    keyboard = nullptr;
    EXPECT_EQ(GetProgramFromDevice(1), -1);
    EXPECT_EQ(TakeBox(), (std::vector<std::string>{kGetFailed, kGetMidiError}));
    EXPECT_EQ(SendProgramToDevice(1), -1);
    EXPECT_EQ(TakeBox(), (std::vector<std::string>{kSendFailed, kSendMidiError}));
    EXPECT_TRUE(engine->SetCalls().empty());
}

TEST_F(ProgramExchangeActionsTest, ASendWritesTheEnginesProgramOrFailsWithoutAWholeOne)
{
    const std::vector<Bytes> values = {
        {0x03, 0x00}, {0x05}, {0x01, 0x02, 0x03, 0x01, 0x01, 0x05, 0x04, 0x01, 0x70, 0x03}, {0x0D}};
    engine->SetValues(values);
    EXPECT_EQ(SendProgramToDevice(4), 23);
    EXPECT_EQ(TakeBox(), (std::vector<std::string>{kSendDone, kSendDoneText}));
    ASSERT_TRUE(keyboard->WaitForReceived(1, 10s));
    const KeyboardSimulator::Program stored = keyboard->GetProgram(4);
    EXPECT_EQ(Bytes(stored.begin(), stored.end()),
              (Bytes{0x03, 0x00, 0x05, 0x01, 0x02, 0x03, 0x01, 0x01, 0x05, 0x04, 0x01, 0x70, 0x03,
                     0x0D}));

    engine->SetValues({values[0], values[1], values[2]});
    EXPECT_EQ(SendProgramToDevice(0), -1);
    EXPECT_EQ(TakeBox(), (std::vector<std::string>{kSendFailed, kSendMidiError}));
    EXPECT_EQ(keyboard->GetReceived().size(), 1u) << "nothing more went out";
}

TEST_F(ProgramExchangeActionsTest, WithoutAMidiManagerNothingIsExchanged)
{
    app->SetMidiManager(nullptr);
    EXPECT_EQ(GetProgramFromDevice(1), -1);
    EXPECT_EQ(TakeBox(), (std::vector<std::string>{kGetFailed, kGetMidiError}));
    EXPECT_EQ(SendProgramToDevice(1), -1);
    EXPECT_EQ(TakeBox(), (std::vector<std::string>{kSendFailed, kSendMidiError}));
    EXPECT_TRUE(keyboard->GetReceived().empty());
}

TEST(ProgramExchangeActionsWithoutTexts, AnEmptyTextShowsNoBoxAndTheResultStillComesBack)
{
    svtest::FakeDesktop desktop;
    const std::string strings = R"(<Solvane_StringTable_Definitions>
  <Application Name="PresetEditor">
    <StringTable ID="|PresetEditor">
      <String ID="LABEL_GET_PRESET_FAILED_MSGBOX_CAPTION"><Locale LCID="0x0009">Oops</Locale></String>
      <String ID="LABEL_GET_PRESET_FAILED_MIDI_ERROR_MSGBOX_TEXT"><Locale LCID="0x0009"></Locale></String>
    </StringTable>
  </Application>
</Solvane_StringTable_Definitions>
)";
    const RCPtr<svtest::EditorApplicationDouble> app =
        svtest::EditorApplicationDouble::WithStrings(strings);
    const RCPtr<ScriptedMidiManager> scripted(new ScriptedMidiManager());
    app->SetMidiManager(scripted);
    scripted->result = -3;
    EXPECT_EQ(GetProgramFromDevice(3), -3) << "a text without words";
    scripted->result = 23;
    EXPECT_EQ(SendProgramToDevice(3), 23) << "no text at all";
    EXPECT_TRUE(desktop.messageBoxes.empty());
}

} // namespace
