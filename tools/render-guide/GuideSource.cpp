#include "GuideSource.h"

#include <cctype>

namespace guide {

namespace {

std::string Escape(std::string_view text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    return text;
}

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

// "12. text" gives 12 and the text; anything else gives 0.
int StepNumber(std::string_view line, std::string_view& rest)
{
    size_t digits = 0;
    while (digits < line.size() && digits < 4 &&
           std::isdigit(static_cast<unsigned char>(line[digits]))) {
        ++digits;
    }
    if (digits == 0 || digits + 1 >= line.size() || line[digits] != '.' ||
        line[digits + 1] != ' ') {
        return 0;
    }
    rest = line.substr(digits + 2);
    return std::stoi(std::string(line.substr(0, digits)));
}

} // namespace

std::string InlineMarkup(std::string_view text)
{
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        // A mark counts only when it is closed later on the same text; a lone one is kept as it
        // stands.
        if (text[i] == '`') {
            const size_t end = text.find('`', i + 1);
            if (end != std::string_view::npos) {
                out += "<tt>" + Escape(text.substr(i + 1, end - i - 1)) + "</tt>";
                i = end + 1;
                continue;
            }
        } else if (StartsWith(text.substr(i), "**")) {
            const size_t end = text.find("**", i + 2);
            if (end != std::string_view::npos && end > i + 2) {
                out += "<b>" + InlineMarkup(text.substr(i + 2, end - i - 2)) + "</b>";
                i = end + 2;
                continue;
            }
        } else if (text[i] == '*') {
            const size_t end = text.find('*', i + 1);
            if (end != std::string_view::npos && end > i + 1) {
                out += "<i>" + InlineMarkup(text.substr(i + 1, end - i - 1)) + "</i>";
                i = end + 1;
                continue;
            }
        }
        out += Escape(text.substr(i, 1));
        ++i;
    }
    return out;
}

std::vector<Block> ParseGuide(std::string_view source)
{
    std::vector<Block> blocks;
    std::string pending; // the raw text of the block being collected
    Block current;
    bool open = false;
    auto finish = [&] {
        if (open) {
            current.markup = InlineMarkup(Trim(pending));
            blocks.push_back(current);
        }
        open = false;
        pending.clear();
    };
    auto start = [&](BlockKind kind, std::string_view text, int number = 0) {
        finish();
        current = Block{kind, {}, number};
        pending = std::string(Trim(text));
        open = true;
    };

    size_t position = 0;
    while (position <= source.size()) {
        size_t end = source.find('\n', position);
        if (end == std::string_view::npos) {
            end = source.size();
        }
        std::string_view line = source.substr(position, end - position);
        position = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        const std::string_view trimmed = Trim(line);
        std::string_view rest;
        if (trimmed.empty()) {
            finish();
        } else if (StartsWith(line, "### ")) {
            start(BlockKind::Subsection, line.substr(4));
            finish();
        } else if (StartsWith(line, "## ")) {
            start(BlockKind::Section, line.substr(3));
            finish();
        } else if (StartsWith(line, "# ")) {
            start(BlockKind::Title, line.substr(2));
            finish();
        } else if (StartsWith(line, "- ")) {
            start(BlockKind::Bullet, line.substr(2));
        } else if (int number = StepNumber(line, rest); number > 0) {
            start(BlockKind::Step, rest, number);
        } else if (open) {
            pending += ' ';
            pending += trimmed;
        } else {
            start(BlockKind::Paragraph, trimmed);
        }
    }
    finish();
    return blocks;
}

} // namespace guide
