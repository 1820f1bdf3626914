// The Windows-shaped messages the windowing layer delivers to a native window, with the message
// numbers and flag values of Windows. One structure carries every kind; each message fills only
// the fields it names.
#pragma once

#include "KeySymbols.h"

#include <cstdint>
#include <string>

// The window is gone: another program (a window manager, xkill) destroyed it. The window's
// handle stays valid for DestroyWindow, which is still called.
constexpr uint32_t WM_DESTROY = 0x0002;
constexpr uint32_t WM_MOVE = 0x0003;
constexpr uint32_t WM_SIZE = 0x0005;
constexpr uint32_t WM_SETFOCUS = 0x0007;
constexpr uint32_t WM_KILLFOCUS = 0x0008;
constexpr uint32_t WM_PAINT = 0x000F;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_KEYUP = 0x0101;
constexpr uint32_t WM_CHAR = 0x0102;
constexpr uint32_t WM_SYSKEYDOWN = 0x0104;
constexpr uint32_t WM_SYSKEYUP = 0x0105;
constexpr uint32_t WM_SYSCOMMAND = 0x0112;
constexpr uint32_t WM_MOUSEMOVE = 0x0200;
constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr uint32_t WM_LBUTTONUP = 0x0202;
constexpr uint32_t WM_LBUTTONDBLCLK = 0x0203;
constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr uint32_t WM_RBUTTONUP = 0x0205;
constexpr uint32_t WM_RBUTTONDBLCLK = 0x0206;
constexpr uint32_t WM_MBUTTONDOWN = 0x0207;
constexpr uint32_t WM_MBUTTONUP = 0x0208;
constexpr uint32_t WM_MBUTTONDBLCLK = 0x0209;
constexpr uint32_t WM_MOUSEWHEEL = 0x020A;
constexpr uint32_t WM_MOUSEHWHEEL = 0x020E;
constexpr uint32_t WM_CAPTURECHANGED = 0x0215;

constexpr uint32_t SC_CLOSE = 0xF060;

constexpr uint32_t SIZE_RESTORED = 0;
constexpr uint32_t SIZE_MINIMIZED = 1;
constexpr uint32_t SIZE_MAXIMIZED = 2;

// Button and modifier flags of pointer messages.
constexpr uint32_t MK_LBUTTON = 0x0001;
constexpr uint32_t MK_RBUTTON = 0x0002;
constexpr uint32_t MK_SHIFT = 0x0004;
constexpr uint32_t MK_CONTROL = 0x0008;
constexpr uint32_t MK_MBUTTON = 0x0010;

constexpr int32_t WHEEL_DELTA = 120;

namespace svp {

struct WindowMessage
{
    uint32_t message = 0;
    // Pointer messages: the client point (the wheel: the screen point). WM_MOVE: the screen
    // position of the client origin. WM_PAINT: the rectangle to paint.
    int32_t x = 0;
    int32_t y = 0;
    // WM_SIZE and WM_PAINT.
    int32_t width = 0;
    int32_t height = 0;
    uint32_t sizeType = SIZE_RESTORED;
    // Pointer messages: MK_* flags; wheels: the signed delta in steps of WHEEL_DELTA.
    uint32_t buttonFlags = 0;
    int32_t wheelDelta = 0;
    // Key messages.
    VirtualKey key;
    bool repeat = false;  // the key was already down (auto-repeat)
    bool altHeld = false; // the context code: Alt is down
    // WM_CHAR: one UTF-16 unit.
    char16_t character = 0;
    // WM_SYSCOMMAND.
    uint32_t command = 0;
};

} // namespace svp
