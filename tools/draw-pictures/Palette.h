// The colours of the keyboard and of the control pieces. The controls sit on the keyboard's dark
// top face, so they are dark too, with one warm accent for what is lit, checked or selected.
#pragma once

#include "Painting.h"

namespace pictures::palette {

// Studio backdrop behind the keyboard.
constexpr Rgba kBackdropCentre = Hex(0xF3F4F6);
constexpr Rgba kBackdropEdge = Hex(0xC5CAD2);

// Keyboard body.
constexpr Rgba kBodyTop = Hex(0x383B41);
constexpr Rgba kBodyBottom = Hex(0x25272C);
constexpr Rgba kBodyOutline = Hex(0x111214);
constexpr Rgba kDeckTop = Hex(0x2F3237);
constexpr Rgba kDeckBottom = Hex(0x2A2D32);
constexpr Rgba kRecess = Hex(0x1A1C20);
constexpr Rgba kEngraving = Hex(0x9CA2AB);

// Keys.
constexpr Rgba kWhiteKeyTop = Hex(0xFAFAF8);
constexpr Rgba kWhiteKeyBottom = Hex(0xE4E4E0);
constexpr Rgba kBlackKeyTop = Hex(0x2A2B2E);
constexpr Rgba kBlackKeyBottom = Hex(0x121315);

// Controls.
constexpr Rgba kControlTop = Hex(0x3D4148);
constexpr Rgba kControlBottom = Hex(0x31343A);
constexpr Rgba kControlBorder = Hex(0x0F1012);
constexpr Rgba kField = Hex(0x202226);
constexpr Rgba kFieldBorder = Hex(0x0D0E10);
constexpr Rgba kListBackground = Hex(0x25282D);
constexpr Rgba kListAlternate = Hex(0x2A2D33);
constexpr Rgba kText = Hex(0xE8EAED);
constexpr Rgba kTextDim = Hex(0x7D838C);
constexpr Rgba kAccent = Hex(0xFF8A1F);
constexpr Rgba kAccentLight = Hex(0xFFA54F);
constexpr Rgba kAccentDark = Hex(0xD96F0C);
constexpr Rgba kHighlight = Hex(0xFFFFFF, 0.10);

// Menus and tool tips.
constexpr Rgba kMenuBarTop = Hex(0x2C2F35);
constexpr Rgba kMenuBarBottom = Hex(0x222428);
constexpr Rgba kMenuBackground = Hex(0x2A2D33);

// Drawing on white (the About box, cursors, icon).
constexpr Rgba kInk = Hex(0x1D1F23);
constexpr Rgba kInkSoft = Hex(0x5A606A);

} // namespace pictures::palette
