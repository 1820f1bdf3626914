// What the MIDI devices of MidiDevices.h run over: the system's transports (the ALSA sequencer
// and JACK, through RtMidi) and the in-process virtual devices. Internal to the platform layer.
#pragma once

#include "VirtualMidiDevice.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace svp::midi {

// Where an open input device takes what arrives; called on the transport's own thread.
class InputSink
{
public:
    virtual ~InputSink() = default;
    // One message, or a piece of a system-exclusive message, as the transport delivers it.
    virtual void OnMessage(const uint8_t* bytes, size_t count) = 0;
    // System-exclusive bytes to be handed back in a buffer of their own.
    virtual void OnPiece(const uint8_t* bytes, size_t count) = 0;
    // Bytes to be handed back in a buffer marked broken.
    virtual void OnBrokenBuffer(const uint8_t* bytes, size_t count) = 0;
};

// An input device's link to its transport. Destroying it disconnects; once the destructor has
// returned the sink is not called again.
class InputConnection
{
public:
    virtual ~InputConnection() = default;
};

enum class SendResult
{
    Done,   // sent
    Hung,   // taken, but the device never reports it done
    Failed, // refused
};

// An output device's link to its transport; one Send at a time.
class OutputConnection
{
public:
    virtual ~OutputConnection() = default;
    virtual SendResult Send(const uint8_t* bytes, size_t count, bool isLong) = 0;
};

struct DeviceEntry
{
    enum class Transport
    {
        AlsaSequencer,
        Jack,
        InProcess,
    };
    Transport transport = Transport::InProcess;
    std::string name;
    std::shared_ptr<VirtualMidiDevice::State> virtualDevice; // in-process devices only
};

// Every client this layer makes to carry its own connections has this name (a server numbers
// further clients "SV MIDI-01", ...); their ports are not devices.
constexpr const char* kOwnClientName = "SV MIDI";
// True for a "client:port" name whose client is one of this layer's.
bool IsOwnPortName(const std::string& portName);

// The system's devices: the ALSA sequencer's ports where /dev/snd/seq can be opened, then the
// MIDI ports of a running JACK server. Ports of this layer's own connections are left out.
void AppendSystemDevices(bool inputs, std::vector<DeviceEntry>& devices);
// Null when the device cannot be opened (gone, refused, no server).
std::unique_ptr<InputConnection> ConnectSystemInput(const DeviceEntry& device, InputSink& sink);
std::unique_ptr<OutputConnection> ConnectSystemOutput(const DeviceEntry& device);

// The in-process virtual devices, in the order of their creation.
void AppendVirtualDevices(std::vector<DeviceEntry>& devices);
std::unique_ptr<InputConnection> ConnectVirtualInput(const DeviceEntry& device, InputSink& sink);
std::unique_ptr<OutputConnection> ConnectVirtualOutput(const DeviceEntry& device);

// A device published on JACK for other processes: a client named after the device with one
// MIDI input and one MIDI output port.
class JackPublication
{
public:
    virtual ~JackPublication() = default;
    // Sends one message (or piece) from the device's output port.
    virtual void Send(const uint8_t* bytes, size_t count) = 0;
};

// Null when no JACK server runs. onReceived gets each message sent to the device, on JACK's
// thread, until the publication is destroyed.
std::unique_ptr<JackPublication>
PublishOnJack(const std::string& name, std::function<void(const std::vector<uint8_t>&)> onReceived);

} // namespace svp::midi
