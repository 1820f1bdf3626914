#include "ControlBase/FontText.h"

#include "ControlBase/ControlApplication.h"
#include "Renderer/MeasurementRenderer.h"

#include <algorithm>
#include <cmath>

namespace SV {

namespace {

constexpr const char16_t* kBlanks = u" \t\r\n";

// A float that may be out of range or NaN, clamped into int32_t before it is truncated.
int32_t TruncateToInt(double v)
{
    if (!(v > -2147483648.0)) {
        return INT32_MIN;
    }
    if (v >= 2147483647.0) {
        return INT32_MAX;
    }
    return static_cast<int32_t>(v);
}

int32_t LastIndexOf(const WideString& text, char16_t character, int32_t end)
{
    const char16_t* chars = text.GetText();
    for (int32_t i = end - 1; i >= 0; --i) {
        if (chars[i] == character) {
            return i;
        }
    }
    return -1;
}

} // namespace

LFontText::LFontText(const WideString& text, const RCPtr<LFont>& font) : mText(text), mFont(font)
{}

RCPtr<LFontText> LFontText::Create(const WideString& text, const RCPtr<LFont>& font)
{
    return RCPtr<LFontText>(new LFontText(text, font));
}

void LFontText::ClearCaches()
{
    mLines.RemoveAll();
    mLinesValid = false;
    mLineRecords.RemoveAll();
}

bool LFontText::SetText(const WideString& text)
{
    if (mText == text) {
        return false;
    }
    mText = text;
    ClearCaches();
    return true;
}

bool LFontText::SetFont(const RCPtr<LFont>& font)
{
    bool changed = false;
    if (!mFont != !font) {
        changed = true;
    } else if (mFont &&
               (!(mFont->GetFamilyName() == font->GetFamilyName()) ||
                mFont->GetSize() != font->GetSize() || mFont->GetStyle() != font->GetStyle())) {
        changed = true;
    }
    mFont = font;
    if (changed) {
        ClearCaches();
    }
    return changed;
}

int32_t LFontText::SetWordWrap(bool wrap)
{
    if (mWrap == wrap) {
        return 0;
    }
    mWrap = wrap;
    ClearCaches();
    return 1;
}

void LFontText::SetAlignment(float horizontal, float vertical)
{
    if (mHAlign != horizontal || mVAlign != vertical) {
        mHAlign = horizontal;
        mVAlign = vertical;
        mLineRecords.RemoveAll();
    }
}

void LFontText::SetArea(int32_t width, int32_t height)
{
    if (mAreaWidth != width || mAreaHeight != height) {
        mAreaWidth = width;
        mAreaHeight = height;
        ClearCaches();
    }
}

float LFontText::Measure(const WideString& text) const
{
    IControlApplication* application = GetControlApplication();
    RCPtr<LMeasurementRenderer> renderer =
        application != nullptr ? application->GetMeasurementRenderer() : nullptr;
    if (!renderer) {
        return 0.0f;
    }
    const RectT<float> extent = renderer->MeasureText(text, mFont);
    return extent.x != 0.0f ? extent.width + extent.x : extent.width;
}

int32_t LFontText::FitCount(const WideString& text, float width) const
{
    if (Measure(text) < width) {
        return text.GetLength();
    }
    // Every round shortens the candidate, so the search ends; a word that fits nowhere is
    // answered whole and its line overflows.
    WideString candidate = text;
    for (;;) {
        const int32_t length = candidate.GetLength();
        int32_t answer = -1;
        const int32_t blank = LastIndexOf(candidate, u' ', length);
        if (blank >= 1) {
            if (Measure(candidate.Left(blank)) <= width) {
                const int32_t hyphen = LastIndexOf(candidate, u'-', length);
                answer = (hyphen > blank && Measure(candidate.Left(hyphen + 1)) <= width)
                             ? hyphen + 1
                             : blank;
            } else {
                candidate = candidate.Left(blank);
                continue;
            }
        } else {
            const int32_t hyphen = LastIndexOf(candidate, u'-', length - 1);
            if (hyphen < 0) {
                answer = length;
            } else if (Measure(candidate.Left(hyphen + 1)) <= width) {
                answer = hyphen + 1;
            } else {
                candidate = candidate.Left(hyphen + 1);
                continue;
            }
        }
        return answer == 0 ? length : answer;
    }
}

void LFontText::BreakLines(int32_t width, bool wrap, WideStringArray& lines) const
{
    if (!wrap) {
        mText.Split(u"\n", lines);
        return;
    }
    WideStringArray paragraphs;
    mText.Split(u"\n", paragraphs);
    lines.RemoveAll();
    const auto w = static_cast<float>(width);
    for (int32_t p = 0; p < paragraphs.GetCount(); ++p) {
        const WideString& paragraph = *paragraphs.At(p);
        int32_t count = FitCount(paragraph, w);
        WideString line = paragraph.Left(count);
        WideString rest = paragraph.MidFrom(std::min(count, paragraph.GetLength()));
        while (!rest.IsEmpty()) {
            rest = rest.TrimLeft(kBlanks);
            lines.Add(line);
            count = FitCount(rest, w);
            line = rest.Left(count);
            rest = rest.MidFrom(std::min(count, rest.GetLength()));
        }
        lines.Add(line);
    }
}

void LFontText::FillCaches()
{
    if (!mLinesValid) {
        BreakLines(mAreaWidth, mWrap, mLines);
        mLinesValid = true;
    }
    if (mLineRecords.GetCount() != 0) {
        return;
    }
    if (mLines.GetCount() == 0) {
        mLines.Add(WideString());
    }
    const double lineHeight = mFont ? double(std::max(0, mFont->GetHeight())) : 0.0;
    const int32_t count = mLines.GetCount();
    const double top = (double(mAreaHeight) - lineHeight * count) * double(mVAlign);
    IControlApplication* application = GetControlApplication();
    RCPtr<LMeasurementRenderer> renderer =
        application != nullptr ? application->GetMeasurementRenderer() : nullptr;
    for (int32_t i = 0; i < count; ++i) {
        RectT<float> extent;
        if (renderer) {
            extent = renderer->MeasureText(*mLines.At(i), mFont);
        }
        if (extent.x != 0.0f) {
            extent.width += extent.x;
            extent.x = 0.0f;
        }
        mLineRecords.Add({static_cast<float>((double(mAreaWidth) - extent.width) * mHAlign),
                          static_cast<float>(lineHeight * i + top), extent.width, extent.height});
    }
}

int32_t LFontText::GetLineCount()
{
    FillCaches();
    return mLineRecords.GetCount();
}

RectT<float> LFontText::GetLine(int32_t index)
{
    FillCaches();
    if (index < 0 || index >= mLineRecords.GetCount()) {
        return {};
    }
    return *mLineRecords.At(index);
}

WideString LFontText::GetLineText(int32_t index)
{
    FillCaches();
    if (index < 0 || index >= mLines.GetCount()) {
        return {};
    }
    return *mLines.At(index);
}

PointT<int32_t> LFontText::GetTextBounds()
{
    FillCaches();
    double left = 0.0;
    double top = 0.0;
    double right = 0.0;
    double bottom = 0.0;
    for (int32_t i = 0; i < mLineRecords.GetCount(); ++i) {
        const RectT<float>& line = *mLineRecords.At(i);
        left = std::min(left, double(line.x));
        top = std::min(top, double(line.y));
        right = std::max(right, double(line.x) + line.width);
        bottom = std::max(bottom, double(line.y) + line.height);
    }
    const auto clampRound = [](double v) {
        return static_cast<int32_t>(RoundHalf(std::clamp(v, -8388608.0, 8388608.0)));
    };
    return {clampRound(right - left), clampRound(bottom - top)};
}

int32_t LFontText::GetTextWidth() const
{
    WideStringArray lines;
    mText.Split(u"\n", lines);
    float widest = 0.0f;
    for (int32_t i = 0; i < lines.GetCount(); ++i) {
        widest = std::max(widest, Measure(*lines.At(i)));
    }
    return TruncateToInt(double(widest) + 0.99);
}

int32_t LFontText::GetHeightForWidth(int32_t width) const
{
    WideStringArray lines;
    BreakLines(width, mWrap, lines);
    const double height =
        double(lines.GetCount()) * (mFont ? double(std::max(0, mFont->GetHeight())) : 0.0);
    return TruncateToInt(height);
}

} // namespace SV
