// The round trips a user waits for: getting a program from the keyboard (search for the ports,
// open, request, reply applied, close) and sending one, against the in-process keyboard.
#include "PresetEditorCommon/MidiManager.h"

#include "EngineDoubles.h"
#include "KeyboardSimulator.h"
#include "MidiCaptureRecorder.h"

#include <benchmark/benchmark.h>

namespace {

template <class Operation>
void RunAgainstTheKeyboard(benchmark::State& state, int32_t expected, Operation operation)
{
    svtest::UseOnlyInProcessMidiDevices();
    const SV::RCPtr<svtest::ValueStoreEngine> engine(new svtest::ValueStoreEngine());
    svtest::EngineHost host(engine);
    svtest::KeyboardSimulator keyboard;
    const SV::RCPtr<SV::LMidiManager> manager = SV::LMidiManager::Create();
    for (auto _ : state) {
        if (operation(*manager) != expected) {
            state.SkipWithError("the keyboard did not answer as expected");
            break;
        }
    }
}

void GetProgramRoundTrip(benchmark::State& state)
{
    RunAgainstTheKeyboard(
        state, 0, [](SV::LMidiManager& manager) { return manager.GetPresetFromMidiDevice(1); });
}

void SendProgram(benchmark::State& state)
{
    RunAgainstTheKeyboard(
        state, 23, [](SV::LMidiManager& manager) { return manager.SendPresetToMidiDevice(0); });
}

BENCHMARK(GetProgramRoundTrip)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(SendProgram)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace
