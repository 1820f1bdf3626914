#include "PieceSheet.h"

#include <algorithm>
#include <sstream>
#include <stdexcept>

namespace pictures {

namespace {

// Space between pieces, so that no stretched or tiled piece ever samples its neighbour.
constexpr int kGap = 2;

bool Overlap(const PieceRect& a, const PieceRect& b)
{
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height &&
           b.y < a.y + a.height;
}

const char* ResizeName(Resize resize)
{
    switch (resize) {
    case Resize::Tile:
        return "Tile";
    case Resize::Center:
        return "Center";
    case Resize::Stretch:
        break;
    }
    return "Stretch";
}

std::string RectText(const PieceRect& r)
{
    std::ostringstream out;
    out << r.x << ' ' << r.y << ' ' << r.width << ' ' << r.height;
    return out.str();
}

struct Cell
{
    std::string suffix;
    PieceRect rect;
};

// The cells of a sliced piece, named by their place; a piece cut on one axis only has three.
std::vector<Cell> CellsOf(const Piece& piece)
{
    const PieceRect& r = piece.rect;
    const Slices& s = piece.slices;
    const bool across = s.left > 0 || s.right > 0;
    const bool down = s.top > 0 || s.bottom > 0;
    struct Band
    {
        std::string name;
        int start;
        int length;
    };
    auto bands = [](bool cut, int start, int length, int near, int far, const char* nearName,
                    const char* farName) {
        std::vector<Band> result;
        if (!cut) {
            result.push_back({"", start, length});
            return result;
        }
        if (near > 0) {
            result.push_back({nearName, start, near});
        }
        result.push_back({"Middle", start + near, length - near - far});
        if (far > 0) {
            result.push_back({farName, start + length - far, far});
        }
        return result;
    };
    std::vector<Cell> cells;
    if (!across && !down) {
        return cells;
    }
    for (const Band& row : bands(down, r.y, r.height, s.top, s.bottom, "Top", "Bottom")) {
        for (const Band& column : bands(across, r.x, r.width, s.left, s.right, "Left", "Right")) {
            std::string suffix;
            if (row.name == "Middle" && column.name == "Middle") {
                suffix = "Middle";
            } else if (row.name.empty() || row.name == "Middle") {
                suffix = column.name;
            } else if (column.name.empty() || column.name == "Middle") {
                suffix = row.name;
            } else {
                suffix = row.name + column.name;
            }
            cells.push_back({suffix, {column.start, row.start, column.length, row.length}});
        }
    }
    return cells;
}

} // namespace

PieceSheet::PieceSheet(int width, int maxHeight)
    : mWidth(width), mMaxHeight(maxHeight), mRowX(kGap), mRowY(0), mRowBottom(0)
{}

void PieceSheet::Add(Piece piece)
{
    const PieceRect& r = piece.rect;
    if (r.width <= 0 || r.height <= 0 || r.x < 0 || r.y < 0 || r.x + r.width > mWidth ||
        r.y + r.height > mMaxHeight) {
        throw std::runtime_error("piece " + piece.name + " (" + RectText(r) +
                                 ") does not fit the sheet");
    }
    const Slices& s = piece.slices;
    const bool cutAcross = s.left > 0 || s.right > 0;
    const bool cutDown = s.top > 0 || s.bottom > 0;
    if ((cutAcross && s.left + s.right >= r.width) || (cutDown && s.top + s.bottom >= r.height)) {
        throw std::runtime_error("piece " + piece.name + " leaves no middle between its slices");
    }
    for (const Piece& other : mPieces) {
        if (other.name == piece.name) {
            throw std::runtime_error("two pieces are named " + piece.name);
        }
        if (Overlap(other.rect, r)) {
            throw std::runtime_error("piece " + piece.name + " overlaps " + other.name);
        }
    }
    mPieces.push_back(std::move(piece));
}

PieceRect PieceSheet::Reserve(const std::string& name, PieceRect rect, const std::string& note)
{
    Add(Piece{name, rect, {}, Resize::Stretch, note});
    mRowY = std::max(mRowY, rect.y + rect.height + kGap * 4);
    mRowBottom = std::max(mRowBottom, mRowY);
    return rect;
}

PieceRect PieceSheet::Place(const std::string& name, int width, int height, const std::string& note,
                            Slices slices, Resize resize)
{
    if (mRowX + width + kGap > mWidth) {
        NewRow();
    }
    PieceRect rect{mRowX, mRowY, width, height};
    Add(Piece{name, rect, slices, resize, note});
    mRowX += width + kGap;
    mRowBottom = std::max(mRowBottom, mRowY + height);
    return rect;
}

std::vector<PieceRect> PieceSheet::PlaceStrip(const std::string& name, int count, int width,
                                              int height, const std::string& note, Slices slices)
{
    if (mRowX + count * (width + kGap) > mWidth) {
        NewRow();
    }
    std::vector<PieceRect> frames;
    for (int i = 0; i < count; ++i) {
        frames.push_back(Place(name + "." + std::to_string(i), width, height,
                               i == 0 ? note : std::string(), slices));
    }
    return frames;
}

void PieceSheet::NewRow()
{
    mRowY = mRowBottom + kGap * 3;
    mRowBottom = mRowY;
    mRowX = kGap;
}

void PieceSheet::AddArea(const std::string& name, PieceRect rect, const std::string& note)
{
    mAreas.push_back(Area{name, rect, note});
}

int PieceSheet::UsedHeight() const
{
    int bottom = 0;
    for (const Piece& piece : mPieces) {
        bottom = std::max(bottom, piece.rect.y + piece.rect.height);
    }
    return bottom + kGap;
}

std::string PieceSheet::Listing(const std::string& imageName, const std::string& heading) const
{
    std::ostringstream out;
    out << heading << "\n";
    out << "# " << imageName << ": " << mWidth << " x " << UsedHeight() << " pixels.\n";
    out << "# Rectangles are x y width height in pixels of " << imageName << ".\n\n";
    out << "## Areas of the keyboard body (where the skin places its controls)\n";
    for (const Area& area : mAreas) {
        out << "area  " << area.name << "  " << RectText(area.rect) << "  # " << area.note << "\n";
    }
    out << "\n## Pieces (slices: fixed left top right bottom edges for nine-slice use)\n";
    for (const Piece& piece : mPieces) {
        out << "piece " << piece.name << "  " << RectText(piece.rect);
        const Slices& s = piece.slices;
        if (s.left || s.top || s.right || s.bottom) {
            out << "  slices " << s.left << ' ' << s.top << ' ' << s.right << ' ' << s.bottom;
        }
        if (piece.resize != Resize::Stretch) {
            out << "  " << ResizeName(piece.resize);
        }
        if (!piece.note.empty()) {
            out << "  # " << piece.note;
        }
        out << "\n";
    }
    return out.str();
}

std::string PieceSheet::PartElements(const std::string& imageName, const std::string& prefix) const
{
    std::ostringstream out;
    auto element = [&](const std::string& name, const PieceRect& r, Resize resize) {
        out << "<Part Name=\"" << prefix << name << "\" Width=\"" << r.width << "\" Height=\""
            << r.height << "\" ResizeType=\"" << ResizeName(resize) << "\" ImageFile=\""
            << imageName << "\" ImageLocX=\"" << r.x << "\" ImageLocY=\"" << r.y << "\"/>\n";
    };
    for (const Piece& piece : mPieces) {
        element(piece.name, piece.rect, piece.resize);
        for (const Cell& cell : CellsOf(piece)) {
            element(piece.name + "." + cell.suffix, cell.rect, piece.resize);
        }
    }
    return out.str();
}

} // namespace pictures
