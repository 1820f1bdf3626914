#include "Windows/OSWindow.h"

#include "ControlBase/KeyParam.h"
#include "Notification/Notification.h"
#include "ResultCodes.h"
#include "System/KeyCode.h"
#include "System/ModifierKeys.h"
#include "VirtualKeys.h"
#include "WindowPlacement.h"
#include "Windows/WindowApplication.h"

#include <set>

namespace SV {

namespace {

constexpr uint32_t kIdleTimerMs = 33;
constexpr int32_t kShowHide = 0;
constexpr int32_t kStepDelta = 120;
// The result of a dialog closed without a choice (IDCANCEL).
constexpr int32_t kDialogCancelled = 2;

// The cursor shown last, one for every native window of the process.
svp::HCURSOR sCurrentCursor = nullptr;

std::set<OSWindow*>& LiveWindows()
{
    static std::set<OSWindow*> windows;
    return windows;
}

} // namespace

OSWindow::OSWindow(svp::WindowSystem& windows, svp::EventLoop& loop)
    : mWindows(windows), mLoop(loop)
{
    LiveWindows().insert(this);
}

OSWindow::~OSWindow()
{
    LiveWindows().erase(this);
    if (mTimer != 0) {
        mLoop.KillTimer(mTimer);
    }
    if (mHandle != nullptr) {
        mWindows.DestroyWindow(mHandle);
        mHandle = nullptr;
    }
    if (mRootWindow) {
        if (IWindowApplication* application = GetWindowApplication()) {
            application->RemoveRootWindow(RCPtr<IRootWindow>(mRootWindow.Get()));
        }
        // Whoever still holds the root window must not reach a window that is gone.
        mRootWindow->DetachServices();
    }
    mRenderContext = nullptr;
    mRenderer = nullptr;
    mRootWindow = nullptr;
}

OSWindow* OSWindow::FromHandle(svp::HWND window)
{
    if (window == nullptr) {
        return nullptr;
    }
    for (OSWindow* live : LiveWindows()) {
        if (live->mHandle == window) {
            return live;
        }
    }
    return nullptr;
}

int32_t OSWindow::Create(const svp::WindowCreateParams& params, svp::HWND owner)
{
    svp::WindowCreateParams withOwner = params;
    withOwner.owner = owner;
    mOwner = owner;
    mFixedSize = params.minWidth > 0 && params.minWidth == params.maxWidth &&
                 params.minHeight > 0 && params.minHeight == params.maxHeight;
    mHandle =
        mWindows.CreateWindow(withOwner, [this](svp::HWND, const svp::WindowMessage& message) {
            HandleMessage(message);
        });
    return mHandle != nullptr ? S_OK : E_FAIL;
}

int32_t OSWindow::InitRootWindow(int32_t rendererType)
{
    if (mHandle == nullptr) {
        return E_FAIL;
    }
    RectT<int32_t> client{};
    GetClientRect(client);
    const RCPtr<LRenderer> renderer = LRenderer::Create(rendererType, client, mHandle);
    // The timer has no work of its own: its ticks wake the loop so that the idle pass runs.
    mTimer = mLoop.SetTimer(kIdleTimerMs, [] {});
    return CreateRootWindow(renderer);
}

int32_t OSWindow::CreateRootWindow(const RCPtr<LRenderer>& renderer)
{
    mRenderer = renderer;
    RectT<int32_t> client{};
    GetClientRect(client);
    if (mRenderer) {
        mRenderer->InitRenderContextInfo(client, mHandle, 0, mRenderContext);
    }
    mRootWindow = RCPtr<LRootWindow>(new LRootWindow(mRenderer, this));
    if (IWindowApplication* application = GetWindowApplication()) {
        application->AddRootWindow(RCPtr<IRootWindow>(mRootWindow.Get()));
    }
    return S_OK;
}

bool OSWindow::IsMainRootWindow() const
{
    return mRootWindow && GetWindowApplication() != nullptr &&
           GetWindowApplication()->IndexOfRootWindow(mRootWindow.Get()) == 0;
}

void OSWindow::DestroyWindow()
{
    if (mHandle == nullptr) {
        return;
    }
    if (IsMainRootWindow() && mOwner == nullptr) {
        SavePlacement();
    }
    mWindows.DestroyWindow(mHandle);
    mHandle = nullptr;
}

void OSWindow::SavePlacement()
{
    const svp::ClientRect client = mWindows.GetClientRect(mHandle);
    svp::WindowPlacement placement;
    placement.showCommand = svp::SW_SHOWNORMAL;
    placement.left = client.x;
    placement.top = client.y;
    placement.right = client.x + client.width;
    placement.bottom = client.y + client.height;
    if (IWindowApplication* application = GetWindowApplication()) {
        application->SaveMainWindowPlacement(placement);
    }
}

void OSWindow::SetVisible(bool visible)
{
    if (mHandle != nullptr) {
        mWindows.Show(mHandle, visible);
    }
}

void OSWindow::OfferSizeLimits()
{
    if (mHandle == nullptr || !mRootWindow || mFixedSize) {
        return;
    }
    // The limits are what the window's own sizing makes of the smallest and the largest size.
    constexpr int32_t kLargest = 32767;
    PointT<int32_t> smallest{1, 1};
    PointT<int32_t> largest{kLargest, kLargest};
    mRootWindow->ConstrainSize(smallest);
    mRootWindow->ConstrainSize(largest);
    mWindows.SetSizeLimits(mHandle, smallest.x > 1 ? smallest.x : 0,
                           smallest.y > 1 ? smallest.y : 0, largest.x < kLargest ? largest.x : 0,
                           largest.y < kLargest ? largest.y : 0);
}

void OSWindow::BringForward()
{
    if (mHandle != nullptr) {
        mWindows.BringForward(mHandle);
    }
}

// Messages.

void OSWindow::HandleMessage(const svp::WindowMessage& message)
{
    switch (message.message) {
    case WM_PAINT:
        OnPaint(message);
        break;
    case WM_KEYDOWN:
    case WM_KEYUP:
        OnKey(message, message.message == WM_KEYDOWN, false);
        break;
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        OnKey(message, message.message == WM_SYSKEYDOWN, true);
        break;
    case WM_CHAR:
        OnCharacter(message);
        break;
    case WM_LBUTTONDOWN:
        OnButtonDown(message, kButtonLeft, kButtonPress);
        break;
    case WM_MBUTTONDOWN:
        OnButtonDown(message, kButtonMiddle, kButtonPress);
        break;
    case WM_RBUTTONDOWN:
        OnButtonDown(message, kButtonRight, kButtonPress);
        break;
    case WM_LBUTTONDBLCLK:
        OnButtonDown(message, kButtonLeft, kButtonDoubleClick);
        break;
    case WM_MBUTTONDBLCLK:
        OnButtonDown(message, kButtonMiddle, kButtonDoubleClick);
        break;
    case WM_RBUTTONDBLCLK:
        OnButtonDown(message, kButtonRight, kButtonDoubleClick);
        break;
    case WM_LBUTTONUP:
        OnButtonUp(message, kButtonLeft);
        break;
    case WM_MBUTTONUP:
        OnButtonUp(message, kButtonMiddle);
        break;
    case WM_RBUTTONUP:
        OnButtonUp(message, kButtonRight);
        break;
    case WM_SIZE:
        OnSize(message);
        break;
    case WM_MOVE:
        OnMove();
        break;
    case WM_CLOSE:
        OnClose();
        break;
    case WM_MOUSEMOVE:
        OnMouseMove(message);
        break;
    case WM_MOUSEWHEEL:
        OnWheel(message, false);
        break;
    case WM_MOUSEHWHEEL:
        OnWheel(message, true);
        break;
    case WM_CAPTURECHANGED:
        mPressCount = 0;
        mCaptured = false;
        if (mRootWindow) {
            mRootWindow->OnCaptureLost();
        }
        break;
    case WM_SETFOCUS:
        if (mRootWindow) {
            mRootWindow->OnFocusGained();
        }
        break;
    case WM_KILLFOCUS:
        mCaptured = false;
        if (mRootWindow) {
            mRootWindow->OnFocusLost();
        }
        break;
    case WM_SYSCOMMAND:
        OnSystemCommand(message);
        break;
    case WM_DESTROY:
        OnDestroyedElsewhere();
        break;
    default:
        break;
    }
}

void OSWindow::OnPaint(const svp::WindowMessage& message)
{
    if (!mRootWindow || !mRenderer || !mRenderContext) {
        return;
    }
    // The root window and its renderer stay while the paint runs, whatever a control does.
    const RCPtr<LRootWindow> rootWindow = mRootWindow;
    const RCPtr<LRenderer> renderer = mRenderer;
    const RCPtr<LRenderContextInfo> context = mRenderContext;
    RectRegion dirty;
    rootWindow->TakeDirtyRegion(dirty);
    RectRegion& presented = context->GetRegion();
    presented.Clear();
    presented.AppendRegion(dirty);
    if (message.width > 0 && message.height > 0) {
        presented.AddRect(
            {message.x, message.y, message.x + message.width, message.y + message.height});
    }
    renderer->RenderStart(context);
    // An area that only the display asked for is presented again from the kept picture; the
    // whole target at once is drawn whole.
    const RectT<int32_t>& target = context->GetTarget();
    RectRegion::Edges bounds;
    const bool whole = presented.Count() == 1 && presented.GetBounds(bounds) &&
                       bounds == RectRegion::Edges{target.x, target.y, target.x + target.width,
                                                   target.y + target.height};
    rootWindow->Paint(whole ? presented : dirty);
    renderer->RenderFinish(context);
}

bool OSWindow::IsKeyDown(uint32_t virtualKey) const
{
    return (mWindows.GetKeyState(virtualKey) & 0x8000) != 0;
}

uint32_t OSWindow::PointerModifiers(uint32_t buttonFlags) const
{
    uint32_t modifiers = 0;
    modifiers |= (buttonFlags & MK_CONTROL) != 0 ? kModifierCtrl : 0;
    modifiers |= (buttonFlags & MK_SHIFT) != 0 ? kModifierShift : 0;
    modifiers |= IsKeyDown(VK_MENU) ? kModifierAlt : 0;
    return modifiers;
}

uint32_t OSWindow::KeyModifiers(bool altHeld) const
{
    uint32_t modifiers = 0;
    if (IsKeyDown(VK_SHIFT)) {
        modifiers |= kModifierShift;
        modifiers |= IsKeyDown(VK_LSHIFT) ? kModifierLeftShift : 0;
        modifiers |= IsKeyDown(VK_RSHIFT) ? kModifierRightShift : 0;
    }
    if (IsKeyDown(VK_CONTROL)) {
        modifiers |= kModifierCtrl;
        modifiers |= IsKeyDown(VK_LCONTROL) ? kModifierLeftCtrl : 0;
        modifiers |= IsKeyDown(VK_RCONTROL) ? kModifierRightCtrl : 0;
    }
    if (IsKeyDown(VK_LWIN)) {
        modifiers |= kModifierWindows | kModifierLeftWindows;
    }
    if (IsKeyDown(VK_RWIN)) {
        modifiers |= kModifierWindows | kModifierRightWindows;
    }
    // Alt counts only with the message's context code, as the keyboard itself reports it.
    if (altHeld) {
        modifiers |= kModifierAlt;
        modifiers |= IsKeyDown(VK_LMENU) ? kModifierLeftAlt : 0;
        modifiers |= IsKeyDown(VK_RMENU) ? kModifierRightAlt : 0;
    }
    return modifiers;
}

void OSWindow::OnKey(const svp::WindowMessage& message, bool pressed, bool system)
{
    const uint32_t modifiers = KeyModifiers(message.altHeld);
    KeyCode key;
    if (message.key.code != 0) {
        const uint8_t previous = pressed ? (message.repeat ? 1 : 0) : 1;
        key = KeyCode(message.key.code, pressed, previous, modifiers);
    } else if (system || ((modifiers & kModifierCtrl) != 0 && (modifiers & kModifierAlt) != 0)) {
        key = KeyCode(char16_t(0), modifiers);
    } else {
        return;
    }
    if (mRootWindow) {
        const RCPtr<LRootWindow> rootWindow = mRootWindow;
        rootWindow->OnKey(CreateKeyParam(key, 1));
    }
    // Keys never reach the display's own handling: Alt+F4 closes nothing.
}

void OSWindow::OnCharacter(const svp::WindowMessage& message)
{
    if (IsKeyDown(VK_LWIN) || IsKeyDown(VK_RWIN)) {
        return;
    }
    uint32_t modifiers = 0;
    modifiers |= IsKeyDown(VK_SHIFT) ? kModifierShift : 0;
    modifiers |= IsKeyDown(VK_CONTROL) ? kModifierCtrl : 0;
    modifiers |= message.altHeld ? kModifierAlt : 0;
    if (mRootWindow) {
        const RCPtr<LRootWindow> rootWindow = mRootWindow;
        rootWindow->OnKey(CreateKeyParam(KeyCode(message.character, modifiers), 1));
    }
}

bool OSWindow::IsInsideClient(int32_t x, int32_t y) const
{
    const svp::ClientRect client = mWindows.GetClientRect(mHandle);
    return x >= 0 && y >= 0 && x < client.width && y < client.height;
}

void OSWindow::OnButtonDown(const svp::WindowMessage& message, int32_t button, int32_t kind)
{
    mPointer = {message.x, message.y};
    if (mRootWindow && !mRootWindow->GetFocusedControl()) {
        SetFocus();
    }
    mButtons |= button;
    if (!mRootWindow) {
        return;
    }
    if (mPressCount++ == 0 && !mCaptured) {
        mCaptured = true;
    }
    const RCPtr<LRootWindow> rootWindow = mRootWindow;
    rootWindow->OnMouseButton(kind, button, PointerModifiers(message.buttonFlags), mPointer, 0);
}

void OSWindow::OnButtonUp(const svp::WindowMessage& message, int32_t button)
{
    mButtons &= ~button;
    mPointer = {message.x, message.y};
    if (!mRootWindow) {
        return;
    }
    const RCPtr<LRootWindow> rootWindow = mRootWindow;
    const uint32_t modifiers = PointerModifiers(message.buttonFlags);
    if (!IsInsideClient(message.x, message.y) && mButtons == 0 && mPressCount != 0) {
        // Released outside with nothing else held: the capture ends with this release.
        mPressCount = 0;
        mCaptured = false;
        rootWindow->OnMouseButton(kButtonRelease, button, modifiers, mPointer, 0);
        return;
    }
    rootWindow->OnMouseButton(kButtonRelease, button, modifiers, mPointer, 0);
}

void OSWindow::OnMouseMove(const svp::WindowMessage& message)
{
    const bool inside = IsInsideClient(message.x, message.y);
    if (mCaptured) {
        if (mButtons == 0 && !inside) {
            mCaptured = false;
        }
    } else if (inside &&
               (HasFocus() || (mOwner != nullptr && mWindows.GetFocusWindow() == mOwner))) {
        mCaptured = true;
    }
    mPointer = {message.x, message.y};
    if (mRootWindow) {
        const RCPtr<LRootWindow> rootWindow = mRootWindow;
        rootWindow->OnMouseMove(mPointer, PointerModifiers(message.buttonFlags), 0);
    }
}

void OSWindow::OnWheel(const svp::WindowMessage& message, bool horizontal)
{
    int32_t& accumulator = horizontal ? mWheelHorizontal : mWheelVertical;
    accumulator += message.wheelDelta;
    bool stepped = false;
    int32_t direction = 0;
    if (accumulator >= kStepDelta) {
        while (accumulator >= kStepDelta) {
            accumulator -= kStepDelta;
        }
        stepped = true;
        direction = horizontal ? kWheelRight : kWheelForward;
    } else if (accumulator <= -kStepDelta) {
        while (accumulator <= -kStepDelta) {
            accumulator += kStepDelta;
        }
        stepped = true;
        direction = horizontal ? kWheelLeft : kWheelBackward;
    }
    if (!stepped) {
        return;
    }
    // However many steps the message held, it passes on one event.
    mPointer = ScreenToClient({message.x, message.y});
    if (mRootWindow) {
        const RCPtr<LRootWindow> rootWindow = mRootWindow;
        rootWindow->OnMouseWheel(mPointer, PointerModifiers(message.buttonFlags), direction);
    }
}

void OSWindow::OnSize(const svp::WindowMessage& message)
{
    if (!mRootWindow) {
        return;
    }
    if (message.sizeType == SIZE_RESTORED || message.sizeType == SIZE_MAXIMIZED) {
        mRootWindow->OnResize({message.width, message.height});
        mRootWindow->SetFullRedraw();
    }
    if (mRenderContext) {
        mRenderContext->SetTarget({0, 0, message.width, message.height});
    }
}

void OSWindow::OnMove()
{
    if (!mRootWindow || GetWindowApplication() == nullptr) {
        return;
    }
    if (mOutsideWorkArea) {
        mRootWindow->SetFullRedraw();
        mOutsideWorkArea = false;
    }
    const svp::ClientRect client = mWindows.GetClientRect(mHandle);
    const RectT<int32_t> work = GetWindowApplication()->GetWorkArea();
    mOutsideWorkArea = client.x < work.x || client.y < work.y ||
                       client.x + client.width > work.x + work.width ||
                       client.y + client.height > work.y + work.height;
}

void OSWindow::OnSystemCommand(const svp::WindowMessage& message)
{
    if (message.command != SC_CLOSE || !mRootWindow) {
        return;
    }
    if (IsMainRootWindow()) {
        // The main window closes only when the application has agreed to exit.
        GetWindowApplication()->PostExitRequest();
        return;
    }
    mRootWindow->CloseWindow();
}

void OSWindow::OnDestroyedElsewhere()
{
    mDestroyedElsewhere = true;
    if (mModal) {
        // The dialog ends as if cancelled, and its owner comes back to life.
        EndModal(kDialogCancelled);
        return;
    }
    // Any other window goes the way its close box would take it.
    svp::WindowMessage close;
    close.message = WM_SYSCOMMAND;
    close.command = SC_CLOSE;
    OnSystemCommand(close);
}

void OSWindow::Close()
{
    OnClose();
}

void OSWindow::OnClose()
{
    DestroyWindow();
    delete this;
}

void OSWindow::ConstrainSizingRect(svp::ScreenRect& rect)
{
    if (!mRootWindow) {
        return;
    }
    // The display draws no frame of ours: the window rectangle is the client rectangle.
    PointT<int32_t> size{rect.right - rect.left, rect.bottom - rect.top};
    if (mRootWindow->ConstrainSize(size) != 0) {
        rect.right = rect.left + size.x;
        rect.bottom = rect.top + size.y;
    }
}

bool OSWindow::OnForwardedCommandLine(const std::string& utf8)
{
    if (mHandle == nullptr || !mWindows.IsEnabled(mHandle) || GetWindowApplication() == nullptr) {
        return false;
    }
    WideString commandLine;
    if (commandLine.AssignUtf8(utf8.data(), static_cast<int32_t>(utf8.size())) < 0) {
        return false;
    }
    GetWindowApplication()->OnForwardedCommandLine(commandLine);
    return true;
}

// Window services.

int32_t OSWindow::SetTitle(const WideString& title)
{
    if (mHandle == nullptr) {
        return E_FAIL;
    }
    mWindows.SetTitle(mHandle, title.ToNarrow().GetText());
    return S_OK;
}

int32_t OSWindow::Invalidate()
{
    if (mHandle != nullptr) {
        const svp::ClientRect client = mWindows.GetClientRect(mHandle);
        mWindows.InvalidateRect(mHandle, 0, 0, client.width, client.height);
    }
    return S_OK;
}

int32_t OSWindow::InvalidateRect(const RectT<int32_t>& rect)
{
    if (mHandle != nullptr) {
        mWindows.InvalidateRect(mHandle, rect.x, rect.y, rect.width, rect.height);
    }
    return S_OK;
}

int32_t OSWindow::GetClientRect(RectT<int32_t>& rect)
{
    if (mHandle == nullptr) {
        return S_OK;
    }
    const svp::ClientRect client = mWindows.GetClientRect(mHandle);
    if (client.width >= 0 && client.height >= 0) {
        rect = {0, 0, client.width, client.height};
    }
    return S_OK;
}

PointT<int32_t> OSWindow::ScreenToClient(const PointT<int32_t>& point)
{
    if (mHandle == nullptr) {
        return point;
    }
    const svp::ClientRect client = mWindows.GetClientRect(mHandle);
    return {point.x - client.x, point.y - client.y};
}

PointT<int32_t> OSWindow::ClientToScreen(const PointT<int32_t>& point)
{
    if (mHandle == nullptr) {
        return point;
    }
    const svp::ClientRect client = mWindows.GetClientRect(mHandle);
    return {point.x + client.x, point.y + client.y};
}

int32_t OSWindow::SetClientRect(const RectT<int32_t>& rect)
{
    if (mHandle != nullptr) {
        mWindows.SetClientRect(mHandle, {rect.x, rect.y, rect.width, rect.height});
    }
    return S_OK;
}

int32_t OSWindow::Show(int32_t showCommand)
{
    if (mHandle == nullptr) {
        return 0;
    }
    const bool wasVisible = mWindows.IsVisible(mHandle);
    mWindows.Show(mHandle, showCommand != kShowHide);
    return wasVisible ? 1 : 0;
}

int32_t OSWindow::Redraw()
{
    if (mHandle == nullptr) {
        return E_FAIL;
    }
    Invalidate();
    mWindows.UpdateNow(mHandle, true);
    return S_OK;
}

int32_t OSWindow::BringToTop()
{
    if (mHandle == nullptr) {
        return E_FAIL;
    }
    mWindows.Raise(mHandle);
    return S_OK;
}

int32_t OSWindow::SetTopMost(bool topMost)
{
    if (mHandle == nullptr) {
        return E_FAIL;
    }
    // The window system keeps no band of its own above the others: a window asked to stay on
    // top is raised above them now.
    if (topMost) {
        mWindows.Raise(mHandle);
    }
    return S_OK;
}

int32_t OSWindow::EndModal(int32_t result)
{
    if (mModal) {
        mModalResult = result;
        mModal = false;
        return S_OK;
    }
    DestroyWindow();
    delete this;
    return S_OK;
}

bool OSWindow::KickIdle(int32_t count)
{
    if (GetWindowApplication() == nullptr) {
        return false;
    }
    return GetWindowApplication()->IdlePass(count == 0) && count < 2;
}

int32_t OSWindow::RunModalLoop()
{
    mModal = true;
    bool parentDisabled = false;
    if (mOwner != nullptr && mWindows.IsEnabled(mOwner)) {
        mWindows.Enable(mOwner, false);
        parentDisabled = true;
    }
    if (mHandle != nullptr) {
        mWindows.Enable(mHandle, true);
        if (!mWindows.IsVisible(mHandle)) {
            mWindows.Show(mHandle, true);
            SetFocus();
        }
    }
    const std::optional<int32_t> quit = mLoop.Run([this](int32_t count) { return KickIdle(count); },
                                                  [this] { return mModal; }, true);
    if (quit) {
        // The quit request was posted again for the outer loop, which ends the program.
        if (parentDisabled) {
            mWindows.Enable(mOwner, true);
        }
        return -1;
    }
    if (parentDisabled) {
        mWindows.Enable(mOwner, true);
    }
    if (mOwner != nullptr && (HasFocus() || mDestroyedElsewhere)) {
        mWindows.SetFocus(mOwner);
    }
    DestroyWindow();
    const int32_t result = mModalResult;
    delete this;
    return result;
}

bool OSWindow::IsActive()
{
    const svp::HWND focus = mWindows.GetFocusWindow();
    if (mHandle != nullptr && focus == mHandle) {
        return true;
    }
    // The main window has no owner: it also counts as active while no window of the program
    // has the focus (another program is in front).
    return IsMainRootWindow() && focus == mOwner;
}

bool OSWindow::HasFocus()
{
    return mHandle != nullptr && mWindows.GetFocusWindow() == mHandle;
}

int32_t OSWindow::SetFocus()
{
    if (mHandle == nullptr) {
        return E_FAIL;
    }
    mWindows.SetFocus(mHandle);
    return S_OK;
}

svp::HCURSOR OSWindow::SetCursor(svp::HCURSOR cursor)
{
    const svp::HCURSOR previous = sCurrentCursor;
    if (cursor != sCurrentCursor) {
        if (mHandle != nullptr) {
            mWindows.SetWindowCursor(mHandle, cursor);
        }
        sCurrentCursor = cursor;
    }
    return previous;
}

PointT<int32_t> OSWindow::GetCursorPosition()
{
    if (mCaptured || mHandle == nullptr) {
        return mPointer;
    }
    PointT<int32_t> screen;
    if (mWindows.GetPointerPosition(screen.x, screen.y)) {
        mPointer = ScreenToClient(screen);
    }
    return mPointer;
}

int32_t OSWindow::GetMouseButtons()
{
    if (mCaptured) {
        return mButtons;
    }
    mButtons = (IsKeyDown(VK_LBUTTON) ? kButtonLeft : 0) |
               (IsKeyDown(VK_MBUTTON) ? kButtonMiddle : 0) |
               (IsKeyDown(VK_RBUTTON) ? kButtonRight : 0);
    return mButtons;
}

void OSWindow::OnTextInputFocus(bool, int32_t)
{}

} // namespace SV
