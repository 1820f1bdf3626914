// One part placed inside a look: which offsets from the look's edges it keeps, and its own width
// and height where it has them.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"

#include <cstdint>

namespace SV {

class LVisualPart;
class LVisualPartDescriptor;

class LDockedPart : public virtual LRefCountedObject
{
public:
    // Bits of the offset flags.
    static constexpr int32_t kLeftOffset = 1;
    static constexpr int32_t kTopOffset = 2;
    static constexpr int32_t kRightOffset = 4;
    static constexpr int32_t kBottomOffset = 8;
    static constexpr int32_t kAllOffsets = 15;

    LDockedPart(const RCPtr<LVisualPartDescriptor>& visualPart, int32_t flags, int32_t leftOffset,
                int32_t topOffset, int32_t rightOffset, int32_t bottomOffset, int32_t hasWidth,
                int32_t partWidth, int32_t hasHeight, int32_t partHeight);
    ~LDockedPart() override;

    // The shared drawable of the placed part; empty without one.
    RCPtr<LVisualPart> GetVisualPart() const;

    RCPtr<LVisualPartDescriptor> part;
    int32_t offsetFlags = 0;
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    int32_t widthInUse = 0;
    int32_t width = 0;
    int32_t heightInUse = 0;
    int32_t height = 0;
};

} // namespace SV
