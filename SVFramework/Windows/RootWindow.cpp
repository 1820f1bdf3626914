#include "Windows/RootWindow.h"

#include "ControlBase/Control.h"
#include "ControlBase/ControlApplication.h"
#include "ControlBase/ControlFactory.h"
#include "ControlBase/KeyParam.h"
#include "Notification/Notification.h"
#include "Notification/NotificationNames.h"
#include "System/ModifierKeys.h"
#include "VirtualKeys.h"
#include "Windows/CursorNames.h"
#include "Windows/DialogControl.h"
#include "Windows/MouseParams.h"
#include "Windows/WindowApplication.h"
#include "Windows/WindowOSServices.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace SV {

namespace {

int32_t RoundSaturated(double v)
{
    return static_cast<int32_t>(std::clamp(std::round(v), double(INT32_MIN), double(INT32_MAX)));
}

PointT<int32_t> RoundedPositionInRoot(const LControl& control)
{
    const PointT<double> position = control.GetPositionInRoot();
    return {RoundSaturated(position.x), RoundSaturated(position.y)};
}

int32_t ButtonBit(int32_t button)
{
    switch (button) {
    case kButtonLeft:
        return 1;
    case kButtonMiddle:
        return 2;
    case kButtonRight:
        return 4;
    default:
        return 0;
    }
}

// The control whose tool tip shows for c: c itself, or for a control without a text of its own
// that uses its parent's, its parent's source.
RCPtr<LControl> ToolTipSource(const RCPtr<LControl>& control)
{
    RCPtr<LControl> source = control;
    while (source && source->GetToolTipText().IsEmpty() && source->UsesParentToolTip() &&
           source->GetParent()) {
        source = source->GetParent();
    }
    return source;
}

} // namespace

LRootWindow::LRootWindow(const RCPtr<LRenderer>& renderer, IWindowOSServices* services)
    : mRenderer(renderer), mServices(services)
{
    mHotKeyManager = CreateGlobalHotKeyManager(GetPostingReceiver());
    // The queue delivers through this root window: a link of our own, counted as internal so
    // that the release hook can break it.
    if (SetDistributor(ConstRCPtr<LNotificationDistributor>(
            static_cast<LNotificationDistributor*>(this))) == S_OK) {
        AddInternalRef();
        mDistributorLinked = true;
    }
}

LRootWindow::~LRootWindow()
{
    mDirtyRegion.Clear();
}

int32_t LRootWindow::ReleaseHook()
{
    const RCPtr<LRootWindow> keepAlive(this);
    UnregisterAllClients();
    mServices = nullptr;
    SetMainControlByName(WideString());
    Detach();
    if (mDistributorLinked) {
        mDistributorLinked = false;
        ReleaseInternalRef();
    }
    return (GetInternalRefCount() == 0 && GetRefCount() == 2) ? S_OK : E_FAIL;
}

bool LRootWindow::IsWindowActive() const
{
    return mServices != nullptr && mServices->IsActive();
}

void LRootWindow::HideToolTip()
{
    if (mToolTipOwner) {
        const RCPtr<LControl> owner = mToolTipOwner;
        owner->ShowToolTip(false);
    }
}

// Input.

RCPtr<LControl> LRootWindow::HitTest(const PointT<int32_t>& point, bool updateHover,
                                     PointT<int32_t>& localPoint)
{
    localPoint = {0, 0};
    if (!mMainControl) {
        return nullptr;
    }
    const RCPtr<LControl> main = mMainControl;
    const RectT<double>& rect = main->GetRect();
    const PointT<int32_t> inMain{RoundSaturated(double(point.x) - rect.x),
                                 RoundSaturated(double(point.y) - rect.y)};
    int32_t z = INT32_MIN;
    RCPtr<LControl> hit = main->HitTest(inMain, true, localPoint, z);
    if (updateHover) {
        SetHoverControl(hit);
    }
    return hit;
}

