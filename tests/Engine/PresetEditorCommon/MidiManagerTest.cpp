#include "PresetEditorCommon/MidiManager.h"

#include "ApplicationDouble.h"
#include "DeviceControlClientInterface.h"
#include "EngineDoubles.h"
#include "HexBytes.h"
#include "KeyboardSimulator.h"
#include "MidiCaptureRecorder.h"
#include "ResultCodes.h"
#include "RootModuleEngine.h"
#include "TempFolder.h"
#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/SimpleFixedArray.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
using svtest::KeyboardSimulator;
using svtest::ValueStoreEngine;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const Bytes kDefaultSend = {0xF0, 0x47, 0x7F, 0x3E, 0x5E, 0x00, 0x63, 0x00, 0x00, 0x02, 0x04, 0x00,
                            0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x78, 0x00, 0x0C, 0xF7};

// The program of the reply example: channel 05 00, octave 04, the arpeggiator's ten bytes,
// transpose 0C.
const KeyboardSimulator::Program kProgram = {0x05, 0x00, 0x04, 0x01, 0x01, 0x02, 0x00,
                                             0x00, 0x00, 0x02, 0x00, 0x78, 0x00, 0x0C};

Bytes Request(uint8_t slot)
{
    return {0xF0, 0x47, 0x7F, 0x3E, 0x66, 0x00, 0x01, slot, 0xF7};
}

Bytes Reply(uint8_t slot, const KeyboardSimulator::Program& program)
{
    Bytes reply = {0xF0, 0x47, 0x7F, 0x3E, 0x53, 0x00, 0x0F, slot};
    reply.insert(reply.end(), program.begin(), program.end());
    reply.push_back(0xF7);
    return reply;
}

std::vector<ValueStoreEngine::SetCall> SetCallsOf(const KeyboardSimulator::Program& program)
{
    return {{0, {program[0], program[1]}},
            {1, {program[2]}},
            {2, Bytes(program.begin() + 3, program.begin() + 13)},
            {3, {program[13]}}};
}

KeyboardSimulator::Answer AnswerOf(KeyboardSimulator::Answer::Mode mode)
{
    KeyboardSimulator::Answer answer;
    answer.mode = mode;
    return answer;
}

template <class List>
Bytes BytesOf(const List& list)
{
    Bytes bytes;
    for (int32_t index = 0; index < list.GetCount(); ++index) {
        bytes.push_back(static_cast<uint8_t>(*list.At(index)));
    }
    return bytes;
}

SV::Array<signed char> ByteList(const Bytes& bytes)
{
    SV::Array<signed char> list;
    for (uint8_t byte : bytes) {
        list.Add(static_cast<signed char>(byte));
    }
    return list;
}

class MidiManagerTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { svtest::UseOnlyInProcessMidiDevices(); }

    // The keyboard answers a request with these bytes, each list handed back in a buffer of
    // its own, in place of its own reply.
    void AnswerWith(const std::vector<Bytes>& messages)
    {
        keyboard->SetAnswer(AnswerOf(KeyboardSimulator::Answer::Mode::Silent));
        keyboard->SetReceivedHook([this, messages](const Bytes& bytes) {
            if (bytes.size() == 9 && bytes[4] == 0x66) {
                keyboard->GetDevice().DeliverInBuffers(messages);
            }
        });
    }

    SV::RCPtr<ValueStoreEngine> engine{new ValueStoreEngine()};
    svtest::EngineHost host{engine};
    std::unique_ptr<KeyboardSimulator> keyboard = std::make_unique<KeyboardSimulator>();
    SV::RCPtr<SV::LMidiManager> manager = SV::LMidiManager::Create();
};

TEST_F(MidiManagerTest, GetSendsTheRequestAndAppliesTheReplyInIdOrderAsSoonAsItComes)
{
    keyboard->SetProgram(1, kProgram);
    // A get that waited for its time-out would be caught here.
    manager->SetReplyTimeout(60000);
    const auto started = Clock::now();
    EXPECT_EQ(0, manager->GetPresetFromMidiDevice(1));
    EXPECT_LT(Clock::now() - started, 30s);
    EXPECT_EQ(std::vector<Bytes>{Request(1)}, keyboard->GetReceived());
    EXPECT_EQ(SetCallsOf(kProgram), engine->SetCalls());
}

