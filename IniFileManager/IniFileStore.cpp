#include "IniFileStore.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <system_error>

namespace {

constexpr const char* kValuesSection = "[Values]";
constexpr const char* kFileSection = "[File]";

std::string Escape(const std::string& text, bool isKey)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '=':
            out += isKey ? "\\=" : "=";
            break;
        case '[':
        case ';':
        case '#':
            // Only at the start of a line would they read as a section or a comment.
            if (isKey && i == 0) {
                out += '\\';
            }
            out += c;
            break;
        default:
            out += c;
        }
    }
    return out;
}

// Undoes Escape up to the first unescaped '=' when `stopAtEquals`; `end` gets the position
// after what was read. An unknown escape keeps its character.
std::string Unescape(const std::string& text, size_t start, bool stopAtEquals, size_t& end)
{
    std::string out;
    size_t i = start;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c == '=' && stopAtEquals) {
            break;
        }
        if (c == '\\' && i + 1 < text.size()) {
            c = text[++i];
            if (c == 'n') {
                c = '\n';
            } else if (c == 'r') {
                c = '\r';
            }
        }
        out += c;
    }
    end = i;
    return out;
}

bool IsValidUtf8(const std::string& text)
{
    size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        size_t extra = 0;
        uint32_t minimum = 0;
        uint32_t value = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1;
            minimum = 0x80;
            value = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            minimum = 0x800;
            value = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            minimum = 0x10000;
            value = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= text.size()) {
            return false;
        }
        for (size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            value = (value << 6) | (next & 0x3F);
        }
        if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
            return false;
        }
        i += extra + 1;
    }
    return true;
}

// "\r\n", "\n", or nothing for a last line without an end.
std::string LineEnd(const std::string& bytes)
{
    if (bytes.ends_with("\r\n")) {
        return "\r\n";
    }
    return bytes.ends_with('\n') ? "\n" : "";
}

// Ends a last line that has no end, so that a line can follow it; what the line reads as stays
// the same (a '\r' at its end stays part of it).
void EndLine(std::string& bytes)
{
    if (!bytes.ends_with('\n')) {
        bytes += bytes.ends_with('\r') ? "\r\n" : "\n";
    }
}

std::string TemporaryName(const std::string& path)
{
    static std::atomic<uint32_t> counter{0};
    std::random_device random;
    std::ostringstream name;
    name << path << ".tmp-" << std::hex << random() << '-' << counter++;
    return name.str();
}

} // namespace

IniFileStore::IniFileStore(std::string path, std::string version, std::string product)
    : mPath(std::move(path)), mVersion(std::move(version)), mProduct(std::move(product))
{}

IniFileStore::LoadResult IniFileStore::Load()
{
    mLines.clear();
    mValues.clear();
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(mPath, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        StartNewFile();
        return LoadResult::kRead;
    }
    if (error) {
        return LoadResult::kUnreadable;
    }
    // Opening a pipe would wait for a writer: only a regular file is opened.
    if (status.type() != std::filesystem::file_type::regular) {
        return LoadResult::kNotAFile;
    }
    if (std::filesystem::file_size(mPath, error) > kMaxFileSize && !error) {
        return LoadResult::kTooLarge;
    }
    std::ifstream file(mPath, std::ios::binary);
    if (!file) {
        return LoadResult::kUnreadable;
    }
    // The size is checked again while reading: the file may grow after it was measured.
    std::string text;
    std::string chunk(64 * 1024, '\0');
    while (file.read(chunk.data(), static_cast<std::streamsize>(chunk.size())) ||
           file.gcount() > 0) {
        text.append(chunk.data(), static_cast<size_t>(file.gcount()));
        if (text.size() > kMaxFileSize) {
            return LoadResult::kTooLarge;
        }
    }
    if (file.bad()) {
        return LoadResult::kUnreadable;
    }
    if (text.empty()) {
        StartNewFile();
    } else {
        Parse(text);
    }
    return LoadResult::kRead;
}

void IniFileStore::StartNewFile()
{
    mLines.clear();
    mLines.push_back({"; Settings written by IniFileManager\n", {}, LineKind::kOther});
    mLines.push_back({std::string(kFileSection) + "\n", {}, LineKind::kOther});
    mLines.push_back({"Version=" + Escape(mVersion, false) + "\n", {}, LineKind::kOther});
    mLines.push_back({"Product=" + Escape(mProduct, false) + "\n", {}, LineKind::kOther});
    mLines.push_back({std::string(kValuesSection) + "\n", {}, LineKind::kValuesHeader});
}

