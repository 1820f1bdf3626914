// The round trips a user waits for, over JACK against the keyboard simulator as its own process,
// each next to the least a program can do: a minimal program on RtMidi that opened its ports
// once and keeps them. Every iteration times both, one after the other against the same
// keyboard, in turns (the manager first in one round, the minimal program in the next), each call
// started at a random phase of the server's cycle so that neither side locks onto it. The
// counters give both medians and their ratio, at a period of 64 and of 1024 frames.
//   get:  the request goes out and the reply is back (applied to the engine, for the manager);
//   send: the program goes out and the keyboard has reported it received.
#include "PresetEditorCommon/MidiManager.h"

#include "EngineDoubles.h"
#include "JackServer.h"
#include "KeyboardSimulatorProcess.h"
#include "TimeSamples.h"

#include <RtMidi.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<unsigned char>;

const std::string kKeyboard = "Vudozi Vedozi Duruzava";
const Bytes kGetRequest = {0xF0, 0x47, 0x7F, 0x3E, 0x66, 0x00, 0x01, 0x01, 0xF7};
const Bytes kSendProgram = {0xF0, 0x47, 0x7F, 0x3E, 0x5E, 0x00, 0x63, 0x00, 0x00, 0x02, 0x04, 0x00,
                            0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x78, 0x00, 0x0C, 0xF7};

// The index of the first port whose name contains the keyboard's, or -1.
int32_t FindKeyboardPort(RtMidi& midi)
{
    for (unsigned index = 0; index < midi.getPortCount(); ++index) {
        if (midi.getPortName(index).find(kKeyboard) != std::string::npos) {
            return static_cast<int32_t>(index);
        }
    }
    return -1;
}

// The minimal program: both ports opened once, a request sent, the reply waited for.
class MinimalRtMidiProgram
{
public:
    bool Open()
    {
        try {
            mInput = std::make_unique<RtMidiIn>(RtMidi::UNIX_JACK, "minimal program");
            mOutput = std::make_unique<RtMidiOut>(RtMidi::UNIX_JACK, "minimal program");
            const int32_t input = FindKeyboardPort(*mInput);
            const int32_t output = FindKeyboardPort(*mOutput);
            if (input < 0 || output < 0) {
                return false;
            }
            mInput->ignoreTypes(false, false, false);
            mInput->setCallback(&MinimalRtMidiProgram::OnMessage, this);
            mInput->openPort(static_cast<unsigned>(input));
            mOutput->openPort(static_cast<unsigned>(output));
            return true;
        } catch (const RtMidiError&) {
            return false;
        }
    }

    // The reply to a get of slot 1 has come back.
    bool Get()
    {
        std::unique_lock<std::mutex> lock(mMutex);
        const size_t replies = mReplies;
        lock.unlock();
        mOutput->sendMessage(&kGetRequest);
        lock.lock();
        return mChanged.wait_for(lock, std::chrono::seconds(2), [&] { return mReplies > replies; });
    }

    void Send() { mOutput->sendMessage(&kSendProgram); }

    ~MinimalRtMidiProgram()
    {
        // The ports close while the server still runs; the input stops calling back first.
        if (mInput) {
            mInput->cancelCallback();
        }
    }

private:
    static void OnMessage(double /*delta*/, Bytes* message, void* self)
    {
        auto& program = *static_cast<MinimalRtMidiProgram*>(self);
        if (message->size() == 23 && (*message)[4] == 0x53) {
            const std::lock_guard<std::mutex> lock(program.mMutex);
            ++program.mReplies;
            program.mChanged.notify_all();
        }
    }

    std::unique_ptr<RtMidiIn> mInput;
    std::unique_ptr<RtMidiOut> mOutput;
    std::mutex mMutex;
    std::condition_variable mChanged;
    size_t mReplies = 0;
};

enum class Operation
{
    Get,
    Send,
};

