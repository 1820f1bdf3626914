#include "Controls/ScrollBar.h"

#include "ControlBase/ControlApplication.h"
#include "ControlBase/ControlCreator.h"
#include "ControlBase/KeyParam.h"
#include "Controls/Button.h"
#include "Notification/Notification.h"
#include "Notification/NotificationNames.h"
#include "ResultCodes.h"
#include "Windows/MouseParams.h"
#include "Windows/RootWindow.h"

#include <algorithm>
#include <cmath>

namespace SV {

namespace {

constexpr double kCoordinateLimit = 4503599627370496.0; // 2^52

double Now()
{
    IControlApplication* application = GetControlApplication();
    return application ? application->GetTime() : 0.0;
}

double Clamp52(double value)
{
    return std::clamp(value, -kCoordinateLimit, kCoordinateLimit);
}

double Axis(const PointT<double>& point, int32_t orientation)
{
    return orientation == 0 ? point.x : point.y;
}

const LConditionsParam* ConditionsOf(const ConstRCPtr<LNotification>& notification)
{
    return notification ? dynamic_cast<const LConditionsParam*>(notification->GetPayload().Get())
                        : nullptr;
}

bool Began(const LConditionsParam& conditions, uint32_t bit)
{
    return (conditions.mNewMask & bit) != 0 && (conditions.mOldMask & bit) == 0;
}

bool Ended(const LConditionsParam& conditions, uint32_t bit)
{
    return (conditions.mNewMask & bit) == 0 && (conditions.mOldMask & bit) != 0;
}

} // namespace

LScrollbar::LScrollbar(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived)
    : LControl(parent, name, mostDerived)
{
    LControl::SetValueRange(0.0, 100.0, 0);
}

LScrollbar::~LScrollbar()
{}

RCPtr<LControl> LScrollbar::CreateControl(const RCPtr<LControl>& parent,
                                          const ConstRCPtr<LControlDescriptor>& descriptor)
{
    return CreateControlOf<LScrollbar>(parent, descriptor);
}

// Creation -------------------------------------------------------------------------------------

int32_t LScrollbar::Initialize()
{
    if (LControl::Initialize() < 0) {
        return E_FAIL;
    }
    mHandler.Create();
    if (const RCPtr<LControl> channel = FindChannel()) {
        const RCPtr<LNotificationDistributor> source(channel);
        mHandler->RegisterHandler(&LScrollbar::OnChannelPress, source, kNidLeftDragConditionChange);
        mHandler->RegisterHandler(&LScrollbar::OnChannelHover, source, kNidHoverConditionChange);
        mThumb = channel->FindChildControl(u"thumb");
        if (mThumb) {
            const RCPtr<LNotificationDistributor> thumb(mThumb);
            mHandler->RegisterHandler(&LScrollbar::OnThumbMouseMove, thumb, kNidMouseMove);
            mHandler->RegisterHandler(&LScrollbar::OnThumbDragCondition, thumb,
                                      kNidLeftDragConditionChange);
            if (auto* button = dynamic_cast<LButton*>(mThumb.Get())) {
                button->SetKeepPressed(true);
            }
        }
    }
    LButton* arrows[2] = {nullptr, nullptr};
    const char16_t* const arrowNames[2] = {u"dec", u"inc"};
    for (int32_t i = 0; i < 2; ++i) {
        arrows[i] = dynamic_cast<LButton*>(FindChildControl(arrowNames[i]).Get());
        if (arrows[i] != nullptr) {
            mHandler->RegisterHandler(&LScrollbar::OnArrowRepeat,
                                      RCPtr<LNotificationDistributor>(arrows[i]),
                                      kNidButtonAutoRepeat);
            arrows[i]->SetAutoRepeat(true);
        }
    }
    if (arrows[0] != nullptr && arrows[1] != nullptr) {
        const RectT<double>& dec = arrows[0]->GetRect();
        const RectT<double>& inc = arrows[1]->GetRect();
        mOrientation = (inc.x - dec.x) <= (inc.y - dec.y) ? 1 : 0;
    }
    EndResize();
    SetKeyMask(0xFF);
    return S_OK;
}

int32_t LScrollbar::FinishCreate()
{
    // The bar never holds the keyboard focus: it takes its keys from its parent.
    SetFocusable(true);
    for (const char16_t* name : {u"dec", u"inc", u"channel"}) {
        if (const RCPtr<LControl>& part = FindChildControl(name)) {
            part->SetFocusable(true);
        }
    }
    if (mThumb) {
        mThumb->SetFocusable(true);
        mMinimumThumbLength =
            mOrientation == 0 ? mThumb->GetRect().height : mThumb->GetRect().width;
    }
    EndResize();
    return S_OK;
}

int32_t LScrollbar::ReleaseHook()
{
    // The thumb is a grandchild that holds its channel, which holds the bar.
    mThumb = nullptr;
    return LControl::ReleaseHook();
}

RCPtr<LControl> LScrollbar::FindChannel() const
{
    return FindChildControl(u"channel");
}

// Value and thumb ------------------------------------------------------------------------------

double LScrollbar::SetNormalizedValue(double value)
{
    if (mDragging) {
        mPendingValue = value;
        return GetNormalizedValue();
    }
    const double result = LControl::SetNormalizedValue(std::clamp(value, 0.0, 1.0));
    PlaceThumb();
    return result;
}

int32_t LScrollbar::SetValueRange(double minimum, double maximum, int32_t scale)
{
    const double value = NormalizedToValue(GetNormalizedValue());
    const int32_t result = LControl::SetValueRange(minimum, maximum, scale);
    SetNormalizedValue(ValueToNormalized(value));
    PlaceThumb();
    return result;
}

void LScrollbar::SetSteps(double lineStep, double pageStep)
{
    mLineStep = lineStep;
    mPageStep = pageStep;
}

void LScrollbar::EndResize()
{
    LControl::EndResize();
    if (!mThumb) {
        return;
    }
    const RCPtr<LControl> channel = FindChannel();
    if (!channel) {
        return;
    }
    const RectT<double> client = channel->GetLookRect(-1);
    const RectT<double>& rect = channel->GetRect();
    mChannelOrigin = mOrientation == 0 ? rect.x + client.x : rect.y + client.y;
    mChannelStart = 0.0;
    mChannelEnd = mOrientation == 0 ? client.width : client.height;
    UpdateThumb();
    PlaceThumb();
}

void LScrollbar::UpdateThumb()
{
    mThumbLength = std::trunc(
        std::max(mMinimumThumbLength, (mChannelEnd - mChannelStart) * mThumbFraction) + 0.5);
    if (mThumb) {
        SetThumbAxis(RoundHalf(mThumbLength), true);
    }
    PlaceThumb();
}

void LScrollbar::PlaceThumb()
{
    if (mDragging || !mThumb) {
        return;
    }
    const double position = RoundHalf(mChannelStart + (mChannelEnd - mChannelStart - mThumbLength) *
                                                          GetNormalizedValue());
    if (position != RoundHalf(ThumbPosition())) {
        SetThumbAxis(position, false);
    }
}

void LScrollbar::SetThumbAxis(double value, bool isSize)
{
    if (!mThumb || !mThumb->GetLayout()) {
        return;
    }
    LayoutPositionSpec position;
    LayoutSpec size;
    mThumb->GetLayout()->GetAxisSpec(mOrientation, position, size);
    if (isSize) {
        size.absolute = value;
    } else {
        position.absolute = value;
    }
    mThumb->SetLayoutSpec(mOrientation, position, size);
}

double LScrollbar::ThumbPosition() const
{
    const RectT<double>& rect = mThumb->GetRect();
    return mOrientation == 0 ? rect.x : rect.y;
}

double LScrollbar::ThumbSize() const
{
    const RectT<double>& rect = mThumb->GetRect();
    return mOrientation == 0 ? rect.width : rect.height;
}

void LScrollbar::SetValueFromThumb()
{
    const double travel = mChannelEnd - mChannelStart - mThumbLength;
    // A thumb that fills the channel has no travel: the value stays where the owner put it.
    if (travel <= 0.0) {
        return;
    }
    const double value = std::clamp((ThumbPosition() - mChannelStart) / travel, 0.0, 1.0);
    LControl::SetNormalizedValue(value);
    PlaceThumb();
}

void LScrollbar::ApplyPendingValue()
{
    LControl::SetNormalizedValue(std::clamp(mPendingValue, 0.0, 1.0));
    PlaceThumb();
}

// Thumb drag -----------------------------------------------------------------------------------

int32_t LScrollbar::OnThumbDragCondition(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                                         const ConstRCPtr<LNotification>& notification)
{
    const LConditionsParam* conditions = ConditionsOf(notification);
    if (conditions == nullptr || !mThumb) {
        return 1;
    }
    if (Began(*conditions, kConditionLeftDragging)) {
        mDragging = true;
        // The press point is in the channel's coordinates, as the thumb's position is.
        const RectT<double>& rect = mThumb->GetRect();
        mGrabOffset = {static_cast<int32_t>(RoundHalf(conditions->mPoint.x - rect.x)),
                       static_cast<int32_t>(RoundHalf(conditions->mPoint.y - rect.y))};
    } else if (Ended(*conditions, kConditionLeftDragging)) {
        mDragging = false;
        if (mPendingValue >= 0.0 && mPendingValue <= 1.0) {
            ApplyPendingValue();
        }
        mPendingValue = -1.0;
    }
    return 1;
}

int32_t LScrollbar::OnThumbMouseMove(const ConstRCPtr<LNotificationDistributor>& sender,
                                     const ConstRCPtr<LNotification>& notification)
{
    if (!mDragging || !mThumb ||
        sender.Get() != static_cast<LNotificationDistributor*>(mThumb.Get())) {
        return 1;
    }
    const auto* event = dynamic_cast<const LPointWithModifiersParam*>(
        notification ? notification->GetPayload().Get() : nullptr);
    const RCPtr<LControl> channel = FindChannel();
    if (event == nullptr || !channel) {
        return 1;
    }
    // The pointer in the bar's coordinates: through the thumb and the channel, each less its
    // parent's scroll offset and plus the parent's client offset.
    const PointT<double> pointer{double(event->mX), double(event->mY)};
    const RectT<double> channelClient = channel->GetLookRect(-1);
    const RectT<double> barClient = GetLookRect(-1);
    const double inChannel = Axis(pointer, mOrientation) + ThumbPosition() -
                             Axis(channel->GetScrollOffset(), mOrientation) +
                             (mOrientation == 0 ? channelClient.x : channelClient.y);
    const RectT<double>& channelRect = channel->GetRect();
    const double inBar = RoundHalf(inChannel + (mOrientation == 0 ? channelRect.x : channelRect.y) -
                                   Axis(GetScrollOffset(), mOrientation) +
                                   (mOrientation == 0 ? barClient.x : barClient.y));
    double p = inBar - RoundHalf(mChannelOrigin) - (mOrientation == 0 ? barClient.x : barClient.y) -
               (mOrientation == 0 ? mGrabOffset.x : mGrabOffset.y);
    if (p < mChannelStart) {
        p = mChannelStart;
    } else if (p > mChannelEnd - mThumbLength) {
        p = std::trunc(mChannelEnd - mThumbLength);
    }
    if (p != RoundHalf(ThumbPosition())) {
        SetThumbAxis(p, false);
        SetValueFromThumb();
    }
    return 1;
}

// Paging ---------------------------------------------------------------------------------------

int32_t LScrollbar::HitTestChannel(const PointT<double>& point) const
{
    if (!mThumb) {
        return kNotPaging;
    }
    const double a = Axis(point, mOrientation);
    const double t = ThumbPosition();
    const double s = ThumbSize();
    if (mChannelStart <= a && a <= t) {
        return kPagingToStart;
    }
    if (t + s <= a && a <= mChannelEnd) {
        return kPagingToEnd;
    }
    return kNotPaging;
}

void LScrollbar::PageOnce()
{
    SetNormalizedValue(GetNormalizedValue() +
                       (mPageState == kPagingToStart ? -mPageStep : mPageStep));
}

int32_t LScrollbar::OnChannelPress(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                                   const ConstRCPtr<LNotification>& notification)
{
    const LConditionsParam* conditions = ConditionsOf(notification);
    const RCPtr<LControl> channel = FindChannel();
    if (conditions == nullptr || !channel) {
        return 1;
    }
    const RCPtr<LScrollbar> keepAlive(this);
    if (Began(*conditions, kConditionLeftPressed)) {
        const RectT<double>& rect = channel->GetRect();
        const RectT<double> client = channel->GetLookRect(-1);
        const PointT<double> point{Clamp52(RoundHalf(conditions->mPoint.x) - rect.x - client.x),
                                   Clamp52(RoundHalf(conditions->mPoint.y) - rect.y - client.y)};
        mPageState = HitTestChannel(point);
        if (mPageState != kNotPaging) {
            PageOnce();
            UpdatePageHighlight();
            mLastRepeatTime = Now();
            mTimeToNextRepeat = mFirstRepeatDelay;
            RequestIdle();
        }
    } else if (Ended(*conditions, kConditionCapture) && mPageState != kNotPaging) {
        mPageState = kNotPaging;
        ClearPageHighlight();
        ReleaseIdle();
    }
    if (mPageState != kNotPaging) {
        UpdatePageHighlight();
    }
    return 1;
}

int32_t LScrollbar::OnChannelHover(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                                   const ConstRCPtr<LNotification>& notification)
{
    const LConditionsParam* conditions = ConditionsOf(notification);
    if (conditions == nullptr) {
        return 1;
    }
    if (Began(*conditions, kConditionHover)) {
        // Time spent off the channel does not count towards the next page.
        mLastRepeatTime = Now();
    }
    if (mPageState != kNotPaging) {
        UpdatePageHighlight();
    }
    return 1;
}

void LScrollbar::OnIdle()
{
    if (mPageState == kNotPaging || !IsPointerOnPagedSide()) {
        return;
    }
    const RCPtr<LScrollbar> keepAlive(this);
    const double now = Now();
    mTimeToNextRepeat -= now - mLastRepeatTime;
    mLastRepeatTime = now;
    if (mTimeToNextRepeat <= 0.0) {
        mTimeToNextRepeat = mRepeatInterval;
        PageOnce();
        UpdatePageHighlight();
    }
}

bool LScrollbar::IsPointerOnPagedSide() const
{
    const RCPtr<LControl> channel = FindChannel();
    const RCPtr<LRootWindow>& window = GetRootWindowRef();
    if (!channel || !window || !channel->IsPointerOver()) {
        return false;
    }
    const PointT<int32_t> cursor = window->GetCursorPosition();
    PointT<double> point{Clamp52(cursor.x), Clamp52(cursor.y)};
    const RCPtr<LControl> top =
        window->GetMainControl() ? window->GetMainControl() : channel->GetRootControl();
    channel->OffsetToControl(*top, point);
    return HitTestChannel(point) == mPageState;
}

void LScrollbar::UpdatePageHighlight()
{
    const RCPtr<LControl> channel = FindChannel();
    if (!channel || !mThumb || !IsPointerOnPagedSide()) {
        ClearPageHighlight();
        return;
    }
    const RectT<double> client = channel->GetLookRect(-1);
    const RectT<double>& rect = channel->GetRect();
    const double offset = mOrientation == 0 ? client.x : client.y;
    const double length = mOrientation == 0 ? rect.width : rect.height;
    const double across = mOrientation == 0 ? rect.height : rect.width;
    double from = 0.0;
    double to = ThumbPosition() + offset;
    if (mPageState == kPagingToEnd) {
        from = ThumbPosition() + ThumbSize() + offset;
        to = length;
    }
    RectRegion region;
    if (mOrientation == 0) {
        region.AddRectRounded(from, 0.0, to - from, across);
    } else {
        region.AddRectRounded(0.0, from, across, to - from);
    }
    channel->SetLookAlpha(1, 1.0f, false);
    channel->SetLookRegion(1, region);
    channel->SetLookRegionExcluding(0, 1);
}

void LScrollbar::ClearPageHighlight()
{
    const RCPtr<LControl> channel = FindChannel();
    if (!channel) {
        return;
    }
    channel->ClearLookRegions();
    channel->ShowLook(0);
}

// Arrows and keys ------------------------------------------------------------------------------

int32_t LScrollbar::OnArrowRepeat(const ConstRCPtr<LNotificationDistributor>& sender,
                                  const ConstRCPtr<LNotification>& /*notification*/)
{
    const auto* arrow = dynamic_cast<const LControl*>(sender.Get());
    if (arrow == nullptr) {
        return 1;
    }
    if (arrow->GetName() == WideString(u"dec")) {
        SetNormalizedValue(GetNormalizedValue() - mLineStep);
    } else if (arrow->GetName() == WideString(u"inc")) {
        SetNormalizedValue(GetNormalizedValue() + mLineStep);
    }
    return 1;
}

int32_t LScrollbar::SetKeyMask(int32_t mask)
{
    if (mask != 0 && mKeyMask == 0 && mHandler) {
        if (mParent) {
            mHandler->RegisterHandler(&LScrollbar::OnSiblingKey,
                                      RCPtr<LNotificationDistributor>(mParent), kNidSiblingKey);
        }
        mHandler->RegisterSelfHandler(&LScrollbar::OnSiblingKey, kNidSiblingKey);
    }
    mKeyMask = mask & 0xFF;
    return (mask & ~0xFF) != 0 ? E_INVALIDARG : S_OK;
}

int32_t LScrollbar::OnSiblingKey(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                                 const ConstRCPtr<LNotification>& notification)
{
    auto* param = const_cast<LSiblingKeyParam*>(dynamic_cast<const LSiblingKeyParam*>(
        notification ? notification->GetPayload().Get() : nullptr));
    if (param == nullptr || !IsVisible(true)) {
        return 0;
    }
    struct KeyRule
    {
        uint32_t code;
        int32_t bit;
        int32_t orientation; // -1: either
        int32_t action;      // -1 / +1 lines, -2 / +2 pages, 0 start, 3 end
    };
    static const KeyRule kRules[] = {
        {PressedVirtualKey(VK_UP), kKeyUp, 1, -1},
        {PressedVirtualKey(VK_DOWN), kKeyDown, 1, 1},
        {PressedVirtualKey(VK_LEFT), kKeyLeft, 0, -1},
        {PressedVirtualKey(VK_RIGHT), kKeyRight, 0, 1},
        {PressedVirtualKey(VK_PRIOR), kKeyPageUp, 1, -2},
        {PressedVirtualKey(VK_NEXT), kKeyPageDown, 1, 2},
        {PressedVirtualKey(VK_HOME), kKeyHome, -1, 0},
        {PressedVirtualKey(VK_END), kKeyEnd, -1, 3},
    };
    const uint32_t code = param->mKey.GetCode();
    for (const KeyRule& rule : kRules) {
        if (rule.code != code || (mKeyMask & rule.bit) == 0 ||
            (rule.orientation >= 0 && rule.orientation != mOrientation)) {
            continue;
        }
        const RCPtr<LScrollbar> keepAlive(this);
        const double value = GetNormalizedValue();
        switch (rule.action) {
        case -1:
        case 1:
            SetNormalizedValue(value + rule.action * mLineStep);
            break;
        case -2:
        case 2:
            SetNormalizedValue(value + rule.action / 2 * mPageStep);
            break;
        case 0:
            SetNormalizedValue(0.0);
            break;
        default:
            SetNormalizedValue(1.0);
            break;
        }
        param->mResult = 0;
        return 1;
    }
    return 0;
}

// Notifications --------------------------------------------------------------------------------

} // namespace SV
