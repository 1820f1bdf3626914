// A label laid out for a font and a text area: the text broken into lines (at line breaks, and
// word-wrapped to the area width when wrap is on) and each line placed by the alignments. Lines
// and their placement are caches, rebuilt on the first query after a change; measuring goes
// through the application's measurement renderer.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"
#include "Renderer/Font.h"
#include "Utilities/Graphics/Point.h"
#include "Utilities/Graphics/Rect.h"
#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/StringArray.h"
#include "Utilities/Storage/StringT.h"

namespace SV {

class LFontText : public virtual LRefCountedObject
{
public:
    [[nodiscard]] static RCPtr<LFontText> Create(const WideString& text, const RCPtr<LFont>& font);

    // True when the text changed.
    bool SetText(const WideString& text);
    // True when the font changed in name, size or style (or one of them is missing); the new
    // pointer is kept in any case.
    bool SetFont(const RCPtr<LFont>& font);
    // 1 when the flag changed, else 0.
    int32_t SetWordWrap(bool wrap);
    void SetAlignment(float horizontal, float vertical);
    void SetArea(int32_t width, int32_t height);

    const WideString& GetText() const { return mText; }
    const RCPtr<LFont>& GetFont() const { return mFont; }
    bool GetWordWrap() const { return mWrap; }
    int32_t GetAreaWidth() const { return mAreaWidth; }
    int32_t GetAreaHeight() const { return mAreaHeight; }

    int32_t GetLineCount();
    // The placement of line i, or (0, 0, 0, 0) past the end.
    RectT<float> GetLine(int32_t index);
    // The text of line i (empty past the end).
    WideString GetLineText(int32_t index);
    // Width and height of the union of the area origin and every line.
    PointT<int32_t> GetTextBounds();
    // The widest line (line breaks only, no wrap), rounded up.
    int32_t GetTextWidth() const;
    // Height of the text laid out at that width.
    int32_t GetHeightForWidth(int32_t width) const;

private:
    LFontText(const WideString& text, const RCPtr<LFont>& font);

    void ClearCaches();
    void FillCaches();
    // The right edge of the text's extent (width, plus x when x is not 0).
    float Measure(const WideString& text) const;
    void BreakLines(int32_t width, bool wrap, WideStringArray& lines) const;
    // How many leading characters of the text go on one line of the width.
    int32_t FitCount(const WideString& text, float width) const;

    WideString mText;
    RCPtr<LFont> mFont;
    float mHAlign = 0.0f;
    float mVAlign = 0.0f;
    bool mWrap = false;
    int32_t mAreaWidth = 0;
    int32_t mAreaHeight = 0;
    WideStringArray mLines;
    bool mLinesValid = false;
    Array<RectT<float>> mLineRecords;
};

} // namespace SV
