// Cairo and Pango wrappers and the few shapes every picture of the editor is made of: rounded
// rectangles, vertical gradients, soft shadows and one line of text. All lengths are pixels.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <numbers>
#include <string>

namespace pictures {

constexpr double kPi = std::numbers::pi;

struct Rgba
{
    double r = 0;
    double g = 0;
    double b = 0;
    double a = 1;
};

// 0xRRGGBB with an alpha of its own.
constexpr Rgba Hex(uint32_t rgb, double alpha = 1.0)
{
    return Rgba{((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0,
                alpha};
}

Rgba Mix(Rgba a, Rgba b, double t);
Rgba WithAlpha(Rgba c, double alpha);

struct SurfaceDeleter
{
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter
{
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using ContextPtr = std::unique_ptr<cairo_t, ContextDeleter>;

// A transparent ARGB picture of the given size and a context drawing on it.
struct Picture
{
    Picture(int width, int height);
    SurfacePtr surface;
    ContextPtr cairo;
    int width;
    int height;
};

// Writes the picture as PNG; throws std::runtime_error naming the path on failure.
void WritePng(const Picture& picture, const std::string& path);

// Saves and restores the cairo state around a scope.
class SavedState
{
public:
    explicit SavedState(cairo_t* cr) : mCairo(cr) { cairo_save(cr); }
    ~SavedState() { cairo_restore(mCairo); }
    SavedState(const SavedState&) = delete;
    SavedState& operator=(const SavedState&) = delete;

private:
    cairo_t* mCairo;
};

void SetColor(cairo_t* cr, Rgba c);
void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius);
// Fills the current path with a gradient from top to bottom of the band y .. y + h; keeps nothing.
void FillVertical(cairo_t* cr, double y, double h, Rgba top, Rgba bottom);
// A blurred shadow of a rounded rectangle, built from stacked translucent outlines.
void SoftShadow(cairo_t* cr, double x, double y, double w, double h, double radius, double spread,
                Rgba colour);
// A one-pixel line on the pixel grid from (x0, y) to (x1, y).
void HorizontalHairline(cairo_t* cr, double x0, double x1, double y, Rgba c);

enum class Align
{
    Left,
    Centre,
    Right
};

struct TextStyle
{
    std::string family = "Liberation Sans";
    double size = 10;   // pixels
    int weight = 400;   // 400 normal, 700 bold
    double spacing = 0; // extra space between letters, pixels
};

// Draws one line of text with its box's vertical middle at y; x is its left edge, middle or right
// edge by the alignment. Answers the width drawn.
double DrawText(cairo_t* cr, const std::string& text, const TextStyle& style, double x, double y,
                Align align, Rgba colour);
double MeasureText(cairo_t* cr, const std::string& text, const TextStyle& style);

} // namespace pictures
