// An open input device. What the transport delivers is queued with its time and handed to the
// callback by the device's loop, one arrival at a time: short messages as MIM_DATA, long
// messages written into the queued buffers (MidiInputWriter). Internal to the platform layer.
#pragma once

#include "MidiDeviceBase.h"
#include "MidiInputWriter.h"
#include "MidiTransports.h"

#include <chrono>
#include <deque>
#include <memory>
#include <vector>

namespace svp {

struct MidiInDevice final : midi::InputSink, MidiDeviceBase<MidiInDevice, MidiInProc>
{
    MidiInDevice(MidiInProc callback, uintptr_t instance, bool reportMoreData);

    // --- the transport's side, on its thread
    void OnMessage(const uint8_t* bytes, size_t count) override;
    void OnPiece(const uint8_t* bytes, size_t count) override;
    void OnBrokenBuffer(const uint8_t* bytes, size_t count) override;

    // --- the caller's side
    MMRESULT AddBuffer(MIDIHDR* header);
    MMRESULT Start();
    MMRESULT Stop();
    MMRESULT Reset();
    // Disconnects from the transport; the loop ends by itself.
    MMRESULT Close();

    // The device's loop: hands over one arrival at a time while the device is started.
    void Loop(std::unique_lock<std::mutex>& lock);

    std::unique_ptr<midi::InputConnection> mConnection;

private:
    using Clock = std::chrono::steady_clock;

    struct Arrival
    {
        MidiInputWriter::Kind kind = MidiInputWriter::Kind::Message;
        std::vector<uint8_t> bytes;
        uint32_t time = 0;
    };

    void Queue(MidiInputWriter::Kind kind, const uint8_t* bytes, size_t count);
    // Waits until no other thread delivers or runs a callback of this device.
    void WaitUntilIdle(std::unique_lock<std::mutex>& lock);
    void StopUnderLock(std::unique_lock<std::mutex>& lock);
    // True while the device should go on with the arrival in hand.
    bool IsReceiving() const { return mStarted && !mClosing; }
    void Deliver(std::unique_lock<std::mutex>& lock, Arrival arrival);

    const bool mReportMoreData;
    MidiInputWriter mWriter; // the caller's buffers and what is written into them
    std::deque<Arrival> mArrivals;
    bool mStarted = false;
    bool mDelivering = false; // the loop is handing over an arrival
    Clock::time_point mStartTime;
};

} // namespace svp