int32_t LRootWindow::SetHoverControl(const RCPtr<LControl>& control)
{
    RCPtr<LControl> target = control;
    if (mCaptureHolder && target.Get() != mCaptureHolder.Get()) {
        target = nullptr;
    }
    if (target.Get() == mHoverControl.Get()) {
        return S_OK;
    }
    RCPtr<LControl> tip;
    if (target && target.Get() != mCaptureHolder.Get()) {
        tip = ToolTipSource(target);
        if (tip && tip->GetToolTipText().IsEmpty()) {
            tip = nullptr;
        }
    }
    if (tip.Get() != mToolTipOwner.Get()) {
        const RCPtr<LControl> oldOwner = mToolTipOwner;
        if (oldOwner) {
            oldOwner->ShowToolTip(false);
        }
        mToolTipOwner = tip;
        if (tip) {
            tip->ShowToolTip(true);
        }
    }
    const RCPtr<LControl> oldHover = mHoverControl;
    if (oldHover && (oldHover->GetParent() || oldHover->GetRootWindowRef())) {
        oldHover->OnMouseLeave();
    }
    mHoverControl = target;
    if (target) {
        target->OnMouseEnter();
    }
    return S_OK;
}

RCPtr<LControl> LRootWindow::FindPointerTarget(const PointT<int32_t>& point, PointT<int32_t>& local)
{
    if (mCaptureHolder) {
        const RCPtr<LControl> holder = mCaptureHolder;
        const PointT<int32_t> origin = RoundedPositionInRoot(*holder);
        local = {point.x - origin.x, point.y - origin.y};
        return holder;
    }
    return HitTest(point, true, local);
}

void LRootWindow::OnMouseMove(const PointT<int32_t>& point, uint32_t modifiers, int32_t extraValue)
{
    if (!IsWindowActive()) {
        return;
    }
    const RCPtr<LRootWindow> keepAlive(this);
    if (mCaptureHolder) {
        PointT<int32_t> ignored;
        HitTest(point, true, ignored);
        if (const RCPtr<LControl> holder = mCaptureHolder) {
            const PointT<int32_t> origin = RoundedPositionInRoot(*holder);
            holder->OnMouseMove(CreatePointWithModifiersParam(
                {point.x - origin.x, point.y - origin.y}, modifiers, extraValue));
        }
        return;
    }
    PointT<int32_t> local;
    if (const RCPtr<LControl> target = HitTest(point, true, local)) {
        target->OnMouseMove(CreatePointWithModifiersParam(local, modifiers, extraValue));
    }
}

void LRootWindow::OnMouseButton(int32_t kind, int32_t button, uint32_t modifiers,
                                const PointT<int32_t>& point, int32_t extraValue)
{
    if (!IsWindowActive()) {
        return;
    }
    const RCPtr<LRootWindow> keepAlive(this);
    const PointT<int32_t> cursor = GetCursorPosition();
    if (cursor.x != point.x || cursor.y != point.y) {
        OnMouseMove(point, modifiers, extraValue);
    }
    HideToolTip();
    const int32_t buttons = GetMouseButtons();
    const int32_t bit = ButtonBit(button);
    PointT<int32_t> local;
    if (kind == kButtonRelease) {
        if (!mCaptureHolder || bit == 0) {
            return;
        }
        const RCPtr<LControl> holder = FindPointerTarget(point, local);
        const int32_t doubleClick = (mDoubleClickBits & uint32_t(bit)) != 0 ? 1 : 0;
        mDoubleClickBits &= ~uint32_t(bit);
        holder->OnMouseUp(
            CreateMouseButtonParam(button, local, modifiers, doubleClick, buttons, extraValue));
        return;
    }
    const RCPtr<LControl> target = FindPointerTarget(point, local);
    if (!target || bit == 0) {
        return;
    }
    int32_t doubleClick = 0;
    if (kind == kButtonPress) {
        mDoubleClickBits &= ~uint32_t(bit);
    } else {
        doubleClick = 1;
        mDoubleClickBits |= uint32_t(bit);
    }
    target->OnMouseDown(
        CreateMouseButtonParam(button, local, modifiers, doubleClick, buttons, extraValue));
}

