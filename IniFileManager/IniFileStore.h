// One settings file of the library: its values in memory, read from a plain INI file and written
// back whole. A write goes to a temporary file beside the settings file, which then replaces it
// by a rename, so the settings file on disk is always either the old one or the new one.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class IniFileStore
{
public:
    // Files above this size are read only up to it: settings are a few lines.
    static constexpr size_t kMaxFileSize = 4 * 1024 * 1024;

    IniFileStore(std::string path, std::string version, std::string product);

    // Reads the file when it exists. A file that does not parse is read up to its first unsound
    // line. False when the path names a folder or the file exists but cannot be read.
    bool Load();
    // Writes every value through a temporary file and a rename; false when that failed (the
    // file on disk is then unchanged).
    bool Save() const;

    const std::string& GetPath() const { return mPath; }

    // Keys are paths: '\' and '/' both separate parts, empty parts are dropped.
    static std::string NormalizeKey(const std::string& key);

    const std::string* Find(const std::string& key) const;
    void Set(const std::string& key, const std::string& value);
    void Erase(const std::string& key);
    bool NodeExists(const std::string& key) const;
    // The names of the keys directly below `key`, each once, in sorted order.
    std::vector<std::string> ChildNames(const std::string& key) const;

private:
    void Parse(const std::string& text);

    std::string mPath;
    std::string mVersion;
    std::string mProduct;
    std::map<std::string, std::string> mValues;
};
