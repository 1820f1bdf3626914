#include "FixedAdvanceMeasurer.h"

namespace svtest {

void FixedAdvanceMeasurer::MeasureText(SV::RectT<float>& extent, const SV::WideString& text,
                                       const SV::ConstRCPtr<SV::LFont>& /*font*/)
{
    ++mMeasureCount;
    extent = {0.0f, mLineHeight * 0.8f, mAdvance * float(text.GetLength()), mLineHeight};
}

void FixedAdvanceMeasurer::GetFontMetrics(const SV::ConstRCPtr<SV::LFont>& /*font*/, float& height,
                                          float& ascent, float& descent)
{
    height = mLineHeight;
    ascent = mLineHeight * 0.8f;
    descent = mLineHeight - ascent;
}

} // namespace svtest
