#include "KeyboardBody.h"

#include "KeyboardGrid.h"
#include "Painting.h"
#include "Palette.h"

#include <cmath>
#include <string>

namespace pictures {

namespace {

using namespace palette;

const TextStyle kEngravingStyle{"Liberation Sans", 8, 700, 1.2};

void DrawBackdrop(cairo_t* cr)
{
    cairo_pattern_t* light = cairo_pattern_create_radial(600, 300, 60, 600, 360, 820);
    cairo_pattern_add_color_stop_rgb(light, 0, kBackdropCentre.r, kBackdropCentre.g,
                                     kBackdropCentre.b);
    cairo_pattern_add_color_stop_rgb(light, 1, kBackdropEdge.r, kBackdropEdge.g, kBackdropEdge.b);
    cairo_rectangle(cr, 0, 0, grid::kBodyWidth, grid::kBodyHeight);
    cairo_set_source(cr, light);
    cairo_fill(cr);
    cairo_pattern_destroy(light);
}

void DrawShell(cairo_t* cr)
{
    const PieceRect& k = grid::kKeyboard;
    SoftShadow(cr, k.x + 4, k.y + 14, k.width - 8, k.height - 6, 30, 22, Hex(0x000000, 0.30));
    SoftShadow(cr, k.x + 1, k.y + 3, k.width - 2, k.height, 27, 4, Hex(0x000000, 0.35));

    RoundedRect(cr, k.x, k.y, k.width, k.height, 26);
    FillVertical(cr, k.y, k.height, kBodyTop, kBodyBottom);

    // A bevel: light along the top edge, dark outline all round.
    {
        SavedState saved(cr);
        RoundedRect(cr, k.x, k.y, k.width, k.height, 26);
        cairo_clip(cr);
        RoundedRect(cr, k.x + 1.5, k.y + 1.5, k.width - 3, k.height - 3, 24.5);
        cairo_pattern_t* edge = cairo_pattern_create_linear(0, k.y, 0, k.y + k.height);
        cairo_pattern_add_color_stop_rgba(edge, 0, 1, 1, 1, 0.22);
        cairo_pattern_add_color_stop_rgba(edge, 0.08, 1, 1, 1, 0.05);
        cairo_pattern_add_color_stop_rgba(edge, 1, 1, 1, 1, 0.02);
        cairo_set_source(cr, edge);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
        cairo_pattern_destroy(edge);
    }
    RoundedRect(cr, k.x + 0.5, k.y + 0.5, k.width - 1, k.height - 1, 25.5);
    SetColor(cr, kBodyOutline);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);

