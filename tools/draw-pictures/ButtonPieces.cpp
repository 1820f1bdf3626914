#include "ControlPieces.h"

#include "ControlShapes.h"
#include "Palette.h"

namespace pictures {

using namespace palette;

namespace {

void DrawPushButton(cairo_t* cr, const PieceRect& r, const LookState& state)
{
    const double radius = 5;
    DrawRaisedFace(cr, r.x, r.y, r.width, r.height, radius, state);
    if (state.second && !state.disabled) {
        DrawFocusRing(cr, r.x, r.y, r.width, r.height, radius,
                      state.checked ? Hex(0xFFFFFF, 0.85) : WithAlpha(kAccent, 0.95));
    }
}

// The on/off switch: the face never turns orange, its LED does.
void DrawOnOffButton(cairo_t* cr, const PieceRect& r, const LookState& state)
{
    const double radius = 5;
    DrawRaisedFace(cr, r.x, r.y, r.width, r.height, radius, state, false);
    if (state.second && !state.disabled) {
        DrawFocusRing(cr, r.x, r.y, r.width, r.height, radius, WithAlpha(kAccent, 0.95));
    }
    const double cx = r.x + 13;
    const double cy = r.y + r.height / 2.0 + (state.base == 2 ? 0.5 : 0);
    // Socket.
    cairo_arc(cr, cx, cy, 5.5, 0, 2 * kPi);
    SetColor(cr, Hex(0x000000, 0.55));
    cairo_fill(cr);
    if (state.checked) {
        const double brightness = state.disabled ? 0.35 : 1.0;
        cairo_pattern_t* glow = cairo_pattern_create_radial(cx, cy, 1, cx, cy, 9);
        cairo_pattern_add_color_stop_rgba(glow, 0, kAccentLight.r, kAccentLight.g, kAccentLight.b,
                                          0.55 * brightness);
        cairo_pattern_add_color_stop_rgba(glow, 1, kAccent.r, kAccent.g, kAccent.b, 0);
        cairo_arc(cr, cx, cy, 9, 0, 2 * kPi);
        cairo_set_source(cr, glow);
        cairo_fill(cr);
        cairo_pattern_destroy(glow);
        cairo_arc(cr, cx, cy, 4, 0, 2 * kPi);
        SetColor(cr, Mix(kDeckBottom, Hex(0xFFC27A), brightness));
        cairo_fill(cr);
        cairo_arc(cr, cx - 1, cy - 1.2, 1.3, 0, 2 * kPi);
        SetColor(cr, Hex(0xFFFFFF, 0.7 * brightness));
        cairo_fill(cr);
    } else {
        cairo_arc(cr, cx, cy, 4, 0, 2 * kPi);
        SetColor(cr, state.disabled ? Hex(0x2A2622) : Hex(0x4A3622));
        cairo_fill(cr);
    }
}

} // namespace

void DrawButtonPieces(cairo_t* cr, PieceSheet& sheet)
{
    sheet.NewRow();
    const auto push = sheet.PlaceStrip(
        "Button", kStateLooks, 72, 24,
        "push button (Get, Send, Send to RAM), looks 0-13 of the button's convention; text "
        "E8EAED, on checked looks 1D1F23, disabled 7D838C",
        Slices{6, 0, 6, 0});
    for (int i = 0; i < kStateLooks; ++i) {
        DrawPushButton(cr, push[i], StateOfLook(i));
    }
    sheet.NewRow();
    const auto onOff = sheet.PlaceStrip(
        "Button.OnOff", kStateLooks, 52, 24,
        "on/off button (arpEnabledButton): LED dark at 0-6, lit at 7-13; text E8EAED from "
        "x 24",
        Slices{24, 0, 6, 0});
    for (int i = 0; i < kStateLooks; ++i) {
        DrawOnOffButton(cr, onOff[i], StateOfLook(i));
    }
}

} // namespace pictures
