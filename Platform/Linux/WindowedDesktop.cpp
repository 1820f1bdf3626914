#include "WindowedDesktop.h"

#include "EmbeddedResources.h"
#include "EventLoop.h"
#include "MessageBoxWindow.h"
#include "StoredPixels.h"
#include "WindowSystem.h"

#include <atomic>
#include <map>
#include <optional>
#include <string>

namespace svp {
namespace {

// The program's cursor pictures point with their top left corner, one pixel in.
constexpr int32_t kResourceCursorHotSpot = 1;

// The picture of a resource of that type and number; none when there is no such resource or it
// is no readable PNG.
std::optional<DecodedImage> DecodeResource(std::string_view type, int32_t id)
{
    const EmbeddedResource* resource = FindEmbeddedResource(type, std::to_string(id));
    if (resource == nullptr) {
        return std::nullopt;
    }
    DecodedImage image;
    std::string error;
    if (!DecodePicture(resource->bytes.data(), resource->bytes.size(), image, error)) {
        return std::nullopt;
    }
    return image;
}

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

    // Each picture is made into a cursor or icon once; later loads answer the same handle.
    HCURSOR LoadCursorResource(int32_t id) override
    {
        const auto known = mResourceCursors.find(id);
        if (known != mResourceCursors.end()) {
            return known->second;
        }
        const std::optional<DecodedImage> image = DecodeResource("CURSOR", id);
        const HCURSOR cursor = image ? mWindows.CreateImageCursor(*image, kResourceCursorHotSpot,
                                                                  kResourceCursorHotSpot)
                                     : nullptr;
        mResourceCursors.emplace(id, cursor);
        return cursor;
    }

    HICON LoadIconResource(int32_t id) override
    {
        const auto known = mResourceIcons.find(id);
        if (known != mResourceIcons.end()) {
            return known->second;
        }
        const std::optional<DecodedImage> image = DecodeResource("ICON", id);
        const HICON icon = image ? mWindows.CreateImageIcon(*image) : nullptr;
        mResourceIcons.emplace(id, icon);
        return icon;
    }

private:
    WindowSystem& mWindows;
    EventLoop& mLoop;
    std::function<bool(int32_t)> mOnIdle;
    std::atomic<int32_t> mCursorCounter{0};
    std::map<int32_t, HCURSOR> mResourceCursors;
    std::map<int32_t, HICON> mResourceIcons;
};

} // namespace

std::unique_ptr<IDesktop> CreateWindowedDesktop(WindowSystem& windows, EventLoop& loop,
                                                std::function<bool(int32_t)> onIdle)
{
    return std::make_unique<WindowedDesktop>(windows, loop, std::move(onIdle));
}

} // namespace svp
