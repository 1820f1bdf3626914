// Shapes shared by the control pieces: the raised face of a button-like control in each state,
// the focus ring, arrow glyphs.
#pragma once

#include "LookState.h"
#include "Painting.h"

namespace pictures {

enum class Direction
{
    Up,
    Down,
    Left,
    Right
};

// The face of a button, arrow or thumb: dark and raised, lighter under the pointer, sunk while
// pressed, warm accent when checked, faded when disabled. Focus is drawn separately.
void DrawRaisedFace(cairo_t* cr, double x, double y, double w, double h, double radius,
                    const LookState& state, bool accentWhenChecked = true);
void DrawFocusRing(cairo_t* cr, double x, double y, double w, double h, double radius, Rgba colour);
// A filled triangle pointing the given way, centred on (cx, cy), size pixels across its base.
void DrawTriangle(cairo_t* cr, double cx, double cy, double size, Direction direction, Rgba colour);
// A small button with a triangle: up-down and scroll-bar arrows. Checked looks show as unchecked.
void DrawArrowButton(cairo_t* cr, double x, double y, double w, double h, const LookState& state,
                     Direction direction, double glyphSize);
// The glyph colour that reads on a face of that state.
Rgba GlyphColour(const LookState& state, bool accentWhenChecked = true);

} // namespace pictures
