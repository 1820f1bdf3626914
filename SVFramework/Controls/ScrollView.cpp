#include "Controls/ScrollView.h"

#include "ControlBase/ControlCreator.h"
#include "Notification/Notification.h"
#include "Notification/NotificationNames.h"
#include "ResultCodes.h"
#include "Windows/RootWindow.h"

#include <algorithm>
#include <cmath>

namespace SV {

namespace {

constexpr double kTwo52 = 4503599627370496.0;
constexpr double kExtentEpsilon = 2.220446049250313e-16;
constexpr uint32_t kShiftMask = 8;
constexpr uint32_t kAltMask = 64;

double RoundedInt(double v)
{
    return RoundHalf(std::clamp(v, -2147483648.0, 2147483647.0));
}

} // namespace

LScrollView::LScrollView(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived)
    : LControl(parent, name, mostDerived)
{}

LScrollView::~LScrollView() = default;

RCPtr<LControl> LScrollView::CreateControl(const RCPtr<LControl>& parent,
                                           const ConstRCPtr<LControlDescriptor>& descriptor)
{
    return CreateControlOf<LScrollView>(parent, descriptor);
}

IScrollBarParts* LScrollView::Parts(const RCPtr<LControl>& bar)
{
    return dynamic_cast<IScrollBarParts*>(bar.Get());
}

// Creation ------------------------------------------------------------------------------------

int32_t LScrollView::ApplyProperties()
{
    const int32_t result = LControl::ApplyProperties();
    if (mControlDescriptor && mControlDescriptor->GetCreateParams()) {
        bool present = false;
        int32_t mode = 0;
        if (GetBoolProperty(u"AUTO_CLIENT_EXTENT_X", present)) {
            mode |= 1;
        }
        if (GetBoolProperty(u"AUTO_CLIENT_EXTENT_Y", present)) {
            mode |= 2;
        }
        mAutoExtentMode = mode;
        mExtraWidth = 0;
        mExtraHeight = 0;
        UpdateClientExtent();
    }
    return result;
}

int32_t LScrollView::Initialize()
{
    const int32_t result = LControl::Initialize();
    if (result < 0) {
        return result;
    }
    mViewHandler.Create();
    mCorner = FindChildControl(u"corner");
    mHBar = Parts(FindChildControl(u"hBar")) ? FindChildControl(u"hBar") : nullptr;
    mVBar = Parts(FindChildControl(u"vBar")) ? FindChildControl(u"vBar") : nullptr;
    return ConnectScrollBars();
}

int32_t LScrollView::ConnectScrollBars()
{
    mBarThickness = {};
    if (mCorner && mCorner->GetControlDescriptor() &&
        mCorner->GetControlDescriptor()->GetLayout()) {
        const LLayoutDescriptor& layout = *mCorner->GetControlDescriptor()->GetLayout();
        mBarThickness = {layout.axes[0].size.absolute, layout.axes[1].size.absolute};
    }
    for (const RCPtr<LControl>* bar : {&mHBar, &mVBar}) {
        if (!*bar) {
            continue;
        }
        if (!mCreated && mViewHandler) {
            mViewHandler->RegisterHandler(&LScrollView::OnScrollBarValueChanged,
                                          RCPtr<LNotificationDistributor>(*bar), kNidValueChange);
        }
        if (bar == &mHBar && mBarThickness.y == 0.0) {
            mBarThickness.y = (*bar)->GetRect().height;
        }
        if (bar == &mVBar && mBarThickness.x == 0.0) {
            mBarThickness.x = (*bar)->GetRect().width;
        }
    }
    UpdateScrollBarVisibility();
    return S_OK;
}

int32_t LScrollView::ApplyDescriptor(const ConstRCPtr<LControlDescriptor>& descriptor)
{
    if (!mCreated) {
        return LControl::ApplyDescriptor(descriptor);
    }
    const int32_t mode = mAutoExtentMode;
    mAutoExtentMode = 0;
    const int32_t result = LControl::ApplyDescriptor(descriptor);
    ConnectScrollBars();
    mAutoExtentMode = mode;
    UpdateClientExtent();
    UpdateScrollBarVisibility();
    EndResize();
    return result;
}

// The client extent ---------------------------------------------------------------------------

int32_t LScrollView::SetClientExtent(double width, double height)
{
    if (std::fabs(width - mClientExtent.x) < kExtentEpsilon &&
        std::fabs(height - mClientExtent.y) < kExtentEpsilon) {
        return S_FALSE;
    }
    mClientExtent = {width, height};
    OnClientExtentChanged();
    SendNotification(kNidClientExtentChange);
    return S_OK;
}

int32_t LScrollView::SetAutoClientExtent(int32_t mode, int32_t extraWidth, int32_t extraHeight)
{
    mAutoExtentMode = mode;
    mExtraWidth = extraWidth;
    mExtraHeight = extraHeight;
    UpdateClientExtent();
    return S_OK;
}

int32_t LScrollView::UpdateClientExtent()
{
    if (mAutoExtentMode == 0) {
        return S_FALSE;
    }
    const PointT<double> children = GetChildrenExtent();
    const double width = std::clamp(children.x + mExtraWidth, -kTwo52, kTwo52);
    const double height = std::clamp(children.y + mExtraHeight, -kTwo52, kTwo52);
    switch (mAutoExtentMode & 3) {
    case 1:
        return SetClientExtent(width, mClientExtent.y);
    case 2:
        return SetClientExtent(mClientExtent.x, height);
    default:
        return SetClientExtent(width, height);
    }
}

PointT<double> LScrollView::GetChildrenExtent() const
{
    PointT<double> extent;
    for (int32_t i = 0; i < mChildren.GetCount(); ++i) {
        const LControl& child = *mChildren.GetAt(i, kStoredOrder);
        const RectT<double>& r = child.GetRect();
        const RCPtr<LLayoutDescriptor>& layout = child.GetLayout();
        if (!(layout && layout->axes[0].docked)) {
            extent.x = std::max(extent.x, RoundedInt(r.x) + RoundedInt(r.width));
        }
        if (!(layout && layout->axes[1].docked)) {
            extent.y = std::max(extent.y, RoundedInt(r.y) + RoundedInt(r.height));
        }
    }
    return extent;
}

// Bars ----------------------------------------------------------------------------------------

PointT<double> LScrollView::GetScrollBarSizes() const
{
    if (mCorner) {
        return {mCorner->GetRect().width, mCorner->GetRect().height};
    }
    return {mVBar ? mVBar->GetRect().width : 0.0, mHBar ? mHBar->GetRect().height : 0.0};
}

double LScrollView::Thickness(int32_t axis) const
{
    if (mCorner) {
        return axis == 1 ? mCorner->GetRect().width : mCorner->GetRect().height;
    }
    const RCPtr<LControl>& bar = axis == 1 ? mVBar : mHBar;
    if (!bar) {
        return 0.0;
    }
    return axis == 1 ? bar->GetRect().width : bar->GetRect().height;
}

bool LScrollView::IsScrollBarShown(int32_t axis) const
{
    const RCPtr<LControl>& bar = axis == 0 ? mHBar : mVBar;
    return bar && bar->GetLayout() && bar->GetLayout()->visible && bar->GetRect().width > 0.0 &&
           bar->GetRect().height > 0.0;
}

void LScrollView::GetClientArea(RectT<double>& area)
{
    area = GetLookRect(-1);
    if (IsScrollBarShown(1)) {
        area.width = std::max(0.0, area.width - Thickness(1));
    }
    if (IsScrollBarShown(0)) {
        area.height = std::max(0.0, area.height - Thickness(0));
    }
}

int32_t LScrollView::UpdateScrollBarVisibility()
{
    if (mUpdatingBars) {
        return S_FALSE;
    }
    mUpdatingBars = true;
    // A bar's thickness is in use only while the bar shows: a corner that keeps its skin size
    // beside hidden bars leaves the whole client part to the content.
    const bool hadV = IsScrollBarShown(1) && Thickness(1) > 0.0;
    const bool hadH = IsScrollBarShown(0) && Thickness(0) > 0.0;
    RectT<double> before;
    GetClientArea(before);
    const double roomW = before.width + (hadV ? mBarThickness.x : 0.0);
    const double roomH = before.height + (hadH ? mBarThickness.y : 0.0);
    UpdateClientExtent();
    bool needV = mClientExtent.y > roomH;
    const bool needH = mClientExtent.x > (needV ? roomW - mBarThickness.x : roomW);
    if (needH && !needV) {
        needV = mClientExtent.y > roomH - mBarThickness.y;
    }
    SetScrollBarShown(1, needV);
    SetScrollBarShown(0, needH);
    UpdateScrollBars();
    if (IsScrollBarShown(1) != hadV) {
        OnScrollBarShown(1);
    }
    if (IsScrollBarShown(0) != hadH) {
        OnScrollBarShown(0);
    }
    RectT<double> after;
    GetClientArea(after);
    if (!(after == before)) {
        OnClientAreaChanged();
    }
    UpdateClientExtent();
    mUpdatingBars = false;
    return S_OK;
}

void LScrollView::SetScrollBarShown(int32_t axis, bool show)
{
    const RCPtr<LControl> bar = axis == 0 ? mHBar : mVBar;
    if (!bar) {
        return;
    }
    const RCPtr<LControl> target = mCorner ? mCorner : bar;
    const double thickness = std::trunc(axis == 0 ? mBarThickness.y : mBarThickness.x);
    const double wanted = show ? thickness : 0.0;
    if (IsScrollBarShown(axis) == show && Thickness(axis) == wanted) {
        return;
    }
    // The corner's size on the bar's thickness axis (Y for the horizontal bar, X for the
    // vertical one) is the bar's thickness, so a skin may size the bars from it; the bar's own
    // visible flag follows as well, so a bar that the skin starts hidden appears when needed.
    if (target->GetLayout() && Thickness(axis) != wanted) {
        const int32_t thicknessAxis = axis == 0 ? 1 : 0;
        LayoutPositionSpec position;
        LayoutSpec size;
        target->GetLayout()->GetAxisSpec(thicknessAxis, position, size);
        size.kind = kSizeToSelf;
        size.absolute = wanted;
        target->SetLayoutSpec(thicknessAxis, position, size);
    }
    if (bar->GetLayout() && bar->GetLayout()->visible != show) {
        bar->SetVisible(show);
    }
}

void LScrollView::UpdateScrollBars()
{
    RectT<double> area;
    GetClientArea(area);
    for (int32_t axis = 0; axis < 2; ++axis) {
        const RCPtr<LControl> bar = axis == 0 ? mHBar : mVBar;
        IScrollBarParts* parts = Parts(bar);
        if (!parts || !bar->GetParent()) {
            continue;
        }
        const double visible = axis == 0 ? area.width : area.height;
        const double extent = axis == 0 ? mClientExtent.x : mClientExtent.y;
        if (axis == 1 && StepModeActive()) {
            const double total = std::trunc(extent / mStep);
            const double shown = std::trunc(visible / mStep);
            const double line = total > shown ? 1.0 / (total - shown) : 1.0;
            const double page = std::min(1.0, shown * line);
            parts->SetSteps(line, page);
            parts->SetThumbProportion(total > shown ? shown / total : 1.0);
            parts->UpdateThumb();
            double value = bar->NormalizedToValue(bar->GetNormalizedValue());
            const double maximum = total > shown ? total - shown : 0.0;
            bar->SetValueRange(0.0, maximum, 0);
            value = std::min(value, maximum);
            bar->SetNormalizedValue(bar->ValueToNormalized(value));
            continue;
        }
        float thumb = 1.0f;
        float page = 1.0f;
        if (extent > visible) {
            thumb = float(std::clamp(visible / extent, 0.0, 1.0));
            page = float(std::clamp(visible / (extent - visible), 0.0, 1.0));
        }
        bar->SetValueRange(0.0, extent - visible, 0);
        parts->SetThumbProportion(thumb);
        parts->UpdateThumb();
        parts->SetSteps(double(page) / 10.0, page);
        const double pos = std::max(0.0, RoundHalf((extent - visible) * bar->GetNormalizedValue()));
        const PointT<double>& offset = GetScrollOffset();
        if (pos != (axis == 0 ? offset.x : offset.y)) {
            SetScrollOffset(axis == 0 ? PointT<double>{pos, offset.y}
                                      : PointT<double>{offset.x, pos});
        }
    }
}

void LScrollView::SetStepMode(bool on, int32_t step)
{
    mStepMode = on;
    mStep = step;
}

int32_t LScrollView::OnScrollBarValueChanged(const ConstRCPtr<LNotificationDistributor>& sender,
                                             const ConstRCPtr<LNotification>& /*notification*/)
{
    const LControl* bar = dynamic_cast<const LControl*>(sender.Get());
    if (bar == nullptr || (bar != mHBar.Get() && bar != mVBar.Get())) {
        return 0;
    }
    const double value = bar->NormalizedToValue(bar->GetNormalizedValue());
    const PointT<double>& offset = GetScrollOffset();
    if (bar == mHBar.Get()) {
        SetScrollOffset({RoundHalf(value), offset.y});
    } else if (StepModeActive()) {
        SetScrollOffset({offset.x, std::trunc(value) * mStep});
    } else {
        SetScrollOffset({offset.x, RoundHalf(value)});
    }
    return 1;
}

void LScrollView::SetBarValueQuietly(const RCPtr<LControl>& bar, double value)
{
    // The view takes its own registration out for the time of the change, so it does not hear
    // the value it sets; other receivers of the bar still do.
    const RCPtr<LNotificationDistributor> source(bar);
    const bool registered =
        mViewHandler && mViewHandler->UnregisterHandler(source, kNidValueChange);
    if (registered) {
        LNotificationClient::Unregister(source, kNidValueChange);
    }
    bar->SetNormalizedValue(value);
    if (registered) {
        mViewHandler->RegisterHandler(&LScrollView::OnScrollBarValueChanged, source,
                                      kNidValueChange);
    }
}

void LScrollView::OnScrollOffsetChanged(const PointT<double>& oldOffset,
                                        const PointT<double>& newOffset)
{
    RectT<double> area;
    GetClientArea(area);
    for (int32_t axis = 0; axis < 2; ++axis) {
        const RCPtr<LControl> bar = axis == 0 ? mHBar : mVBar;
        if (!bar) {
            continue;
        }
        const double extent = axis == 0 ? mClientExtent.x : mClientExtent.y;
        const double limit = std::max(0.0, extent - (axis == 0 ? area.width : area.height));
        const double offset = axis == 0 ? newOffset.x : newOffset.y;
        SetBarValueQuietly(bar, limit == 0.0 ? 0.0 : offset / limit);
    }
    LControl::OnScrollOffsetChanged(oldOffset, newOffset);
}

// Geometry ------------------------------------------------------------------------------------

void LScrollView::BeginResize()
{
    mResizing = true;
    LControl::BeginResize();
}

void LScrollView::EndResize()
{
    LControl::EndResize();
    mResizing = false;
    UpdateClientExtent();
    UpdateScrollBarVisibility();
}

void LScrollView::OnChildRectChanged(LControl* child)
{
    if (!mUpdatingBars && !mOwnScrollChange && !mResizing && child != nullptr) {
        const RCPtr<LLayoutDescriptor>& layout = child->GetLayout();
        if (layout && layout->axes[0].docked && layout->axes[1].docked) {
            UpdateScrollBarVisibility();
        } else {
            UpdateClientExtent();
        }
    }
    LControl::OnChildRectChanged(child);
}

void LScrollView::OnChildRemoved(LControl* child, int32_t formerIndex)
{
    if (GetRootWindowRef()) {
        UpdateClientExtent();
    }
    LControl::OnChildRemoved(child, formerIndex);
}

void LScrollView::OnClientExtentChanged()
{
    UpdateScrollBarVisibility();
}

void LScrollView::OnClientAreaChanged()
{}

void LScrollView::OnScrollBarShown(int32_t /*axis*/)
{}

void LScrollView::GetMaxSize(double& width, double& height)
{
    LControl::GetMaxSize(width, height);
    if (!mLayout) {
        return;
    }
    const PointT<double> children = GetChildrenExtent();
    if (mLayout->axes[0].maximum.kind == kLimitToControl) {
        width = children.x;
    }
    if (mLayout->axes[1].maximum.kind == kLimitToControl) {
        height = children.y;
    }
}

const PointT<double>& LScrollView::SetScrollOffset(const PointT<double>& offset)
{
    mOwnScrollChange = true;
    const PointT<double>& result = LControl::SetScrollOffset(offset);
    mOwnScrollChange = false;
    return result;
}

void LScrollView::GetScrollLimits(RectT<double>& limits, LControl* /*child*/)
{
    RectT<double> area;
    GetClientArea(area);
    limits = {0.0, 0.0,
              mClientExtent.x > 0.0 ? std::max(0.0, mClientExtent.x - area.width) : kTwo52,
              mClientExtent.y > 0.0 ? std::max(0.0, mClientExtent.y - area.height) : kTwo52};
}

void LScrollView::GetClientRect(RectT<double>& rect)
{
    const RectT<double> client = GetLookRect(-1);
    const PointT<double>& offset = GetScrollOffset();
    rect = {std::max(0.0, offset.x), std::max(0.0, offset.y), client.width, client.height};
    if (mChildren.GetCount() == 0) {
        rect.width = std::max(1.0, rect.width);
        rect.height = std::max(1.0, rect.height);
        return;
    }
    double right = -kTwo52;
    double bottom = -kTwo52;
    for (int32_t i = 0; i < mChildren.GetCount(); ++i) {
        const RectT<double>& r = mChildren.GetAt(i, kStoredOrder)->GetRect();
        right = std::max(right, RoundedInt(r.x) + RoundedInt(r.width));
        bottom = std::max(bottom, RoundedInt(r.y) + RoundedInt(r.height));
    }
    rect.width = std::max(1.0, std::min(rect.width, right));
    rect.height = std::max(1.0, std::min(rect.height, bottom));
}

// Wheel ---------------------------------------------------------------------------------------

int32_t LScrollView::HandleVerticalWheel(const ConstRCPtr<LMouseWheelParam>& event)
{
    return event ? HandleVerticalWheel(event->mDirection, event->mModifiers) : S_FALSE;
}

int32_t LScrollView::HandleHorizontalWheel(const ConstRCPtr<LMouseWheelParam>& event)
{
    return event ? HandleHorizontalWheel(event->mDirection, event->mModifiers) : S_FALSE;
}

int32_t LScrollView::HandleVerticalWheel(int32_t direction, uint32_t modifiers)
{
    const bool h = IsScrollBarShown(0);
    const bool v = IsScrollBarShown(1);
    if (!h && !v) {
        return S_FALSE;
    }
    RCPtr<LControl> bar = mVBar;
    if ((h && v && (modifiers & kAltMask) != 0) || (h && !v)) {
        bar = mHBar;
    }
    IScrollBarParts* parts = Parts(bar);
    double step = (modifiers & kShiftMask) != 0 ? parts->GetPageStep() : parts->GetLineStep();
    if (direction != 0) {
        step = -step;
    }
    bar->SetNormalizedValue(bar->GetNormalizedValue() + step);
    return S_OK;
}

int32_t LScrollView::HandleHorizontalWheel(int32_t direction, uint32_t modifiers)
{
    const bool h = IsScrollBarShown(0);
    const bool v = IsScrollBarShown(1);
    if (!h && !v) {
        return S_FALSE;
    }
    const RCPtr<LControl> bar = h ? mHBar : mVBar;
    IScrollBarParts* parts = Parts(bar);
    double step = (modifiers & kShiftMask) != 0 ? parts->GetPageStep() : parts->GetLineStep();
    if (direction != 2) {
        step = -step;
    }
    bar->SetNormalizedValue(bar->GetNormalizedValue() + step);
    return S_OK;
}

} // namespace SV
