#include "Renderer/Gdi/GDITextDrawer.h"

#include "CairoHandles.h"

#include <cairo.h>
#include <hb.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <memory>

namespace SV {
namespace {

// GDI+ lays a line out a sixth of an em inside its box, and its measured widths include that
// margin; skin layouts were made against those widths.
constexpr double kLeadingMarginInEms = 1.0 / 6.0;

struct BlobDeleter
{
    void operator()(hb_blob_t* blob) const { hb_blob_destroy(blob); }
};
using BlobPtr = std::unique_ptr<hb_blob_t, BlobDeleter>;

struct ShaperFontDeleter
{
    void operator()(hb_font_t* font) const { hb_font_destroy(font); }
};
using ShaperFontPtr = std::unique_ptr<hb_font_t, ShaperFontDeleter>;

struct FontDescriptionDeleter
{
    void operator()(PangoFontDescription* description) const
    {
        pango_font_description_free(description);
    }
};
using FontDescriptionPtr = std::unique_ptr<PangoFontDescription, FontDescriptionDeleter>;

struct ObjectDeleter
{
    void operator()(void* object) const { g_object_unref(object); }
};

// A font table as bytes; reads past its end answer nothing.
class FontTable
{
public:
    FontTable(hb_face_t* face, hb_tag_t tag) : mBlob(hb_face_reference_table(face, tag))
    {
        unsigned length = 0;
        mData = reinterpret_cast<const uint8_t*>(hb_blob_get_data(mBlob.get(), &length));
        mLength = mData != nullptr ? length : 0;
    }

