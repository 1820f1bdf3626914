// The system's MIDI transports, which the registry lists first. Internal to the platform layer.
#pragma once

#include "MidiTransports.h"

#include <memory>
#include <string>
#include <vector>

namespace svp::midi {

// Every client this layer makes to carry its own connections has this name (a server numbers
// further clients "SV MIDI-01", ...); their ports are not devices.
constexpr const char* kOwnClientName = "SV MIDI";
// True for a "client:port" name whose client is one of this layer's.
bool IsOwnPortName(const std::string& portName);

// The ALSA sequencer's ports where /dev/snd/seq can be opened, then the MIDI ports of a running
// JACK server. Ports of this layer's own connections are left out.
std::vector<std::shared_ptr<Transport>> MakeSystemTransports();

} // namespace svp::midi
