#include "Controls/Slider.h"

#include "ControlBase/ControlApplication.h"
#include "ControlBase/ControlCreator.h"
#include "ControlBase/ControlFactory.h"
#include "ControlBase/KeyParam.h"
#include "Controls/Button.h"
#include "Notification/Notification.h"
#include "Notification/NotificationNames.h"
#include "ObjectBase/Exception.h"
#include "ObjectBase/Holder.h"
#include "ResultCodes.h"
#include "Windows/MouseParams.h"
#include "Windows/RootWindow.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace SV {

namespace {

constexpr double kCoordinateLimit = 4503599627370496.0; // 2^52

[[noreturn]] void ThrowMissingChild(const char* child, int line)
{
    throw Exception<std::runtime_error>(
        std::string("Runtime Error : Null Pointer : Can not find "
                    "child ") +
        child + " : SV::LSlider::Initialize : Controls\\Slider : Line " + std::to_string(line));
}

double Now()
{
    IControlApplication* application = GetControlApplication();
    return application ? application->GetTime() : 0.0;
}

PointT<double> RoundedTopLeft(const LControl& control)
{
    return {RoundHalf(control.GetRect().x), RoundHalf(control.GetRect().y)};
}

double Distance(const PointT<double>& a, const PointT<double>& b)
{
    return std::hypot(b.x - a.x, b.y - a.y);
}

RCPtr<LHolder<bool>> CaptureFlag(bool captured)
{
    return RCPtr<LHolder<bool>>(new LHolder<bool>(captured));
}

} // namespace

LSlider::LSlider(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived)
    : LPanel(parent, name, mostDerived)
{}

LSlider::~LSlider()
{}

RCPtr<LControl> LSlider::CreateControl(const RCPtr<LControl>& parent,
                                       const ConstRCPtr<LControlDescriptor>& descriptor)
{
    return CreateControlOf<LSlider>(parent, descriptor);
}

// Creation -------------------------------------------------------------------------------------

int32_t LSlider::Initialize()
{
    if (LPanel::Initialize() < 0) {
        return E_FAIL;
    }
    mHandler.Create();
    mEndMarker = FindChildControl(u"thumbEnd");
    mStartMarker = FindChildControl(u"thumbStart");
    if (!mStartMarker) {
        ThrowMissingChild("thumbStart", __LINE__);
    }
    if (!mEndMarker) {
        ThrowMissingChild("thumbEnd", __LINE__);
    }
    IControlApplication* application = GetControlApplication();
    const RCPtr<LControlFactory> factory = application ? application->GetControlFactory() : nullptr;
    const RCPtr<LControlDescriptor> descriptor = MakeThumbDescriptor();
    if (factory && descriptor) {
        mThumb = factory->CreateControl(RCPtr<LControl>(this), descriptor);
    }
    if (mThumb) {
        mThumb->SetVisible(true);
        const RCPtr<LNotificationDistributor> thumb(mThumb);
        mHandler->RegisterHandler(&LSlider::OnThumbMouseMove, thumb, kNidMouseMove);
        mHandler->RegisterHandler(&LSlider::OnThumbDragCondition, thumb,
                                  kNidLeftDragConditionChange);
        if (auto* button = dynamic_cast<LButton*>(mThumb.Get())) {
            button->SetKeepPressed(true);
        }
    }
    EndResize();
    SetValueRange(0.0, 127.0, 0);
    // A press on the track is a drag at once: paging starts with the press.
    SetDragThreshold(0);
    return S_OK;
}

