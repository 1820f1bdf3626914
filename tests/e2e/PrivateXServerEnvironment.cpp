// Every end-to-end test process runs its editors on an X server of its own.
#include "PrivateXServer.h"

#include <gtest/gtest.h>

#include <iostream>
#include <memory>

namespace {

class PrivateXServerEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        mServer = std::make_unique<svtest::PrivateXServer>();
        if (!mServer->IsRunning()) {
            std::cerr << "the tests use the display they were given: " << mServer->GetProblem()
                      << "\n";
        }
    }
    void TearDown() override { mServer.reset(); }

private:
    std::unique_ptr<svtest::PrivateXServer> mServer;
};

const ::testing::Environment* const kRegistered =
    ::testing::AddGlobalTestEnvironment(new PrivateXServerEnvironment);

} // namespace
