// The system's MIDI transports: the ALSA sequencer through RtMidi, JACK on libjack itself.
#include "JackMidiTransport.h"
#include "SystemMidiTransports.h"

#include <RtMidi.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <utility>

namespace svp::midi {
namespace {

constexpr const char* kAlsaSequencerDevice = "/dev/snd/seq";

// With an error callback RtMidi reports instead of throwing; warnings are of no interest.
void RecordRtMidiError(RtMidiError::Type type, const std::string& /*text*/, void* failed)
{
    if (type != RtMidiError::WARNING && type != RtMidiError::DEBUG_WARNING) {
        static_cast<std::atomic<bool>*>(failed)->store(true);
    }
}

// failed must outlive midi.
void AppendPorts(RtMidi& midi, std::atomic<bool>& failed, std::vector<DeviceEntry>& devices)
{
    midi.setErrorCallback(&RecordRtMidiError, &failed);
    const unsigned count = midi.getPortCount();
    for (unsigned index = 0; index < count; ++index) {
        std::string name = midi.getPortName(index);
        if (!name.empty() && !IsOwnPortName(name)) {
            devices.push_back({std::move(name), nullptr, nullptr});
        }
    }
}

void AppendAlsaPorts(bool inputs, std::vector<DeviceEntry>& devices)
{
    std::atomic<bool> failed{false};
    try {
        if (inputs) {
            RtMidiIn midi(RtMidi::LINUX_ALSA, kOwnClientName);
            AppendPorts(midi, failed, devices);
        } else {
            RtMidiOut midi(RtMidi::LINUX_ALSA, kOwnClientName);
            AppendPorts(midi, failed, devices);
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
            mInput = std::make_unique<RtMidiIn>(RtMidi::LINUX_ALSA, kOwnClientName);
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
            mOutput = std::make_unique<RtMidiOut>(RtMidi::LINUX_ALSA, kOwnClientName);
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

} // namespace

bool IsOwnPortName(const std::string& portName)
{
    const size_t prefix = std::strlen(kOwnClientName);
    if (portName.compare(0, prefix, kOwnClientName) != 0) {
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

namespace {

class AlsaTransport final : public Transport
{
public:
    void AppendDevices(bool inputs, std::vector<DeviceEntry>& devices) override
    {
        if (HasSequencer()) {
            AppendAlsaPorts(inputs, devices);
        }
    }

    std::unique_ptr<InputConnection> ConnectInput(const DeviceEntry& device,
                                                  InputSink& sink) override
    {
        auto connection = std::make_unique<RtMidiInputConnection>(sink);
        if (!connection->Open(device)) {
            return nullptr;
        }
        return connection;
    }

    std::unique_ptr<OutputConnection> ConnectOutput(const DeviceEntry& device) override
    {
        auto connection = std::make_unique<RtMidiOutputConnection>();
        if (!connection->Open(device)) {
            return nullptr;
        }
        return connection;
    }

private:
    // Opening the sequencer without /dev/snd/seq only fills standard error with ALSA's
    // complaints. Until the device is there every listing looks for it, as it appears when a
    // keyboard's driver loads the sequencer; once seen it is taken to stay, and should it go
    // after all, RtMidi answers no ports.
    bool HasSequencer()
    {
        if (mSequencerSeen.load(std::memory_order_relaxed)) {
            return true;
        }
        if (access(kAlsaSequencerDevice, R_OK | W_OK) != 0) {
            return false;
        }
        mSequencerSeen.store(true, std::memory_order_relaxed);
        return true;
    }

    std::atomic<bool> mSequencerSeen{false};
};

class JackTransport final : public Transport
{
public:
    void AppendDevices(bool inputs, std::vector<DeviceEntry>& devices) override
    {
        AppendJackDevices(inputs, devices);
    }

    std::unique_ptr<InputConnection> ConnectInput(const DeviceEntry& device,
                                                  InputSink& sink) override
    {
        return ConnectJackInput(device, sink);
    }

    std::unique_ptr<OutputConnection> ConnectOutput(const DeviceEntry& device) override
    {
        return ConnectJackOutput(device);
    }
};

} // namespace

std::vector<std::shared_ptr<Transport>> MakeSystemTransports()
{
    return {std::make_shared<AlsaTransport>(), std::make_shared<JackTransport>()};
}

std::unique_ptr<JackPublication>
PublishOnJack(const std::string& name, std::function<void(const std::vector<uint8_t>&)> onReceived)
{
    return PublishJackDevice(name, std::move(onReceived));
}

} // namespace svp::midi