TEST_F(MidiManagerTest, AReplyInPiecesOnTheWireIsAppliedWhole)
{
    keyboard->SetProgram(4, kProgram);
    KeyboardSimulator::Answer answer = AnswerOf(KeyboardSimulator::Answer::Mode::InPieces);
    answer.pieceSizes = {5, 9, 4};
    answer.piecesInOwnBuffers = false;
    keyboard->SetAnswer(answer);
    EXPECT_EQ(0, manager->GetPresetFromMidiDevice(4));
    EXPECT_EQ(SetCallsOf(kProgram), engine->SetCalls());
}

TEST_F(MidiManagerTest, OnlyTheFirstOfTwoRepliesIsApplied)
{
    keyboard->SetProgram(2, kProgram);
    KeyboardSimulator::Answer answer = AnswerOf(KeyboardSimulator::Answer::Mode::Twice);
    answer.secondProgram = KeyboardSimulator::DefaultProgram();
    keyboard->SetAnswer(answer);
    EXPECT_EQ(0, manager->GetPresetFromMidiDevice(2));
    ASSERT_TRUE(keyboard->WaitForAnswers(2, 10s));
    EXPECT_EQ(SetCallsOf(kProgram), engine->SetCalls());
}

TEST_F(MidiManagerTest, OnlyAReplyOfTheRightLengthHeaderAndSlotIsApplied)
{
    Bytes otherSlot = Reply(3, kProgram);
    Bytes noF7 = Reply(1, kProgram);
    noF7.back() = 0x00;
    Bytes wrongCommand = Reply(1, kProgram);
    wrongCommand[6] = 0x0E;
    Bytes wrongDevice = Reply(1, kProgram);
    wrongDevice[3] = 0x3F;
    Bytes shorter = Reply(1, kProgram);
    shorter.erase(shorter.end() - 2);
    Bytes longer = Reply(1, kProgram);
    longer.insert(longer.end() - 1, 0x00);
    const struct
    {
        const char* name;
        Bytes reply;
        int32_t result;
    } cases[] = {{"another slot", otherSlot, -3},
                 {"no F7 at the end", noF7, 0},
                 {"byte 6 is not 0F", wrongCommand, -3},
                 {"another device", wrongDevice, -3},
                 {"22 bytes", shorter, -3},
                 {"24 bytes", longer, -3}};
    for (const auto& each : cases) {
        SCOPED_TRACE(each.name);
        const size_t before = engine->SetCalls().size();
        AnswerWith({each.reply});
        // Only a get that is to fail is kept short.
        manager->SetReplyTimeout(each.result == 0 ? 60000 : 150);
        EXPECT_EQ(each.result, manager->GetPresetFromMidiDevice(1));
        EXPECT_EQ(each.result == 0 ? before + 4 : before, engine->SetCalls().size());
    }
}

// A manager whose keyboard has an answer waiting once the ports are found: a reply that came in
// on the port layer the get then uses, before the get's request went out.
class ManagerWithEarlyReply : public SV::LMidiManager
{
public:
    // The input port stays open in `input`, which the test lets go.
    ManagerWithEarlyReply(KeyboardSimulator& keyboard, Bytes reply,
                          SV::RCPtr<SV::LMidiCapturePort>& input)
        : mKeyboard(keyboard), mReply(std::move(reply)), mInput(input)
    {}

    bool FindDevicePorts(const SV::WideString& inputName, const SV::WideString& outputName) override
    {
        const bool found = LMidiManager::FindDevicePorts(inputName, outputName);
        const SV::RCPtr<SV::LMidiComm> portLayer = GetPortLayer();
        // The get takes this open port again.
        portLayer->OpenCapturePort(inputName, mInput);
        const uint64_t before = portLayer->GetCapturedCount();
        mKeyboard.GetDevice().Deliver(mReply);
        const auto deadline = Clock::now() + 10s;
        while (portLayer->GetCapturedCount() == before && Clock::now() < deadline) {
            std::this_thread::yield();
        }
        mCaptured = portLayer->GetCapturedCount() > before;
        return found;
    }

    bool WasCaptured() const { return mCaptured; }

private:
    KeyboardSimulator& mKeyboard;
    Bytes mReply;
    SV::RCPtr<SV::LMidiCapturePort>& mInput;
    bool mCaptured = false;
};

