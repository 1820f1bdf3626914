// Whether a picture on disk is the one the tool draws now. Fonts and the rasteriser may differ by
// a shade between machines, so a few slightly different pixels are accepted; a changed drawing
// changes many pixels or the size and is not.
#pragma once

#include "Painting.h"

#include <string>

namespace pictures {

// Empty when the PNG at path matches the picture; otherwise why not.
std::string CompareWithPng(const Picture& picture, const std::string& path);

} // namespace pictures
