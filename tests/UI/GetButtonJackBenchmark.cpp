// The click on the program bank's "GET" button until the panels show the program the keyboard
// answered, against the keyboard simulator as its own process over a JACK server, side by side
// in the same run with the reply's own latency: the same get through the MIDI manager alone,
// which the click waits for. Every iteration puts another program into the keyboard's slot before
// each get, so that each get really changes the panels:
//   get:   the first program into slot 1, the manager's get timed (the reply applied to the
//          engine), then the panels left to take it, untimed;
//   click: the second program into slot 1, the click until the panels show it and the window
//          has been painted with it. The box that reports the get's success is only recorded
//          (and checked), so its own window is not in the time.
// The counters give both medians, their spread and the difference beside the goal.
#include "HexBytes.h"
#include "JackServer.h"
#include "KeyboardSimulatorProcess.h"
#include "RunningEditor.h"
#include "TimeSamples.h"

#include "Controls/ComboBox.h"
#include "Controls/NumericUpDown.h"
#include "DriverCommon/EditorMessages.h"
#include "PresetEditorCommon/MidiManager.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// A program as the keyboard keeps it, and what the panels show for it.
struct Program
{
    std::vector<uint8_t> bytes;
    int32_t channelIndex;
    int32_t octave;
    int32_t transpose;
    int32_t tempo;
};

const Program kFirst = {
    {0x00, 0x02, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x78, 0x00, 0x0C},
    0,
    0,
    0,
    120};
const Program kSecond = {
    {0x05, 0x02, 0x06, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x5A, 0x00, 0x0F},
    5,
    2,
    3,
    90};

// The panels' controls that show a program.
struct Panels
{
    SV::RCPtr<SV::LComboBox> channel;
    SV::RCPtr<SV::LNumericUpDown> octave;
    SV::RCPtr<SV::LNumericUpDown> transpose;
    SV::RCPtr<SV::LNumericUpDown> tempo;

    explicit Panels(const svtest::RunningEditor& editor)
        : channel(editor.Find("viewDevice/commType/midiChannelComboBox")),
          octave(editor.Find("viewDevice/transposePanel/octave/octaveNumericUpDown")),
          transpose(editor.Find("viewDevice/transposePanel/transpose/transposeNumericUpDown")),
          tempo(editor.Find("viewDevice/arpeggiator/tempoNumericUpDown"))
    {}

    bool AreComplete() const { return channel && octave && transpose && tempo; }

    bool Show(const Program& program) const
    {
        return channel->GetSelectedIndex() == program.channelIndex &&
               std::lround(octave->GetValue()) == program.octave &&
               std::lround(transpose->GetValue()) == program.transpose &&
               std::lround(tempo->GetValue()) == program.tempo;
    }
};

void ClickOnGetUntilThePanelsShowTheProgram(benchmark::State& state)
{
    svtest::JackServer server;
    if (!server.IsRunning()) {
        state.SkipWithError(server.GetProblem().c_str());
        return;
    }
    svtest::KeyboardSimulatorProcess keyboard(SV_KEYBOARD_SIMULATOR);
    if (!keyboard.IsReady()) {
        state.SkipWithError(keyboard.GetProblem().c_str());
        return;
    }
    svtest::RunningEditor editor;
    if (!editor.IsReady()) {
        state.SkipWithError(editor.GetProblem().c_str());
        return;
    }
    const Panels panels(editor);
    const SV::RCPtr<SV::LControl> getButton =
        editor.Find("viewDevice/programBankPanel/getProgram1");
    if (!panels.AreComplete() || !getButton) {
        state.SkipWithError("the skin lacks a panel's control or the GET button");
        return;
    }
    const SV::RCPtr<SV::LMidiManager> manager = editor.GetApplication().GetMidiManager();
    const std::string success =
        std::string(GetAppString(u"LABEL_GET_PRESET_SUCEESS_MSGBOX_CAPTION").ToNarrow().GetText()) +
        ": " + GetAppString(u"LABEL_GET_PRESET_SUCEESS_MSGBOX_TEXT").ToNarrow().GetText();
    const auto putIntoSlot = [&keyboard](const Program& program) {
        return keyboard.Command("program 1 " + svtest::ToHex(program.bytes));
    };
    // The panels start from the second program, so that the first get changes them.
    if (!putIntoSlot(kSecond) || manager->GetPresetFromMidiDevice(1) != 0 ||
        !editor.RunUntilSettled([&] { return panels.Show(kSecond); })) {
        state.SkipWithError("the first get did not reach the panels");
        return;
    }

    svtest::TimeSamples gets;
    svtest::TimeSamples clicks;
    for (auto _ : state) {
        if (!putIntoSlot(kFirst)) {
            state.SkipWithError("the keyboard does not take the first program");
            break;
        }
        auto begin = Clock::now();
        const int32_t got = manager->GetPresetFromMidiDevice(1);
        const auto getTook = Clock::now() - begin;
        if (got != 0 || !editor.RunUntilSettled([&] { return panels.Show(kFirst); })) {
            state.SkipWithError("the manager's get did not reach the panels");
            break;
        }

        if (!putIntoSlot(kSecond)) {
            state.SkipWithError("the keyboard does not take the second program");
            break;
        }
        begin = Clock::now();
        editor.Click(getButton);
        const bool shown = editor.RunUntilSettled([&] { return panels.Show(kSecond); });
        const auto clickTook = Clock::now() - begin;
        const std::vector<std::string> boxes = editor.TakeMessageBoxes();
        if (!shown || boxes != std::vector<std::string>{success}) {
            state.SkipWithError(boxes.empty() || boxes.front() == success
                                    ? "the click's get did not reach the panels"
                                    : boxes.front().c_str());
            break;
        }
        gets.Add(getTook);
        clicks.Add(clickTook);
        state.SetIterationTime(std::chrono::duration<double>(clickTook).count());
    }
    state.counters["click_median_ms"] = clicks.MedianMs();
    state.counters["click_p10_ms"] = clicks.PercentileMs(0.1);
    state.counters["click_p90_ms"] = clicks.PercentileMs(0.9);
    state.counters["get_median_ms"] = gets.MedianMs();
    state.counters["get_p10_ms"] = gets.PercentileMs(0.1);
    state.counters["get_p90_ms"] = gets.PercentileMs(0.9);
    state.counters["difference_ms"] = clicks.MedianMs() - gets.MedianMs();
    state.counters["goal_difference_ms"] = 5.0;
}

BENCHMARK(ClickOnGetUntilThePanelsShowTheProgram)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
