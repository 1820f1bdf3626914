#include "Renderer/FontRenderer/FontFileNames.h"
#include "FontFileBuilder.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using svtest::Collection;
using svtest::FontFile;
using svtest::MacName;
using svtest::NameRecord;
using svtest::WindowsName;

using Names = std::vector<std::pair<std::string, std::string>>;

// The pairs read from the bytes, or {"refused"} when the reader refused the file.
Names Read(const std::string& bytes)
{
    SV::FontFileMemoryBytes source(bytes.data(), bytes.size());
    std::vector<SV::FontFileName> names;
    if (!SV::ReadFontFileNames(source, names)) {
        return {{"refused", ""}};
    }
    Names result;
    for (const SV::FontFileName& name : names) {
        result.emplace_back(name.family.ToNarrow().GetText(), name.subfamily.ToNarrow().GetText());
    }
    return result;
}

struct NamesCase
{
    const char* what;
    std::string bytes;
    Names expected;
};

class FontFileNamesTest : public testing::TestWithParam<NamesCase>
{};

TEST_P(FontFileNamesTest, ReadsTheFamilyAndSubfamilyPairs)
{
    EXPECT_EQ(Read(GetParam().bytes), GetParam().expected) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FontFileNamesTest,
    testing::Values(
        NamesCase{"both platforms register once each",
                  FontFile({MacName(1, "Sans"), MacName(2, "Bold"), WindowsName(1, "Sans"),
                            WindowsName(2, "Bold")}),
                  {{"Sans", "bold"}, {"Sans", "bold"}}},
        NamesCase{"subfamily first, family kept as read, subfamily lower-cased",
                  FontFile({WindowsName(2, "Bold Italic"), WindowsName(1, "My Serif")}),
                  {{"My Serif", "bold italic"}}},
        NamesCase{"other languages, platforms and name ids are passed over",
                  FontFile({{3, 0x0407, 1, std::string("\0X", 2)},
                            {0, 0, 1, "U"},
                            {1, 5, 2, "Fett"},
                            WindowsName(4, "Full"),
                            WindowsName(1, "Sans"),
                            WindowsName(2, "Regular")}),
                  {{"Sans", "regular"}}},
        NamesCase{"an empty name is passed over",
                  FontFile({WindowsName(1, ""), WindowsName(2, "Regular"), WindowsName(1, "Sans")}),
                  {{"Sans", "regular"}}},
        NamesCase{
            "a second name of a pending kind is ignored",
            FontFile({WindowsName(1, "First"), WindowsName(1, "Second"), WindowsName(2, "Italic")}),
            {{"First", "italic"}}},
        NamesCase{"a platform lacking a subfamily pairs with the next platform's",
                  FontFile({MacName(1, "Mac Family"), WindowsName(1, "Win Family"),
                            WindowsName(2, "Bold")}),
                  {{"Mac Family", "bold"}}},
        NamesCase{
            "a UTF-16 name of odd length drops its last byte",
            FontFile({{3, 0x0409, 1, std::string("\0S\0a\0n\0s\0", 9)}, WindowsName(2, "Regular")}),
            {{"Sans", "regular"}}},
        NamesCase{"an 8-bit name ends at its first zero byte",
                  FontFile({MacName(1, std::string("Sans\0junk", 9)), MacName(2, "Regular")}),
                  {{"Sans", "regular"}}},
        NamesCase{"the table tag is compared in either case",
                  svtest::Font(0, {WindowsName(1, "Sans"), WindowsName(2, "Bold")}, "NAME"),
                  {{"Sans", "bold"}}},
        NamesCase{
            "a zero tag ends the directory before any name table",
            svtest::Font(0, {WindowsName(1, "Sans"), WindowsName(2, "Bold")}, std::string(4, '\0')),
            {}},
        NamesCase{"a directory without a name table adds nothing",
                  svtest::Font(0, {WindowsName(1, "Sans"), WindowsName(2, "Bold")}, "cmap"),
                  {}},
        NamesCase{"each font of a collection registers",
                  Collection({{WindowsName(1, "A"), WindowsName(2, "Regular")},
                              {WindowsName(1, "B"), WindowsName(2, "Bold")}}),
                  {{"A", "regular"}, {"B", "bold"}}},
        NamesCase{"a version 2 collection skips its signature fields",
                  Collection({{WindowsName(1, "A"), WindowsName(2, "Italic")}}, true),
                  {{"A", "italic"}}}));

// Bytes of a valid font with one big-endian field overwritten.
std::string WithField(std::string bytes, size_t offset, uint32_t value, int size)
{
    for (int i = 0; i < size; ++i) {
        bytes[offset + i] = static_cast<char>((value >> (8 * (size - 1 - i))) & 0xFF);
    }
    return bytes;
}

TEST(FontFileNamesFaultTest, RefusesFilesWhoseCountsOrOffsetsLeadPastTheEnd)
{
    const std::string font = FontFile({WindowsName(1, "Sans"), WindowsName(2, "Bold")});
    // The name table follows the offset table (12 bytes) and two directory records.
    const size_t nameTable = 12 + 2 * 16;
    const std::string collection = Collection({{WindowsName(1, "A"), WindowsName(2, "Bold")}});
    const std::vector<std::pair<const char*, std::string>> damaged = {
        {"empty file", ""},
        {"shorter than an offset table", font.substr(0, 11)},
        {"table count beyond the file", WithField(font, 4, 0xFFFF, 2)},
        {"name table offset beyond the file", WithField(font, 12 + 16 + 8, 0x7FFFFFF0, 4)},
        {"name table offset at the very end", WithField(font, 12 + 16 + 8, font.size(), 4)},
        {"name count beyond the file", WithField(font, nameTable + 2, 0xFFFF, 2)},
        {"string storage beyond the file", WithField(font, nameTable + 4, 0xFFFF, 2)},
        {"string length beyond the file", WithField(font, nameTable + 6 + 8, 0xFFFF, 2)},
        {"file cut inside a name", font.substr(0, font.size() - 3)},
        {"collection count beyond the file", WithField(collection, 8, 0xFFFFFFFF, 4)},
        {"collection font offset beyond the file", WithField(collection, 12, 0xFFFFFFF0, 4)},
        {"collection cut inside its offsets", collection.substr(0, 14)},
    };
    for (const auto& [what, bytes] : damaged) {
        SV::FontFileMemoryBytes source(bytes.data(), bytes.size());
        std::vector<SV::FontFileName> names(1);
        EXPECT_FALSE(SV::ReadFontFileNames(source, names)) << what;
        EXPECT_EQ(names.size(), 1u) << what << ": names were touched";
    }
}

TEST(FontFileNamesFaultTest, ATableCountOfZeroSkipsOnlyThatFont)
{
    const std::string empty = WithField(FontFile({}), 4, 0, 2);
    EXPECT_EQ(Read(empty), Names{});
}

} // namespace
