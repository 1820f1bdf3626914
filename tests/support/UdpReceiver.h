// A UDP socket bound to a free port that collects datagrams for a test. Every receive waits at
// most the time given, so a datagram that never comes fails the test instead of hanging it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace svtest {

class UdpReceiver
{
public:
    // "127.0.0.1" listens on the loopback interface only, "0.0.0.0" on every interface.
    explicit UdpReceiver(const std::string& bindAddress = "127.0.0.1");
    ~UdpReceiver();
    UdpReceiver(const UdpReceiver&) = delete;
    UdpReceiver& operator=(const UdpReceiver&) = delete;

    bool IsBound() const { return mSocket >= 0; }
    int32_t GetPort() const { return mPort; }

    // The next datagram, or nothing when none arrives within the time-out.
    std::optional<std::string> Receive(int32_t timeoutMs = 5000) const;

private:
    int mSocket = -1;
    int32_t mPort = 0;
};

} // namespace svtest
