#include "ControlShapes.h"

#include "Palette.h"

namespace pictures {

using namespace palette;

void DrawRaisedFace(cairo_t* cr, double x, double y, double w, double h, double radius,
                    const LookState& state, bool accentWhenChecked)
{
    const bool accent = state.checked && accentWhenChecked;
    Rgba top = accent ? kAccentLight : kControlTop;
    Rgba bottom = accent ? kAccent : kControlBottom;
    Rgba border = accent ? kAccentDark : kControlBorder;
    if (state.disabled) {
        top = Mix(top, kDeckBottom, 0.6);
        bottom = Mix(bottom, kDeckBottom, 0.6);
        border = Mix(border, kDeckBottom, 0.5);
    } else if (state.base == 1) {
        top = Mix(top, Hex(0xFFFFFF), 0.10);
        bottom = Mix(bottom, Hex(0xFFFFFF), 0.07);
    } else if (state.base == 2) {
        const Rgba pressedTop = Mix(bottom, Hex(0x000000), 0.22);
        bottom = Mix(top, Hex(0x000000), 0.08);
        top = pressedTop;
    }
    RoundedRect(cr, x + 0.5, y + 0.5, w - 1, h - 1, radius);
    FillVertical(cr, y, h, top, bottom);
    RoundedRect(cr, x + 0.5, y + 0.5, w - 1, h - 1, radius);
    cairo_set_line_width(cr, 1);
    SetColor(cr, border);
    cairo_stroke(cr);
    if (!state.disabled) {
        if (state.base == 2) {
            // Sunk: a shadow under the top edge.
            HorizontalHairline(cr, x + radius, x + w - radius, y + 1, Hex(0x000000, 0.30));
        } else {
            HorizontalHairline(cr, x + radius, x + w - radius, y + 1,
                               Hex(0xFFFFFF, accent ? 0.35 : 0.14));
        }
    }
}

void DrawFocusRing(cairo_t* cr, double x, double y, double w, double h, double radius, Rgba colour)
{
    RoundedRect(cr, x + 1.75, y + 1.75, w - 3.5, h - 3.5, radius - 1);
    cairo_set_line_width(cr, 1.5);
    SetColor(cr, colour);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 1);
}

void DrawTriangle(cairo_t* cr, double cx, double cy, double size, Direction direction, Rgba colour)
{
    const double half = size / 2;
    const double depth = size * 0.55;
    switch (direction) {
    case Direction::Up:
        cairo_move_to(cr, cx - half, cy + depth / 2);
        cairo_line_to(cr, cx + half, cy + depth / 2);
        cairo_line_to(cr, cx, cy - depth / 2);
        break;
    case Direction::Down:
        cairo_move_to(cr, cx - half, cy - depth / 2);
        cairo_line_to(cr, cx + half, cy - depth / 2);
        cairo_line_to(cr, cx, cy + depth / 2);
        break;
    case Direction::Left:
        cairo_move_to(cr, cx + depth / 2, cy - half);
        cairo_line_to(cr, cx + depth / 2, cy + half);
        cairo_line_to(cr, cx - depth / 2, cy);
        break;
    case Direction::Right:
        cairo_move_to(cr, cx - depth / 2, cy - half);
        cairo_line_to(cr, cx - depth / 2, cy + half);
        cairo_line_to(cr, cx + depth / 2, cy);
        break;
    }
    cairo_close_path(cr);
    SetColor(cr, colour);
    cairo_fill(cr);
}

void DrawArrowButton(cairo_t* cr, double x, double y, double w, double h, const LookState& state,
                     Direction direction, double glyphSize)
{
    LookState face = state;
    face.checked = false;
    DrawRaisedFace(cr, x, y, w, h, 2.5, face);
    const double nudge = state.base == 2 && !state.disabled ? 0.5 : 0;
    DrawTriangle(cr, x + w / 2.0, y + h / 2.0 + nudge, glyphSize, direction, GlyphColour(face));
}

Rgba GlyphColour(const LookState& state, bool accentWhenChecked)
{
    if (state.disabled) {
        return kTextDim;
    }
    if (state.checked && accentWhenChecked) {
        return kInk;
    }
    return state.base == 1 ? Hex(0xFFFFFF) : kText;
}

} // namespace pictures
