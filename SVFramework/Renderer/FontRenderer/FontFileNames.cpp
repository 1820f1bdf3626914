#include "Renderer/FontRenderer/FontFileNames.h"

#include "Utilities/Storage/SVFile.h"

#include <array>
#include <cstring>

namespace SV {
namespace {

constexpr uint32_t kCollectionTag = 0x74746366; // "ttcf"
constexpr uint32_t kCollectionVersion2 = 0x00020000;
constexpr uint64_t kCollectionHeaderSize = 12;
constexpr uint64_t kOffsetTableSize = 12;
constexpr uint64_t kTableRecordSize = 16;
constexpr uint64_t kNameHeaderSize = 6;
constexpr uint64_t kNameRecordSize = 12;

constexpr uint16_t kPlatformMacintosh = 1;
constexpr uint16_t kPlatformWindows = 3;
constexpr uint16_t kLanguageMacEnglish = 0;
constexpr uint16_t kLanguageWindowsUsEnglish = 0x0409;
constexpr uint16_t kNameFamily = 1;
constexpr uint16_t kNameSubfamily = 2;

uint16_t Read16(const unsigned char* bytes)
{
    return static_cast<uint16_t>((bytes[0] << 8) | bytes[1]);
}

uint32_t Read32(const unsigned char* bytes)
{
    return (uint32_t(bytes[0]) << 24) | (uint32_t(bytes[1]) << 16) | (uint32_t(bytes[2]) << 8) |
           uint32_t(bytes[3]);
}

// Reads a whole font file's names; every method answers false as soon as the file proves
// untrustworthy, and the caller then drops everything it gathered.
class NameReader
{
public:
    NameReader(FontFileBytes& bytes, std::vector<FontFileName>& names)
        : mBytes(bytes), mSize(bytes.GetSize()), mNames(names)
    {}

    bool ReadFile()
    {
        std::vector<uint32_t> fontOffsets;
        if (!ReadFontOffsets(fontOffsets)) {
            return false;
        }
        for (const uint32_t offset : fontOffsets) {
            if (!ReadFont(offset)) {
                return false;
            }
        }
        return true;
    }

private:
    // Reads only what lies wholly inside the file.
    bool ReadAt(uint64_t offset, void* buffer, uint64_t count)
    {
        if (offset > mSize || count > mSize - offset) {
            return false;
        }
        return count == 0 || mBytes.ReadAt(offset, buffer, static_cast<uint32_t>(count));
    }

    bool ReadFontOffsets(std::vector<uint32_t>& offsets)
    {
        std::array<unsigned char, kCollectionHeaderSize> header{};
        if (!ReadAt(0, header.data(), header.size())) {
            return false;
        }
        if (Read32(header.data()) != kCollectionTag) {
            offsets.push_back(0);
            return true;
        }
        const uint64_t count = Read32(header.data() + 8);
        // The offsets (and a version 2 signature) must fit the file before any room is made
        // for them, so an absurd count cannot ask for memory the file does not justify.
        const uint64_t tail = Read32(header.data() + 4) == kCollectionVersion2 ? 12 : 0;
        if (count * 4 + tail > mSize - kCollectionHeaderSize) {
            return false;
        }
        std::vector<unsigned char> raw(count * 4);
        if (!ReadAt(kCollectionHeaderSize, raw.data(), raw.size())) {
            return false;
        }
        offsets.reserve(count);
        for (uint64_t i = 0; i < count; ++i) {
            offsets.push_back(Read32(raw.data() + 4 * i));
        }
        return true;
    }

    bool ReadFont(uint64_t offset)
    {
        std::array<unsigned char, kOffsetTableSize> offsetTable{};
        if (!ReadAt(offset, offsetTable.data(), offsetTable.size())) {
            return false;
        }
        const uint64_t tableCount = Read16(offsetTable.data() + 4);
        if (tableCount == 0) {
            return true;
        }
        const uint64_t directory = offset + kOffsetTableSize;
        if (directory + tableCount * kTableRecordSize > mSize) {
            return false;
        }
        for (uint64_t i = 0; i < tableCount; ++i) {
            std::array<unsigned char, kTableRecordSize> record{};
            if (!ReadAt(directory + i * kTableRecordSize, record.data(), record.size())) {
                return false;
            }
            // The tag is compared as text, letters in either case; a tag that starts with a
            // zero byte ends the directory.
            char tagText[5] = {};
            std::memcpy(tagText, record.data(), 4);
            WideString tag;
            (void)tag.AssignUtf8(tagText, -1);
            if (tag.ToLower().EqualsUtf8("name")) {
                return ReadNameTable(Read32(record.data() + 8));
            }
            if (tag.IsEmpty()) {
                return true;
            }
        }
        return true;
    }

