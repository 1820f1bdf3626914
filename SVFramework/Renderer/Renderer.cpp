#include "Renderer/Renderer.h"

#include "ObjectBase/Exception.h"

#include <algorithm>
#include <stdexcept>

namespace SV {

namespace {

[[noreturn]] void ThrowRuntimeError(const char* text)
{
    throw Exception<std::runtime_error>(text);
}

PointT<double> RoundedOffset(double x, double y)
{
    const PointT<int32_t> rounded = PointT<double>{x, y}.Round();
    return {static_cast<double>(rounded.x), static_cast<double>(rounded.y)};
}

} // namespace

LRenderContextInfo* LRenderer::GetCurrentContext() const
{
    return mContexts.empty() ? nullptr : mContexts.back().Get();
}

RenderState* LRenderer::GetCurrentState() const
{
    LRenderContextInfo* context = GetCurrentContext();
    return context != nullptr ? &context->GetState() : nullptr;
}

int32_t LRenderer::SetViewport(const RectT<int32_t>& target)
{
    if (LRenderContextInfo* context = GetCurrentContext()) {
        context->SetTarget(target);
    }
    return 0;
}

int32_t LRenderer::SetStencil(const RCPtr<LStencil>& stencil)
{
    if (RenderState* state = GetCurrentState()) {
        if (!(state->stencil == stencil)) {
            state->stencil = stencil;
        }
    }
    return 0;
}

int32_t LRenderer::RenderStart(const RCPtr<LRenderContextInfo>& context)
{
    if (!context) {
        ThrowRuntimeError("Runtime Error : Render context is NULL : SV::LRenderer::RenderStart : "
                          "Renderer\\Renderer : Line 231");
    }
    const bool reentered = std::any_of(mContexts.begin(), mContexts.end(),
                                       [&](const auto& held) { return held == context; });
    if (reentered) {
        ThrowRuntimeError("Runtime Error : Render context reentered. : "
                          "SV::LRenderer::RenderStart : Renderer\\Renderer : Line 237");
    }
    mContexts.push_back(context);
    return 0;
}

int32_t LRenderer::RenderFinish(const RCPtr<LRenderContextInfo>& context)
{
    if (mContexts.empty() || !(mContexts.back() == context)) {
        ThrowRuntimeError("Runtime Error : RenderFinish context does not match RenderStart "
                          "context : SV::LRenderer::RenderFinish : Renderer\\Renderer : Line 250");
    }
    mContexts.pop_back();
    return 0;
}

void LRenderer::SetClipRect(const RectT<double>& clip)
{
    if (RenderState* state = GetCurrentState()) {
        state->clip = clip;
    }
}

void LRenderer::Translate(const PointT<double>& delta)
{
    if (RenderState* state = GetCurrentState()) {
        state->origin.x += delta.x;
        state->origin.y += delta.y;
    }
}

void LRenderer::PushClipState()
{
    if (LRenderContextInfo* context = GetCurrentContext()) {
        context->GetSavedStates().push_back(context->GetState());
    }
}

void LRenderer::PushClipOffset(const PointT<double>& offset)
{
    LRenderContextInfo* context = GetCurrentContext();
    if (context == nullptr || context->GetSavedStates().empty()) {
        return;
    }
    context->GetSavedStates().push_back(context->GetState());
    const PointT<double> rounded = RoundedOffset(offset.x, offset.y);
    Translate(rounded);
    RenderState& state = context->GetState();
    state.clip.x -= rounded.x;
    state.clip.y -= rounded.y;
}

void LRenderer::PushClipRect(const RectT<double>& bounds, const RectT<double>& clip,
                             const RCPtr<LStencil>& stencil, bool relative)
{
    LRenderContextInfo* context = GetCurrentContext();
    if (context == nullptr) {
        return;
    }
    RenderState& state = context->GetState();
    const PointT<double> offset =
        relative ? RoundedOffset(bounds.x, bounds.y)
                 : RoundedOffset(bounds.x - state.origin.x, bounds.y - state.origin.y);
    context->GetSavedStates().push_back(state);

    RectT<double> newClip = clip;
    if (relative) {
        const bool inBounds = IntersectRect(newClip, bounds, newClip);
        const bool inClip = IntersectRect(newClip, state.clip, newClip);
        if (!inBounds || !inClip) {
            // Snapping would turn the inverted extents of an empty intersection into the gap
            // between the two rectangles; an empty clip has to hide everything instead.
            newClip.width = 0.0;
            newClip.height = 0.0;
        }
    }
    newClip = SnapRect(newClip);
    // The clip goes in before the origin moves, so that a back end sets its device clip in the
    // coordinates the clip was computed in.
    SetClipRect(newClip);
    Translate(offset);
    if (relative) {
        state.clip.x -= offset.x;
        state.clip.y -= offset.y;
    }

    if (stencil) {
        if (state.stencilApplied) {
            SetStencil(LStencil::Create(stencil->GetWidth(), stencil->GetHeight()));
        } else {
            SetStencil(stencil);
            state.stencilApplied = true;
        }
    }
}

void LRenderer::PopClip()
{
    LRenderContextInfo* context = GetCurrentContext();
    if (context == nullptr || context->GetSavedStates().empty()) {
        return;
    }
    const RenderState saved = context->GetSavedStates().back();
    context->GetSavedStates().pop_back();

    RenderState& state = context->GetState();
    Translate({saved.origin.x - state.origin.x, saved.origin.y - state.origin.y});
    // The difference of two fractional origins need not add back to the saved one exactly.
    state.origin = saved.origin;
    state.opacity = saved.opacity;
    SetClipRect(saved.clip);
    SetStencil(saved.stencil);
    state.stencilApplied = saved.stencilApplied;
}

void LRenderer::DrawFilledRectWithFillAndOutline(const RectT<int32_t>& rect, const ColorT& fill,
                                                 const ColorT& outline, float penWidth)
{
    if (fill.alpha > 0.0f) {
        FillRect(rect, fill, true);
    }
    if (outline.alpha > 0.0f) {
        DrawRect(rect, outline, penWidth);
    }
}

CAutoClip::CAutoClip(const RCPtr<LRenderer>& renderer) : mRenderer(renderer)
{
    mRenderer->PushClipState();
}

CAutoClip::CAutoClip(const RCPtr<LRenderer>& renderer, const RectT<double>& bounds,
                     const RectT<double>& clip, const RCPtr<LStencil>& stencil)
    : mRenderer(renderer)
{
    mRenderer->PushClipRect(bounds, clip, stencil, true);
}

CAutoClip::CAutoClip(const RCPtr<LRenderer>& renderer, const ClipRequest& request)
    : mRenderer(renderer)
{
    switch (request.flavor) {
    case 0:
        mRenderer->PushClipState();
        break;
    case 1:
        mRenderer->PushClipRect(request.bounds, request.clip, request.stencil, request.relative);
        break;
    case 2:
        mRenderer->PushClipOffset(request.offset);
        break;
    default:
        ThrowRuntimeError("Runtime Error : Unknown PushClip flavor : SV::CAutoClip::CAutoClip : "
                          "Renderer\\Renderer : Line 404");
    }
}

CAutoClip::~CAutoClip()
{
    mRenderer->PopClip();
}

} // namespace SV
