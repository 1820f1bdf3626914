// Builds the bytes of small TrueType files and collections that hold nothing but a table
// directory and a 'name' table, for the tests of the font-file reader and the catalogue.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace svtest {

struct NameRecord
{
    uint16_t platform;
    uint16_t language;
    uint16_t nameId;
    std::string bytes; // as stored: 8-bit text, or UTF-16 big-endian for platform 3
};

// A Windows US English record of UTF-16 big-endian text.
inline NameRecord WindowsName(uint16_t nameId, const std::string& ascii)
{
    std::string bytes;
    for (const char c : ascii) {
        bytes += '\0';
        bytes += c;
    }
    return {3, 0x0409, nameId, bytes};
}

// A Macintosh English record of 8-bit text.
inline NameRecord MacName(uint16_t nameId, const std::string& text)
{
    return {1, 0, nameId, text};
}

inline void Put16(std::string& out, uint32_t value)
{
    out += static_cast<char>((value >> 8) & 0xFF);
    out += static_cast<char>(value & 0xFF);
}

inline void Put32(std::string& out, uint32_t value)
{
    Put16(out, value >> 16);
    Put16(out, value & 0xFFFF);
}

// The 'name' table of the records.
inline std::string NameTable(const std::vector<NameRecord>& records)
{
    std::string table;
    Put16(table, 0);
    Put16(table, static_cast<uint32_t>(records.size()));
    Put16(table, static_cast<uint32_t>(6 + 12 * records.size()));
    std::string storage;
    for (const NameRecord& record : records) {
        Put16(table, record.platform);
        Put16(table, record.platform == 3 ? 1 : 0);
        Put16(table, record.language);
        Put16(table, record.nameId);
        Put16(table, static_cast<uint32_t>(record.bytes.size()));
        Put16(table, static_cast<uint32_t>(storage.size()));
        storage += record.bytes;
    }
    return table + storage;
}

// One font at `base` within its file: an offset table whose directory lists a 'head' record
// and then a record with `nameTag` pointing at the name table, which follows the directory.
inline std::string Font(uint32_t base, const std::vector<NameRecord>& records,
                        const std::string& nameTag = "name")
{
    std::string font;
    Put32(font, 0x00010000);
    Put16(font, 2);
    Put16(font, 32);
    Put16(font, 1);
    Put16(font, 0);
    const uint32_t tableOffset = base + 12 + 2 * 16;
    const std::string table = NameTable(records);
    font += "head";
    Put32(font, 0);
    Put32(font, tableOffset);
    Put32(font, 0);
    font += nameTag;
    Put32(font, 0);
    Put32(font, tableOffset);
    Put32(font, static_cast<uint32_t>(table.size()));
    return font + table;
}

inline std::string FontFile(const std::vector<NameRecord>& records)
{
    return Font(0, records);
}

// A collection of the fonts' records, version 2 (with the signature fields) when asked.
inline std::string Collection(const std::vector<std::vector<NameRecord>>& fonts,
                              bool version2 = false)
{
    std::string header = "ttcf";
    Put32(header, version2 ? 0x00020000 : 0x00010000);
    Put32(header, static_cast<uint32_t>(fonts.size()));
    uint32_t offset = static_cast<uint32_t>(12 + 4 * fonts.size() + (version2 ? 12 : 0));
    std::string body;
    std::string offsets;
    for (const std::vector<NameRecord>& records : fonts) {
        Put32(offsets, offset + static_cast<uint32_t>(body.size()));
        body += Font(offset + static_cast<uint32_t>(body.size()), records);
    }
    header += offsets;
    if (version2) {
        header += std::string(12, '\0');
    }
    return header + body;
}

// A regular font of a family, with its names in both platforms' records.
inline std::string FamilyFont(const std::string& family, const std::string& subfamily)
{
    return FontFile({WindowsName(1, family), WindowsName(2, subfamily)});
}

} // namespace svtest