    // The top face, a shade apart from the rim.
    RoundedRect(cr, k.x + 10, k.y + 10, k.width - 20, 348, 18);
    FillVertical(cr, k.y + 10, 348, kDeckTop, kDeckBottom);
    RoundedRect(cr, k.x + 10.5, k.y + 10.5, k.width - 21, 347, 17.5);
    SetColor(cr, Hex(0x000000, 0.35));
    cairo_stroke(cr);
    HorizontalHairline(cr, k.x + 28, k.x + k.width - 28, k.y + 11, Hex(0xFFFFFF, 0.07));
}

// A panel recess: sunk into the top face, shadowed along its upper edge, lit along its lower.
void DrawRecess(cairo_t* cr, const PieceRect& r)
{
    const double radius = 10;
    RoundedRect(cr, r.x, r.y, r.width, r.height, radius);
    SetColor(cr, kRecess);
    cairo_fill(cr);
    {
        SavedState saved(cr);
        RoundedRect(cr, r.x, r.y, r.width, r.height, radius);
        cairo_clip(cr);
        RoundedRect(cr, r.x - 0.5, r.y + 2.5, r.width + 1, r.height + 6, radius);
        cairo_set_line_width(cr, 6);
        SetColor(cr, Hex(0x000000, 0.35));
        cairo_stroke(cr);
    }
    RoundedRect(cr, r.x + 0.5, r.y + 0.5, r.width - 1, r.height - 1, radius - 0.5);
    cairo_set_line_width(cr, 1);
    SetColor(cr, Hex(0x000000, 0.55));
    cairo_stroke(cr);
    HorizontalHairline(cr, r.x + radius, r.x + r.width - radius, r.y + r.height,
                       Hex(0xFFFFFF, 0.08));
}

void Engrave(cairo_t* cr, const std::string& text, double x, double y, Align align,
             const TextStyle& style = kEngravingStyle)
{
    DrawText(cr, text, style, x, y + 1, align, Hex(0x000000, 0.45));
    DrawText(cr, text, style, x, y, align, kEngraving);
}

// A section title: engraved capitals, then a hairline to the end of the area.
void DrawSectionTitle(cairo_t* cr, const PieceRect& r, const std::string& text)
{
    const double middle = r.y + r.height / 2.0;
    const double width =
        DrawText(cr, text, kEngravingStyle, r.x + 2, middle + 1, Align::Left, Hex(0x000000, 0.45));
    DrawText(cr, text, kEngravingStyle, r.x + 2, middle, Align::Left, kEngraving);
    const double lineStart = r.x + 2 + width + 8;
    HorizontalHairline(cr, lineStart, r.x + r.width - 2, middle, Hex(0x9CA2AB, 0.35));
    HorizontalHairline(cr, lineStart, r.x + r.width - 2, middle + 1, Hex(0x000000, 0.35));
}

void DrawDisplay(cairo_t* cr)
{
    const PieceRect& r = grid::kDisplay;
    SoftShadow(cr, r.x, r.y + 1, r.width, r.height, 8, 2, Hex(0xFFFFFF, 0.10));
    RoundedRect(cr, r.x, r.y, r.width, r.height, 8);
    SetColor(cr, Hex(0x0A0B0D));
    cairo_fill(cr);
    const double gx = r.x + 7;
    const double gy = r.y + 7;
    const double gw = r.width - 14;
    const double gh = r.height - 14;
    RoundedRect(cr, gx, gy, gw, gh, 4);
    FillVertical(cr, gy, gh, Hex(0x1B1408), Hex(0x120D05));

    const Rgba lit = Hex(0xFFB347);
    const TextStyle big{"DejaVu Sans Mono", 13, 700, 0.5};
    const TextStyle small{"DejaVu Sans Mono", 9, 400, 0.6};
    DrawText(cr, "VEDOZI DURUZAVA", big, gx + 10, gy + 17, Align::Left, lit);
    DrawText(cr, "PROGRAM EDITOR", small, gx + 10, gy + 35, Align::Left, WithAlpha(lit, 0.65));
    // Signal bars of the wireless link, top right of the glass, unlit: the picture does not know
    // whether a keyboard is there.
    for (int i = 0; i < 4; ++i) {
        const double h = 3 + i * 2.5;
        cairo_rectangle(cr, gx + gw - 30 + i * 5, gy + 44 - h, 3, h);
    }
    SetColor(cr, WithAlpha(lit, 0.12));
    cairo_fill(cr);
    // Glass reflection over the upper part.
    RoundedRect(cr, gx, gy, gw, gh * 0.45, 4);
    FillVertical(cr, gy, gh * 0.45, Hex(0xFFFFFF, 0.06), Hex(0xFFFFFF, 0.0));
}

void DrawKnob(cairo_t* cr, double cx, double cy, double position, const std::string& label)
{
    const double start = kPi * 0.75;
    const double sweep = kPi * 1.5;
    for (int i = 0; i <= 10; ++i) {
        const double a = start + sweep * i / 10;
        cairo_arc(cr, cx + std::cos(a) * 29, cy + std::sin(a) * 29, i % 5 == 0 ? 1.4 : 0.9, 0,
                  2 * kPi);
        SetColor(cr, kEngraving);
        cairo_fill(cr);
    }
    SoftShadow(cr, cx - 22, cy - 20, 44, 44, 22, 5, Hex(0x000000, 0.45));
    // Knurled skirt.
    cairo_arc(cr, cx, cy, 23, 0, 2 * kPi);
    cairo_pattern_t* skirt = cairo_pattern_create_linear(cx - 23, cy - 23, cx + 23, cy + 23);
    cairo_pattern_add_color_stop_rgb(skirt, 0, 0.33, 0.35, 0.38);
    cairo_pattern_add_color_stop_rgb(skirt, 1, 0.10, 0.11, 0.12);
    cairo_set_source(cr, skirt);
    cairo_fill(cr);
    cairo_pattern_destroy(skirt);
    cairo_set_line_width(cr, 1);
    for (int i = 0; i < 48; ++i) {
        const double a = 2 * kPi * i / 48;
        cairo_move_to(cr, cx + std::cos(a) * 19.5, cy + std::sin(a) * 19.5);
        cairo_line_to(cr, cx + std::cos(a) * 22.5, cy + std::sin(a) * 22.5);
    }
    SetColor(cr, Hex(0x000000, 0.45));
    cairo_stroke(cr);
    // Cap, lit from the top left.
    cairo_arc(cr, cx, cy, 17.5, 0, 2 * kPi);
    cairo_pattern_t* cap = cairo_pattern_create_radial(cx - 6, cy - 8, 2, cx, cy, 18);
    cairo_pattern_add_color_stop_rgb(cap, 0, 0.36, 0.38, 0.41);
    cairo_pattern_add_color_stop_rgb(cap, 1, 0.18, 0.19, 0.21);
    cairo_set_source(cr, cap);
    cairo_fill(cr);
    cairo_pattern_destroy(cap);
    cairo_arc(cr, cx, cy, 17, 0, 2 * kPi);
    SetColor(cr, Hex(0x000000, 0.5));
    cairo_stroke(cr);
    cairo_arc(cr, cx, cy, 16, kPi * 1.1, kPi * 1.65);
    SetColor(cr, Hex(0xFFFFFF, 0.18));
    cairo_stroke(cr);
    // Pointer.
    const double a = start + sweep * position;
    cairo_set_line_width(cr, 2.5);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, cx + std::cos(a) * 7, cy + std::sin(a) * 7);
    cairo_line_to(cr, cx + std::cos(a) * 15, cy + std::sin(a) * 15);
    SetColor(cr, Hex(0xF2F3F5));
    cairo_stroke(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_width(cr, 1);
    Engrave(cr, label, cx, cy + 36, Align::Centre);
}

void DrawKnobs(cairo_t* cr)
{
    const PieceRect& r = grid::kKnobs;
    const double positions[] = {0.5, 0.3, 0.7, 0.15};
    for (int i = 0; i < 4; ++i) {
        const double cx = r.x + 41 + i * 82;
        DrawKnob(cr, cx, r.y + 31, positions[i], "K" + std::to_string(i + 1));
    }
}

void DrawTouchStrip(cairo_t* cr, double x, double y, double w, const std::string& label,
                    bool centreMark)
{
    Engrave(cr, label, x, y + 9, Align::Left);
    const double sx = x + 46;
    const double sw = w - 46;
    HorizontalHairline(cr, sx + 9, sx + sw - 9, y + 18, Hex(0xFFFFFF, 0.08));
    RoundedRect(cr, sx, y, sw, 18, 9);
    FillVertical(cr, y, 18, Hex(0x0E0F11), Hex(0x1C1E22));
    RoundedRect(cr, sx + 0.5, y + 0.5, sw - 1, 17, 8.5);
    SetColor(cr, Hex(0x000000, 0.6));
    cairo_stroke(cr);
    // Faint LED dots under the strip's skin.
    for (int i = 0; i < 9; ++i) {
        const double dx = sx + 14 + (sw - 28) * i / 8.0;
        cairo_arc(cr, dx, y + 9, 1.6, 0, 2 * kPi);
        SetColor(cr, (centreMark && i == 4) ? WithAlpha(kAccent, 0.9) : Hex(0xFFFFFF, 0.10));
        cairo_fill(cr);
    }
}

void DrawBluetoothRune(cairo_t* cr, double x, double y, double h, Rgba colour)
{
    const double w = h * 0.5;
    cairo_move_to(cr, x, y + h * 0.25);
    cairo_line_to(cr, x + w, y + h * 0.72);
    cairo_line_to(cr, x + w / 2, y + h);
    cairo_line_to(cr, x + w / 2, y);
    cairo_line_to(cr, x + w, y + h * 0.28);
    cairo_line_to(cr, x, y + h * 0.75);
    cairo_set_line_width(cr, 1.6);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    SetColor(cr, colour);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 1);
}

