#include "Painting.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace pictures {

Rgba Mix(Rgba a, Rgba b, double t)
{
    return Rgba{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
                a.a + (b.a - a.a) * t};
}

Rgba WithAlpha(Rgba c, double alpha)
{
    c.a = alpha;
    return c;
}

Picture::Picture(int w, int h)
    : surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h)),
      cairo(cairo_create(surface.get())), width(w), height(h)
{
    if (cairo_status(cairo.get()) != CAIRO_STATUS_SUCCESS) {
        throw std::runtime_error("cannot make a picture of " + std::to_string(w) + " x " +
                                 std::to_string(h));
    }
}

void WritePng(const Picture& picture, const std::string& path)
{
    cairo_surface_flush(picture.surface.get());
    if (cairo_surface_write_to_png(picture.surface.get(), path.c_str()) != CAIRO_STATUS_SUCCESS) {
        throw std::runtime_error("cannot write " + path);
    }
}

void SetColor(cairo_t* cr, Rgba c)
{
    cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a);
}

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius)
{
    const double r = std::max(0.0, std::min({radius, w / 2, h / 2}));
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
    cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
    cairo_arc(cr, x + r, y + r, r, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
}

void FillVertical(cairo_t* cr, double y, double h, Rgba top, Rgba bottom)
{
    cairo_pattern_t* gradient = cairo_pattern_create_linear(0, y, 0, y + h);
    cairo_pattern_add_color_stop_rgba(gradient, 0, top.r, top.g, top.b, top.a);
    cairo_pattern_add_color_stop_rgba(gradient, 1, bottom.r, bottom.g, bottom.b, bottom.a);
    cairo_set_source(cr, gradient);
    cairo_fill(cr);
    cairo_pattern_destroy(gradient);
}

void SoftShadow(cairo_t* cr, double x, double y, double w, double h, double radius, double spread,
                Rgba colour)
{
    // Each ring adds a little darkness; the rings nearest the shape overlap most, which gives the
    // fall-off of a blur without a blur filter.
    const int steps = std::max(1, static_cast<int>(spread));
    for (int i = steps; i >= 1; --i) {
        const double grow = spread * i / steps;
        RoundedRect(cr, x - grow, y - grow, w + 2 * grow, h + 2 * grow, radius + grow);
        SetColor(cr, WithAlpha(colour, colour.a / steps));
        cairo_fill(cr);
    }
}

void HorizontalHairline(cairo_t* cr, double x0, double x1, double y, Rgba c)
{
    SetColor(cr, c);
    cairo_rectangle(cr, x0, std::floor(y), x1 - x0, 1);
    cairo_fill(cr);
}

namespace {

struct LayoutDeleter
{
    void operator()(PangoLayout* layout) const { g_object_unref(layout); }
};
using LayoutPtr = std::unique_ptr<PangoLayout, LayoutDeleter>;

LayoutPtr MakeLayout(cairo_t* cr, const std::string& text, const TextStyle& style)
{
    LayoutPtr layout(pango_cairo_create_layout(cr));
    // Outlines without hinting: the pictures come out the same at every scale and on every
    // machine with the same fonts.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    pango_cairo_context_set_font_options(pango_layout_get_context(layout.get()), options);
    cairo_font_options_destroy(options);
    pango_layout_context_changed(layout.get());

    PangoFontDescription* font = pango_font_description_new();
    pango_font_description_set_family(font, style.family.c_str());
    pango_font_description_set_weight(font, static_cast<PangoWeight>(style.weight));
    pango_font_description_set_absolute_size(font, style.size * PANGO_SCALE);
    pango_layout_set_font_description(layout.get(), font);
    pango_font_description_free(font);

    if (style.spacing != 0) {
        PangoAttrList* attributes = pango_attr_list_new();
        pango_attr_list_insert(attributes, pango_attr_letter_spacing_new(
                                               static_cast<int>(style.spacing * PANGO_SCALE)));
        pango_layout_set_attributes(layout.get(), attributes);
        pango_attr_list_unref(attributes);
    }
    pango_layout_set_text(layout.get(), text.c_str(), static_cast<int>(text.size()));
    return layout;
}

} // namespace

double MeasureText(cairo_t* cr, const std::string& text, const TextStyle& style)
{
    LayoutPtr layout = MakeLayout(cr, text, style);
    PangoRectangle ink;
    pango_layout_get_pixel_extents(layout.get(), &ink, nullptr);
    // The visible width, from the layout's origin to the right edge of the ink: letter spacing
    // and the last letter's side bearing would otherwise push centred text off its middle.
    return ink.x + ink.width;
}

double DrawText(cairo_t* cr, const std::string& text, const TextStyle& style, double x, double y,
                Align align, Rgba colour)
{
    SavedState saved(cr);
    LayoutPtr layout = MakeLayout(cr, text, style);
    PangoRectangle ink;
    pango_layout_get_pixel_extents(layout.get(), &ink, nullptr);
    const double width = ink.x + ink.width;
    double left = x;
    if (align == Align::Centre) {
        left = x - width / 2;
    } else if (align == Align::Right) {
        left = x - width;
    }
    // Centre the capitals and small letters on y: the box from the baseline up by the font's
    // cap height sits a little above the logical middle.
    const double baseline = pango_layout_get_baseline(layout.get()) / double(PANGO_SCALE);
    const double capHeight = style.size * 0.72;
    SetColor(cr, colour);
    cairo_move_to(cr, left, y + capHeight / 2 - baseline);
    pango_cairo_show_layout(cr, layout.get());
    return width;
}

} // namespace pictures
