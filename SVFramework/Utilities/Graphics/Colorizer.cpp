#include "Utilities/Graphics/Colorizer.h"

namespace SV {

LColorizer::LColorizer(const WideString& name, int32_t kind, const ColorT& color,
                       const ColorT& endColor, float startX, float startY, float endX, float endY)
    : mName(name), mKind(kind), mColor(color), mEndColor(endColor), mStartX(startX),
      mStartY(startY), mEndX(endX), mEndY(endY)
{}

bool LColorizer::IsTrueGradient() const
{
    return mKind != kSolid && !(mColor == mEndColor);
}

} // namespace SV
