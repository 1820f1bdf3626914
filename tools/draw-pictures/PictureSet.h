// Every picture of the editor and the listing of CE.png, drawn in memory, each with its path below
// Resources/.
#pragma once

#include "Painting.h"

#include <string>
#include <utility>
#include <vector>

namespace pictures {

struct PictureSet
{
    std::vector<std::pair<std::string, Picture>> pictures;
    std::vector<std::pair<std::string, std::string>> texts;
};

PictureSet DrawAllPictures();

} // namespace pictures
