#include "Controls/SplitterBase.h"

#include "ResultCodes.h"
#include "Windows/CursorNames.h"
#include "Windows/WindowApplication.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace SV {

namespace {

// The travel of a bar that nothing limits.
constexpr double kUnlimited = 4503599627370496.0; // 2^52
// A size that the limits changed by less than this counts as unchanged.
constexpr double kSizeEpsilon = 2.220446049250313e-15;

} // namespace

LSplitterBase::LSplitterBase(const RCPtr<LControl>& parent, const WideString& name,
                             int32_t orientation, bool mostDerived)
    : LControl(parent, name, mostDerived), mOrientation(orientation)
{}

LSplitterBase::~LSplitterBase()
{
    mNeighbour = nullptr;
}

int32_t LSplitterBase::Initialize()
{
    const int32_t result = LControl::Initialize();
    SetCursor(
        GetApplicationCursor(mOrientation == kVertical ? UI_CURSOR_SIZE_WE : UI_CURSOR_SIZE_NS));
    return result;
}

// Looks -----------------------------------------------------------------------------------------

int32_t LSplitterBase::ComputeStateLook() const
{
    if (!IsEnabled(true)) {
        return kLookDisabled;
    }
    int32_t look = kLookNormal;
    if (HasCapture() && IsDragging(0)) {
        look = IsPointerOver() ? kLookPressed : kLookHover;
    } else if (IsPointerOver() || mHoverHighlight) {
        look = kLookHover;
    }
    if (HasFocus()) {
        look += kLookFocusedOffset;
    }
    return look;
}

int32_t LSplitterBase::UpdateStateLook()
{
    ShowLook(ComputeStateLook());
    return S_OK;
}

void LSplitterBase::OnConditionsChanged(const RCPtr<LConditionsParam>& conditions)
{
    LControl::OnConditionsChanged(conditions);
    if (conditions) {
        const uint32_t changed = conditions->mNewMask ^ conditions->mOldMask;
        if ((changed & kConditionLeftDragging) != 0) {
            if ((conditions->mNewMask & kConditionLeftDragging) != 0) {
                // Along the bar's axis only, inside the travel that BeginDrag measures.
                SetLayoutMode(kDragMoveScrolling, mOrientation == kVertical ? 1u : 2u);
            } else {
                mNeighbour = nullptr;
            }
        }
    }
    UpdateStateLook();
}

// The drag --------------------------------------------------------------------------------------

void LSplitterBase::BeginDrag()
{
    const RCPtr<LControl> keepAlive(this);
    const int32_t axis = GetAxis();
    const double position = BarPosition();
    mRangeMinimum = 0.0;
    mRangeMaximum = kUnlimited;
    mNeighbour = nullptr;

    LayoutPositionSpec positionSpec;
    LayoutSpec sizeSpec;
    if (mLayout && mParent) {
        mLayout->GetAxisSpec(axis, positionSpec, sizeSpec);
        if (positionSpec.kind == kPositionToControl) {
            const RCPtr<LControl>& sibling = mParent->FindChildControl(positionSpec.reference);
            if (sibling && sibling.Get() != this && sibling->GetLayout()) {
                mNeighbour = sibling;
            }
        }
    }
    if (mNeighbour) {
        // Placed absolutely for the drag, so that the framework moves the bar; the reference
        // stays in the record for the drop.
        mSavedPositionAbs = positionSpec.absolute;
        mSavedPositionRel = positionSpec.relative;
        LayoutPositionSpec absolute = positionSpec;
        absolute.kind = kPositionToClient;
        absolute.relative = 0.0f;
        absolute.absolute = position;
        SetLayoutSpec(axis, absolute, sizeSpec);
        mNeighbourStartSize = mNeighbour->GetLayout()->axes[axis].size.absolute;
        const RCPtr<LControl> neighbour = mNeighbour;
        Limit(Follower::kGrows, position, mNeighbourStartSize, MinimumSize(*neighbour),
              MaximumSize(*neighbour), mRangeMinimum, mRangeMaximum);
    }

    if (mParent) {
        const RCPtr<LControl> parent = mParent;
        for (int32_t i = 0; i < parent->GetChildren().GetCount(); ++i) {
            const RCPtr<LControl> sibling = parent->GetChildren().GetAt(i, kStoredOrder);
            const Follower follower = HowSiblingFollows(*sibling);
            if (follower != Follower::kNone) {
                Limit(follower, position, AxisValue(sibling->GetRect(), true),
                      MinimumSize(*sibling), MaximumSize(*sibling), mRangeMinimum, mRangeMaximum);
            }
        }
    }

    // The framework keeps the drag relative to where the pointer took the bar.
    const double shift = (axis == 0 ? mDragStartPoint.x : mDragStartPoint.y) - position;
    mRangeMinimum += shift;
    mRangeMaximum += shift;
    LControl::BeginDrag();
}

void LSplitterBase::AdjustDragArea(RectT<double>& area)
{
    if (GetAxis() == 0) {
        area.x = mRangeMinimum;
        area.width = mRangeMaximum - mRangeMinimum;
    } else {
        area.y = mRangeMinimum;
        area.height = mRangeMaximum - mRangeMinimum;
    }
}

void LSplitterBase::OnDragMoved(const ConstRCPtr<LPointWithModifiersParam>& event)
{
    LControl::OnDragMoved(event);
    const RCPtr<LControl> neighbour = mNeighbour;
    if (!neighbour) {
        return;
    }
    const int32_t axis = GetAxis();
    LayoutPositionSpec position;
    LayoutSpec size;
    neighbour->GetLayout()->GetAxisSpec(axis, position, size);
    size.absolute = mNeighbourStartSize + (axis == 0 ? GetDragOffset().x : GetDragOffset().y);
    neighbour->SetLayoutSpec(axis, position, size);
}

