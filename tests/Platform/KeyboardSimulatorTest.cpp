#include "KeyboardSimulator.h"

#include "MidiTestConnection.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>

namespace {

using svtest::KeyboardSimulator;
using svtest::MidiTestConnection;
using Bytes = std::vector<uint8_t>;
using Answer = KeyboardSimulator::Answer;
using namespace std::chrono_literals;

Bytes Request(uint8_t slot)
{
    return {0xF0, 0x47, 0x7F, 0x3E, 0x66, 0x00, 0x01, slot, 0xF7};
}

KeyboardSimulator::Program ProgramOf(uint8_t seed)
{
    KeyboardSimulator::Program program{};
    for (size_t index = 0; index < program.size(); ++index) {
        program[index] = static_cast<uint8_t>((seed * 16 + index) & 0x7F);
    }
    return program;
}

Bytes Reply(uint8_t slot, const KeyboardSimulator::Program& program)
{
    Bytes reply = {0xF0, 0x47, 0x7F, 0x3E, 0x53, 0x00, 0x0F, slot};
    reply.reserve(reply.size() + program.size() + 1);
    reply.insert(reply.end(), program.begin(), program.end());
    reply.push_back(0xF7);
    return reply;
}

class KeyboardSimulatorTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        setenv("JACK_NO_START_SERVER", "1", 1);
        const std::string none = "svtest-no-server-" + std::to_string(getpid());
        setenv("JACK_DEFAULT_SERVER", none.c_str(), 1);
    }

    KeyboardSimulator mKeyboard;
    MidiTestConnection mConnection{KeyboardSimulator::kDeviceName};
};

TEST_F(KeyboardSimulatorTest, AnswersAGetWithTheProgramOfThatSlot)
{
    ASSERT_TRUE(mConnection.IsOpen());
    for (uint8_t slot = 0; slot < 5; ++slot) {
        mKeyboard.SetProgram(slot, ProgramOf(slot));
    }
    for (uint8_t slot : {1, 4, 0}) {
        ASSERT_EQ(MMSYSERR_NOERROR, mConnection.SendLong(Request(slot)));
    }
    ASSERT_TRUE(mConnection.WaitForEvents(3));
    const auto replies = mConnection.GetLongMessages();
    ASSERT_EQ(3u, replies.size());
    EXPECT_EQ(Reply(1, ProgramOf(1)), replies[0]);
    EXPECT_EQ(Reply(4, ProgramOf(4)), replies[1]);
    EXPECT_EQ(Reply(0, ProgramOf(0)), replies[2]);
    EXPECT_EQ(23u, replies[0].size());
}

TEST_F(KeyboardSimulatorTest, HoldsTheDefaultProgramInEverySlotAtTheStart)
{
    const Bytes expected = {0xF0, 0x47, 0x7F, 0x3E, 0x53, 0x00, 0x0F, 0x02, 0x00, 0x02, 0x04, 0x00,
                            0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x78, 0x00, 0x0C, 0xF7};
    EXPECT_EQ(expected, mKeyboard.MakeReply(2));
}

TEST_F(KeyboardSimulatorTest, StoresWhatASendProgramWritesAndIgnoresOtherMessages)
{
    ASSERT_TRUE(mConnection.IsOpen());
    Bytes send = {0xF0, 0x47, 0x7F, 0x3E, 0x5E, 0x00, 0x63, 0x03};
    const KeyboardSimulator::Program program = ProgramOf(7);
    send.insert(send.end(), program.begin(), program.end());
    send.push_back(0xF7);
    const Bytes withoutData = {0xF0, 0x47, 0x7F, 0x3E, 0x5E, 0x00, 0x63, 0x02, 0xF7};
    ASSERT_EQ(MMSYSERR_NOERROR, mConnection.SendLong(send));
    ASSERT_EQ(MMSYSERR_NOERROR, mConnection.SendLong(withoutData));
    ASSERT_EQ(MMSYSERR_NOERROR, mConnection.SendLong(Request(5))); // no such slot
    ASSERT_EQ(MMSYSERR_NOERROR, mConnection.SendLong({0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7}));
    ASSERT_EQ(MMSYSERR_NOERROR, mConnection.SendShort(0x403C90));
    ASSERT_EQ(MMSYSERR_NOERROR, mConnection.SendLong(Request(3))); // answered, as the last

    ASSERT_TRUE(mConnection.WaitForEvents(1));
    EXPECT_EQ(program, mKeyboard.GetProgram(3));
    EXPECT_EQ(KeyboardSimulator::DefaultProgram(), mKeyboard.GetProgram(2));
    const auto received = mKeyboard.GetReceived();
    ASSERT_EQ(6u, received.size());
    EXPECT_EQ(send, received[0]);
    EXPECT_EQ((Bytes{0x90, 0x3C, 0x40}), received[4]);
    const auto replies = mConnection.GetLongMessages();
    ASSERT_EQ(1u, replies.size());
    EXPECT_EQ(Reply(3, program), replies[0]);
}

