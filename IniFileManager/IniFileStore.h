// One settings file of the library: its values in memory, read from a plain INI file and written
// back through a temporary file and a rename, so the settings file on disk is always either the
// old one or the new one. The file is kept as its lines: a write changes only the lines of the
// values that changed and keeps every other line, comments and damaged lines included, byte for
// byte.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class IniFileStore
{
public:
    // Settings are a few lines: a larger file is not read at all, so that no write cuts it short.
    static constexpr size_t kMaxFileSize = 4 * 1024 * 1024;

    enum class LoadResult
    {
        kRead,       // read, or there is no file yet
        kNotAFile,   // a folder, a pipe, a device: never opened, so nothing blocks on it
        kTooLarge,   // above kMaxFileSize
        kUnreadable, // exists but cannot be read
    };

    IniFileStore(std::string path, std::string version, std::string product);

    // Reads the file when it exists. A line that does not parse is skipped and kept as it is.
    // On any result but kRead the store must not be written: the file was not read whole.
    LoadResult Load();
    // Writes the file through a temporary file and a rename; false when that failed (the file on
    // disk is then unchanged).
    bool Save() const;

    const std::string& GetPath() const { return mPath; }

    // Keys are paths: '\' and '/' both separate parts, empty parts are dropped.
    static std::string NormalizeKey(const std::string& key);
    // Whether a key and its value can be written so that they read back the same: the key has a
    // part, and both are UTF-8.
    static bool IsStorable(const std::string& key, const std::string& value);

    const std::string* Find(const std::string& key) const;
    // Stores a value that IsStorable accepts; false, changing nothing, for one it refuses.
    bool Set(const std::string& key, const std::string& value);
    void Erase(const std::string& key);
    bool NodeExists(const std::string& key) const;
    // The names of the keys directly below `key`, each once, in sorted order.
    std::vector<std::string> ChildNames(const std::string& key) const;

private:
    enum class LineKind
    {
        kOther,        // comments, blank and damaged lines, other sections
        kValuesHeader, // "[Values]"
        kValue,        // a key and its value in a values section
    };
    struct Line
    {
        std::string bytes; // as in the file, with its line end
        std::string key;   // normalised; only for kValue
        LineKind kind = LineKind::kOther;
    };

    void Parse(const std::string& text);
    void StartNewFile();
    void InsertValueLine(Line line);

    std::string mPath;
    std::string mVersion;
    std::string mProduct;
    std::vector<Line> mLines;
    std::map<std::string, std::string> mValues;
};
