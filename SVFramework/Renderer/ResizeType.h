// How DrawBitmap fits a bitmap into its destination; the values are those of the skin's
// "ResizeType" names.
#pragma once

#include <cstdint>

namespace SV {

enum class ResizeType : int32_t
{
    Stretch = 0,
    Tile = 1,
    Center = 2,
};

} // namespace SV
