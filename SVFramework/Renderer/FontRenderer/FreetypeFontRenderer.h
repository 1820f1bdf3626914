// The font renderer over FreeType 2: each font's face and size come from the file the system
// font catalogue gives for its family and style, through FreeType's cache manager; glyphs are
// rasterised into 8-bit coverage (1-bit below 8 points) and handed to the glyph processor.
#pragma once

#include "Renderer/FontRenderer/FontRenderer.h"

#include <cstdint>

namespace SV {

class LFreetypeFontRenderer : public LFontRenderer
{
public:
    // Fonts smaller than this are rendered in one bit per pixel.
    static constexpr float kMonochromeBelow = 8.0f;

    // Builds the font catalogue and starts FreeType; a failure there leaves a renderer whose
    // size lookups fail. The FreeType state is shared by every renderer alive.
    LFreetypeFontRenderer(const ConstRCPtr<LGlyphProcessor>& firstProcessor,
                          const ConstRCPtr<LGlyphProcessor>& processor);
    ~LFreetypeFontRenderer() override;

    int32_t GetFontMetrics(const ConstRCPtr<LFont>& font, int32_t& height, int32_t& ascent,
                           int32_t& descent) override;
    // A positive maximum width ends the run before the first glyph whose right edge passes it;
    // that glyph is not counted.
    int32_t RenderText(const WideString& text, const ConstRCPtr<LFont>& font,
                       const ConstRCPtr<LGlyphProcessor>& processor, int32_t start, float maxWidth,
                       int32_t flags) override;
};

} // namespace SV
