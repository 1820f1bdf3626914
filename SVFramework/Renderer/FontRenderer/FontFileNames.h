// Reads the family and subfamily names of every font in a TrueType file or collection from its
// 'name' table. Nothing else of the file is interpreted. Every count and offset is checked
// against the file's size first, so a damaged file is refused as a whole and nothing is read
// past its end.
#pragma once

#include "Utilities/Storage/StringT.h"

#include <cstdint>
#include <vector>

namespace SV {

class File;

// Where the bytes of a font file come from: positional reads within a known size.
class FontFileBytes
{
public:
    virtual ~FontFileBytes() = default;
    virtual uint64_t GetSize() const = 0;
    // True when all `count` bytes at `offset` were read; only called within the size.
    [[nodiscard]] virtual bool ReadAt(uint64_t offset, void* buffer, uint32_t count) = 0;
};

// A font file in memory (a fuzzing input, a test's bytes).
class FontFileMemoryBytes : public FontFileBytes
{
public:
    FontFileMemoryBytes(const void* data, size_t size) : mData(data), mSize(size) {}
    uint64_t GetSize() const override { return mSize; }
    [[nodiscard]] bool ReadAt(uint64_t offset, void* buffer, uint32_t count) override;

private:
    const void* mData;
    size_t mSize;
};

// An open framework file; a read that fails or comes back short answers false.
class FontFileFileBytes : public FontFileBytes
{
public:
    explicit FontFileFileBytes(File& file);
    uint64_t GetSize() const override { return mSize; }
    [[nodiscard]] bool ReadAt(uint64_t offset, void* buffer, uint32_t count) override;

private:
    File& mFile;
    uint64_t mSize = 0;
};

// One (family, subfamily) pair in the order the 'name' tables give them. The subfamily is
// lower-cased ("bold italic"); the family is kept as read.
struct FontFileName
{
    WideString family;
    WideString subfamily;
};

// Appends the name pairs of every font of the file to `names`. False, with `names` as it was,
// when the file is not a font file the reader can trust: a count or offset that leads past the
// end of the file, or a read that fails.
[[nodiscard]] bool ReadFontFileNames(FontFileBytes& bytes, std::vector<FontFileName>& names);

} // namespace SV