RCPtr<LControlDescriptor> LSlider::MakeThumbDescriptor() const
{
    if (!mStartMarker || !mStartMarker->GetControlDescriptor()) {
        return nullptr;
    }
    const ConstRCPtr<LControlDescriptor>& marker = mStartMarker->GetControlDescriptor();
    const RCPtr<LLayoutDescriptor> layout = marker->GetLayout()
                                                ? marker->GetLayout()->Clone()
                                                : RCPtr<LLayoutDescriptor>(new LLayoutDescriptor());
    // The thumb is placed by its absolute position alone and keeps the marker's laid-out size.
    const RectT<double>& markerRect = mStartMarker->GetRect();
    for (int32_t axis = 0; axis < 2; ++axis) {
        LLayoutDescriptor::Axis& placement = layout->axes[axis];
        placement.docked = false;
        placement.anchor = 0.0f;
        placement.position = LayoutSpec{kPositionToClient, WideString(), 0.0f, 0.0};
        placement.size = LayoutSpec{kSizeToSelf, WideString(), 0.0f,
                                    axis == 0 ? markerRect.width : markerRect.height};
    }
    layout->visible = true;
    IControlApplication* application = GetControlApplication();
    const RCPtr<LControlFactory> factory = application ? application->GetControlFactory() : nullptr;
    if (factory) {
        return factory->CloneDescriptor(marker, layout, WideString(u"thumb"));
    }
    const RCPtr<LControlDescriptor> copy = marker->Clone();
    copy->SetName(u"thumb");
    copy->SetLayout(layout);
    return copy;
}

int32_t LSlider::AttachChild(const RCPtr<LControl>& child,
                             const ConstRCPtr<LControlDescriptor>& descriptor)
{
    if (descriptor || !child) {
        return LPanel::AttachChild(child, descriptor);
    }
    if (child->GetName() != WideString(u"thumb")) {
        return E_FAIL;
    }
    const RCPtr<LControlDescriptor> thumbDescriptor = MakeThumbDescriptor();
    if (!thumbDescriptor) {
        return E_FAIL;
    }
    const int32_t result = LPanel::AttachChild(child, thumbDescriptor);
    child->SetVisible(true);
    return result;
}

int32_t LSlider::FinishCreate()
{
    LPanel::FinishCreate();
    if (mStartMarker) {
        mStartMarker->SetVisible(false);
        const RectT<double>& rect = mStartMarker->GetRect();
        mHotSpot = {static_cast<int32_t>(RoundHalf(rect.width / 2)),
                    static_cast<int32_t>(RoundHalf(rect.height / 2))};
        // A marker anchored on an axis aims with its anchor point instead of its middle.
        if (const RCPtr<LLayoutDescriptor>& layout = mStartMarker->GetLayout()) {
            if (layout->axes[0].anchor != 0.0f) {
                mHotSpot.x = static_cast<int32_t>(RoundHalf(layout->axes[0].anchor * rect.width));
            }
            if (layout->axes[1].anchor != 0.0f) {
                mHotSpot.y = static_cast<int32_t>(RoundHalf(layout->axes[1].anchor * rect.height));
            }
        }
    }
    if (mEndMarker) {
        mEndMarker->SetVisible(false);
    }
    UpdateThumb();
    return S_OK;
}

int32_t LSlider::ReleaseHook()
{
    // The parts hold the slider as their parent.
    mThumb = nullptr;
    mStartMarker = nullptr;
    mEndMarker = nullptr;
    return LPanel::ReleaseHook();
}

void LSlider::EndResize()
{
    LPanel::EndResize();
    if (!mThumb) {
        mThumb = FindChildControl(u"thumb");
    }
    UpdateThumb();
}

// Geometry -------------------------------------------------------------------------------------

PointT<double> LSlider::Start() const
{
    return mStartMarker ? RoundedTopLeft(*mStartMarker) : PointT<double>{};
}

PointT<double> LSlider::End() const
{
    return mEndMarker ? RoundedTopLeft(*mEndMarker) : PointT<double>{};
}

PointT<double> LSlider::ThumbPosition() const
{
    return mThumb ? RoundedTopLeft(*mThumb) : PointT<double>{};
}

double LSlider::GetTrackLength() const
{
    if (!mStartMarker || !mEndMarker) {
        return 0.0;
    }
    const RectT<double>& s = mStartMarker->GetRect();
    const RectT<double>& e = mEndMarker->GetRect();
    return std::hypot(e.x - s.x, e.y - s.y);
}

