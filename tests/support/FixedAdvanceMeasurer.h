// A measuring renderer with fixed metrics, so that text layout comes out exact in tests: every
// character advances the same number of pixels and every font has the same line height. An
// advance of 0 makes a font that measures nothing.
#pragma once

#include "Renderer/MeasurementRenderer.h"

namespace svtest {

class FixedAdvanceMeasurer : public SV::LMeasurementRenderer
{
public:
    FixedAdvanceMeasurer(float advance, int32_t lineHeight)
        : mAdvance(advance), mLineHeight(lineHeight)
    {}

    int32_t GetFontMetrics(const SV::ConstRCPtr<SV::LFont>& font, int32_t& height, int32_t& ascent,
                           int32_t& descent) override;
    SV::RectT<float> MeasureText(const SV::WideString& text,
                                 const SV::ConstRCPtr<SV::LFont>& font) override;

    void SetAdvance(float advance) { mAdvance = advance; }
    int GetMeasureCount() const { return mMeasureCount; }

private:
    float mAdvance;
    int32_t mLineHeight;
    int mMeasureCount = 0;
};

} // namespace svtest
