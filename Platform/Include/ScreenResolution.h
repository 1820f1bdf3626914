// The screen's resolution in dots per inch, as desktop programs on this display use it.
#pragma once

#include <cstdint>

namespace svp {

// The display's "Xft.dpi" setting when it has a sane one (16 to 1000), else 96; also 96 when
// there is no display.
int32_t GetScreenResolution();

} // namespace svp
