// The MIDI layer when the JACK server it uses goes away: it finds the next server, and no listing
// touches the client of the server that went.
#include "JackServer.h"
#include "KeyboardSimulator.h"
#include "KeyboardSimulatorProcess.h"
#include "MidiDevices.h"
#include "ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;

bool ListsTheKeyboard()
{
    const int32_t count = static_cast<int32_t>(svp::midiInGetNumDevs());
    for (int32_t device = 0; device < count; ++device) {
        svp::MIDIINCAPS caps{};
        if (svp::midiInGetDevCaps(device, caps) == MMSYSERR_NOERROR &&
            caps.szPname.find(svtest::KeyboardSimulator::kDeviceName) != std::string::npos) {
            return true;
        }
    }
    return false;
}

TEST(JackServerGoneJackTest, ListingGoesOnAfterTheServerWentAndTheNextServerIsFound)
{
    svtest::ScopedEnvironment environment;
    environment.Set("JACK_DEFAULT_SERVER", "");
    environment.Set("JACK_NO_START_SERVER", "1");
    auto first = std::make_unique<svtest::JackServer>();
    if (first->IsMissing()) {
        GTEST_SKIP() << first->GetProblem();
    }
    ASSERT_TRUE(first->IsRunning()) << first->GetProblem();
    svp::midiInGetNumDevs();

    // Listings while the server's shut-down reaches the layer on libjack's thread, and after.
    first.reset();
    const auto until = std::chrono::steady_clock::now() + 300ms;
    while (std::chrono::steady_clock::now() < until) {
        svp::midiInGetNumDevs();
        std::this_thread::sleep_for(10ms);
    }

    svtest::JackServer second;
    ASSERT_TRUE(second.IsRunning()) << second.GetProblem();
    svtest::KeyboardSimulatorProcess keyboard(SV_KEYBOARD_SIMULATOR);
    ASSERT_TRUE(keyboard.IsReady()) << keyboard.GetProblem();
    EXPECT_TRUE(ListsTheKeyboard()) << "the keyboard on the next server is not listed";
}

} // namespace
