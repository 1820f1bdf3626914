#include "ControlBase/Control.h"

#include "ResultCodes.h"
#include "Windows/RootWindow.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace SV {

namespace {

bool Overlaps(const RectT<double>& a, const RectT<double>& b)
{
    return a.x < b.Right() && b.x < a.Right() && a.y < b.Bottom() && b.y < a.Bottom();
}

bool IsEmptyRect(const RectT<double>& r)
{
    return !(r.width > kMinExtent) || !(r.height > kMinExtent);
}

RectT<double> RoundEach(const RectT<double>& r)
{
    return {RoundHalf(r.x), RoundHalf(r.y), RoundHalf(r.width), RoundHalf(r.height)};
}

// Scales the opacity of the renderer's current state.
void MultiplyOpacity(const RCPtr<LRenderer>& renderer, float factor)
{
    if (RenderState* state = renderer->GetCurrentState()) {
        state->opacity *= factor;
    }
}

} // namespace

bool LControl::IsShown() const
{
    return (!mLayout || mLayout->visible) && mRect.width > 0.0 && mRect.height > 0.0;
}

PointT<double> LControl::GetOffsetInParent() const
{
    if (!mParent) {
        return {mRect.x, mRect.y};
    }
    const RectT<double> client = mParent->GetLookRect(-1);
    return {mRect.x - mParent->mScrollOffset.x + client.x,
            mRect.y - mParent->mScrollOffset.y + client.y};
}

int32_t LControl::Draw(const RCPtr<LRenderer>& renderer, const RectRegion& dirty,
                       RCPtrArray<LControl>& unclipped, bool unclippedPass)
{
    // Clipped controls belong to the normal pass, unclipped ones to the window's second.
    if (IsClipped() == unclippedPass) {
        return E_INVALIDARG;
    }
    const RenderState* state = renderer ? renderer->GetCurrentState() : nullptr;
    if (!IsShown() || state == nullptr) {
        return S_OK;
    }
    RectT<double> visible = mRect;
    if (!unclippedPass) {
        IntersectRect(visible, state->clip, visible);
    }
    if (IsEmptyRect(visible)) {
        if (mUnclippedCount > 0) {
            CollectUnclippedControls(unclipped, true, false);
        }
        return S_OK;
    }
    // The dirty test comes before the push, which would move the origin to the rounded corner:
    // a control away from the damage costs no state change.
    const PointT<double> origin{state->origin.x + RoundHalf(mRect.x),
                                state->origin.y + RoundHalf(mRect.y)};
    if (!dirty.IntersectsRect(RectT<double>{0.0, 0.0, mRect.width, mRect.height}, origin)) {
        if (mUnclippedCount > 0) {
            CollectUnclippedControls(unclipped, true, false);
        }
        return S_OK;
    }
    CAutoClip ownClip(renderer, RoundEach(mRect), visible, nullptr);
    MultiplyOpacity(renderer, mOpacity);

    const int32_t lookCount = mLooks.GetCount();
    // Client parts of every shown look first, so that no look's frame is covered by another's
    // client part.
    for (int32_t i = 0; i < lookCount; ++i) {
        const RCPtr<LLook>& look = *mLooks.At(i);
        const float alpha = GetLookAlpha(i);
        if (look && alpha > 0.0f) {
            CAutoClip save(renderer);
            MultiplyOpacity(renderer, alpha);
            look->DrawClientPart(renderer, dirty);
        }
    }
    for (int32_t i = 0; i < lookCount; ++i) {
        const RCPtr<LLook>& look = *mLooks.At(i);
        const float alpha = GetLookAlpha(i);
        if (look && alpha > 0.0f) {
            CAutoClip save(renderer);
            MultiplyOpacity(renderer, alpha);
            look->DrawNonClientParts(renderer, dirty);
        }
    }
    DrawHookPerRectangle(renderer, dirty, false);
    const PointT<double> textOffset = mLabelScrolls ? mScrollOffset : PointT<double>{0.0, 0.0};
    for (int32_t i = 0; i < lookCount; ++i) {
        const float alpha = GetLookAlpha(i);
        if (!(alpha > 0.0f)) {
            continue;
        }
        CAutoClip save(renderer);
        MultiplyOpacity(renderer, alpha);
        if (const RCPtr<LLook>& look = *mLooks.At(i)) {
            look->DrawLabelText(renderer, dirty, textOffset);
        }
        if (mChildren.GetCount() > 0) {
            DrawChildren(renderer, dirty, i, unclipped);
        }
    }
    DrawHookPerRectangle(renderer, dirty, true);
    for (int32_t i = 0; i < mChildren.GetCount(); ++i) {
        const RCPtr<LControl>& child = mChildren.GetAt(i, kDrawOrder);
        if (child->IsShown() && !child->IsClipped()) {
            unclipped.Add(child);
        }
    }
    return S_OK;
}

