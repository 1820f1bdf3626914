#include "MidiDevices.h"
#include "VirtualMidiDevice.h"

#include "MidiTestConnection.h"
#include "StderrCapture.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using svtest::MidiTestConnection;
using Bytes = std::vector<uint8_t>;
using namespace std::chrono_literals;

constexpr auto kWait = 5s;

// The far end of a virtual device: records what the program sends and can echo long messages
// back to the program's input.
class RecordingPeer : public svtest::VirtualMidiPeer
{
public:
    void OnMidiReceived(const Bytes& bytes) override
    {
        svtest::VirtualMidiDevice* echo = nullptr;
        {
            const std::lock_guard<std::mutex> lock(mMutex);
            mReceived.push_back(bytes);
            echo = mEcho;
            mChanged.notify_all();
        }
        if (echo != nullptr && bytes.front() == 0xF0) {
            echo->Deliver(bytes);
        }
    }

    bool WaitFor(size_t count)
    {
        std::unique_lock<std::mutex> lock(mMutex);
        return mChanged.wait_for(lock, kWait, [&] { return mReceived.size() >= count; });
    }

    std::vector<Bytes> Received()
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        return mReceived;
    }

    void EchoLongMessagesTo(svtest::VirtualMidiDevice* device)
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        mEcho = device;
    }

private:
    std::mutex mMutex;
    std::condition_variable mChanged;
    std::vector<Bytes> mReceived;
    svtest::VirtualMidiDevice* mEcho = nullptr;
};

// Callback messages as they came, for tests that drive the raw operations.
struct CallbackLog
{
    struct Call
    {
        uint32_t message;
        uintptr_t param1;
        uintptr_t param2;
        uint32_t bytesRecorded; // of the header, for MIM_LONGDATA and MIM_LONGERROR
    };

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Call> calls;

    void Add(uint32_t message, uintptr_t param1, uintptr_t param2)
    {
        uint32_t recorded = 0;
        if (message == MIM_LONGDATA || message == MIM_LONGERROR) {
            recorded = reinterpret_cast<svp::MIDIHDR*>(param1)->dwBytesRecorded;
        }
        const std::lock_guard<std::mutex> lock(mutex);
        calls.push_back({message, param1, param2, recorded});
        changed.notify_all();
    }

    bool WaitFor(size_t count)
    {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, kWait, [&] { return calls.size() >= count; });
    }

    std::vector<Call> Calls()
    {
        const std::lock_guard<std::mutex> lock(mutex);
        return calls;
    }

    static void OnInput(svp::HMIDIIN, uint32_t message, uintptr_t instance, uintptr_t param1,
                        uintptr_t param2)
    {
        reinterpret_cast<CallbackLog*>(instance)->Add(message, param1, param2);
    }

    static void OnOutput(svp::HMIDIOUT, uint32_t message, uintptr_t instance, uintptr_t param1,
                         uintptr_t param2)
    {
        reinterpret_cast<CallbackLog*>(instance)->Add(message, param1, param2);
    }
};

Bytes SysEx(size_t size, uint8_t fill = 0x11)
{
    Bytes bytes(size, fill);
    bytes.front() = 0xF0;
    bytes.back() = 0xF7;
    return bytes;
}

Bytes Slice(const Bytes& bytes, size_t from, size_t to)
{
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                 bytes.begin() + static_cast<std::ptrdiff_t>(to));
}

// A buffer of the caller's with its header, which points into it: it stays where it was made.
struct CallerBuffer
{
    CallerBuffer() : CallerBuffer(std::vector<char>(MidiTestConnection::kBufferSize)) {}
    explicit CallerBuffer(const Bytes& bytes)
        : CallerBuffer(std::vector<char>(bytes.begin(), bytes.end()))
    {}
    explicit CallerBuffer(std::vector<char> bytes) : data(std::move(bytes))
    {
        header.lpData = data.data();
        header.dwBufferLength = static_cast<uint32_t>(data.size());
    }
    CallerBuffer(const CallerBuffer&) = delete;
    CallerBuffer& operator=(const CallerBuffer&) = delete;

    std::vector<char> data;
    svp::MIDIHDR header{};
};

::testing::AssertionResult Succeeded(const char* operation, MMRESULT result)
{
    if (result == MMSYSERR_NOERROR) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << operation << " answered " << result;
}

// Prepares the header and queues it for input.
::testing::AssertionResult PrepareAndAddBuffer(svp::HMIDIIN input, svp::MIDIHDR& header)
{
    const MMRESULT prepared = svp::midiInPrepareHeader(input, &header, sizeof header);
    if (prepared != MMSYSERR_NOERROR) {
        return Succeeded("midiInPrepareHeader", prepared);
    }
    return Succeeded("midiInAddBuffer", svp::midiInAddBuffer(input, &header, sizeof header));
}

