// An open output device. Short messages go out at once on the caller's thread; long messages
// are copied, queued and sent in order by the device's loop, which reports each done (MOM_DONE).
// Internal to the platform layer.
#pragma once

#include "MidiDeviceBase.h"
#include "MidiTransports.h"

#include <deque>
#include <memory>
#include <vector>

namespace svp {

struct MidiOutDevice final : MidiDeviceBase<MidiOutDevice, MidiOutProc>
{
    MidiOutDevice(MidiOutProc callback, uintptr_t instance);

    MMRESULT ShortMessage(uint32_t message);
    MMRESULT LongMessage(MIDIHDR* header);
    // Hands back every long message not yet done.
    MMRESULT Reset();
    MMRESULT Close();

    // The device's loop: sends the queued long messages in order.
    void Loop(std::unique_lock<std::mutex>& lock);

    std::unique_ptr<midi::OutputConnection> mConnection; // guarded by mSendMutex once open

private:
    struct Pending
    {
        MIDIHDR* header = nullptr;
        std::vector<uint8_t> bytes;
    };

    std::deque<Pending> mQueue;  // long messages not yet sent
    MIDIHDR* mSending = nullptr; // the one being sent
    std::vector<MIDIHDR*> mHung; // sent, never reported done by the device
    std::mutex mSendMutex;       // one message at a time on the transport
};

} // namespace svp
