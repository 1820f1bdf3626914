// The version information of a module: its translations (language id and code page) and its
// string values keyed "\StringFileInfo\<language><code page>\<name>", the language and code page
// as eight lower-case hexadecimal digits ("\StringFileInfo\000004b0\CompanyName"). The
// executable's is compiled in by the build.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace svp {

struct VersionTranslation
{
    uint16_t language = 0;
    uint16_t codePage = 0;
};

struct VersionInfoBlock
{
    // Absent when the block has no translation table.
    std::optional<std::vector<VersionTranslation>> translations;
    std::map<std::string, std::string> strings; // UTF-8 values
};

// The module a version block is read from, in the steps the readers expect; each step can fail
// on its own.
class IModuleVersionInfo
{
public:
    virtual ~IModuleVersionInfo() = default;

    // The module's file path; empty when it cannot be told.
    virtual std::string GetModuleFileName() const = 0;
    // The size of the version block of the file of that name (its last path part); 0 when the
    // file has none.
    virtual uint32_t GetVersionInfoSize(const std::string& fileName) const = 0;
    // The version block; false when it cannot be read.
    virtual bool GetVersionInfo(const std::string& fileName, VersionInfoBlock& block) const = 0;
};

// The running executable, whose block the build compiled in.
const IModuleVersionInfo& GetExecutableModule();

} // namespace svp
