// The JACK transport of the MIDI devices, written on libjack. One client of this process lists
// the server's ports and carries every connection: opening a device takes a port of that client
// and connects it, closing hands the port back still connected, so that a get or a send neither
// creates a client nor registers or closes a port. Internal to the platform layer.
#pragma once

#include "MidiTransports.h"
#include "SystemMidiTransports.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace svp::midi {

// The MIDI ports of the running server that are devices (ports of this layer's clients are left
// out); a server that is absent is asked for again at most once every kJackProbeInterval.
void AppendJackDevices(bool inputs, std::vector<DeviceEntry>& devices);
// Null when the server or the port has gone.
std::unique_ptr<InputConnection> ConnectJackInput(const DeviceEntry& device, InputSink& sink);
std::unique_ptr<OutputConnection> ConnectJackOutput(const DeviceEntry& device);

// A client of its own named after the device, with the ports "<name> MIDI 1 in" (what the
// program sends arrives here) and "<name> MIDI 1 out"; null when no server runs.
std::unique_ptr<JackPublication>
PublishJackDevice(const std::string& name,
                  std::function<void(const std::vector<uint8_t>&)> onReceived);

} // namespace svp::midi
