#include "Renderer/OpenGL/GLGlyphRenderer.h"

#include "Renderer/OpenGL/GLImageBuffer.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstring>

namespace SV {
namespace {

// The smallest power of two not below n (1 for n of 1 or less).
int32_t PowerOfTwoAtLeast(int32_t n)
{
    int32_t size = 1;
    while (size < n && size < (int32_t(1) << 30)) {
        size *= 2;
    }
    return size;
}

const LGlyphProcessor::SCachedGlyph kNotFound{};

} // namespace

LGLGlyphRenderer::LCachedFont::LCachedFont(const ConstRCPtr<LFont>& font) : mFont(font)
{
    // The first row is at least the font size high.
    (void)ReserveCell(0, font ? static_cast<int32_t>(font->GetSize()) : 0);
}

LGLGlyphRenderer::LCachedFont::~LCachedFont()
{
    mGlyphs.RemoveAll();
    mAtlas = nullptr;
    mCursorX = mRowTop = mRowHeight = 0;
    std::fill(std::begin(mDirty), std::end(mDirty), 0.0f);
    mFont = nullptr;
}

bool LGLGlyphRenderer::LCachedFont::ReserveCell(int32_t cw, int32_t ch)
{
    if (cw < 0 || ch < 0 || cw > kAtlasWidth) {
        return false;
    }
    int32_t rowTop = mRowTop;
    int32_t rowHeight = mRowHeight;
    int32_t cursorX = mCursorX;
    if (cursorX + cw >= kAtlasWidth) {
        rowTop += rowHeight;
        cursorX = 0;
        rowHeight = 0;
    }
    rowHeight = std::max(rowHeight, ch);
    if (int64_t(rowTop) + ch > kMaxAtlasHeight) {
        return false;
    }
    mRowTop = rowTop;
    mRowHeight = rowHeight;
    mCursorX = cursorX;
    if (!mAtlas) {
        mAtlas = RCPtr<LPixelBuffer<unsigned char>>(
            new LPixelBuffer<unsigned char>(kAtlasWidth, mRowHeight));
    }
    // A cell ending exactly on the bottom row counts too: the whole atlas is then uploaded.
    if (mRowTop + ch >= mAtlas->GetHeight()) {
        mAtlas->SetHeight(PowerOfTwoAtLeast(mRowTop + ch));
        mDirty[0] = 0;
        mDirty[1] = 0;
        mDirty[2] = static_cast<float>(kAtlasWidth);
        mDirty[3] = static_cast<float>(mAtlas->GetHeight());
    }
    return true;
}

void LGLGlyphRenderer::LCachedFont::AddDirty(float x, float y, float width, float height)
{
    if (mDirty[2] <= 0 || mDirty[3] <= 0) {
        mDirty[0] = x;
        mDirty[1] = y;
        mDirty[2] = width;
        mDirty[3] = height;
        return;
    }
    const float left = std::min(mDirty[0], x);
    const float top = std::min(mDirty[1], y);
    const float right = std::max(mDirty[0] + mDirty[2], x + width);
    const float bottom = std::max(mDirty[1] + mDirty[3], y + height);
    mDirty[0] = left;
    mDirty[1] = top;
    mDirty[2] = right - left;
    mDirty[3] = bottom - top;
}

void LGLGlyphRenderer::LCachedFont::CopyGlyphBitmap(const LPixelBuffer<unsigned char>* bitmap,
                                                    int32_t x, int32_t y)
{
    if (bitmap == nullptr || bitmap->GetHeight() == 0 || !mAtlas) {
        return;
    }
    // Clipped to the atlas: no glyph is ever written outside it.
    const int32_t width = std::min(bitmap->GetWidth(), kAtlasWidth - x);
    const int32_t rows = std::min(bitmap->GetHeight(), mAtlas->GetHeight() - y);
    if (x < 0 || y < 0 || width <= 0 || rows <= 0) {
        return;
    }
    for (int32_t row = 0; row < rows; ++row) {
        std::memcpy(mAtlas->GetPixelForWrite(x, y + row), bitmap->GetPixelForRead(0, row),
                    static_cast<size_t>(width));
    }
    AddDirty(static_cast<float>(x - 1), static_cast<float>(y - 1),
             static_cast<float>(bitmap->GetWidth() + 2),
             static_cast<float>(bitmap->GetHeight() + 2));
}

void LGLGlyphRenderer::LCachedFont::UploadAtlas()
{
    constexpr float kEpsilon = 1.0f / 8388608.0f; // 2^-23
    if (mDirty[2] <= kEpsilon || mDirty[3] <= kEpsilon || !mAtlas) {
        return;
    }
    GLImageBuffer image;
    image.Attach(mAtlas->GetPixelForWrite(0, 0), kAtlasWidth, 1, kAtlasWidth, mAtlas->GetHeight(),
                 GL_ALPHA, GL_UNSIGNED_BYTE);
    Create(image, GL_ALPHA, LGLTexture::kNearest, 1.0f);
    std::fill(std::begin(mDirty), std::end(mDirty), 0.0f);
}

LGLGlyphRenderer::LGLGlyphRenderer() : mFontCache(kFontCacheSize)
{}

LGLGlyphRenderer::~LGLGlyphRenderer()
{
    mCurrentFont = nullptr;
}

ConstRCPtr<LGlyphProcessor> LGLGlyphRenderer::Create()
{
    return ConstRCPtr<LGlyphProcessor>(new LGLGlyphRenderer());
}

void LGLGlyphRenderer::BeginText(const ConstRCPtr<LFont>& font, int32_t flags)
{
    mFlags = flags;
    mBounds = {};
    RCPtr<LCachedFont>& entry = mFontCache.Lookup(font, false);
    if (!entry) {
        entry = RCPtr<LCachedFont>(new LCachedFont(font));
    }
    mCurrentFont = entry;
    if ((flags & kTextRasterise) != 0) {
        mCurrentFont->UploadAtlas();
    }
}

void LGLGlyphRenderer::EndText()
{
    mCurrentFont = nullptr;
}

int32_t LGLGlyphRenderer::LookupGlyph(SGlyphRecord& record)
{
    if (!mCurrentFont) {
        return kLoadNothing;
    }
    mPending = *mCurrentFont->GetGlyphs().Find(static_cast<int32_t>(record.character), &kNotFound);
    if (mPending.character == 0) {
        return kLoadAll;
    }
    record.box = mPending.box;
    record.advanceX = mPending.advanceX;
    record.advanceY = mPending.advanceY;
    record.glyphIndex = mPending.glyphIndex;
    return kLoadNothing;
}

bool LGLGlyphRenderer::PlaceGlyph(const LPixelBuffer<unsigned char>* bitmap)
{
    const int32_t width = bitmap != nullptr ? bitmap->GetWidth() : 0;
    const int32_t height = bitmap != nullptr ? bitmap->GetHeight() : 0;
    // One empty pixel on every side of the glyph.
    if (!mCurrentFont->ReserveCell(width + 2, height + 2)) {
        return false;
    }
    const int32_t x = mCurrentFont->GetCursorX() + 1;
    const int32_t y = mCurrentFont->GetRowTop() + 1;
    mPending.atlasX = static_cast<uint16_t>(x);
    mPending.atlasY = static_cast<uint16_t>(y);
    mCurrentFont->CopyGlyphBitmap(bitmap, x, y);
    mCurrentFont->AdvanceCursor(width + 2);
    if ((mFlags & kTextRasterise) != 0) {
        mCurrentFont->UploadAtlas();
    }
    return true;
}

void LGLGlyphRenderer::AddGlyph(SGlyphRecord& record)
{
    if (!mCurrentFont) {
        return;
    }
    bool placed = true;
    if (mPending.character == 0) {
        mPending.character = static_cast<int32_t>(record.character);
        mPending.box = record.box;
        mPending.advanceX = record.advanceX;
        mPending.advanceY = record.advanceY;
        mPending.glyphIndex = record.glyphIndex;
        // A glyph too wide for a row is measured but never drawn, and not cached.
        placed = PlaceGlyph(record.bitmap.Get());
        if (placed) {
            (void)mCurrentFont->GetGlyphs().Add(mPending);
        }
    }
    const float boxLeft = mPending.box.left;
    const float boxTop = mPending.box.top;
    const float boxRight = mPending.box.right;
    const float boxBottom = mPending.box.bottom;
    if (placed && (mFlags & kTextDraw) != 0) {
        const float width = boxRight - boxLeft;
        const float height = boxBottom - boxTop;
        const float atlasX = mPending.atlasX;
        const float atlasY = mPending.atlasY;
        // y = 0 is the top of the line: the baseline lies at minus the (negative) ascent.
        const float lift = static_cast<float>(mCurrentFont->GetFont()->GetAscent()) + record.penY;
        mCurrentFont->Draw(atlasX, atlasY, atlasX + width, atlasY + height, record.penX + boxLeft,
                           boxTop - lift, record.penX + boxRight, boxBottom - lift);
    }
    if ((mFlags & kTextMeasure) != 0) {
        // The glyph's advance box united with the bounds so far, which always hold the origin.
        const float x = record.penX;
        const float y = record.penY + boxTop;
        const float right = x + static_cast<float>(mPending.advanceX >> 6);
        const float bottom = y + (boxBottom - boxTop);
        mBounds.left = std::min(mBounds.left, x);
        mBounds.top = std::min(mBounds.top, y);
        mBounds.right = std::max(mBounds.right, right);
        mBounds.bottom = std::max(mBounds.bottom, bottom);
    }
}

} // namespace SV
