// A full repaint of the main window with the program's whole skin, as the user waits for it: the
// whole client area invalidated, every control of the main control drawn with Cairo and the
// picture presented to the X server, which has handled it all when the time is taken. The
// counters give the median and the spread of the iterations beside the goal.
#include "RunningEditor.h"
#include "TimeSamples.h"

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

void FullRepaintOfTheMainWindow(benchmark::State& state)
{
    svtest::RunningEditor editor;
    if (!editor.IsReady()) {
        state.SkipWithError(editor.GetProblem().c_str());
        return;
    }
    SV::LRootWindow& root = editor.GetRootWindow();
    const SV::RectT<int32_t> client = root.GetScreenClientRect();
    svtest::TimeSamples samples;
    for (auto _ : state) {
        const auto begin = Clock::now();
        root.RedrawAll();
        editor.GetWindows().Sync();
        const auto took = Clock::now() - begin;
        samples.Add(took);
        state.SetIterationTime(std::chrono::duration<double>(took).count());
    }
    if (const auto boxes = editor.TakeMessageBoxes(); !boxes.empty()) {
        state.SkipWithError(boxes.front().c_str());
        return;
    }
    state.counters["width"] = client.width;
    state.counters["height"] = client.height;
    state.counters["median_ms"] = samples.MedianMs();
    state.counters["p10_ms"] = samples.PercentileMs(0.1);
    state.counters["p90_ms"] = samples.PercentileMs(0.9);
    state.counters["goal_ms"] = 8.0;
}

BENCHMARK(FullRepaintOfTheMainWindow)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