void LSlider::UpdateThumb()
{
    if (mDragging || !mThumb || !mStartMarker || !mEndMarker) {
        return;
    }
    const double v = GetNormalizedValue();
    const PointT<double> s = Start();
    const PointT<double> e = End();
    const PointT<double> position{s.x + RoundHalf((e.x - s.x) * v),
                                  s.y + RoundHalf((e.y - s.y) * v)};
    const PointT<double> current = ThumbPosition();
    if (position.x != current.x || position.y != current.y) {
        SetThumbPosition(position);
    }
}

void LSlider::SetThumbPosition(const PointT<double>& position)
{
    if (!mThumb || !mThumb->GetLayout()) {
        return;
    }
    for (int32_t axis = 0; axis < 2; ++axis) {
        LayoutPositionSpec place;
        LayoutSpec size;
        mThumb->GetLayout()->GetAxisSpec(axis, place, size);
        place.absolute = axis == 0 ? position.x : position.y;
        mThumb->SetLayoutSpec(axis, place, size);
    }
}

PointT<double> LSlider::ProjectOntoTrack(const PointT<double>& point) const
{
    const PointT<double> s = Start();
    const PointT<double> e = End();
    const PointT<double> thumb = ThumbPosition();
    PointT<double> result;
    if (e.x == s.x) {
        result = {thumb.x, point.y};
    } else if (e.y == s.y) {
        result = {point.x, thumb.y};
    } else {
        // The foot of the perpendicular from the point onto the track's line, in single
        // precision as the track was always measured.
        const float m = static_cast<float>((e.y - s.y) / (e.x - s.x));
        const float b = static_cast<float>(s.y) - static_cast<float>(s.x) * m;
        const float px = static_cast<float>(point.x);
        const float py = static_cast<float>(point.y);
        const float x = ((py - px * (-1.0f / m)) - b) / (m + 1.0f / m);
        const float y = x * m + b;
        result = {std::round(static_cast<double>(x)), std::round(static_cast<double>(y))};
    }
    result.x = std::clamp(result.x, std::min(s.x, e.x), std::max(s.x, e.x));
    result.y = std::clamp(result.y, std::min(s.y, e.y), std::max(s.y, e.y));
    return result;
}

// Value ----------------------------------------------------------------------------------------

double LSlider::SetNormalizedValue(double value)
{
    if (mDragging) {
        mPendingValue = value;
        return GetNormalizedValue();
    }
    const double result = LPanel::SetNormalizedValue(value);
    UpdateThumb();
    return result;
}

void LSlider::SetValueFromThumb()
{
    const double length = GetTrackLength();
    // Markers that coincide leave no track to measure a position along.
    if (length <= 0.0 || !mThumb) {
        return;
    }
    LPanel::SetNormalizedValue(Distance(Start(), ThumbPosition()) / length);
    UpdateThumb();
}

void LSlider::StepBy(double units)
{
    SetNormalizedValue(ValueToNormalized(NormalizedToValue(GetNormalizedValue()) + units));
}

// Thumb drag -----------------------------------------------------------------------------------

int32_t LSlider::OnThumbDragCondition(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                                      const ConstRCPtr<LNotification>& notification)
{
    const auto* conditions = dynamic_cast<const LConditionsParam*>(
        notification ? notification->GetPayload().Get() : nullptr);
    if (conditions == nullptr || !mThumb) {
        return 1;
    }
    const bool before = (conditions->mOldMask & kConditionLeftDragging) != 0;
    const bool after = (conditions->mNewMask & kConditionLeftDragging) != 0;
    const RCPtr<LSlider> keepAlive(this);
    if (after && !before) {
        mDragging = true;
        // The press point is in the slider's coordinates, as the thumb's position is.
        const RectT<double>& rect = mThumb->GetRect();
        mGrabOffset = {static_cast<int32_t>(RoundHalf(conditions->mPoint.x - rect.x)),
                       static_cast<int32_t>(RoundHalf(conditions->mPoint.y - rect.y))};
        mPendingValue = -1.0;
        SendNotification(kNidValueChangeCapture, CaptureFlag(true));
    } else if (before && !after) {
        mDragging = false;
        if (mApplyPendingOnRelease && mPendingValue >= 0.0 && mPendingValue <= 1.0) {
            LPanel::SetNormalizedValue(mPendingValue);
            UpdateThumb();
        }
        mPendingValue = -1.0;
        SendNotification(kNidValueChangeCapture, CaptureFlag(false));
    }
    return 1;
}

