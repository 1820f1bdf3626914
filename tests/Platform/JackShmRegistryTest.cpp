#include "JackShmRegistry.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <string>

namespace {

using svtest::JackShmRegistry;

constexpr size_t kHeaderLength = JackShmRegistry::kServersOffset +
                                 JackShmRegistry::kServerCount * JackShmRegistry::kServerEntrySize;

// A process that has ended and been reaped.
pid_t EndedProcess()
{
    const pid_t pid = fork();
    if (pid == 0) {
        _exit(0);
    }
    waitpid(pid, nullptr, 0);
    return pid;
}

struct Entry
{
    pid_t pid;
    std::string server;
};

std::string Registry(const std::vector<Entry>& entries, uint32_t magic = JackShmRegistry::kMagic)
{
    std::string bytes(kHeaderLength + 4096, '\0');
    std::memcpy(bytes.data(), &magic, sizeof magic);
    const auto length = static_cast<uint32_t>(kHeaderLength);
    std::memcpy(bytes.data() + JackShmRegistry::kHeaderLengthOffset, &length, sizeof length);
    for (size_t index = 0; index < entries.size(); ++index) {
        char* entry = bytes.data() + JackShmRegistry::kServersOffset +
                      index * JackShmRegistry::kServerEntrySize;
        std::memcpy(entry, &entries[index].pid, sizeof(pid_t));
        const std::string name =
            "jack-" + std::to_string(getuid()) + ":" + entries[index].server + ":";
        std::memcpy(entry + sizeof(pid_t), name.data(), name.size());
    }
    return bytes;
}

pid_t PidOfEntry(const std::string& registry, size_t index)
{
    pid_t pid = 0;
    std::memcpy(&pid,
                registry.data() + JackShmRegistry::kServersOffset +
                    index * JackShmRegistry::kServerEntrySize,
                sizeof pid);
    return pid;
}

bool Exists(const svtest::TempFolder& folder, const std::string& name)
{
    return access(folder.Join(name).c_str(), F_OK) == 0;
}

TEST(JackShmRegistryTest, FreesTheEntriesOfEndedServersAndKeepsLiveOnes)
{
    svtest::TempFolder folder;
    const pid_t ended = EndedProcess();
    const std::string endedServer = "svtest-" + std::to_string(ended) + "-1";
    const std::string liveServer = "svtest-" + std::to_string(getpid()) + "-1";
    const std::string uid = std::to_string(getuid());
    folder.WriteFile(JackShmRegistry::kRegistryName,
                     Registry({{ended, endedServer}, {getpid(), liveServer}, {ended, "default"}}));
    const std::vector<std::string> endedFiles = {"jack_sem." + uid + "_" + endedServer + "_SV MIDI",
                                                 "jack_" + endedServer + "_" + uid + "_0"};
    const std::vector<std::string> liveFiles = {"jack_sem." + uid + "_" + liveServer + "_system",
                                                "jack_" + liveServer + "_" + uid + "_0",
                                                "unrelated-" + endedServer};
    for (const std::string& name : endedFiles) {
        folder.WriteFile(name, "x");
    }
    for (const std::string& name : liveFiles) {
        folder.WriteFile(name, "x");
    }

    EXPECT_EQ(2, JackShmRegistry(folder.Path()).ReclaimEndedServers());

    const std::string after = folder.ReadFile(JackShmRegistry::kRegistryName);
    EXPECT_EQ(0, PidOfEntry(after, 0));
    EXPECT_EQ(getpid(), PidOfEntry(after, 1));
    EXPECT_EQ(0, PidOfEntry(after, 2));
    for (const std::string& name : endedFiles) {
        EXPECT_FALSE(Exists(folder, name)) << name;
    }
    for (const std::string& name : liveFiles) {
        EXPECT_TRUE(Exists(folder, name)) << name;
    }
}

TEST(JackShmRegistryTest, LeavesARegistryOfAnotherLayoutAlone)
{
    svtest::TempFolder folder;
    const std::string before = Registry({{EndedProcess(), "default"}}, 0x12345678);
    folder.WriteFile(JackShmRegistry::kRegistryName, before);
    EXPECT_EQ(0, JackShmRegistry(folder.Path()).ReclaimEndedServers());
    EXPECT_EQ(before, folder.ReadFile(JackShmRegistry::kRegistryName));
    // No registry at all is nothing to do.
    svtest::TempFolder empty;
    EXPECT_EQ(0, JackShmRegistry(empty.Path()).ReclaimEndedServers());
}

TEST(JackShmRegistryTest, RemovesTheFilesOfOneStoppedServer)
{
    svtest::TempFolder folder;
    const std::string uid = std::to_string(getuid());
    for (const std::string& name :
         {"jack_sem." + uid + "_svtest-1-1_SV MIDI", "jack_svtest-1-1_" + uid + "_0",
          "jack_svtest-1-10_" + uid + "_0"}) {
        folder.WriteFile(name, "x");
    }
    JackShmRegistry(folder.Path()).RemoveServerFiles("svtest-1-1");
    EXPECT_FALSE(Exists(folder, "jack_sem." + uid + "_svtest-1-1_SV MIDI"));
    EXPECT_FALSE(Exists(folder, "jack_svtest-1-1_" + uid + "_0"));
    EXPECT_TRUE(Exists(folder, "jack_svtest-1-10_" + uid + "_0"));
}

} // namespace
