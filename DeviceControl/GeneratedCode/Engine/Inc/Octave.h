// The keyboard's octave shift: the device's parameter at offset 1, one byte.
#pragma once

#include "LeafModule.h"

#include <cstdint>

struct OctaveLayout
{
    static constexpr int32_t kParamOffset = IDevice::kOctaveOffset;
    // No shift.
    static constexpr uint8_t kDefaultValue[] = {0x04};
    static constexpr const char* kClassName = "LOctave";
    static constexpr const char* kSourceFile = "Octave";

    // Byte 0: the shift, -4 to 4, plus kShiftBias.
    static constexpr uint32_t kShiftByte = 0;
    static constexpr int32_t kShiftBias = 4;
    static constexpr int32_t kMinShift = -4;
    static constexpr int32_t kMaxShift = 4;
};

extern template class LLeafModule<IOctave, OctaveLayout>;

class LOctave : public LLeafModule<IOctave, OctaveLayout>
{
public:
    // A new, unattached module.
    static SV::RCPtr<LOctave> Create();

private:
    LOctave() = default;
};
