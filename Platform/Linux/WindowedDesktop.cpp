#include "WindowedDesktop.h"

#include "EventLoop.h"
#include "MessageBoxWindow.h"
#include "WindowSystem.h"

#include <atomic>

namespace svp {
namespace {

class WindowedDesktop final : public IDesktop
{
public:
    WindowedDesktop(WindowSystem& windows, EventLoop& loop, std::function<bool(int32_t)> onIdle)
        : mWindows(windows), mLoop(loop), mOnIdle(std::move(onIdle))
    {}

    bool GetWorkArea(ScreenRect& area) override
    {
        area = mWindows.GetWorkArea();
        return area.right > area.left && area.bottom > area.top;
    }

    uint16_t GetKeyState(uint32_t virtualKey) override { return mWindows.GetKeyState(virtualKey); }

    bool GetCursorPos(int32_t& x, int32_t& y) override { return mWindows.GetPointerPosition(x, y); }

    bool SetCursorPos(int32_t x, int32_t y) override { return mWindows.SetPointerPosition(x, y); }

    // Only the counter: the program never hides the pointer, it only asks how it stands.
    int32_t ShowCursor(bool show) override { return show ? ++mCursorCounter : --mCursorCounter; }

    int32_t MessageBox(HWND owner, const std::string& text, const std::string& caption,
                       uint32_t style) override
    {
        return RunMessageBox(mWindows, mLoop, owner, text, caption, style, mOnIdle);
    }

    HCURSOR LoadSystemCursor(uint32_t id) override { return mWindows.LoadSystemCursor(id); }
    HCURSOR LoadCursorResource(int32_t) override { return mWindows.LoadSystemCursor(IDC_ARROW); }
    HICON LoadIconResource(int32_t) override { return nullptr; }

private:
    WindowSystem& mWindows;
    EventLoop& mLoop;
    std::function<bool(int32_t)> mOnIdle;
    std::atomic<int32_t> mCursorCounter{0};
};

} // namespace

std::unique_ptr<IDesktop> CreateWindowedDesktop(WindowSystem& windows, EventLoop& loop,
                                                std::function<bool(int32_t)> onIdle)
{
    return std::make_unique<WindowedDesktop>(windows, loop, std::move(onIdle));
}

} // namespace svp