// Prepares the header and queues it as a long message.
::testing::AssertionResult PrepareAndSendLong(svp::HMIDIOUT output, svp::MIDIHDR& header)
{
    const MMRESULT prepared = svp::midiOutPrepareHeader(output, &header, sizeof header);
    if (prepared != MMSYSERR_NOERROR) {
        return Succeeded("midiOutPrepareHeader", prepared);
    }
    return Succeeded("midiOutLongMsg", svp::midiOutLongMsg(output, &header, sizeof header));
}

class MidiDevicesTest : public ::testing::Test
{
protected:
    // No test here may meet a JACK server that happens to run, nor start one.
    static void SetUpTestSuite()
    {
        setenv("JACK_NO_START_SERVER", "1", 1);
        const std::string none = "svtest-no-server-" + std::to_string(getpid());
        setenv("JACK_DEFAULT_SERVER", none.c_str(), 1);
    }

    // The virtual device's input, opened with `callback` and `context` as its instance word;
    // null (and a failure) when the open fails.
    template <class Context>
    svp::HMIDIIN OpenInput(svp::MidiInProc callback, Context& context,
                           uint32_t flags = CALLBACK_FUNCTION)
    {
        svp::HMIDIIN input = nullptr;
        EXPECT_EQ(MMSYSERR_NOERROR,
                  svp::midiInOpen(&input, MidiTestConnection::FindInput(mDevice.GetName()),
                                  callback, reinterpret_cast<uintptr_t>(&context), flags));
        return input;
    }

    // The virtual device's output, opened as OpenInput opens the input.
    template <class Context>
    svp::HMIDIOUT OpenOutput(svp::MidiOutProc callback, Context& context)
    {
        svp::HMIDIOUT output = nullptr;
        EXPECT_EQ(MMSYSERR_NOERROR,
                  svp::midiOutOpen(&output, MidiTestConnection::FindOutput(mDevice.GetName()),
                                   callback, reinterpret_cast<uintptr_t>(&context),
                                   CALLBACK_FUNCTION));
        return output;
    }

    RecordingPeer mPeer;
    svtest::VirtualMidiDevice mDevice{"Test Vudozi Vedozi Duruzava Keys", mPeer};
};

TEST_F(MidiDevicesTest, ListsVirtualDevicesAfterTheSystemOnesWhileTheyExist)
{
    RecordingPeer otherPeer;
    auto other = std::make_unique<svtest::VirtualMidiDevice>("Test Second Keys", otherPeer);

    const int32_t inputs = svp::midiInGetNumDevs();
    const int32_t outputs = svp::midiOutGetNumDevs();
    ASSERT_GE(inputs, 2);
    ASSERT_GE(outputs, 2);
    svp::MIDIINCAPS inCaps;
    svp::MIDIOUTCAPS outCaps;
    ASSERT_EQ(MMSYSERR_NOERROR, svp::midiInGetDevCaps(inputs - 2, inCaps));
    ASSERT_EQ(MMSYSERR_NOERROR, svp::midiOutGetDevCaps(outputs - 1, outCaps));
    EXPECT_EQ(mDevice.GetName(), inCaps.szPname);
    EXPECT_EQ("Test Second Keys", outCaps.szPname);
    EXPECT_EQ(MMSYSERR_BADDEVICEID, svp::midiInGetDevCaps(inputs, inCaps));
    EXPECT_EQ(MMSYSERR_BADDEVICEID, svp::midiOutGetDevCaps(-1, outCaps));

    other.reset();
    EXPECT_EQ(inputs - 1, svp::midiInGetNumDevs());
    EXPECT_EQ(-1, MidiTestConnection::FindInput("Test Second Keys"));
    EXPECT_EQ(-1, MidiTestConnection::FindOutput("Test Second Keys"));
}

TEST_F(MidiDevicesTest, OpenRefusesBadDevicesFlagsAndCallbacks)
{
    const int32_t device = MidiTestConnection::FindInput(mDevice.GetName());
    ASSERT_GE(device, 0);
    CallbackLog log;
    const auto instance = reinterpret_cast<uintptr_t>(&log);
    struct Case
    {
        int32_t device;
        svp::MidiInProc callback;
        uint32_t flags;
        MMRESULT expected;
    };
    const Case cases[] = {
        {-1, &CallbackLog::OnInput, CALLBACK_FUNCTION, MMSYSERR_BADDEVICEID},
        {svp::midiInGetNumDevs(), &CallbackLog::OnInput, CALLBACK_FUNCTION, MMSYSERR_BADDEVICEID},
        {device, &CallbackLog::OnInput, 0x50000 /* an event */, MMSYSERR_INVALFLAG},
        {device, &CallbackLog::OnInput, CALLBACK_FUNCTION | 0x1, MMSYSERR_INVALFLAG},
        {device, nullptr, CALLBACK_FUNCTION, MMSYSERR_INVALPARAM},
    };
    for (const Case& test : cases) {
        svp::HMIDIIN handle = reinterpret_cast<svp::HMIDIIN>(&log);
        EXPECT_EQ(test.expected,
                  svp::midiInOpen(&handle, test.device, test.callback, instance, test.flags))
            << test.device << " " << test.flags;
        EXPECT_EQ(nullptr, handle);
    }
    EXPECT_EQ(MMSYSERR_INVALPARAM,
              svp::midiInOpen(nullptr, device, &CallbackLog::OnInput, instance, CALLBACK_FUNCTION));
    EXPECT_TRUE(log.Calls().empty());
}

