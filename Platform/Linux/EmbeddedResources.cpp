#include "EmbeddedResources.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>

namespace svp {

// Written by the build (cmake/EmbedResources.cmake) from the list in Resources/.
extern const EmbeddedResource kEmbeddedResourceTable[];
extern const std::size_t kEmbeddedResourceCount;

std::span<const EmbeddedResource> GetEmbeddedResources()
{
    return {kEmbeddedResourceTable, kEmbeddedResourceCount};
}

const EmbeddedResource* FindEmbeddedResource(std::string_view type, std::string_view name)
{
    const auto resources = GetEmbeddedResources();
    const auto found = std::find_if(resources.begin(), resources.end(), [&](const auto& resource) {
        return resource.type == type && resource.name == name;
    });
    return found == resources.end() ? nullptr : &*found;
}

void ReleaseEmbeddedResourcePages(const EmbeddedResource& resource)
{
    // Only the pages wholly inside the bytes: they lie in the executable's read-only data, so
    // dropping them loses nothing.
    const auto pageSize = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto begin = reinterpret_cast<uintptr_t>(resource.bytes.data());
    const uintptr_t first = (begin + pageSize - 1) / pageSize * pageSize;
    const uintptr_t last = (begin + resource.bytes.size()) / pageSize * pageSize;
    if (last > first) {
        madvise(reinterpret_cast<void*>(first), last - first, MADV_DONTNEED);
    }
}

} // namespace svp
