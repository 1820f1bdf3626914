#include "GuideTypesetter.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <memory>
#include <utility>

namespace guide {

namespace {

constexpr double kMarginLeft = 72;
constexpr double kMarginRight = 72;
constexpr double kMarginTop = 72;
constexpr double kContentBottom = kPageHeight - 84;
constexpr double kTextWidth = kPageWidth - kMarginLeft - kMarginRight;

struct Colour
{
    double r, g, b;
};
constexpr Colour kInk{0.114, 0.122, 0.137};
constexpr Colour kSoft{0.40, 0.42, 0.46};
constexpr Colour kAccent{1.0, 0.541, 0.122};
constexpr Colour kAccentDeep{0.78, 0.38, 0.04};

struct Style
{
    const char* family;
    double size;
    PangoWeight weight;
    Colour colour;
    double spaceBefore;
    double spaceAfter;
    double indent; // text's left edge from the margin
};

Style StyleOf(BlockKind kind)
{
    switch (kind) {
    case BlockKind::Title:
        return {"Liberation Sans", 24, PANGO_WEIGHT_BOLD, kInk, 0, 4, 0};
    case BlockKind::Section:
        return {"Liberation Sans", 15, PANGO_WEIGHT_BOLD, kAccentDeep, 16, 6, 0};
    case BlockKind::Subsection:
        return {"Liberation Sans", 11.5, PANGO_WEIGHT_BOLD, kInk, 8, 3, 0};
    case BlockKind::Bullet:
        return {"Liberation Sans", 10.5, PANGO_WEIGHT_NORMAL, kInk, 0, 4, 16};
    case BlockKind::Step:
        return {"Liberation Sans", 10.5, PANGO_WEIGHT_NORMAL, kInk, 0, 4, 20};
    case BlockKind::Paragraph:
        break;
    }
    return {"Liberation Sans", 10.5, PANGO_WEIGHT_NORMAL, kInk, 0, 8, 0};
}

struct LayoutDeleter
{
    void operator()(PangoLayout* layout) const { g_object_unref(layout); }
};
using LayoutPtr = std::unique_ptr<PangoLayout, LayoutDeleter>;

// Metrics without hinting, so that the counting pass and the drawing pass, on different
// surfaces, break lines and pages at the same places.
void SetFontOptions(PangoLayout* layout)
{
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    pango_cairo_context_set_font_options(pango_layout_get_context(layout), options);
    cairo_font_options_destroy(options);
    pango_layout_context_changed(layout);
}

LayoutPtr MakeLayout(cairo_t* cr, const std::string& markup, const Style& style, double width,
                     PangoAlignment alignment = PANGO_ALIGN_LEFT)
{
    LayoutPtr layout(pango_cairo_create_layout(cr));
    SetFontOptions(layout.get());
    PangoFontDescription* font = pango_font_description_new();
    pango_font_description_set_family(font, style.family);
    pango_font_description_set_weight(font, style.weight);
    pango_font_description_set_absolute_size(font, style.size * PANGO_SCALE);
    pango_layout_set_font_description(layout.get(), font);
    pango_font_description_free(font);
    pango_layout_set_width(layout.get(), static_cast<int>(width * PANGO_SCALE));
    pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
    pango_layout_set_alignment(layout.get(), alignment);
    pango_layout_set_line_spacing(layout.get(), 1.25f);
    pango_layout_set_markup(layout.get(), markup.c_str(), static_cast<int>(markup.size()));
    return layout;
}

// The top and bottom of each line of a layout, in points from the layout's top.
std::vector<std::pair<double, double>> LineRanges(PangoLayout* layout)
{
    std::vector<std::pair<double, double>> ranges;
    PangoLayoutIter* iter = pango_layout_get_iter(layout);
    do {
        int top = 0;
        int bottom = 0;
        pango_layout_iter_get_line_yrange(iter, &top, &bottom);
        ranges.emplace_back(top / double(PANGO_SCALE), bottom / double(PANGO_SCALE));
    } while (pango_layout_iter_next_line(iter));
    pango_layout_iter_free(iter);
    return ranges;
}

void SetColour(cairo_t* cr, Colour c)
{
    cairo_set_source_rgb(cr, c.r, c.g, c.b);
}

// One pass over the blocks: pages are begun and ended through the callbacks; with total > 0 the
// footers say "Page n of total".
class PagePass
{
public:
    PagePass(const std::string& footer, int total, const std::function<cairo_t*(int)>& begin,
             const std::function<void(int)>& end)
        : mFooter(footer), mTotal(total), mBegin(begin), mEnd(end)
    {}

