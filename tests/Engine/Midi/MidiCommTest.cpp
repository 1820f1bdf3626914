#include "Midi/MidiComm.h"
#include "EngineNotificationNames.h"

#include "MidiCaptureRecorder.h"
#include "MidiDevices.h"
#include "ResultCodes.h"
#include "Utilities/Storage/SimpleFixedArray.h"
#include "VirtualMidiDevice.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
using svtest::MidiCaptureRecorder;
using namespace std::chrono_literals;

// The far end of a virtual device: what the program sent to it.
class RecordingPeer : public svtest::VirtualMidiPeer
{
public:
    void OnMidiReceived(const Bytes& bytes) override
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        mReceived.push_back(bytes);
        mChanged.notify_all();
    }

    bool WaitFor(size_t count)
    {
        std::unique_lock<std::mutex> lock(mMutex);
        return mChanged.wait_for(lock, 10s, [&] { return mReceived.size() >= count; });
    }

    std::vector<Bytes> Received()
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        return mReceived;
    }

private:
    std::mutex mMutex;
    std::condition_variable mChanged;
    std::vector<Bytes> mReceived;
};

// A system-exclusive message of `size` bytes: F0, data bytes, F7.
Bytes SysEx(size_t size)
{
    Bytes message(size);
    message.front() = 0xF0;
    for (size_t index = 1; index + 1 < size; ++index) {
        message[index] = static_cast<uint8_t>(index & 0x7F);
    }
    message.back() = 0xF7;
    return message;
}

Bytes Slice(const Bytes& bytes, size_t from, size_t to)
{
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                 bytes.begin() + static_cast<std::ptrdiff_t>(to));
}

SV::SimpleFixedArray<signed char, 16> ByteList(const Bytes& bytes)
{
    SV::SimpleFixedArray<signed char, 16> list;
    for (uint8_t byte : bytes) {
        list.Add(static_cast<signed char>(byte));
    }
    return list;
}

const SV::WideString kRequest(u"vudozi vedozi duruzava");

class MidiCommTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { svtest::UseOnlyInProcessMidiDevices(); }

    MidiCommTest() { recorder->Listen(comm); }

    ~MidiCommTest() override
    {
        input = nullptr;
        output = nullptr;
        recorder->StopListening(comm);
    }

    // Opens both ports of the keyboard device.
    void OpenPorts()
    {
        ASSERT_EQ(S_OK, comm->OpenCapturePort(kRequest, input));
        ASSERT_EQ(S_OK, comm->OpenRenderPort(kRequest, output));
        ASSERT_TRUE(input && output);
    }

    RecordingPeer peer;
    svtest::VirtualMidiDevice device{"Test Keys: Vudozi VEDOZI Duruzava MIDI 1", peer};
    SV::RCPtr<SV::LMidiComm> comm = SV::LMidiComm::Create();
    SV::RCPtr<MidiCaptureRecorder> recorder{new MidiCaptureRecorder()};
    SV::RCPtr<SV::LMidiCapturePort> input;
    SV::RCPtr<SV::LMidiRenderPort> output;
};

TEST_F(MidiCommTest, NamesMatchWhenTheyContainTheRequestInAnyLetterCase)
{
    const struct
    {
        const char16_t* name;
        const char16_t* request;
        bool matches;
    } cases[] = {
        {u"Vudozi Vedozi Duruzava", u"Vudozi Vedozi Duruzava", true},
        {u"USB: VUDOZI vedozi Duruzava MIDI 1", u"vudozi vedozi duruzava", true},
        {u"Vudozi Vedozi", u"Vudozi Vedozi Duruzava", false},
        {u"Vudozi  Vedozi Duruzava", u"Vudozi Vedozi Duruzava", false},
    };
    for (const auto& each : cases) {
        EXPECT_EQ(each.matches, SV::LMidiComm::NameMatches(SV::WideString(each.name), each.request))
            << SV::WideString(each.name).ToNarrow().GetText();
    }
}

