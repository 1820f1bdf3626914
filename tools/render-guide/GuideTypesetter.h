// Sets the user guide's blocks on A4 pages with Pango and draws them through Cairo: the title
// block on the first page, sections in the accent colour, bullets and numbered steps hung from
// their marks, and a footer with the guide's name and "Page n of N" on every page. Blocks are
// kept whole where they fit; a paragraph longer than the rest of a page goes on line by line.
#pragma once

#include "GuideSource.h"

#include <cairo.h>

#include <functional>
#include <string>
#include <vector>

namespace guide {

constexpr double kPageWidth = 595.276; // A4 in points
constexpr double kPageHeight = 841.89;

class GuideTypesetter
{
public:
    explicit GuideTypesetter(std::string footerText);

    // Lays the blocks out and draws every page: begin(page index) gives the context to draw on,
    // end(page index) finishes the page. Answers the number of pages.
    int Render(const std::vector<Block>& blocks, const std::function<cairo_t*(int)>& begin,
               const std::function<void(int)>& end);

private:
    std::string mFooterText;
};

} // namespace guide
