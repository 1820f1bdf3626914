#include "MessageBoxWindow.h"

#include "EventLoop.h"
#include "MessageBoxStyles.h"
#include "VirtualKeys.h"
#include "WindowSystem.h"
#include "X11NativeWindow.h"

#include <cairo-xlib.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace svp {
namespace {

constexpr double kFontSize = 13;
constexpr int32_t kMargin = 18;
constexpr int32_t kIconSize = 32;
constexpr int32_t kIconGap = 14;
constexpr double kMaxTextWidth = 420;
constexpr int32_t kButtonWidth = 88;
constexpr int32_t kButtonHeight = 26;
constexpr int32_t kButtonGap = 8;
constexpr int32_t kButtonBarHeight = kButtonHeight + 2 * 12;
// The window manager writes the caption in its title bar, in a font of its own, beside the
// frame's icon and close button: the box is made wide enough for it in a bold font a little
// larger than the box's own, with room for the frame's buttons.
constexpr double kTitleFontSize = 15;
constexpr int32_t kTitleBarRoom = 110;

const char* ButtonLabel(int32_t answer)
{
    switch (answer) {
    case IDOK:
        return "OK";
    case IDCANCEL:
        return "Cancel";
    case IDABORT:
        return "Abort";
    case IDRETRY:
        return "Retry";
    case IDIGNORE:
        return "Ignore";
    case IDYES:
        return "Yes";
    case IDNO:
        return "No";
    default:
        return "";
    }
}

struct CairoDeleter
{
    void operator()(cairo_t* cairo) const { cairo_destroy(cairo); }
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
using CairoPtr = std::unique_ptr<cairo_t, CairoDeleter>;
using SurfacePtr = std::unique_ptr<cairo_surface_t, CairoDeleter>;

void SetFont(cairo_t* cairo)
{
    cairo_select_font_face(cairo, "Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cairo, kFontSize);
}

class MessageBoxView
{
public:
    MessageBoxView(const std::string& text, const std::string& caption, uint32_t style)
        : mStyle(style), mButtons(MessageBoxButtons(style)), mFocus(MessageBoxDefaultIndex(style))
    {
        // Text is measured on a scratch surface before the window exists, to size it.
        SurfacePtr scratch(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1));
        CairoPtr cairo(cairo_create(scratch.get()));
        SetFont(cairo.get());
        mLines = WrapText(text, kMaxTextWidth, [&](const std::string& line) {
            cairo_text_extents_t extents;
            cairo_text_extents(cairo.get(), line.c_str(), &extents);
            return extents.x_advance;
        });
        cairo_font_extents_t font;
        cairo_font_extents(cairo.get(), &font);
        mLineHeight = std::ceil(font.height);
        mAscent = std::ceil(font.ascent);
        double widest = 0;
        for (const std::string& line : mLines) {
            cairo_text_extents_t extents;
            cairo_text_extents(cairo.get(), line.c_str(), &extents);
            widest = std::max(widest, extents.x_advance);
        }
        const int32_t iconSpace = HasIcon() ? kIconSize + kIconGap : 0;
        const int32_t textHeight =
            static_cast<int32_t>(mLines.size()) * static_cast<int32_t>(mLineHeight);
        const int32_t buttonsWidth = static_cast<int32_t>(mButtons.size()) * kButtonWidth +
                                     static_cast<int32_t>(mButtons.size() - 1) * kButtonGap;
        mWidth = std::max(2 * kMargin + iconSpace + static_cast<int32_t>(std::ceil(widest)),
                          2 * kMargin + buttonsWidth);
        mWidth = std::max(mWidth, 240);
        cairo_select_font_face(cairo.get(), "Sans", CAIRO_FONT_SLANT_NORMAL,
                               CAIRO_FONT_WEIGHT_BOLD);
        cairo_set_font_size(cairo.get(), kTitleFontSize);
        cairo_text_extents_t title;
        cairo_text_extents(cairo.get(), caption.c_str(), &title);
        mWidth = std::max(mWidth, static_cast<int32_t>(std::ceil(title.x_advance)) + kTitleBarRoom);
        mBodyHeight = 2 * kMargin + std::max(HasIcon() ? kIconSize : 0, textHeight);
        mHeight = mBodyHeight + kButtonBarHeight;
    }

    int32_t Width() const { return mWidth; }
    int32_t Height() const { return mHeight; }
    int32_t Focus() const { return mFocus; }
    int32_t Count() const { return static_cast<int32_t>(mButtons.size()); }
    int32_t Answer(int32_t index) const { return mButtons[static_cast<size_t>(index)]; }
    void MoveFocus(int32_t step) { mFocus = (mFocus + step + Count()) % Count(); }

    // The button under a client point, or -1.
    int32_t HitButton(int32_t x, int32_t y) const
    {
        for (int32_t i = 0; i < Count(); ++i) {
            const auto [left, top] = ButtonOrigin(i);
            if (x >= left && x < left + kButtonWidth && y >= top && y < top + kButtonHeight) {
                return i;
            }
        }
        return -1;
    }

    void Paint(HWND window) const
    {
        Display* display = window->display;
        XWindowAttributes attributes{};
        // Another program may have destroyed the box already: there is nothing to draw on.
        if (XGetWindowAttributes(display, window->window, &attributes) == 0) {
            return;
        }
        SurfacePtr surface(
            cairo_xlib_surface_create(display, window->window, attributes.visual, mWidth, mHeight));
        CairoPtr owned(cairo_create(surface.get()));
        cairo_t* cairo = owned.get();
        SetFont(cairo);

        cairo_set_source_rgb(cairo, 1, 1, 1);
        cairo_paint(cairo);
        cairo_set_source_rgb(cairo, 0.94, 0.94, 0.94);
        cairo_rectangle(cairo, 0, mBodyHeight, mWidth, kButtonBarHeight);
        cairo_fill(cairo);

        const int32_t textLeft = kMargin + (HasIcon() ? kIconSize + kIconGap : 0);
        if (HasIcon()) {
            PaintIcon(cairo, kMargin, kMargin);
        }
        const int32_t textHeight = static_cast<int32_t>(mLines.size() * mLineHeight);
        double y = kMargin + std::max(0, ((HasIcon() ? kIconSize : 0) - textHeight) / 2) + mAscent;
        cairo_set_source_rgb(cairo, 0, 0, 0);
        for (const std::string& line : mLines) {
            cairo_move_to(cairo, textLeft, y);
            cairo_show_text(cairo, line.c_str());
            y += mLineHeight;
        }

        for (int32_t i = 0; i < Count(); ++i) {
            const auto [left, top] = ButtonOrigin(i);
            cairo_set_source_rgb(cairo, 0.99, 0.99, 0.99);
            cairo_rectangle(cairo, left, top, kButtonWidth, kButtonHeight);
            cairo_fill(cairo);
            const bool focused = i == mFocus;
            if (focused) {
                cairo_set_source_rgb(cairo, 0.0, 0.47, 0.84);
                cairo_set_line_width(cairo, 2);
                cairo_rectangle(cairo, left + 1, top + 1, kButtonWidth - 2, kButtonHeight - 2);
            } else {
                cairo_set_source_rgb(cairo, 0.68, 0.68, 0.68);
                cairo_set_line_width(cairo, 1);
                cairo_rectangle(cairo, left + 0.5, top + 0.5, kButtonWidth - 1, kButtonHeight - 1);
            }
            cairo_stroke(cairo);
            const char* label = ButtonLabel(Answer(i));
            cairo_text_extents_t extents;
            cairo_text_extents(cairo, label, &extents);
            cairo_set_source_rgb(cairo, 0, 0, 0);
            cairo_move_to(cairo, left + (kButtonWidth - extents.x_advance) / 2,
                          top + (kButtonHeight + mAscent) / 2 - 1);
            cairo_show_text(cairo, label);
        }
        cairo_surface_flush(surface.get());
        XFlush(display);
    }

private:
    bool HasIcon() const { return (mStyle & MB_ICONMASK) != 0; }

    std::pair<int32_t, int32_t> ButtonOrigin(int32_t index) const
    {
        const int32_t count = Count();
        const int32_t right = mWidth - kMargin;
        const int32_t left = right - count * kButtonWidth - (count - 1) * kButtonGap +
                             index * (kButtonWidth + kButtonGap);
        return {left, mBodyHeight + (kButtonBarHeight - kButtonHeight) / 2};
    }

    void PaintIcon(cairo_t* cairo, double x, double y) const
    {
        const uint32_t icon = mStyle & MB_ICONMASK;
        const double centreX = x + kIconSize / 2.0;
        const double centreY = y + kIconSize / 2.0;
        const char* glyph = "i";
        if (icon == MB_ICONEXCLAMATION) {
            cairo_set_source_rgb(cairo, 0.98, 0.75, 0.1);
            cairo_move_to(cairo, centreX, y + 1);
            cairo_line_to(cairo, x + kIconSize, y + kIconSize - 2);
            cairo_line_to(cairo, x, y + kIconSize - 2);
            cairo_close_path(cairo);
            cairo_fill(cairo);
            glyph = "!";
            cairo_set_source_rgb(cairo, 0, 0, 0);
        } else {
            if (icon == MB_ICONHAND) {
                cairo_set_source_rgb(cairo, 0.85, 0.16, 0.16);
                glyph = "\xC3\x97"; // multiplication sign
            } else {
                cairo_set_source_rgb(cairo, 0.1, 0.42, 0.8);
                glyph = icon == MB_ICONQUESTION ? "?" : "i";
            }
            cairo_arc(cairo, centreX, centreY, kIconSize / 2.0, 0, 2 * M_PI);
            cairo_fill(cairo);
            cairo_set_source_rgb(cairo, 1, 1, 1);
        }
        cairo_save(cairo);
        cairo_select_font_face(cairo, "Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
        cairo_set_font_size(cairo, 20);
        cairo_text_extents_t extents;
        cairo_text_extents(cairo, glyph, &extents);
        cairo_move_to(cairo, centreX - extents.x_bearing - extents.width / 2,
                      centreY + (icon == MB_ICONEXCLAMATION ? 4 : 0) - extents.y_bearing -
                          extents.height / 2);
        cairo_show_text(cairo, glyph);
        cairo_restore(cairo);
    }

    uint32_t mStyle;
    std::vector<int32_t> mButtons;
    int32_t mFocus;
    std::vector<std::string> mLines;
    double mLineHeight = 16;
    double mAscent = 12;
    int32_t mWidth = 0;
    int32_t mHeight = 0;
    int32_t mBodyHeight = 0;
};

} // namespace

std::vector<int32_t> MessageBoxButtons(uint32_t style)
{
    switch (style & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE:
        return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL:
        return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
        return {IDYES, IDNO};
    case MB_RETRYCANCEL:
        return {IDRETRY, IDCANCEL};
    default:
        return {IDOK};
    }
}

int32_t MessageBoxDefaultIndex(uint32_t style)
{
    const auto count = static_cast<int32_t>(MessageBoxButtons(style).size());
    const auto wanted = static_cast<int32_t>((style & MB_DEFMASK) >> 8);
    return wanted < count ? wanted : 0;
}

int32_t MessageBoxEscapeAnswer(uint32_t style)
{
    const std::vector<int32_t> buttons = MessageBoxButtons(style);
    if (std::find(buttons.begin(), buttons.end(), IDCANCEL) != buttons.end()) {
        return IDCANCEL;
    }
    return buttons.size() == 1 ? buttons[0] : 0;
}

std::vector<std::string> WrapText(const std::string& text, double maxWidth,
                                  const std::function<double(const std::string&)>& measure)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string paragraph = text.substr(start, end - start);
        if (!paragraph.empty() && paragraph.back() == '\r') {
            paragraph.pop_back();
        }
        std::string line;
        size_t at = 0;
        while (at < paragraph.size()) {
            const size_t space = paragraph.find(' ', at);
            const std::string word =
                paragraph.substr(at, space == std::string::npos ? std::string::npos : space - at);
            const std::string candidate = line.empty() ? word : line + " " + word;
            if (measure(candidate) <= maxWidth) {
                line = candidate;
            } else {
                if (!line.empty()) {
                    lines.push_back(line);
                }
                line.clear();
                // A word wider than a line is cut at the last character that fits (never
                // inside a UTF-8 sequence), at least one character a line.
                std::string rest = word;
                while (!rest.empty() && measure(rest) > maxWidth) {
                    size_t cut = 0;
                    size_t next = 0;
                    while (next < rest.size()) {
                        size_t after = next + 1;
                        while (after < rest.size() &&
                               (static_cast<uint8_t>(rest[after]) & 0xC0) == 0x80) {
                            ++after;
                        }
                        if (cut > 0 && measure(rest.substr(0, after)) > maxWidth) {
                            break;
                        }
                        cut = after;
                        next = after;
                    }
                    lines.push_back(rest.substr(0, cut));
                    rest = rest.substr(cut);
                }
                line = rest;
            }
            if (space == std::string::npos) {
                break;
            }
            at = space + 1;
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

int32_t RunMessageBox(WindowSystem& windows, EventLoop& loop, HWND owner, const std::string& text,
                      const std::string& caption, uint32_t style,
                      const std::function<bool(int32_t)>& onIdle)
{
    MessageBoxView view(text, caption, style);
    WindowCreateParams params;
    params.title = caption;
    params.className = "MessageBox";
    params.width = view.Width();
    params.height = view.Height();
    params.minWidth = params.maxWidth = view.Width();
    params.minHeight = params.maxHeight = view.Height();
    params.owner = owner;
    params.dialog = true;
    // Centred on the owner, else on the screen.
    ClientRect area{0, 0, 0, 0};
    if (owner != nullptr) {
        area = windows.GetClientRect(owner);
    } else {
        Display* display = XOpenDisplay(nullptr);
        if (display != nullptr) {
            area = {0, 0, DisplayWidth(display, DefaultScreen(display)),
                    DisplayHeight(display, DefaultScreen(display))};
            XCloseDisplay(display);
        }
    }
    params.x = area.x + std::max(0, (area.width - view.Width()) / 2);
    params.y = area.y + std::max(0, (area.height - view.Height()) / 2);

    const bool ownerWasEnabled = owner != nullptr && windows.IsEnabled(owner);
    if (ownerWasEnabled) {
        windows.Enable(owner, false);
    }
    int32_t answer = 0;
    int32_t pressed = -1;
    HWND box = windows.CreateWindow(params, [&](HWND window, const WindowMessage& message) {
        switch (message.message) {
        case WM_PAINT:
            view.Paint(window);
            break;
        case WM_KEYDOWN:
            if (message.key.code == VK_RETURN || message.key.code == VK_SPACE) {
                answer = view.Answer(view.Focus());
            } else if (message.key.code == VK_ESCAPE) {
                answer = MessageBoxEscapeAnswer(style);
            } else if (message.key.code == VK_TAB || message.key.code == VK_RIGHT ||
                       message.key.code == VK_LEFT) {
                const bool back =
                    message.key.code == VK_LEFT ||
                    (message.key.code == VK_TAB && (windows.GetKeyState(VK_SHIFT) & 0x8000) != 0);
                view.MoveFocus(back ? -1 : 1);
                windows.UpdateNow(window, true);
            }
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            // A click anywhere in the box gives it the keyboard, as on a desktop without a
            // window manager that does.
            windows.SetFocus(window);
            pressed = view.HitButton(message.x, message.y);
            break;
        case WM_LBUTTONUP:
            if (pressed >= 0 && view.HitButton(message.x, message.y) == pressed) {
                answer = view.Answer(pressed);
            }
            pressed = -1;
            break;
        case WM_SYSCOMMAND:
            if (message.command == SC_CLOSE) {
                answer = MessageBoxEscapeAnswer(style);
            }
            break;
        case WM_DESTROY:
            // Destroyed by another program: the box answers as cancelled where it can be, else
            // as if nobody chose.
            answer = MessageBoxEscapeAnswer(style);
            if (answer == 0) {
                answer = view.Answer(MessageBoxDefaultIndex(style));
            }
            break;
        default:
            break;
        }
    });
    windows.Show(box, true);
    windows.SetFocus(box);
    const auto quit = loop.Run(
        onIdle, [&] { return answer == 0; }, true);
    if (quit) {
        // The program is ending: the box answers as if nobody chose.
        answer = view.Answer(MessageBoxDefaultIndex(style));
    }
    windows.DestroyWindow(box);
    if (ownerWasEnabled) {
        windows.Enable(owner, true);
        windows.SetFocus(owner);
    }
    return answer;
}

} // namespace svp
