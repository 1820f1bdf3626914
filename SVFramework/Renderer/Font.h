// A font by family name, size and style: a description, not a system font. Every font comes from
// a process-wide registry, so that one description gives one shared object; back ends make their
// own font objects from it, keyed by its unique id. Line height, ascent and descent are measured
// once, on first request, by the application's measurement renderer.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/RCPtrArray.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>
#include <functional>

namespace SV {

class LMeasurementRenderer;

class LFont : public virtual LRefCountedObject
{
public:
    // Style bits.
    static constexpr int32_t kBold = 1;
    static constexpr int32_t kItalic = 2;
    static constexpr int32_t kUnderline = 4;
    static constexpr int32_t kStrikeOut = 8;

    using Registry = RCPtrArray<LFont, 1, 0>;
    // Answers the renderer that measures fonts (the application's, of its main window); an
    // empty pointer while there is none.
    using MeasurementRendererSource = std::function<RCPtr<LMeasurementRenderer>()>;

    LFont(const WideString& familyName, float size, int32_t style);

    // The registered font of the description, made and registered on first use. Fonts stay
    // registered to the end of the program.
    static RCPtr<LFont> GetFont(const WideString& familyName, float size, int32_t style);
    // The registry index of the most recently added font of the description (the name compared
    // without case, the size exactly), or -1.
    static int32_t FindFont(const WideString& familyName, float size, int32_t style);
    static Registry& GetRegistry();
    static int32_t GetUniqueID(const ConstRCPtr<LFont>& font) { return font->mUniqueId; }

    // Set by the application when it starts; an empty source leaves fonts unmeasured.
    static void SetMeasurementRendererSource(MeasurementRendererSource source);

    // Measured on first request; while no renderer can measure, height stays -1 and the next
    // request tries again.
    int32_t GetHeight() const;
    int32_t GetAscent() const;
    int32_t GetDescent() const;

    const WideString& GetFamilyName() const { return mFamilyName; }
    float GetSize() const { return mSize; }
    int32_t GetStyle() const { return mStyle; }
    int32_t GetUniqueId() const { return mUniqueId; }
    bool IsMeasured() const { return mHeight >= 0; }

private:
    void Measure() const;

    WideString mFamilyName;
    float mSize;
    int32_t mStyle;
    mutable int32_t mHeight = -1;
    mutable int32_t mAscent = 0;
    mutable int32_t mDescent = 0;
    int32_t mUniqueId;
};

} // namespace SV
