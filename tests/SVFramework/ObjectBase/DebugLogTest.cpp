#include "ObjectBase/DebugLog.h"

#include "StderrCapture.h"
#include "UdpReceiver.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

using SV::DebugStreamHolder;
using SV::RemoteLogSender;

// Long enough to be refused by the resolver itself, so the lookup fails without a name server.
const std::string kUnresolvableHost = std::string(70, 'x') + ".invalid";

constexpr int32_t kNothingMoreMs = 100;

std::vector<std::string> LaunchDatagrams(const std::string& address)
{
    return {"*** APPLICATION Launched on ", address, "***\n"};
}

std::vector<std::string> ReceiveSome(const svtest::UdpReceiver& receiver, size_t count)
{
    std::vector<std::string> datagrams;
    for (size_t i = 0; i < count; ++i) {
        datagrams.push_back(receiver.Receive().value_or("<nothing arrived>"));
    }
    return datagrams;
}

// Where the sender should fall back to, found independently of the code under test.
std::string LocalHostAddressOrLoopback()
{
    char name[64] = {};
    if (gethostname(name, sizeof name - 1) != 0) {
        return "127.0.0.1";
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* found = nullptr;
    if (getaddrinfo(name, nullptr, &hints, &found) != 0 || found == nullptr) {
        return "127.0.0.1";
    }
    sockaddr_in address{};
    std::memcpy(&address, found->ai_addr, sizeof address);
    freeaddrinfo(found);
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
    return text;
}

// A holder with a sender of its own, so each test finds the socket closed.
struct LocalLog
{
    RemoteLogSender sender;
    DebugStreamHolder holder{sender};
};

TEST(DebugLogTest, WithoutARemoteTargetFlushedTextGoesToTheDebuggerOutput)
{
    LocalLog log;
    EXPECT_EQ(-1, log.holder.GetPort());
    EXPECT_EQ(&log.holder.GetNarrowDebugStream(), &log.holder.GetNarrowOutput());
    EXPECT_EQ(&log.holder.GetWideDebugStream(), &log.holder.GetWideOutput());

    svtest::StderrCapture capture;
    log.holder.GetNarrowOutput() << "line one\n";
    EXPECT_EQ("", capture.Text()); // held until the stream is flushed
    log.holder.GetNarrowOutput() << std::flush;
    EXPECT_EQ("line one\n", capture.Text());

    log.holder.GetWideOutput() << u"gr\u00fc\u00df \U0001F3B9" << u'\n' << std::flush;
    EXPECT_EQ("line one\ngr\xc3\xbc\xc3\x9f \xf0\x9f\x8e\xb9\n", capture.Text());
}

TEST(DebugLogTest, ABufferDestroyedWithTextDeliversIt)
{
    svtest::StderrCapture capture;
    {
        LocalLog log;
        log.holder.GetNarrowOutput() << "narrow ";
        log.holder.GetWideOutput() << u"wide";
    }
    // The wide stream is declared after the narrow one, so it goes first.
    EXPECT_EQ("widenarrow ", capture.Text());
}

template <class C>
void ExpectDeliveriesOf1023Characters(const char* streamName)
{
    SCOPED_TRACE(streamName);
    svtest::UdpReceiver receiver;
    ASSERT_TRUE(receiver.IsBound());
    LocalLog log;
    SV::SetRemoteLogTarget(log.holder, "127.0.0.1", receiver.GetPort());

    std::basic_string<C> text;
    std::string expected;
    for (int i = 0; i < 2500; ++i) {
        text.push_back(static_cast<C>('a' + i % 26));
        expected.push_back(static_cast<char>('a' + i % 26));
    }
    std::basic_ostream<C>& stream = [&]() -> std::basic_ostream<C>& {
        if constexpr (std::is_same_v<C, char>) {
            return log.holder.GetNarrowOutput();
        } else {
            return log.holder.GetWideOutput();
        }
    }();
    stream.write(text.data(), static_cast<std::streamsize>(text.size()));

    EXPECT_EQ(LaunchDatagrams("127.0.0.1"), ReceiveSome(receiver, 3));
    EXPECT_EQ(expected.substr(0, 1023), receiver.Receive().value_or(""));
    EXPECT_EQ(expected.substr(1023, 1023), receiver.Receive().value_or(""));
    EXPECT_EQ(std::nullopt, receiver.Receive(kNothingMoreMs)); // the rest waits for a flush
    stream.flush();
    EXPECT_EQ(expected.substr(2046), receiver.Receive().value_or(""));
    EXPECT_EQ(454u, expected.substr(2046).size());
    EXPECT_EQ(std::nullopt, receiver.Receive(kNothingMoreMs));
}

TEST(DebugLogTest, OneLongWriteIsDeliveredInPiecesOfAtMost1023Characters)
{
    ExpectDeliveriesOf1023Characters<char>("narrow");
    ExpectDeliveriesOf1023Characters<char16_t>("wide");
}

TEST(DebugLogTest, WideTextReachesTheRemoteTargetAsUtf8)
{
    svtest::UdpReceiver receiver;
    LocalLog log;
    SV::SetRemoteLogTarget(log.holder, "localhost", receiver.GetPort());
    log.holder.GetWideOutput() << u"K\u00e4se \u4e2d \U0001F3B9" << std::flush;

    const std::vector<std::string> datagrams = ReceiveSome(receiver, 4);
    EXPECT_EQ("*** APPLICATION Launched on ", datagrams[0]);
    EXPECT_EQ(0u, datagrams[1].rfind("127.", 0)) << datagrams[1];
    EXPECT_EQ("K\xc3\xa4se \xe4\xb8\xad \xf0\x9f\x8e\xb9", datagrams[3]);
}

TEST(DebugLogTest, AHostThatDoesNotResolveFallsBackToTheLocalHost)
{
    svtest::UdpReceiver receiver("0.0.0.0"); // the local host may have any local address
    ASSERT_TRUE(receiver.IsBound());
    const std::string expected = LocalHostAddressOrLoopback();
    RemoteLogSender sender;
    sender.Send(kUnresolvableHost.c_str(), receiver.GetPort(), "after the launch");

    EXPECT_EQ(expected, sender.GetAddress());
    std::vector<std::string> launch = LaunchDatagrams(expected);
    launch.push_back("after the launch");
    EXPECT_EQ(launch, ReceiveSome(receiver, 4));
}

TEST(DebugLogTest, TheSocketOpensOnceAndKeepsItsFirstDestination)
{
    svtest::UdpReceiver first;
    svtest::UdpReceiver second;
    RemoteLogSender sender;
    EXPECT_FALSE(sender.IsOpen());

    // Empty text opens the socket and announces the launch, and sends nothing more.
    sender.Send("127.0.0.1", first.GetPort(), "");
    EXPECT_TRUE(sender.IsOpen());
    EXPECT_EQ(LaunchDatagrams("127.0.0.1"), ReceiveSome(first, 3));
    EXPECT_EQ(std::nullopt, first.Receive(kNothingMoreMs));

    sender.Send("127.0.0.1", second.GetPort(), "still to the first");
    sender.Send(nullptr, second.GetPort(), nullptr);
    EXPECT_EQ("still to the first", first.Receive().value_or(""));
    EXPECT_EQ(std::nullopt, second.Receive(kNothingMoreMs));
}

TEST(DebugLogTest, SendRemoteLogUsesTheProcessWideSender)
{
    // The process-wide sender keeps the destination of its first send until the process ends,
    // so its receiver lives as long: a repeated run sends to the same one, without the launch.
    static svtest::UdpReceiver receiver;
    const bool alreadyOpen = SV::GetProcessRemoteLog().IsOpen();
    SV::SendRemoteLog("127.0.0.1", receiver.GetPort(), "process-wide");
    EXPECT_TRUE(SV::GetProcessRemoteLog().IsOpen());
    std::vector<std::string> expected;
    if (!alreadyOpen) {
        expected = LaunchDatagrams("127.0.0.1");
    }
    expected.push_back("process-wide");
    EXPECT_EQ(expected, ReceiveSome(receiver, expected.size()));
    EXPECT_EQ(std::nullopt, receiver.Receive(kNothingMoreMs));

    // The process-wide holder starts without a target, writing to its own streams.
    DebugStreamHolder& holder = SV::GetDebugStreamHolder();
    EXPECT_EQ(&holder.GetNarrowDebugStream(), &holder.GetNarrowOutput());
    EXPECT_EQ(&SV::GetProcessRemoteLog(), &holder.GetRemoteLog());
}

TEST(DebugLogTest, SetRemoteLogTargetKeepsTheHostForANullName)
{
    LocalLog log;
    SV::SetRemoteLogTarget(log.holder, "loghost", 5000);
    SV::SetRemoteLogTarget(log.holder, nullptr, 6000);
    EXPECT_EQ("loghost", log.holder.GetHostName());
    EXPECT_EQ(6000, log.holder.GetPort());
    SV::SetRemoteLogTarget(log.holder, "", 0);
    EXPECT_EQ("", log.holder.GetHostName());
    EXPECT_EQ(0, log.holder.GetPort());
}

TEST(DebugLogTest, TheCommandLineChoosesConsoleOrRemoteTarget)
{
    struct Case
    {
        const char* commandLine;
        bool console;
        const char* host;
        int32_t port;
    };
    const Case cases[] = {
        {"editor", false, "", -1},
        {"editor -DEBUG_CONSOLE", true, "", -1},
        {"editor -DEBUG_CONSOLE -x", true, "", -1},
        {"editor -DEBUG_CONSOLE:5000", false, "", 5000},
        {"editor -DEBUG_CONSOLE:5000 -x", false, "", 5000},
        {"editor -DEBUG_CONSOLE:5000:loghost", false, "loghost", 5000},
        {"editor -DEBUG_CONSOLE:5000:loghost -x", false, "loghost", 5000},
        {"editor -DEBUG_CONSOLE:5000:", false, "", 5000},
        {"-DEBUG_CONSOLE:5000 -DEBUG_CONSOLE", false, "", 5000},
        // A port of one character sets nothing, and opens no console either.
        {"editor -DEBUG_CONSOLE:9:loghost", false, "", -1},
        {"editor -DEBUG_CONSOLE:", false, "", -1},
        // The port is read as atoi reads it.
        {"editor -DEBUG_CONSOLE:ab:loghost", false, "loghost", 0},
        {"editor -DEBUG_CONSOLE:12ab", false, "", 12},
        {"editor -DEBUG_CONSOLE:-5", false, "", -5},
        {"editor -DEBUG_CONSOLE:99999999999", false, "", INT_MAX},
        // A ':' in a later argument is no host.
        {"editor -DEBUG_CONSOLE:5000 /home/me/a:b.brv", false, "", 5000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.commandLine);
        LocalLog log;
        SV::ConfigureDebugLogFromCommandLine(log.holder, c.commandLine);
        EXPECT_EQ(c.console, &log.holder.GetNarrowOutput() == &std::cerr);
        EXPECT_EQ(c.console, &log.holder.GetWideOutput() != &log.holder.GetWideDebugStream());
        EXPECT_EQ(c.host, log.holder.GetHostName());
        EXPECT_EQ(c.port, log.holder.GetPort());
    }
}

TEST(DebugLogTest, TheConsoleTakesBothStreamsToStandardError)
{
    LocalLog log;
    SV::OpenDebugConsole(log.holder);
    svtest::StderrCapture capture;
    log.holder.GetNarrowOutput() << "narrow ";
    EXPECT_EQ("narrow ", capture.Text()); // unbuffered: no flush needed
    const char16_t pair[] = u"\U0001F3B9";
    log.holder.GetWideOutput() << u"\u00e9 " << pair[0];
    EXPECT_EQ("narrow \xc3\xa9 ", capture.Text()); // half a pair waits for its other half
    log.holder.GetWideOutput() << pair[1] << u'\n';
    EXPECT_EQ("narrow \xc3\xa9 \xf0\x9f\x8e\xb9\n", capture.Text());
}

} // namespace
