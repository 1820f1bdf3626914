// What an input device makes of the bytes that arrive: short messages packed for MIM_DATA, and
// system-exclusive bytes written into the caller's buffers as a driver does (a buffer goes back
// when it is full or holds the closing F7; a status byte ends an unfinished message, real-time
// bytes may come in between). It only writes and answers what to hand to the callback, one step
// at a time, so that buffers the callback hands back in between are used for the rest; it has
// no thread and no lock of its own. Internal to the platform layer.
#pragma once

#include "MidiDevices.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

namespace svp {

class MidiInputWriter
{
public:
    enum class Kind
    {
        Message, // a short message, or system-exclusive bytes written on across buffers
        Piece,   // system-exclusive bytes handed back in buffers of their own
        Broken,  // bytes handed back in a buffer marked broken
    };

    // One call of the callback: MIM_DATA or MIM_MOREDATA with the packed message, MIM_LONGDATA
    // or MIM_LONGERROR with the buffer's header (already marked done and taken off the queue).
    struct Handover
    {
        uint32_t message = 0;
        uintptr_t param1 = 0;
        uint32_t time = 0;
    };

    // A prepared, empty buffer to fill after the others.
    void AddBuffer(MIDIHDR* header);
    bool HasBuffers() const { return !mBuffers.empty(); }
    size_t GetBufferCount() const { return mBuffers.size(); }
    // The front buffer as it stands, marked done, for a reset; null when none is queued.
    MIDIHDR* TakeFrontBuffer();

    // Starts on one arrival; moreWaiting marks short messages MIM_MOREDATA.
    void Begin(Kind kind, std::vector<uint8_t> bytes, uint32_t time, bool moreWaiting);
    // The next handover of the arrival, or nothing once it is written (or dropped).
    std::optional<Handover> Next();
    // Input stops: the arrival in hand is dropped, an unfinished message ends, and the buffer
    // it was written into comes back.
    std::optional<Handover> Stop();

private:
    enum class Step
    {
        Done,
        EndUnfinished, // hand back what an interrupted message wrote, then go on
        Long,
        Piece,
        Short,
        Broken,
    };

    std::optional<Handover> HandBackFront(uint32_t message);
    std::optional<Handover> WriteLong();
    std::optional<Handover> WritePiece();

    std::deque<MIDIHDR*> mBuffers; // queued by the caller, filled front first
    bool mInSysEx = false;         // a system-exclusive message has begun and not ended

    // The arrival in hand.
    Step mStep = Step::Done;
    Step mAfterEnd = Step::Done;
    std::vector<uint8_t> mBytes;
    size_t mPosition = 0;
    uint32_t mTime = 0;
    bool mMoreWaiting = false;
};

} // namespace svp
