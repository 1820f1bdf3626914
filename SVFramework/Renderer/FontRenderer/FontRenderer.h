// Lays a line of text out glyph by glyph in a font and hands each glyph to a glyph processor,
// which caches, draws and measures it; also answers the font's line metrics. The FreeType
// renderer is the one implementation.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"
#include "Renderer/FontRenderer/GlyphProcessor.h"
#include "Utilities/Graphics/Rect.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace SV {

class LFont;

class LFontRenderer : public virtual LRefCountedObject
{
public:
    // The first processor is only held; the second is the one text is measured with.
    LFontRenderer(const ConstRCPtr<LGlyphProcessor>& firstProcessor,
                  const ConstRCPtr<LGlyphProcessor>& processor);
    ~LFontRenderer() override;

    // x = the bounds' left, y = the smaller of their top and the font's ascent, width = right +
    // 1 - left, height down to the larger of their bottom and the font's descent.
    virtual RectT<float> MeasureText(const WideString& text, const ConstRCPtr<LFont>& font);
    // Line height, ascent (negative) and descent; 0, or E_FAIL when the size cannot be set.
    virtual int32_t GetFontMetrics(const ConstRCPtr<LFont>& font, int32_t& height, int32_t& ascent,
                                   int32_t& descent) = 0;
    // Lays the text out from pen (0, 0); answers the number of UTF-16 units consumed.
    virtual int32_t RenderText(const WideString& text, const ConstRCPtr<LFont>& font,
                               const ConstRCPtr<LGlyphProcessor>& processor, int32_t start,
                               float maxWidth, int32_t flags) = 0;
    // The processor's bounds of the last text; zeros without a processor.
    virtual LGlyphProcessor::TextBounds GetTextBounds() const;

    const ConstRCPtr<LGlyphProcessor>& GetGlyphProcessor() const { return mProcessor; }

private:
    ConstRCPtr<LGlyphProcessor> mFirstProcessor;
    ConstRCPtr<LGlyphProcessor> mProcessor;
};

} // namespace SV
