// An open MIDI output device of the port layer, with the gate that keeps one long message in
// flight at a time. Owned by its LMidiComm's list; closed when its last outside holder lets it
// go.
#pragma once

#include "MidiDevices.h"
#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"
#include "Threads/Event.h"
#include "Utilities/Storage/StringT.h"

#include <atomic>
#include <cstdint>

namespace SV {

class LMidiComm;

class LMidiRenderPort : public virtual LRefCountedObject
{
public:
    LMidiRenderPort(const WideString& name, svp::HMIDIOUT handle, const RCPtr<LMidiComm>& owner);
    // Closes the device; runs outside the owner's lock, since closing waits for a callback of
    // the device on another thread.
    ~LMidiRenderPort() override;
    LMidiRenderPort(const LMidiRenderPort&) = delete;
    LMidiRenderPort& operator=(const LMidiRenderPort&) = delete;

    const WideString& GetName() const { return mName; }
    svp::HMIDIOUT GetHandle() const { return mHandle; }
    const RCPtr<LMidiComm>& GetOwner() const { return mOwner; }

    // Takes the port out of its owner's list, as the capture port does.
    int32_t ReleaseHook() override;

private:
    friend class LMidiComm;

    void OnListed() { AddInternalRef(); }

    WideString mName;
    svp::HMIDIOUT mHandle = nullptr;
    RCPtr<LMidiComm> mOwner;
    // Set while no long message is in flight; sending through a port is not changing it, so
    // the gate may be used through a const port.
    mutable TrafficLight mReadyGate;
    // The header of the long message in flight, which lives on the sender's stack.
    mutable std::atomic<const svp::MIDIHDR*> mHeaderInFlight{nullptr};
};

} // namespace SV