TEST_F(MidiDevicesTest, OpenAndCloseAreReportedAndAClosedHandleIsRefused)
{
    CallbackLog inLog;
    CallbackLog outLog;
    const svp::HMIDIIN input =
        OpenInput(&CallbackLog::OnInput, inLog, CALLBACK_FUNCTION | MIDI_IO_STATUS);
    ASSERT_NE(nullptr, input);
    const svp::HMIDIOUT output = OpenOutput(&CallbackLog::OnOutput, outLog);
    ASSERT_NE(nullptr, output);
    EXPECT_EQ(MMSYSERR_NOERROR, svp::midiInClose(input));
    EXPECT_EQ(MMSYSERR_NOERROR, svp::midiOutClose(output));

    const auto inCalls = inLog.Calls();
    const auto outCalls = outLog.Calls();
    ASSERT_EQ(2u, inCalls.size());
    EXPECT_EQ(MIM_OPEN, inCalls[0].message);
    EXPECT_EQ(MIM_CLOSE, inCalls[1].message);
    ASSERT_EQ(2u, outCalls.size());
    EXPECT_EQ(MOM_OPEN, outCalls[0].message);
    EXPECT_EQ(MOM_CLOSE, outCalls[1].message);

    svp::MIDIHDR header{};
    EXPECT_EQ(MMSYSERR_INVALHANDLE, svp::midiInStart(input));
    EXPECT_EQ(MMSYSERR_INVALHANDLE, svp::midiInAddBuffer(input, &header, sizeof header));
    EXPECT_EQ(MMSYSERR_INVALHANDLE, svp::midiInClose(input));
    EXPECT_EQ(MMSYSERR_INVALHANDLE, svp::midiOutShortMsg(output, 0x403C90));
    EXPECT_EQ(MMSYSERR_INVALHANDLE, svp::midiOutClose(output));
}

TEST_F(MidiDevicesTest, ShortMessagesArriveOnlyWhileStartedWithTheirTimeStamps)
{
    MidiTestConnection connection(mDevice.GetName());
    ASSERT_TRUE(connection.IsOpen());
    mDevice.Deliver({0x90, 0x3C, 0x40});
    mDevice.Deliver({0xC0, 0x05});
    mDevice.Deliver({0xF8});
    mDevice.Deliver({0x3C, 0x40}); // no status: nothing to deliver
    mDevice.Deliver({0xE0, 0x00, 0x40});
    ASSERT_TRUE(connection.WaitForEvents(4));

    const auto events = connection.GetEvents();
    ASSERT_EQ(4u, events.size());
    const uint32_t expected[] = {0x403C90, 0x05C0, 0xF8, 0x4000E0};
    for (size_t index = 0; index < 4; ++index) {
        EXPECT_EQ(MIM_DATA, events[index].message);
        EXPECT_EQ(expected[index], events[index].packed);
        EXPECT_LT(events[index].time, 60000u);
        if (index > 0) {
            EXPECT_GE(events[index].time, events[index - 1].time);
        }
    }

    // Stopped input is lost; started again it flows.
    ASSERT_EQ(MMSYSERR_NOERROR, svp::midiInStop(connection.GetInput()));
    mDevice.Deliver({0x90, 0x3D, 0x40});
    ASSERT_EQ(MMSYSERR_NOERROR, svp::midiInStart(connection.GetInput()));
    mDevice.Deliver({0x80, 0x3C, 0x00});
    ASSERT_TRUE(connection.WaitForEvents(5));
    EXPECT_EQ(0x3C80u, connection.GetEvents().back().packed);
}

struct LongInputCase
{
    const char* name;
    std::vector<Bytes> deliveries; // each Deliver'd in turn
    bool inOwnBuffers;             // DeliverInBuffers with the deliveries as pieces
    std::vector<std::pair<uint32_t, size_t>> expected; // message and byte count per event
};

class MidiLongInputTest : public MidiDevicesTest,
                          public ::testing::WithParamInterface<LongInputCase>
{};

