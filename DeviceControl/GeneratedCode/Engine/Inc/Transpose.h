// The keyboard's transpose: the device's parameter at offset 3, one byte.
#pragma once

#include "LeafModule.h"

#include <cstdint>

struct TransposeLayout
{
    static constexpr int32_t kParamOffset = IDevice::kTransposeOffset;
    // No transpose.
    static constexpr uint8_t kDefaultValue[] = {0x0C};
    static constexpr const char* kClassName = "LTranspose";
    static constexpr const char* kSourceFile = "Transpose";

    // Byte 0: the transpose in semitones, -12 to 12, plus kTransposeBias.
    static constexpr uint32_t kTransposeByte = 0;
    static constexpr int32_t kTransposeBias = 12;
    static constexpr int32_t kMinTranspose = -12;
    static constexpr int32_t kMaxTranspose = 12;
};

extern template class LLeafModule<ITranspose, TransposeLayout>;

class LTranspose : public LLeafModule<ITranspose, TransposeLayout>
{
public:
    // A new, unattached module.
    static SV::RCPtr<LTranspose> Create();

private:
    LTranspose() = default;
};
