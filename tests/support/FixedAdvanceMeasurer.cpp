#include "FixedAdvanceMeasurer.h"

namespace svtest {

int32_t FixedAdvanceMeasurer::GetFontMetrics(const SV::ConstRCPtr<SV::LFont>& /*font*/,
                                             int32_t& height, int32_t& ascent, int32_t& descent)
{
    height = mLineHeight;
    ascent = -(mLineHeight * 4 / 5);
    descent = mLineHeight + ascent;
    return 0;
}

SV::RectT<float> FixedAdvanceMeasurer::MeasureText(const SV::WideString& text,
                                                   const SV::ConstRCPtr<SV::LFont>& /*font*/)
{
    ++mMeasureCount;
    return {0.0f, float(mLineHeight * 4 / 5), mAdvance * float(text.GetLength()),
            float(mLineHeight)};
}

} // namespace svtest