    int Run(const std::vector<Block>& blocks)
    {
        NewPage();
        for (size_t i = 0; i < blocks.size(); ++i) {
            Place(blocks[i], i + 1 < blocks.size() ? &blocks[i + 1] : nullptr);
        }
        EndPage();
        return mPage;
    }

private:
    void NewPage()
    {
        mCairo = mBegin(mPage);
        mY = kMarginTop;
        mAtTop = true;
    }

    void EndPage()
    {
        DrawFooter();
        mEnd(mPage);
        ++mPage;
    }

    void BreakPage()
    {
        EndPage();
        NewPage();
    }

    void DrawFooter()
    {
        const double y = kPageHeight - 52;
        cairo_rectangle(mCairo, kMarginLeft, y - 10, kTextWidth, 0.6);
        cairo_set_source_rgb(mCairo, 0.82, 0.83, 0.85);
        cairo_fill(mCairo);
        const Style footer{"Liberation Sans", 8.5, PANGO_WEIGHT_NORMAL, kSoft, 0, 0, 0};
        LayoutPtr left = MakeLayout(mCairo, mFooter, footer, kTextWidth);
        SetColour(mCairo, kSoft);
        cairo_move_to(mCairo, kMarginLeft, y);
        pango_cairo_show_layout(mCairo, left.get());
        if (mTotal > 0) {
            const std::string page =
                "Page " + std::to_string(mPage + 1) + " of " + std::to_string(mTotal);
            LayoutPtr right = MakeLayout(mCairo, page, footer, kTextWidth, PANGO_ALIGN_RIGHT);
            cairo_move_to(mCairo, kMarginLeft, y);
            pango_cairo_show_layout(mCairo, right.get());
        }
    }

    double HeightOf(const Block& block, int lines)
    {
        const Style style = StyleOf(block.kind);
        LayoutPtr layout = MakeLayout(mCairo, block.markup, style, kTextWidth - style.indent);
        const auto ranges = LineRanges(layout.get());
        const int count = std::min<int>(lines, static_cast<int>(ranges.size()));
        return count > 0 ? ranges[count - 1].second : 0;
    }

