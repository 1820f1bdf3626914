// An open MIDI input device of the port layer: three 256-byte buffers kept with the driver and
// handed back to it as soon as each returns, and the system-exclusive message being collected
// from buffers that did not complete it. Owned by its LMidiComm's list; closed when its last
// outside holder lets it go.
#pragma once

#include "Midi/MidiCaptureNotificationData.h"
#include "MidiDevices.h"
#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/StringT.h"

#include <array>
#include <cstdint>

namespace SV {

class LMidiComm;

class LMidiCapturePort : public virtual LRefCountedObject
{
public:
    static constexpr int32_t kBufferCount = 3;
    static constexpr uint32_t kBufferSize = 256;

    // Sets up the three buffers and hands each to the device, which must be open and not
    // started yet.
    LMidiCapturePort(const WideString& name, svp::HMIDIIN handle, const RCPtr<LMidiComm>& owner);
    // Closes the device: stop, reset, unprepare every buffer, close. Runs outside the owner's
    // lock, since stop, reset and close wait for a callback of the device on another thread.
    ~LMidiCapturePort() override;
    LMidiCapturePort(const LMidiCapturePort&) = delete;
    LMidiCapturePort& operator=(const LMidiCapturePort&) = delete;

    // The device's name as the driver reports it.
    const WideString& GetName() const { return mName; }
    // The open device; null once closed.
    svp::HMIDIIN GetHandle() const { return mHandle; }
    const RCPtr<LMidiComm>& GetOwner() const { return mOwner; }

    // Runs when the owner's list holds the only other reference: takes the port out of the
    // list, so that the release in progress destroys and closes it.
    int32_t ReleaseHook() override;

private:
    friend class LMidiComm;

    struct InputBuffer
    {
        InputBuffer() = default;
        InputBuffer(const InputBuffer&) = delete;
        InputBuffer& operator=(const InputBuffer&) = delete;
        // Unprepares the header when it is still prepared for a device.
        ~InputBuffer();

        svp::MIDIHDR header;
        char data[kBufferSize] = {};
        // The device the header is prepared for; null when it is not.
        svp::HMIDIIN handle = nullptr;
    };

    // The owner calls these under its lock, from the device's callbacks.

    // Counts the list's reference as one of the port's own.
    void OnListed() { AddInternalRef(); }
    // A short message: the packed bytes (status lowest) and the driver's time stamp.
    RCPtr<LMidiCaptureNotificationData> MakeShortMessage(uintptr_t packed, uintptr_t timeStamp);
    // One returned buffer's bytes of a system-exclusive message; the whole message once a
    // buffer completes it, else null.
    RCPtr<LMidiCaptureNotificationData> CollectSysEx(const char* bytes, int32_t count,
                                                     bool complete);
    // The message being collected has lost bytes: it is dropped whole.
    void DropPendingMessage() { mPending = nullptr; }
    // Hands the buffer of the header back to the driver, unless the port is closing.
    void RefillBuffer(svp::MIDIHDR* header);

    WideString mName;
    svp::HMIDIIN mHandle = nullptr;
    RCPtr<LMidiComm> mOwner;
    std::array<InputBuffer, kBufferCount> mBuffers;
    bool mClosing = false;
    RCPtr<LMidiCaptureNotificationData> mPending;
};

} // namespace SV
