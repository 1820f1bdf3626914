#include "SingleInstance.h"
#include "EventLoop.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <future>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

constexpr const char* kName = "TestWindowClassPrevent";

// Sends raw bytes to the first instance's socket and answers the one-byte reply, or -1.
int SendRaw(const std::string& socketPath, const std::vector<uint8_t>& bytes)
{
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    if (!bytes.empty() && send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) < 0) {
        close(fd);
        return -1;
    }
    shutdown(fd, SHUT_WR);
    uint8_t answer = 0;
    const ssize_t n = recv(fd, &answer, 1, 0);
    close(fd);
    return n == 1 ? answer : -1;
}

std::vector<uint8_t> Frame(uint32_t code, uint32_t count, const std::string& payload)
{
    std::vector<uint8_t> bytes;
    for (const uint32_t value : {code, count}) {
        for (int shift = 0; shift < 32; shift += 8) {
            bytes.push_back(static_cast<uint8_t>(value >> shift));
        }
    }
    bytes.insert(bytes.end(), payload.begin(), payload.end());
    return bytes;
}

class SingleInstanceTest : public ::testing::Test
{
protected:
    svtest::TempFolder mFolder;
    svp::EventLoop mLoop;
    std::vector<std::string> mReceived;
    bool mTake = true;

    std::unique_ptr<svp::SingleInstance> StartFirst()
    {
        auto first = svp::SingleInstance::Acquire(kName, mFolder.Path());
        EXPECT_TRUE(first && first->IsFirst());
        EXPECT_TRUE(first->Listen(mLoop, [this](const std::string& text) {
            mReceived.push_back(text);
            return mTake;
        }));
        return first;
    }

    // Runs the first instance's loop until the other side is done.
    template <typename T>
    T Serve(std::future<T> other)
    {
        while (other.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
            mLoop.PumpOne(20);
        }
        return other.get();
    }
};

TEST_F(SingleInstanceTest, ASecondInstanceHandsItsCommandLineToTheFirst)
{
    auto first = StartFirst();
    auto second = svp::SingleInstance::Acquire(kName, mFolder.Path());
    ASSERT_TRUE(second);
    EXPECT_FALSE(second->IsFirst());

    const std::string line = "\"/usr/bin/editor\" \"/home/me/K\xC3\xB6rper.brv\"";
    EXPECT_EQ(Serve(std::async(std::launch::async, [&] { return second->HandOver(line); })),
              svp::HandOverResult::kTaken);
    ASSERT_EQ(mReceived.size(), 1u);
    EXPECT_EQ(mReceived[0], line);

    mTake = false;
    EXPECT_EQ(Serve(std::async(std::launch::async, [&] { return second->HandOver("x"); })),
              svp::HandOverResult::kRefused);
}

TEST_F(SingleInstanceTest, BadFramesAreAnsweredZeroAndTextIsBoundedByItsCount)
{
    auto first = StartFirst();
    const std::string path = first->GetSocketPath();
    struct Case
    {
        const char* what;
        std::vector<uint8_t> bytes;
        int answer;
    };
    const Case cases[] = {
        {"another code", Frame(1124, 3, std::string("ab\0", 3)), 0},
        {"no bytes", Frame(1125, 0, ""), 0},
        {"over 64 KiB", Frame(1125, 64 * 1024 + 1, "abc"), 0},
        {"shorter than its count", Frame(1125, 10, "abc"), 0},
        {"header cut off", {0x65, 0x04}, 0},
        {"malformed UTF-8", Frame(1125, 3, std::string("\xC3\x28\0", 3)), 0},
        {"overlong UTF-8", Frame(1125, 3, std::string("\xC0\xAF\0", 3)), 0},
        {"UTF-16 surrogate", Frame(1125, 4, std::string("\xED\xA0\x80\0", 4)), 0},
        {"cut-off UTF-8", Frame(1125, 2, std::string("\xE2\x82", 2)), 0},
        {"no NUL: the count bounds the text", Frame(1125, 3, "abcdef"), 1},
        {"text ends at its first NUL", Frame(1125, 6, std::string("ab\0cd\0", 6)), 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Serve(std::async(std::launch::async, [&] { return SendRaw(path, c.bytes); })),
                  c.answer)
            << c.what;
    }
    const std::vector<std::string> expected{"abc", "ab"};
    EXPECT_EQ(mReceived, expected);
}

TEST_F(SingleInstanceTest, ALaterInstanceWaitsForAFirstThatIsNotListeningYet)
{
    auto first = svp::SingleInstance::Acquire(kName, mFolder.Path());
    auto second = svp::SingleInstance::Acquire(kName, mFolder.Path());
    EXPECT_EQ(second->HandOver("now", 0), svp::HandOverResult::kNoAnswer);

    auto handOver = std::async(std::launch::async, [&] { return second->HandOver("later"); });
    ASSERT_TRUE(first->Listen(mLoop, [this](const std::string& text) {
        mReceived.push_back(text);
        return true;
    }));
    EXPECT_EQ(Serve(std::move(handOver)), svp::HandOverResult::kTaken);
    EXPECT_EQ(mReceived, std::vector<std::string>{"later"});
}

TEST_F(SingleInstanceTest, TheLockGoesWithItsHolder)
{
    auto first = svp::SingleInstance::Acquire(kName, mFolder.Path());
    ASSERT_TRUE(first->IsFirst());
    first.reset();
    auto next = svp::SingleInstance::Acquire(kName, mFolder.Path());
    EXPECT_TRUE(next->IsFirst());
}

} // namespace
