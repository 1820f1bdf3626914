#include "ControlBase/DockedPart.h"

#include "ControlBase/VisualPartDescriptor.h"

namespace SV {

LDockedPart::LDockedPart(const RCPtr<LVisualPartDescriptor>& visualPart, int32_t flags,
                         int32_t leftOffset, int32_t topOffset, int32_t rightOffset,
                         int32_t bottomOffset, int32_t hasWidth, int32_t partWidth,
                         int32_t hasHeight, int32_t partHeight)
    : part(visualPart), offsetFlags(flags), left(leftOffset), top(topOffset), right(rightOffset),
      bottom(bottomOffset), widthInUse(hasWidth), width(partWidth), heightInUse(hasHeight),
      height(partHeight)
{}

LDockedPart::~LDockedPart() = default;

} // namespace SV
