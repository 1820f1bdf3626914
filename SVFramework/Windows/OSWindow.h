// The native window behind every root window: a window of the display, made through the
// program's window system, whose messages it turns into root-window calls (pointer with the
// system capture it keeps while the pointer is over it, keys and characters, wheel steps, focus,
// size, move, paint and close). It makes the window's renderer and root window, keeps the 33 ms
// timer that wakes the idle pass, runs modal loops and saves the main window's placement when it
// goes. The object deletes itself when its window is closed or its modal loop ends.
#pragma once

#include "EventLoop.h"
#include "ObjectBase/RCPtr.h"
#include "Renderer/RenderContextInfo.h"
#include "Renderer/Renderer.h"
#include "WindowSystem.h"
#include "Windows/RootWindow.h"
#include "Windows/WindowOSServices.h"

#include <cstdint>
#include <string>

namespace SV {

class OSWindow : public IWindowOSServices
{
public:
    OSWindow(svp::WindowSystem& windows, svp::EventLoop& loop);
    OSWindow(const OSWindow&) = delete;
    OSWindow& operator=(const OSWindow&) = delete;

    // Makes the platform window; `owner` is the window a dialog stays above (and disables while
    // its modal loop runs). E_FAIL when the window system refuses.
    int32_t Create(const svp::WindowCreateParams& params, svp::HWND owner = nullptr);

    // The main window's start: a renderer of the type for the window, the 33 ms timer, then the
    // root window. E_FAIL without a platform window.
    int32_t InitRootWindow(int32_t rendererType);
    // A render context on the renderer for the window and a root window appended to the
    // application's list. Further windows share their parent's renderer and have no timer.
    int32_t CreateRootWindow(const RCPtr<LRenderer>& renderer);
    // Saves the main window's placement, then destroys the platform window. The object stays.
    void DestroyWindow();
    // What a close message does: DestroyWindow, then the object deletes itself.
    void Close();
    void SetVisible(bool visible);
    // Tells the display the smallest and largest client size the main control allows, so that a
    // window manager keeps the frame within them while the user drags it. Only for a window that
    // can change its size; a fixed window was made with its size as both limits.
    void OfferSizeLimits();
    // What a second start of the program does to the running one's window (see
    // svp::WindowSystem::BringForward).
    void BringForward();

    // One message of the window system, as the window receives it (public so that tests can
    // feed messages the display cannot be made to send).
    void HandleMessage(const svp::WindowMessage& message);
    // Keeps a proposed window rectangle (screen edges) within the main control's size limits;
    // the left and top edges never move.
    void ConstrainSizingRect(svp::ScreenRect& rect);
    // A command line another instance handed over: passed on to the application while the
    // window is enabled; false when it was dropped.
    bool OnForwardedCommandLine(const std::string& utf8);

    const RCPtr<LRootWindow>& GetRootWindow() const { return mRootWindow; }
    const RCPtr<LRenderContextInfo>& GetRenderContext() const { return mRenderContext; }
    svp::HWND GetOwner() const { return mOwner; }
    int32_t GetPressCount() const { return mPressCount; }
    bool IsCaptured() const { return mCaptured; }

    // The live native window of a platform window; null when there is none.
    static OSWindow* FromHandle(svp::HWND window);

    // IWindowOSServices.
    int32_t SetTitle(const WideString& title) override;
    int32_t Invalidate() override;
    int32_t InvalidateRect(const RectT<int32_t>& rect) override;
    int32_t GetClientRect(RectT<int32_t>& rect) override;
    PointT<int32_t> ScreenToClient(const PointT<int32_t>& point) override;
    PointT<int32_t> ClientToScreen(const PointT<int32_t>& point) override;
    int32_t SetClientRect(const RectT<int32_t>& rect) override;
    int32_t Show(int32_t showCommand) override;
    int32_t Redraw() override;
    int32_t BringToTop() override;
    int32_t SetTopMost(bool topMost) override;
    int32_t EndModal(int32_t result) override;
    int32_t RunModalLoop() override;
    bool IsModal() override { return mModal; }
    bool IsActive() override;
    bool HasFocus() override;
    int32_t SetFocus() override;
    svp::HCURSOR SetCursor(svp::HCURSOR cursor) override;
    PointT<int32_t> GetCursorPosition() override;
    int32_t GetMouseButtons() override;
    svp::HWND GetWindowHandle() override { return mHandle; }
    void OnTextInputFocus(bool gained, int32_t value) override;

private:
    // Only the window itself ends its life (closed, modal loop over, or a close request).
    ~OSWindow() override;

    bool IsMainRootWindow() const;
    bool IsKeyDown(uint32_t virtualKey) const;
    uint32_t PointerModifiers(uint32_t buttonFlags) const;
    uint32_t KeyModifiers(bool altHeld) const;
    bool IsInsideClient(int32_t x, int32_t y) const;

    void OnPaint(const svp::WindowMessage& message);
    void OnKey(const svp::WindowMessage& message, bool pressed, bool system);
    void OnCharacter(const svp::WindowMessage& message);
    void OnButtonDown(const svp::WindowMessage& message, int32_t button, int32_t kind);
    void OnButtonUp(const svp::WindowMessage& message, int32_t button);
    void OnMouseMove(const svp::WindowMessage& message);
    void OnWheel(const svp::WindowMessage& message, bool horizontal);
    void OnSize(const svp::WindowMessage& message);
    void OnMove();
    void OnSystemCommand(const svp::WindowMessage& message);
    void OnDestroyedElsewhere();
    void OnClose();
    void SavePlacement();
    bool KickIdle(int32_t count);

    svp::WindowSystem& mWindows;
    svp::EventLoop& mLoop;
    svp::HWND mHandle = nullptr;
    svp::HWND mOwner = nullptr;
    uint32_t mTimer = 0;

    RCPtr<LRootWindow> mRootWindow;
    RCPtr<LRenderer> mRenderer;
    RCPtr<LRenderContextInfo> mRenderContext;
    PointT<int32_t> mPointer;
    int32_t mButtons = 0;
    int32_t mPressCount = 0;
    int32_t mWheelVertical = 0;
    int32_t mWheelHorizontal = 0;
    bool mCaptured = false;
    bool mModal = false;
    bool mOutsideWorkArea = false;
    bool mFixedSize = false;
    bool mDestroyedElsewhere = false;
    int32_t mModalResult = 0;
};

} // namespace SV
