// The user's locale as the Windows locale ids (LCIDs) that the string tables are keyed by,
// taken from the POSIX locale variables.
#pragma once

#include <cstdint>
#include <string>

namespace svp {

constexpr uint32_t kLcidEnglishUs = 0x0409;

// The LCID of a POSIX locale name such as "de_DE.UTF-8" or "zh_TW": en 0x0409, es 0x0C0A, de
// 0x0407, ja 0x0411, fr 0x040C, it 0x0410, ko 0x0412, zh_TW 0x0404, zh_HK 0x0C04, zh_MO 0x1404,
// zh_CN (and any other Chinese) 0x0804; every other name, "C" and "POSIX" among them, 0x0409.
uint32_t LcidFromLocaleName(const std::string& name);

// The user's choice: the first of LC_ALL, LC_MESSAGES and LANG that is set and not empty.
uint32_t GetUserDefaultLcid();
// The session's default: LANG alone.
uint32_t GetSystemDefaultLcid();

} // namespace svp
