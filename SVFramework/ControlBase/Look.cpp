#include "ControlBase/Look.h"

#include <algorithm>
#include <cmath>

namespace SV {

namespace {

int32_t RoundToInt(double v)
{
    return static_cast<int32_t>(RoundHalf(std::clamp(v, -2147483648.0, 2147483647.0)));
}

} // namespace

RCPtr<LLook> LLook::Create(const ConstRCPtr<LLookDescriptor>& descriptor, bool wordWrap)
{
    RCPtr<LLook> look(new LLook());
    look->mDescriptor = descriptor;
    if (descriptor && descriptor->hasTextProperties) {
        look->mTextObject = LFontText::Create(WideString(), nullptr);
        look->mTextObject->SetWordWrap(wordWrap);
        look->mTextObject->SetAlignment(descriptor->text.hAlign, descriptor->text.vAlign);
    }
    return look;
}

RectT<float> LLook::GetTextRect(float width, float height) const
{
    if (!HasTextProperties()) {
        return {};
    }
    const TextPlacement& text = mDescriptor->text;
    const float left = text.leftRel * width + float(text.leftAbs);
    const float right = text.rightRel * width + float(text.rightAbs);
    const float top = text.topRel * height + float(text.topAbs);
    const float bottom = text.bottomRel * height + float(text.bottomAbs);
    return {left, top, right - left, bottom - top};
}

void LLook::SetSize(int32_t width, int32_t height)
{
    mWidth = width;
    mHeight = height;
    mClientRect = {0.0, 0.0, double(width), double(height)};
    if (mDescriptor && mDescriptor->clientPart) {
        const LDockedPart& client = *mDescriptor->clientPart;
        mClientRect = {double(client.left), double(client.top),
                       std::max(0.0, double(width) - client.left - client.right),
                       std::max(0.0, double(height) - client.top - client.bottom)};
    }
    if (mTextObject) {
        const RectT<float> area = GetTextRect(float(width), float(height));
        mTextObject->SetArea(RoundToInt(area.width), RoundToInt(area.height));
    }
}

int32_t LLook::SetLabelText(const WideString& text)
{
    if (!mTextObject) {
        return 1;
    }
    return mTextObject->SetText(text) ? 0 : 1;
}

} // namespace SV
