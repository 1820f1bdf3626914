#include "Desktop.h"

#include "MessageBoxStyles.h"
#include "MessageBoxWindow.h"

#include <atomic>
#include <cstdio>

namespace svp {
namespace {

// Without a display: a screen of the usual size, nothing pressed, no pointer, and message
// boxes that go to standard error and take their default button.
class HeadlessDesktop : public IDesktop
{
public:
    bool GetWorkArea(ScreenRect& area) override
    {
        area = ScreenRect{0, 0, 1920, 1080};
        return true;
    }
    uint16_t GetKeyState(uint32_t) override { return 0; }
    bool GetCursorPos(int32_t& x, int32_t& y) override
    {
        x = 0;
        y = 0;
        return false;
    }
    bool SetCursorPos(int32_t, int32_t) override { return false; }
    int32_t ShowCursor(bool show) override { return mCursorCounter += show ? 1 : -1; }
    int32_t MessageBox(HWND, const std::string& text, const std::string& caption,
                       uint32_t style) override
    {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        return DefaultMessageBoxAnswer(style);
    }
    HCURSOR LoadSystemCursor(uint32_t) override { return nullptr; }
    HCURSOR LoadCursorResource(int32_t) override { return nullptr; }
    HICON LoadIconResource(int32_t) override { return nullptr; }

private:
    std::atomic<int32_t> mCursorCounter{0};
};

HeadlessDesktop& Headless()
{
    static HeadlessDesktop desktop;
    return desktop;
}

std::atomic<IDesktop*> gDesktop{nullptr};

} // namespace

IDesktop& GetDesktop()
{
    IDesktop* desktop = gDesktop.load();
    return desktop != nullptr ? *desktop : Headless();
}

void SetDesktop(IDesktop* desktop)
{
    gDesktop.store(desktop);
}

int32_t DefaultMessageBoxAnswer(uint32_t style)
{
    return MessageBoxButtons(style)[static_cast<size_t>(MessageBoxDefaultIndex(style))];
}

} // namespace svp
