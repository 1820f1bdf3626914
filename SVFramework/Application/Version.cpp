#include "Application/Version.h"

#include "Application/FrameworkApp.h"
#include "Locale.h"
#include "ObjectBase/Exception.h"
#include "Utilities/Storage/StringTable.h"

#include <cstdio>
#include <new>
#include <string>

namespace SV {
namespace {

constexpr uint16_t kPrimaryLanguageMask = 0x3FF;
constexpr uint16_t kEnglish = 9;

// The framework's error text with the code in place of its "%d". The text comes from a string
// table, so it is never handed to a formatting function: a stray '%' stays what it is.
std::string ErrorText(int32_t code)
{
    if (CurrentApplication == nullptr) {
        return "The application encountered problems during startup and will now close.  "
               "(Error code = " +
               std::to_string(code) + ")";
    }
    WideString text;
    const ConstRCPtr<LStringTable>& table = CurrentApplication->GetFrameworkStringTable();
    if (table) {
        table->GetString(WideString(u"EXCEPTION_ID"), text);
    }
    std::string narrow = text.ToNarrow().GetText();
    const size_t placeholder = narrow.find("%d");
    if (placeholder != std::string::npos) {
        narrow.replace(placeholder, 2, std::to_string(code));
    }
    return narrow;
}

} // namespace

void Version::ThrowVersionError(int32_t code, int line)
{
    throw Exception<std::runtime_error>("Runtime Error : " + ErrorText(code) +
                                        " : SV::Version::Version : Version : Line " +
                                        std::to_string(line));
}

Version::Version(const svp::IModuleVersionInfo& module)
{
    const std::string path = module.GetModuleFileName();
    if (path.empty()) {
        ThrowVersionError(903, 148);
    }
    const std::string fileName = path.substr(path.rfind('/') + 1);
    if (module.GetVersionInfoSize(fileName) == 0) {
        ThrowVersionError(902, 143);
    }
    try {
        mBlock = std::make_unique<svp::VersionInfoBlock>();
    } catch (const std::bad_alloc&) {
        throw Exception<std::bad_alloc>();
    }
    if (!module.GetVersionInfo(fileName, *mBlock)) {
        ThrowVersionError(901, 133);
    }
    // A block without any translation names no values to read.
    if (!mBlock->translations || mBlock->translations->empty()) {
        ThrowVersionError(900, 128);
    }
    const std::vector<svp::VersionTranslation>& translations = *mBlock->translations;
    const uint16_t wanted[] = {
        static_cast<uint16_t>(svp::GetUserDefaultLcid() & kPrimaryLanguageMask),
        static_cast<uint16_t>(svp::GetSystemDefaultLcid() & kPrimaryLanguageMask),
        kEnglish,
    };
    mTranslation = translations.front();
    for (const uint16_t language : wanted) {
        for (const svp::VersionTranslation& translation : translations) {
            if ((translation.language & kPrimaryLanguageMask) == language) {
                mTranslation = translation;
                return;
            }
        }
    }
}

Version::~Version() = default;

WideString Version::QueryStringFileInfo(const char* key) const
{
    if (!mBlock || key == nullptr) {
        return WideString();
    }
    char digits[16];
    std::snprintf(digits, sizeof digits, "%04x%04x", mTranslation.language, mTranslation.codePage);
    const std::string path = std::string("\\StringFileInfo\\") + digits + "\\" + key;
    const auto found = mBlock->strings.find(path);
    if (found == mBlock->strings.end()) {
        return WideString();
    }
    // The value ends at its first NUL, as the block stores it.
    return WideString(found->second.c_str());
}

} // namespace SV
