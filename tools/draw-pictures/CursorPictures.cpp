#include "CursorPictures.h"

#include "Palette.h"

namespace pictures {

using namespace palette;

namespace {

void DrawArrow(cairo_t* cr)
{
    const double points[][2] = {{1, 1},       {1, 19.5},   {5.5, 15.5}, {8.8, 22.5},
                                {11.6, 21.3}, {8.4, 14.4}, {14.5, 14.4}};
    cairo_move_to(cr, points[0][0], points[0][1]);
    for (const auto& p : points) {
        cairo_line_to(cr, p[0], p[1]);
    }
    cairo_close_path(cr);
    SetColor(cr, Hex(0xFFFFFF));
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1.2);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    SetColor(cr, Hex(0x000000));
    cairo_stroke(cr);
}

// The dragged thing: a small box with a dashed edge, below and right of the arrow.
void DrawDraggedBox(cairo_t* cr)
{
    RoundedRect(cr, 13.5, 19.5, 13, 9, 1.5);
    SetColor(cr, Hex(0xFFFFFF, 0.9));
    cairo_fill_preserve(cr);
    const double dash[] = {2.0, 1.5};
    cairo_set_dash(cr, dash, 2, 0);
    cairo_set_line_width(cr, 1);
    SetColor(cr, Hex(0x000000));
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
}

Picture StartCursor()
{
    return Picture(kCursorSize, kCursorSize);
}

} // namespace

Picture DrawDropMoveCursor()
{
    Picture picture = StartCursor();
    DrawDraggedBox(picture.cairo.get());
    DrawArrow(picture.cairo.get());
    return picture;
}

Picture DrawDropCopyCursor()
{
    Picture picture = StartCursor();
    cairo_t* cr = picture.cairo.get();
    DrawDraggedBox(cr);
    DrawArrow(cr);
    // Plus badge at the box's lower right.
    cairo_arc(cr, 25, 25, 6, 0, 2 * kPi);
    SetColor(cr, kAccent);
    cairo_fill_preserve(cr);
    SetColor(cr, Hex(0x000000));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_rectangle(cr, 22, 24.25, 6, 1.5);
    cairo_rectangle(cr, 24.25, 22, 1.5, 6);
    SetColor(cr, Hex(0xFFFFFF));
    cairo_fill(cr);
    return picture;
}

} // namespace pictures
