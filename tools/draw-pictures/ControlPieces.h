// The pieces of the framework's controls as the editor's skin shows them, each drawn in every
// state its control distinguishes, side by side in look-index order.
#pragma once

#include "PieceSheet.h"

#include <cairo.h>

namespace pictures {

// Push buttons (the program bank) and the arpeggiator's on/off button: 14 looks each.
void DrawButtonPieces(cairo_t* cr, PieceSheet& sheet);
// Combo box (7 looks), its drop-down list and rows (14 looks), the text box and the up-down's
// arrow buttons.
void DrawFieldPieces(cairo_t* cr, PieceSheet& sheet);
// Scroll-bar arrows, tracks, thumbs and corner, vertical and horizontal.
void DrawScrollBarPieces(cairo_t* cr, PieceSheet& sheet);
// Menu bar, its titles, popup menus with their rows, and the tool tip.
void DrawMenuPieces(cairo_t* cr, PieceSheet& sheet);

} // namespace pictures
