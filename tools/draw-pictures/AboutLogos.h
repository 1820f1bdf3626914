// The two pictures of the About box, dark on its white face: the maker's logo (400 x 90, look
// list "PresetEditor.CompanyLogo") and the product's name (400 x 30, "PresetEditor.ProductLogo").
#pragma once

#include "Painting.h"

namespace pictures {

Picture DrawCompanyLogo();
Picture DrawProductLogo();

} // namespace pictures