TEST_P(MidiLongInputTest, WritesLongInputIntoTheBuffersAsADriverDoes)
{
    const LongInputCase& test = GetParam();
    MidiTestConnection connection(mDevice.GetName());
    ASSERT_TRUE(connection.IsOpen());
    if (test.inOwnBuffers) {
        mDevice.DeliverInBuffers(test.deliveries);
    } else {
        for (const Bytes& bytes : test.deliveries) {
            mDevice.Deliver(bytes);
        }
    }
    ASSERT_TRUE(connection.WaitForEvents(test.expected.size()));

    const auto events = connection.GetEvents();
    ASSERT_EQ(test.expected.size(), events.size());
    Bytes sent;
    Bytes received;
    for (const Bytes& bytes : test.deliveries) {
        sent.insert(sent.end(), bytes.begin(), bytes.end());
    }
    for (size_t index = 0; index < events.size(); ++index) {
        EXPECT_EQ(test.expected[index].first, events[index].message) << index;
        if (events[index].message == MIM_LONGDATA) {
            EXPECT_EQ(test.expected[index].second, events[index].bytes.size()) << index;
            received.insert(received.end(), events[index].bytes.begin(), events[index].bytes.end());
        }
    }
    if (test.expected.front().first == MIM_LONGDATA && test.expected.back().first == MIM_LONGDATA) {
        EXPECT_EQ(sent, received);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MidiLongInputTest,
    ::testing::Values(
        LongInputCase{"ReplyInOneBuffer", {SysEx(23)}, false, {{MIM_LONGDATA, 23}}},
        LongInputCase{
            "OverTwoBuffers", {SysEx(300)}, false, {{MIM_LONGDATA, 256}, {MIM_LONGDATA, 44}}},
        LongInputCase{"FullBufferEndingInF7", {SysEx(256)}, false, {{MIM_LONGDATA, 256}}},
        LongInputCase{"FourKilobytesThroughThreeRefilledBuffers",
                      {SysEx(4096)},
                      false,
                      std::vector<std::pair<uint32_t, size_t>>(16, {MIM_LONGDATA, 256})},
        LongInputCase{"PiecesOnTheWireJoinInOneBuffer",
                      {{0xF0, 0x01, 0x02}, {0x03, 0x04}, {0x05, 0xF7}},
                      false,
                      {{MIM_LONGDATA, 7}}},
        LongInputCase{"PiecesInBuffersOfTheirOwn",
                      {Slice(SysEx(23), 0, 10), Slice(SysEx(23), 10, 23)},
                      true,
                      {{MIM_LONGDATA, 10}, {MIM_LONGDATA, 13}}},
        LongInputCase{"StatusByteEndsAnUnfinishedMessage",
                      {{0xF0, 0x01, 0x02}, {0x90, 0x3C, 0x40}},
                      false,
                      {{MIM_LONGDATA, 3}, {MIM_DATA, 0}}},
        LongInputCase{"RealTimeByteInsideAMessage",
                      {{0xF0, 0x01}, {0xF8}, {0x02, 0xF7}},
                      false,
                      {{MIM_DATA, 0}, {MIM_LONGDATA, 4}}}),
    [](const ::testing::TestParamInfo<LongInputCase>& param) { return param.param.name; });

TEST_F(MidiDevicesTest, BrokenBuffersComeBackAsLongErrorsAndLongInputWithoutBuffersIsDropped)
{
    CallbackLog log;
    const svp::HMIDIIN input = OpenInput(&CallbackLog::OnInput, log);
    ASSERT_NE(nullptr, input);
    ASSERT_EQ(MMSYSERR_NOERROR, svp::midiInStart(input));
    mDevice.Deliver(SysEx(23)); // no buffer yet
    mDevice.Deliver({0xF8});    // a marker: the message before has been dealt with
    ASSERT_TRUE(log.WaitFor(2));

    CallerBuffer buffer;
    svp::MIDIHDR& header = buffer.header;
    ASSERT_TRUE(PrepareAndAddBuffer(input, header));
    mDevice.DeliverBrokenBuffer({0xF0, 0x01, 0x02});
    ASSERT_TRUE(log.WaitFor(3));

    const auto calls = log.Calls();
    ASSERT_EQ(3u, calls.size());
    EXPECT_EQ(MIM_DATA, calls[1].message);
    EXPECT_EQ(MIM_LONGERROR, calls[2].message);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(&header), calls[2].param1);
    EXPECT_EQ(3u, calls[2].bytesRecorded);
    EXPECT_EQ(MHDR_DONE | MHDR_PREPARED, header.dwFlags);
    EXPECT_EQ(MMSYSERR_NOERROR, svp::midiInUnprepareHeader(input, &header, sizeof header));
    EXPECT_EQ(MMSYSERR_NOERROR, svp::midiInClose(input));
}

