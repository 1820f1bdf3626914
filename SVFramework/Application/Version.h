// The version information of a module (the executable), read anew for every request: the
// string values of the translation that best matches the user's language.
#pragma once

#include "ModuleVersionInfo.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>
#include <memory>

namespace SV {

class Version
{
public:
    // Reads the module's block and chooses its translation: the user's primary language, then
    // the system's, then English, then the first. Throws the runtime error of error 900 to 903
    // when a step fails, or the allocation error.
    explicit Version(const svp::IModuleVersionInfo& module = svp::GetExecutableModule());
    Version(const Version&) = delete;
    Version& operator=(const Version&) = delete;
    ~Version();

    WideString GetCompanyName() const { return QueryStringFileInfo("CompanyName"); }
    WideString GetProductName() const { return QueryStringFileInfo("ProductName"); }
    WideString GetProductVersion() const { return QueryStringFileInfo("ProductVersion"); }
    // The value of any key of the chosen translation; empty when absent.
    WideString QueryStringFileInfo(const char* key) const;

    const svp::VersionTranslation& GetTranslation() const { return mTranslation; }

private:
    [[noreturn]] static void ThrowVersionError(int32_t code, int line);

    std::unique_ptr<svp::VersionInfoBlock> mBlock;
    svp::VersionTranslation mTranslation;
};

} // namespace SV
