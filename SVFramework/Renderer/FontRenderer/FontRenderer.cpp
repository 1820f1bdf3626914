#include "Renderer/FontRenderer/FontRenderer.h"

#include <algorithm>

namespace SV {

LFontRenderer::LFontRenderer(const ConstRCPtr<LGlyphProcessor>& firstProcessor,
                             const ConstRCPtr<LGlyphProcessor>& processor)
    : mFirstProcessor(firstProcessor), mProcessor(processor)
{}

LFontRenderer::~LFontRenderer()
{
    mProcessor = nullptr;
    mFirstProcessor = nullptr;
}

RectT<float> LFontRenderer::MeasureText(const WideString& text, const ConstRCPtr<LFont>& font)
{
    // A font whose size cannot be set measures as nothing, rather than as the bounds the
    // processor kept from the text before.
    int32_t height = 0;
    int32_t ascent = 0;
    int32_t descent = 0;
    if (GetFontMetrics(font, height, ascent, descent) != 0) {
        return {};
    }
    (void)RenderText(text, font, mProcessor, 0, 0.0f, 1 | LGlyphProcessor::kTextMeasure);
    const LGlyphProcessor::TextBounds bounds = GetTextBounds();
    const float y = std::min(bounds.top, static_cast<float>(ascent));
    return {bounds.left, y, bounds.right + 1 - bounds.left,
            std::max(bounds.bottom, static_cast<float>(descent)) - y};
}

LGlyphProcessor::TextBounds LFontRenderer::GetTextBounds() const
{
    return mProcessor ? mProcessor->GetTextBounds() : LGlyphProcessor::TextBounds{};
}

} // namespace SV
