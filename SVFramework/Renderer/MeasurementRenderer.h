// The measuring half of a renderer: font metrics and text extents. The application hands the
// main window's renderer out as this interface for font metrics and text layout.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Graphics/Rect.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace SV {

class LFont;

class LMeasurementRenderer : public virtual LRefCountedObject
{
public:
    // Line height, ascent (negative: pixels above the baseline) and descent of the font; 0 on
    // success.
    virtual int32_t GetFontMetrics(const ConstRCPtr<LFont>& font, int32_t& height, int32_t& ascent,
                                   int32_t& descent) = 0;
    // {0, ascent, width, height} of the text drawn in the font.
    virtual RectT<float> MeasureText(const WideString& text, const ConstRCPtr<LFont>& font) = 0;
};

} // namespace SV
