// What the MIDI devices of MidiDevices.h run over. The platform layer registers the system's
// transports (the ALSA sequencer, then JACK); other code may register transports of its own,
// whose devices are listed after the system's, in the order of registration.
#pragma once

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
    [[nodiscard]] virtual SendResult Send(const uint8_t* bytes, size_t count, bool isLong) = 0;
};

class Transport;

// One device as a transport lists it. `device` is the transport's own data about it; `transport`
// is filled in by the registry.
struct DeviceEntry
{
    std::string name;
    std::shared_ptr<void> device;
    std::shared_ptr<Transport> transport;
};

// Its calls may come from any thread, several at a time.
class Transport
{
public:
    virtual ~Transport() = default;
    // Appends the devices it has now: inputs (devices the program reads from) or outputs.
    virtual void AppendDevices(bool inputs, std::vector<DeviceEntry>& devices) = 0;
    // Null when the device cannot be opened (gone, refused, no server).
    [[nodiscard]] virtual std::unique_ptr<InputConnection> ConnectInput(const DeviceEntry& device,
                                                                        InputSink& sink) = 0;
    [[nodiscard]] virtual std::unique_ptr<OutputConnection>
    ConnectOutput(const DeviceEntry& device) = 0;
};

// Lists the transport's devices from the next device count on, after those listed already.
// Registering one twice lists it once.
void RegisterTransport(const std::shared_ptr<Transport>& transport);
// Its devices are no longer listed; connections made on it stay as they are.
void UnregisterTransport(const std::shared_ptr<Transport>& transport);
// The devices of every registered transport, in the order of registration.
void AppendRegisteredDevices(bool inputs, std::vector<DeviceEntry>& devices);

// A device made available on the running JACK server for other processes: a client named after
// the device with one MIDI input and one MIDI output port.
class JackPublication
{
public:
    virtual ~JackPublication() = default;
    // Sends one message (or piece) from the device's output port; one that the server cannot
    // take is lost, as on a cable.
    virtual void Send(const uint8_t* bytes, size_t count) = 0;
};

// A client of its own named after the device, with the ports "<name> MIDI 1 in" (what other
// clients send arrives here) and "<name> MIDI 1 out"; null when no server runs. onReceived gets
// each message sent to the device, on JACK's thread, until the publication is destroyed.
[[nodiscard]] std::unique_ptr<JackPublication>
PublishOnJack(const std::string& name, std::function<void(const std::vector<uint8_t>&)> onReceived);

} // namespace svp::midi
