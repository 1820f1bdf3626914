// The system's MIDI transports through RtMidi: the ALSA sequencer and JACK.
#include "MidiTransport.h"

#include <RtMidi.h>
#include <jack/jack.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <utility>

namespace svp::midi {
namespace {

// Every connection this layer makes is a client of this name (JACK numbers further clients
// "SV MIDI-01", ...); their ports are not devices.
constexpr const char* kClientName = "SV MIDI";
constexpr const char* kAlsaSequencerDevice = "/dev/snd/seq";

bool IsOwnPort(const std::string& portName)
{
    const size_t prefix = std::strlen(kClientName);
    if (portName.compare(0, prefix, kClientName) != 0) {
        return false;
    }
    size_t at = prefix;
    if (at < portName.size() && portName[at] == '-') {
        ++at;
        while (at < portName.size() && portName[at] >= '0' && portName[at] <= '9') {
            ++at;
        }
    }
    return at < portName.size() && portName[at] == ':';
}

// Opening the sequencer without /dev/snd/seq only fills standard error with ALSA's complaints.
bool HasAlsaSequencer()
{
    return access(kAlsaSequencerDevice, R_OK | W_OK) == 0;
}

void IgnoreJackText(const char* /*text*/)
{}

// libjack reports a missing server on standard error; here a missing server only means no
// JACK devices, so its texts are dropped.
void QuietenJack()
{
    static std::once_flag once;
    std::call_once(once, [] {
        jack_set_error_function(IgnoreJackText);
        jack_set_info_function(IgnoreJackText);
    });
}

struct JackClientClose
{
    void operator()(jack_client_t* client) const { jack_client_close(client); }
};
using JackClient = std::unique_ptr<jack_client_t, JackClientClose>;

// A client of the running server, or null; a server is never started.
JackClient OpenJackClient(const char* name)
{
    QuietenJack();
    jack_status_t status{};
    return JackClient(jack_client_open(name, JackNoStartServer, &status));
}

struct JackPortsFree
{
    void operator()(const char** ports) const { jack_free(static_cast<void*>(ports)); }
};

void AppendJackPorts(bool inputs, std::vector<DeviceEntry>& devices)
{
    const JackClient client = OpenJackClient(kClientName);
    if (!client) {
        return;
    }
    // A device we read from is a port that outputs, and the other way round.
    const std::unique_ptr<const char*, JackPortsFree> ports(
        jack_get_ports(client.get(), nullptr, JACK_DEFAULT_MIDI_TYPE,
                       inputs ? JackPortIsOutput : JackPortIsInput));
    for (const char** port = ports.get(); port != nullptr && *port != nullptr; ++port) {
        if (!IsOwnPort(*port)) {
            devices.push_back({DeviceEntry::Transport::Jack, *port, nullptr});
        }
    }
}

// With an error callback RtMidi reports instead of throwing; warnings are of no interest.
void RecordRtMidiError(RtMidiError::Type type, const std::string& /*text*/, void* failed)
{
    if (type != RtMidiError::WARNING && type != RtMidiError::DEBUG_WARNING) {
        static_cast<std::atomic<bool>*>(failed)->store(true);
    }
}

RtMidi::Api ApiOf(const DeviceEntry& device)
{
    return device.transport == DeviceEntry::Transport::AlsaSequencer ? RtMidi::LINUX_ALSA
                                                                     : RtMidi::UNIX_JACK;
}

// failed must outlive midi.
void AppendPorts(RtMidi& midi, std::atomic<bool>& failed, DeviceEntry::Transport transport,
                 std::vector<DeviceEntry>& devices)
{
    midi.setErrorCallback(&RecordRtMidiError, &failed);
    const unsigned count = midi.getPortCount();
    for (unsigned index = 0; index < count; ++index) {
        std::string name = midi.getPortName(index);
        if (!name.empty() && !IsOwnPort(name)) {
            devices.push_back({transport, std::move(name), nullptr});
        }
    }
}

void AppendAlsaPorts(bool inputs, std::vector<DeviceEntry>& devices)
{
    if (!HasAlsaSequencer()) {
        return;
    }
    std::atomic<bool> failed{false};
    try {
        if (inputs) {
            RtMidiIn midi(RtMidi::LINUX_ALSA, kClientName);
            AppendPorts(midi, failed, DeviceEntry::Transport::AlsaSequencer, devices);
        } else {
            RtMidiOut midi(RtMidi::LINUX_ALSA, kClientName);
            AppendPorts(midi, failed, DeviceEntry::Transport::AlsaSequencer, devices);
        }
    } catch (const RtMidiError&) {
        // No sequencer client: no ALSA devices.
    }
}

// The index RtMidi gives the port of that name now, or -1.
int32_t FindPort(RtMidi& midi, const std::string& name)
{
    const unsigned count = midi.getPortCount();
    for (unsigned index = 0; index < count; ++index) {
        if (midi.getPortName(index) == name) {
            return static_cast<int32_t>(index);
        }
    }
    return -1;
}

class RtMidiInputConnection final : public InputConnection
{
public:
    explicit RtMidiInputConnection(InputSink& sink) : mSink(sink) {}

