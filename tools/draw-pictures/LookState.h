// The state a look index stands for under the framework's 14-look convention: base 0 normal,
// 1 pointer over, 2 pressed; plus 3 for the keyboard focus (buttons) or an alternate row (list
// rows); plus 7 when checked or selected; 6 disabled and 13 disabled and checked.
#pragma once

namespace pictures {

constexpr int kStateLooks = 14;

struct LookState
{
    int base = 0;        // 0 normal, 1 pointer over, 2 pressed
    bool second = false; // focused (buttons, thumbs) or alternate (list and menu rows)
    bool checked = false;
    bool disabled = false;
};

LookState StateOfLook(int index);

} // namespace pictures
