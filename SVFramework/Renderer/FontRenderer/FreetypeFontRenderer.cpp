#include "Renderer/FontRenderer/FreetypeFontRenderer.h"

#include "Renderer/Font.h"
#include "Renderer/FontRenderer/FontFileInfo.h"
#include "ResultCodes.h"
#include "Utilities/Graphics/PixelBuffer.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_CACHE_H
#include FT_GLYPH_H

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>

namespace SV {
namespace {

constexpr FT_UInt kMaxFaces = 8;
constexpr FT_UInt kMaxSizes = 16;
constexpr FT_ULong kMaxCacheBytes = 4194304;
constexpr FT_UInt kResolution = 96;

struct GlyphDeleter
{
    void operator()(FT_Glyph glyph) const { FT_Done_Glyph(glyph); }
};
using GlyphPtr = std::unique_ptr<FT_GlyphRec, GlyphDeleter>;

// The FreeType state every font renderer shares, kept while any renderer is alive.
struct FreetypeState
{
    FT_Library library = nullptr;
    FTC_Manager manager = nullptr;
    FTC_CMapCache charmapCache = nullptr;
    FTC_ImageCache imageCache = nullptr;
    int32_t users = 0;
};

FreetypeState& State()
{
    static FreetypeState state;
    return state;
}

// The cache manager's face ids are file ids plus one: a null id is no face to it.
FTC_FaceID FaceIdOf(int32_t fileId)
{
    return reinterpret_cast<FTC_FaceID>(static_cast<uintptr_t>(fileId) + 1);
}

FT_Error RequestFace(FTC_FaceID faceId, FT_Library library, FT_Pointer /*requestData*/,
                     FT_Face* face)
{
    const auto fileId = static_cast<int32_t>(reinterpret_cast<uintptr_t>(faceId) - 1);
    // Face 0 of every file, collections included.
    const std::string path = LFontFileInfo::GetFilePath(fileId).ToNarrow().GetText();
    return FT_New_Face(library, path.c_str(), 0, face);
}

// The face and size of the font; null when the size cannot be set. Throws when the catalogue
// has no file for the font's family.
FT_Size LookupSize(const ConstRCPtr<LFont>& font)
{
    const int32_t fileId = LFontFileInfo::GetFileID(font);
    FreetypeState& state = State();
    if (state.manager == nullptr) {
        return nullptr;
    }
    FTC_ScalerRec scaler{};
    scaler.face_id = FaceIdOf(fileId);
    scaler.width = 0;
    scaler.height = static_cast<FT_UInt>(std::clamp(font->GetSize() * 64.0f, 0.0f, 1.0e9f));
    scaler.pixel = 0; // a character size in 26.6 points
    scaler.x_res = kResolution;
    scaler.y_res = kResolution;
    FT_Size size = nullptr;
    if (FTC_Manager_LookupSize(state.manager, &scaler, &size) != 0) {
        return nullptr;
    }
    return size;
}

// The slot's rendered bitmap as one coverage byte per pixel; empty for a bitmap that cannot be
// read safely.
RCPtr<LPixelBuffer<unsigned char>> CoverageOf(const FT_Bitmap& bitmap)
{
    const int32_t width = static_cast<int32_t>(bitmap.width);
    const int32_t rows = static_cast<int32_t>(bitmap.rows);
    if (bitmap.pitch < 0 || (rows > 0 && bitmap.buffer == nullptr)) {
        return RCPtr<LPixelBuffer<unsigned char>>();
    }
    RCPtr<LPixelBuffer<unsigned char>> coverage(new LPixelBuffer<unsigned char>(width, rows));
    for (int32_t y = 0; y < rows; ++y) {
        const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
        unsigned char* out = coverage->GetPixelForWrite(0, y);
        if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
            // Most significant bit first within each byte.
            for (int32_t x = 0; x < width; ++x) {
                out[x] = (row[x >> 3] & (0x80 >> (x & 7))) != 0 ? 255 : 0;
            }
        } else if (width > 0) {
            std::memcpy(out, row, static_cast<size_t>(std::min(width, bitmap.pitch)));
        }
    }
    return coverage;
}

bool FitsByte(FT_Pos value)
{
    return value >= std::numeric_limits<int8_t>::min() &&
           value <= std::numeric_limits<int8_t>::max();
}

bool FitsShort(FT_Pos value)
{
    return value >= std::numeric_limits<int16_t>::min() &&
           value <= std::numeric_limits<int16_t>::max();
}

// The two ways a glyph is rendered, the one for the font's size first: 8-bit coverage from
// kMonochromeBelow up, one bit per pixel below; the other when the first fails.
struct RenderModes
{
    FT_Render_Mode first;
    FT_Render_Mode second;
};

RenderModes RenderModesFor(float fontSize)
{
    if (fontSize >= LFreetypeFontRenderer::kMonochromeBelow) {
        return {FT_RENDER_MODE_NORMAL, FT_RENDER_MODE_MONO};
    }
    return {FT_RENDER_MODE_MONO, FT_RENDER_MODE_NORMAL};
}

// Loads the glyph of the record and fills in what the request asks for beyond its advance: the
// box in pixels, the coverage bitmap. False when the glyph is skipped: it cannot be loaded or
// rendered, or its advance or box does not fit the record's fields.
bool LoadGlyph(FT_Face face, int32_t request, const RenderModes& modes,
               LGlyphProcessor::SGlyphRecord& record)
{
    FT_Glyph loaded = nullptr;
    if (FT_Load_Glyph(face, record.glyphIndex, FT_LOAD_DEFAULT) != 0 ||
        FT_Get_Glyph(face->glyph, &loaded) != 0) {
        return false;
    }
    const GlyphPtr glyph(loaded);
    const FT_Vector advance = face->glyph->advance;
    if (!FitsShort(advance.x) || !FitsShort(advance.y)) {
        // An advance of 512 pixels or more does not fit the record.
        return false;
    }
    record.advanceX = static_cast<int16_t>(advance.x);
    record.advanceY = static_cast<int16_t>(advance.y);

    if ((request & (LGlyphProcessor::kLoadBox | LGlyphProcessor::kLoadBitmap)) != 0) {
        FT_BBox box{};
        FT_Glyph_Get_CBox(glyph.get(), FT_GLYPH_BBOX_PIXELS, &box);
        // A glyph whose box leaves the record's signed bytes is skipped, never clipped into a
        // wrong cell.
        if (!FitsByte(box.xMin) || !FitsByte(-box.yMax) || !FitsByte(box.xMax) ||
            !FitsByte(-box.yMin)) {
            return false;
        }
        record.box = {static_cast<int8_t>(box.xMin), static_cast<int8_t>(-box.yMax),
                      static_cast<int8_t>(box.xMax), static_cast<int8_t>(-box.yMin)};
    }
    if ((request & LGlyphProcessor::kLoadBitmap) != 0) {
        if (FT_Render_Glyph(face->glyph, modes.first) != 0 &&
            FT_Render_Glyph(face->glyph, modes.second) != 0) {
            return false;
        }
        record.bitmap = CoverageOf(face->glyph->bitmap);
        if (!record.bitmap) {
            return false;
        }
    }
    return true;
}

// Moves the pen by the kerning between the previous glyph and the record's; for the first glyph,
// by as far as its ink reaches left of the pen origin, so that the ink starts there.
void Kern(FT_Face face, FT_UInt previous, LGlyphProcessor::SGlyphRecord& record)
{
    if (previous != 0) {
        FT_Vector delta{};
        if (FT_Get_Kerning(face, previous, record.glyphIndex, FT_KERNING_DEFAULT, &delta) == 0) {
            record.penX += static_cast<float>(delta.x) / 64.0f;
        }
    } else if (record.box.left < 0) {
        record.penX -= record.box.left;
    }
}

} // namespace