TEST_F(MidiDevicesTest, StopHandsBackAPartBufferAndResetHandsBackEveryBuffer)
{
    CallbackLog log;
    const svp::HMIDIIN input = OpenInput(&CallbackLog::OnInput, log);
    ASSERT_NE(nullptr, input);
    CallerBuffer buffers[3];
    for (CallerBuffer& buffer : buffers) {
        ASSERT_TRUE(PrepareAndAddBuffer(input, buffer.header));
    }
    ASSERT_EQ(MMSYSERR_NOERROR, svp::midiInStart(input));
    mDevice.Deliver({0xF0, 0x01, 0x02}); // unfinished: stays in the first buffer
    mDevice.Deliver({0xF8});
    ASSERT_TRUE(log.WaitFor(2));
    EXPECT_EQ(MIDIERR_STILLPLAYING,
              svp::midiInUnprepareHeader(input, &buffers[0].header, sizeof(svp::MIDIHDR)));

    ASSERT_EQ(MMSYSERR_NOERROR, svp::midiInStop(input));
    auto calls = log.Calls();
    ASSERT_EQ(3u, calls.size()); // handed back inside the stop
    EXPECT_EQ(MIM_LONGDATA, calls[2].message);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(&buffers[0].header), calls[2].param1);
    EXPECT_EQ(3u, calls[2].bytesRecorded);
    EXPECT_EQ(MIDIERR_STILLPLAYING, svp::midiInClose(input)); // two buffers still queued

    ASSERT_EQ(MMSYSERR_NOERROR, svp::midiInReset(input));
    calls = log.Calls();
    ASSERT_EQ(5u, calls.size());
    for (size_t index = 3; index < 5; ++index) {
        EXPECT_EQ(MIM_LONGDATA, calls[index].message);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(&buffers[index - 2].header), calls[index].param1);
        EXPECT_EQ(0u, calls[index].bytesRecorded);
    }
    for (CallerBuffer& buffer : buffers) {
        EXPECT_EQ(MHDR_DONE | MHDR_PREPARED, buffer.header.dwFlags);
        EXPECT_EQ(MMSYSERR_NOERROR,
                  svp::midiInUnprepareHeader(input, &buffer.header, sizeof buffer.header));
    }
    EXPECT_EQ(MMSYSERR_NOERROR, svp::midiInClose(input));
}

// A callback that hands every buffer straight back, whatever it holds.
struct AlwaysRefilling
{
    std::atomic<bool> refill{true};
    std::atomic<int32_t> handedBack{0};

    static void OnInput(svp::HMIDIIN handle, uint32_t message, uintptr_t instance, uintptr_t param1,
                        uintptr_t)
    {
        auto* self = reinterpret_cast<AlwaysRefilling*>(instance);
        if (message == MIM_LONGDATA) {
            ++self->handedBack;
            if (self->refill) {
                auto* header = reinterpret_cast<svp::MIDIHDR*>(param1);
                svp::midiInAddBuffer(handle, header, sizeof *header);
            }
        }
    }
};

TEST_F(MidiDevicesTest, AResetEndsEvenWhenTheCallbackQueuesEveryBufferAgain)
{
    AlwaysRefilling calls;
    const svp::HMIDIIN input = OpenInput(&AlwaysRefilling::OnInput, calls);
    ASSERT_NE(nullptr, input);
    CallerBuffer buffers[2];
    for (CallerBuffer& buffer : buffers) {
        ASSERT_TRUE(PrepareAndAddBuffer(input, buffer.header));
    }
    ASSERT_EQ(MMSYSERR_NOERROR, svp::midiInReset(input));
    EXPECT_EQ(2, calls.handedBack.load()); // each once, though each went straight back
    EXPECT_EQ(MIDIERR_STILLPLAYING, svp::midiInClose(input));

    calls.refill = false;
    ASSERT_EQ(MMSYSERR_NOERROR, svp::midiInReset(input));
    for (CallerBuffer& buffer : buffers) {
        EXPECT_EQ(MMSYSERR_NOERROR,
                  svp::midiInUnprepareHeader(input, &buffer.header, sizeof buffer.header));
    }
    EXPECT_EQ(MMSYSERR_NOERROR, svp::midiInClose(input));
}

TEST_F(MidiDevicesTest, HeadersMustBePreparedWholeAndNotQueuedTwice)
{
    MidiTestConnection connection(mDevice.GetName());
    ASSERT_TRUE(connection.IsOpen());
    const svp::HMIDIIN input = connection.GetInput();
    const svp::HMIDIOUT output = connection.GetOutput();
    char data[16];
    svp::MIDIHDR header{};
    header.lpData = data;
    header.dwBufferLength = sizeof data;

    EXPECT_EQ(MIDIERR_UNPREPARED, svp::midiInAddBuffer(input, &header, sizeof header));
    EXPECT_EQ(MIDIERR_UNPREPARED, svp::midiOutLongMsg(output, &header, sizeof header));
    EXPECT_EQ(MMSYSERR_INVALPARAM, svp::midiInPrepareHeader(input, &header, sizeof header - 1));
    EXPECT_EQ(MMSYSERR_INVALPARAM, svp::midiInPrepareHeader(input, nullptr, sizeof header));
    svp::MIDIHDR empty{};
    EXPECT_EQ(MMSYSERR_INVALPARAM, svp::midiInPrepareHeader(input, &empty, sizeof empty));
    EXPECT_EQ(MMSYSERR_INVALPARAM, svp::midiOutPrepareHeader(output, &empty, sizeof empty));

    ASSERT_EQ(MMSYSERR_NOERROR, svp::midiInPrepareHeader(input, &header, sizeof header));
    ASSERT_EQ(MMSYSERR_NOERROR, svp::midiInAddBuffer(input, &header, sizeof header));
    EXPECT_EQ(MIDIERR_STILLPLAYING, svp::midiInAddBuffer(input, &header, sizeof header));
    EXPECT_EQ(MIDIERR_STILLPLAYING, svp::midiInUnprepareHeader(input, &header, sizeof header));
    // A reset hands this fourth buffer back with the connection's three.
    ASSERT_EQ(MMSYSERR_NOERROR, svp::midiInReset(input));
    EXPECT_EQ(MMSYSERR_NOERROR, svp::midiInUnprepareHeader(input, &header, sizeof header));
    EXPECT_EQ(0u, header.dwFlags & (MHDR_PREPARED | MHDR_INQUEUE));
}

