// A receiver of the port layer's "NID_MIDI_DATA_CAPTURED": keeps every message that reaches it
// with the thread it came on, and lets a test wait for them. Also keeps an in-process test away
// from any JACK server, so that only the virtual devices of the test are listed.
//
// Header only: it needs the port layer's headers, which only the engine's test folders see.
#pragma once

#include "EngineNotificationNames.h"
#include "Midi/MidiComm.h"
#include "Notification/NotificationClient.h"

#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace svtest {

// No JACK server is met or started by this process; call before the first device list is
// taken.
inline void UseOnlyInProcessMidiDevices()
{
    setenv("JACK_NO_START_SERVER", "1", 1);
    const std::string none = "svtest-no-server-" + std::to_string(getpid());
    setenv("JACK_DEFAULT_SERVER", none.c_str(), 1);
}

class MidiCaptureRecorder : public SV::LNotificationClient
{
public:
    struct Message
    {
        std::vector<uint8_t> bytes;
        uint32_t timeStamp = 0;
        std::u16string portName;
        std::thread::id thread;
    };

    // Registers under the layer's delivery lock, as every receiver of the layer must.
    void Listen(const SV::RCPtr<SV::LMidiComm>& portLayer)
    {
        const std::lock_guard<SV::Mutex> delivery(portLayer->GetDeliveryLock());
        Register(portLayer, SV::kNidMidiDataCaptured);
    }
    void StopListening(const SV::RCPtr<SV::LMidiComm>& portLayer)
    {
        const std::lock_guard<SV::Mutex> delivery(portLayer->GetDeliveryLock());
        Unregister(portLayer, SV::kNidMidiDataCaptured);
    }

    void Receive(const SV::ConstRCPtr<SV::LNotificationDistributor>& /*sender*/,
                 const SV::ConstRCPtr<SV::LNotification>& notification) override
    {
        const auto* data =
            dynamic_cast<const SV::LMidiCaptureNotificationData*>(notification->GetPayload().Get());
        if (data == nullptr) {
            return;
        }
        Message message;
        const auto* bytes = reinterpret_cast<const uint8_t*>(data->GetBytes().GetData());
        message.bytes.assign(bytes, bytes + data->GetCount());
        message.timeStamp = data->GetTimeStamp();
        message.portName = data->GetPortName().GetText();
        message.thread = std::this_thread::get_id();
        const std::lock_guard<std::mutex> lock(mMutex);
        mMessages.push_back(std::move(message));
        mChanged.notify_all();
    }

    // Waits until at least count messages have come; false after the time-out.
    bool WaitFor(size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(10))
    {
        std::unique_lock<std::mutex> lock(mMutex);
        return mChanged.wait_for(lock, timeout, [&] { return mMessages.size() >= count; });
    }

    std::vector<Message> Messages()
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        return mMessages;
    }

    void Clear()
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        mMessages.clear();
    }

private:
    std::mutex mMutex;
    std::condition_variable mChanged;
    std::vector<Message> mMessages;
};

} // namespace svtest
