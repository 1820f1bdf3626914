// A program's end of a MIDI device for tests: opens the input and the output device whose names
// contain a text through the platform's WinMM-shaped layer, keeps three 256-byte input buffers
// with the input device (each handed back at once from the callback, as the port layer does) and
// records everything the input hands over.
#pragma once

#include "MidiDevices.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace svtest {

class MidiTestConnection
{
public:
    struct Event
    {
        uint32_t message = 0;       // MIM_DATA, MIM_MOREDATA, MIM_LONGDATA or MIM_LONGERROR
        std::vector<uint8_t> bytes; // long: the buffer's bytes
        uint32_t packed = 0;        // short: parameter 1 as it came
        uint32_t time = 0;          // parameter 2
    };

    static constexpr size_t kBufferCount = 3;
    static constexpr size_t kBufferSize = 256;

    // Opens both devices; IsOpen tells whether both opened and the input started.
    explicit MidiTestConnection(const std::string& name, uint32_t inputFlags = CALLBACK_FUNCTION);
    // Resets and closes both devices.
    ~MidiTestConnection();
    MidiTestConnection(const MidiTestConnection&) = delete;
    MidiTestConnection& operator=(const MidiTestConnection&) = delete;

    bool IsOpen() const { return mInput != nullptr && mOutput != nullptr; }
    svp::HMIDIIN GetInput() const { return mInput; }
    svp::HMIDIOUT GetOutput() const { return mOutput; }

    // The lowest index whose device name contains name, or -1.
    static int32_t FindInput(const std::string& name);
    static int32_t FindOutput(const std::string& name);

    MMRESULT SendShort(uint32_t packed) const;
    // Sends one long message and waits for its MOM_DONE; MMSYSERR_ERROR after the time-out.
    MMRESULT SendLong(const std::vector<uint8_t>& bytes,
                      std::chrono::milliseconds timeout = std::chrono::seconds(5));

    // Waits until at least count events have come; false after the time-out.
    bool WaitForEvents(size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(5));
    std::vector<Event> GetEvents() const;
    // The messages assembled from the long buffers so far (F0 ... F7 each).
    std::vector<std::vector<uint8_t>> GetLongMessages() const;

private:
    static void OnInput(svp::HMIDIIN handle, uint32_t message, uintptr_t instance, uintptr_t param1,
                        uintptr_t param2);
    static void OnOutput(svp::HMIDIOUT handle, uint32_t message, uintptr_t instance,
                         uintptr_t param1, uintptr_t param2);

    svp::HMIDIIN mInput = nullptr;
    svp::HMIDIOUT mOutput = nullptr;
    std::array<svp::MIDIHDR, kBufferCount> mHeaders{};
    std::array<std::array<char, kBufferSize>, kBufferCount> mData{};

    mutable std::mutex mMutex;
    mutable std::condition_variable mChanged;
    std::vector<Event> mEvents;
    bool mClosing = false;
    size_t mDoneCount = 0; // MOM_DONE callbacks so far
};

} // namespace svtest