TEST_F(MidiManagerTest, AReplyThatCameBeforeTheRequestIsNotTheAnswer)
{
    keyboard->SetProgram(1, kProgram);
    SV::RCPtr<SV::LMidiCapturePort> input;
    const SV::RCPtr<ManagerWithEarlyReply> early(
        new ManagerWithEarlyReply(*keyboard, Reply(1, KeyboardSimulator::DefaultProgram()), input));
    early->SetReplyTimeout(60000);
    EXPECT_EQ(0, early->GetPresetFromMidiDevice(1));
    EXPECT_TRUE(early->WasCaptured());
    EXPECT_EQ(SetCallsOf(kProgram), engine->SetCalls());
    input = nullptr;
}

TEST_F(MidiManagerTest, WithoutAReplyTheGetAnswersMinusThreeAfterOneSecond)
{
    keyboard->SetAnswer(AnswerOf(KeyboardSimulator::Answer::Mode::Silent));
    const auto started = Clock::now();
    EXPECT_EQ(-3, manager->GetPresetFromMidiDevice(1));
    const auto elapsed = Clock::now() - started;
    EXPECT_GE(elapsed, 1000ms);
    EXPECT_LT(elapsed, 10s);
    EXPECT_EQ(std::vector<Bytes>{Request(1)}, keyboard->GetReceived());
    EXPECT_TRUE(engine->SetCalls().empty());
}

TEST_F(MidiManagerTest, AReplyAfterTheTimeOutIsNeverApplied)
{
    manager->SetReplyTimeout(100);
    KeyboardSimulator::Answer answer = AnswerOf(KeyboardSimulator::Answer::Mode::Late);
    answer.delay = 1000ms;
    keyboard->SetAnswer(answer);
    EXPECT_EQ(-3, manager->GetPresetFromMidiDevice(1));
    ASSERT_TRUE(keyboard->WaitForAnswers(1, 10s));
    // The input is closed and the handler gone: a later get hears nothing of it either.
    keyboard->SetAnswer(AnswerOf(KeyboardSimulator::Answer::Mode::Silent));
    EXPECT_EQ(-3, manager->GetPresetFromMidiDevice(1));
    EXPECT_TRUE(engine->SetCalls().empty());
}

TEST_F(MidiManagerTest, AReplyTheEngineRefusesIsNoSuccess)
{
    engine->Refuse(true);
    manager->SetReplyTimeout(60000);
    const auto started = Clock::now();
    EXPECT_EQ(-3, manager->GetPresetFromMidiDevice(1));
    // All four were offered, and the get did not wait for its time-out.
    EXPECT_EQ(4u, engine->SetCalls().size());
    EXPECT_LT(Clock::now() - started, 30s);
}

TEST_F(MidiManagerTest, AReplyIsIgnoredWhenTheValueSizesAddUpToMoreThanFourteenBytes)
{
    manager->SetReplyTimeout(150);
    const std::vector<std::vector<Bytes>> models = {
        {{0x00, 0x02}, {0x04}, Bytes(10, 0x00), {0x0C, 0x00}}, // 15: would read the F7 and on
        {{0x00, 0x02}, {0x04}, Bytes(11, 0x00)},               // three values
    };
    for (const auto& model : models) {
        engine->SetValues(model);
        EXPECT_EQ(-3, manager->GetPresetFromMidiDevice(1));
        EXPECT_TRUE(engine->SetCalls().empty());
    }
}

TEST_F(MidiManagerTest, ValueSizesBelowFourteenBytesTakeTheFirstDataBytesOfTheReply)
{
    keyboard->SetProgram(1, kProgram);
    engine->SetValues({{0x00, 0x02}, {0x04}, Bytes(9, 0x00), {0x0C}});
    EXPECT_EQ(0, manager->GetPresetFromMidiDevice(1));
    const std::vector<ValueStoreEngine::SetCall> expected = {
        {0, {kProgram[0], kProgram[1]}},
        {1, {kProgram[2]}},
        {2, Bytes(kProgram.begin() + 3, kProgram.begin() + 12)},
        {3, {kProgram[12]}}};
    EXPECT_EQ(expected, engine->SetCalls());
}

