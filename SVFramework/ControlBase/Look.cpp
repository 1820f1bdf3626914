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

RCPtr<LLook> LLook::Create(const LookClientOffsets& client, const LookTextPlacement* text,
                           bool wordWrap)
{
    RCPtr<LLook> look(new LLook());
    look->mClient = client;
    if (text != nullptr) {
        look->mHasText = true;
        look->mText = *text;
        look->mTextObject = LFontText::Create(WideString(), nullptr);
        look->mTextObject->SetWordWrap(wordWrap);
        look->mTextObject->SetAlignment(text->hAlign, text->vAlign);
    }
    return look;
}

RectT<float> LLook::GetTextRect(float width, float height) const
{
    if (!mHasText) {
        return {};
    }
    const float left = mText.leftRel * width + float(mText.leftAbs);
    const float right = mText.rightRel * width + float(mText.rightAbs);
    const float top = mText.topRel * height + float(mText.topAbs);
    const float bottom = mText.bottomRel * height + float(mText.bottomAbs);
    return {left, top, right - left, bottom - top};
}

void LLook::SetSize(int32_t width, int32_t height)
{
    mWidth = width;
    mHeight = height;
    mClientRect = {double(mClient.left), double(mClient.top),
                   std::max(0.0, double(width) - mClient.left - mClient.right),
                   std::max(0.0, double(height) - mClient.top - mClient.bottom)};
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
