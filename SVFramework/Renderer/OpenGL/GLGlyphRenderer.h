// The OpenGL back end's glyph cache: per font, one alpha texture (the atlas) into which every
// glyph drawn in that font is copied once, and a table from characters to their metrics and
// atlas cells. It takes the glyphs the font renderer lays out, draws each as one textured quad
// in the current colour, and accumulates the text's bounds for measuring.
#pragma once

#include "Renderer/Font.h"
#include "Renderer/FontRenderer/GlyphProcessor.h"
#include "Renderer/OpenGL/GLTexture.h"
#include "Renderer/PurgableObjectCache.h"
#include "Utilities/Graphics/PixelBuffer.h"
#include "Utilities/Storage/HashedList.h"

#include <cstdint>

namespace SV {

namespace detail {
inline int32_t CachedGlyphKey(const LGlyphProcessor::SCachedGlyph& glyph)
{
    return glyph.GetUniqueID();
}
} // namespace detail

class LGLGlyphRenderer : public LGlyphProcessor
{
public:
    // Atlas rows are this wide; a glyph with its one-pixel border must fit one row.
    static constexpr int32_t kAtlasWidth = 512;
    // The atlas never grows beyond the largest texture, and its rows stay addressable by the
    // 16-bit cell positions.
    static constexpr int32_t kMaxAtlasHeight = 16384;
    static constexpr int32_t kFontCacheSize = 16;

    // One font's atlas and glyph table.
    class LCachedFont : public LGLTexture
    {
    public:
        explicit LCachedFont(const ConstRCPtr<LFont>& font);
        ~LCachedFont() override;

        // Reserves a cell of cw x ch at the cursor, starting a new row when the cell would
        // reach the atlas's right edge and growing the atlas when it would reach its bottom.
        // False, with nothing changed, when the cell fits no row or no atlas of the largest
        // height.
        [[nodiscard]] bool ReserveCell(int32_t cw, int32_t ch);
        // Copies the coverage bitmap to the atlas at (x, y), clipped to both; grows the dirty
        // rectangle by the cell around it.
        void CopyGlyphBitmap(const LPixelBuffer<unsigned char>* bitmap, int32_t x, int32_t y);
        // Uploads the whole atlas when anything changed since the last upload.
        void UploadAtlas();

        // Keyed by the character; the bucket is its low 8 bits.
        using GlyphTable =
            HashedList<SCachedGlyph, int32_t, &detail::CachedGlyphKey, 8, &GetBits<8, 0, int32_t>>;

        const ConstRCPtr<LFont>& GetFont() const { return mFont; }
        int32_t GetCursorX() const { return mCursorX; }
        int32_t GetRowTop() const { return mRowTop; }
        int32_t GetRowHeight() const { return mRowHeight; }
        const RCPtr<LPixelBuffer<unsigned char>>& GetAtlas() const { return mAtlas; }
        // x, y, width, height of the atlas changed since the last upload.
        const float* GetDirtyRect() const { return mDirty; }
        GlyphTable& GetGlyphs() { return mGlyphs; }

        void AdvanceCursor(int32_t width) { mCursorX += width; }

    private:
        void AddDirty(float x, float y, float width, float height);

        ConstRCPtr<LFont> mFont;
        int32_t mCursorX = 0;
        int32_t mRowTop = 0;
        int32_t mRowHeight = 0;
        RCPtr<LPixelBuffer<unsigned char>> mAtlas;
        float mDirty[4] = {0, 0, 0, 0};
        GlyphTable mGlyphs;
    };

    using FontCache = PurgableObjectCache<LCachedFont, ConstRCPtr<LFont>, int32_t,
                                          &LFont::GetUniqueID, 8, &PurgableCacheHash<int32_t>>;

    LGLGlyphRenderer();
    ~LGLGlyphRenderer() override;

    static ConstRCPtr<LGlyphProcessor> Create();

    void BeginText(const ConstRCPtr<LFont>& font, int32_t flags) override;
    void EndText() override;
    int32_t LookupGlyph(SGlyphRecord& record) override;
    void AddGlyph(SGlyphRecord& record) override;
    TextBounds GetTextBounds() const override { return mBounds; }

    const RCPtr<LCachedFont>& GetCurrentFont() const { return mCurrentFont; }
    FontCache& GetFontCache() { return mFontCache; }

private:
    // Gives the pending glyph a cell and copies its bitmap there; false when it fits none.
    bool PlaceGlyph(const LPixelBuffer<unsigned char>* bitmap);

    FontCache mFontCache;
    RCPtr<LCachedFont> mCurrentFont;
    SCachedGlyph mPending;
    TextBounds mBounds;
    int32_t mFlags = 0;
};

} // namespace SV
