#include "ControlBase/VisualPartDescriptor.h"

#include "Utilities/Graphics/Colorizer.h"

namespace SV {

LVisualPartDescriptor::LVisualPartDescriptor(const WideString& partName,
                                             const PartImageSource& imageSource, ResizeType resize,
                                             const RCPtr<LColorizer>& partColorizer,
                                             int32_t partWidth, int32_t partHeight,
                                             float partAlphaModifier,
                                             const PartImageSource& maskSource)
    : name(partName), image(imageSource), width(partWidth), height(partHeight), resizeType(resize),
      colorizer(partColorizer), alphaModifier(partAlphaModifier), mask(maskSource)
{
    if (HasImage()) {
        width = image.width;
        height = image.height;
    }
}

LVisualPartDescriptor::~LVisualPartDescriptor() = default;

} // namespace SV
