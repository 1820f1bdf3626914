// render-guide: typesets the user guide's text source into the PDF that the Help menu opens.
//
//   render-guide <source.md> <output.pdf> [--png <folder>]
//
// The PDF's title and every page's footer are the output's file name without ".pdf". With --png
// each page is also drawn as page-N.png into the folder, to look at without a PDF viewer.
#include "GuideSource.h"
#include "GuideTypesetter.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace {

bool RenderPdf(const std::vector<guide::Block>& blocks, const std::string& title,
               const std::filesystem::path& output)
{
    cairo_surface_t* surface =
        cairo_pdf_surface_create(output.c_str(), guide::kPageWidth, guide::kPageHeight);
    cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_TITLE, title.c_str());
    cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_AUTHOR, "Vudozi");
    cairo_t* cr = cairo_create(surface);
    guide::GuideTypesetter typesetter(title);
    const int pages = typesetter.Render(
        blocks, [&](int) { return cr; }, [&](int) { cairo_show_page(cr); });
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    const bool written = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS && pages > 0;
    cairo_surface_destroy(surface);
    return written;
}

bool RenderPngs(const std::vector<guide::Block>& blocks, const std::string& title,
                const std::filesystem::path& folder)
{
    std::filesystem::create_directories(folder);
    const double scale = 1.5;
    cairo_surface_t* surface = nullptr;
    cairo_t* cr = nullptr;
    bool written = true;
    guide::GuideTypesetter typesetter(title);
    typesetter.Render(
        blocks,
        [&](int) {
            surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24,
                                                 static_cast<int>(guide::kPageWidth * scale),
                                                 static_cast<int>(guide::kPageHeight * scale));
            cr = cairo_create(surface);
            cairo_set_source_rgb(cr, 1, 1, 1);
            cairo_paint(cr);
            cairo_scale(cr, scale, scale);
            return cr;
        },
        [&](int page) {
            const std::string path =
                (folder / ("page-" + std::to_string(page + 1) + ".png")).string();
            written = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS &&
                      written;
            cairo_destroy(cr);
            cairo_surface_destroy(surface);
        });
    return written;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3 && !(argc == 5 && std::string(argv[3]) == "--png")) {
        std::cerr << "usage: render-guide <source.md> <output.pdf> [--png <folder>]\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << "render-guide: cannot read " << argv[1] << "\n";
        return 1;
    }
    std::ostringstream source;
    source << in.rdbuf();
    const std::vector<guide::Block> blocks = guide::ParseGuide(source.str());
    const std::filesystem::path output = argv[2];
    const std::string title = output.stem().string();

    if (!RenderPdf(blocks, title, output)) {
        std::cerr << "render-guide: cannot write " << output.string() << "\n";
        return 1;
    }
    if (argc == 5 && !RenderPngs(blocks, title, argv[4])) {
        std::cerr << "render-guide: cannot write the page pictures into " << argv[4] << "\n";
        return 1;
    }
    return 0;
}