    void Place(const Block& block, const Block* next)
    {
        const Style style = StyleOf(block.kind);
        const bool listItem = block.kind == BlockKind::Bullet || block.kind == BlockKind::Step;
        if (!mAtTop) {
            mY += style.spaceBefore;
            // A list ends with a little air before the text that follows it.
            if (mAfterList && !listItem) {
                mY += 6;
            }
        }
        mAfterList = listItem;
        LayoutPtr layout = MakeLayout(mCairo, block.markup, style, kTextWidth - style.indent);
        const auto ranges = LineRanges(layout.get());
        double needed = ranges.back().second;
        // A heading stays with the first lines of what follows it.
        if ((block.kind == BlockKind::Section || block.kind == BlockKind::Subsection) && next) {
            needed += style.spaceAfter + StyleOf(next->kind).spaceBefore + HeightOf(*next, 3);
        }
        if (!mAtTop && mY + needed > kContentBottom) {
            BreakPage();
            layout = MakeLayout(mCairo, block.markup, style, kTextWidth - style.indent);
        }
        if (block.kind == BlockKind::Title) {
            cairo_rectangle(mCairo, kMarginLeft, mY, 44, 4);
            SetColour(mCairo, kAccent);
            cairo_fill(mCairo);
            mY += 14;
        }

        size_t first = 0;
        while (first < ranges.size()) {
            // As many lines as fit here; at least one on a fresh page.
            size_t last = first;
            const double top = ranges[first].first;
            while (last < ranges.size() && mY + (ranges[last].second - top) <= kContentBottom) {
                ++last;
            }
            if (last == first) {
                if (mAtTop) {
                    last = first + 1;
                } else {
                    BreakPage();
                    layout = MakeLayout(mCairo, block.markup, style, kTextWidth - style.indent);
                    continue;
                }
            }
            const double bottom = ranges[last - 1].second;
            cairo_save(mCairo);
            cairo_rectangle(mCairo, kMarginLeft + style.indent - 2, mY, kTextWidth + 4,
                            bottom - top);
            cairo_clip(mCairo);
            SetColour(mCairo, style.colour);
            cairo_move_to(mCairo, kMarginLeft + style.indent, mY - top);
            pango_cairo_show_layout(mCairo, layout.get());
            cairo_restore(mCairo);
            if (first == 0) {
                DrawMark(block, style, ranges[0].second - ranges[0].first);
            }
            mY += bottom - top;
            mAtTop = false;
            first = last;
        }
        mY += style.spaceAfter;
    }

    // The bullet or the step's number, on the item's first line.
    void DrawMark(const Block& block, const Style& style, double lineHeight)
    {
        if (block.kind != BlockKind::Bullet && block.kind != BlockKind::Step) {
            return;
        }
        const std::string mark =
            block.kind == BlockKind::Bullet ? "\u2022" : std::to_string(block.number) + ".";
        Style markStyle = style;
        if (block.kind == BlockKind::Step) {
            markStyle.weight = PANGO_WEIGHT_BOLD;
        }
        LayoutPtr layout = MakeLayout(mCairo, mark, markStyle, style.indent - 5, PANGO_ALIGN_RIGHT);
        const auto ranges = LineRanges(layout.get());
        SetColour(mCairo, block.kind == BlockKind::Bullet ? kAccentDeep : kInk);
        const double markHeight = ranges[0].second - ranges[0].first;
        cairo_move_to(mCairo, kMarginLeft, mY + (lineHeight - markHeight) / 2);
        pango_cairo_show_layout(mCairo, layout.get());
    }

    const std::string& mFooter;
    int mTotal;
    const std::function<cairo_t*(int)>& mBegin;
    const std::function<void(int)>& mEnd;
    cairo_t* mCairo = nullptr;
    int mPage = 0;
    double mY = 0;
    bool mAtTop = true;
    bool mAfterList = false;
};

} // namespace

GuideTypesetter::GuideTypesetter(std::string footerText) : mFooterText(std::move(footerText))
{}

int GuideTypesetter::Render(const std::vector<Block>& blocks,
                            const std::function<cairo_t*(int)>& begin,
                            const std::function<void(int)>& end)
{
    // First count the pages on a surface that keeps nothing, then draw them knowing the total.
    cairo_rectangle_t extents{0, 0, kPageWidth, kPageHeight};
    cairo_surface_t* scratch = cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &extents);
    cairo_t* scratchContext = cairo_create(scratch);
    const std::function<cairo_t*(int)> countBegin = [&](int) {
        cairo_new_path(scratchContext);
        return scratchContext;
    };
    const std::function<void(int)> countEnd = [](int) {};
    const int total = PagePass(mFooterText, 0, countBegin, countEnd).Run(blocks);
    cairo_destroy(scratchContext);
    cairo_surface_destroy(scratch);
    return PagePass(mFooterText, total, begin, end).Run(blocks) == total ? total : -1;
}

} // namespace guide
