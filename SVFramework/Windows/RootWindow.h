// The root of one native window's control tree. It holds the window's main control, decides which
// control gets each input event (the focus holder, the capture holder or the control under the
// pointer), keeps the focus, capture, hover and tool-tip state, collects the dirty region, owns
// the window's own notification queue (delivered at idle to receivers registered on the root
// window itself) and hot-key table, and carries a close request to the next idle pass.
#pragma once

#include "Notification/NotificationDistributor.h"
#include "Notification/NotificationQueue.h"
#include "ObjectBase/RCPtr.h"
#include "System/GlobalHotKeyManager.h"
#include "Utilities/Graphics/Point.h"
#include "Utilities/Graphics/Rect.h"
#include "Utilities/Graphics/RectRegion.h"
#include "Utilities/Storage/StringT.h"
#include "Windows/IRootWindow.h"

#include <cstdint>

namespace SV {

class LControl;
class LKeyParam;
class IWindowOSServices;

class LRootWindow : public LNotificationDistributor, public LNotificationQueue, public IRootWindow
{
public:
    // Both may be empty: a window without services is a headless tree whose client rectangle
    // is only the cached one.
    explicit LRootWindow(const RCPtr<LRenderer>& renderer = nullptr,
                         IWindowOSServices* services = nullptr);
    ~LRootWindow() override;

    // Input from the native window; points are in client coordinates.
    void OnKey(const ConstRCPtr<LKeyParam>& key);
    void OnMouseButton(int32_t kind, int32_t button, uint32_t modifiers,
                       const PointT<int32_t>& point, int32_t extraValue);
    void OnMouseMove(const PointT<int32_t>& point, uint32_t modifiers, int32_t extraValue);
    void OnMouseWheel(const PointT<int32_t>& point, uint32_t modifiers, int32_t direction);
    void OnFocusGained() override;
    void OnFocusLost() override;
    void OnCaptureLost();
    void OnResize(const PointT<int32_t>& size);

    // The control under the point (empty when none) and the point in its coordinates.
    virtual RCPtr<LControl> HitTest(const PointT<int32_t>& point, bool updateHover,
                                    PointT<int32_t>& localPoint);
    int32_t SetHoverControl(const RCPtr<LControl>& control);
    void SetFocusedControl(const RCPtr<LControl>& control);
    void ClearFocusedControl();
    // 0; E_INVALIDARG for an empty control.
    int32_t SetCaptureControl(const RCPtr<LControl>& control);
    int32_t ReleaseCaptureControl();
    void TabToNextWindow(const ConstRCPtr<LKeyParam>& key);
    svp::HCURSOR SetCursor(svp::HCURSOR cursor) override;
    void NotifyTextInputFocus(bool gained, const LControl* control, int32_t extraValue);

    uint32_t GetModifierKeys();
    int32_t GetMouseButtons() override;
    PointT<int32_t> GetCursorPosition() override;
    RectT<int32_t> GetScreenClientRect() override;
    // Client size in pixels.
    PointT<double> GetClientSize();
    // Moves and sizes the window so that its client area covers the rectangle (screen
    // coordinates). A window without services only keeps the rectangle as its cached one.
    void SetWindowRect(const RectT<int32_t>& clientRect);

    const WideString& GetTitle() const { return mTitle; }
    void SetTitle(const WideString& title);

    const RCPtr<LControl>& GetMainControl() const { return mMainControl; }
    int32_t SetMainControl(const RCPtr<LControl>& control);
    int32_t SetMainControlByName(const WideString& name);

    const RCPtr<LControl>& GetFocusedControl() const { return mFocusHolder; }
    const RCPtr<LControl>& GetLastFocusedControl() const { return mLastFocus; }
    const RCPtr<LControl>& GetHoverControl() const { return mHoverControl; }
    const RCPtr<LControl>& GetCaptureControl() const { return mCaptureHolder; }
    const RCPtr<LControl>& GetToolTipOwner() const { return mToolTipOwner; }
    const RCPtr<LGlobalHotKeyManager>& GetHotKeyManager() const { return mHotKeyManager; }

    // Close request, carried out by the next idle pass.
    int32_t RequestClose(int32_t result) override;
    void CloseWindow();
    bool IsCloseRequested() const { return mCloseRequested; }
    bool OnIdle(bool first) override;
    // Sends "NID_IDLE" to the controls that asked for idle time, at once.
    void SendIdle();

    IWindowOSServices* GetWindowServices() const override { return mServices; }
    // The native window is gone: the tree goes on without services.
    void DetachServices() { mServices = nullptr; }
    RCPtr<LRenderer> GetRenderer() const override { return mRenderer; }
    int32_t ReapplySkin(const LControlFactory& factory) override;

    // Painting.
    void Invalidate(const RectT<int32_t>& rect) override;
    void RedrawAll() override;
    void TakeDirtyRegion(RectRegion& out);
    const RectRegion& GetDirtyRegion() const { return mDirtyRegion; }
    RectRegion& GetDirtyRegion() { return mDirtyRegion; }
    // Adds a rectangle of the client area, rounded by its edges, to what the next paint draws.
    void Invalidate(const RectT<double>& rect);
    void SetFullRedraw() { mFullRedraw = true; }
    // Draws the region (client coordinates) of the main control's tree, then the unclipped
    // controls in ascending Z order over it. Runs inside a frame of the window's renderer.
    void Paint(const RectRegion& region);
    void DrawControlTree(const RCPtr<LControl>& control, const RectRegion& region,
                         bool unclippedPass);
    // Keeps a proposed client size within the main control's limits; 1 when it changed.
    int32_t ConstrainSize(PointT<int32_t>& size);

    int32_t ReleaseHook() override;

private:
    bool IsWindowActive() const;
    // The capture holder, or the control under the point, with the point in its coordinates.
    RCPtr<LControl> FindPointerTarget(const PointT<int32_t>& point, PointT<int32_t>& local);
    void HideToolTip();

    RCPtr<LRenderer> mRenderer;
    IWindowOSServices* mServices;
    RectT<int32_t> mScreenClientRect{0, 0, 1024, 768};
    RCPtr<LControl> mMainControl;
    RectRegion mDirtyRegion;
    bool mFullRedraw = false;
    uint32_t mDoubleClickBits = 0;
    RCPtr<LGlobalHotKeyManager> mHotKeyManager;
    RCPtr<LControl> mFocusHolder;
    RCPtr<LControl> mLastFocus;
    RCPtr<LControl> mHoverControl;
    RCPtr<LControl> mToolTipOwner;
    RCPtr<LControl> mCaptureHolder;
    bool mCloseRequested = false;
    int32_t mCloseResult = 0;
    WideString mTitle;
    bool mDistributorLinked = false;
};

} // namespace SV