TEST_F(MidiCommTest, OpensTheLowestNumberedMatchAndHandsItOutAgainWhileItIsOpen)
{
    RecordingPeer laterPeer;
    svtest::VirtualMidiDevice later("Vudozi Vedozi Duruzava (second)", laterPeer);
    OpenPorts();
    EXPECT_EQ(SV::WideString(device.GetName().c_str()), input->GetName());
    EXPECT_EQ(SV::WideString(device.GetName().c_str()), output->GetName());

    SV::RCPtr<SV::LMidiCapturePort> sameInput;
    SV::RCPtr<SV::LMidiRenderPort> sameOutput;
    EXPECT_EQ(S_OK, comm->OpenCapturePort(u"DURUZAVA", sameInput));
    EXPECT_EQ(S_OK, comm->OpenRenderPort(u"DURUZAVA", sameOutput));
    EXPECT_EQ(input.Get(), sameInput.Get());
    EXPECT_EQ(output.Get(), sameOutput.Get());
    EXPECT_EQ(1, comm->GetCapturePortCount());
    EXPECT_EQ(1, comm->GetRenderPortCount());

    // The port is the first device's: what goes out reaches it, and only its input is heard.
    ASSERT_EQ(3, comm->Send(output, ByteList({0x90, 0x3C, 0x40})));
    ASSERT_TRUE(peer.WaitFor(1));
    EXPECT_TRUE(laterPeer.Received().empty());
    later.Deliver({0xC0, 0x01});
    device.Deliver({0xC0, 0x02});
    ASSERT_TRUE(recorder->WaitFor(1));
    EXPECT_EQ((Bytes{0xC0, 0x02}), recorder->Messages().front().bytes);
}

TEST_F(MidiCommTest, WithoutAMatchingDeviceTheOpenFailsAndClearsTheOutput)
{
    OpenPorts();
    SV::RCPtr<SV::LMidiCapturePort> otherInput = input;
    SV::RCPtr<SV::LMidiRenderPort> otherOutput = output;
    EXPECT_EQ(E_FAIL, comm->OpenCapturePort(u"Vedozi Vudozi", otherInput));
    EXPECT_EQ(E_FAIL, comm->OpenRenderPort(u"Vedozi Vudozi", otherOutput));
    EXPECT_FALSE(otherInput);
    EXPECT_FALSE(otherOutput);
}

TEST_F(MidiCommTest, LettingGoOfTheLastHolderClosesTheDeviceAndTheLayerOutlivesItsCaller)
{
    OpenPorts();
    const svp::HMIDIIN inputHandle = input->GetHandle();
    const svp::HMIDIOUT outputHandle = output->GetHandle();
    // The ports keep the layer.
    const SV::LMidiComm* layer = comm.Get();
    recorder->StopListening(comm);
    comm = nullptr;
    EXPECT_EQ(layer, input->GetOwner().Get());
    EXPECT_EQ(3, output->GetOwner()->Send(output, ByteList({0x80, 0x3C, 0x00})));

    comm = input->GetOwner();
    recorder->Listen(comm);
    SV::RCPtr<SV::LMidiCapturePort> secondHolder = input;
    input = nullptr;
    EXPECT_EQ(MMSYSERR_NOERROR, svp::midiInStart(inputHandle)); // still open
    secondHolder = nullptr;
    output = nullptr;
    EXPECT_EQ(MMSYSERR_INVALHANDLE, svp::midiInStart(inputHandle));
    EXPECT_EQ(MMSYSERR_INVALHANDLE, svp::midiOutShortMsg(outputHandle, 0x403C90));
    EXPECT_EQ(0, comm->GetCapturePortCount());
    EXPECT_EQ(0, comm->GetRenderPortCount());

    // Opening again opens the device anew.
    OpenPorts();
    device.Deliver({0xF8});
    ASSERT_TRUE(recorder->WaitFor(1));
}

TEST_F(MidiCommTest, ShortMessagesGiveRecordsOfTheirLengthWithTheDriversTimeStamp)
{
    // Time stamps count from the start of the input, within the open.
    const auto opened = std::chrono::steady_clock::now();
    OpenPorts();
    const std::vector<Bytes> sent = {
        {0x90, 0x3C, 0x40}, {0xC0, 0x05}, {0xF8}, {0xF2, 0x10, 0x20}, {0xE0, 0x00, 0x40}};
    for (const Bytes& message : sent) {
        device.Deliver(message);
    }
    ASSERT_TRUE(recorder->WaitFor(sent.size()));
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - opened);
    const auto messages = recorder->Messages();
    ASSERT_EQ(sent.size(), messages.size());
    uint32_t previous = 0;
    for (size_t index = 0; index < sent.size(); ++index) {
        EXPECT_EQ(sent[index], messages[index].bytes) << index;
        EXPECT_EQ(device.GetName(),
                  SV::WideString(messages[index].portName.c_str()).ToNarrow().GetText());
        EXPECT_GE(messages[index].timeStamp, previous);
        EXPECT_LE(messages[index].timeStamp, static_cast<uint32_t>(elapsed.count()));
        previous = messages[index].timeStamp;
        // Receivers run on the layer's worker, one after another.
        EXPECT_NE(std::this_thread::get_id(), messages[index].thread);
        EXPECT_EQ(messages[0].thread, messages[index].thread);
    }
}

