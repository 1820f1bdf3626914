#include "MessageBoxWindow.h"
#include "MessageBoxStyles.h"

#include <gtest/gtest.h>

namespace {

TEST(MessageBoxWindowTest, StylesGiveTheirButtonsDefaultAndEscapeAnswer)
{
    struct Case
    {
        uint32_t style;
        std::vector<int32_t> buttons;
        int32_t defaultIndex;
        int32_t escape;
    };
    const Case cases[] = {
        {MB_OK, {IDOK}, 0, IDOK},
        {MB_OKCANCEL | MB_DEFBUTTON2, {IDOK, IDCANCEL}, 1, IDCANCEL},
        {MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, {IDABORT, IDRETRY, IDIGNORE}, 2, 0},
        {MB_YESNOCANCEL | MB_ICONQUESTION, {IDYES, IDNO, IDCANCEL}, 0, IDCANCEL},
        {MB_YESNO | MB_DEFBUTTON3, {IDYES, IDNO}, 0, 0},
        {MB_RETRYCANCEL | MB_ICONHAND, {IDRETRY, IDCANCEL}, 0, IDCANCEL},
        {0x7, {IDOK}, 0, IDOK},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(svp::MessageBoxButtons(c.style), c.buttons) << c.style;
        EXPECT_EQ(svp::MessageBoxDefaultIndex(c.style), c.defaultIndex) << c.style;
        EXPECT_EQ(svp::MessageBoxEscapeAnswer(c.style), c.escape) << c.style;
    }
}

TEST(MessageBoxWindowTest, TextWrapsAtSpacesAndLineBreaksAndCutsWordsTooLongForALine)
{
    // Every byte is one unit wide; lines hold ten.
    const auto measure = [](const std::string& text) { return static_cast<double>(text.size()); };
    struct Case
    {
        std::string text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"", {""}},
        {"short", {"short"}},
        {"one two three four", {"one two", "three four"}},
        {"first\nsecond\r\n\nlast", {"first", "second", "", "last"}},
        {"abcdefghijklmnopqrstuvw x", {"abcdefghij", "klmnopqrst", "uvw x"}},
        {"\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4",
         {"\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4", "\xC3\xA4"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(svp::WrapText(c.text, 10, measure), c.lines) << c.text;
    }
}

} // namespace
