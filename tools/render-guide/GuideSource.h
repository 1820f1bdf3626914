// The user guide's text source: a small part of Markdown. "# " is the title, "## " a section,
// "### " a subsection, "- " a bullet, "1. " a numbered step, a blank line ends a paragraph, and
// any other line continues the paragraph, bullet or step above it. Inside text, **bold**, *italic*
// and `code` are marked. Anything else is plain text; nothing is refused.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace guide {

enum class BlockKind
{
    Title,
    Section,
    Subsection,
    Paragraph,
    Bullet,
    Step
};

struct Block
{
    BlockKind kind = BlockKind::Paragraph;
    std::string markup; // Pango markup, escaped
    int number = 0;     // the step's number
};

std::vector<Block> ParseGuide(std::string_view source);

// Plain text with the inline marks turned into Pango markup and the rest escaped.
std::string InlineMarkup(std::string_view text);

} // namespace guide