void LControl::DrawHookPerRectangle(const RCPtr<LRenderer>& renderer, const RectRegion& dirty,
                                    bool overChildren)
{
    const RectT<double> bounds{0.0, 0.0, mRect.width, mRect.height};
    for (const RectRegion::Node* node = dirty.GetFirst(); node != nullptr; node = node->next) {
        const RenderState* state = renderer->GetCurrentState();
        RectT<double> piece{double(node->left) - state->origin.x,
                            double(node->top) - state->origin.y, double(node->right - node->left),
                            double(node->bottom - node->top)};
        if (!IntersectRect(piece, state->clip, piece)) {
            continue;
        }
        CAutoClip clip(renderer, bounds, piece, nullptr);
        if (overChildren) {
            OnDrawOverChildren(renderer);
        } else {
            OnDrawContent(renderer);
        }
    }
}

int32_t LControl::OnDrawContent(const RCPtr<LRenderer>& /*renderer*/)
{
    return S_OK;
}

int32_t LControl::OnDrawOverChildren(const RCPtr<LRenderer>& /*renderer*/)
{
    return S_OK;
}

ClipRequest LControl::MakeChildClip(bool toClient, int32_t lookIndex) const
{
    RectT<double> client;
    const RCPtr<LLook>* look =
        lookIndex >= 0 && lookIndex < mLooks.GetCount() ? mLooks.At(lookIndex) : nullptr;
    if (look != nullptr && *look) {
        client = (*look)->GetClientRect();
    } else {
        client = RoundEach({0.0, 0.0, mRect.width, mRect.height});
    }
    ClipRequest request;
    if (toClient) {
        request.flavor = 1;
        request.bounds = {client.x - mScrollOffset.x, client.y - mScrollOffset.y,
                          client.width + mScrollOffset.x, client.height + mScrollOffset.y};
        request.clip = client;
        request.relative = true;
    } else {
        request.flavor = 2;
        request.offset = {client.x - mScrollOffset.x, client.y - mScrollOffset.y};
    }
    return request;
}

void LControl::DrawChildren(const RCPtr<LRenderer>& renderer, const RectRegion& dirty,
                            int32_t lookIndex, RCPtrArray<LControl>& unclipped)
{
    const int32_t count = mChildren.GetCount();
    if (count == 0) {
        return;
    }
    int32_t position = 0;
    const ClipRequest toClient = MakeChildClip(true, lookIndex);
    DrawChildRunA(renderer, dirty, unclipped, toClient, position);
    if (position < count) {
        DrawChildRunB(renderer, dirty, unclipped, toClient, position);
    }
    if (position < count) {
        DrawChildRunDocked(renderer, dirty, unclipped, MakeChildClip(false, lookIndex), position);
    }
}

void LControl::DrawChildRunA(const RCPtr<LRenderer>& renderer, const RectRegion& dirty,
                             RCPtrArray<LControl>& unclipped, const ClipRequest& clip,
                             int32_t& position)
{
    DrawChildRun(renderer, dirty, unclipped, clip, position, 0);
}