// An unlit indicator lamp: a dark lens with the glint of the room's light on it.
void DrawUnlitLamp(cairo_t* cr, double cx, double cy, double radius)
{
    cairo_arc(cr, cx, cy, radius + 1, 0, 2 * kPi);
    SetColor(cr, Hex(0x000000, 0.55));
    cairo_fill(cr);
    cairo_arc(cr, cx, cy, radius, 0, 2 * kPi);
    cairo_pattern_t* lens =
        cairo_pattern_create_radial(cx - radius * 0.3, cy - radius * 0.4, 0.5, cx, cy, radius);
    cairo_pattern_add_color_stop_rgb(lens, 0, 0.30, 0.26, 0.22);
    cairo_pattern_add_color_stop_rgb(lens, 1, 0.13, 0.12, 0.11);
    cairo_set_source(cr, lens);
    cairo_fill(cr);
    cairo_pattern_destroy(lens);
}

// The power button's symbol: a ring open at the top with a bar through the gap.
void DrawPowerSymbol(cairo_t* cr, double cx, double cy, double radius, Rgba colour)
{
    cairo_set_line_width(cr, 1.6);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_arc(cr, cx, cy, radius, -kPi / 2 + 0.75, -kPi / 2 - 0.75 + 2 * kPi);
    SetColor(cr, colour);
    cairo_stroke(cr);
    cairo_move_to(cr, cx, cy - radius - 1.5);
    cairo_line_to(cr, cx, cy - 1);
    cairo_stroke(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_width(cr, 1);
}

// The link lamp, the battery gauge and the power button, all as they look with nothing lit:
// the editor does not know whether a keyboard is connected, charged or switched on.
void DrawStatus(cairo_t* cr)
{
    const PieceRect& r = grid::kStatus;
    const double row = r.y + 24;
    // Wireless link: rune and an unlit lamp.
    DrawBluetoothRune(cr, r.x + 8, row - 8, 16, kEngraving);
    DrawUnlitLamp(cr, r.x + 27, row, 3);
    Engrave(cr, "LINK", r.x + 18, row + 24, Align::Centre);
    // Battery gauge with its segments dark.
    const double bx = r.x + 52;
    RoundedRect(cr, bx + 0.5, row - 6.5, 26, 13, 2.5);
    SetColor(cr, kEngraving);
    cairo_stroke(cr);
    cairo_rectangle(cr, bx + 27, row - 3, 2.5, 6);
    cairo_fill(cr);
    for (int i = 0; i < 3; ++i) {
        cairo_rectangle(cr, bx + 3 + i * 7.5, row - 4, 6, 8);
    }
    SetColor(cr, Hex(0xFFFFFF, 0.07));
    cairo_fill(cr);
    Engrave(cr, "BATT", bx + 15, row + 24, Align::Centre);
    // Power push button, which shows no state of its own.
    const double px = r.x + 122;
    SoftShadow(cr, px - 11, row - 10, 22, 22, 11, 3, Hex(0x000000, 0.45));
    cairo_arc(cr, px, row, 11, 0, 2 * kPi);
    FillVertical(cr, row - 11, 22, Hex(0x4A4E55), Hex(0x33363B));
    cairo_arc(cr, px, row, 10.5, 0, 2 * kPi);
    SetColor(cr, Hex(0x000000, 0.55));
    cairo_stroke(cr);
    cairo_arc(cr, px, row, 9.5, kPi * 1.15, kPi * 1.85);
    SetColor(cr, Hex(0xFFFFFF, 0.14));
    cairo_stroke(cr);
    DrawPowerSymbol(cr, px, row + 0.5, 5, kEngraving);
    Engrave(cr, "POWER", px, row + 24, Align::Centre);
}

void DrawPad(cairo_t* cr, double x, double y, double size, int number)
{
    SoftShadow(cr, x, y + 2, size, size, 8, 4, Hex(0x000000, 0.45));
    RoundedRect(cr, x, y, size, size, 8);
    FillVertical(cr, y, size, Hex(0x4A4E55), Hex(0x383B41));
    RoundedRect(cr, x + 0.5, y + 0.5, size - 1, size - 1, 7.5);
    SetColor(cr, Hex(0x000000, 0.55));
    cairo_stroke(cr);
    HorizontalHairline(cr, x + 8, x + size - 8, y + 1, Hex(0xFFFFFF, 0.16));
    // The rubber's soft dome: a faint light in the upper half.
    cairo_arc(cr, x + size / 2, y + size * 0.42, size * 0.36, 0, 2 * kPi);
    cairo_pattern_t* dome = cairo_pattern_create_radial(x + size / 2, y + size * 0.42, 0,
                                                        x + size / 2, y + size * 0.42, size * 0.36);
    cairo_pattern_add_color_stop_rgba(dome, 0, 1, 1, 1, 0.06);
    cairo_pattern_add_color_stop_rgba(dome, 1, 1, 1, 1, 0);
    cairo_set_source(cr, dome);
    cairo_fill(cr);
    cairo_pattern_destroy(dome);
    // Unlit diffuser along the lower edge.
    RoundedRect(cr, x + 10, y + size - 7, size - 20, 2, 1);
    SetColor(cr, WithAlpha(kAccent, 0.22));
    cairo_fill(cr);
    Engrave(cr, std::to_string(number), x + size / 2, y + size + 14, Align::Centre);
}

void DrawPads(cairo_t* cr)
{
    const PieceRect& r = grid::kPads;
    const double size = 58;
    const double gap = (r.width - 8 * size - 4) / 7.0;
    for (int i = 0; i < 8; ++i) {
        DrawPad(cr, r.x + 2 + i * (size + gap), r.y + 10, size, i + 1);
    }
}

void DrawKeys(cairo_t* cr)
{
    const PieceRect& bed = grid::kKeyBed;
    RoundedRect(cr, bed.x, bed.y, bed.width, bed.height, 8);
    SetColor(cr, Hex(0x0B0C0D));
    cairo_fill(cr);

    const double left = bed.x + 4;
    const double top = bed.y + 6;
    const double keyWidth = (bed.width - 8) / double(grid::kWhiteKeys);
    const double keyLength = bed.height - 10;
    for (int i = 0; i < grid::kWhiteKeys; ++i) {
        const double x = left + i * keyWidth + 1;
        const double w = keyWidth - 2;
        cairo_new_path(cr);
        cairo_move_to(cr, x, top);
        cairo_line_to(cr, x + w, top);
        cairo_arc(cr, x + w - 5, top + keyLength - 5, 5, 0, kPi / 2);
        cairo_arc(cr, x + 5, top + keyLength - 5, 5, kPi / 2, kPi);
        cairo_close_path(cr);
        FillVertical(cr, top, keyLength, kWhiteKeyTop, kWhiteKeyBottom);
        // The front edge, seen a little as the key rounds off.
        RoundedRect(cr, x, top + keyLength - 9, w, 9, 5);
        FillVertical(cr, top + keyLength - 9, 9, Hex(0xE8E8E4), Hex(0xC9C9C4));
        cairo_rectangle(cr, x + w - 1, top, 1, keyLength - 6);
        SetColor(cr, Hex(0x000000, 0.10));
        cairo_fill(cr);
    }

    // Black keys after C, D, F, G and A, each nudged the way a keyboard's are.
    const double offsets[7] = {-0.09, 0.09, 0, -0.11, 0, 0.11, 0};
    const bool hasBlack[7] = {true, true, false, true, true, true, false};
    const double blackWidth = keyWidth * 0.58;
    const double blackLength = keyLength * 0.62;
    for (int i = 0; i < grid::kWhiteKeys - 1; ++i) {
        if (!hasBlack[i % 7]) {
            continue;
        }
        const double centre = left + (i + 1 + offsets[i % 7]) * keyWidth;
        const double x = centre - blackWidth / 2;
        SoftShadow(cr, x + 3, top, blackWidth, blackLength + 4, 4, 6, Hex(0x000000, 0.28));
        RoundedRect(cr, x, top - 4, blackWidth, blackLength + 4, 3);
        SetColor(cr, Hex(0x0C0C0E));
        cairo_fill(cr);
        RoundedRect(cr, x + 3, top, blackWidth - 6, blackLength - 12, 3);
        FillVertical(cr, top, blackLength - 12, kBlackKeyTop, Hex(0x1E1F22));
        // The sloped front of the key, catching the light.
        cairo_rectangle(cr, x + 3, top + blackLength - 12, blackWidth - 6, 8);
        FillVertical(cr, top + blackLength - 12, 8, Hex(0x3A3B3F), Hex(0x17181A));
        HorizontalHairline(cr, x + 4, x + blackWidth - 4, top + blackLength - 12,
                           Hex(0xFFFFFF, 0.12));
    }

    // The deck's lip shades the far end of the keys.
    cairo_rectangle(cr, bed.x, bed.y, bed.width, 22);
    FillVertical(cr, bed.y, 22, Hex(0x000000, 0.45), Hex(0x000000, 0));
}

} // namespace

