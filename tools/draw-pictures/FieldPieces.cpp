#include "ControlPieces.h"

#include "ControlShapes.h"
#include "Palette.h"

#include <string>

namespace pictures {

using namespace palette;

namespace {

// A sunk field: dark well, black border, faint light along the lower edge.
void DrawWell(cairo_t* cr, const PieceRect& r, double radius, Rgba fill, Rgba border)
{
    RoundedRect(cr, r.x + 0.5, r.y + 0.5, r.width - 1, r.height - 1, radius);
    SetColor(cr, fill);
    cairo_fill_preserve(cr);
    SetColor(cr, border);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    HorizontalHairline(cr, r.x + radius, r.x + r.width - radius, r.y + 1, Hex(0x000000, 0.35));
}

// Combo box looks: 0 closed, 1 focused, 2 pointer over, 3 pointer over and focused, 4 open,
// 5 open with the pointer over, 6 disabled.
void DrawComboBox(cairo_t* cr, const PieceRect& r, int look)
{
    const bool disabled = look == 6;
    const bool hover = look == 2 || look == 3 || look == 5;
    const bool focused = look == 1 || look == 3 || look == 4 || look == 5;
    const bool open = look == 4 || look == 5;
    const double radius = 4;
    Rgba fill = hover ? Mix(kField, Hex(0xFFFFFF), 0.05) : kField;
    Rgba border = focused ? kAccent : (hover ? Hex(0x50555D) : kFieldBorder);
    if (disabled) {
        fill = Mix(kField, kDeckBottom, 0.5);
        border = Mix(kFieldBorder, kDeckBottom, 0.4);
    }
    DrawWell(cr, r, radius, fill, border);
    // The button part at the right: a divider and a chevron.
    const double buttonLeft = r.x + r.width - 21;
    cairo_rectangle(cr, buttonLeft, r.y + 4, 1, r.height - 8);
    SetColor(cr, disabled ? Hex(0xFFFFFF, 0.04) : Hex(0xFFFFFF, 0.09));
    cairo_fill(cr);
    const Rgba glyph = disabled ? kTextDim : (open ? kAccent : (hover ? Hex(0xFFFFFF) : kText));
    DrawTriangle(cr, buttonLeft + 10.5, r.y + r.height / 2.0, 8,
                 open ? Direction::Up : Direction::Down, glyph);
}

// List rows: plain or alternate background, lighter under the pointer, accent when selected.
void DrawListItem(cairo_t* cr, const PieceRect& r, const LookState& state, int look)
{
    const Rgba background = state.second ? kListAlternate : kListBackground;
    Rgba fill = background;
    if (look == 13 || state.disabled) {
        fill = background;
    } else if (state.checked) {
        fill = state.base == 1 ? kAccentLight : (state.base == 2 ? kAccentDark : kAccent);
    } else if (state.base == 1) {
        fill = Mix(background, Hex(0xFFFFFF), 0.09);
    } else if (state.base == 2) {
        fill = Mix(background, Hex(0xFFFFFF), 0.04);
    }
    cairo_rectangle(cr, r.x, r.y, r.width, r.height);
    SetColor(cr, fill);
    cairo_fill(cr);
}

void DrawTextBox(cairo_t* cr, const PieceRect& r, bool focused, bool hover, bool disabled)
{
    Rgba fill = hover ? Mix(kField, Hex(0xFFFFFF), 0.05) : kField;
    Rgba border = focused ? kAccent : (hover ? Hex(0x50555D) : kFieldBorder);
    if (disabled) {
        fill = Mix(kField, kDeckBottom, 0.5);
        border = Mix(kFieldBorder, kDeckBottom, 0.4);
    }
    DrawWell(cr, r, 3, fill, border);
}

} // namespace

void DrawFieldPieces(cairo_t* cr, PieceSheet& sheet)
{
    sheet.NewRow();
    const auto combo = sheet.PlaceStrip(
        "ComboBox", 7, 112, 22,
        "combo box looks 0-6: closed, focused, pointer over, over and focused, open, open and "
        "over, disabled; text E8EAED left of x 91",
        Slices{6, 0, 22, 0});
    for (int i = 0; i < 7; ++i) {
        DrawComboBox(cr, combo[i], i);
    }
    const PieceRect list = sheet.Place("ComboBox.List", 112, 80,
                                       "drop-down list background with border", Slices{4, 4, 4, 4});
    DrawWell(cr, list, 3, kListBackground, kFieldBorder);

    sheet.NewRow();
    const auto rows = sheet.PlaceStrip(
        "ListItem", kStateLooks, 40, 18,
        "list row looks 0-13 (3-5 and 10-12 alternate rows, 7-12 selected, 13 blank); text "
        "E8EAED, selected 1D1F23, disabled 7D838C");
    for (int i = 0; i < kStateLooks; ++i) {
        DrawListItem(cr, rows[i], StateOfLook(i), i);
    }

    sheet.NewRow();
    struct TextBoxLook
    {
        const char* name;
        bool focused;
        bool hover;
        bool disabled;
        const char* note;
    };
    const TextBoxLook textBoxLooks[] = {
        {"TextBox.Normal", false, false, false, "text box look 0 and 2 (empty, cue text shown)"},
        {"TextBox.Hover", false, true, false, "text box look 1"},
        {"TextBox.Focused", true, false, false, "text box look 3"},
        {"TextBox.FocusedHover", true, true, false, "text box look 4"},
        {"TextBox.Disabled", false, false, true, "text box look 6; text 7D838C"},
    };
    for (const TextBoxLook& look : textBoxLooks) {
        const PieceRect r = sheet.Place(look.name, 44, 22, look.note, Slices{4, 4, 4, 4});
        DrawTextBox(cr, r, look.focused, look.hover, look.disabled);
    }
    const PieceRect selection = sheet.Place("TextBox.Selection", 8, 16,
                                            "text box look 10: selection highlight; text 1D1F23");
    cairo_rectangle(cr, selection.x, selection.y, selection.width, selection.height);
    SetColor(cr, WithAlpha(kAccent, 0.85));
    cairo_fill(cr);
    const PieceRect selectionHover =
        sheet.Place("TextBox.SelectionHover", 8, 16, "text box look 11");
    cairo_rectangle(cr, selectionHover.x, selectionHover.y, selectionHover.width,
                    selectionHover.height);
    SetColor(cr, WithAlpha(kAccentLight, 0.9));
    cairo_fill(cr);

    sheet.NewRow();
    const auto up = sheet.PlaceStrip("UpDown.Up", kStateLooks, 16, 11,
                                     "numeric up-down \"buttonUp\", looks 0-13");
    for (int i = 0; i < kStateLooks; ++i) {
        DrawArrowButton(cr, up[i].x, up[i].y, up[i].width, up[i].height, StateOfLook(i),
                        Direction::Up, 7);
    }
    const auto down = sheet.PlaceStrip("UpDown.Down", kStateLooks, 16, 11,
                                       "numeric up-down \"buttonDown\", looks 0-13");
    for (int i = 0; i < kStateLooks; ++i) {
        DrawArrowButton(cr, down[i].x, down[i].y, down[i].width, down[i].height, StateOfLook(i),
                        Direction::Down, 7);
    }
}

} // namespace pictures
