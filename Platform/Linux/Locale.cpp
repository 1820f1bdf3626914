#include "Locale.h"

#include <cstdlib>

namespace svp {
namespace {

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

} // namespace

uint32_t LcidFromLocaleName(const std::string& name)
{
    // "ll_CC.codeset@modifier": only the language and the country count.
    const std::string base = name.substr(0, name.find_first_of(".@"));
    const std::string language = base.substr(0, base.find('_'));
    const std::string country =
        base.find('_') == std::string::npos ? std::string() : base.substr(base.find('_') + 1);
    const struct
    {
        const char* language;
        uint32_t lcid;
    } kLanguages[] = {
        {"en", 0x0409}, {"es", 0x0C0A}, {"de", 0x0407}, {"ja", 0x0411},
        {"fr", 0x040C}, {"it", 0x0410}, {"ko", 0x0412},
    };
    for (const auto& entry : kLanguages) {
        if (language == entry.language) {
            return entry.lcid;
        }
    }
    if (language == "zh") {
        if (country == "TW") {
            return 0x0404;
        }
        if (country == "HK") {
            return 0x0C04;
        }
        if (country == "MO") {
            return 0x1404;
        }
        return 0x0804;
    }
    return kLcidEnglishUs;
}

uint32_t GetUserDefaultLcid()
{
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const std::string value = Environment(variable);
        if (!value.empty()) {
            return LcidFromLocaleName(value);
        }
    }
    return kLcidEnglishUs;
}

uint32_t GetSystemDefaultLcid()
{
    return LcidFromLocaleName(Environment("LANG"));
}

} // namespace svp