constexpr int32_t kSampleRate = 48000; // the test server's

void AgainstTheMinimalProgram(benchmark::State& state, Operation operation)
{
    const auto framesPerPeriod = static_cast<int32_t>(state.range(0));
    svtest::JackServer server(framesPerPeriod);
    if (!server.IsRunning()) {
        state.SkipWithError(server.GetProblem().c_str());
        return;
    }
    svtest::KeyboardSimulatorProcess keyboard(SV_KEYBOARD_SIMULATOR);
    if (!keyboard.IsReady()) {
        state.SkipWithError(keyboard.GetProblem().c_str());
        return;
    }
    const SV::RCPtr<svtest::ValueStoreEngine> engine(new svtest::ValueStoreEngine());
    svtest::EngineHost host(engine);
    const SV::RCPtr<SV::LMidiManager> manager = SV::LMidiManager::Create();
    MinimalRtMidiProgram minimal;
    if (!minimal.Open()) {
        state.SkipWithError("the minimal program cannot open the keyboard's ports");
        return;
    }
    const auto period = std::chrono::microseconds(int64_t{1000000} * framesPerPeriod / kSampleRate);
    std::mt19937 random(12345);
    std::uniform_int_distribution<int64_t> phase(0, period.count() - 1);
    const auto atRandomPhase = [&] {
        std::this_thread::sleep_for(std::chrono::microseconds(phase(random)));
    };
    size_t received = 0;
    const auto managerRound = [&]() -> std::optional<Clock::duration> {
        atRandomPhase();
        const auto begin = Clock::now();
        const int32_t result = operation == Operation::Get ? manager->GetPresetFromMidiDevice(1)
                                                           : manager->SendPresetToMidiDevice(0);
        const bool done = operation == Operation::Get
                              ? result == 0
                              : result == 23 && keyboard.WaitForReceived(received + 1);
        const auto took = Clock::now() - begin;
        ++received;
        return done ? std::optional(took) : std::nullopt;
    };
    const auto minimalRound = [&]() -> std::optional<Clock::duration> {
        atRandomPhase();
        const auto begin = Clock::now();
        bool done = true;
        if (operation == Operation::Get) {
            done = minimal.Get();
        } else {
            minimal.Send();
            done = keyboard.WaitForReceived(received + 1);
        }
        const auto took = Clock::now() - begin;
        ++received;
        return done ? std::optional(took) : std::nullopt;
    };

    svtest::TimeSamples managerTimes;
    svtest::TimeSamples minimalTimes;
    bool managerFirst = true;
    for (auto _ : state) {
        std::optional<Clock::duration> managerTook;
        std::optional<Clock::duration> minimalTook;
        if (managerFirst) {
            managerTook = managerRound();
            minimalTook = minimalRound();
        } else {
            minimalTook = minimalRound();
            managerTook = managerRound();
        }
        managerFirst = !managerFirst;
        // The keyboard's reports of this round are read before the next, untimed.
        if (!managerTook || !minimalTook || !keyboard.WaitForReceived(received)) {
            state.SkipWithError(managerTook ? "the minimal program got no answer"
                                            : "the manager got no answer");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(*managerTook).count());
        managerTimes.Add(*managerTook);
        minimalTimes.Add(*minimalTook);
    }
    state.counters["median_ms"] = managerTimes.MedianMs();
    state.counters["minimal_median_ms"] = minimalTimes.MedianMs();
    state.counters["ratio"] =
        minimalTimes.MedianMs() > 0 ? managerTimes.MedianMs() / minimalTimes.MedianMs() : 0;
    state.counters["goal_ratio"] = 1.2;
}

BENCHMARK_CAPTURE(AgainstTheMinimalProgram, GetOverJack, Operation::Get)
    ->Arg(64)
    ->Arg(1024)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(AgainstTheMinimalProgram, SendOverJack, Operation::Send)
    ->Arg(64)
    ->Arg(1024)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
