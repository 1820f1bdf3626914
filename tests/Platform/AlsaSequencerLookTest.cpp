// The system's ALSA transport looks for the sequencer's device only until it has found it. The
// looks are counted by standing in for access(), which every other caller reaches as before.
#include "StderrCapture.h"
#include "SystemMidiTransports.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <dlfcn.h>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* kSequencerDevice = "/dev/snd/seq";

std::atomic<int> gSequencerLooks{0};
// Set: the sequencer's device is said to be there, whatever the machine has.
std::atomic<bool> gSequencerPretended{false};

} // namespace

extern "C" int access(const char* path, int mode)
{
    if (path != nullptr && std::strcmp(path, kSequencerDevice) == 0) {
        ++gSequencerLooks;
        if (gSequencerPretended) {
            return 0;
        }
    }
    using AccessFunction = int (*)(const char*, int);
    static const auto real = reinterpret_cast<AccessFunction>(dlsym(RTLD_NEXT, "access"));
    return real(path, mode);
}

namespace {

class AlsaSequencerLookTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gSequencerLooks = 0;
        gSequencerPretended = false;
        // The system transports: the ALSA sequencer's first.
        mAlsa = svp::midi::MakeSystemTransports().front();
    }

    void TearDown() override { gSequencerPretended = false; }

    // Inputs, then outputs, as a count of both lists does.
    void ListBoth()
    {
        std::vector<svp::midi::DeviceEntry> devices;
        mAlsa->AppendDevices(true, devices);
        mAlsa->AppendDevices(false, devices);
    }

    std::shared_ptr<svp::midi::Transport> mAlsa;
};

TEST_F(AlsaSequencerLookTest, EveryListingLooksAgainWhileTheSequencerIsMissing)
{
    if (access(kSequencerDevice, F_OK) == 0) {
        GTEST_SKIP() << "this machine has an ALSA sequencer";
    }
    gSequencerLooks = 0;
    ListBoth();
    ListBoth();
    // A keyboard plugged in later loads the sequencer: each listing must be able to find it.
    EXPECT_EQ(4, gSequencerLooks.load());
}

TEST_F(AlsaSequencerLookTest, TheSequencerFoundOnceIsNotLookedForAgain)
{
    gSequencerPretended = true;
    // Where the device is only pretended, ALSA's open fails and says so.
    svtest::StderrCapture capture;
    ListBoth();
    ListBoth();
    ListBoth();
    EXPECT_EQ(1, gSequencerLooks.load());
}

} // namespace
