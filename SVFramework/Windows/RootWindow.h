// The window side of a control tree: the distributor through which the window's idle pass reaches
// the controls that asked for idle time, the window's client area on the screen, its title and
// its main control. The native window moves the client area and reports its size.
#pragma once

#include "Notification/NotificationDistributor.h"
#include "ObjectBase/RCPtr.h"
#include "Utilities/Graphics/Point.h"
#include "Utilities/Graphics/Rect.h"
#include "Utilities/Storage/StringT.h"

namespace SV {

class LControl;

class LRootWindow : public LNotificationDistributor
{
public:
    LRootWindow();
    ~LRootWindow() override;

    // Client size in pixels.
    PointT<double> GetClientSize() const
    {
        return {double(mClientRect.width), double(mClientRect.height)};
    }
    // The client area in screen coordinates.
    RectT<int32_t> GetScreenClientRect() const { return mClientRect; }
    // Moves and sizes the window so that its client area covers the rectangle (screen
    // coordinates).
    void SetWindowRect(const RectT<int32_t>& clientRect) { mClientRect = clientRect; }

    const WideString& GetTitle() const { return mTitle; }
    void SetTitle(const WideString& title) { mTitle = title; }

    const RCPtr<LControl>& GetMainControl() const;
    void SetMainControl(const RCPtr<LControl>& control);

    // Sends "NID_IDLE" to the controls that asked for idle time.
    void SendIdle();

private:
    RectT<int32_t> mClientRect;
    WideString mTitle;
    RCPtr<LControl> mMainControl;
};

} // namespace SV