void LControl::DrawChildRunB(const RCPtr<LRenderer>& renderer, const RectRegion& dirty,
                             RCPtrArray<LControl>& unclipped, const ClipRequest& clip,
                             int32_t& position)
{
    DrawChildRun(renderer, dirty, unclipped, clip, position, 1);
}

void LControl::DrawChildRunDocked(const RCPtr<LRenderer>& renderer, const RectRegion& dirty,
                                  RCPtrArray<LControl>& unclipped, const ClipRequest& clip,
                                  int32_t& position)
{
    DrawChildRun(renderer, dirty, unclipped, clip, position, 2);
}

void LControl::DrawChildRun(const RCPtr<LRenderer>& renderer, const RectRegion& dirty,
                            RCPtrArray<LControl>& unclipped, const ClipRequest& clip,
                            int32_t& position, int32_t dockedAxes)
{
    const int32_t count = mChildren.GetCount();
    const auto belongs = [&](int32_t index) {
        const LControl& child = *mChildren.GetAt(index, kDrawOrder);
        return child.IsClipped() && child.DockedAxisCount() == dockedAxes;
    };
    const RenderState* state = renderer->GetCurrentState();
    // Docked children may cover the look's frame, so their run is never stepped over.
    const bool draw = dockedAxes == 2 || (state != nullptr && !IsEmptyRect(clip.clip) &&
                                          Overlaps(clip.clip, state->clip));
    if (!draw) {
        for (; position < count && belongs(position); ++position) {
            const RCPtr<LControl>& child = mChildren.GetAt(position, kDrawOrder);
            if (child->mUnclippedCount > 0) {
                child->CollectUnclippedControls(unclipped, true, false);
            }
        }
        return;
    }
    if (position >= count || !belongs(position)) {
        return;
    }
    CAutoClip runClip(renderer, clip);
    for (; position < count && belongs(position); ++position) {
        // Held while it draws: a hook may change the tree.
        const RCPtr<LControl> child = mChildren.GetAt(position, kDrawOrder);
        child->Draw(renderer, dirty, unclipped, false);
    }
}

int32_t LControl::CollectUnclippedControls(RCPtrArray<LControl>& list, bool visibleOnly,
                                           bool includeSelf)
{
    const int32_t before = list.GetCount();
    const bool shown = IsShown();
    if (!IsClipped() && (!visibleOnly || shown) && includeSelf) {
        list.Add(RCPtr<LControl>(this));
    }
    if (!(visibleOnly && !shown)) {
        for (int32_t i = 0; i < mChildren.GetCount(); ++i) {
            mChildren.GetAt(i, kDrawOrder)->CollectUnclippedControls(list, visibleOnly, true);
        }
    }
    return list.GetCount() - before;
}

int32_t LControl::Invalidate(const RectT<double>& rect, bool clip)
{
    PointT<double> origin{mRect.x, mRect.y};
    if (mParent) {
        const PointT<double> parentOrigin = mParent->GetPositionInRoot();
        const PointT<double> offset = GetOffsetInParent();
        origin = {parentOrigin.x + offset.x, parentOrigin.y + offset.y};
    }
    return InvalidateAbsolute({rect.x + origin.x, rect.y + origin.y, rect.width, rect.height}, clip,
                              rect);
}

int32_t LControl::InvalidateSelf()
{
    return Invalidate({0.0, 0.0, mRect.width, mRect.height}, IsClipped());
}