void LRootWindow::OnMouseWheel(const PointT<int32_t>& point, uint32_t modifiers, int32_t direction)
{
    if (!IsWindowActive()) {
        return;
    }
    const RCPtr<LRootWindow> keepAlive(this);
    HideToolTip();
    PointT<int32_t> local;
    const RCPtr<LControl> target = FindPointerTarget(point, local);
    if (!target) {
        return;
    }
    // The payload stays in window coordinates: the routing hit-tests the window again with it.
    const RCPtr<LMouseWheelParam> event = CreateMouseWheelParam(point, modifiers, direction);
    if (target->OnMouseWheel(event) == S_FALSE && mFocusHolder) {
        const RCPtr<LControl> holder = mFocusHolder;
        holder->OnMouseWheel(event);
    }
}

void LRootWindow::OnKey(const ConstRCPtr<LKeyParam>& key)
{
    const RCPtr<LRootWindow> keepAlive(this);
    HideToolTip();
    if (const RCPtr<LControl> holder = mFocusHolder) {
        holder->OnKey(key);
    }
}

// Focus and capture.

void LRootWindow::SetFocusedControl(const RCPtr<LControl>& control)
{
    mFocusHolder = control;
}

void LRootWindow::ClearFocusedControl()
{
    if (mFocusHolder && mFocusHolder.Get() != mLastFocus.Get()) {
        mLastFocus = mFocusHolder;
    }
    mFocusHolder = nullptr;
}

void LRootWindow::OnFocusGained()
{
    const RCPtr<LRootWindow> keepAlive(this);
    if (!mFocusHolder && mLastFocus) {
        const RCPtr<LControl> top = mLastFocus->GetRootControl();
        if (top && top->GetRootWindowRef().Get() == this) {
            const RCPtr<LControl> last = mLastFocus;
            last->SetFocus(true);
            return;
        }
    }
    if (const RCPtr<LControl> main = mMainControl) {
        main->SetFocus(true);
    }
}

void LRootWindow::OnFocusLost()
{
    const RCPtr<LRootWindow> keepAlive(this);
    SetHoverControl(nullptr);
    if (const RCPtr<LControl> main = mMainControl) {
        main->SetFocus(true);
        main->OnFocusLost();
    }
}

int32_t LRootWindow::SetCaptureControl(const RCPtr<LControl>& control)
{
    if (!control) {
        return E_INVALIDARG;
    }
    if (const RCPtr<LControl> holder = mCaptureHolder) {
        holder->OnCaptureLost();
    }
    mCaptureHolder = control;
    return S_OK;
}

int32_t LRootWindow::ReleaseCaptureControl()
{
    mCaptureHolder = nullptr;
    return S_OK;
}

void LRootWindow::OnCaptureLost()
{
    if (const RCPtr<LControl> holder = mCaptureHolder) {
        holder->OnCaptureLost();
    }
}

void LRootWindow::OnResize(const PointT<int32_t>& size)
{
    if (const RCPtr<LControl> main = mMainControl) {
        main->OnLayoutRequest(size);
    }
}

void LRootWindow::TabToNextWindow(const ConstRCPtr<LKeyParam>& key)
{
    if (!key || !IsWindowActive() || mServices->IsModal()) {
        return;
    }
    const RCPtr<LRootWindow> keepAlive(this);
    const bool backwards = (key->mKey.GetCode() & KeyCode::kShift) != 0;
    const int32_t count =
        GetWindowApplication() != nullptr ? GetWindowApplication()->GetRootWindows().GetCount() : 0;
    if (count < 2) {
        if (const RCPtr<LControl> main = mMainControl) {
            main->OnFocusLost();
            main->SetFocus(!backwards);
        }
        return;
    }
    int32_t index = GetWindowApplication()->IndexOfRootWindow(this) + (backwards ? -1 : 1);
    if (index < 0) {
        index = count - 1;
    } else if (index >= count) {
        index = 0;
    }
    const RCPtr<IRootWindow> next = *GetWindowApplication()->GetRootWindows().At(index);
    IWindowOSServices* services = next ? next->GetWindowServices() : nullptr;
    if (services != nullptr && !services->IsActive()) {
        services->SetFocus();
    }
}

