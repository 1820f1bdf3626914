#include "WindowIcon.h"

#include "Palette.h"

namespace pictures {

using namespace palette;

Picture DrawWindowIcon()
{
    Picture picture(64, 64);
    cairo_t* cr = picture.cairo.get();
    RoundedRect(cr, 2, 4, 60, 56, 12);
    FillVertical(cr, 4, 56, kBodyTop, kBodyBottom);
    RoundedRect(cr, 2.5, 4.5, 59, 55, 11.5);
    SetColor(cr, kBodyOutline);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    HorizontalHairline(cr, 12, 52, 5, Hex(0xFFFFFF, 0.18));

    // Display and knob.
    RoundedRect(cr, 9, 11, 27, 11, 2.5);
    SetColor(cr, Hex(0x120D05));
    cairo_fill(cr);
    cairo_rectangle(cr, 12, 15.5, 15, 2);
    SetColor(cr, Hex(0xFFB347));
    cairo_fill(cr);
    cairo_arc(cr, 47, 16.5, 6, 0, 2 * kPi);
    SetColor(cr, Hex(0x4A4E55));
    cairo_fill(cr);
    cairo_move_to(cr, 47, 16.5);
    cairo_line_to(cr, 44, 12.5);
    cairo_set_line_width(cr, 1.6);
    SetColor(cr, kAccent);
    cairo_stroke(cr);

    // Seven white keys and five black ones.
    const double left = 8;
    const double top = 28;
    const double keyWidth = 48.0 / 7;
    const double length = 26;
    cairo_rectangle(cr, left - 1, top - 1, 50, length + 2);
    SetColor(cr, Hex(0x0B0C0D));
    cairo_fill(cr);
    for (int i = 0; i < 7; ++i) {
        RoundedRect(cr, left + i * keyWidth + 0.5, top, keyWidth - 1, length, 1.5);
        FillVertical(cr, top, length, kWhiteKeyTop, kWhiteKeyBottom);
    }
    const bool hasBlack[6] = {true, true, false, true, true, true};
    for (int i = 0; i < 6; ++i) {
        if (hasBlack[i]) {
            const double centre = left + (i + 1) * keyWidth;
            RoundedRect(cr, centre - 2.2, top, 4.4, length * 0.6, 1);
            SetColor(cr, Hex(0x141517));
            cairo_fill(cr);
        }
    }
    return picture;
}

} // namespace pictures