int32_t LControl::InvalidateAbsolute(const RectT<double>& rootRect, bool clip,
                                     const RectT<double>& localClip)
{
    if (!IsShown()) {
        return S_FALSE;
    }
    RectT<double> area = rootRect;
    RectT<double> c = localClip;
    const PointT<double> offset = GetOffsetInParent();
    if (clip && IsClipped()) {
        RectT<double> parentArea;
        if (mParent) {
            parentArea = {-offset.x, -offset.y, mParent->mRect.width, mParent->mRect.height};
        } else if (mRootWindow) {
            const PointT<double> size = mRootWindow->GetClientSize();
            parentArea = {-offset.x, -offset.y, size.x, size.y};
        } else {
            parentArea = c;
        }
        if (!IntersectRect(c, parentArea, c)) {
            return S_FALSE;
        }
    } else if (clip) {
        // The clipping gathered so far still holds; the ancestors from here on add none.
        const PointT<double> corner = GetPositionInRoot();
        const RectT<double> inRoot{c.x + corner.x, c.y + corner.y, c.width, c.height};
        if (!IntersectRect(area, inRoot, area)) {
            return S_FALSE;
        }
        clip = false;
    }
    if (mParent) {
        c.x += offset.x;
        c.y += offset.y;
        return mParent->InvalidateAbsolute(area, clip, c);
    }
    if (!mRootWindow) {
        return S_OK;
    }
    if (clip) {
        // The top control's local coordinates sit at its position in the window.
        const RectT<double> inRoot{c.x + offset.x, c.y + offset.y, c.width, c.height};
        if (!IntersectRect(area, inRoot, area)) {
            return S_FALSE;
        }
    }
    mRootWindow->Invalidate(RoundEach(area));
    return S_OK;
}

void LControl::InvalidateChildren()
{
    if (mUnclippedCount > 0) {
        RCPtrArray<LControl> collected;
        CollectUnclippedControls(collected, true, true);
        for (int32_t i = collected.GetCount() - 1; i >= 0; --i) {
            const RCPtr<LControl>& control = *collected.At(i);
            control->Invalidate({0.0, 0.0, control->mRect.width, control->mRect.height},
                                control->IsClipped());
        }
    } else if (!IsClipped()) {
        Invalidate({0.0, 0.0, mRect.width, mRect.height}, false);
    }
}

bool LControl::IsTransparentAt(const PointT<int32_t>& point)
{
    for (int32_t i = 0; i < mLooks.GetCount(); ++i) {
        if (GetLookAlpha(i) > 0.0f && !IsTransparentColor(GetColorAtPoint(point, i))) {
            return false;
        }
    }
    return true;
}

uint32_t LControl::GetColorAtPoint(const PointT<int32_t>& point, int32_t lookIndex) const
{
    const RCPtr<LLook> look = GetLook(lookIndex);
    return look ? look->GetColorAtPoint(point) : kTransparentColor;
}

int32_t LControl::GetEffectiveZOrder() const
{
    int32_t order = !IsClipped() ? mLayout->zOrder : INT_MIN;
    for (const LControl* a = mParent.Get(); a != nullptr; a = a->mParent.Get()) {
        if (!a->IsClipped()) {
            order = std::max(order, a->mLayout->zOrder);
        }
    }
    return order;
}

int32_t LControl::DetachChildLater(const RCPtr<LControl>& child)
{
    if (!child || child->mParent.Get() != this) {
        return E_INVALIDARG;
    }
    // A child that leaves while it holds the pointer gives the capture back first, so the
    // window does not keep sending the pointer to a control that is gone.
    if (child->HasCapture()) {
        child->OnCaptureLost();
    }
    child->SetVisible(false);
    if (mPendingDetach.Add(child) < 0) {
        return E_INVALIDARG;
    }
    if (mPendingDetach.GetCount() == 1) {
        RequestIdle();
    }
    return S_OK;
}

int32_t LControl::DetachPendingChildren()
{
    const int32_t count = mPendingDetach.GetCount();
    if (count == 0) {
        return S_OK;
    }
    RCPtr<LControl> keepAlive(this);
    for (int32_t i = 0; i < count && mPendingDetach.GetCount() > 0; ++i) {
        const RCPtr<LControl> child = *mPendingDetach.At(0);
        mPendingDetach.RemoveAt(0, 1);
        if (child && child->mParent.Get() == this) {
            child->Detach();
        }
        if (mPendingDetach.GetCount() == 0) {
            ReleaseIdle();
        }
    }
    return S_OK;
}

} // namespace SV
