// Getting and sending programs over a real transport: a JACK dummy server of this test's own and
// the keyboard simulator running as a separate process on it.
#include "PresetEditorCommon/MidiManager.h"

#include "EngineDoubles.h"
#include "HexBytes.h"
#include "KeyboardProcessTest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
using svtest::ValueStoreEngine;

const Bytes kProgram = {0x05, 0x00, 0x04, 0x01, 0x01, 0x02, 0x00,
                        0x00, 0x00, 0x02, 0x00, 0x78, 0x00, 0x0C};

class MidiManagerJackTest : public svtest::KeyboardProcessTest
{
protected:
    SV::RCPtr<ValueStoreEngine> engine{new ValueStoreEngine()};
    svtest::EngineHost host{engine};
    SV::RCPtr<SV::LMidiManager> manager = SV::LMidiManager::Create();
};

TEST_F(MidiManagerJackTest, GetsAProgramFromTheKeyboardProcess)
{
    ASSERT_TRUE(sKeyboard->Command("program 1 " + svtest::ToHex(kProgram)));
    const size_t before = sKeyboard->GetReceived().size();
    EXPECT_EQ(0, manager->GetPresetFromMidiDevice(1));
    ASSERT_TRUE(sKeyboard->WaitForReceived(before + 1));
    EXPECT_EQ((Bytes{0xF0, 0x47, 0x7F, 0x3E, 0x66, 0x00, 0x01, 0x01, 0xF7}),
              sKeyboard->GetReceived().back());
    EXPECT_EQ(
        (std::vector<Bytes>{
            {0x05, 0x00}, {0x04}, Bytes(kProgram.begin() + 3, kProgram.begin() + 13), {0x0C}}),
        engine->Values());
}

TEST_F(MidiManagerJackTest, AReplyInPiecesIsAppliedAndSilenceIsMinusThree)
{
    ASSERT_TRUE(sKeyboard->Command("program 3 " + svtest::ToHex(kProgram)));
    ASSERT_TRUE(sKeyboard->Command("answer pieces 5 9 4 wire"));
    EXPECT_EQ(0, manager->GetPresetFromMidiDevice(3));
    EXPECT_EQ(4u, engine->SetCalls().size());

    ASSERT_TRUE(sKeyboard->Command("answer silent"));
    manager->SetReplyTimeout(200);
    EXPECT_EQ(-3, manager->GetPresetFromMidiDevice(3));
    EXPECT_EQ(4u, engine->SetCalls().size());
}

// The keyboard answers each request late: the answer to a get that gave up comes while the next
// get, of another slot, waits, and before that get's own answer.
TEST_F(MidiManagerJackTest, ALateAnswerToAnEarlierGetIsNotTakenForTheNextSlot)
{
    const Bytes otherProgram(14, 0x01);
    ASSERT_TRUE(sKeyboard->Command("program 3 " + svtest::ToHex(otherProgram)));
    ASSERT_TRUE(sKeyboard->Command("program 4 " + svtest::ToHex(kProgram)));
    ASSERT_TRUE(sKeyboard->Command("answer late 1500"));
    manager->SetReplyTimeout(200);
    EXPECT_EQ(-3, manager->GetPresetFromMidiDevice(3));
    // Long enough for the get's own answer; the one of slot 3 comes first.
    manager->SetReplyTimeout(20000);
    EXPECT_EQ(0, manager->GetPresetFromMidiDevice(4));
    EXPECT_EQ(
        (std::vector<Bytes>{
            {0x05, 0x00}, {0x04}, Bytes(kProgram.begin() + 3, kProgram.begin() + 13), {0x0C}}),
        engine->Values());
    EXPECT_EQ(4u, engine->SetCalls().size());
}

TEST_F(MidiManagerJackTest, SendsTheEnginesProgramIntoASlotOfTheKeyboardProcess)
{
    const size_t before = sKeyboard->GetReceived().size();
    EXPECT_EQ(23, manager->SendPresetToMidiDevice(2));
    ASSERT_TRUE(sKeyboard->WaitForReceived(before + 1));
    EXPECT_EQ((Bytes{0xF0, 0x47, 0x7F, 0x3E, 0x5E, 0x00, 0x63, 0x02, 0x00, 0x02, 0x04, 0x00,
                     0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x78, 0x00, 0x0C, 0xF7}),
              sKeyboard->GetReceived().back());
    std::vector<std::string> shown;
    ASSERT_TRUE(sKeyboard->Command("show 2", &shown));
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ("program 2 00 02 04 00 00 00 00 00 00 02 00 78 00 0C", shown[0]);
}

// Ports are kept between operations and closed only with the callback stopped: thousands of
// sends in a row on a server with a short cycle, whose callback runs all the time, end without a
// crash and every program arrives.
TEST(MidiManagerJackStressTest, ThousandsOfProgramsSentInARowOnAShortCycleAllArrive)
{
    svtest::JackServer server(64);
    if (server.IsMissing()) {
        GTEST_SKIP() << server.GetProblem();
    }
    ASSERT_TRUE(server.IsRunning()) << server.GetProblem();
    svtest::KeyboardSimulatorProcess keyboard(SV_KEYBOARD_SIMULATOR);
    ASSERT_TRUE(keyboard.IsReady()) << keyboard.GetProblem();
    const SV::RCPtr<ValueStoreEngine> engine(new ValueStoreEngine());
    svtest::EngineHost host(engine);
    const SV::RCPtr<SV::LMidiManager> manager = SV::LMidiManager::Create();

    constexpr size_t kSends = 3000;
    constexpr size_t kBatch = 100; // the keyboard's reports are read as they come
    for (size_t sent = 0; sent < kSends;) {
        for (size_t index = 0; index < kBatch; ++index, ++sent) {
            ASSERT_EQ(23, manager->SendPresetToMidiDevice(static_cast<int32_t>(sent % 5)))
                << "send " << sent;
        }
        ASSERT_TRUE(keyboard.WaitForReceived(sent)) << keyboard.GetReceived().size();
    }
    EXPECT_EQ(kSends, keyboard.GetReceived().size());
    EXPECT_EQ(23u, keyboard.GetReceived().back().size());
}

} // namespace
