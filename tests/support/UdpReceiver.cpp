#include "UdpReceiver.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <vector>

namespace svtest {

UdpReceiver::UdpReceiver(const std::string& bindAddress)
{
    mSocket = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (mSocket < 0 || inet_pton(AF_INET, bindAddress.c_str(), &address.sin_addr) != 1 ||
        bind(mSocket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(mSocket, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ADD_FAILURE() << "cannot bind a UDP socket on " << bindAddress;
        if (mSocket >= 0) {
            close(mSocket);
        }
        mSocket = -1;
        return;
    }
    mPort = ntohs(address.sin_port);
}

UdpReceiver::~UdpReceiver()
{
    if (mSocket >= 0) {
        close(mSocket);
    }
}

std::optional<std::string> UdpReceiver::Receive(int32_t timeoutMs) const
{
    if (mSocket < 0) {
        return std::nullopt;
    }
    pollfd waiting{mSocket, POLLIN, 0};
    if (poll(&waiting, 1, timeoutMs) != 1) {
        return std::nullopt;
    }
    std::vector<char> datagram(65536);
    const ssize_t size = recv(mSocket, datagram.data(), datagram.size(), MSG_DONTWAIT);
    if (size < 0) {
        return std::nullopt;
    }
    return std::string(datagram.data(), static_cast<size_t>(size));
}

} // namespace svtest
