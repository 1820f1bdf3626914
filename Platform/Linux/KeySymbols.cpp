#include "KeySymbols.h"

#include "VirtualKeys.h"

#include <X11/XF86keysym.h>
#include <X11/keysym.h>

namespace svp {
namespace {

struct Entry
{
    uint32_t keySym;
    uint32_t code;
    KeySide side;
};

constexpr KeySide kL = KeySide::kLeft;
constexpr KeySide kR = KeySide::kRight;
constexpr KeySide kN = KeySide::kNone;

// The first entry of a code is the symbol KeySymFromVirtualKey answers.
constexpr Entry kTable[] = {
    {XK_BackSpace, VK_BACK, kN},
    {XK_Tab, VK_TAB, kN},
    {XK_ISO_Left_Tab, VK_TAB, kN},
    {XK_Clear, VK_CLEAR, kN},
    {XK_Return, VK_RETURN, kN},
    {XK_KP_Enter, VK_RETURN, kN},
    {XK_Shift_L, VK_SHIFT, kL},
    {XK_Shift_R, VK_SHIFT, kR},
    {XK_Control_L, VK_CONTROL, kL},
    {XK_Control_R, VK_CONTROL, kR},
    {XK_Alt_L, VK_MENU, kL},
    {XK_Alt_R, VK_MENU, kR},
    {XK_Meta_L, VK_MENU, kL},
    {XK_Meta_R, VK_MENU, kR},
    {XK_ISO_Level3_Shift, VK_MENU, kR},
    {XK_Pause, VK_PAUSE, kN},
    {XK_Caps_Lock, VK_CAPITAL, kN},
    {XK_Hiragana_Katakana, VK_KANA, kN},
    {XK_Hangul, VK_HANGUL, kN},
    {XK_Hangul_Jeonja, VK_JUNJA, kN},
    {XK_Hangul_End, VK_FINAL, kN},
    {XK_Kanji, VK_KANJI, kN},
    {XK_Hangul_Hanja, VK_HANJA, kN},
    {XK_Escape, VK_ESCAPE, kN},
    {XK_Henkan, VK_CONVERT, kN},
    {XK_Muhenkan, VK_NONCONVERT, kN},
    {XK_Mode_switch, VK_MODECHANGE, kN},
    {XK_space, VK_SPACE, kN},
    {XK_KP_Space, VK_SPACE, kN},
    {XK_Prior, VK_PRIOR, kN},
    {XK_KP_Prior, VK_PRIOR, kN},
    {XK_Next, VK_NEXT, kN},
    {XK_KP_Next, VK_NEXT, kN},
    {XK_End, VK_END, kN},
    {XK_KP_End, VK_END, kN},
    {XK_Home, VK_HOME, kN},
    {XK_KP_Home, VK_HOME, kN},
    {XK_Left, VK_LEFT, kN},
    {XK_KP_Left, VK_LEFT, kN},
    {XK_Up, VK_UP, kN},
    {XK_KP_Up, VK_UP, kN},
    {XK_Right, VK_RIGHT, kN},
    {XK_KP_Right, VK_RIGHT, kN},
    {XK_Down, VK_DOWN, kN},
    {XK_KP_Down, VK_DOWN, kN},
    {XK_Select, VK_SELECT, kN},
    {XK_Sys_Req, VK_PRINT, kN},
    {XK_Execute, VK_EXECUTE, kN},
    {XK_Print, VK_SNAPSHOT, kN},
    {XK_Insert, VK_INSERT, kN},
    {XK_KP_Insert, VK_INSERT, kN},
    {XK_Delete, VK_DELETE, kN},
    {XK_KP_Delete, VK_DELETE, kN},
    {XK_Help, VK_HELP, kN},
    {XK_Super_L, VK_LWIN, kL},
    {XK_Super_R, VK_RWIN, kR},
    {XK_Menu, VK_APPS, kN},
    {XF86XK_Sleep, VK_SLEEP, kN},
    {XK_KP_Multiply, VK_MULTIPLY, kN},
    {XK_KP_Add, VK_ADD, kN},
    {XK_KP_Separator, VK_SEPARATOR, kN},
    {XK_KP_Subtract, VK_SUBTRACT, kN},
    {XK_KP_Decimal, VK_DECIMAL, kN},
    {XK_KP_Divide, VK_DIVIDE, kN},
    {XK_Num_Lock, VK_NUMLOCK, kN},
    {XK_Scroll_Lock, VK_SCROLL, kN},
    {XK_KP_Equal, VK_OEM_NEC_EQUAL, kN},
    {XF86XK_Back, VK_BROWSER_BACK, kN},
    {XF86XK_Forward, VK_BROWSER_FORWARD, kN},
    {XF86XK_Refresh, VK_BROWSER_REFRESH, kN},
    {XF86XK_Stop, VK_BROWSER_STOP, kN},
    {XF86XK_Search, VK_BROWSER_SEARCH, kN},
    {XF86XK_Favorites, VK_BROWSER_FAVORITES, kN},
    {XF86XK_HomePage, VK_BROWSER_HOME, kN},
    {XF86XK_AudioMute, VK_VOLUME_MUTE, kN},
    {XF86XK_AudioLowerVolume, VK_VOLUME_DOWN, kN},
    {XF86XK_AudioRaiseVolume, VK_VOLUME_UP, kN},
    {XF86XK_AudioNext, VK_MEDIA_NEXT_TRACK, kN},
    {XF86XK_AudioPrev, VK_MEDIA_PREV_TRACK, kN},
    {XF86XK_AudioStop, VK_MEDIA_STOP, kN},
    {XF86XK_AudioPlay, VK_MEDIA_PLAY_PAUSE, kN},
    {XF86XK_Mail, VK_LAUNCH_MAIL, kN},
    {XF86XK_AudioMedia, VK_LAUNCH_MEDIA_SELECT, kN},
    {XF86XK_MyComputer, VK_LAUNCH_APP1, kN},
    {XF86XK_Calculator, VK_LAUNCH_APP2, kN},
    {XK_semicolon, VK_OEM_1, kN},
    {XK_equal, VK_OEM_PLUS, kN},
    {XK_comma, VK_OEM_COMMA, kN},
    {XK_minus, VK_OEM_MINUS, kN},
    {XK_period, VK_OEM_PERIOD, kN},
    {XK_slash, VK_OEM_2, kN},
    {XK_grave, VK_OEM_3, kN},
    {XK_bracketleft, VK_OEM_4, kN},
    {XK_backslash, VK_OEM_5, kN},
    {XK_bracketright, VK_OEM_6, kN},
    {XK_apostrophe, VK_OEM_7, kN},
    {XK_less, VK_OEM_102, kN},
};

// Side-specific codes are never delivered in key events, but key bindings and key-state
// queries name them.
constexpr Entry kSidedCodes[] = {
    {XK_Shift_L, VK_LSHIFT, kL},     {XK_Shift_R, VK_RSHIFT, kR}, {XK_Control_L, VK_LCONTROL, kL},
    {XK_Control_R, VK_RCONTROL, kR}, {XK_Alt_L, VK_LMENU, kL},    {XK_Alt_R, VK_RMENU, kR},
};

} // namespace

VirtualKey VirtualKeyFromKeySym(uint32_t keySym)
{
    if (keySym >= XK_a && keySym <= XK_z) {
        return {VK_A + (keySym - XK_a), KeySide::kNone};
    }
    if (keySym >= XK_A && keySym <= XK_Z) {
        return {VK_A + (keySym - XK_A), KeySide::kNone};
    }
    if (keySym >= XK_0 && keySym <= XK_9) {
        return {VK_0 + (keySym - XK_0), KeySide::kNone};
    }
    if (keySym >= XK_KP_0 && keySym <= XK_KP_9) {
        return {VK_NUMPAD0 + (keySym - XK_KP_0), KeySide::kNone};
    }
    if (keySym >= XK_F1 && keySym <= XK_F24) {
        return {VK_F1 + (keySym - XK_F1), KeySide::kNone};
    }
    for (const Entry& entry : kTable) {
        if (entry.keySym == keySym) {
            return {entry.code, entry.side};
        }
    }
    return {};
}

uint32_t KeySymFromVirtualKey(uint32_t virtualKey)
{
    if (virtualKey >= VK_A && virtualKey < VK_A + 26) {
        return XK_a + (virtualKey - VK_A);
    }
    if (virtualKey >= VK_0 && virtualKey < VK_0 + 10) {
        return XK_0 + (virtualKey - VK_0);
    }
    if (virtualKey >= VK_NUMPAD0 && virtualKey < VK_NUMPAD0 + 10) {
        return XK_KP_0 + (virtualKey - VK_NUMPAD0);
    }
    if (virtualKey >= VK_F1 && virtualKey < VK_F1 + 24) {
        return XK_F1 + (virtualKey - VK_F1);
    }
    for (const Entry& entry : kSidedCodes) {
        if (entry.code == virtualKey) {
            return entry.keySym;
        }
    }
    for (const Entry& entry : kTable) {
        if (entry.code == virtualKey) {
            return entry.keySym;
        }
    }
    return 0;
}

} // namespace svp
