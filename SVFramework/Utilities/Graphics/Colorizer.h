// One colorizer of the skin: how a visual part is recoloured. A solid colorizer paints its
// colour; a gradient one runs from its colour to its end colour between two points.
#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Graphics/Color.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace SV {

class LColorizer : public virtual LRefCountedObject
{
public:
    enum Kind : int32_t
    {
        kSolid = 0,
        kLinearGradient = 1,
        kRadialGradient = 2,
    };

    LColorizer(const WideString& name, int32_t kind, const ColorT& color, const ColorT& endColor,
               float startX, float startY, float endX, float endY);

    const WideString& GetName() const { return mName; }
    int32_t GetKind() const { return mKind; }
    const ColorT& GetColor() const { return mColor; }
    const ColorT& GetEndColor() const { return mEndColor; }
    float GetStartX() const { return mStartX; }
    float GetStartY() const { return mStartY; }
    float GetEndX() const { return mEndX; }
    float GetEndY() const { return mEndY; }

    // True for a gradient whose two colours differ, which a single fill cannot paint.
    bool IsTrueGradient() const;

private:
    WideString mName;
    int32_t mKind;
    ColorT mColor;
    ColorT mEndColor;
    float mStartX;
    float mStartY;
    float mEndX;
    float mEndY;
};

} // namespace SV
