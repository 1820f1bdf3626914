// Owning handles for the Cairo objects the drawing code creates: each is destroyed with its own
// Cairo function when the handle goes, on every path out of a scope. The Cairo types are only
// named here, so that a header holding a handle does not bring Cairo's headers to its users.
#pragma once

#include <memory>

using cairo_t = struct _cairo;
using cairo_surface_t = struct _cairo_surface;
using cairo_path_t = struct cairo_path;
using cairo_font_options_t = struct _cairo_font_options;

namespace svp {

struct CairoDeleter
{
    void operator()(cairo_t* cairo) const;
    void operator()(cairo_surface_t* surface) const;
    void operator()(cairo_path_t* path) const;
    void operator()(cairo_font_options_t* options) const;
};

using CairoPtr = std::unique_ptr<cairo_t, CairoDeleter>;
using CairoSurfacePtr = std::unique_ptr<cairo_surface_t, CairoDeleter>;
using CairoPathPtr = std::unique_ptr<cairo_path_t, CairoDeleter>;
using CairoFontOptionsPtr = std::unique_ptr<cairo_font_options_t, CairoDeleter>;

} // namespace svp