TEST_F(MidiDevicesTest, ShortMessagesGoOutWithTheLengthTheirStatusImplies)
{
    MidiTestConnection connection(mDevice.GetName());
    ASSERT_TRUE(connection.IsOpen());
    const std::pair<uint32_t, Bytes> sent[] = {
        {0x403C90, {0x90, 0x3C, 0x40}},
        {0x7F05C0, {0xC0, 0x05}},
        {0x4000E0, {0xE0, 0x00, 0x40}},
        {0x0102F2, {0xF2, 0x02, 0x01}},
        {0x0003F3, {0xF3, 0x03}},
        {0x7F7FF8, {0xF8}},
        {0xFF, {0xFF}},
    };
    for (const auto& [packed, bytes] : sent) {
        EXPECT_EQ(MMSYSERR_NOERROR, connection.SendShort(packed));
    }
    for (const uint32_t refused : {0xF0u, 0x40F7u, 0x403Cu}) {
        EXPECT_EQ(MMSYSERR_INVALPARAM, connection.SendShort(refused)) << refused;
    }
    const auto received = mPeer.Received();
    ASSERT_EQ(std::size(sent), received.size());
    for (size_t index = 0; index < received.size(); ++index) {
        EXPECT_EQ(sent[index].second, received[index]) << index;
    }
}

TEST_F(MidiDevicesTest, LongMessagesGoOutWholeAndAreReportedDone)
{
    MidiTestConnection connection(mDevice.GetName());
    ASSERT_TRUE(connection.IsOpen());
    const Bytes request = {0xF0, 0x47, 0x7F, 0x3E, 0x66, 0x00, 0x01, 0x01, 0xF7};
    EXPECT_EQ(MMSYSERR_NOERROR, connection.SendLong(request));
    EXPECT_EQ(MMSYSERR_NOERROR, connection.SendLong(SysEx(5000)));
    const auto received = mPeer.Received();
    ASSERT_EQ(2u, received.size());
    EXPECT_EQ(request, received[0]);
    EXPECT_EQ(SysEx(5000), received[1]);

    CallbackLog log;
    const svp::HMIDIOUT output = OpenOutput(&CallbackLog::OnOutput, log);
    ASSERT_NE(nullptr, output);
    CallerBuffer buffer(request);
    svp::MIDIHDR& header = buffer.header;
    ASSERT_TRUE(PrepareAndSendLong(output, header));
    ASSERT_TRUE(log.WaitFor(2));
    const auto calls = log.Calls();
    EXPECT_EQ(MOM_DONE, calls[1].message);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(&header), calls[1].param1);
    EXPECT_EQ(MHDR_DONE | MHDR_PREPARED, header.dwFlags);
    EXPECT_EQ(MMSYSERR_NOERROR, svp::midiOutUnprepareHeader(output, &header, sizeof header));
    EXPECT_EQ(MMSYSERR_NOERROR, svp::midiOutClose(output));
}

TEST_F(MidiDevicesTest, AHungLongMessageIsHeldUntilResetTakesItBack)
{
    mDevice.SetHangOnLongMessages(true);
    CallbackLog log;
    const svp::HMIDIOUT output = OpenOutput(&CallbackLog::OnOutput, log);
    ASSERT_NE(nullptr, output);
    // On the heap, and freed right after the reset: any later touch of it is caught.
    auto buffer = std::make_unique<CallerBuffer>(std::vector<char>(9, '\x11'));
    svp::MIDIHDR* header = &buffer->header;
    ASSERT_TRUE(PrepareAndSendLong(output, *header));
    ASSERT_TRUE(mPeer.WaitFor(1)); // the device got it, and never says it is done
    EXPECT_EQ(MIDIERR_STILLPLAYING,
              svp::midiOutUnprepareHeader(output, header, sizeof(svp::MIDIHDR)));
    EXPECT_EQ(MIDIERR_STILLPLAYING, svp::midiOutClose(output));
    EXPECT_EQ(MMSYSERR_NOERROR, svp::midiOutShortMsg(output, 0x403C90)); // short ones still go

    ASSERT_EQ(MMSYSERR_NOERROR, svp::midiOutReset(output));
    const auto calls = log.Calls();
    ASSERT_EQ(2u, calls.size()); // MOM_DONE inside the reset
    EXPECT_EQ(MOM_DONE, calls[1].message);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(header), calls[1].param1);
    EXPECT_EQ(MHDR_DONE | MHDR_PREPARED, header->dwFlags);
    EXPECT_EQ(MMSYSERR_NOERROR, svp::midiOutUnprepareHeader(output, header, sizeof(svp::MIDIHDR)));
    buffer.reset();

    mDevice.SetHangOnLongMessages(false);
    MidiTestConnection connection(mDevice.GetName());
    EXPECT_EQ(MMSYSERR_NOERROR, connection.SendLong(SysEx(9)));
    EXPECT_EQ(MMSYSERR_NOERROR, svp::midiOutClose(output));
}