LFreetypeFontRenderer::LFreetypeFontRenderer(const ConstRCPtr<LGlyphProcessor>& firstProcessor,
                                             const ConstRCPtr<LGlyphProcessor>& processor)
    : LFontRenderer(firstProcessor, processor)
{
    (void)LFontFileInfo::BuildCatalogue();
    FreetypeState& state = State();
    ++state.users;
    if (state.manager != nullptr) {
        // The catalogue was read anew: faces opened under the old file ids are dropped.
        FTC_Manager_Reset(state.manager);
        return;
    }
    if (state.library == nullptr && FT_Init_FreeType(&state.library) != 0) {
        state.library = nullptr;
        return;
    }
    if (FTC_Manager_New(state.library, kMaxFaces, kMaxSizes, kMaxCacheBytes, &RequestFace, this,
                        &state.manager) != 0) {
        state.manager = nullptr;
        return;
    }
    if (FTC_CMapCache_New(state.manager, &state.charmapCache) == 0) {
        (void)FTC_ImageCache_New(state.manager, &state.imageCache);
    }
}

LFreetypeFontRenderer::~LFreetypeFontRenderer()
{
    FreetypeState& state = State();
    if (--state.users > 0) {
        return;
    }
    if (state.manager != nullptr) {
        FTC_Manager_Done(state.manager);
    }
    if (state.library != nullptr) {
        FT_Done_FreeType(state.library);
    }
    state = FreetypeState{};
    LFontFileInfo::ClearCatalogue();
}

