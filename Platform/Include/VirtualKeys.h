// The Windows virtual-key codes that key events, key names and key bindings carry, with their
// Windows values; the platform maps its own key symbols onto these.
#pragma once

#include <cstdint>

constexpr uint32_t VK_LBUTTON = 0x01;
constexpr uint32_t VK_RBUTTON = 0x02;
constexpr uint32_t VK_MBUTTON = 0x04;
constexpr uint32_t VK_BACK = 0x08;
constexpr uint32_t VK_TAB = 0x09;
constexpr uint32_t VK_CLEAR = 0x0C;
constexpr uint32_t VK_RETURN = 0x0D;
constexpr uint32_t VK_SHIFT = 0x10;
constexpr uint32_t VK_CONTROL = 0x11;
constexpr uint32_t VK_MENU = 0x12;
constexpr uint32_t VK_PAUSE = 0x13;
constexpr uint32_t VK_CAPITAL = 0x14;
constexpr uint32_t VK_KANA = 0x15;
constexpr uint32_t VK_HANGEUL = 0x15;
constexpr uint32_t VK_HANGUL = 0x15;
constexpr uint32_t VK_JUNJA = 0x17;
constexpr uint32_t VK_FINAL = 0x18;
constexpr uint32_t VK_HANJA = 0x19;
constexpr uint32_t VK_KANJI = 0x19;
constexpr uint32_t VK_ESCAPE = 0x1B;
constexpr uint32_t VK_CONVERT = 0x1C;
constexpr uint32_t VK_NONCONVERT = 0x1D;
constexpr uint32_t VK_ACCEPT = 0x1E;
constexpr uint32_t VK_MODECHANGE = 0x1F;
constexpr uint32_t VK_SPACE = 0x20;
constexpr uint32_t VK_PRIOR = 0x21;
constexpr uint32_t VK_NEXT = 0x22;
constexpr uint32_t VK_END = 0x23;
constexpr uint32_t VK_HOME = 0x24;
constexpr uint32_t VK_LEFT = 0x25;
constexpr uint32_t VK_UP = 0x26;
constexpr uint32_t VK_RIGHT = 0x27;
constexpr uint32_t VK_DOWN = 0x28;
constexpr uint32_t VK_SELECT = 0x29;
constexpr uint32_t VK_PRINT = 0x2A;
constexpr uint32_t VK_EXECUTE = 0x2B;
constexpr uint32_t VK_SNAPSHOT = 0x2C;
constexpr uint32_t VK_INSERT = 0x2D;
constexpr uint32_t VK_DELETE = 0x2E;
constexpr uint32_t VK_HELP = 0x2F;
// Digits and letters are their own ASCII codes: '0' .. '9' and 'A' .. 'Z'.
constexpr uint32_t VK_0 = 0x30;
constexpr uint32_t VK_A = 0x41;
constexpr uint32_t VK_LWIN = 0x5B;
constexpr uint32_t VK_RWIN = 0x5C;
constexpr uint32_t VK_APPS = 0x5D;
constexpr uint32_t VK_SLEEP = 0x5F;
constexpr uint32_t VK_NUMPAD0 = 0x60;
constexpr uint32_t VK_MULTIPLY = 0x6A;
constexpr uint32_t VK_ADD = 0x6B;
constexpr uint32_t VK_SEPARATOR = 0x6C;
constexpr uint32_t VK_SUBTRACT = 0x6D;
constexpr uint32_t VK_DECIMAL = 0x6E;
constexpr uint32_t VK_DIVIDE = 0x6F;
constexpr uint32_t VK_F1 = 0x70; // VK_F1 .. VK_F24 are 0x70 .. 0x87
constexpr uint32_t VK_NUMLOCK = 0x90;
constexpr uint32_t VK_SCROLL = 0x91;
constexpr uint32_t VK_OEM_NEC_EQUAL = 0x92;
constexpr uint32_t VK_OEM_FJ_JISHO = 0x92;
constexpr uint32_t VK_OEM_FJ_MASSHOU = 0x93;
constexpr uint32_t VK_OEM_FJ_TOUROKU = 0x94;
constexpr uint32_t VK_OEM_FJ_LOYA = 0x95;
constexpr uint32_t VK_OEM_FJ_ROYA = 0x96;
constexpr uint32_t VK_LSHIFT = 0xA0;
constexpr uint32_t VK_RSHIFT = 0xA1;
constexpr uint32_t VK_LCONTROL = 0xA2;
constexpr uint32_t VK_RCONTROL = 0xA3;
constexpr uint32_t VK_LMENU = 0xA4;
constexpr uint32_t VK_RMENU = 0xA5;
constexpr uint32_t VK_BROWSER_BACK = 0xA6;
constexpr uint32_t VK_BROWSER_FORWARD = 0xA7;
constexpr uint32_t VK_BROWSER_REFRESH = 0xA8;
constexpr uint32_t VK_BROWSER_STOP = 0xA9;
constexpr uint32_t VK_BROWSER_SEARCH = 0xAA;
constexpr uint32_t VK_BROWSER_FAVORITES = 0xAB;
constexpr uint32_t VK_BROWSER_HOME = 0xAC;
constexpr uint32_t VK_VOLUME_MUTE = 0xAD;
constexpr uint32_t VK_VOLUME_DOWN = 0xAE;
constexpr uint32_t VK_VOLUME_UP = 0xAF;
constexpr uint32_t VK_MEDIA_NEXT_TRACK = 0xB0;
constexpr uint32_t VK_MEDIA_PREV_TRACK = 0xB1;
constexpr uint32_t VK_MEDIA_STOP = 0xB2;
constexpr uint32_t VK_MEDIA_PLAY_PAUSE = 0xB3;
constexpr uint32_t VK_LAUNCH_MAIL = 0xB4;
constexpr uint32_t VK_LAUNCH_MEDIA_SELECT = 0xB5;
constexpr uint32_t VK_LAUNCH_APP1 = 0xB6;
constexpr uint32_t VK_LAUNCH_APP2 = 0xB7;

// The punctuation keys of a US keyboard, and the 102nd key of European keyboards.
constexpr uint32_t VK_OEM_1 = 0xBA;      // ;:
constexpr uint32_t VK_OEM_PLUS = 0xBB;   // =+
constexpr uint32_t VK_OEM_COMMA = 0xBC;  // ,<
constexpr uint32_t VK_OEM_MINUS = 0xBD;  // -_
constexpr uint32_t VK_OEM_PERIOD = 0xBE; // .>
constexpr uint32_t VK_OEM_2 = 0xBF;      // /?
constexpr uint32_t VK_OEM_3 = 0xC0;      // `~
constexpr uint32_t VK_OEM_4 = 0xDB;      // [{
constexpr uint32_t VK_OEM_5 = 0xDC;      // \|
constexpr uint32_t VK_OEM_6 = 0xDD;      // ]}
constexpr uint32_t VK_OEM_7 = 0xDE;      // '"
constexpr uint32_t VK_OEM_102 = 0xE2;
