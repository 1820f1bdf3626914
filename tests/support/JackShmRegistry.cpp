#include "JackShmRegistry.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace svtest {
namespace {

constexpr const char* kTestServerPrefix = "svtest-";

bool HasEnded(pid_t pid)
{
    return pid > 0 && kill(pid, 0) != 0 && errno == ESRCH;
}

// The test process in a test server's name ("svtest-<pid>-<n>..."), or 0.
pid_t TestProcessOf(const std::string& text)
{
    const size_t at = text.find(kTestServerPrefix);
    if (at == std::string::npos) {
        return 0;
    }
    const char* digits = text.c_str() + at + std::strlen(kTestServerPrefix);
    char* end = nullptr;
    const long pid = std::strtol(digits, &end, 10);
    return end != digits && *end == '-' ? static_cast<pid_t>(pid) : 0;
}

std::vector<std::string> FileNames(const std::string& folder)
{
    std::vector<std::string> names;
    const std::unique_ptr<DIR, int (*)(DIR*)> listing(opendir(folder.c_str()), &closedir);
    if (!listing) {
        return names;
    }
    while (const dirent* entry = readdir(listing.get())) {
        names.emplace_back(entry->d_name);
    }
    return names;
}

// A server's files: "jack_<server>_<uid>_..." and "jack_sem.<uid>_<server>_...".
bool IsFileOfServer(const std::string& file, const std::string& server)
{
    const std::string uid = std::to_string(getuid());
    return file.rfind("jack_" + server + "_", 0) == 0 ||
           file.rfind("jack_sem." + uid + "_" + server + "_", 0) == 0;
}

bool IsFileOfAnyServer(const std::string& file)
{
    return file.rfind("jack_", 0) == 0 && file != "jack_db-" + std::to_string(getuid());
}

} // namespace

JackShmRegistry::JackShmRegistry(std::string folder) : mFolder(std::move(folder))
{}

int32_t JackShmRegistry::ReclaimEndedServers() const
{
    int32_t freed = 0;
    const std::string path = mFolder + "/" + kRegistryName;
    const int file = open(path.c_str(), O_RDWR | O_CLOEXEC);
    struct stat status = {};
    constexpr size_t kNeeded = kServersOffset + kServerCount * kServerEntrySize;
    if (file >= 0 && fstat(file, &status) == 0 && static_cast<size_t>(status.st_size) >= kNeeded) {
        // Shared with the running servers, which see the change at once.
        void* mapped = mmap(nullptr, kNeeded, PROT_READ | PROT_WRITE, MAP_SHARED, file, 0);
        if (mapped != MAP_FAILED) {
            auto* bytes = static_cast<uint8_t*>(mapped);
            uint32_t magic = 0;
            uint32_t headerLength = 0;
            std::memcpy(&magic, bytes, sizeof magic);
            std::memcpy(&headerLength, bytes + kHeaderLengthOffset, sizeof headerLength);
            // Anything but the layout we know is left alone.
            if (magic == kMagic && headerLength == kNeeded) {
                for (size_t index = 0; index < kServerCount; ++index) {
                    uint8_t* entry = bytes + kServersOffset + index * kServerEntrySize;
                    pid_t pid = 0;
                    std::memcpy(&pid, entry, sizeof pid);
                    if (HasEnded(pid)) {
                        std::memset(entry, 0, kServerEntrySize);
                        ++freed;
                    }
                }
            }
            munmap(mapped, kNeeded);
        }
    }
    if (file >= 0) {
        close(file);
    }
    for (const std::string& name : FileNames(mFolder)) {
        if (IsFileOfAnyServer(name) && HasEnded(TestProcessOf(name))) {
            unlink((mFolder + "/" + name).c_str());
        }
    }
    return freed;
}

void JackShmRegistry::RemoveServerFiles(const std::string& serverName) const
{
    for (const std::string& name : FileNames(mFolder)) {
        if (IsFileOfServer(name, serverName)) {
            unlink((mFolder + "/" + name).c_str());
        }
    }
}

} // namespace svtest
