#include "MemoryPages.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <vector>

namespace {

// Pages of [data, data + bytes) that are present, one flag each.
std::vector<bool> PresentPages(void* data, size_t bytes)
{
    const size_t pageSize = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    std::vector<unsigned char> flags((bytes + pageSize - 1) / pageSize);
    EXPECT_EQ(0, mincore(data, bytes, flags.data()));
    std::vector<bool> present;
    for (unsigned char flag : flags) {
        present.push_back((flag & 1) != 0);
    }
    return present;
}

TEST(MemoryPagesTest, PrefaultingMakesTheWholePagesInsidePresentAndKeepsTheirContents)
{
    const size_t pageSize = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    const size_t bytes = 8 * pageSize;
    void* mapped = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(mapped, MAP_FAILED);
    auto* memory = static_cast<unsigned char*>(mapped);
    std::memset(memory + 3 * pageSize, 0x5A, 16);
    EXPECT_EQ(PresentPages(memory, bytes),
              (std::vector<bool>{false, false, false, true, false, false, false, false}));

    // From the middle of page 1 to the middle of page 7: pages 2 to 6 lie wholly inside.
    svp::PrefaultForWriting(memory + pageSize + 100, 6 * pageSize);
    const std::vector<bool> present = PresentPages(memory, bytes);
    if (present[2] == false) {
        GTEST_SKIP() << "this kernel does not prefault memory on advice";
    }
    EXPECT_EQ(present, (std::vector<bool>{false, false, true, true, true, true, true, false}));
    EXPECT_EQ(memory[3 * pageSize + 15], 0x5A);
    EXPECT_EQ(memory[5 * pageSize], 0);

    svp::PrefaultForWriting(nullptr, bytes); // nothing to do, and no failure
    munmap(mapped, bytes);
}

} // namespace