// Every get and send makes a port layer of its own: the one after takes over the worker of the one
// that went instead of starting and joining threads of its own.
TEST_F(MidiCommTest, ALayerAfterOneThatWentDeliversOnTheSameWorker)
{
    std::vector<std::thread::id> workers;
    for (int round = 0; round < 3; ++round) {
        OpenPorts();
        device.Deliver({0x90, 0x3C, 0x40});
        ASSERT_TRUE(recorder->WaitFor(1));
        workers.push_back(recorder->Messages().front().thread);
        input = nullptr;
        output = nullptr;
        recorder->StopListening(comm);
        // The worker lets go of the layer right after its delivery, so that the layer goes here.
        while (comm->GetRefCount() > 1) {
            std::this_thread::yield();
        }
        comm = nullptr;
        comm = SV::LMidiComm::Create();
        recorder = SV::RCPtr<MidiCaptureRecorder>(new MidiCaptureRecorder());
        recorder->Listen(comm);
    }
    EXPECT_EQ(workers[1], workers[0]);
    EXPECT_EQ(workers[2], workers[0]);
}

// How a system-exclusive message comes back from the driver, and what one notification holds.
struct Arrival
{
    const char* name;
    size_t size;
    std::vector<size_t> ownBuffers; // sizes of pieces in buffers of their own; empty: the wire
};

class MidiCommSysExTest : public MidiCommTest, public ::testing::WithParamInterface<Arrival>
{};