svp::HCURSOR LRootWindow::SetCursor(svp::HCURSOR cursor)
{
    if (mServices == nullptr) {
        return nullptr;
    }
    if (cursor == nullptr && GetWindowApplication() != nullptr) {
        cursor = GetWindowApplication()->GetCursor(WideString(u"UI_CURSOR_ARROW"));
    }
    return mServices->SetCursor(cursor);
}

void LRootWindow::NotifyTextInputFocus(bool gained, const LControl* control, int32_t extraValue)
{
    if (mServices == nullptr) {
        return;
    }
    if (!gained) {
        mServices->OnTextInputFocus(false, extraValue);
    } else if (control != nullptr && control == mFocusHolder.Get() && control->HasFocus()) {
        mServices->OnTextInputFocus(true, extraValue);
    }
}

// Queries.

uint32_t LRootWindow::GetModifierKeys()
{
    if (GetWindowApplication() == nullptr) {
        return 0;
    }
    uint32_t mask = 0;
    const std::pair<uint32_t, uint32_t> keys[] = {
        {VK_CONTROL, kModifierCtrl}, {VK_SHIFT, kModifierShift}, {VK_MENU, kModifierAlt}};
    for (const auto& [virtualKey, bit] : keys) {
        uint8_t down = 0;
        uint8_t toggled = 0;
        if (GetWindowApplication()->GetKeyState(virtualKey, down, toggled) >= 0 && down != 0) {
            mask |= bit;
        }
    }
    return mask;
}

int32_t LRootWindow::GetMouseButtons()
{
    if (mServices == nullptr) {
        return 0;
    }
    if (mServices->IsActive()) {
        return mServices->GetMouseButtons();
    }
    return GetWindowApplication() != nullptr ? GetWindowApplication()->GetMouseButtons() : 0;
}

PointT<int32_t> LRootWindow::GetCursorPosition()
{
    if (mServices == nullptr) {
        return {0, 0};
    }
    if (mServices->IsActive()) {
        return mServices->GetCursorPosition();
    }
    const PointT<int32_t> screen = GetWindowApplication() != nullptr
                                       ? GetWindowApplication()->GetCursorPosition()
                                       : PointT<int32_t>{};
    return mServices->ScreenToClient(screen);
}

RectT<int32_t> LRootWindow::GetScreenClientRect()
{
    if (mServices != nullptr) {
        RectT<int32_t> client{};
        if (mServices->GetClientRect(client) >= 0) {
            mScreenClientRect.width = client.width;
            mScreenClientRect.height = client.height;
        }
        const PointT<int32_t> origin = mServices->ClientToScreen({0, 0});
        mScreenClientRect.x = origin.x;
        mScreenClientRect.y = origin.y;
    }
    return mScreenClientRect;
}

PointT<double> LRootWindow::GetClientSize()
{
    const RectT<int32_t> client = GetScreenClientRect();
    return {double(client.width), double(client.height)};
}

void LRootWindow::SetWindowRect(const RectT<int32_t>& clientRect)
{
    if (mServices == nullptr) {
        mScreenClientRect = clientRect;
        return;
    }
    if (clientRect == GetScreenClientRect()) {
        return;
    }
    mServices->SetClientRect(clientRect);
    if (const RCPtr<LControl> main = mMainControl) {
        // The main control fills the client area: its whole area is the window's.
        const RectT<double>& rect = main->GetRect();
        Invalidate(RectT<int32_t>{0, 0, RoundSaturated(rect.width), RoundSaturated(rect.height)});
    }
}

