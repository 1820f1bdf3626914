// A MIDI device played by code: an input and an output device of one name whose far end is a
// VirtualMidiPeer. In-process devices are listed by midiInGetNumDevs and midiOutGetNumDevs of this
// process after the system's devices, in the order of creation (through a transport registered
// with the platform layer); JACK devices are published as a JACK client named after the device,
// for other processes (a JACK server must be running; none is started).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace svtest {

// The far end of a virtual device.
class VirtualMidiPeer
{
public:
    virtual ~VirtualMidiPeer() = default;

    // A message the program sent to the device: a short message's bytes, or a long message
    // whole. Runs on the sending device's thread (in-process) or on JACK's thread, one call at a
    // time; it may deliver input to the device, and should not wait for anything else.
    virtual void OnMidiReceived(const std::vector<uint8_t>& bytes) = 0;
};

class VirtualMidiDevice
{
public:
    enum class Transport
    {
        InProcess,
        Jack,
    };

    // The peer must outlive the device.
    VirtualMidiDevice(const std::string& name, VirtualMidiPeer& peer,
                      Transport transport = Transport::InProcess);
    // Withdraws the device. Open handles on it stay valid: they receive nothing more and what
    // they send goes nowhere. After this returns the peer is not called again.
    ~VirtualMidiDevice();
    VirtualMidiDevice(const VirtualMidiDevice&) = delete;
    VirtualMidiDevice& operator=(const VirtualMidiDevice&) = delete;

    const std::string& GetName() const;
    Transport GetTransport() const;
    // False when a JACK device could not be published (no server).
    bool IsOpen() const;

    // A message arriving at the program's input: a short message, or system-exclusive bytes (a
    // whole message or a piece of one), which the input device writes into the program's
    // buffers as a driver does: a buffer goes back when it is full or holds the closing F7.
    void Deliver(const std::vector<uint8_t>& bytes);
    // System-exclusive bytes in the given pieces, each handed back in a buffer of its own
    // (a piece longer than the buffer fills several), as a driver that hands back each packet
    // as it comes. Over JACK each piece becomes a MIDI event of its own.
    void DeliverInBuffers(const std::vector<std::vector<uint8_t>>& pieces);
    // Bytes handed back in a buffer marked broken (MIM_LONGERROR). In-process only.
    void DeliverBrokenBuffer(const std::vector<uint8_t>& bytes);
    // While set, long messages sent to the device reach the peer but are never reported done,
    // as by a device that hangs; midiOutReset takes them back. In-process only.
    void SetHangOnLongMessages(bool hang);

    struct State;

private:
    std::shared_ptr<State> mState;
};

} // namespace svtest
