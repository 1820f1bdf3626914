// The two drag cursors, 32 x 32 with their hot spot at (1, 1), the arrow's tip: 102 moves what is
// dragged (a box under the arrow), 103 copies it (the box with a plus badge).
#pragma once

#include "Painting.h"

namespace pictures {

constexpr int kCursorSize = 32;
constexpr int kCursorHotSpotX = 1;
constexpr int kCursorHotSpotY = 1;

Picture DrawDropMoveCursor();
Picture DrawDropCopyCursor();

} // namespace pictures
