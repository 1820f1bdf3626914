// The MIDI layer when the JACK server it uses goes away: the process's clients of that server are
// closed, so libjack's threads for them end, and the layer finds the next server.
#include "JackServer.h"
#include "MidiDevices.h"
#include "ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <iterator>
#include <memory>
#include <thread>

namespace {

using namespace std::chrono_literals;

// libjack runs threads of its own for each client that is open.
size_t ThreadCount()
{
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator("/proc/self/task"),
                                             std::filesystem::directory_iterator()));
}

// Lists the devices, as the editor does before each get or send, until the process runs
// `threads` threads; false when it did not come to that within the limit.
bool ListUntilThreadCountIs(size_t threads)
{
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (std::chrono::steady_clock::now() < deadline) {
        svp::midiInGetNumDevs();
        if (ThreadCount() == threads) {
            return true;
        }
        // The server's shut-down reaches the layer on libjack's thread: a moment, then a look.
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

TEST(JackServerGoneJackTest, TheClientsOfAServerThatWentAreClosedAndTheNextServerIsFound)
{
    svtest::ScopedEnvironment environment;
    environment.Set("JACK_DEFAULT_SERVER", "");
    environment.Set("JACK_NO_START_SERVER", "1");
    auto first = std::make_unique<svtest::JackServer>();
    if (first->IsMissing()) {
        GTEST_SKIP() << first->GetProblem();
    }
    ASSERT_TRUE(first->IsRunning()) << first->GetProblem();
    // A sanitizer's runtime starts a thread of its own with the process's first thread: one
    // made and joined here puts it in the count before any client.
    std::thread([] {}).join();
    const size_t withoutClients = ThreadCount();
    svp::midiInGetNumDevs();
    ASSERT_GT(ThreadCount(), withoutClients) << "the layer opened no client";

    first.reset();
    EXPECT_TRUE(ListUntilThreadCountIs(withoutClients))
        << "libjack's threads for the clients of the server that went still run: " << ThreadCount()
        << " threads, " << withoutClients << " before";

    // A server started later is found, and its clients leave it at the end as before.
    svtest::JackServer second;
    ASSERT_TRUE(second.IsRunning()) << second.GetProblem();
    svp::midiInGetNumDevs();
    EXPECT_GT(ThreadCount(), withoutClients);
}

} // namespace
