#include "PictureComparison.h"

#include <cstdint>
#include <cstdlib>
#include <sstream>

namespace pictures {

namespace {

// A pixel differs when one of its channels is off by more than this, and the pictures differ
// when more than the given share of pixels does.
constexpr int kChannelTolerance = 24;
constexpr double kDifferentShare = 0.00005;

} // namespace

std::string CompareWithPng(const Picture& picture, const std::string& path)
{
    SurfacePtr stored(cairo_image_surface_create_from_png(path.c_str()));
    if (cairo_surface_status(stored.get()) != CAIRO_STATUS_SUCCESS) {
        return "cannot read " + path;
    }
    const int width = cairo_image_surface_get_width(stored.get());
    const int height = cairo_image_surface_get_height(stored.get());
    if (width != picture.width || height != picture.height) {
        std::ostringstream out;
        out << path << " is " << width << " x " << height << ", the tool draws " << picture.width
            << " x " << picture.height;
        return out.str();
    }
    // Both are compared as 32-bit premultiplied ARGB.
    SurfacePtr converted(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    ContextPtr cr(cairo_create(converted.get()));
    cairo_set_source_surface(cr.get(), stored.get(), 0, 0);
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr.get());
    cairo_surface_flush(converted.get());
    cairo_surface_flush(picture.surface.get());

    const int strideA = cairo_image_surface_get_stride(converted.get());
    const int strideB = cairo_image_surface_get_stride(picture.surface.get());
    const unsigned char* a = cairo_image_surface_get_data(converted.get());
    const unsigned char* b = cairo_image_surface_get_data(picture.surface.get());
    long different = 0;
    for (int y = 0; y < height; ++y) {
        const unsigned char* rowA = a + y * strideA;
        const unsigned char* rowB = b + y * strideB;
        for (int x = 0; x < width * 4; x += 4) {
            for (int c = 0; c < 4; ++c) {
                if (std::abs(int(rowA[x + c]) - int(rowB[x + c])) > kChannelTolerance) {
                    ++different;
                    break;
                }
            }
        }
    }
    if (different > kDifferentShare * width * height) {
        std::ostringstream out;
        out << path << " differs from the drawing in " << different << " of "
            << long(width) * height << " pixels";
        return out.str();
    }
    return {};
}

} // namespace pictures