TEST_F(KeyboardSimulatorTest, StaysSilentWhenToldAndAnswersAgainAfterwards)
{
    ASSERT_TRUE(mConnection.IsOpen());
    Answer silent;
    silent.mode = Answer::Mode::Silent;
    mKeyboard.SetAnswer(silent);
    ASSERT_EQ(MMSYSERR_NOERROR, mConnection.SendLong(Request(1)));
    ASSERT_TRUE(mKeyboard.WaitForReceived(1, 5s)); // taken in, and left unanswered
    mKeyboard.SetAnswer(Answer{});
    ASSERT_EQ(MMSYSERR_NOERROR, mConnection.SendLong(Request(2)));
    ASSERT_TRUE(mConnection.WaitForEvents(1));
    ASSERT_TRUE(mKeyboard.WaitForAnswers(1, 5s));
    const auto replies = mConnection.GetLongMessages();
    ASSERT_EQ(1u, replies.size());
    EXPECT_EQ(2, replies[0][7]);
}

TEST_F(KeyboardSimulatorTest, AnswersLateAfterTheDelay)
{
    ASSERT_TRUE(mConnection.IsOpen());
    Answer late;
    late.mode = Answer::Mode::Late;
    late.delay = 300ms;
    mKeyboard.SetAnswer(late);
    const auto sent = std::chrono::steady_clock::now();
    ASSERT_EQ(MMSYSERR_NOERROR, mConnection.SendLong(Request(1)));
    ASSERT_TRUE(mConnection.WaitForEvents(1));
    EXPECT_GE(std::chrono::steady_clock::now() - sent, 300ms);
    EXPECT_EQ(Reply(1, KeyboardSimulator::DefaultProgram()), mConnection.GetLongMessages().at(0));
}

struct ShapeCase
{
    const char* name;
    Answer answer;
    std::vector<size_t> bufferSizes; // of the buffers the reply comes back in
};

Answer Shaped(Answer::Mode mode, size_t length, std::vector<size_t> pieces, bool ownBuffers)
{
    Answer answer;
    answer.mode = mode;
    answer.length = length;
    answer.pieceSizes = std::move(pieces);
    answer.piecesInOwnBuffers = ownBuffers;
    return answer;
}

class KeyboardSimulatorShapeTest : public KeyboardSimulatorTest,
                                   public ::testing::WithParamInterface<ShapeCase>
{};

TEST_P(KeyboardSimulatorShapeTest, ShapesItsAnswerAsTold)
{
    ASSERT_TRUE(mConnection.IsOpen());
    mKeyboard.SetAnswer(GetParam().answer);
    ASSERT_EQ(MMSYSERR_NOERROR, mConnection.SendLong(Request(1)));
    const std::vector<size_t>& sizes = GetParam().bufferSizes;
    ASSERT_TRUE(mConnection.WaitForEvents(sizes.size()));
    ASSERT_TRUE(mKeyboard.WaitForAnswers(1, 5s));
    const auto events = mConnection.GetEvents();
    ASSERT_EQ(sizes.size(), events.size());
    Bytes joined;
    for (size_t index = 0; index < sizes.size(); ++index) {
        EXPECT_EQ(sizes[index], events[index].bytes.size()) << index;
        joined.insert(joined.end(), events[index].bytes.begin(), events[index].bytes.end());
    }
    // Header and slot are always right, and every answer ends in F7.
    const Bytes header = {0xF0, 0x47, 0x7F, 0x3E, 0x53, 0x00, 0x0F, 0x01};
    EXPECT_TRUE(std::equal(header.begin(), header.end(), joined.begin()));
    EXPECT_EQ(0xF7, joined.back());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KeyboardSimulatorShapeTest,
    ::testing::Values(
        ShapeCase{"TooShort", Shaped(Answer::Mode::WrongLength, 22, {}, true), {22}},
        ShapeCase{"TooLong", Shaped(Answer::Mode::WrongLength, 24, {}, true), {24}},
        ShapeCase{"PiecesInBuffersOfTheirOwn",
                  Shaped(Answer::Mode::InPieces, 23, {10, 5}, true),
                  {10, 5, 8}},
        ShapeCase{"PiecesOnTheWire", Shaped(Answer::Mode::InPieces, 23, {10, 5}, false), {23}},
        ShapeCase{"Twice", Shaped(Answer::Mode::Twice, 23, {}, true), {23, 23}}),
    [](const ::testing::TestParamInfo<ShapeCase>& param) { return param.param.name; });

TEST_F(KeyboardSimulatorTest, AnswersTwiceWithASecondProgramWhenGivenOne)
{
    ASSERT_TRUE(mConnection.IsOpen());
    Answer twice;
    twice.mode = Answer::Mode::Twice;
    twice.secondProgram = ProgramOf(3);
    mKeyboard.SetAnswer(twice);
    ASSERT_EQ(MMSYSERR_NOERROR, mConnection.SendLong(Request(4)));
    ASSERT_TRUE(mConnection.WaitForEvents(2));
    const auto replies = mConnection.GetLongMessages();
    ASSERT_EQ(2u, replies.size());
    EXPECT_EQ(Reply(4, KeyboardSimulator::DefaultProgram()), replies[0]);
    EXPECT_EQ(Reply(4, ProgramOf(3)), replies[1]);
}

} // namespace