void LRootWindow::SetTitle(const WideString& title)
{
    mTitle = title;
    if (mServices != nullptr) {
        mServices->SetTitle(title);
    }
}

// The main control.

int32_t LRootWindow::SetMainControl(const RCPtr<LControl>& control)
{
    const RCPtr<LRootWindow> keepAlive(this);
    mFocusHolder = nullptr;
    mLastFocus = nullptr;
    mHoverControl = nullptr;
    mCaptureHolder = nullptr;
    if (const RCPtr<LControl> old = mMainControl) {
        mMainControl = nullptr;
        ReleaseInternalRef();
        old->Detach();
        mHotKeyManager->GetTable().RemoveAll();
    }
    if (!control) {
        return S_OK;
    }
    mMainControl = control;
    if (const RCPtr<LStringTable>& table = control->GetStringTable()) {
        mHotKeyManager->GetTable().LoadFromStringTable(table, u"GHK");
    }
    if (!control->GetRootWindowRef()) {
        control->SetRootWindow(RCPtr<LRootWindow>(this));
    }
    // The main control always fills the client area; its references and docking stay.
    LayoutPositionSpec positions[2];
    LayoutSpec sizes[2];
    for (int32_t axis = 0; axis < 2; ++axis) {
        if (control->GetLayout()) {
            control->GetLayout()->GetAxisSpec(axis, positions[axis], sizes[axis]);
        }
        positions[axis].anchor = 0.0f;
        positions[axis].kind = kPositionToClient;
        positions[axis].relative = 0.0f;
        positions[axis].absolute = 0.0;
        sizes[axis].kind = kSizeToClient;
        sizes[axis].relative = 1.0f;
        sizes[axis].absolute = 0.0;
    }
    control->SetPlacement(positions[0], sizes[0], positions[1], sizes[1]);
    if (!mFocusHolder && mServices != nullptr) {
        if (mServices->HasFocus()) {
            control->SetFocus(true);
        } else {
            mServices->SetFocus();
        }
    }
    AddInternalRef();
    const RectT<int32_t> client = GetScreenClientRect();
    Invalidate(RectT<int32_t>{0, 0, client.width, client.height});
    return S_OK;
}

int32_t LRootWindow::SetMainControlByName(const WideString& name)
{
    RCPtr<LControl> control;
    if (!name.IsEmpty()) {
        IControlApplication* application = GetControlApplication();
        const RCPtr<LControlFactory> factory =
            application != nullptr ? application->GetControlFactory() : nullptr;
        if (factory) {
            control = factory->CreateRootControl(name, RCPtr<LRootWindow>(this));
        }
    }
    return SetMainControl(control);
}

int32_t LRootWindow::ReapplySkin(const LControlFactory& factory)
{
    if (!mMainControl) {
        return S_FALSE;
    }
    return factory.ReapplySkin(mMainControl);
}

// Close request and idle.

int32_t LRootWindow::RequestClose(int32_t result)
{
    if (mServices == nullptr) {
        return E_FAIL;
    }
    mCloseResult = result;
    mCloseRequested = true;
    return S_OK;
}

void LRootWindow::CloseWindow()
{
    // A dialog closed by its window's close box is cancelled: it may refuse, and its own close
    // request ends its modal loop at the next idle pass.
    if (const RCPtr<LControl> main = mMainControl) {
        if (auto* dialog = dynamic_cast<IDialogControl*>(main.Get())) {
            dialog->EndDialog(IDialogControl::kCancel);
            return;
        }
    }
    if (mServices != nullptr) {
        RequestClose(0);
    }
}

bool LRootWindow::OnIdle(bool first)
{
    const RCPtr<LRootWindow> keepAlive(this);
    const bool more = Process(first);
    if (mCloseRequested && mServices != nullptr) {
        mCloseRequested = false;
        mServices->EndModal(mCloseResult);
    }
    return more;
}

void LRootWindow::SendIdle()
{
    Notify(CreateNotification(kNidIdle));
}

} // namespace SV
