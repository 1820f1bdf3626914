// How long a system-exclusive message takes from arriving at an input device until the port
// layer has assembled it from the 256-byte buffers and raised it on its pool thread.
#include "EngineNotificationNames.h"
#include "Midi/MidiComm.h"

#include "MidiCaptureRecorder.h"
#include "VirtualMidiDevice.h"

#include <benchmark/benchmark.h>

#include <condition_variable>
#include <mutex>
#include <vector>

namespace {

class SilentPeer : public svtest::VirtualMidiPeer
{
public:
    void OnMidiReceived(const std::vector<uint8_t>& /*bytes*/) override {}
};

// Counts the messages raised and keeps the size of the last.
class CountingReceiver : public SV::LNotificationClient
{
public:
    void Receive(const SV::ConstRCPtr<SV::LNotificationDistributor>& /*sender*/,
                 const SV::ConstRCPtr<SV::LNotification>& notification) override
    {
        const auto* data =
            dynamic_cast<const SV::LMidiCaptureNotificationData*>(notification->GetPayload().Get());
        const std::lock_guard<std::mutex> lock(mutex);
        lastSize = data != nullptr ? static_cast<size_t>(data->GetCount()) : 0;
        ++count;
        changed.notify_all();
    }

    std::mutex mutex;
    std::condition_variable changed;
    size_t count = 0;
    size_t lastSize = 0;
};

void AssembleCapturedMessage(benchmark::State& state)
{
    svtest::UseOnlyInProcessMidiDevices();
    const auto size = static_cast<size_t>(state.range(0));
    SilentPeer peer;
    svtest::VirtualMidiDevice device("Benchmark Keys", peer);
    const SV::RCPtr<SV::LMidiComm> comm = SV::LMidiComm::Create();
    const SV::RCPtr<CountingReceiver> receiver(new CountingReceiver());
    {
        const std::lock_guard<SV::Mutex> delivery(comm->GetDeliveryLock());
        receiver->Register(comm, SV::kNidMidiDataCaptured);
    }
    SV::RCPtr<SV::LMidiCapturePort> input;
    if (comm->OpenCapturePort(u"Benchmark Keys", input) != 0) {
        state.SkipWithError("the virtual device does not open");
        return;
    }
    std::vector<uint8_t> message(size, 0x11);
    message.front() = 0xF0;
    message.back() = 0xF7;
    size_t expected = 0;
    for (auto _ : state) {
        device.Deliver(message);
        ++expected;
        std::unique_lock<std::mutex> lock(receiver->mutex);
        receiver->changed.wait(lock, [&] { return receiver->count == expected; });
    }
    if (receiver->lastSize != size) {
        state.SkipWithError("the message was not assembled whole");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(size));
    input = nullptr;
    const std::lock_guard<SV::Mutex> delivery(comm->GetDeliveryLock());
    receiver->Unregister(comm, SV::kNidMidiDataCaptured);
}

BENCHMARK(AssembleCapturedMessage)->Arg(23)->Arg(4096)->UseRealTime();

} // namespace
