#include "Controls/ToolTip.h"

#include "ControlBase/ControlApplication.h"
#include "ControlBase/ControlCreator.h"
#include "ResultCodes.h"
#include "Windows/RootWindow.h"

#include <cmath>

namespace SV {

uint32_t LToolTip::sLastHideTime = 0;

namespace {

int32_t RoundToInt(double value)
{
    return static_cast<int32_t>(std::round(value));
}

} // namespace

LToolTip::LToolTip(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived)
    : LControl(parent, name, mostDerived)
{}

RCPtr<LControl> LToolTip::CreateControl(const RCPtr<LControl>& parent,
                                        const ConstRCPtr<LControlDescriptor>& descriptor)
{
    return CreateControlOf<LToolTip>(parent, descriptor);
}

uint32_t LToolTip::Now()
{
    IControlApplication* application = GetControlApplication();
    if (application == nullptr) {
        return 0;
    }
    const double milliseconds = std::round(application->GetTime() * 1000.0);
    return milliseconds > 0.0 ? static_cast<uint32_t>(static_cast<uint64_t>(milliseconds)) : 0;
}

bool LToolTip::IsTransparentAt(const PointT<int32_t>& /*point*/)
{
    return false;
}

int32_t LToolTip::ApplyProperties()
{
    // Showing a tip never moves the focus.
    SetFocusable(true);
    return S_OK;
}

int32_t LToolTip::FinishCreate()
{
    // A new tip starts hidden whatever the skin says; Show decides when it appears.
    SetVisible(false);
    return S_OK;
}

void LToolTip::Show()
{
    if (mParent) {
        if (const RCPtr<LRootWindow>& window = mParent->GetRootWindowRef()) {
            const RectT<int32_t> client = window->GetScreenClientRect();
            LayoutSpec minimum;
            LayoutSpec maximum;
            if (mLayout &&
                mLayout->GetAxisLimits(LLayoutDescriptor::kAxisX, minimum, maximum) >= 0) {
                maximum.kind = kLimitToSelf;
                maximum.reference = WideString();
                maximum.absolute = double(client.width) - kWindowMargin;
                SetSizeLimits(LLayoutDescriptor::kAxisX, minimum, maximum);
            }
        }
    }
    const uint32_t now = Now();
    mTimeStamp = now;
    if (now - sLastHideTime < kRecentHideMs) {
        ShowNow(now);
    } else {
        mState = kStatePending;
    }
    RequestIdle();
}

void LToolTip::ShowNow(uint32_t now)
{
    mState = kStateShown;
    mTimeStamp = now;
    PlaceNearPointer();
    SetVisible(true);
}

void LToolTip::OnIdle()
{
    const uint32_t now = Now();
    if (mState == kStatePending) {
        if (now - mTimeStamp > kShowDelayMs) {
            ShowNow(now);
        }
    } else if (mState == kStateShown) {
        if (now - mTimeStamp > kShowDurationMs) {
            Hide();
        }
    }
}

void LToolTip::Hide()
{
    const RCPtr<LControl> keepAlive(this);
    if (mState != kStateIdle) {
        mState = kStateIdle;
        ReleaseIdle();
    }
    // Only a tip that was really seen makes the next one show at once.
    if (mLayout && mLayout->visible && mRect.width > 0.0 && mRect.height > 0.0) {
        sLastHideTime = Now();
    }
    if (mParent && !mDismissed) {
        mDismissed = true;
        mParent->DetachChildLater(keepAlive);
    }
}

int32_t LToolTip::PlaceNearPointer()
{
    if (!mParent) {
        return S_OK;
    }
    const RCPtr<LRootWindow>& window = mParent->GetRootWindowRef();
    if (!window || !mLayout) {
        return S_OK;
    }
    const PointT<int32_t> pointer = window->GetCursorPosition();
    const PointT<double> parentInRoot = mParent->GetPositionInRoot();
    const PointT<double>& parentScroll = mParent->GetScrollOffset();
    const int32_t origin[2] = {RoundToInt(parentInRoot.x) - RoundToInt(parentScroll.x),
                               RoundToInt(parentInRoot.y) - RoundToInt(parentScroll.y)};
    const RectT<int32_t> client = window->GetScreenClientRect();
    const int32_t windowSize[2] = {client.width, client.height};
    const int32_t ownSize[2] = {RoundToInt(mRect.width), RoundToInt(mRect.height)};
    const int32_t pointerAt[2] = {pointer.x, pointer.y};
    for (int32_t axis = LLayoutDescriptor::kAxisX; axis <= LLayoutDescriptor::kAxisY; ++axis) {
        LayoutPositionSpec position;
        LayoutSpec size;
        if (mLayout->GetAxisSpec(axis, position, size) < 0) {
            continue;
        }
        double p =
            double(pointerAt[axis]) + (axis == LLayoutDescriptor::kAxisY ? kPointerGap : 0.0);
        if (p + ownSize[axis] > windowSize[axis]) {
            p = double(windowSize[axis] - ownSize[axis]);
        }
        if (p < 0.0) {
            p = 0.0;
        }
        position.kind = kPositionToParent;
        position.reference = WideString();
        position.relative = 0.0f;
        position.absolute = p - origin[axis];
        SetLayoutSpec(axis, position, size);
    }
    return S_OK;
}

} // namespace SV
