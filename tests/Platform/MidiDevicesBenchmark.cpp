// How long a system-exclusive message takes from arriving at an input device until its last
// buffer has been handed to the callback and the message assembled from the buffers, each buffer
// handed back to the device from the callback as the port layer does.
#include "MidiDevices.h"
#include "VirtualMidiDevice.h"

#include "MidiTestConnection.h"

#include <benchmark/benchmark.h>

#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace {

class SilentPeer : public svtest::VirtualMidiPeer
{
public:
    void OnMidiReceived(const std::vector<uint8_t>& /*bytes*/) override {}
};

struct Assembly
{
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<uint8_t> pending;
    size_t completed = 0;
    size_t lastSize = 0;

    static void OnInput(svp::HMIDIIN handle, uint32_t message, uintptr_t instance, uintptr_t param1,
                        uintptr_t /*param2*/)
    {
        if (message != MIM_LONGDATA) {
            return;
        }
        auto* self = reinterpret_cast<Assembly*>(instance);
        auto* header = reinterpret_cast<svp::MIDIHDR*>(param1);
        if (header->dwBytesRecorded == 0) {
            return; // handed back by the reset at the end
        }
        {
            const std::lock_guard<std::mutex> lock(self->mutex);
            self->pending.insert(self->pending.end(), header->lpData,
                                 header->lpData + header->dwBytesRecorded);
            if (header->dwBytesRecorded < header->dwBufferLength ||
                static_cast<uint8_t>(header->lpData[header->dwBytesRecorded - 1]) == 0xF7) {
                self->lastSize = self->pending.size();
                self->pending.clear();
                ++self->completed;
                self->changed.notify_all();
            }
        }
        header->dwFlags &= ~MHDR_DONE;
        svp::midiInAddBuffer(handle, header, sizeof *header);
    }
};

void AssembleFromBuffers(benchmark::State& state)
{
    setenv("JACK_NO_START_SERVER", "1", 1);
    const auto size = static_cast<size_t>(state.range(0));
    SilentPeer peer;
    svtest::VirtualMidiDevice device("Benchmark Keys", peer);
    Assembly assembly;
    svp::HMIDIIN input = nullptr;
    if (svp::midiInOpen(&input, svtest::MidiTestConnection::FindInput("Benchmark Keys"),
                        &Assembly::OnInput, reinterpret_cast<uintptr_t>(&assembly),
                        CALLBACK_FUNCTION) != MMSYSERR_NOERROR) {
        state.SkipWithError("the virtual device does not open");
        return;
    }
    std::vector<std::vector<char>> data(3, std::vector<char>(256));
    std::vector<svp::MIDIHDR> headers(3);
    for (size_t index = 0; index < headers.size(); ++index) {
        headers[index].lpData = data[index].data();
        headers[index].dwBufferLength = 256;
        svp::midiInPrepareHeader(input, &headers[index], sizeof(svp::MIDIHDR));
        svp::midiInAddBuffer(input, &headers[index], sizeof(svp::MIDIHDR));
    }
    svp::midiInStart(input);

    std::vector<uint8_t> message(size, 0x11);
    message.front() = 0xF0;
    message.back() = 0xF7;
    size_t expected = 0;
    for (auto _ : state) {
        device.Deliver(message);
        ++expected;
        std::unique_lock<std::mutex> lock(assembly.mutex);
        assembly.changed.wait(lock, [&] { return assembly.completed == expected; });
    }
    if (assembly.lastSize != size) {
        state.SkipWithError("the message was not assembled whole");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(size));

    svp::midiInReset(input);
    for (svp::MIDIHDR& header : headers) {
        svp::midiInUnprepareHeader(input, &header, sizeof header);
    }
    svp::midiInClose(input);
}

BENCHMARK(AssembleFromBuffers)->Arg(23)->Arg(4096)->UseRealTime();

} // namespace
