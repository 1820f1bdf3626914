// The desktop's user-interface font, in the form the application's default-font service reads
// it: face name, height in pixels (negative: the character height), weight and style flags.
#pragma once

#include <cstdint>
#include <string>

namespace svp {

struct LogicalFont
{
    std::string faceName; // UTF-8
    int32_t height = 0;
    int32_t weight = 400; // 700 and above is bold
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
};

// The desktop's sans font at 9 points (a character height of 12 pixels at 96 dots per inch),
// as fontconfig resolves "sans" on the first call (the answer is kept for the process); false
// when fontconfig finds no font.
bool GetIconTitleFont(LogicalFont& font);

} // namespace svp
