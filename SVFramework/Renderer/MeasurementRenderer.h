// What text layout needs of a renderer: the extent of a line of text in a font and the font's
// metrics. Every renderer is one; the application hands out the one used for measuring.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Graphics/Rect.h"
#include "Utilities/Storage/StringT.h"

namespace SV {

class LFont;

class LMeasurementRenderer : public virtual LRefCountedObject
{
public:
    // The extent of one line: x, y (the ascent), width and height; all 0 when it cannot be
    // measured.
    virtual void MeasureText(RectT<float>& extent, const WideString& text,
                             const ConstRCPtr<LFont>& font) = 0;
    // Line height, ascent and descent in pixels.
    virtual void GetFontMetrics(const ConstRCPtr<LFont>& font, float& height, float& ascent,
                                float& descent) = 0;
};

} // namespace SV
