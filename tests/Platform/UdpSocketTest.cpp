#include "UdpSocket.h"

#include "UdpReceiver.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A label longer than 63 characters is refused by the resolver itself, with no name server
// asked, so the lookup fails at once on any machine.
const std::string kUnresolvableHost = std::string(70, 'x') + ".invalid";

TEST(UdpSocketTest, ResolvesNamesToDottedIPv4)
{
    std::string address;
    ASSERT_TRUE(svp::ResolveIPv4Address("127.0.0.1", address));
    EXPECT_EQ("127.0.0.1", address);
    ASSERT_TRUE(svp::ResolveIPv4Address("localhost", address));
    EXPECT_EQ(0u, address.rfind("127.", 0)) << address;

    address = "untouched";
    EXPECT_FALSE(svp::ResolveIPv4Address(kUnresolvableHost, address));
    EXPECT_EQ("untouched", address);

    std::string hostName;
    ASSERT_TRUE(svp::GetLocalHostName(hostName));
    EXPECT_LT(hostName.size(), 64u);
}

TEST(UdpSocketTest, SendsOneDatagramPerCall)
{
    svtest::UdpReceiver receiver;
    ASSERT_TRUE(receiver.IsBound());
    const int32_t socket = svp::OpenUdpSocket();
    ASSERT_GE(socket, 0);
    const auto port = static_cast<uint16_t>(receiver.GetPort());

    EXPECT_TRUE(svp::SendDatagram(socket, "127.0.0.1", port, "first", 5));
    EXPECT_TRUE(svp::SendDatagram(socket, "127.0.0.1", port, "second\n", 7));
    EXPECT_FALSE(svp::SendDatagram(socket, "localhost", port, "x", 1)); // not dotted
    EXPECT_EQ("first", receiver.Receive().value_or("<none>"));
    EXPECT_EQ("second\n", receiver.Receive().value_or("<none>"));
    svp::CloseUdpSocket(socket);
}

} // namespace