    bool ReadNameTable(uint64_t table)
    {
        std::array<unsigned char, kNameHeaderSize> header{};
        if (!ReadAt(table, header.data(), header.size())) {
            return false;
        }
        const uint64_t count = Read16(header.data() + 2);
        const uint64_t storage = table + Read16(header.data() + 4);
        if (table + kNameHeaderSize + count * kNameRecordSize > mSize) {
            return false;
        }
        WideString family;
        WideString subfamily;
        bool familyPending = false;
        bool subfamilyPending = false;
        for (uint64_t k = 0; k < count; ++k) {
            std::array<unsigned char, kNameRecordSize> record{};
            if (!ReadAt(table + kNameHeaderSize + k * kNameRecordSize, record.data(),
                        record.size())) {
                return false;
            }
            const uint16_t platform = Read16(record.data());
            const uint16_t language = Read16(record.data() + 4);
            const uint16_t nameId = Read16(record.data() + 6);
            const bool accepted =
                (platform == kPlatformMacintosh && language == kLanguageMacEnglish) ||
                (platform == kPlatformWindows && language == kLanguageWindowsUsEnglish);
            if (!accepted || (nameId != kNameFamily && nameId != kNameSubfamily)) {
                continue;
            }
            WideString text;
            if (!ReadName(platform, storage + Read16(record.data() + 10), Read16(record.data() + 8),
                          text)) {
                return false;
            }
            if (text.IsEmpty()) {
                continue;
            }
            if (nameId == kNameSubfamily && !subfamilyPending) {
                subfamily = text.ToLower();
                subfamilyPending = true;
            } else if (nameId == kNameFamily && !familyPending) {
                family = text;
                familyPending = true;
            }
            // A table with names for both platforms gives a pair for each; a platform that
            // lacks one of the two pairs its other name with the next platform's.
            if (familyPending && subfamilyPending) {
                mNames.push_back({family, subfamily});
                familyPending = false;
                subfamilyPending = false;
            }
        }
        return true;
    }

    bool ReadName(uint16_t platform, uint64_t offset, uint16_t length, WideString& text)
    {
        // One zero byte more than the name, so the 8-bit text always ends.
        std::vector<unsigned char> raw(size_t(length) + 1, 0);
        if (!ReadAt(offset, raw.data(), length)) {
            return false;
        }
        if (platform == kPlatformMacintosh) {
            // Taken as UTF-8 up to the first zero byte: malformed text keeps what converted
            // before the fault.
            (void)text.AssignUtf8(reinterpret_cast<const char*>(raw.data()), -1);
            return true;
        }
        // UTF-16 big-endian; an odd final byte is dropped, and the text ends at a zero unit.
        std::vector<char16_t> units(length / 2 + 1, u'\0');
        for (size_t i = 0; i < length / 2; ++i) {
            units[i] = static_cast<char16_t>(Read16(raw.data() + 2 * i));
        }
        text = units.data();
        return true;
    }

    FontFileBytes& mBytes;
    const uint64_t mSize;
    std::vector<FontFileName>& mNames;
};

} // namespace

bool FontFileMemoryBytes::ReadAt(uint64_t offset, void* buffer, uint32_t count)
{
    if (offset > mSize || count > mSize - offset) {
        return false;
    }
    std::memcpy(buffer, static_cast<const unsigned char*>(mData) + offset, count);
    return true;
}

FontFileFileBytes::FontFileFileBytes(File& file) : mFile(file)
{
    const int32_t length = file.GetLength();
    mSize = length > 0 ? static_cast<uint64_t>(length) : 0;
}

bool FontFileFileBytes::ReadAt(uint64_t offset, void* buffer, uint32_t count)
{
    if (offset > INT32_MAX) {
        return false;
    }
    return mFile.Read(buffer, count, static_cast<int32_t>(offset)) == static_cast<int32_t>(count);
}

bool ReadFontFileNames(FontFileBytes& bytes, std::vector<FontFileName>& names)
{
    std::vector<FontFileName> found;
    NameReader reader(bytes, found);
    if (!reader.ReadFile()) {
        return false;
    }
    names.insert(names.end(), found.begin(), found.end());
    return true;
}

} // namespace SV
