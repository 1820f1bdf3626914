// How long the engine takes to stop its thread, measured from the stop request until the thread
// has ended, with the engine's own timing: while the thread pauses between two checks, and while
// it waits for the remote-device list to change. Each should end within a few milliseconds.
#include "RootModuleEngine.h"

#include "ApplicationDouble.h"
#include "DeviceControlClientInterface.h"
#include "FakeDeviceControlClient.h"
#include "ResultCodes.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>

namespace {

enum class ThreadState
{
    Pausing,
    WaitingForRemoteDevices,
};

void StopTheEngineThread(benchmark::State& state, ThreadState threadState)
{
    svtest::ApplicationDouble application;
    svtest::FakeDeviceControlClient library{svtest::kFakeClientFolder};
    SV::DeviceControlClientInterface::SetLibraryFolder(SV::WideString(svtest::kFakeClientFolder));
    library.SetRemoteDevices({});
    SV::RCPtr<LRootModuleEngine> engine(new LRootModuleEngine());
    engine->Initialize(0);
    double slowest = 0;
    for (auto _ : state) {
        const int32_t started = threadState == ThreadState::Pausing
                                    ? engine->StartThread()
                                    : engine->EnableRemoteDevicePolling(true);
        if (started < 0) {
            state.SkipWithError("the thread did not start");
            break;
        }
        // Time for the thread to reach its pause or its wait; benchmarks may sleep.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const auto begin = std::chrono::steady_clock::now();
        const bool stopped = engine->StopThreadAndWait();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - begin;
        state.SetIterationTime(took.count());
        slowest = std::max(slowest, took.count() * 1000);
        if (!stopped) {
            state.SkipWithError("the thread did not stop");
            break;
        }
        engine->EnableRemoteDevicePolling(false);
    }
    state.counters["slowest_ms"] = slowest;
    state.counters["goal_ms"] = 10;
    engine = nullptr;
    SV::DeviceControlClientInterface::SetLibraryFolder(SV::WideString());
}

BENCHMARK_CAPTURE(StopTheEngineThread, WhilePausing, ThreadState::Pausing)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);
BENCHMARK_CAPTURE(StopTheEngineThread, WhileWaitingForRemoteDevices,
                  ThreadState::WaitingForRemoteDevices)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

} // namespace
