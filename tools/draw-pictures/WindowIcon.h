// The window icon (resource 2002): the keyboard in miniature, 64 x 64.
#pragma once

#include "Painting.h"

namespace pictures {

Picture DrawWindowIcon();

} // namespace pictures
