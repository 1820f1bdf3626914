#include "ControlPieces.h"

#include "ControlShapes.h"
#include "Palette.h"

namespace pictures {

using namespace palette;

void DrawScrollBarPieces(cairo_t* cr, PieceSheet& sheet)
{
    struct Arrow
    {
        const char* name;
        Direction direction;
    };
    const Arrow arrows[] = {{"ScrollBar.Up", Direction::Up},
                            {"ScrollBar.Down", Direction::Down},
                            {"ScrollBar.Left", Direction::Left},
                            {"ScrollBar.Right", Direction::Right}};
    for (const Arrow& arrow : arrows) {
        sheet.NewRow();
        const auto frames = sheet.PlaceStrip(arrow.name, kStateLooks, 12, 12,
                                             "scroll-bar arrow button, looks 0-13");
        for (int i = 0; i < kStateLooks; ++i) {
            DrawArrowButton(cr, frames[i].x, frames[i].y, frames[i].width, frames[i].height,
                            StateOfLook(i), arrow.direction, 6);
        }
    }

    sheet.NewRow();
    const auto thumbV = sheet.PlaceStrip("ScrollBar.ThumbV", kStateLooks, 12, 24,
                                         "vertical thumb, looks 0-13", Slices{0, 5, 0, 5});
    for (int i = 0; i < kStateLooks; ++i) {
        LookState state = StateOfLook(i);
        state.checked = false;
        DrawRaisedFace(cr, thumbV[i].x + 1, thumbV[i].y, 10, 24, 4, state);
    }
    const auto thumbH = sheet.PlaceStrip("ScrollBar.ThumbH", kStateLooks, 24, 12,
                                         "horizontal thumb, looks 0-13", Slices{5, 0, 5, 0});
    for (int i = 0; i < kStateLooks; ++i) {
        LookState state = StateOfLook(i);
        state.checked = false;
        DrawRaisedFace(cr, thumbH[i].x, thumbH[i].y + 1, 24, 10, 4, state);
    }

    sheet.NewRow();
    struct Track
    {
        const char* name;
        int width;
        int height;
        bool paged;
        const char* note;
    };
    const Track tracks[] = {
        {"ScrollBar.TrackV", 12, 24, false, "vertical \"channel\" look 0"},
        {"ScrollBar.TrackVPaged", 12, 24, true, "vertical \"channel\" look 1 (page highlight)"},
        {"ScrollBar.TrackH", 24, 12, false, "horizontal \"channel\" look 0"},
        {"ScrollBar.TrackHPaged", 24, 12, true, "horizontal \"channel\" look 1"},
    };
    for (const Track& track : tracks) {
        const PieceRect r = sheet.Place(track.name, track.width, track.height, track.note);
        cairo_rectangle(cr, r.x, r.y, r.width, r.height);
        SetColor(cr, track.paged ? Mix(kField, Hex(0xFFFFFF), 0.08) : kField);
        cairo_fill(cr);
    }
    const PieceRect corner =
        sheet.Place("ScrollBar.Corner", 12, 12, "\"corner\" between the two bars");
    cairo_rectangle(cr, corner.x, corner.y, corner.width, corner.height);
    SetColor(cr, kListBackground);
    cairo_fill(cr);
}

} // namespace pictures
