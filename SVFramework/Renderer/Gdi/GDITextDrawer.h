// Text of the software back end: faces found through fontconfig, laid out and drawn with Pango,
// measured from the font's own design units. One line of text sits in a layout box as GDI+ places
// it: the box's top is the top of the line's cell, and the first glyph starts a sixth of an em
// inside the box.
#pragma once

#include "Utilities/Graphics/Color.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>
#include <map>
#include <string>
#include <utility>

using cairo_t = struct _cairo;
using PangoContext = struct _PangoContext;
using PangoFontMap = struct _PangoFontMap;
using PangoLayout = struct _PangoLayout;

namespace SV {

// What the font's tables say, in design units: the em square (head), the cell above and below
// the baseline (OS/2 Windows ascent and descent) and the distance from one line to the next.
struct FontDesignMetrics
{
    int32_t emHeight = 0;
    int32_t cellAscent = 0;
    int32_t cellDescent = 0;
    int32_t lineSpacing = 0;
};

class GDITextDrawer
{
public:
    GDITextDrawer();
    GDITextDrawer(const GDITextDrawer&) = delete;
    GDITextDrawer& operator=(const GDITextDrawer&) = delete;
    ~GDITextDrawer();

    // The metrics of the face fontconfig picks for the family and style bits (1 bold, 2 italic;
    // 4 underline and 8 strike-out do not change the face). Read once per family and style.
    const FontDesignMetrics& GetDesignMetrics(const WideString& family, int32_t style);

    // From the layout box's left edge to the end of the text's advance, trailing spaces
    // included, in pixels, for an em of `emPixels`. 0 for empty text.
    double MeasureWidth(const WideString& text, const WideString& family, double emPixels,
                        int32_t style);

    // Draws the text with its layout box's top-left corner at (x, y) in the user space of `cr`.
    void Draw(cairo_t* cr, const WideString& text, const WideString& family, double emPixels,
              int32_t style, double x, double y, const ColorT& colour);

private:
    void PrepareLayout(const WideString& text, const WideString& family, double emPixels,
                       int32_t style);

    PangoFontMap* mFontMap = nullptr;
    PangoContext* mContext = nullptr;
    PangoLayout* mLayout = nullptr;
    std::map<std::pair<std::u16string, int32_t>, FontDesignMetrics> mMetrics;
};

} // namespace SV