// A callback that resets and closes its own device, as a port layer might when it lets go of
// its last reference inside a callback.
struct SelfClosing
{
    std::mutex mutex;
    std::condition_variable changed;
    MMRESULT resetResult = -1;
    MMRESULT closeResult = -1;
    bool done = false;

    void Finish(MMRESULT reset, MMRESULT close)
    {
        const std::lock_guard<std::mutex> lock(mutex);
        resetResult = reset;
        closeResult = close;
        done = true;
        changed.notify_all();
    }

    bool Wait()
    {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, kWait, [&] { return done; });
    }

    static void OnInput(svp::HMIDIIN handle, uint32_t message, uintptr_t instance, uintptr_t param1,
                        uintptr_t)
    {
        auto* self = reinterpret_cast<SelfClosing*>(instance);
        if (message == MIM_LONGDATA && !self->done) {
            auto* header = reinterpret_cast<svp::MIDIHDR*>(param1);
            if (header->dwBytesRecorded == 0) {
                return; // handed back by the reset below
            }
            const MMRESULT reset = svp::midiInReset(handle);
            svp::midiInUnprepareHeader(handle, header, sizeof *header);
            self->Finish(reset, svp::midiInClose(handle));
        }
    }

    static void OnOutput(svp::HMIDIOUT handle, uint32_t message, uintptr_t instance, uintptr_t,
                         uintptr_t)
    {
        auto* self = reinterpret_cast<SelfClosing*>(instance);
        if (message == MOM_DONE) {
            const MMRESULT reset = svp::midiOutReset(handle);
            self->Finish(reset, svp::midiOutClose(handle));
        }
    }
};

TEST_F(MidiDevicesTest, ADeviceMayBeClosedFromItsOwnCallback)
{
    SelfClosing inSide;
    const svp::HMIDIIN input = OpenInput(&SelfClosing::OnInput, inSide);
    ASSERT_NE(nullptr, input);
    CallerBuffer inBuffer;
    ASSERT_TRUE(PrepareAndAddBuffer(input, inBuffer.header));
    ASSERT_EQ(MMSYSERR_NOERROR, svp::midiInStart(input));
    mDevice.Deliver(SysEx(23));
    ASSERT_TRUE(inSide.Wait());
    EXPECT_EQ(MMSYSERR_NOERROR, inSide.resetResult);
    EXPECT_EQ(MMSYSERR_NOERROR, inSide.closeResult);

    SelfClosing outSide;
    const svp::HMIDIOUT output = OpenOutput(&SelfClosing::OnOutput, outSide);
    ASSERT_NE(nullptr, output);
    CallerBuffer outBuffer(Bytes{0xF0, 0x01, 0xF7});
    ASSERT_TRUE(PrepareAndSendLong(output, outBuffer.header));
    ASSERT_TRUE(outSide.Wait());
    EXPECT_EQ(MMSYSERR_NOERROR, outSide.resetResult);
    EXPECT_EQ(MMSYSERR_NOERROR, outSide.closeResult);
    EXPECT_EQ(MMSYSERR_INVALHANDLE, svp::midiOutShortMsg(output, 0x403C90));
}

// Short input that waits behind others is marked MIM_MOREDATA when the device was opened with
// MIDI_IO_STATUS.
struct BlockingFirstCall
{
    std::mutex mutex;
    std::condition_variable changed;
    bool entered = false;
    bool released = false;
    std::vector<uint32_t> messages;

    static void OnInput(svp::HMIDIIN, uint32_t message, uintptr_t instance, uintptr_t, uintptr_t)
    {
        auto* self = reinterpret_cast<BlockingFirstCall*>(instance);
        std::unique_lock<std::mutex> lock(self->mutex);
        if (message != MIM_DATA && message != MIM_MOREDATA) {
            return;
        }
        self->messages.push_back(message);
        self->entered = true;
        self->changed.notify_all();
        self->changed.wait(lock, [self] { return self->released; });
    }
};

