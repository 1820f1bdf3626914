// A stencil of the render state: a size and a rectangle, no pixels. The state stack passes it
// along so that a nested stencil can be told from the first one.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Graphics/Rect.h"

#include <cstdint>

namespace SV {

class LStencil : public virtual LRefCountedObject
{
public:
    LStencil(int32_t width, int32_t height);

    // A stencil of the given size whose rectangle is (0, 0, width, height).
    static RCPtr<LStencil> Create(int32_t width, int32_t height);

    int32_t GetWidth() const { return mWidth; }
    int32_t GetHeight() const { return mHeight; }
    const RectT<int32_t>& GetRect() const { return mRect; }
    void SetRect(const RectT<int32_t>& rect) { mRect = rect; }

private:
    int32_t mWidth;
    int32_t mHeight;
    RectT<int32_t> mRect;
};

} // namespace SV
