// One window's render target: the window, whether it is ever presented, the region to present
// at the end of a frame, the target rectangle, the current render state and the stack of saved
// states. Each back end derives its own context with its surfaces.
#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Renderer/RenderState.h"
#include "Utilities/Graphics/Rect.h"
#include "Utilities/Graphics/RectRegion.h"
#include "WindowHandle.h"

#include <cstdint>
#include <deque>
#include <utility>

namespace SV {

class LRenderContextInfo : public virtual LRefCountedObject
{
public:
    LRenderContextInfo(const RectT<int32_t>& target, svp::HWND window, int32_t offscreenOnly);

    // The largest drawable width and height of the back end.
    virtual std::pair<int32_t, int32_t> GetMaxSurfaceSize() const = 0;

    svp::HWND GetWindow() const { return mWindow; }
    // Only the low byte counts, as for every flag of this shape.
    bool IsOffscreenOnly() const { return (mOffscreenOnly & 0xFF) != 0; }
    int32_t GetOffscreenOnlyFlag() const { return mOffscreenOnly; }

    RectRegion& GetRegion() { return mRegion; }
    const RectRegion& GetRegion() const { return mRegion; }

    const RectT<int32_t>& GetTarget() const { return mTarget; }
    void SetTarget(const RectT<int32_t>& target) { mTarget = target; }

    RenderState& GetState() { return mState; }
    const RenderState& GetState() const { return mState; }

    std::deque<RenderState>& GetSavedStates() { return mSavedStates; }
    const std::deque<RenderState>& GetSavedStates() const { return mSavedStates; }

private:
    svp::HWND mWindow;
    int32_t mOffscreenOnly;
    RectRegion mRegion;
    RectT<int32_t> mTarget;
    RenderState mState;
    std::deque<RenderState> mSavedStates;
};

} // namespace SV
