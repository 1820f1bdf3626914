#include "EmbeddedResources.h"

#include "MemoryPages.h"

#include <algorithm>

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
    // The bytes lie in the executable's read-only data: dropping their pages loses nothing.
    ReleaseReadOnlyPages(resource.bytes.data(), resource.bytes.size());
}

} // namespace svp
