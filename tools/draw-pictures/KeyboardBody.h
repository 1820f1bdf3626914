// The keyboard seen from above: the 1200 x 720 picture behind the device view, with recesses for
// the edit panels and the program bank, a display, knobs, pads, touch strips and 25 keys.
#pragma once

#include "PieceSheet.h"

#include <cairo.h>

namespace pictures {

// Draws the body at the sheet's top left corner and records it and its areas in the sheet.
void DrawKeyboardBody(cairo_t* cr, PieceSheet& sheet);

// The brand plates and the arpeggiator's title, light on the dark top face, as pieces of their
// own for the labels "companyLabel", "productLabel" and "arpeggiatorLabel".
void DrawBrandPieces(cairo_t* cr, PieceSheet& sheet);

// The "Vudozi" mark: three rising bars in a rounded square, size x size at (x, y).
void DrawCompanyMark(cairo_t* cr, double x, double y, double size);

} // namespace pictures