TEST_P(MidiCommSysExTest, AWholeMessageGivesExactlyOneNotification)
{
    OpenPorts();
    const Arrival& arrival = GetParam();
    const Bytes message = SysEx(arrival.size);
    if (arrival.ownBuffers.empty()) {
        device.Deliver(message);
    } else {
        std::vector<Bytes> pieces;
        size_t position = 0;
        for (size_t size : arrival.ownBuffers) {
            pieces.push_back(Slice(message, position, position + size));
            position += size;
        }
        device.DeliverInBuffers(pieces);
    }
    // A short message after it shows that nothing else was raised in between.
    device.Deliver({0xF8});
    ASSERT_TRUE(recorder->WaitFor(2));
    const auto messages = recorder->Messages();
    ASSERT_EQ(2u, messages.size());
    EXPECT_EQ(message, messages[0].bytes);
    EXPECT_EQ(0u, messages[0].timeStamp);
    EXPECT_EQ((Bytes{0xF8}), messages[1].bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Arrivals, MidiCommSysExTest,
    ::testing::Values(Arrival{"ProgramReplyInOneBuffer", 23, {23}},
                      Arrival{"ThreeHundredBytesInTwoBuffers", 300, {256, 44}},
                      Arrival{"ThreeHundredBytesOnTheWire", 300, {}},
                      Arrival{"FullBufferEndingInF7", 256, {256}},
                      Arrival{"FourKilobytesOnTheWire", 4096, {}},
                      Arrival{"TheLongestMessageKept", SV::LMidiComm::kMaxSysExLength, {}}),
    [](const ::testing::TestParamInfo<Arrival>& each) { return each.param.name; });

TEST_F(MidiCommTest, AMessageLongerThanTheLimitIsDroppedWhole)
{
    OpenPorts();
    const Bytes tooLong = SysEx(SV::LMidiComm::kMaxSysExLength + 1);
    device.Deliver(tooLong);
    // In buffers of their own, the rest after the cut is dropped too, up to the end.
    std::vector<Bytes> pieces;
    for (size_t position = 0; position < tooLong.size(); position += 256) {
        pieces.push_back(Slice(tooLong, position, std::min(tooLong.size(), position + 256)));
    }
    device.DeliverInBuffers(pieces);
    const Bytes reply = SysEx(23);
    device.Deliver(reply);
    ASSERT_TRUE(recorder->WaitFor(1));
    device.Deliver({0xF8});
    ASSERT_TRUE(recorder->WaitFor(2));
    const auto messages = recorder->Messages();
    ASSERT_EQ(2u, messages.size());
    EXPECT_EQ(reply, messages[0].bytes);
}

TEST_F(MidiCommTest, ABufferHandedBackEmptyIsGivenBackAndCompletesNothing)
{
    OpenPorts();
    const Bytes message = SysEx(300);
    device.DeliverInBuffers({Slice(message, 0, 256)});
    // Once the clock byte behind it has come through, the first buffer has been collected.
    device.Deliver({0xF8});
    ASSERT_TRUE(recorder->WaitFor(1));
    // The driver hands every buffer back empty, as a reset does, while the message is being
    // collected: the buffers must go back to it, and the message must not end there.
    ASSERT_EQ(MMSYSERR_NOERROR, svp::midiInReset(input->GetHandle()));
    ASSERT_EQ(MMSYSERR_NOERROR, svp::midiInStart(input->GetHandle()));
    device.DeliverInBuffers({Slice(message, 256, 300)});
    device.Deliver({0xF8});
    ASSERT_TRUE(recorder->WaitFor(3));
    const auto messages = recorder->Messages();
    ASSERT_EQ(3u, messages.size());
    EXPECT_EQ(message, messages[1].bytes);
}

TEST_F(MidiCommTest, ABrokenBufferIsGivenBackAndDropsTheMessageItInterrupts)
{
    OpenPorts();
    const Bytes message = SysEx(600);
    device.DeliverInBuffers({Slice(message, 0, 256)});
    device.DeliverBrokenBuffer(Slice(message, 256, 512));
    device.DeliverInBuffers({Slice(message, 512, 600)});
    // More buffers than the port has: each broken or dropped one went back to the driver.
    const Bytes reply = SysEx(23);
    for (int32_t count = 0; count < 4; ++count) {
        device.Deliver(reply);
    }
    ASSERT_TRUE(recorder->WaitFor(4));
    device.Deliver({0xF8});
    ASSERT_TRUE(recorder->WaitFor(5));
    const auto messages = recorder->Messages();
    ASSERT_EQ(5u, messages.size());
    for (size_t index = 0; index < 4; ++index) {
        EXPECT_EQ(reply, messages[index].bytes);
    }
}

TEST_F(MidiCommTest, SendAnswersTheBytesSentOrRefusesWhatIsNoMessageForARenderPort)
{
    OpenPorts();
    EXPECT_EQ(3, comm->Send(output, ByteList({0x90, 0x3C, 0x40})));
    const Bytes request = {0xF0, 0x47, 0x7F, 0x3E, 0x66, 0x00, 0x01, 0x01, 0xF7};
    EXPECT_EQ(9, comm->Send(output, ByteList(request)));
    ASSERT_TRUE(peer.WaitFor(2));
    EXPECT_EQ((std::vector<Bytes>{{0x90, 0x3C, 0x40}, request}), peer.Received());

    EXPECT_EQ(E_INVALIDARG, comm->Send(output, SV::SimpleFixedArray<signed char, 4>()));
    EXPECT_EQ(E_INVALIDARG, comm->Send(input, ByteList({0x90, 0x3C, 0x40})));
    EXPECT_EQ(E_INVALIDARG, comm->Send(nullptr, ByteList({0x90, 0x3C, 0x40})));
    EXPECT_EQ(2u, peer.Received().size());
}

TEST_F(MidiCommTest, ALongMessageNeverDoneFailsAndTheDeviceGivesItsHeaderBack)
{
    OpenPorts();
    comm->SetSendTimeout(50);
    device.SetHangOnLongMessages(true);
    const Bytes request = {0xF0, 0x47, 0x7F, 0x3E, 0x66, 0x00, 0x01, 0x01, 0xF7};
    EXPECT_EQ(E_FAIL, comm->Send(output, ByteList(request)));

    // The port is free again at once, and the device holds no header of the failed send: it
    // closes when the port goes.
    device.SetHangOnLongMessages(false);
    comm->SetSendTimeout(SV::LMidiComm::kSendTimeoutMilliseconds);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(9, comm->Send(output, ByteList(request)));
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
    const svp::HMIDIOUT handle = output->GetHandle();
    output = nullptr;
    EXPECT_EQ(MMSYSERR_INVALHANDLE, svp::midiOutShortMsg(handle, 0x403C90));
}

TEST(MidiMessageLengthTest, FollowsTheFirstByte)
{
    const struct
    {
        uint8_t first;
        int32_t send;
        int32_t captured;
    } cases[] = {{0x00, 1, 1}, {0x7F, 1, 1}, {0x80, 3, 3}, {0xBF, 3, 3}, {0xC0, 2, 2},
                 {0xDF, 2, 2}, {0xE0, 3, 3}, {0xEF, 3, 3}, {0xF0, 0, 1}, {0xF1, 2, 2},
                 {0xF2, 3, 3}, {0xF3, 2, 2}, {0xF4, 2, 2}, {0xF5, 2, 2}, {0xF6, 1, 1},
                 {0xF7, 0, 1}, {0xF8, 1, 1}, {0xFF, 1, 1}};
    for (const auto& each : cases) {
        EXPECT_EQ(each.send, SV::LMidiComm::GetMidiMessageLength(each.first)) << int(each.first);
        EXPECT_EQ(each.captured, SV::LMidiComm::GetShortMessageLength(each.first))
            << int(each.first);
    }
}

// A receiver that notes when it runs while it should not, and while it is running.
class GuardedReceiver : public SV::LNotificationClient
{
public:
    void Receive(const SV::ConstRCPtr<SV::LNotificationDistributor>& /*sender*/,
                 const SV::ConstRCPtr<SV::LNotification>& /*notification*/) override
    {
        running.store(true);
        if (!registered.load()) {
            ++lateRuns;
        }
        running.store(false);
        const std::lock_guard<std::mutex> lock(mMutex);
        ++mRuns;
        mChanged.notify_all();
    }

    int32_t Runs()
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        return mRuns;
    }
    bool WaitForRuns(int32_t count)
    {
        std::unique_lock<std::mutex> lock(mMutex);
        return mChanged.wait_for(lock, std::chrono::seconds(10), [&] { return mRuns >= count; });
    }

    std::atomic<bool> registered{false};
    std::atomic<bool> running{false};
    std::atomic<int32_t> lateRuns{0};

private:
    std::mutex mMutex;
    std::condition_variable mChanged;
    int32_t mRuns = 0;
};

