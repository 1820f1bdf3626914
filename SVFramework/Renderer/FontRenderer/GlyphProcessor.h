// The receiver of laid-out glyphs between the font renderer and a glyph cache: per text,
// BeginText, then for each character LookupGlyph and (when the font has a glyph for it)
// AddGlyph, then EndText. The processor caches, draws and measures what it is handed.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"

#include <cstdint>

namespace SV {

class LFont;
template <class T>
class LPixelBuffer;

class LGlyphProcessor : public virtual LRefCountedObject
{
public:
    // Text flags of BeginText; 1 is set by every caller and tested by nothing.
    static constexpr int32_t kTextMeasure = 2;   // grow the text bounds
    static constexpr int32_t kTextRasterise = 4; // keep the glyph texture up to date
    static constexpr int32_t kTextDraw = 8;      // emit the glyph quads

    // Answers of LookupGlyph: 0 the glyph is cached and the record filled; otherwise bit 2
    // asks for the box and bit 4 for the coverage bitmap.
    static constexpr int32_t kLoadNothing = 0;
    static constexpr int32_t kLoadBox = 2;
    static constexpr int32_t kLoadBitmap = 4;
    static constexpr int32_t kLoadAll = 7;

    // The box of a glyph in pixels relative to its pen position, y downwards.
    struct GlyphBox
    {
        int8_t left = 0;
        int8_t top = 0;
        int8_t right = 0;
        int8_t bottom = 0;
    };

    // One cached glyph; character 0 marks a record that was not found.
    struct SCachedGlyph
    {
        int32_t character = 0;
        uint32_t glyphIndex = 0;
        GlyphBox box;
        int16_t advanceX = 0; // 26.6 fixed point
        int16_t advanceY = 0;
        uint16_t atlasX = 0; // where the glyph's bitmap starts in its atlas
        uint16_t atlasY = 0;

        int32_t GetUniqueID() const { return character; }
    };

    // What the font renderer hands over for each character.
    struct SGlyphRecord
    {
        int32_t index = 0;      // the position after the last character that had a glyph
        uint32_t character = 0; // one UTF-16 unit
        float penX = 0;
        float penY = 0;
        GlyphBox box;
        int16_t advanceX = 0;
        int16_t advanceY = 0;
        uint32_t glyphIndex = 0;
        // One coverage byte per pixel; empty unless the glyph was rasterised for this character.
        RCPtr<LPixelBuffer<unsigned char>> bitmap;
    };

    struct TextBounds
    {
        float left = 0;
        float top = 0;
        float right = 0;
        float bottom = 0;
    };

    virtual void BeginText(const ConstRCPtr<LFont>& font, int32_t flags) = 0;
    virtual void EndText() = 0;
    virtual int32_t LookupGlyph(SGlyphRecord& record) = 0;
    virtual void AddGlyph(SGlyphRecord& record) = 0;
    virtual TextBounds GetTextBounds() const = 0;
};

} // namespace SV
