// The program's profile: small binary values (the window placement) kept by section and entry
// in a text file, one "entry=hex bytes" line under a "[section]" line. It stands in for the
// per-user registry key the program writes its placement under.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace svp {

class ProfileFile
{
public:
    explicit ProfileFile(std::string path) : mPath(std::move(path)) {}

    // The file for a company and product under $XDG_CONFIG_HOME (made when missing):
    // <config>/<company>/<product>/profile.ini. Empty when no configuration folder exists.
    [[nodiscard]] static std::string PathFor(const std::string& company,
                                             const std::string& product);

    // Empty when the file, the section or the entry is missing or the value is not hex.
    [[nodiscard]] std::optional<std::vector<uint8_t>> ReadBinary(const std::string& section,
                                                                 const std::string& entry) const;
    // Replaces the entry (other lines are kept) through a temporary file renamed over the old
    // one, so a crash never leaves half a profile. False when it could not be written.
    [[nodiscard]] bool WriteBinary(const std::string& section, const std::string& entry,
                                   std::span<const uint8_t> bytes) const;

    const std::string& GetPath() const { return mPath; }

private:
    std::string mPath;
};

} // namespace svp