    bool Open(const DeviceEntry& device)
    {
        try {
            mInput = std::make_unique<RtMidiIn>(ApiOf(device), kClientName);
            mInput->setErrorCallback(&RecordRtMidiError, &mFailed);
            const int32_t index = FindPort(*mInput, device.name);
            if (index < 0 || mFailed) {
                return false;
            }
            // System-exclusive messages, timing clock and active sensing all reach the device,
            // as they would on any MIDI input.
            mInput->ignoreTypes(false, false, false);
            mInput->setCallback(&RtMidiInputConnection::Forward, &mSink);
            mInput->openPort(static_cast<unsigned>(index), "capture");
            return !mFailed && mInput->isPortOpen();
        } catch (const RtMidiError&) {
            return false;
        }
    }

    ~RtMidiInputConnection() override
    {
        // Closing the port and the client stops RtMidi's thread (or JACK's calls) first.
        mInput.reset();
    }

private:
    static void Forward(double /*deltaSeconds*/, std::vector<unsigned char>* message, void* sink)
    {
        if (message != nullptr && !message->empty()) {
            static_cast<InputSink*>(sink)->OnMessage(message->data(), message->size());
        }
    }

    InputSink& mSink;
    std::atomic<bool> mFailed{false};
    std::unique_ptr<RtMidiIn> mInput;
};

class RtMidiOutputConnection final : public OutputConnection
{
public:
    bool Open(const DeviceEntry& device)
    {
        try {
            mOutput = std::make_unique<RtMidiOut>(ApiOf(device), kClientName);
            mOutput->setErrorCallback(&RecordRtMidiError, &mFailed);
            const int32_t index = FindPort(*mOutput, device.name);
            if (index < 0 || mFailed) {
                return false;
            }
            mOutput->openPort(static_cast<unsigned>(index), "render");
            return !mFailed && mOutput->isPortOpen();
        } catch (const RtMidiError&) {
            return false;
        }
    }

    SendResult Send(const uint8_t* bytes, size_t count, bool /*isLong*/) override
    {
        mFailed = false;
        try {
            mOutput->sendMessage(bytes, count);
        } catch (const RtMidiError&) {
            return SendResult::Failed;
        }
        return mFailed ? SendResult::Failed : SendResult::Done;
    }

private:
    std::atomic<bool> mFailed{false};
    std::unique_ptr<RtMidiOut> mOutput;
};

class RtMidiJackPublication final : public JackPublication
{
public:
    explicit RtMidiJackPublication(std::function<void(const std::vector<uint8_t>&)> onReceived)
        : mOnReceived(std::move(onReceived))
    {}

    bool Open(const std::string& name)
    {
        if (!OpenJackClient(kClientName)) {
            return false; // no server: RtMidi would only complain on standard error
        }
        try {
            const std::string portName = name + " MIDI 1";
            mInput = std::make_unique<RtMidiIn>(RtMidi::UNIX_JACK, name);
            mInput->setErrorCallback(&RecordRtMidiError, &mFailed);
            mInput->ignoreTypes(false, false, false);
            mInput->setCallback(&RtMidiJackPublication::Forward, this);
            mInput->openVirtualPort(portName);
            mOutput = std::make_unique<RtMidiOut>(RtMidi::UNIX_JACK, name);
            mOutput->setErrorCallback(&RecordRtMidiError, &mFailed);
            mOutput->openVirtualPort(portName);
            return !mFailed;
        } catch (const RtMidiError&) {
            return false;
        }
    }

    ~RtMidiJackPublication() override
    {
        mInput.reset(); // no call of onReceived after this
        mOutput.reset();
    }

    void Send(const uint8_t* bytes, size_t count) override
    {
        const std::lock_guard<std::mutex> lock(mSendMutex);
        try {
            mOutput->sendMessage(bytes, count);
        } catch (const RtMidiError&) {
            // A message the server refused is lost, as on a cable.
        }
    }

private:
    static void Forward(double /*deltaSeconds*/, std::vector<unsigned char>* message, void* self)
    {
        if (message != nullptr && !message->empty()) {
            const std::vector<uint8_t> bytes(message->begin(), message->end());
            static_cast<RtMidiJackPublication*>(self)->mOnReceived(bytes);
        }
    }

    std::function<void(const std::vector<uint8_t>&)> mOnReceived;
    std::atomic<bool> mFailed{false};
    std::mutex mSendMutex;
    std::unique_ptr<RtMidiIn> mInput;
    std::unique_ptr<RtMidiOut> mOutput;
};

} // namespace

void AppendSystemDevices(bool inputs, std::vector<DeviceEntry>& devices)
{
    AppendAlsaPorts(inputs, devices);
    AppendJackPorts(inputs, devices);
}

std::unique_ptr<InputConnection> ConnectSystemInput(const DeviceEntry& device, InputSink& sink)
{
    auto connection = std::make_unique<RtMidiInputConnection>(sink);
    if (!connection->Open(device)) {
        return nullptr;
    }
    return connection;
}

std::unique_ptr<OutputConnection> ConnectSystemOutput(const DeviceEntry& device)
{
    auto connection = std::make_unique<RtMidiOutputConnection>();
    if (!connection->Open(device)) {
        return nullptr;
    }
    return connection;
}

std::unique_ptr<JackPublication>
PublishOnJack(const std::string& name, std::function<void(const std::vector<uint8_t>&)> onReceived)
{
    auto publication = std::make_unique<RtMidiJackPublication>(std::move(onReceived));
    if (!publication->Open(name)) {
        return nullptr;
    }
    return publication;
}

} // namespace svp::midi
