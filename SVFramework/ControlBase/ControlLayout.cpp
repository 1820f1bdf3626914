// Where a control is: the layout rule (position, size, limits), the layout pass of one control,
// the setting of its rectangle and how a change travels through the tree, the scroll offset and
// the conversions between coordinate spaces.
#include "ControlBase/Control.h"
#include "Notification/NotificationNames.h"

#include "ControlBase/ControlApplication.h"
#include "ResultCodes.h"
#include "Windows/RootWindow.h"

#include <algorithm>
#include <cmath>

namespace SV {

namespace {

constexpr double kTwo52 = 4503599627370496.0;
constexpr double kExtentEpsilon = 2.220446049250313e-15;
constexpr double kTinyExtent = 0x1p-52;
constexpr float kTextClamp = 8388608.0f;
// Nested rectangle changes beyond this depth stop spreading to siblings and parents: controls
// sized to each other in a cycle keep the sizes of the last pass instead of recursing without end.
constexpr int32_t kMaxLayoutDepth = 200;

int32_t gLayoutDepth = 0;

double ClampToTwo52(double v)
{
    return std::clamp(v, -kTwo52, kTwo52);
}

int32_t RoundToInt(double v)
{
    if (!(v > -2147483648.0)) {
        return INT32_MIN;
    }
    if (v >= 2147483647.0) {
        return INT32_MAX;
    }
    return static_cast<int32_t>(RoundHalf(v));
}

double Axis(const PointT<double>& p, int axis)
{
    return axis == 0 ? p.x : p.y;
}

double& Axis(PointT<double>& p, int axis)
{
    return axis == 0 ? p.x : p.y;
}

struct Frame
{
    double origin = 0.0;
    double extent = 0.0;
};

// The reference frame of one axis for a position kind (0, 1, named) or a size kind mapped onto
// the same three.
Frame ReferenceFrame(int32_t kind, bool named, const WideString& name, int axis,
                     const LControl* parent, const RectT<double>& area,
                     const PointT<double>& clientExtent, const PointT<double>& referencePoint)
{
    if (parent == nullptr) {
        if (named) {
            return {Axis(referencePoint, axis), 0.0};
        }
        if (kind == 0) {
            return {axis == 0 ? area.x : area.y, axis == 0 ? area.width : area.height};
        }
        return {0.0, Axis(clientExtent, axis)};
    }
    if (named) {
        const RCPtr<LControl>& sibling = parent->FindChildControl(name);
        if (!sibling) {
            return {};
        }
        const RectT<double>& r = sibling->GetRect();
        Frame frame{axis == 0 ? r.x : r.y, axis == 0 ? r.width : r.height};
        if (sibling->GetLayout() && sibling->GetLayout()->axes[axis].docked) {
            frame.origin -= Axis(parent->GetScrollOffset(), axis);
        }
        return frame;
    }
    const RectT<double> client = parent->GetLookRect(-1);
    if (kind == 0) {
        const RectT<double>& r = parent->GetRect();
        return {-(axis == 0 ? client.x : client.y), axis == 0 ? r.width : r.height};
    }
    return {0.0, axis == 0 ? client.width : client.height};
}

bool SamePosition(const LayoutPositionSpec& a, const LayoutPositionSpec& b)
{
    return a.anchor == b.anchor && a.kind == b.kind &&
           (a.kind != kPositionToControl || a.reference == b.reference) &&
           a.relative == b.relative && a.absolute == b.absolute && a.docked == b.docked;
}

bool SameSize(const LayoutSpec& a, const LayoutSpec& b, int32_t namedKind)
{
    return a.kind == b.kind && (a.kind != namedKind || a.reference == b.reference) &&
           a.relative == b.relative && a.absolute == b.absolute;
}

} // namespace

// The layout rule ------------------------------------------------------------------------------

int32_t ComputeLayoutRect(const LControl& control, const LControl* parent,
                          const RectT<double>& area, const PointT<double>& clientExtent,
                          const PointT<double>& referencePoint, RectT<double>& rect)
{
    const RCPtr<LLayoutDescriptor>& layout = control.GetLayout();
    if (!layout) {
        return E_INVALIDARG;
    }
    PointT<double> position;
    PointT<double> size;
    for (int axis = 0; axis < 2; ++axis) {
        const float anchor = layout->axes[axis].anchor;
        const double a = anchor;
        const LayoutSpec& pos = layout->axes[axis].position;
        const Frame pf = ReferenceFrame(pos.kind, pos.kind == kPositionToControl, pos.reference,
                                        axis, parent, area, clientExtent, referencePoint);
        const double scaled = RoundHalf(double(pos.relative) * pf.extent);
        double p = 0.0;
        if (pos.kind == kPositionToParent) {
            p = scaled + pos.absolute + pf.origin;
        } else if (pos.kind == kPositionToControl) {
            p = scaled + pf.origin + pos.absolute;
        } else {
            p = scaled + pos.absolute;
        }

        const LayoutSpec& sz = layout->axes[axis].size;
        double s = 0.0;
        if (sz.kind == kSizeToSelf) {
            s = sz.absolute >= 0.0 ? sz.absolute : 0.0;
        } else {
            const Frame sf = ReferenceFrame(sz.kind, sz.kind == kSizeToControl, sz.reference, axis,
                                            parent, area, clientExtent, referencePoint);
            const double far = RoundHalf(double(sz.relative) * sf.extent) + sf.origin + sz.absolute;
            const double d = far - p;
            if (d > 0.0 && anchor >= 0.0f && anchor < 1.0f) {
                const float q = 1.0f / (1.0f - anchor);
                s = double(q) * d;
            } else if (d < 0.0 && anchor > 0.0f && anchor <= 1.0f) {
                const float q = 1.0f / -anchor;
                s = double(q) * d;
            }
        }
        p -= a * s;
        if (layout->axes[axis].docked && parent != nullptr) {
            p = Axis(parent->GetScrollOffset(), axis) + p;
        }
        Axis(position, axis) = p;
        Axis(size, axis) = s;
    }
    rect = {position.x, position.y, size.x, size.y};
    rect = RoundEdges(rect);
    return S_OK;
}

bool LControl::FindLimitReference(const WideString& name, int axis, bool forMaximum,
                                  const PointT<double>& position, PointT<double>& origin,
                                  PointT<double>& extent) const
{
    const RectT<double> client = GetLookRect(-1);
    // A child's rectangle in the coordinates of this control's parent.
    const auto place = [&](const LControl& child, bool dockingCounts) {
        RectT<double> r = child.GetRect();
        r.x = r.x - mScrollOffset.x + client.x + position.x;
        r.y = r.y - mScrollOffset.y + client.y + position.y;
        if (dockingCounts && child.IsDocked(axis)) {
            r.x -= mScrollOffset.x;
            r.y -= mScrollOffset.y;
        }
        return r;
    };
    if (const RCPtr<LControl>& child = FindChildControl(name)) {
        const RectT<double> r = place(*child, true);
        origin = {r.x, r.y};
        extent = {r.width, r.height};
        return true;
    }
    if (!name.EqualsText(u"Children")) {
        return false;
    }
    const RCPtr<LControl>& first = mChildren.GetAt(0, kStoredOrder);
    if (forMaximum && first->IsDocked(0) && first->IsDocked(1)) {
        return false;
    }
    RectT<double> bounds = place(*first, false);
    double right = bounds.Right();
    double bottom = bounds.Bottom();
    for (int32_t i = mChildren.GetCount() - 1; i >= 1; --i) {
        const LControl& child = *mChildren.GetAt(i, kStoredOrder);
        if (!forMaximum && !child.IsClipped()) {
            continue;
        }
        const RectT<double> r = place(child, true);
        bounds.x = std::min(bounds.x, r.x);
        bounds.y = std::min(bounds.y, r.y);
        right = std::max(right, r.Right());
        bottom = std::max(bottom, r.Bottom());
    }
    extent = {right - bounds.x, bottom - bounds.y};
    const double a = mLayout->axes[axis].anchor;
    origin = {position.x - a * extent.x, position.y - a * extent.y};
    return true;
}

void LControl::GrowByLookFrame(int /*axis*/, bool forMaximum, PointT<double>& size) const
{
    const RCPtr<LLook> look = GetLook(-1);
    if (!look) {
        return;
    }
    const RectT<double>& client = look->GetClientRect();
    const double cw = RoundHalf(client.width);
    const double ch = RoundHalf(client.height);
    const auto isChildren = [&](int a) {
        const LayoutSpec& limit = forMaximum ? mLayout->axes[a].maximum : mLayout->axes[a].minimum;
        return limit.kind == kLimitToControl && limit.reference.EqualsText(u"Children");
    };
    if (isChildren(0)) {
        size.x += mRect.width - cw;
    }
    if (isChildren(1)) {
        size.y += mRect.height - ch;
    }
}

void LControl::LayoutAxisMinimum(int axis, PointT<double>& position, PointT<double>& size,
                                 int32_t& result)
{
    const LayoutSpec& minimum = mLayout->axes[axis].minimum;
    const float anchor = mLayout->axes[axis].anchor;
    const double a = anchor;
    double& p = Axis(position, axis);
    double& s = Axis(size, axis);
    if (minimum.kind == kLimitToSelf) {
        double m = minimum.absolute;
        const int32_t overflow = (axis == 0 ? mLayout->textOverflowX : mLayout->textOverflowY);
        const RCPtr<LLook> look = GetLook(-1);
        if (overflow != kTextOverflowClip && look && look->GetTextObject()) {
            LFontText& text = *look->GetTextObject();
            const TextPlacement& placement = look->GetDescriptor()->text;
            const RectT<float> area = look->GetTextRect(float(size.x), float(size.y));
            const float textWidth = std::clamp(area.width, -kTextClamp, kTextClamp);
            const float textHeight = std::clamp(area.height, -kTextClamp, kTextClamp);
            if (axis == 0 && overflow == kTextOverflowExpand) {
                text.SetWordWrap(false);
                const float deficit = std::ceil(float(text.GetTextWidth()) - textWidth);
                const float span = placement.rightRel - placement.leftRel;
                if (deficit > 0.0f && span > 0.0f) {
                    const double grow = std::ceil(double(deficit / span));
                    const double candidate = s + std::trunc(grow);
                    m = std::max(m, candidate);
                }
                const LayoutSpec& maximum = mLayout->axes[0].maximum;
                if (maximum.kind == kLimitToSelf && maximum.absolute > 0.0 &&
                    m > maximum.absolute) {
                    m = maximum.absolute;
                    text.SetWordWrap(true);
                }
            } else if (axis == 1 && overflow == kTextOverflowExpand) {
                const double width = std::clamp(size.x, -2147483648.0, 2147483647.0);
                const int32_t h = text.GetHeightForWidth(static_cast<int32_t>(width));
                const float deficit = std::ceil(float(h) - textHeight);
                const float span = placement.bottomRel - placement.topRel;
                if (deficit > 0.0f && span > 0.0f) {
                    const double grow = std::ceil(double(deficit / span));
                    m = std::max(m, s + std::trunc(grow));
                }
            }
        }
        if (m > s) {
            const double d = m - s;
            s = m;
            p -= RoundHalf(a * d);
            result = 1;
        }
        return;
    }
    if (mChildren.GetCount() == 0) {
        return;
    }
    PointT<double> origin;
    PointT<double> extent;
    if (!FindLimitReference(minimum.reference, axis, false, position, origin, extent) ||
        !(Axis(extent, axis) > 0.0)) {
        return;
    }
    const double e =
        double(minimum.relative) * Axis(extent, axis) + Axis(origin, axis) + minimum.absolute;
    if (p > e) {
        if (anchor > 0.0f && anchor <= 1.0f) {
            const double d = p - e;
            p -= d;
            s += RoundHalf(d / a);
            result = 1;
        } else {
            result = E_FAIL;
        }
    } else if (e > p + s) {
        if (anchor >= 0.0f && anchor < 1.0f) {
            const double d = e - (p + s);
            p -= RoundHalf(a * d / (1.0 - a));
            s = RoundHalf(e) - p;
            result = 1;
        } else {
            result = E_FAIL;
        }
    }
    GrowByLookFrame(axis, false, size);
}

void LControl::LayoutAxisMaximum(int axis, PointT<double>& position, PointT<double>& size,
                                 int32_t& result)
{
    const LayoutSpec& maximum = mLayout->axes[axis].maximum;
    const double a = mLayout->axes[axis].anchor;
    double& p = Axis(position, axis);
    double& s = Axis(size, axis);
    if (maximum.kind == kLimitToSelf) {
        if (maximum.absolute != 0.0 && s > maximum.absolute) {
            const double d = maximum.absolute - s;
            s = maximum.absolute;
            p -= RoundHalf(a * d);
            result = 1;
        }
        return;
    }
    if (mChildren.GetCount() == 0) {
        return;
    }
    PointT<double> origin;
    PointT<double> extent;
    if (!FindLimitReference(maximum.reference, axis, true, position, origin, extent) ||
        !(extent.x > kTinyExtent) || !(extent.y > kTinyExtent)) {
        return;
    }
    const double m =
        double(maximum.relative) * Axis(extent, axis) + Axis(origin, axis) + maximum.absolute;
    if (p < m && m < p + s) {
        // The near edge stays and the far edge is cut back to the reference edge.
        s = RoundHalf(m) - p;
        result = 1;
    }
    GrowByLookFrame(axis, true, size);
}

namespace {

using AxisLimit = void (LControl::*)(int axis, PointT<double>& position, PointT<double>& size,
                                     int32_t& result);

// Applies a limit on both axes: the result of the last axis that did not answer S_OK.
int32_t ApplyOnBothAxes(LControl& control, AxisLimit limit, PointT<double>& position,
                        PointT<double>& size)
{
    int32_t result = S_OK;
    for (int axis = 0; axis < 2; ++axis) {
        int32_t axisResult = S_OK;
        (control.*limit)(axis, position, size, axisResult);
        if (axisResult != S_OK) {
            result = axisResult;
        }
    }
    return result;
}

} // namespace

int32_t LControl::ApplyMinSize(PointT<double>& position, PointT<double>& size)
{
    return mLayout ? ApplyOnBothAxes(*this, &LControl::LayoutAxisMinimum, position, size) : S_OK;
}

int32_t LControl::ApplyMaxSize(PointT<double>& position, PointT<double>& size)
{
    return mLayout ? ApplyOnBothAxes(*this, &LControl::LayoutAxisMaximum, position, size) : S_OK;
}

// The layout pass -------------------------------------------------------------------------------

RCPtr<LRootWindow> LControl::FindLayoutWindow() const
{
    if (mRootWindow) {
        return mRootWindow;
    }
    IControlApplication* application = GetControlApplication();
    if (application == nullptr) {
        return nullptr;
    }
    if (RCPtr<LRootWindow> active = application->GetActiveRootWindow()) {
        return active;
    }
    return application->GetRootWindowCount() > 0 ? application->GetRootWindow(0) : nullptr;
}

int32_t LControl::UpdateLayout()
{
    if (!mLayout) {
        return E_FAIL;
    }
    RectT<double> rect;
    if (mParent) {
        ComputeLayoutRect(*this, mParent.Get(), {}, {}, {}, rect);
    } else {
        if (mCreated && !mRootWindow) {
            return E_FAIL;
        }
        const RCPtr<LRootWindow> window = FindLayoutWindow();
        if (!window) {
            return E_FAIL;
        }
        IControlApplication* application = GetControlApplication();
        const RectT<int32_t> client = window->GetScreenClientRect();
        const RectT<int32_t> work =
            application != nullptr ? application->GetWorkArea() : RectT<int32_t>{};
        const PointT<int32_t> cursor =
            application != nullptr ? application->GetCursorPosition() : PointT<int32_t>{};
        const RectT<double> area{-double(client.x), -double(client.y), double(work.width),
                                 double(work.height)};
        const PointT<double> reference{double(cursor.x) - client.x, double(cursor.y) - client.y};
        ComputeLayoutRect(*this, nullptr, area, window->GetClientSize(), reference, rect);
    }
    PointT<double> position{rect.x, rect.y};
    PointT<double> size{rect.width, rect.height};
    ApplyMinSize(position, size);
    ApplyMaxSize(position, size);
    rect = {position.x, position.y, size.x, size.y};
    rect = SnapRect(rect);
    return SetRect({rect.x, rect.y}, {rect.width, rect.height});
}

int32_t LControl::SetRect(const PointT<double>& position, const PointT<double>& size)
{
    if (position.x == mRect.x && position.y == mRect.y && size.x == mRect.width &&
        size.y == mRect.height) {
        return S_FALSE;
    }
    // Keeps the control alive while the changes it causes run through the tree.
    RCPtr<LControl> keepAlive(this);
    ++gLayoutDepth;
    BeginResize();
    const bool sizeChanged = !(std::fabs(size.x - mRect.width) < kExtentEpsilon &&
                               std::fabs(size.y - mRect.height) < kExtentEpsilon);
    InvalidateSelf();
    if (mUnclippedCount > 0) {
        InvalidateChildren();
    }
    mRect = {position.x, position.y, size.x, size.y};
    const int32_t width = RoundToInt(size.x);
    const int32_t height = RoundToInt(size.y);
    for (int32_t i = 0; i < mLooks.GetCount(); ++i) {
        if (const RCPtr<LLook>& look = *mLooks.At(i)) {
            look->SetSize(width, height);
        }
    }
    const bool spread = gLayoutDepth <= kMaxLayoutDepth;
    if (sizeChanged && !mLayoutSuspended && spread) {
        mLayoutSuspended = true;
        for (int32_t i = 0; i < mChildren.GetCount(); ++i) {
            RCPtr<LControl> child = mChildren.GetAt(i, kStoredOrder);
            child->OnLayoutRequest({width, height});
        }
        UpdateLayout();
        mLayoutSuspended = false;
    }
    if (mParent && spread) {
        RCPtr<LControl> parent = mParent;
        const int32_t index = parent->mChildren.IndexOf(this, kStoredOrder);
        for (int32_t i = index + 1; index >= 0 && i < parent->mChildren.GetCount(); ++i) {
            RCPtr<LControl> sibling = parent->mChildren.GetAt(i, kStoredOrder);
            if (sibling->UpdateLayout() != S_FALSE) {
                break;
            }
        }
        parent->Relayout(this);
    } else if (!mParent && mRootWindow) {
        const RectT<int32_t> client = mRootWindow->GetScreenClientRect();
        mRootWindow->SetWindowRect({client.x, client.y, width, height});
    }
    // A control shrunk to nothing is no longer shown and cannot take keys; the size is read back
    // because the layout above may have given it another. A control still being built measures
    // itself at size 0 on the way and keeps the focus through it.
    if ((!(mRect.width > 0.0) || !(mRect.height > 0.0)) && mParent && mCreated) {
        PassFocusToParent();
    }
    InvalidateSelf();
    if (mUnclippedCount > 0) {
        InvalidateChildren();
    }
    EndResize();
    --gLayoutDepth;
    return S_OK;
}

int32_t LControl::Relayout(LControl* child)
{
    if (!mLayoutSuspended) {
        UpdateLayout();
    }
    OnChildRectChanged(child);
    return S_OK;
}

int32_t LControl::OnLayoutRequest(const PointT<int32_t>& /*size*/)
{
    UpdateLayout();
    return S_OK;
}

int32_t LControl::OnParentLayoutChanged(const PointT<double>& /*oldOffset*/,
                                        const PointT<double>& /*newOffset*/)
{
    if (IsDocked(0) || IsDocked(1)) {
        UpdateLayout();
    }
    return S_OK;
}

void LControl::BeginResize()
{}
void LControl::EndResize()
{}
void LControl::OnChildRectChanged(LControl* /*child*/)
{}
void LControl::OnScrollOffsetChanged(const PointT<double>& /*oldOffset*/,
                                     const PointT<double>& /*newOffset*/)
{}

// Run-time changes of the layout record ------------------------------------------------------

int32_t LControl::SetPlacement(const LayoutPositionSpec& xPosition, const LayoutSpec& xSize,
                               const LayoutPositionSpec& yPosition, const LayoutSpec& ySize)
{
    if (!mLayout) {
        return S_FALSE;
    }
    if (mParent && (xPosition.docked != mLayout->axes[0].docked ||
                    yPosition.docked != mLayout->axes[1].docked)) {
        mParent->mChildren.MarkStale();
    }
    mLayout->SetAxisSpec(0, xPosition, xSize);
    mLayout->SetAxisSpec(1, yPosition, ySize);
    UpdateLayout();
    LayoutPositionSpec p;
    LayoutSpec s;
    bool same = mLayout->GetAxisSpec(0, p, s) == S_OK && SamePosition(p, xPosition) &&
                SameSize(s, xSize, kSizeToControl);
    same = same && mLayout->GetAxisSpec(1, p, s) == S_OK && SamePosition(p, yPosition) &&
           SameSize(s, ySize, kSizeToControl);
    return same ? S_OK : S_FALSE;
}

int32_t LControl::SetLayoutSpec(int32_t axis, const LayoutPositionSpec& position,
                                const LayoutSpec& size)
{
    if (!mLayout) {
        return S_FALSE;
    }
    if (mParent && (axis == 0 || axis == 1) && position.docked != mLayout->axes[axis].docked) {
        mParent->mChildren.MarkStale();
    }
    mLayout->SetAxisSpec(axis, position, size);
    UpdateLayout();
    LayoutPositionSpec p;
    LayoutSpec s;
    return mLayout->GetAxisSpec(axis, p, s) == S_OK && SamePosition(p, position) &&
                   SameSize(s, size, kSizeToControl)
               ? S_OK
               : S_FALSE;
}

int32_t LControl::SetSizeLimits(int32_t axis, const LayoutSpec& minimum, const LayoutSpec& maximum)
{
    if (!mLayout) {
        return S_FALSE;
    }
    mLayout->SetAxisLimits(axis, minimum, maximum);
    UpdateLayout();
    LayoutSpec lo;
    LayoutSpec hi;
    return mLayout->GetAxisLimits(axis, lo, hi) == S_OK && SameSize(lo, minimum, kLimitToControl) &&
                   SameSize(hi, maximum, kLimitToControl)
               ? S_OK
               : S_FALSE;
}

void LControl::GetPreferredSize(double& width, double& height)
{
    width = 0.0;
    height = 0.0;
    if (!mLayout) {
        return;
    }
    for (int32_t axis = 0; axis < 2; ++axis) {
        LayoutPositionSpec position;
        LayoutSpec size;
        mLayout->GetAxisSpec(axis, position, size);
        SetLayoutSpec(axis, position, {kSizeToSelf, {}, 0.0f, 0.0});
        (axis == 0 ? width : height) = axis == 0 ? mRect.width : mRect.height;
        SetLayoutSpec(axis, position, size);
    }
}

void LControl::GetMaxSize(double& width, double& height)
{
    width = 0.0;
    height = 0.0;
    if (!mLayout) {
        return;
    }
    if (mLayout->axes[0].maximum.kind == kLimitToSelf) {
        width = mLayout->axes[0].maximum.absolute;
    }
    if (mLayout->axes[1].maximum.kind == kLimitToSelf) {
        height = mLayout->axes[1].maximum.absolute;
    }
}

// Scrolling, client area and coordinates ------------------------------------------------------

const PointT<double>& LControl::SetScrollOffset(const PointT<double>& offset)
{
    const PointT<double> rounded{RoundHalf(offset.x), RoundHalf(offset.y)};
    if (rounded == mScrollOffset) {
        return mScrollOffset;
    }
    RCPtr<LControl> keepAlive(this);
    InvalidateChildren();
    const PointT<double> old = mScrollOffset;
    mScrollOffset = rounded;
    for (int32_t i = 0; i < mChildren.GetCount(); ++i) {
        RCPtr<LControl> child = mChildren.GetAt(i, kStoredOrder);
        child->OnParentLayoutChanged(old, rounded);
    }
    InvalidateSelf();
    OnScrollOffsetChanged(old, rounded);
    SendNotification(kNidScrollOffsetChange);
    // The content moved under a pointer that stood still: the control under it changes now,
    // not at the next move.
    if (const RCPtr<LRootWindow> window = GetRootWindowRef()) {
        const PointT<int32_t> pointer = window->GetCursorPosition();
        const PointT<int32_t> corner = GetPositionInRoot().Round();
        const double x = double(pointer.x) - corner.x;
        const double y = double(pointer.y) - corner.y;
        if (x >= 0.0 && y >= 0.0 && x < mRect.width && y < mRect.height) {
            PointT<int32_t> local;
            window->HitTest(pointer, true, local);
        }
    }
    return mScrollOffset;
}

void LControl::GetScrollLimits(RectT<double>& limits, LControl* /*child*/)
{
    limits = {0.0, 0.0, kTwo52, kTwo52};
}

void LControl::GetClientArea(RectT<double>& area)
{
    const RectT<double> client = GetLookRect(-1);
    area = {0.0, 0.0, client.width, client.height};
}

void LControl::GetClientRect(RectT<double>& rect)
{
    const RectT<double> client = GetLookRect(-1);
    rect = {mScrollOffset.x, mScrollOffset.y, client.width, client.height};
}

PointT<double> LControl::GetPositionInRoot() const
{
    PointT<double> p{mRect.x, mRect.y};
    for (const LControl* a = mParent.Get(); a != nullptr; a = a->mParent.Get()) {
        const RectT<double> client = a->GetLookRect(-1);
        p.x = p.x - a->mScrollOffset.x + client.x + a->mRect.x;
        p.y = p.y - a->mScrollOffset.y + client.y + a->mRect.y;
    }
    return p;
}

PointT<double> LControl::GetPositionInRootRecursive() const
{
    if (!mParent) {
        return {mRect.x, mRect.y};
    }
    const PointT<double> parent = mParent->GetPositionInRootRecursive();
    const RectT<double> client = mParent->GetLookRect(-1);
    return {parent.x + client.x + (mRect.x - mParent->mScrollOffset.x),
            parent.y + client.y + (mRect.y - mParent->mScrollOffset.y)};
}

void LControl::OffsetToControl(const LControl& other, PointT<double>& point) const
{
    const PointT<int32_t> mine = GetPositionInRoot().Round();
    const PointT<int32_t> theirs = other.GetPositionInRoot().Round();
    point.x = ClampToTwo52(point.x + double(theirs.x) - double(mine.x));
    point.y = ClampToTwo52(point.y + double(theirs.y) - double(mine.y));
}

void LControl::GetChildrenBounds(RectT<int32_t>& bounds) const
{
    int64_t left = INT32_MAX;
    int64_t top = INT32_MAX;
    int64_t right = 0;
    int64_t bottom = 0;
    bool any = false;
    for (int32_t i = mChildren.GetCount() - 1; i >= 0; --i) {
        const LControl& child = *mChildren.GetAt(i, kStoredOrder);
        if (child.IsDocked(0) || child.IsDocked(1)) {
            continue;
        }
        const RectT<double>& r = child.GetRect();
        const int64_t x = RoundToInt(r.x);
        const int64_t y = RoundToInt(r.y);
        left = std::min(left, x);
        top = std::min(top, y);
        right = any ? std::max(right, x + RoundToInt(r.width)) : x + RoundToInt(r.width);
        bottom = any ? std::max(bottom, y + RoundToInt(r.height)) : y + RoundToInt(r.height);
        any = true;
    }
    if (!any) {
        bounds = {INT32_MAX, INT32_MAX, 1, 1};
        return;
    }
    const auto clampInt = [](int64_t v) {
        return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
    };
    bounds = {clampInt(left), clampInt(top), clampInt(right - left), clampInt(bottom - top)};
}

// Looks ----------------------------------------------------------------------------------------

int32_t LControl::AddLook(const RCPtr<LLook>& look)
{
    mLooks.Add(look);
    while (mLookAlphas.GetCount() < mLooks.GetCount()) {
        mLookAlphas.Add(0.0f);
    }
    if (look) {
        look->SetSize(RoundToInt(mRect.width), RoundToInt(mRect.height));
    }
    return mLooks.GetCount() - 1;
}

void LControl::ClearLooks()
{
    mLooks.RemoveAll();
    mLookAlphas.RemoveAll();
}

int32_t LControl::ShowLook(int32_t index)
{
    return SetLookAlpha(uint32_t(index), 1.0f, true);
}

RCPtr<LLook> LControl::GetLook(int32_t index) const
{
    if (index >= 0 && index < mLooks.GetCount()) {
        return *mLooks.At(index);
    }
    for (int32_t i = 0; i < mLooks.GetCount(); ++i) {
        if (GetLookAlpha(i) > 0.0f && *mLooks.At(i)) {
            return *mLooks.At(i);
        }
    }
    for (int32_t i = 0; i < mLooks.GetCount(); ++i) {
        if (*mLooks.At(i)) {
            return *mLooks.At(i);
        }
    }
    return nullptr;
}

RectT<double> LControl::GetLookRect(int32_t index) const
{
    if (const RCPtr<LLook> look = GetLook(index)) {
        return look->GetClientRect();
    }
    return {0.0, 0.0, mRect.width, mRect.height};
}

} // namespace SV