TEST_F(MidiDevicesTest, ShortInputWaitingBehindOthersIsMarkedMoreData)
{
    BlockingFirstCall calls;
    const svp::HMIDIIN input =
        OpenInput(&BlockingFirstCall::OnInput, calls, CALLBACK_FUNCTION | MIDI_IO_STATUS);
    ASSERT_NE(nullptr, input);
    ASSERT_EQ(MMSYSERR_NOERROR, svp::midiInStart(input));
    mDevice.Deliver({0x90, 0x3C, 0x40});
    {
        std::unique_lock<std::mutex> lock(calls.mutex);
        ASSERT_TRUE(calls.changed.wait_for(lock, kWait, [&] { return calls.entered; }));
    }
    mDevice.Deliver({0x90, 0x3D, 0x40});
    mDevice.Deliver({0x90, 0x3E, 0x40});
    {
        std::unique_lock<std::mutex> lock(calls.mutex);
        calls.released = true;
        calls.changed.notify_all();
        ASSERT_TRUE(
            calls.changed.wait_for(lock, kWait, [&] { return calls.messages.size() == 3; }));
    }
    EXPECT_EQ((std::vector<uint32_t>{MIM_DATA, MIM_MOREDATA, MIM_DATA}), calls.messages);
    EXPECT_EQ(MMSYSERR_NOERROR, svp::midiInClose(input));
}

TEST_F(MidiDevicesTest, AWithdrawnDeviceTakesNothingMoreAndClosesCleanly)
{
    RecordingPeer peer;
    auto device = std::make_unique<svtest::VirtualMidiDevice>("Test Withdrawn Keys", peer);
    MidiTestConnection connection("Test Withdrawn Keys");
    ASSERT_TRUE(connection.IsOpen());
    device.reset();
    EXPECT_EQ(MMSYSERR_ERROR, connection.SendShort(0x403C90));
    EXPECT_EQ(MMSYSERR_NOERROR, connection.SendLong(SysEx(9))); // done, though it went nowhere
    EXPECT_TRUE(peer.Received().empty());
}

TEST_F(MidiDevicesTest, InputAndOutputFlowTogetherAcrossThreads)
{
    MidiTestConnection connection(mDevice.GetName());
    ASSERT_TRUE(connection.IsOpen());
    mPeer.EchoLongMessagesTo(&mDevice); // every long message sent comes back on the input

    constexpr size_t kLongCount = 40;
    constexpr size_t kShortCount = 200;
    std::thread player([&] {
        for (size_t index = 0; index < kShortCount; ++index) {
            mDevice.Deliver({0x90, static_cast<uint8_t>(index & 0x7F), 0x40});
        }
    });
    std::vector<Bytes> sent;
    for (size_t index = 0; index < kLongCount; ++index) {
        sent.push_back(SysEx(20 + index * 17, static_cast<uint8_t>(index)));
        EXPECT_EQ(MMSYSERR_NOERROR, connection.SendLong(sent.back()));
    }
    player.join();

    size_t buffers = 0;
    for (const Bytes& message : sent) {
        buffers += (message.size() + 255) / 256;
    }
    ASSERT_TRUE(connection.WaitForEvents(buffers + kShortCount));
    EXPECT_EQ(sent, connection.GetLongMessages());
    size_t next = 0;
    for (const auto& event : connection.GetEvents()) {
        if (event.message == MIM_DATA) {
            EXPECT_EQ(0x400090u | ((next & 0x7F) << 8), event.packed);
            ++next;
        }
    }
    EXPECT_EQ(kShortCount, next);
    mPeer.EchoLongMessagesTo(nullptr);
}

TEST_F(MidiDevicesTest, WithNoSequencerAndNoJackServerThereAreNoDevicesAndNothingIsPrinted)
{
    if (access("/dev/snd/seq", F_OK) == 0) {
        GTEST_SKIP() << "this machine has an ALSA sequencer";
    }
    std::unique_ptr<svtest::StderrCapture> capture = std::make_unique<svtest::StderrCapture>();
    std::vector<std::string> names;
    const int32_t inputs = svp::midiInGetNumDevs();
    for (int32_t index = 0; index < inputs; ++index) {
        svp::MIDIINCAPS caps;
        svp::midiInGetDevCaps(index, caps);
        names.push_back(caps.szPname);
    }
    const int32_t outputs = svp::midiOutGetNumDevs();
    const std::string printed = capture->Text();
    capture.reset();

    // Only this fixture's own virtual device is there.
    EXPECT_EQ(std::vector<std::string>{mDevice.GetName()}, names);
    EXPECT_EQ(1, outputs);
    EXPECT_EQ("", printed);
    svp::HMIDIIN input = nullptr;
    EXPECT_EQ(MMSYSERR_BADDEVICEID,
              svp::midiInOpen(&input, 1, &CallbackLog::OnInput, 0, CALLBACK_FUNCTION));
}

} // namespace
