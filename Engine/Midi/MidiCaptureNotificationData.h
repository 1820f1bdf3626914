// One message that arrived on a MIDI input port: its bytes, the port's name and, for a short
// message, the driver's time stamp. The payload of "NID_MIDI_DATA_CAPTURED". Records come from a
// recycling pool and keep up to four bytes inside themselves, so a warm pool receives short
// messages without touching the heap.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"
#include "Threads/ReuseAllocator.h"
#include "Utilities/Storage/ArrayBuffer.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace SV {

class LMidiCaptureNotificationData : public virtual LRefCountedObject,
                                     public ReusePooled<LMidiCaptureNotificationData>
{
public:
    using Bytes = ArrayBufferM<signed char, 4, 1, 0, 1, 8, &GetSystemAllocator>;

    // The expected size is a hint the record does not use: it grows as bytes are appended.
    static RCPtr<LMidiCaptureNotificationData> Create(const WideString& portName,
                                                      int32_t expectedSize);

    explicit LMidiCaptureNotificationData(const WideString& portName) : mPortName(portName) {}

    const Bytes& GetBytes() const { return mBytes; }
    Bytes& GetBytes() { return mBytes; }
    int32_t GetCount() const { return mBytes.GetCount(); }
    // Appends count bytes; false (and nothing appended) when the memory cannot be had.
    bool Append(const void* bytes, int32_t count);

    const WideString& GetPortName() const { return mPortName; }
    // Milliseconds since the input device was started, for short messages; 0 otherwise.
    uint32_t GetTimeStamp() const { return mTimeStamp; }
    void SetTimeStamp(uint32_t timeStamp) { mTimeStamp = timeStamp; }
    // The place of the message among those its port layer captured, from 1 on, in the order the
    // messages were completed; 0 for a record no port layer queued.
    uint64_t GetSequence() const { return mSequence; }
    void SetSequence(uint64_t sequence) { mSequence = sequence; }

private:
    Bytes mBytes;
    WideString mPortName;
    uint32_t mTimeStamp = 0;
    uint64_t mSequence = 0;
};

} // namespace SV
