#include "IniFileStore.h"

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

bool IniFileStore::Load()
{
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(mPath, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        return true;
    }
    if (error || status.type() == std::filesystem::file_type::directory) {
        return false;
    }
    std::ifstream file(mPath, std::ios::binary);
    if (!file) {
        return false;
    }
    // Only what the file holds is read, up to the limit; a file whose size is not known (not a
    // regular file) is read up to the limit.
    const uintmax_t size = std::filesystem::file_size(mPath, error);
    std::string text(error ? kMaxFileSize : std::min<size_t>(size, kMaxFileSize), '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(file.gcount()));
    Parse(text);
    return true;
}

void IniFileStore::Parse(const std::string& text)
{
    bool inValues = false;
    size_t lineStart = 0;
    while (lineStart < text.size()) {
        size_t lineEnd = text.find('\n', lineStart);
        if (lineEnd == std::string::npos) {
            lineEnd = text.size();
        }
        std::string line = text.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.find('\0') != std::string::npos || !IsValidUtf8(line)) {
            // Whatever follows a damaged line cannot be trusted.
            return;
        }
        if (line.empty() || line[0] == ';' || line[0] == '#') {
            continue;
        }
        if (line[0] == '[') {
            inValues = line == kValuesSection;
            continue;
        }
        size_t end = 0;
        std::string key = Unescape(line, 0, true, end);
        if (end >= line.size()) {
            return;
        }
        if (!inValues) {
            continue;
        }
        key = NormalizeKey(key);
        if (!key.empty()) {
            mValues[key] = Unescape(line, end + 1, false, end);
        }
    }
}

bool IniFileStore::Save() const
{
    std::string text = "; Settings written by IniFileManager\n";
    text += std::string(kFileSection) + "\n";
    text += "Version=" + Escape(mVersion, false) + "\n";
    text += "Product=" + Escape(mProduct, false) + "\n";
    text += std::string(kValuesSection) + "\n";
    for (const auto& [key, value] : mValues) {
        text += Escape(key, true) + "=" + Escape(value, false) + "\n";
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

void IniFileStore::Set(const std::string& key, const std::string& value)
{
    mValues[NormalizeKey(key)] = value;
}

void IniFileStore::Erase(const std::string& key)
{
    mValues.erase(NormalizeKey(key));
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