TEST_F(MidiCommTest, NoReceiverRunsOnceItsUnregistrationHasReturned)
{
    OpenPorts();
    const SV::RCPtr<GuardedReceiver> receiver(new GuardedReceiver());
    // The keyboard keeps the worker delivering, one message at a time, while the receiver
    // comes and goes.
    std::atomic<bool> stop{false};
    std::thread keyboard([&] {
        for (size_t count = 1; !stop.load(); ++count) {
            device.Deliver({0xF8});
            if (!recorder->WaitFor(count)) {
                return;
            }
        }
    });
    constexpr int32_t kRounds = 300;
    int32_t stillRunning = 0;
    bool delivering = true;
    for (int32_t round = 0; round < kRounds && delivering; ++round) {
        const size_t before = recorder->Messages().size();
        const int32_t runsBefore = receiver->Runs();
        {
            const std::lock_guard<SV::Mutex> delivery(comm->GetDeliveryLock());
            receiver->Register(comm, SV::kNidMidiDataCaptured);
            receiver->registered.store(true);
        }
        // Every other round the receiver stays until a message has reached it.
        if (round % 2 == 0) {
            delivering = receiver->WaitForRuns(runsBefore + 1);
        }
        {
            const std::lock_guard<SV::Mutex> delivery(comm->GetDeliveryLock());
            receiver->Unregister(comm, SV::kNidMidiDataCaptured);
            receiver->registered.store(false);
        }
        stillRunning += receiver->running.load() ? 1 : 0;
        // The worker delivers once more before the next round: taking the delivery lock over
        // and over must not starve it.
        delivering = delivering && recorder->WaitFor(before + 1);
    }
    stop.store(true);
    keyboard.join();
    EXPECT_TRUE(delivering) << "the worker stopped delivering";
    EXPECT_GE(receiver->Runs(), kRounds / 2);
    EXPECT_EQ(0, receiver->lateRuns.load());
    EXPECT_EQ(0, stillRunning);
}

} // namespace