int32_t LFreetypeFontRenderer::GetFontMetrics(const ConstRCPtr<LFont>& font, int32_t& height,
                                              int32_t& ascent, int32_t& descent)
{
    const FT_Size size = LookupSize(font);
    if (size == nullptr) {
        return E_FAIL;
    }
    ascent = -static_cast<int32_t>(size->metrics.ascender >> 6);
    descent = -static_cast<int32_t>(size->metrics.descender >> 6);
    height = std::max(static_cast<int32_t>(size->metrics.height >> 6),
                      static_cast<int32_t>(96.0f * font->GetSize() / 72.0f));
    if (height < descent - ascent) {
        height = descent - ascent;
    }
    return S_OK;
}

int32_t LFreetypeFontRenderer::RenderText(const WideString& text, const ConstRCPtr<LFont>& font,
                                          const ConstRCPtr<LGlyphProcessor>& processorPointer,
                                          int32_t start, float maxWidth, int32_t flags)
{
    const FT_Size size = LookupSize(font);
    if (size == nullptr || !processorPointer) {
        return 0;
    }
    LGlyphProcessor& processor = *RCPtr<LGlyphProcessor>(processorPointer);
    const FT_Face face = size->face;
    const bool hasKerning = FT_HAS_KERNING(face);
    const RenderModes modes = RenderModesFor(font->GetSize());

    LGlyphProcessor::SGlyphRecord record;
    record.index = start;
    FT_UInt previous = 0;
    processor.BeginText(font, flags);
    const int32_t length = text.GetLength();
    const char16_t* units = text.GetText();
    int32_t consumed = length;
    for (int32_t i = 0; i < length; ++i) {
        record.character = units[i];
        record.bitmap = nullptr;
        record.glyphIndex = 0;
        record.box = {};
        record.advanceX = 0;
        record.advanceY = 0;

        // A glyph the processor holds already comes back with its record filled, nothing to load.
        const int32_t request = processor.LookupGlyph(record);
        const bool load = request != LGlyphProcessor::kLoadNothing;
        if (load) {
            record.glyphIndex = FT_Get_Char_Index(face, record.character);
        }
        if (record.glyphIndex == 0 || (load && !LoadGlyph(face, request, modes, record))) {
            continue;
        }
        if (hasKerning) {
            Kern(face, previous, record);
        }
        if (maxWidth > 0 && record.penX + record.box.right > maxWidth) {
            consumed = i;
            break;
        }
        processor.AddGlyph(record);
        record.penX += static_cast<float>(record.advanceX) / 64.0f;
        record.penY += static_cast<float>(record.advanceY) / 64.0f;
        record.bitmap = nullptr;
        previous = record.glyphIndex;
        record.index = i + 1;
    }
    processor.EndText();
    return consumed;
}

} // namespace SV
