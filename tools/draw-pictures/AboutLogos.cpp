#include "AboutLogos.h"

#include "KeyboardBody.h"
#include "Palette.h"

namespace pictures {

using namespace palette;

Picture DrawCompanyLogo()
{
    Picture picture(400, 90);
    cairo_t* cr = picture.cairo.get();
    const TextStyle name{"Liberation Sans", 58, 700, 0.5};
    const double markSize = 62;
    const double gap = 16;
    const double textWidth = MeasureText(cr, "Vudozi", name);
    const double left = (picture.width - (markSize + gap + textWidth)) / 2;
    DrawCompanyMark(cr, left, (picture.height - markSize) / 2, markSize);
    DrawText(cr, "Vudozi", name, left + markSize + gap, picture.height / 2.0, Align::Left, kInk);
    return picture;
}

Picture DrawProductLogo()
{
    Picture picture(400, 30);
    cairo_t* cr = picture.cairo.get();
    const TextStyle strong{"Liberation Sans", 16, 700, 1.5};
    const TextStyle light{"Liberation Sans", 16, 400, 1.5};
    const char* first = "VEDOZI DURUZAVA";
    const char* second = "PROGRAM EDITOR";
    const double gap = 18;
    const double firstWidth = MeasureText(cr, first, strong);
    const double secondWidth = MeasureText(cr, second, light);
    const double left = (picture.width - (firstWidth + gap + secondWidth)) / 2;
    const double middle = picture.height / 2.0;
    DrawText(cr, first, strong, left, middle, Align::Left, kInk);
    // A short accent rule between the two words.
    cairo_rectangle(cr, left + firstWidth + gap / 2 - 1, middle - 7, 2, 14);
    SetColor(cr, kAccent);
    cairo_fill(cr);
    DrawText(cr, second, light, left + firstWidth + gap, middle, Align::Left, kInkSoft);
    return picture;
}

} // namespace pictures
