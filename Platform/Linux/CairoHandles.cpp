#include "CairoHandles.h"

#include <cairo.h>

namespace svp {

void CairoDeleter::operator()(cairo_t* cairo) const
{
    cairo_destroy(cairo);
}

void CairoDeleter::operator()(cairo_surface_t* surface) const
{
    cairo_surface_destroy(surface);
}

void CairoDeleter::operator()(cairo_path_t* path) const
{
    cairo_path_destroy(path);
}

void CairoDeleter::operator()(cairo_font_options_t* options) const
{
    cairo_font_options_destroy(options);
}

} // namespace svp