int32_t LSlider::OnThumbMouseMove(const ConstRCPtr<LNotificationDistributor>& sender,
                                  const ConstRCPtr<LNotification>& notification)
{
    if (!mDragging || !mThumb ||
        sender.Get() != static_cast<LNotificationDistributor*>(mThumb.Get())) {
        return 1;
    }
    const auto* event = dynamic_cast<const LPointWithModifiersParam*>(
        notification ? notification->GetPayload().Get() : nullptr);
    if (event == nullptr) {
        return 1;
    }
    const RectT<double>& rect = mThumb->GetRect();
    const PointT<double> wanted{event->mX + rect.x - mGrabOffset.x,
                                event->mY + rect.y - mGrabOffset.y};
    const PointT<double> projected = ProjectOntoTrack(wanted);
    const PointT<double> current = ThumbPosition();
    if (projected.x != current.x || projected.y != current.y) {
        SetThumbPosition(projected);
        SetValueFromThumb();
    }
    return 1;
}

// Paging ---------------------------------------------------------------------------------------

void LSlider::PageTowards(const PointT<double>& point)
{
    const double length = GetTrackLength();
    if (length <= 0.0 || !mThumb) {
        return;
    }
    const PointT<double> s = Start();
    const PointT<double> target{point.x - mHotSpot.x, point.y - mHotSpot.y};
    const double thumbDistance = RoundHalf(Distance(s, ThumbPosition()));
    const double targetDistance = RoundHalf(Distance(s, target));
    const double r = Distance(s, target) / length;
    const double value = GetNormalizedValue();
    const double next = targetDistance >= thumbDistance ? std::min(r, value + mPageStep)
                                                        : std::max(r, value - mPageStep);
    LPanel::SetNormalizedValue(next);
    UpdateThumb();
}

void LSlider::BeforeLeftClick(const ConstRCPtr<LMouseButtonParam>& event)
{
    LPanel::BeforeLeftClick(event);
    if (!event) {
        return;
    }
    // The click is in the slider's own coordinates; the markers lie in its client area.
    const RectT<double> client = GetLookRect(-1);
    PageTowards({event->mX - client.x + mScrollOffset.x, event->mY - client.y + mScrollOffset.y});
}

void LSlider::StartPaging()
{
    mPaging = true;
    RequestIdle();
    mLastPageTick = Now();
    mPageCountdown = kFirstPageDelay;
}

void LSlider::StopPaging()
{
    mPaging = false;
    ReleaseIdle();
}

bool LSlider::IsPointerOverForPaging() const
{
    return IsPointerOver() || (ComputeConditions() & kConditionHover) != 0;
}

PointT<double> LSlider::PointerPosition() const
{
    const RCPtr<LRootWindow>& window = GetRootWindowRef();
    if (!window) {
        return {};
    }
    const PointT<int32_t> cursor = window->GetCursorPosition();
    PointT<double> point{std::clamp(double(cursor.x), -kCoordinateLimit, kCoordinateLimit),
                         std::clamp(double(cursor.y), -kCoordinateLimit, kCoordinateLimit)};
    const LControl* top = window->GetMainControl().Get();
    if (top == nullptr) {
        return point;
    }
    OffsetToControl(*top, point);
    const RectT<double> client = GetLookRect(-1);
    return {point.x - client.x + mScrollOffset.x, point.y - client.y + mScrollOffset.y};
}

