// Message-box styles, with the Windows values the callers were written for.
#pragma once

#include <cstdint>

namespace svp {

constexpr uint32_t MB_OK = 0x0;
constexpr uint32_t MB_ICONWARNING = 0x30;

} // namespace svp
