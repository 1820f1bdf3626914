// One appearance of a control, laid out for the control's size: its client part (inside the
// client part's offsets) and, when its description has text properties, the text area and the
// text object that breaks the control's label into lines there.
#pragma once

#include "ControlBase/FontText.h"
#include "ControlBase/LookDescriptor.h"
#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Graphics/Rect.h"

#include <cstdint>

namespace SV {

class LLook : public virtual LRefCountedObject
{
public:
    // Word wrap starts as given; a look whose description has no text properties has no text
    // object.
    [[nodiscard]] static RCPtr<LLook> Create(const ConstRCPtr<LLookDescriptor>& descriptor,
                                             bool wordWrap);

    void SetSize(int32_t width, int32_t height);
    int32_t GetWidth() const { return mWidth; }
    int32_t GetHeight() const { return mHeight; }
    // In the control's coordinates, for the current size; never negative in size.
    const RectT<double>& GetClientRect() const { return mClientRect; }
    bool HasTextProperties() const { return mDescriptor && mDescriptor->hasTextProperties; }
    const ConstRCPtr<LLookDescriptor>& GetDescriptor() const { return mDescriptor; }
    // The text area for a size: (left, top, right - left, bottom - top) in floats; empty without
    // text properties.
    RectT<float> GetTextRect(float width, float height) const;
    const RCPtr<LFontText>& GetTextObject() const { return mTextObject; }
    // 1 when the look has no text object, 0 when the text changed, else 1.
    int32_t SetLabelText(const WideString& text);

private:
    LLook() = default;

    ConstRCPtr<LLookDescriptor> mDescriptor;
    RCPtr<LFontText> mTextObject;
    int32_t mWidth = 0;
    int32_t mHeight = 0;
    RectT<double> mClientRect;
};

} // namespace SV
