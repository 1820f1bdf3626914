// A measuring renderer with fixed metrics, so that text layout comes out exact in tests: every
// character advances the same number of pixels and every font has the same line height. An
// advance of 0 makes a font that measures nothing.
#pragma once

#include "Renderer/MeasurementRenderer.h"

namespace svtest {

class FixedAdvanceMeasurer : public SV::LMeasurementRenderer
{
public:
    FixedAdvanceMeasurer(float advance, float lineHeight)
        : mAdvance(advance), mLineHeight(lineHeight)
    {}

    void MeasureText(SV::RectT<float>& extent, const SV::WideString& text,
                     const SV::ConstRCPtr<SV::LFont>& font) override;
    void GetFontMetrics(const SV::ConstRCPtr<SV::LFont>& font, float& height, float& ascent,
                        float& descent) override;

    void SetAdvance(float advance) { mAdvance = advance; }
    int GetMeasureCount() const { return mMeasureCount; }

private:
    float mAdvance;
    float mLineHeight;
    int mMeasureCount = 0;
};

} // namespace svtest
