#include "ControlPieces.h"

#include "ControlShapes.h"
#include "Palette.h"

namespace pictures {

using namespace palette;

namespace {

// Menu-bar titles: 0 normal, 1 pointer over, 2 popup open, 3 disabled.
void DrawMenuTitle(cairo_t* cr, const PieceRect& r, int look)
{
    if (look == 1) {
        RoundedRect(cr, r.x + 1, r.y + 3, r.width - 2, r.height - 6, 4);
        SetColor(cr, Hex(0xFFFFFF, 0.09));
        cairo_fill(cr);
    } else if (look == 2) {
        RoundedRect(cr, r.x + 1, r.y + 3, r.width - 2, r.height - 3, 4);
        SetColor(cr, kMenuBackground);
        cairo_fill(cr);
        cairo_rectangle(cr, r.x + 5, r.y + r.height - 2, r.width - 10, 2);
        SetColor(cr, kAccent);
        cairo_fill(cr);
    }
}

// Popup rows follow the list rows' looks: 0-2 plain, 3-5 with a sub-menu (an arrow at the right
// end), 7-12 the same while selected by the keys, 6 disabled, 13 a separator.
void DrawPopupItem(cairo_t* cr, const PieceRect& r, int look)
{
    const LookState state = StateOfLook(look);
    if (look == 13) {
        HorizontalHairline(cr, r.x + 6, r.x + r.width - 6, r.y + r.height / 2.0,
                           Hex(0x000000, 0.45));
        HorizontalHairline(cr, r.x + 6, r.x + r.width - 6, r.y + r.height / 2.0 + 1,
                           Hex(0xFFFFFF, 0.07));
        return;
    }
    const bool lit = !state.disabled && (state.base > 0 || state.checked);
    if (lit) {
        RoundedRect(cr, r.x + 3, r.y + 1, r.width - 6, r.height - 2, 3);
        SetColor(cr, state.base == 2 ? kAccentDark : kAccent);
        cairo_fill(cr);
    }
    if (state.second && !state.disabled) {
        DrawTriangle(cr, r.x + r.width - 10, r.y + r.height / 2.0, 7, Direction::Right,
                     lit ? kInk : kText);
    }
}

void DrawCheckMark(cairo_t* cr, const PieceRect& r, Rgba colour)
{
    cairo_move_to(cr, r.x + 3, r.y + 7.5);
    cairo_line_to(cr, r.x + 6, r.y + 10.5);
    cairo_line_to(cr, r.x + 11, r.y + 3.5);
    cairo_set_line_width(cr, 2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    SetColor(cr, colour);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 1);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

void DrawFrame(cairo_t* cr, const PieceRect& r, double radius, Rgba fill)
{
    RoundedRect(cr, r.x + 0.5, r.y + 0.5, r.width - 1, r.height - 1, radius);
    SetColor(cr, fill);
    cairo_fill_preserve(cr);
    SetColor(cr, kControlBorder);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    HorizontalHairline(cr, r.x + radius, r.x + r.width - radius, r.y + 1, Hex(0xFFFFFF, 0.08));
}

} // namespace

void DrawMenuPieces(cairo_t* cr, PieceSheet& sheet)
{
    sheet.NewRow();
    const PieceRect bar =
        sheet.Place("MenuBar.Background", 8, 24, "menu bar, stretched across the window");
    cairo_rectangle(cr, bar.x, bar.y, bar.width, bar.height);
    FillVertical(cr, bar.y, bar.height, kMenuBarTop, kMenuBarBottom);
    HorizontalHairline(cr, bar.x, bar.x + bar.width, bar.y + bar.height - 1, Hex(0x0B0C0E));
    HorizontalHairline(cr, bar.x, bar.x + bar.width, bar.y, Hex(0xFFFFFF, 0.06));

    const auto titles = sheet.PlaceStrip(
        "MenuTitle", 4, 56, 24,
        "menu-bar title looks 0-3: normal, pointer over, popup open, disabled; text E8EAED, "
        "disabled 7D838C",
        Slices{6, 0, 6, 0});
    for (int i = 0; i < 4; ++i) {
        DrawMenuTitle(cr, titles[i], i);
    }

    const PieceRect popup =
        sheet.Place("PopupMenu.Background", 120, 60, "popup menu frame", Slices{6, 6, 6, 6});
    DrawFrame(cr, popup, 5, kMenuBackground);

    const PieceRect check =
        sheet.Place("PopupMenu.Check", 14, 14, "check mark of a checked entry (check box look 7)");
    DrawCheckMark(cr, check, kText);
    const PieceRect checkOver =
        sheet.Place("PopupMenu.CheckOver", 14, 14, "check mark on a lit row (check box look 8)");
    DrawCheckMark(cr, checkOver, kInk);

    const PieceRect tip =
        sheet.Place("ToolTip", 48, 22, "tool tip frame; text E8EAED", Slices{5, 5, 5, 5});
    DrawFrame(cr, tip, 4, Hex(0x33363C));

    sheet.NewRow();
    const auto items = sheet.PlaceStrip(
        "PopupItem", kStateLooks, 48, 22,
        "popup row looks 0-13 (3-5, 10-12 with sub-menu arrow; 13 separator); text E8EAED, on "
        "lit rows 1D1F23, disabled 7D838C",
        Slices{4, 0, 18, 0});
    for (int i = 0; i < kStateLooks; ++i) {
        DrawPopupItem(cr, items[i], i);
    }
}

} // namespace pictures
