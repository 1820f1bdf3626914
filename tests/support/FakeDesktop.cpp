#include "FakeDesktop.h"

namespace svtest {

FakeDesktop::FakeDesktop()
{
    svp::SetDesktop(this);
}

FakeDesktop::~FakeDesktop()
{
    svp::SetDesktop(nullptr);
}

bool FakeDesktop::GetWorkArea(svp::ScreenRect& area)
{
    area = workArea;
    return true;
}

uint16_t FakeDesktop::GetKeyState(uint32_t virtualKey)
{
    const auto found = keyStates.find(virtualKey);
    return found == keyStates.end() ? 0 : found->second;
}

bool FakeDesktop::GetCursorPos(int32_t& x, int32_t& y)
{
    x = cursorX;
    y = cursorY;
    return cursorKnown;
}

bool FakeDesktop::SetCursorPos(int32_t x, int32_t y)
{
    if (!canMoveCursor) {
        return false;
    }
    cursorX = x;
    cursorY = y;
    return true;
}

int32_t FakeDesktop::ShowCursor(bool show)
{
    return cursorCounter += show ? 1 : -1;
}

int32_t FakeDesktop::MessageBox(svp::HWND owner, const std::string& text,
                                const std::string& caption, uint32_t style)
{
    messageBoxes.push_back({owner, text, caption, style});
    return messageBoxAnswer;
}

svp::HCURSOR FakeDesktop::LoadSystemCursor(uint32_t id)
{
    return SystemCursor(id);
}

svp::HCURSOR FakeDesktop::LoadCursorResource(int32_t id)
{
    return ResourceCursor(id);
}

svp::HICON FakeDesktop::LoadIconResource(int32_t id)
{
    return ResourceIcon(id);
}

svp::HCURSOR FakeDesktop::SystemCursor(uint32_t id)
{
    return reinterpret_cast<svp::HCURSOR>(static_cast<uintptr_t>(0x100000u + id));
}

svp::HCURSOR FakeDesktop::ResourceCursor(int32_t id)
{
    return reinterpret_cast<svp::HCURSOR>(static_cast<uintptr_t>(0x200000u + id));
}

svp::HICON FakeDesktop::ResourceIcon(int32_t id)
{
    return reinterpret_cast<svp::HICON>(static_cast<uintptr_t>(0x300000u + id));
}

} // namespace svtest
