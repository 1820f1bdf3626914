// The desktop services the application asks for outside any one window: the work area, the
// state of keys and mouse buttons, the pointer position and visibility, message boxes, and the
// system's and the program's cursors and icons. The windowing layer installs its own
// implementation; until it does (and in programs without a display) a headless one answers:
// no keys down, no pointer, a message box written to standard error.
#pragma once

#include "WindowHandle.h"

#include <cstdint>
#include <string>

namespace svp {

struct NativeCursor;
using HCURSOR = NativeCursor*;
struct NativeIcon;
using HICON = NativeIcon*;

// The system cursors, with the Windows resource numbers.
constexpr uint32_t IDC_ARROW = 32512;
constexpr uint32_t IDC_IBEAM = 32513;
constexpr uint32_t IDC_WAIT = 32514;
constexpr uint32_t IDC_CROSS = 32515;
constexpr uint32_t IDC_UPARROW = 32516;
constexpr uint32_t IDC_SIZENWSE = 32642;
constexpr uint32_t IDC_SIZENESW = 32643;
constexpr uint32_t IDC_SIZEWE = 32644;
constexpr uint32_t IDC_SIZENS = 32645;
constexpr uint32_t IDC_SIZEALL = 32646;
constexpr uint32_t IDC_NO = 32648;
constexpr uint32_t IDC_HAND = 32649;
constexpr uint32_t IDC_APPSTARTING = 32650;
constexpr uint32_t IDC_HELP = 32651;

// A rectangle of the screen by its edges.
struct ScreenRect
{
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

class IDesktop
{
public:
    virtual ~IDesktop() = default;

    // The part of the screen that windows may cover (without panels); false when unknown.
    virtual bool GetWorkArea(ScreenRect& area) = 0;
    // Bit 15 set while the key (a virtual-key code, mouse buttons included) is down, bit 0
    // while a toggle key is on.
    virtual uint16_t GetKeyState(uint32_t virtualKey) = 0;
    virtual bool GetCursorPos(int32_t& x, int32_t& y) = 0;
    virtual bool SetCursorPos(int32_t x, int32_t y) = 0;
    // Raises (show) or lowers the pointer's display counter; the pointer shows while it is not
    // negative. Answers the new counter.
    virtual int32_t ShowCursor(bool show) = 0;
    // A modal message box (UTF-8 text and caption, MB_* style) owned by the window, which may be
    // null; the ID* answer of the button chosen.
    virtual int32_t MessageBox(HWND owner, const std::string& text, const std::string& caption,
                               uint32_t style) = 0;
    // A system cursor by its IDC_* number; null when there is none.
    virtual HCURSOR LoadSystemCursor(uint32_t id) = 0;
    // A cursor or icon of the program's own resources by number; null when there is none.
    virtual HCURSOR LoadCursorResource(int32_t id) = 0;
    virtual HICON LoadIconResource(int32_t id) = 0;
    // Opens the file with the user's default viewer for its type, without waiting for the
    // viewer; false when the file cannot be read or no viewer could be started. The base starts
    // "xdg-open".
    virtual bool OpenDocument(const std::string& path);
};

// The desktop in use: the one installed, else the headless one.
IDesktop& GetDesktop();
// Installs a desktop (not owned; it must outlive its use); null goes back to the headless one.
void SetDesktop(IDesktop* desktop);

// The answer of a message box that nobody can see: its default button.
int32_t DefaultMessageBoxAnswer(uint32_t style);

} // namespace svp