void IniFileStore::Parse(const std::string& text)
{
    bool inValues = false;
    size_t lineStart = 0;
    while (lineStart < text.size()) {
        const size_t newline = text.find('\n', lineStart);
        const size_t next = newline == std::string::npos ? text.size() : newline + 1;
        Line line{text.substr(lineStart, next - lineStart), {}, LineKind::kOther};
        lineStart = next;

        const std::string content =
            line.bytes.substr(0, line.bytes.size() - LineEnd(line.bytes).size());
        // Comments, blank lines and damaged lines (not UTF-8, a NUL, no '=') are skipped and
        // kept as they are.
        const bool sound = content.find('\0') == std::string::npos && IsValidUtf8(content);
        const bool comment = content.empty() || content[0] == ';' || content[0] == '#';
        if (sound && !comment && content[0] == '[') {
            inValues = content == kValuesSection;
            line.kind = inValues ? LineKind::kValuesHeader : LineKind::kOther;
        } else if (sound && !comment && inValues) {
            size_t end = 0;
            std::string key = NormalizeKey(Unescape(content, 0, true, end));
            if (end < content.size() && !key.empty()) {
                mValues[key] = Unescape(content, end + 1, false, end);
                line.key = std::move(key);
                line.kind = LineKind::kValue;
            }
        }
        mLines.push_back(std::move(line));
    }
}

bool IniFileStore::Save() const
{
    std::string text;
    for (const Line& line : mLines) {
        text += line.bytes;
    }

    const std::string temporary = TemporaryName(mPath);
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file.write(text.data(), static_cast<std::streamsize>(text.size()));
        file.flush();
        if (!file) {
            file.close();
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, mPath, error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return false;
    }
    return true;
}

std::string IniFileStore::NormalizeKey(const std::string& key)
{
    std::string normal;
    std::string part;
    auto flush = [&] {
        if (!part.empty()) {
            if (!normal.empty()) {
                normal += '/';
            }
            normal += part;
            part.clear();
        }
    };
    for (const char c : key) {
        if (c == '/' || c == '\\') {
            flush();
        } else {
            part += c;
        }
    }
    flush();
    return normal;
}

const std::string* IniFileStore::Find(const std::string& key) const
{
    const auto found = mValues.find(NormalizeKey(key));
    return found == mValues.end() ? nullptr : &found->second;
}

bool IniFileStore::IsStorable(const std::string& key, const std::string& value)
{
    auto readable = [](const std::string& text) {
        return text.find('\0') == std::string::npos && IsValidUtf8(text);
    };
    return !NormalizeKey(key).empty() && readable(key) && readable(value);
}

bool IniFileStore::Set(const std::string& key, const std::string& value)
{
    if (!IsStorable(key, value)) {
        return false;
    }
    const std::string normal = NormalizeKey(key);
    const auto found = mValues.find(normal);
    if (found != mValues.end() && found->second == value) {
        return true;
    }
    const std::string bytes = Escape(normal, true) + "=" + Escape(value, false);
    mValues[normal] = value;
    // The last line of a key is the one that was read: it takes the new value, with its own line
    // end.
    for (auto line = mLines.rbegin(); line != mLines.rend(); ++line) {
        if (line->kind == LineKind::kValue && line->key == normal) {
            line->bytes = bytes + LineEnd(line->bytes);
            return true;
        }
    }
    InsertValueLine(Line{bytes + "\n", normal, LineKind::kValue});
    return true;
}

void IniFileStore::InsertValueLine(Line line)
{
    // A new value goes after the last value, else under the last values section's header, else
    // into a values section of its own at the end.
    auto after = std::find_if(mLines.rbegin(), mLines.rend(),
                              [](const Line& l) { return l.kind == LineKind::kValue; });
    if (after == mLines.rend()) {
        after = std::find_if(mLines.rbegin(), mLines.rend(),
                             [](const Line& l) { return l.kind == LineKind::kValuesHeader; });
    }
    if (after == mLines.rend()) {
        if (!mLines.empty()) {
            EndLine(mLines.back().bytes);
        }
        mLines.push_back({std::string(kValuesSection) + "\n", {}, LineKind::kValuesHeader});
        mLines.push_back(std::move(line));
        return;
    }
    EndLine(after->bytes);
    mLines.insert(after.base(), std::move(line));
}

void IniFileStore::Erase(const std::string& key)
{
    const std::string normal = NormalizeKey(key);
    if (mValues.erase(normal) == 0) {
        return;
    }
    // Every line of the key goes, or an earlier one would be read next time.
    std::erase_if(mLines, [&](const Line& line) {
        return line.kind == LineKind::kValue && line.key == normal;
    });
}

bool IniFileStore::NodeExists(const std::string& key) const
{
    const std::string normal = NormalizeKey(key);
    if (normal.empty()) {
        return !mValues.empty();
    }
    if (mValues.count(normal) != 0) {
        return true;
    }
    const std::string prefix = normal + "/";
    const auto next = mValues.lower_bound(prefix);
    return next != mValues.end() && next->first.compare(0, prefix.size(), prefix) == 0;
}

std::vector<std::string> IniFileStore::ChildNames(const std::string& key) const
{
    const std::string normal = NormalizeKey(key);
    const std::string prefix = normal.empty() ? std::string() : normal + "/";
    std::set<std::string> names;
    for (auto it = mValues.lower_bound(prefix);
         it != mValues.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it) {
        const std::string rest = it->first.substr(prefix.size());
        names.insert(rest.substr(0, rest.find('/')));
    }
    return {names.begin(), names.end()};
}
