#include "ProfileFile.h"

#include "FileSystem.h"
#include "SpecialFolders.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace svp {
namespace {

constexpr size_t kMaxValueBytes = 64 * 1024;

std::string Trim(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::vector<std::string> ReadLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

bool IsSection(const std::string& line, std::string* name)
{
    const std::string trimmed = Trim(line);
    if (trimmed.size() < 2 || trimmed.front() != '[' || trimmed.back() != ']') {
        return false;
    }
    *name = trimmed.substr(1, trimmed.size() - 2);
    return true;
}

bool EntryName(const std::string& line, std::string* name)
{
    const size_t equals = line.find('=');
    if (equals == std::string::npos) {
        return false;
    }
    *name = Trim(line.substr(0, equals));
    return true;
}

std::optional<std::vector<uint8_t>> ParseHex(const std::string& text)
{
    if (text.size() % 2 != 0 || text.size() / 2 > kMaxValueBytes) {
        return std::nullopt;
    }
    const auto nibble = [](char c) -> int {
        if (c >= '0' && c <= '9') {
            return c - '0';
        }
        if (c >= 'a' && c <= 'f') {
            return c - 'a' + 10;
        }
        if (c >= 'A' && c <= 'F') {
            return c - 'A' + 10;
        }
        return -1;
    };
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < text.size(); i += 2) {
        const int high = nibble(text[i]);
        const int low = nibble(text[i + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        bytes.push_back(static_cast<uint8_t>(high << 4 | low));
    }
    return bytes;
}

bool HaveFolder(const std::string& path)
{
    return GetPathKind(path) == PathKind::kDirectory || CreateFolder(path);
}

} // namespace

std::string ProfileFile::PathFor(const std::string& company, const std::string& product)
{
    std::string folder = GetSpecialFolder(SpecialFolder::kLocalApplicationData, true);
    if (folder.empty() || !HaveFolder(folder += "/" + company) ||
        !HaveFolder(folder += "/" + product)) {
        return {};
    }
    return folder + "/profile.ini";
}

std::optional<std::vector<uint8_t>> ProfileFile::ReadBinary(const std::string& section,
                                                            const std::string& entry) const
{
    std::string current;
    std::string name;
    for (const std::string& line : ReadLines(mPath)) {
        if (IsSection(line, &name)) {
            current = name;
        } else if (current == section && EntryName(line, &name) && name == entry) {
            return ParseHex(Trim(line.substr(line.find('=') + 1)));
        }
    }
    return std::nullopt;
}

bool ProfileFile::WriteBinary(const std::string& section, const std::string& entry,
                              std::span<const uint8_t> bytes) const
{
    static const char kDigits[] = "0123456789ABCDEF";
    std::string value = entry + "=";
    for (const uint8_t byte : bytes) {
        value += kDigits[byte >> 4];
        value += kDigits[byte & 0xF];
    }

    std::vector<std::string> lines = ReadLines(mPath);
    std::string current;
    std::string name;
    bool written = false;
    size_t sectionEnd = std::string::npos;
    for (size_t i = 0; i < lines.size() && !written; ++i) {
        if (IsSection(lines[i], &name)) {
            if (current == section) {
                break;
            }
            current = name;
            if (current == section) {
                sectionEnd = i + 1;
            }
        } else if (current == section) {
            if (EntryName(lines[i], &name) && name == entry) {
                lines[i] = value;
                written = true;
            } else if (!Trim(lines[i]).empty()) {
                sectionEnd = i + 1;
            }
        }
    }
    if (!written) {
        if (sectionEnd == std::string::npos) {
            lines.push_back("[" + section + "]");
            lines.push_back(value);
        } else {
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(sectionEnd), value);
        }
    }

    const std::string temporary = mPath + ".new";
    {
        std::ofstream out(temporary, std::ios::trunc);
        for (const std::string& line : lines) {
            out << line << '\n';
        }
        if (!out.flush()) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    return std::rename(temporary.c_str(), mPath.c_str()) == 0;
}

} // namespace svp
