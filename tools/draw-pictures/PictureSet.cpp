#include "PictureSet.h"

#include "AboutLogos.h"
#include "ControlPieces.h"
#include "CursorPictures.h"
#include "KeyboardBody.h"
#include "KeyboardGrid.h"
#include "PieceSheet.h"
#include "WindowIcon.h"

#include <sstream>

namespace pictures {

namespace {

constexpr int kSheetMaxHeight = 1400;

// Draws the sheet on a picture taller than needed, then keeps the part the pieces use.
Picture DrawControlSheet(PieceSheet& sheet)
{
    Picture scratch(grid::kBodyWidth, kSheetMaxHeight);
    cairo_t* cr = scratch.cairo.get();
    DrawKeyboardBody(cr, sheet);
    sheet.NewRow();
    DrawBrandPieces(cr, sheet);
    DrawButtonPieces(cr, sheet);
    DrawFieldPieces(cr, sheet);
    DrawScrollBarPieces(cr, sheet);
    DrawMenuPieces(cr, sheet);

    Picture sheetPicture(sheet.Width(), sheet.UsedHeight());
    cairo_set_source_surface(sheetPicture.cairo.get(), scratch.surface.get(), 0, 0);
    cairo_paint(sheetPicture.cairo.get());
    return sheetPicture;
}

std::string CursorNote()
{
    std::ostringstream out;
    out << "# Cursors 102 (drop move) and 103 (drop copy): " << kCursorSize << " x " << kCursorSize
        << ", hot spot " << kCursorHotSpotX << " " << kCursorHotSpotY << ".\n";
    return out.str();
}

} // namespace

PictureSet DrawAllPictures()
{
    PictureSet set;
    PieceSheet sheet(grid::kBodyWidth, kSheetMaxHeight);
    set.pictures.emplace_back("Images/CE.png", DrawControlSheet(sheet));
    set.pictures.emplace_back("Images/AboutCompanyLogo.png", DrawCompanyLogo());
    set.pictures.emplace_back("Images/AboutProductLogo.png", DrawProductLogo());
    set.pictures.emplace_back("Cursors/102.png", DrawDropMoveCursor());
    set.pictures.emplace_back("Cursors/103.png", DrawDropCopyCursor());
    set.pictures.emplace_back("Icons/2002.png", DrawWindowIcon());

    const std::string heading =
        "# Written by tools/draw-pictures; edit the tool, not this file.\n"
        "# The skin cuts its parts out of CE.png by these rectangles (ImageFile \"CE.png\",\n"
        "# ImageLocX, ImageLocY, Width, Height); CE-parts.xml holds them as Part elements.\n" +
        CursorNote();
    set.texts.emplace_back("CE-pieces.txt", sheet.Listing("CE.png", heading));
    set.texts.emplace_back("CE-parts.xml",
                           "<!-- Written by tools/draw-pictures: the pieces of CE.png as skin "
                           "Parts; a sliced piece also\n     has one Part per cell "
                           "(.Left .Middle .Right, .Top .Bottom, .TopLeft ...). -->\n<Parts>\n" +
                               sheet.PartElements("CE.png", "CE.") + "</Parts>\n");
    return set;
}

} // namespace pictures