TEST_F(MidiManagerTest, ASlotThatIsNoDataByteIsRefusedWithoutSendingAnything)
{
    for (const int32_t slot : {-1, 0x80, 0xF7, 0x101}) {
        SCOPED_TRACE(slot);
        EXPECT_EQ(-1, manager->GetPresetFromMidiDevice(slot));
        EXPECT_EQ(-1, manager->SendPresetToMidiDevice(slot));
    }
    // The next request is the first the keyboard hears.
    keyboard->SetProgram(1, kProgram);
    EXPECT_EQ(0, manager->GetPresetFromMidiDevice(1));
    EXPECT_EQ(std::vector<Bytes>{Request(1)}, keyboard->GetReceived());
}

TEST_F(MidiManagerTest, AGetThatTimesOutReturnsOnlyOnceTheReplyBeingAppliedIsDone)
{
    // The product's time-out, which the reply beats by far.
    constexpr auto kTimeout =
        std::chrono::milliseconds(SV::LMidiManager::kReplyTimeoutMilliseconds);
    std::mutex mutex;
    std::condition_variable changed;
    bool holding = false;
    bool released = false;
    bool getReturned = false;
    int32_t calls = 0;
    // The engine takes longer over the first value than the get waits.
    engine->SetHook([&](int32_t /*id*/) {
        std::unique_lock<std::mutex> lock(mutex);
        if (calls++ != 0) {
            return;
        }
        holding = true;
        changed.notify_all();
        changed.wait_for(lock, 20s, [&] { return released; });
        holding = false;
    });
    std::thread releaser([&] {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait_for(lock, 20s, [&] { return holding; });
        // A get that did not wait for the handler would return meanwhile.
        changed.wait_for(lock, kTimeout + 500ms, [&] { return getReturned; });
        released = true;
        changed.notify_all();
    });
    const int32_t result = manager->GetPresetFromMidiDevice(1);
    bool stillHolding = false;
    {
        const std::lock_guard<std::mutex> lock(mutex);
        stillHolding = holding;
        getReturned = true;
        changed.notify_all();
    }
    releaser.join();
    EXPECT_EQ(-3, result);
    EXPECT_FALSE(stillHolding);
    EXPECT_EQ(4u, engine->SetCalls().size());
}

TEST_F(MidiManagerTest, GetsEndingWhileRepliesArriveApplyNothingOutsideAGet)
{
    std::atomic<bool> inGet{false};
    std::atomic<int32_t> setsOutsideAGet{0};
    engine->SetHook([&](int32_t /*id*/) {
        if (!inGet.load()) {
            ++setsOutsideAGet;
        }
    });
    KeyboardSimulator::Answer answer = AnswerOf(KeyboardSimulator::Answer::Mode::Late);
    for (int32_t round = 0; round < 12; ++round) {
        const int32_t timeout = 5 + 5 * (round % 4);
        answer.delay = std::chrono::milliseconds(timeout + round % 3 - 1);
        keyboard->SetAnswer(answer);
        manager->SetReplyTimeout(timeout);
        inGet.store(true);
        const int32_t result = manager->GetPresetFromMidiDevice(1);
        inGet.store(false);
        EXPECT_TRUE(result == 0 || result == -3) << result;
    }
    EXPECT_EQ(0, setsOutsideAGet.load());
}

TEST_F(MidiManagerTest, SendWritesTheFourValuesToTheSlot)
{
    EXPECT_EQ(23, manager->SendPresetToMidiDevice(0));
    ASSERT_TRUE(keyboard->WaitForReceived(1, 10s));
    EXPECT_EQ(std::vector<Bytes>{kDefaultSend}, keyboard->GetReceived());

    engine->SetValues(
        {{0x05, 0x00}, {0x04}, Bytes(kProgram.begin() + 3, kProgram.begin() + 13), {0x0C}});
    EXPECT_EQ(23, manager->SendPresetToMidiDevice(3));
    ASSERT_TRUE(keyboard->WaitForReceived(2, 10s));
    EXPECT_EQ(kProgram, keyboard->GetProgram(3));
}

TEST_F(MidiManagerTest, SendWithoutExactlyFourValuesFailsWithoutSendingAnything)
{
    engine->SetValues({{0x00, 0x02}, {0x04}, Bytes(10, 0x00)});
    EXPECT_EQ(-1, manager->SendPresetToMidiDevice(2));
    // No engine at all reads as no values.
    SetRootModuleEngineHost(nullptr);
    EXPECT_EQ(-1, manager->SendPresetToMidiDevice(2));
    SetRootModuleEngineHost(&host);
    // The next message is the first the keyboard receives.
    engine->SetValues(
        {{0x00, 0x02}, {0x04}, Bytes(kDefaultSend.begin() + 11, kDefaultSend.end() - 2), {0x0C}});
    EXPECT_EQ(23, manager->SendPresetToMidiDevice(0));
    ASSERT_TRUE(keyboard->WaitForReceived(1, 10s));
    EXPECT_EQ(std::vector<Bytes>{kDefaultSend}, keyboard->GetReceived());
}

