#include "MemoryPages.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace svp {

namespace {

// Gives the advice for the whole pages inside [data, data + bytes) only: the bytes may share
// their first and last pages with other memory.
void AdviseWholePages(const void* data, size_t bytes, int advice)
{
    const auto pageSize = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto begin = reinterpret_cast<uintptr_t>(data);
    const uintptr_t first = (begin + pageSize - 1) / pageSize * pageSize;
    const uintptr_t last = (begin + bytes) / pageSize * pageSize;
    if (data != nullptr && last > first) {
        madvise(reinterpret_cast<void*>(first), last - first, advice);
    }
}

} // namespace

void PrefaultForWriting(void* data, size_t bytes)
{
#ifdef MADV_POPULATE_WRITE
    // A kernel older than 5.14 refuses the advice; the pages then fault in as they are met.
    AdviseWholePages(data, bytes, MADV_POPULATE_WRITE);
#else
    (void)data;
    (void)bytes;
#endif
}

void ReleaseReadOnlyPages(const void* data, size_t bytes)
{
    AdviseWholePages(data, bytes, MADV_DONTNEED);
}

} // namespace svp
