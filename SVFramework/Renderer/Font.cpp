#include "Renderer/Font.h"

#include "ControlBase/ControlApplication.h"
#include "Renderer/MeasurementRenderer.h"
#include "Utilities/Storage/RCPtrArray.h"

#include <cmath>

namespace SV {

namespace {

RCPtrArray<LFont>& Registry()
{
    // Kept to the end of the process: fonts are handed out for the whole run.
    static auto* registry = new RCPtrArray<LFont>();
    return *registry;
}

} // namespace

LFont::LFont(const WideString& name, float size, int32_t style)
    : mName(name), mSize(size), mStyle(style)
{}

RCPtr<LFont> LFont::GetFont(const WideString& name, float size, int32_t style)
{
    RCPtrArray<LFont>& registry = Registry();
    const WideString lowerName = name.ToLower();
    for (int32_t i = registry.GetCount() - 1; i >= 0; --i) {
        const RCPtr<LFont>& font = *registry.At(i);
        if (font->mSize == size && font->mStyle == style &&
            (font->mName == name || font->mName.ToLower() == lowerName)) {
            return font;
        }
    }
    RCPtr<LFont> font(new LFont(name, size, style));
    registry.Add(font);
    return font;
}

uint32_t LFont::GetHeight() const
{
    if (mHeightKnown) {
        return mHeight;
    }
    IControlApplication* application = GetControlApplication();
    RCPtr<LMeasurementRenderer> renderer =
        application != nullptr ? application->GetMeasurementRenderer() : nullptr;
    if (!renderer) {
        return 0;
    }
    int32_t height = 0;
    int32_t ascent = 0;
    int32_t descent = 0;
    if (renderer->GetFontMetrics(ConstRCPtr<LFont>(this), height, ascent, descent) != 0) {
        return 0;
    }
    mHeight = height > 0 ? static_cast<uint32_t>(height) : 0;
    mHeightKnown = true;
    return mHeight;
}

} // namespace SV
