// IPv4 UDP for the remote debug log: name lookup, the local host name, a socket and datagrams
// sent to a dotted address and a port.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace svp {

// The first IPv4 address of the host as dotted text ("192.168.1.20"); false when the name does
// not resolve to any IPv4 address. A dotted address resolves to itself.
bool ResolveIPv4Address(const std::string& hostName, std::string& address);

// The name of this machine (at most 63 characters); false when it cannot be read.
bool GetLocalHostName(std::string& name);

// A UDP socket for IPv4, or -1.
int32_t OpenUdpSocket();
void CloseUdpSocket(int32_t socket);

// Sends one datagram to the dotted IPv4 address and port; false when the address is not
// dotted IPv4 text or the datagram could not be sent.
bool SendDatagram(int32_t socket, const std::string& address, uint16_t port, const void* data,
                  size_t size);

} // namespace svp