void DrawCompanyMark(cairo_t* cr, double x, double y, double size)
{
    RoundedRect(cr, x, y, size, size, size * 0.24);
    FillVertical(cr, y, size, kAccentLight, kAccentDark);
    const double barWidth = size * 0.14;
    const double gap = size * 0.09;
    const double total = 3 * barWidth + 2 * gap;
    for (int i = 0; i < 3; ++i) {
        const double h = size * (0.30 + 0.17 * i);
        RoundedRect(cr, x + (size - total) / 2 + i * (barWidth + gap), y + size * 0.76 - h,
                    barWidth, h, barWidth / 2);
    }
    SetColor(cr, Hex(0xFFFFFF));
    cairo_fill(cr);
}

void DrawKeyboardBody(cairo_t* cr, PieceSheet& sheet)
{
    sheet.Reserve("Body", {0, 0, grid::kBodyWidth, grid::kBodyHeight},
                  "the keyboard from above, for \"productImage\" at (0, 0), 1200 x 720");
    SavedState saved(cr);
    cairo_rectangle(cr, 0, 0, grid::kBodyWidth, grid::kBodyHeight);
    cairo_clip(cr);

    DrawBackdrop(cr);
    DrawShell(cr);
    DrawDisplay(cr);
    DrawKnobs(cr);
    DrawTouchStrip(cr, grid::kTouchStrips.x, grid::kTouchStrips.y + 8, grid::kTouchStrips.width,
                   "PITCH", true);
    DrawTouchStrip(cr, grid::kTouchStrips.x, grid::kTouchStrips.y + 42, grid::kTouchStrips.width,
                   "MOD", false);
    DrawStatus(cr);
    DrawSectionTitle(cr, grid::kProgramBankTitle, "PROGRAM BANK");
    for (const PieceRect& recess : {grid::kChannelPanel, grid::kArpeggiatorPanel,
                                    grid::kProgramBankPanel, grid::kTransposePanel}) {
        DrawRecess(cr, recess);
    }
    DrawPads(cr);
    DrawKeys(cr);

    sheet.AddArea("Keyboard", grid::kKeyboard, "the keyboard's outline");
    sheet.AddArea("CompanyPlate", grid::kCompanyPlate,
                  "plain top face for \"companyLabel\" (piece Brand.Company)");
    sheet.AddArea("ProductPlate", grid::kProductPlate,
                  "plain top face for \"productLabel\" (piece Brand.Product)");
    sheet.AddArea("Display", grid::kDisplay, "the display, drawn");
    sheet.AddArea("Knobs", grid::kKnobs, "four knobs K1-K4, drawn");
    sheet.AddArea("TouchStrips", grid::kTouchStrips, "pitch and modulation strips, drawn");
    sheet.AddArea("Status", grid::kStatus, "link LED, battery, power switch, drawn");
    sheet.AddArea("ArpeggiatorTitle", grid::kArpeggiatorTitle,
                  "plain top face for \"arpeggiatorLabel\" (piece Title.Arpeggiator)");
    sheet.AddArea("ProgramBankTitle", grid::kProgramBankTitle, "\"PROGRAM BANK\", engraved");
    sheet.AddArea("ChannelPanel", grid::kChannelPanel,
                  "recess for \"commType\": MIDI CHANNEL label and combo box");
    sheet.AddArea("ArpeggiatorPanel", grid::kArpeggiatorPanel,
                  "recess for \"arpeggiator\" (0.17 / 0.37 of productImage, anchor bottom)");
    sheet.AddArea("ProgramBankPanel", grid::kProgramBankPanel,
                  "recess for \"programBankPanel\": 4 program columns and Send to RAM");
    sheet.AddArea("TransposePanel", grid::kTransposePanel,
                  "recess for \"transposePanel\": \"octave\" above \"transpose\"");
    sheet.AddArea("Pads", grid::kPads, "eight pads, drawn");
    sheet.AddArea("KeyBed", grid::kKeyBed, "25 keys, C to C, drawn");
}

