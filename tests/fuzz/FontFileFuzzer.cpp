// Font files from the system's font folders, as the catalogue reads their collection header,
// table directory and 'name' table.

#include "FuzzCheck.h"
#include "Renderer/FontRenderer/FontFileNames.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A copy in a block of exactly the file's size, so that a read past its end is caught.
    auto bytes = std::make_unique<uint8_t[]>(size);
    std::copy(data, data + size, bytes.get());
    SV::FontFileMemoryBytes source(bytes.get(), size);

    std::vector<SV::FontFileName> names;
    const bool trusted = SV::ReadFontFileNames(source, names);
    // A refused file adds nothing; a name is never longer than the file holds.
    SV::FontFileName marker;
    std::vector<SV::FontFileName> kept(1, marker);
    SV::FontFileMemoryBytes again(bytes.get(), size);
    SV_FUZZ_CHECK(SV::ReadFontFileNames(again, kept) == trusted);
    SV_FUZZ_CHECK(trusted || kept.size() == 1);
    SV_FUZZ_CHECK(trusted || names.empty());
    for (const SV::FontFileName& name : names) {
        SV_FUZZ_CHECK(!name.family.IsEmpty() && !name.subfamily.IsEmpty());
        SV_FUZZ_CHECK(uint64_t(name.family.GetLength()) <= size);
        SV_FUZZ_CHECK(uint64_t(name.subfamily.GetLength()) <= size);
    }
    return 0;
}