TEST_F(MidiManagerTest, SendRefusesValuesThatHoldAStatusByte)
{
    engine->SetValues({{0x00, 0x02}, {0x84}, Bytes(10, 0x00), {0x0C}});
    EXPECT_EQ(-1, manager->SendPresetToMidiDevice(0));
    engine->SetValues({{0x00, 0x02}, {0x04}, Bytes(10, 0x00), {0xF7}});
    EXPECT_EQ(-1, manager->SendPresetToMidiDevice(0));
    EXPECT_EQ(-1, manager->SendPresetToMidiDevice(0x80)); // a slot no byte can carry
    // The next message reaches the keyboard first.
    engine->SetValues({{0x00, 0x02}, {0x04}, Bytes(10, 0x00), {0x0C}});
    EXPECT_EQ(23, manager->SendPresetToMidiDevice(0));
    ASSERT_TRUE(keyboard->WaitForReceived(1, 10s));
    EXPECT_EQ(1u, keyboard->GetReceived().size());
}

TEST_F(MidiManagerTest, WithoutTheKeyboardNothingIsSentAndEveryOperationSaysSo)
{
    keyboard.reset();
    EXPECT_EQ(-1, manager->GetPresetFromMidiDevice(1));
    EXPECT_EQ(-1, manager->SendPresetToMidiDevice(0));
    EXPECT_FALSE(manager->HasDevicePorts());
    EXPECT_EQ(-1, manager->OpenDeviceRenderPort(SV::WideString()));
    EXPECT_EQ(E_FAIL, manager->RequestNonPresetParameterFromDevice(SV::WideString()));
    EXPECT_FALSE(manager->IsDeviceFirmwareVersionUseable());
    EXPECT_TRUE(engine->SetCalls().empty());
}

TEST_F(MidiManagerTest, SendSysExFramesTheBytesInPlaceAndRefusesWhatCannotBeFramed)
{
    SV::RCPtr<SV::LMidiRenderPort> output;
    ASSERT_EQ(S_OK, manager->GetPortLayer()->OpenRenderPort(manager->GetDevicePortName(), output));
    const struct
    {
        Bytes given;
        int32_t result;
        Bytes framed; // as the list is afterwards and, when sent, as the keyboard gets it
    } cases[] = {
        {{0x05}, 3, {0xF0, 0x05, 0xF7}},
        {{0xF0, 0x01, 0x02}, 4, {0xF0, 0x01, 0x02, 0xF7}},
        {{0x01, 0xF7}, 3, {0xF0, 0x01, 0xF7}},
        {{0xF0, 0x7E, 0xF7}, 3, {0xF0, 0x7E, 0xF7}},
        {{0xF0}, E_FAIL, {0xF0}},
        {{0xF7}, E_FAIL, {0xF7}},
        {{0x01, 0x90, 0x02}, E_FAIL, {0xF0, 0x01, 0x90, 0x02, 0xF7}},
    };
    std::vector<Bytes> sent;
    for (const auto& each : cases) {
        SV::Array<signed char> list = ByteList(each.given);
        EXPECT_EQ(each.result, manager->SendSysEx(list, output)) << svtest::ToHex(each.given);
        EXPECT_EQ(each.framed, BytesOf(list));
        if (each.result > 0) {
            sent.push_back(each.framed);
        }
    }
    SV::Array<signed char> list = ByteList({0x05});
    EXPECT_EQ(-1, manager->SendSysEx(list, nullptr));
    ASSERT_TRUE(keyboard->WaitForReceived(sent.size(), 10s));
    EXPECT_EQ(sent, keyboard->GetReceived());
}