void DrawBrandPieces(cairo_t* cr, PieceSheet& sheet)
{
    const PieceRect company =
        sheet.Place("Brand.Company", grid::kCompanyPlate.width, grid::kCompanyPlate.height,
                    "\"companyLabel\": the maker's mark and name, for the CompanyPlate area");
    DrawCompanyMark(cr, company.x + 2, company.y + 5, 24);
    DrawText(cr, "Vudozi", TextStyle{"Liberation Sans", 21, 700, 0.2}, company.x + 33,
             company.y + 17, Align::Left, palette::kText);

    const PieceRect product =
        sheet.Place("Brand.Product", grid::kProductPlate.width, grid::kProductPlate.height,
                    "\"productLabel\": the product's name, for the ProductPlate area");
    DrawText(cr, "VEDOZI DURUZAVA", TextStyle{"Liberation Sans", 10, 700, 1.1}, product.x + 2,
             product.y + 8, Align::Left, Hex(0xC9CDD3));
    DrawText(cr, "WIRELESS MIDI KEYBOARD", TextStyle{"Liberation Sans", 7, 400, 0.9}, product.x + 2,
             product.y + 20, Align::Left, palette::kTextDim);

    const PieceRect title = sheet.Place(
        "Title.Arpeggiator", grid::kArpeggiatorTitle.width, grid::kArpeggiatorTitle.height,
        "\"arpeggiatorLabel\": engraved title, for the ArpeggiatorTitle area");
    DrawSectionTitle(cr, title, "ARPEGGIATOR");

    const PieceRect recess = sheet.Place(
        "Panel.Recess", 40, 40,
        "a panel recess like those of the body, for a panel placed elsewhere on the top face",
        Slices{12, 12, 12, 12});
    DrawRecess(cr, recess);
}

} // namespace pictures
