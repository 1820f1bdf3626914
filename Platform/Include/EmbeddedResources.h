// The program's resources (skin and string XML, images, cursors, the icon), compiled into the
// executable at build time as a table of type, name and bytes. The names are the ones the
// program asks for: "SVXML" / "APP_SKINS", "GDIPLUS" / "CE_PNG", "CURSOR" / "102".
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace svp {

struct EmbeddedResource
{
    std::string_view type;
    std::string_view name;
    std::span<const std::uint8_t> bytes;
};

// The resource of exactly this type and name (both compared as they are, case included); null
// when the executable holds none. The bytes live as long as the process.
const EmbeddedResource* FindEmbeddedResource(std::string_view type, std::string_view name);

// Every resource the executable holds, in the order they were listed at build time.
std::span<const EmbeddedResource> GetEmbeddedResources();

// Lets go of the memory that reading the resource's bytes brought in, for a large resource read
// once; the bytes stay readable, a later read brings them in again from the executable.
void ReleaseEmbeddedResourcePages(const EmbeddedResource& resource);

} // namespace svp
