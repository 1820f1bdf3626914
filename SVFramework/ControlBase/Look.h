// One appearance of a control, laid out for the control's size: its client part (inside the
// client offsets) and, when it has text properties, the text area and the text object that breaks
// the control's label into lines there.
#pragma once

#include "ControlBase/FontText.h"
#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Graphics/Rect.h"

#include <cstdint>

namespace SV {

// Where a look's text goes, relative to the look's size (factors) and in pixels.
struct LookTextPlacement
{
    float leftRel = 0.0f;
    int32_t leftAbs = 0;
    float rightRel = 1.0f;
    int32_t rightAbs = 0;
    float hAlign = 0.0f;
    float topRel = 0.0f;
    int32_t topAbs = 0;
    float bottomRel = 1.0f;
    int32_t bottomAbs = 0;
    float vAlign = 0.0f;
};

// Offsets of the client part from the look's edges.
struct LookClientOffsets
{
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

class LLook : public virtual LRefCountedObject
{
public:
    // A look without text properties has no text object.
    [[nodiscard]] static RCPtr<LLook> Create(const LookClientOffsets& client,
                                             const LookTextPlacement* text, bool wordWrap);

    void SetSize(int32_t width, int32_t height);
    int32_t GetWidth() const { return mWidth; }
    int32_t GetHeight() const { return mHeight; }
    // In the control's coordinates, for the current size; never negative in size.
    const RectT<double>& GetClientRect() const { return mClientRect; }
    bool HasTextProperties() const { return mHasText; }
    const LookTextPlacement& GetTextPlacement() const { return mText; }
    // The text area for a size: (left, top, right - left, bottom - top) in floats.
    RectT<float> GetTextRect(float width, float height) const;
    const RCPtr<LFontText>& GetTextObject() const { return mTextObject; }
    // 1 when the look has no text object, else whether the text changed (0 changed).
    int32_t SetLabelText(const WideString& text);

private:
    LLook() = default;

    LookClientOffsets mClient;
    bool mHasText = false;
    LookTextPlacement mText;
    RCPtr<LFontText> mTextObject;
    int32_t mWidth = 0;
    int32_t mHeight = 0;
    RectT<double> mClientRect;
};

} // namespace SV
