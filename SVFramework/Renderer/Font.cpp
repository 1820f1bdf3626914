#include "Renderer/Font.h"

#include "Renderer/MeasurementRenderer.h"
#include "Utilities/Storage/WideText.h"

#include <atomic>
#include <mutex>

namespace SV {

namespace {

struct FontRegistry
{
    std::recursive_mutex lock;
    LFont::Registry fonts;
    LFont::MeasurementRendererSource rendererSource;
};

FontRegistry& Fonts()
{
    static FontRegistry registry;
    return registry;
}

std::atomic<int32_t> gLastUniqueId{0};

} // namespace

LFont::LFont(const WideString& familyName, float size, int32_t style)
    : mFamilyName(familyName), mSize(size), mStyle(style), mUniqueId(++gLastUniqueId)
{}

LFont::Registry& LFont::GetRegistry()
{
    return Fonts().fonts;
}

int32_t LFont::FindFont(const WideString& familyName, float size, int32_t style)
{
    FontRegistry& registry = Fonts();
    std::lock_guard<std::recursive_mutex> guard(registry.lock);
    for (int32_t i = registry.fonts.GetCount() - 1; i >= 0; --i) {
        const LFont& font = **registry.fonts.At(i);
        const bool sameName =
            &font.mFamilyName == &familyName ||
            WideCompareIgnoreCase(font.mFamilyName.GetText(), familyName.GetText()) == 0;
        if (sameName && font.mSize == size && font.mStyle == style) {
            return i;
        }
    }
    return -1;
}

RCPtr<LFont> LFont::GetFont(const WideString& familyName, float size, int32_t style)
{
    FontRegistry& registry = Fonts();
    std::lock_guard<std::recursive_mutex> guard(registry.lock);
    const int32_t index = FindFont(familyName, size, style);
    if (index >= 0) {
        return *registry.fonts.At(index);
    }
    RCPtr<LFont> font(new LFont(familyName, size, style));
    registry.fonts.Add(font);
    return font;
}

void LFont::SetMeasurementRendererSource(MeasurementRendererSource source)
{
    FontRegistry& registry = Fonts();
    std::lock_guard<std::recursive_mutex> guard(registry.lock);
    registry.rendererSource = std::move(source);
}

void LFont::Measure() const
{
    MeasurementRendererSource source;
    {
        FontRegistry& registry = Fonts();
        std::lock_guard<std::recursive_mutex> guard(registry.lock);
        source = registry.rendererSource;
    }
    const RCPtr<LMeasurementRenderer> renderer = source ? source() : nullptr;
    if (!renderer) {
        return;
    }
    int32_t height = -1;
    int32_t ascent = 0;
    int32_t descent = 0;
    // A failed measurement leaves the font unmeasured, so a later request can succeed.
    if (renderer->GetFontMetrics(ConstRCPtr<LFont>(this), height, ascent, descent) < 0) {
        return;
    }
    mAscent = ascent;
    mDescent = descent;
    mHeight = height;
}

int32_t LFont::GetHeight() const
{
    if (mHeight < 0) {
        Measure();
    }
    return mHeight;
}

int32_t LFont::GetAscent() const
{
    if (mHeight < 0) {
        Measure();
    }
    return mAscent;
}

int32_t LFont::GetDescent() const
{
    if (mHeight < 0) {
        Measure();
    }
    return mDescent;
}

} // namespace SV
