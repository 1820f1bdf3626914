#include "UdpSocket.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace svp {
namespace {

constexpr size_t kHostNameSize = 64;

struct AddrInfoFree
{
    void operator()(addrinfo* info) const { freeaddrinfo(info); }
};

} // namespace

bool ResolveIPv4Address(const std::string& hostName, std::string& address)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(hostName.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
        return false;
    }
    std::unique_ptr<addrinfo, AddrInfoFree> owner(found);
    for (const addrinfo* info = found; info != nullptr; info = info->ai_next) {
        if (info->ai_family != AF_INET || info->ai_addr == nullptr) {
            continue;
        }
        sockaddr_in ipv4{};
        std::memcpy(&ipv4, info->ai_addr, sizeof ipv4);
        char text[INET_ADDRSTRLEN] = {};
        if (inet_ntop(AF_INET, &ipv4.sin_addr, text, sizeof text) == nullptr) {
            return false;
        }
        address = text;
        return true;
    }
    return false;
}

bool GetLocalHostName(std::string& name)
{
    char text[kHostNameSize] = {};
    // A longer name is cut; the last byte stays 0 whatever gethostname leaves there.
    if (gethostname(text, sizeof text - 1) != 0 && errno != ENAMETOOLONG) {
        return false;
    }
    name = text;
    return !name.empty();
}

int32_t OpenUdpSocket()
{
    return socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
}

void CloseUdpSocket(int32_t socket)
{
    if (socket >= 0) {
        close(socket);
    }
}

bool SendDatagram(int32_t socket, const std::string& address, uint16_t port, const void* data,
                  size_t size)
{
    sockaddr_in destination{};
    destination.sin_family = AF_INET;
    destination.sin_port = htons(port);
    if (inet_pton(AF_INET, address.c_str(), &destination.sin_addr) != 1) {
        return false;
    }
    ssize_t sent;
    do {
        sent = sendto(socket, data, size, MSG_NOSIGNAL, reinterpret_cast<sockaddr*>(&destination),
                      sizeof destination);
    } while (sent < 0 && errno == EINTR);
    return sent == static_cast<ssize_t>(size);
}

} // namespace svp