void LSlider::OnIdle()
{
    LPanel::OnIdle();
    if (!mPaging || !IsPointerOverForPaging() || !IsEnabled(true)) {
        return;
    }
    const RCPtr<LSlider> keepAlive(this);
    const double now = Now();
    mPageCountdown -= now - mLastPageTick;
    mLastPageTick = now;
    if (mPageCountdown <= 0.0) {
        mPageCountdown = kPageInterval;
        PageTowards(PointerPosition());
    }
}

void LSlider::OnConditionsChanged(const RCPtr<LConditionsParam>& conditions)
{
    LPanel::OnConditionsChanged(conditions);
    if (!conditions) {
        return;
    }
    const RCPtr<LSlider> keepAlive(this);
    const uint32_t before = conditions->mOldMask;
    const uint32_t after = conditions->mNewMask;
    const auto began = [&](uint32_t bits) { return (after & bits) != 0 && (before & bits) == 0; };
    const auto ended = [&](uint32_t bits) { return (after & bits) == 0 && (before & bits) != 0; };
    // The focus is within the slider when it holds it itself or one of its parts (the thumb)
    // does.
    constexpr uint32_t kFocusWithin = kConditionHasFocus | kConditionContainsFocus;

    if (began(kConditionLeftDragging)) {
        if (IsEnabled(true) && !mPaging) {
            StartPaging();
        }
    } else if (ended(kConditionLeftDragging) && mPaging) {
        StopPaging();
    } else if (ended(kFocusWithin)) {
        if (mKeyHeld) {
            mKeyHeld = false;
            SendNotification(kNidValueChangeKeyUp);
        }
        ShowLook(IsEnabled(true) ? kLookNormal : kLookDisabled);
    } else if (began(kFocusWithin)) {
        ShowLook(kLookFocused);
    } else if (((before ^ after) & kConditionEnabled) != 0) {
        if ((after & kConditionEnabled) != 0) {
            ShowLook((after & kFocusWithin) != 0 ? kLookFocused : kLookNormal);
        } else {
            ShowLook(kLookDisabled);
        }
    }
}

// Keys and wheel -------------------------------------------------------------------------------

int32_t LSlider::UseKey(const ConstRCPtr<LKeyParam>& key)
{
    if (!key) {
        return 1;
    }
    const uint32_t code = key->mKey.GetCode();
    const uint32_t virtualKey = key->mKey.GetVirtualKey();
    if ((code & (KeyCode::kKeyDown | KeyCode::kNoKey)) == 0 && IsArrowKey(virtualKey)) {
        mKeyHeld = false;
        SendNotification(kNidValueChangeKeyUp, key);
        return 0;
    }
    double step = 0.0;
    if (code == PressedVirtualKey(VK_UP) || code == PressedVirtualKey(VK_RIGHT)) {
        step = 1.0;
    } else if (code == PressedVirtualKey(VK_LEFT) || code == PressedVirtualKey(VK_DOWN)) {
        step = -1.0;
    } else {
        return 1;
    }
    const RCPtr<LSlider> keepAlive(this);
    if (!mKeyHeld) {
        mKeyHeld = true;
        SendNotification(kNidValueChangeKeyDown, key);
    }
    StepBy(step);
    return 0;
}

int32_t LSlider::HandleKey(const ConstRCPtr<LKeyParam>& key)
{
    return UseKey(key) == 0 ? 0 : LPanel::HandleKey(key);
}

void LSlider::BubbleKey(const ConstRCPtr<LKeyParam>& key)
{
    if (UseKey(key) != 0) {
        LPanel::BubbleKey(key);
    }
}

int32_t LSlider::HandleVerticalWheel(const ConstRCPtr<LMouseWheelParam>& event)
{
    if (!event) {
        return 1;
    }
    StepBy(event->mDirection == 1 ? 1.0 : -1.0);
    return 0;
}

int32_t LSlider::HandleHorizontalWheel(const ConstRCPtr<LMouseWheelParam>& event)
{
    if (!event) {
        return 1;
    }
    StepBy(event->mDirection == 3 ? 1.0 : -1.0);
    return 0;
}

// Notifications --------------------------------------------------------------------------------

} // namespace SV
