// The layout of CE.png: named rectangles ("pieces") that the skin cuts out of the one picture, and
// named areas of the keyboard body where the skin places its panels. Pieces are packed in rows
// below the body; the sheet refuses pieces that overlap or leave the picture, and writes the
// listing and the skin's Part elements that name each rectangle.
#pragma once

#include <string>
#include <vector>

namespace pictures {

struct PieceRect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Fixed edges of a piece meant to be cut in up to nine cells: the corners and edges keep their
// size, the middle stretches. Zero on a side means no cut there.
struct Slices
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

enum class Resize
{
    Stretch,
    Tile,
    Center
};

struct Piece
{
    std::string name;
    PieceRect rect;
    Slices slices;
    Resize resize = Resize::Stretch;
    std::string note;
};

struct Area
{
    std::string name;
    PieceRect rect;
    std::string note;
};

class PieceSheet
{
public:
    PieceSheet(int width, int maxHeight);

    // A piece at a fixed place (the keyboard body).
    PieceRect Reserve(const std::string& name, PieceRect rect, const std::string& note);
    // A piece at the next free place of the current row, or of a new row when it does not fit.
    PieceRect Place(const std::string& name, int width, int height, const std::string& note,
                    Slices slices = {}, Resize resize = Resize::Stretch);
    // Pieces named name + ".0" .. name + "." + (count - 1), side by side in one row.
    std::vector<PieceRect> PlaceStrip(const std::string& name, int count, int width, int height,
                                      const std::string& note, Slices slices = {});
    // Ends the current row; the next piece starts below everything placed so far.
    void NewRow();
    // A documented place inside a piece, for the skin author (not cut out by itself).
    void AddArea(const std::string& name, PieceRect rect, const std::string& note);

    int Width() const { return mWidth; }
    // The height the picture needs: the bottom of the lowest piece plus the margin.
    int UsedHeight() const;
    const std::vector<Piece>& Pieces() const { return mPieces; }

    // A text listing of every area and piece with its rectangle, slices and note.
    std::string Listing(const std::string& imageName, const std::string& heading) const;
    // Skin <Part> elements: one per piece, and one per cell of a sliced piece.
    std::string PartElements(const std::string& imageName, const std::string& prefix) const;

private:
    void Add(Piece piece);

    int mWidth;
    int mMaxHeight;
    int mRowX;
    int mRowY;
    int mRowBottom;
    std::vector<Piece> mPieces;
    std::vector<Area> mAreas;
};

} // namespace pictures
