#include "Renderer/Gdi/GDITextDrawer.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>

namespace {

// Every test names its face: Liberation Sans is installed with the build's packages and has the
// metrics of the skin's "Arial", so the figures hold on every machine.
const SV::WideString kFamily(u"Liberation Sans");

TEST(GDITextDrawerTest, ReadsTheDesignMetricsFromTheFontTables)
{
    SV::GDITextDrawer drawer;
    for (const char16_t* family : {u"Liberation Sans", u"Arial", u"liberation sans"}) {
        for (int32_t style : {0, 1, 2, 3, 12}) {
            const SV::FontDesignMetrics& metrics = drawer.GetDesignMetrics(family, style);
            EXPECT_EQ(metrics.emHeight, 2048);
            EXPECT_EQ(metrics.cellAscent, 1854);
            EXPECT_EQ(metrics.cellDescent, 434);
            // The cell plus what the line gap adds beyond it: 1854 + 434 + 67.
            EXPECT_EQ(metrics.lineSpacing, 2355) << "style " << style;
        }
    }
}

TEST(GDITextDrawerTest, GivesAnUnknownFamilyTheMetricsOfAFaceThatExists)
{
    SV::GDITextDrawer drawer;
    const SV::FontDesignMetrics& metrics = drawer.GetDesignMetrics(u"No Such Family 7", 0);
    EXPECT_GT(metrics.emHeight, 0);
    EXPECT_GT(metrics.cellAscent, 0);
    EXPECT_GE(metrics.lineSpacing, metrics.cellAscent + metrics.cellDescent);
}

TEST(GDITextDrawerTest, MeasuresFromTheBoxEdgeWithASixthOfAnEmMarginAndNoKerning)
{
    SV::GDITextDrawer drawer;
    const double margin12 = 12.0 / 6.0;
    EXPECT_EQ(drawer.MeasureWidth(u"", kFamily, 12.0, 0), 0.0);

    const double a = drawer.MeasureWidth(u"A", kFamily, 12.0, 0) - margin12;
    const double v = drawer.MeasureWidth(u"V", kFamily, 12.0, 0) - margin12;
    const double av = drawer.MeasureWidth(u"AV", kFamily, 12.0, 0) - margin12;
    // "A" is 1366 design units wide in this face.
    EXPECT_NEAR(a, 1366.0 * 12.0 / 2048.0, 1e-3);
    EXPECT_NEAR(av, a + v, 1e-3);

    // Unhinted: twice the em, twice the width.
    const double word12 = drawer.MeasureWidth(u"Tempo 120", kFamily, 12.0, 0) - margin12;
    const double word24 = drawer.MeasureWidth(u"Tempo 120", kFamily, 24.0, 0) - 2 * margin12;
    EXPECT_NEAR(word24, 2 * word12, 1e-3);

    // Trailing spaces count; bold is wider.
    EXPECT_GT(drawer.MeasureWidth(u"Tempo  ", kFamily, 12.0, 0),
              drawer.MeasureWidth(u"Tempo", kFamily, 12.0, 0) + 5.0);
    EXPECT_GT(drawer.MeasureWidth(u"Tempo", kFamily, 12.0, 1),
              drawer.MeasureWidth(u"Tempo", kFamily, 12.0, 0));
}

TEST(GDITextDrawerTest, DrawsTheBaselineTheCellAscentBelowTheBoxTop)
{
    constexpr int kSize = 100;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kSize, kSize);
    cairo_t* cr = cairo_create(surface);
    SV::GDITextDrawer drawer;
    const SV::ColorT black{0.0f, 0.0f, 0.0f, 1.0f};
    drawer.Draw(cr, u"H", kFamily, 48.0, 0, 10.0, 20.0, black);
    cairo_surface_flush(surface);

    int left = kSize;
    int bottom = -1;
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const uint32_t pixel = reinterpret_cast<const uint32_t*>(data + y * stride)[x];
            if ((pixel >> 24) > 0x80) {
                left = std::min(left, x);
                bottom = std::max(bottom, y);
            }
        }
    }
    cairo_destroy(cr);
    cairo_surface_destroy(surface);

    // Baseline at 20 + 1854 / 2048 x 48 = 63.45; the stem of "H" starts 168 units after the
    // margin of 8 pixels, at 10 + 8 + 3.94.
    EXPECT_EQ(bottom, 62);
    EXPECT_EQ(left, 22);
}

} // namespace