    bool Has(unsigned offset, unsigned bytes) const { return offset + bytes <= mLength; }
    int32_t Unsigned16(unsigned offset) const { return mData[offset] << 8 | mData[offset + 1]; }
    int32_t Signed16(unsigned offset) const
    {
        return static_cast<int16_t>(static_cast<uint16_t>(Unsigned16(offset)));
    }

private:
    BlobPtr mBlob;
    const uint8_t* mData = nullptr;
    unsigned mLength = 0;
};

FontDescriptionPtr MakeDescription(const WideString& family, double emPixels, int32_t style)
{
    FontDescriptionPtr description(pango_font_description_new());
    pango_font_description_set_family(description.get(), family.ToNarrow().GetText());
    pango_font_description_set_weight(description.get(),
                                      (style & 1) != 0 ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(description.get(),
                                     (style & 2) != 0 ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    pango_font_description_set_absolute_size(description.get(), emPixels * PANGO_SCALE);
    return description;
}

FontDesignMetrics ReadDesignMetrics(hb_face_t* face)
{
    FontDesignMetrics metrics;
    const FontTable head(face, HB_TAG('h', 'e', 'a', 'd'));
    metrics.emHeight = head.Has(18, 2) ? head.Unsigned16(18) : 0;
    if (metrics.emHeight == 0) {
        metrics.emHeight = static_cast<int32_t>(hb_face_get_upem(face));
    }

    const FontTable hhea(face, HB_TAG('h', 'h', 'e', 'a'));
    const FontTable os2(face, HB_TAG('O', 'S', '/', '2'));
    int32_t ascender = 0;
    int32_t descender = 0;
    int32_t lineGap = 0;
    if (hhea.Has(4, 6)) {
        ascender = hhea.Signed16(4);
        descender = -hhea.Signed16(6);
        lineGap = hhea.Signed16(8);
    }
    if (os2.Has(74, 4)) {
        metrics.cellAscent = os2.Unsigned16(74);
        metrics.cellDescent = os2.Unsigned16(76);
    } else {
        metrics.cellAscent = ascender;
        metrics.cellDescent = descender;
    }
    if (metrics.cellAscent + metrics.cellDescent == 0) {
        // A face without the tables (a bitmap or Type 1 font): take the shaper's extents,
        // given in design units by a font at its natural scale.
        const ShaperFontPtr unscaled(hb_font_create(face));
        hb_font_extents_t extents{};
        hb_font_get_h_extents(unscaled.get(), &extents);
        metrics.cellAscent = extents.ascender;
        metrics.cellDescent = -extents.descender;
        ascender = metrics.cellAscent;
        descender = metrics.cellDescent;
        lineGap = extents.line_gap;
    }
    // The line gap counts as far as it reaches beyond the cell, as the system's text metrics
    // have it.
    const int32_t cell = metrics.cellAscent + metrics.cellDescent;
    metrics.lineSpacing = cell + std::max(0, lineGap - (cell - (ascender + descender)));
    return metrics;
}

} // namespace

GDITextDrawer::GDITextDrawer()
{
    mFontMap = pango_cairo_font_map_new();
    mContext = pango_font_map_create_context(mFontMap);
    // Grey antialiasing and unhinted metrics: a text measures the same at every position and on
    // every machine with the same fonts.
    const svp::CairoFontOptionsPtr options(cairo_font_options_create());
    cairo_font_options_set_antialias(options.get(), CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options.get(), CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options.get(), CAIRO_HINT_METRICS_OFF);
    pango_cairo_context_set_font_options(mContext, options.get());
    pango_cairo_context_set_resolution(mContext, 96.0);
    pango_context_set_round_glyph_positions(mContext, FALSE);
    mLayout = pango_layout_new(mContext);
}

GDITextDrawer::~GDITextDrawer()
{
    g_object_unref(mLayout);
    g_object_unref(mContext);
    g_object_unref(mFontMap);
}

const FontDesignMetrics& GDITextDrawer::GetDesignMetrics(const WideString& family, int32_t style)
{
    const int32_t faceStyle = style & 3;
    auto key = std::make_pair(std::u16string(family.GetText(), family.GetLength()), faceStyle);
    auto found = mMetrics.find(key);
    if (found != mMetrics.end()) {
        return found->second;
    }
    FontDesignMetrics metrics;
    const FontDescriptionPtr description = MakeDescription(family, 100.0, faceStyle);
    std::unique_ptr<PangoFont, ObjectDeleter> font(
        pango_font_map_load_font(mFontMap, mContext, description.get()));
    if (font) {
        hb_font_t* shaperFont = pango_font_get_hb_font(font.get());
        if (shaperFont != nullptr) {
            metrics = ReadDesignMetrics(hb_font_get_face(shaperFont));
        }
    }
    return mMetrics.emplace(std::move(key), metrics).first->second;
}

void GDITextDrawer::PrepareLayout(const WideString& text, const WideString& family, double emPixels,
                                  int32_t style)
{
    const FontDescriptionPtr description = MakeDescription(family, emPixels, style);
    pango_layout_set_font_description(mLayout, description.get());

    // GDI+ draws glyphs by their own advances, without kerning pairs.
    PangoAttrList* attributes = pango_attr_list_new();
    pango_attr_list_insert(attributes, pango_attr_font_features_new("kern 0"));
    if ((style & 4) != 0) {
        pango_attr_list_insert(attributes, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
    }
    if ((style & 8) != 0) {
        pango_attr_list_insert(attributes, pango_attr_strikethrough_new(TRUE));
    }
    pango_layout_set_attributes(mLayout, attributes);
    pango_attr_list_unref(attributes);

    const NarrowString utf8 = text.ToNarrow();
    pango_layout_set_text(mLayout, utf8.GetText(), utf8.GetLength());
}

double GDITextDrawer::MeasureWidth(const WideString& text, const WideString& family,
                                   double emPixels, int32_t style)
{
    if (text.IsEmpty()) {
        return 0.0;
    }
    PrepareLayout(text, family, emPixels, style);
    PangoRectangle logical{};
    pango_layout_get_extents(mLayout, nullptr, &logical);
    return emPixels * kLeadingMarginInEms +
           static_cast<double>(logical.x + logical.width) / PANGO_SCALE;
}

void GDITextDrawer::Draw(cairo_t* cr, const WideString& text, const WideString& family,
                         double emPixels, int32_t style, double x, double y, const ColorT& colour)
{
    if (text.IsEmpty()) {
        return;
    }
    const FontDesignMetrics& metrics = GetDesignMetrics(family, style);
    PrepareLayout(text, family, emPixels, style);
    // The first line's baseline lies the cell ascent below the box's top.
    const double ascent =
        metrics.emHeight > 0 ? emPixels * metrics.cellAscent / metrics.emHeight : emPixels;
    const double layoutBaseline =
        static_cast<double>(pango_layout_get_baseline(mLayout)) / PANGO_SCALE;
    cairo_save(cr);
    // Underlines and strike-outs are thin rectangles: smoothed like the glyphs, so that shapes
    // drawn without smoothing do not lose them.
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_GRAY);
    cairo_set_source_rgba(cr, colour.red, colour.green, colour.blue, colour.alpha);
    cairo_move_to(cr, x + emPixels * kLeadingMarginInEms, y + ascent - layoutBaseline);
    pango_cairo_show_layout(cr, mLayout);
    cairo_new_path(cr);
    cairo_restore(cr);
}

} // namespace SV
