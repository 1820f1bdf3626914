// JACK keeps the servers of a machine in a registry in shared memory (/dev/shm), with files of
// each server beside it. A server that is killed leaves its entry and files behind, and once the
// registry's eight server entries are taken no server starts any more ("Too many servers already
// active"). The tests' harness clears what servers that have ended left behind.
#pragma once

#include <cstdint>
#include <string>

namespace svtest {

class JackShmRegistry
{
public:
    // The registry and the files of the machine, or of a test's own folder.
    explicit JackShmRegistry(std::string folder = "/dev/shm");

    // Frees the registry entries of servers whose process has ended, and removes the files of
    // the tests' servers ("svtest-<pid>-<n>") whose test process has ended. The number of
    // entries freed.
    int32_t ReclaimEndedServers() const;
    // Removes the files a stopped server of that name left behind.
    void RemoveServerFiles(const std::string& serverName) const;

    // The registry's layout as libjack writes it.
    static constexpr uint32_t kMagic = 0x4A41434B; // "JACK"
    static constexpr size_t kServerCount = 8;
    static constexpr size_t kServersOffset = 24;    // after magic, protocol, type, size, lengths
    static constexpr size_t kServerEntrySize = 264; // pid, then "jack-<uid>:<name>:"
    static constexpr size_t kHeaderLengthOffset = 16;
    static constexpr const char* kRegistryName = "jack-shm-registry";

private:
    std::string mFolder;
};

} // namespace svtest
