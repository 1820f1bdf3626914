// A test suite over a real transport: a JACK dummy server of the suite's own and the keyboard
// simulator running as a separate process on it, both started once for the suite. Each test
// starts with the keyboard answering normally; without jackd the tests are skipped.
#pragma once

#include "JackServer.h"
#include "KeyboardSimulatorProcess.h"

#include <gtest/gtest.h>

namespace svtest {

// The build gives the JACK tests the keyboard simulator program as SV_KEYBOARD_SIMULATOR.
class KeyboardProcessTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        sServer = new JackServer;
        if (sServer->IsRunning()) {
            sKeyboard = new KeyboardSimulatorProcess(SV_KEYBOARD_SIMULATOR);
        }
    }

    static void TearDownTestSuite()
    {
        delete sKeyboard;
        sKeyboard = nullptr;
        delete sServer;
        sServer = nullptr;
    }

    void SetUp() override
    {
        if (sServer->IsMissing()) {
            GTEST_SKIP() << sServer->GetProblem();
        }
        ASSERT_TRUE(sServer->IsRunning()) << sServer->GetProblem();
        ASSERT_TRUE(sKeyboard->IsReady()) << sKeyboard->GetProblem();
        ASSERT_TRUE(sKeyboard->Command("answer normal"));
    }

    static inline JackServer* sServer = nullptr;
    static inline KeyboardSimulatorProcess* sKeyboard = nullptr;
};

} // namespace svtest