TEST_F(MidiManagerTest, TheIdentityRequestIsSentButItsAnswerNeverRecognised)
{
    SV::RCPtr<SV::LMidiRenderPort> output;
    ASSERT_EQ(S_OK, manager->GetPortLayer()->OpenRenderPort(manager->GetDevicePortName(), output));
    EXPECT_EQ(6, manager->SendDeviceInquiry(output));
    EXPECT_EQ(E_FAIL, manager->SendDeviceInquiry(nullptr));
    output = nullptr;

    manager->SetReplyTimeout(100);
    const auto started = Clock::now();
    EXPECT_FALSE(manager->IsDeviceFirmwareVersionUseable());
    EXPECT_GE(Clock::now() - started, 100ms);
    ASSERT_TRUE(keyboard->WaitForReceived(2, 10s));
    const Bytes inquiry = {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7};
    EXPECT_EQ((std::vector<Bytes>{inquiry, inquiry}), keyboard->GetReceived());
}

TEST_F(MidiManagerTest, TheTrialOperationsOpenThePortsAndSendNothing)
{
    EXPECT_TRUE(manager->HasDevicePorts());
    EXPECT_EQ(S_OK, manager->OpenDeviceRenderPort(SV::WideString()));
    EXPECT_EQ(S_OK, manager->RequestNonPresetParameterFromDevice(SV::WideString()));
    EXPECT_EQ(0, manager->GetPortLayer()->GetCapturePortCount());
    EXPECT_EQ(0, manager->GetPortLayer()->GetRenderPortCount());
    EXPECT_TRUE(keyboard->GetReceived().empty());
}

TEST_F(MidiManagerTest, EachSearchReplacesThePortLayerAndTheHandlerGoesWithTheGet)
{
    const SV::RCPtr<SV::LMidiComm> first = manager->GetPortLayer();
    ASSERT_TRUE(first);
    EXPECT_TRUE(manager->HasDevicePorts());
    const SV::RCPtr<SV::LMidiComm> second = manager->GetPortLayer();
    EXPECT_NE(first.Get(), second.Get());
    EXPECT_FALSE(first->HasClient(manager.Get()));
    EXPECT_TRUE(second->HasClient(manager.Get()));

    EXPECT_EQ(0, manager->GetPresetFromMidiDevice(1));
    EXPECT_FALSE(manager->GetPortLayer()->HasClient(manager.Get()));
}

// The program's own engine, working without the device-control library, as it does when the
// library file is missing.
class MidiManagerWithEngineTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { svtest::UseOnlyInProcessMidiDevices(); }

    MidiManagerWithEngineTest()
    {
        SV::DeviceControlClientInterface::SetLibraryFolder(
            SV::WideString(noLibrary.Path().c_str()));
        EXPECT_EQ(S_OK, engine->Initialize(0));
    }
    ~MidiManagerWithEngineTest() override
    {
        manager = nullptr;
        SV::DeviceControlClientInterface::SetLibraryFolder(SV::WideString());
    }

    std::vector<Bytes> ModelBytes()
    {
        SV::Array<SV::ParamValue> values;
        EXPECT_EQ(S_OK, engine->GetParamValues({0, 4}, values, -1));
        std::vector<Bytes> bytes;
        for (int32_t index = 0; index < values.GetCount(); ++index) {
            uint32_t size = 0;
            const uint8_t* data = values.At(index)->value.GetConstData(size);
            bytes.emplace_back(data, data + size);
        }
        return bytes;
    }

    svtest::ApplicationDouble application;
    svtest::TempFolder noLibrary;
    SV::RCPtr<svtest::RecordingEngine> engine{new svtest::RecordingEngine()};
    svtest::EngineHost host{engine};
    KeyboardSimulator keyboard;
    SV::RCPtr<SV::LMidiManager> manager = SV::LMidiManager::Create();
};

TEST_F(MidiManagerWithEngineTest, TheDefaultModelIsSentAsIsAndAProgramGotComesIntoTheModel)
{
    EXPECT_EQ(23, manager->SendPresetToMidiDevice(0));
    ASSERT_TRUE(keyboard.WaitForReceived(1, 10s));
    EXPECT_EQ(std::vector<Bytes>{kDefaultSend}, keyboard.GetReceived());

    keyboard.SetProgram(2, kProgram);
    EXPECT_EQ(0, manager->GetPresetFromMidiDevice(2));
    const std::vector<Bytes> expected = {
        {0x05, 0x00}, {0x04}, Bytes(kProgram.begin() + 3, kProgram.begin() + 13), {0x0C}};
    EXPECT_EQ(expected, ModelBytes());
}

} // namespace
