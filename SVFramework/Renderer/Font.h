// A font of the process-wide registry: family name, size in points and style bits (1 bold,
// 2 italic, 4 underline, 8 strike-out). Fonts are shared; two requests for the same name, size and
// style get the same object.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace SV {

class LFont : public virtual LRefCountedObject
{
public:
    // The registered font with that name (compared exactly, else without regard to case), size
    // and style, searched from the last registered; a new one is registered when none matches.
    static RCPtr<LFont> GetFont(const WideString& name, float size, int32_t style);

    const WideString& GetName() const { return mName; }
    float GetSize() const { return mSize; }
    int32_t GetStyle() const { return mStyle; }
    // Line height in whole pixels, measured once through the application's measurement
    // renderer; 0 while there is none.
    uint32_t GetHeight() const;

private:
    LFont(const WideString& name, float size, int32_t style);

    WideString mName;
    float mSize;
    int32_t mStyle;
    mutable bool mHeightKnown = false;
    mutable uint32_t mHeight = 0;
};

} // namespace SV