void LSplitterBase::EndDrag()
{
    const RCPtr<LControl> keepAlive(this);
    if (mNeighbour && mLayout) {
        const int32_t axis = GetAxis();
        LayoutPositionSpec position;
        LayoutSpec size;
        mLayout->GetAxisSpec(axis, position, size);
        position.kind = kPositionToControl;
        position.relative = mSavedPositionRel;
        position.absolute = mSavedPositionAbs;
        SetLayoutSpec(axis, position, size);
    }
    LControl::EndDrag();
}

// Layout ----------------------------------------------------------------------------------------

int32_t LSplitterBase::OnLayoutRequest(const PointT<int32_t>& size)
{
    const RCPtr<LControl> keepAlive(this);
    LControl::OnLayoutRequest(size);
    if (!mLayout || !mParent) {
        return S_OK;
    }
    const RCPtr<LControl> parent = mParent;
    const int32_t axis = GetAxis();
    const double position = BarPosition();
    double low = 0.0;
    double high = kUnlimited;

    RCPtr<LControl> neighbour;
    const LayoutSpec& positionSpec = mLayout->axes[axis].position;
    if (positionSpec.kind == kPositionToControl) {
        neighbour = parent->FindChildControl(positionSpec.reference);
        if (neighbour.Get() == this || (neighbour && !neighbour->GetLayout())) {
            neighbour = nullptr;
        }
    }
    if (neighbour) {
        Limit(Follower::kGrows, position, neighbour->GetLayout()->axes[axis].size.absolute,
              MinimumSize(*neighbour), MaximumSize(*neighbour), low, high);
    }

    // Only a sibling that its own limits keep from the size the layout gives it limits the bar.
    for (int32_t i = 0; i < parent->GetChildren().GetCount(); ++i) {
        const RCPtr<LControl> sibling = parent->GetChildren().GetAt(i, kStoredOrder);
        const Follower follower = HowSiblingFollows(*sibling);
        if (follower == Follower::kNone) {
            continue;
        }
        RectT<double> rect;
        ComputeLayoutRect(*sibling, parent.Get(), {}, {}, {}, rect);
        PointT<double> origin{rect.x, rect.y};
        PointT<double> extent{rect.width, rect.height};
        const double computed = AxisValue(rect, true);
        sibling->ApplyMinSize(origin, extent);
        sibling->ApplyMaxSize(origin, extent);
        const double limited = axis == 0 ? extent.x : extent.y;
        if (std::fabs(limited - computed) >= kSizeEpsilon) {
            Limit(follower, position, computed, MinimumSize(*sibling), MaximumSize(*sibling), low,
                  high);
        }
    }

    if (high < low) {
        std::swap(low, high);
    }
    double move = 0.0;
    if (position < low) {
        move = low - position;
    } else if (position > high) {
        move = high - position;
    }
    if (move != 0.0 && neighbour) {
        LayoutPositionSpec neighbourPosition;
        LayoutSpec neighbourSize;
        neighbour->GetLayout()->GetAxisSpec(axis, neighbourPosition, neighbourSize);
        neighbourSize.absolute += move;
        neighbour->SetLayoutSpec(axis, neighbourPosition, neighbourSize);
    }
    return S_OK;
}

// Helpers ---------------------------------------------------------------------------------------

double LSplitterBase::BarPosition() const
{
    const int32_t axis = GetAxis();
    const double anchor = mLayout ? double(mLayout->axes[axis].anchor) : 0.0;
    return AxisValue(mRect, false) + anchor * AxisValue(mRect, true);
}

double LSplitterBase::AxisValue(const RectT<double>& rect, bool size) const
{
    if (GetAxis() == 0) {
        return size ? rect.width : rect.x;
    }
    return size ? rect.height : rect.y;
}

LSplitterBase::Follower LSplitterBase::HowSiblingFollows(const LControl& sibling) const
{
    const RCPtr<LLayoutDescriptor>& layout = sibling.GetLayout();
    if (&sibling == this || !layout || !mLayout || layout->layoutOrder <= mLayout->layoutOrder) {
        return Follower::kNone;
    }
    const LLayoutDescriptor::Axis& axis = layout->axes[GetAxis()];
    const bool sizeFollows = axis.size.kind == kSizeToControl && axis.size.reference == mName;
    const bool positionFollows =
        axis.position.kind == kPositionToControl && axis.position.reference == mName;
    // Its far edge moves with the bar: it grows as the bar moves forward.
    if (sizeFollows && !positionFollows) {
        return Follower::kGrows;
    }
    // Its near edge moves with the bar and its far edge stays: it shrinks. Both edges moving
    // with the bar keep its size.
    if (positionFollows && !sizeFollows && axis.size.kind != kSizeToSelf) {
        return Follower::kShrinks;
    }
    return Follower::kNone;
}

double LSplitterBase::MinimumSize(LControl& control) const
{
    double width = 0.0;
    double height = 0.0;
    control.GetPreferredSize(width, height);
    return GetAxis() == 0 ? width : height;
}

double LSplitterBase::MaximumSize(LControl& control) const
{
    double width = 0.0;
    double height = 0.0;
    control.GetMaxSize(width, height);
    return GetAxis() == 0 ? width : height;
}

void LSplitterBase::Limit(Follower follower, double position, double size, double minimum,
                          double maximum, double& low, double& high)
{
    if (follower == Follower::kGrows) {
        low = std::max(low, position - (size - minimum));
        if (maximum > 0.0) {
            high = std::min(high, position + (maximum - size));
        }
    } else if (follower == Follower::kShrinks) {
        high = std::min(high, position + (size - minimum));
        if (maximum > 0.0) {
            low = std::max(low, position - (maximum - size));
        }
    }
}

} // namespace SV
