// The MIDI port layer: opens input and output devices by part of their name, sends short and
// system-exclusive messages, and turns every complete message that arrives into a
// "NID_MIDI_DATA_CAPTURED" notification (payload: LMidiCaptureNotificationData).
//
// The device callbacks never run receivers: they assemble each message under the layer's lock
// and queue it on the layer's own thread pool (one worker), whose worker raises the
// notification. Receivers therefore run on that worker, one message at a time, in arrival order.
#pragma once

#include "Midi/MidiCaptureNotificationData.h"
#include "Midi/MidiCapturePort.h"
#include "Midi/MidiRenderPort.h"
#include "MidiDevices.h"
#include "Notification/NotificationDistributor.h"
#include "ObjectBase/RCPtr.h"
#include "Threads/Mutex.h"
#include "Threads/ThreadPool.h"
#include "Threads/ThreadWorker.h"
#include "Utilities/Storage/IArray.h"
#include "Utilities/Storage/RCPtrArray.h"
#include "Utilities/Storage/StringT.h"

#include <atomic>
#include <cstdint>

namespace SV {

class LMidiCommInterface : public LNotificationDistributor
{
public:
    // 0 with the port; E_FAIL with the output cleared.
    virtual int32_t OpenCapturePort(const WideString& deviceName,
                                    RCPtr<LMidiCapturePort>& port) = 0;
    virtual int32_t OpenRenderPort(const WideString& deviceName, RCPtr<LMidiRenderPort>& port) = 0;
    // The bytes sent; E_INVALIDARG for anything but a render port or no bytes; E_FAIL when the
    // device refuses the message or a long message is not done in time.
    virtual int32_t Send(const ConstRCPtr<LRefCountedObject>& port,
                         const IArray<signed char>& bytes) = 0;
};

class LMidiComm : public LMidiCommInterface, public LThreadWorker
{
public:
    // How long a send waits for the port to be free, and for a long message to be done.
    static constexpr int32_t kSendTimeoutMilliseconds = 10000;
    // The longest system-exclusive message collected; a longer one is dropped whole.
    static constexpr int32_t kMaxSysExLength = 65536;
    // The pool's worker count and its dispatcher's thread priority; jobs run at priority 0.
    static constexpr int32_t kWorkerCount = 1;
    static constexpr int32_t kDispatcherPriority = 2;

    static RCPtr<LMidiComm> Create();

    LMidiComm();
    ~LMidiComm() override;
    LMidiComm(const LMidiComm&) = delete;
    LMidiComm& operator=(const LMidiComm&) = delete;

    // A port of this layer whose name contains the name asked for (in any letter case) is
    // returned again; otherwise the lowest-numbered device whose name contains it is opened
    // (and an input started). Devices after the first match are never tried.
    int32_t OpenCapturePort(const WideString& deviceName, RCPtr<LMidiCapturePort>& port) override;
    int32_t OpenRenderPort(const WideString& deviceName, RCPtr<LMidiRenderPort>& port) override;
    // A status byte other than F0 and F7 first: one short message of up to four bytes,
    // answering the length its status implies. Otherwise one long message, waited for until
    // the device reports it done. No lock is taken: senders on one port are kept apart only by
    // the port's ready gate.
    int32_t Send(const ConstRCPtr<LRefCountedObject>& port,
                 const IArray<signed char>& bytes) override;

    // The device callbacks; the instance word is the LMidiComm. Any thread of the device.
    static void OnMidiInput(svp::HMIDIIN handle, uint32_t message, uintptr_t instance,
                            uintptr_t param1, uintptr_t param2);
    static void OnMidiOutput(svp::HMIDIOUT handle, uint32_t message, uintptr_t instance,
                             uintptr_t param1, uintptr_t param2);

    // The pool's job: raises "NID_MIDI_DATA_CAPTURED" with the record as payload.
    int32_t DistributeCapturedData(const ConstRCPtr<LRefCountedObject>& data);
    int32_t Run(const ConstRCPtr<LRefCountedObject>& parameter) override;

    // Held while the receivers of "NID_MIDI_DATA_CAPTURED" run. Whoever registers or
    // unregisters a receiver with this layer (or changes what a receiver reads of its own
    // registrations) holds it too: a registration never changes under a delivery, and once an
    // unregistration made under it has returned, that receiver is not run again. Never take
    // this lock while a receiver could be waiting for you.
    Mutex& GetDeliveryLock() { return mDeliveryLock; }

    // Drops every registration still held, as any distributor does when it goes.
    int32_t ReleaseHook() override;

    // For tests: shortens both waits of Send.
    void SetSendTimeout(int32_t milliseconds) { mSendTimeout.store(milliseconds); }

    // How many messages this layer has captured so far: the sequence number of the last one.
    // Receivers tell input that came before a moment from input that came after it by this.
    uint64_t GetCapturedCount();

    int32_t GetCapturePortCount();
    int32_t GetRenderPortCount();

    // The request matches a device name that contains it, ignoring letter case.
    static bool NameMatches(const WideString& name, const WideString& request);
    // The bytes of a message from its first byte: 3 for 80-BF, E0-EF and F2; 2 for C0-DF, F1,
    // F3, F4 and F5; 0 for F0 and F7 (a system-exclusive message is as long as it is); 1 for
    // F6, F8-FF and data bytes.
    static int32_t GetMidiMessageLength(uint8_t firstByte);
    // The bytes of a short message that arrived, from its status: as above, and 1 for F0 and
    // F7, which never arrive as short messages.
    static int32_t GetShortMessageLength(uint8_t status);

private:
    friend class LMidiCapturePort;
    friend class LMidiRenderPort;

    void HandleInput(svp::HMIDIIN handle, uint32_t message, uintptr_t param1, uintptr_t param2);
    void HandleOutput(svp::HMIDIOUT handle, uint32_t message, uintptr_t param1);
    // Under the lock: numbers the record and queues it.
    void QueueCapturedData(const RCPtr<LMidiCaptureNotificationData>& record);
    // From a port's release hook: takes the port out of its list into `removed`. S_OK, or
    // E_FAIL when the port is not in the list.
    int32_t RemoveCapturePort(const LMidiCapturePort* port, RCPtr<LMidiCapturePort>& removed);
    int32_t RemoveRenderPort(const LMidiRenderPort* port, RCPtr<LMidiRenderPort>& removed);

    // Declared first so that it goes last: the pool's worker may still hold it while the pool
    // is stopped.
    Mutex mDeliveryLock;
    RCPtrArray<LMidiCapturePort, 1, 0> mCapturePorts;
    RCPtrArray<LMidiRenderPort, 1, 0> mRenderPorts;
    RCPtr<LThreadPool> mThreadPool;
    // Guards both port lists and every capture port's collected message; held for a whole
    // open, a whole callback and a port's removal.
    Mutex mLock;
    // Under the lock.
    uint64_t mCapturedCount = 0;
    std::atomic<int32_t> mSendTimeout{kSendTimeoutMilliseconds};
};

} // namespace SV
