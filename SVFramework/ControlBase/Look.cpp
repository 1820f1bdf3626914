#include "ControlBase/Look.h"

#include "ControlBase/VisualPartDescriptor.h"
#include "Renderer/Renderer.h"
#include "Utilities/Graphics/Color.h"

#include <algorithm>
#include <cmath>

namespace SV {

namespace {

int32_t RoundToInt(double v)
{
    return static_cast<int32_t>(RoundHalf(std::clamp(v, -2147483648.0, 2147483647.0)));
}

int32_t TruncToInt(double v)
{
    return static_cast<int32_t>(std::clamp(std::trunc(v), -2147483648.0, 2147483647.0));
}

RectT<double> ToDouble(const RectT<int32_t>& r)
{
    return {double(r.x), double(r.y), double(r.width), double(r.height)};
}

bool Overlaps(const RectT<double>& a, const RectT<double>& b)
{
    return a.x < b.Right() && b.x < a.Right() && a.y < b.Bottom() && b.y < a.Bottom();
}

} // namespace

RCPtr<LLook> LLook::Create(const ConstRCPtr<LLookDescriptor>& descriptor, bool wordWrap)
{
    RCPtr<LLook> look(new LLook());
    look->SetDescriptor(descriptor, wordWrap);
    return look;
}

LLook::~LLook() = default;

int32_t LLook::SetDescriptor(const ConstRCPtr<LLookDescriptor>& descriptor, bool wordWrap)
{
    mDescriptor = descriptor;
    mTextForegroundPart = descriptor && descriptor->textForegroundPart
                              ? descriptor->textForegroundPart->GetVisualPart()
                              : nullptr;
    if (!HasTextProperties()) {
        mTextObject = nullptr;
    } else {
        if (!mTextObject) {
            mTextObject = LFontText::Create(WideString(), nullptr);
        }
        mTextObject->SetWordWrap(wordWrap);
        mTextObject->SetAlignment(descriptor->text.hAlign, descriptor->text.vAlign);
    }
    mClientPart =
        descriptor && descriptor->clientPart ? descriptor->clientPart->GetVisualPart() : nullptr;
    const int32_t nonClientCount = descriptor ? descriptor->nonClientParts.GetCount() : 0;
    mNonClientRects.RemoveAll();
    mNonClientRects.SetCount(nonClientCount);
    mNonClientParts.RemoveAll();
    mNonClientParts.SetCount(nonClientCount);
    const int32_t width = mWidth;
    const int32_t height = mHeight;
    mWidth = 0;
    mHeight = 0;
    SetSize(width, height);
    return 0;
}

RectT<float> LLook::GetTextRect(float width, float height) const
{
    if (!HasTextProperties()) {
        return {};
    }
    const TextPlacement& text = mDescriptor->text;
    const float left = float(text.leftAbs) + text.leftRel * width;
    const float right = float(text.rightAbs) + text.rightRel * width;
    const float top = float(text.topAbs) + text.topRel * height;
    const float bottom = float(text.bottomAbs) + text.bottomRel * height;
    return {left, top, right - left, bottom - top};
}

bool LLook::SetSize(int32_t width, int32_t height)
{
    if (width == mWidth && height == mHeight) {
        return true;
    }
    mWidth = width;
    mHeight = height;
    const int32_t w = width;
    const int32_t h = height;

    // The client part keeps all four offsets; right and bottom ones are usually 0 or negative.
    int32_t offsets[4] = {0, 0, 0, 0};
    if (mDescriptor && mDescriptor->clientPart) {
        const LDockedPart& client = *mDescriptor->clientPart;
        offsets[0] = client.left;
        offsets[1] = client.top;
        offsets[2] = client.right;
        offsets[3] = client.bottom;
    }
    const int32_t x = std::clamp(offsets[0], 0, std::max(w, 0));
    const int32_t y = std::clamp(offsets[1], 0, std::max(h, 0));
    const int32_t clientWidth =
        int32_t(std::clamp<int64_t>(int64_t(w) - x + offsets[2], 0, std::max(w - x, 0)));
    const int32_t clientHeight =
        int32_t(std::clamp<int64_t>(int64_t(h) - y + offsets[3], 0, std::max(h - y, 0)));
    mClientRect = {x, y, clientWidth, clientHeight};

    // A part with both offsets of an axis stretches between them, with one it keeps its own
    // size at that side, with none it is centred.
    const int32_t count = mDescriptor ? mDescriptor->nonClientParts.GetCount() : 0;
    mNonClientRects.SetCount(count);
    mNonClientParts.SetCount(count);
    for (int32_t i = 0; i < count; ++i) {
        const RCPtr<LDockedPart>& docked = *mDescriptor->nonClientParts.At(i);
        if (!docked) {
            *mNonClientRects.At(i) = {};
            *mNonClientParts.At(i) = nullptr;
            continue;
        }
        const int32_t flags = docked->offsetFlags;
        const bool hasLeft = (flags & LDockedPart::kLeftOffset) != 0;
        const bool hasTop = (flags & LDockedPart::kTopOffset) != 0;
        const bool hasRight = (flags & LDockedPart::kRightOffset) != 0;
        const bool hasBottom = (flags & LDockedPart::kBottomOffset) != 0;
        const int32_t partWidth =
            docked->widthInUse ? docked->width : (docked->part ? docked->part->width : 0);
        const int32_t partHeight =
            docked->heightInUse ? docked->height : (docked->part ? docked->part->height : 0);
        int32_t left = hasLeft ? docked->left : 0;
        int32_t top = hasTop ? docked->top : 0;
        int32_t right = hasRight ? w + docked->right : w;
        int32_t bottom = hasBottom ? h + docked->bottom : h;
        if (!hasLeft) {
            left = right - partWidth;
        }
        if (!hasTop) {
            top = bottom - partHeight;
        }
        if (!hasRight) {
            right = left + partWidth;
        }
        if (!hasBottom) {
            bottom = top + partHeight;
        }
        if (!hasLeft && !hasRight) {
            left = (w - partWidth) / 2;
            right = left + partWidth;
        }
        if (!hasTop && !hasBottom) {
            top = (h - partHeight) / 2;
            bottom = top + partHeight;
        }
        *mNonClientRects.At(i) = {left, top, right - left, bottom - top};
        *mNonClientParts.At(i) = docked->GetVisualPart();
    }

    if (mTextObject) {
        const RectT<float> area = GetTextRect(float(w), float(h));
        mTextObject->SetArea(RoundToInt(area.width), RoundToInt(area.height));
        mTextOrigin = {TruncToInt(area.x), TruncToInt(area.y)};
    }
    return true;
}

RectT<double> LLook::GetClientRect() const
{
    return ToDouble(mClientRect);
}

void LLook::MakeDrawingRegion(const RCPtr<LRenderer>& renderer, const RectRegion& dirty,
                              RectRegion& region) const
{
    region.Clear();
    region.AppendRegion(mClipRegion);
    const RenderState* state = renderer->GetCurrentState();
    region.Offset(TruncToInt(state->origin.x), TruncToInt(state->origin.y));
    region.IntersectRegion(dirty);
    region.Normalize();
}

int32_t LLook::DrawPartInRegion(const RCPtr<LRenderer>& renderer, const RectRegion& region,
                                const RectT<int32_t>& target, bool clientPass,
                                const RCPtr<LVisualPart>& part)
{
    const RenderState* state = renderer->GetCurrentState();
    if (state == nullptr) {
        return 1;
    }
    const RectT<double> bounds = ToDouble(target);
    const PointT<float> size{float(target.width), float(target.height)};
    int32_t result = 0;
    for (const RectRegion::Node* node = region.GetFirst(); node != nullptr; node = node->next) {
        RectT<double> piece{double(node->left) - state->origin.x,
                            double(node->top) - state->origin.y, double(node->right - node->left),
                            double(node->bottom - node->top)};
        if (!IntersectRect(piece, bounds, piece) || !Overlaps(piece, state->clip)) {
            continue;
        }
        CAutoClip clip(renderer, bounds, piece, nullptr);
        if (!clientPass) {
            result |= part->Draw(renderer, size) != 0 ? 1 : 0;
            continue;
        }
        if (mClientPart && !(mOverlayPart && mOverlayHidesClient)) {
            result |= mClientPart->Draw(renderer, size) != 0 ? 1 : 0;
        }
        if (mOverlayPart) {
            result |= mOverlayPart->Draw(renderer, size) != 0 ? 1 : 0;
        }
    }
    return result;
}

int32_t LLook::DrawClientPart(const RCPtr<LRenderer>& renderer, const RectRegion& dirty)
{
    if (!renderer || renderer->GetCurrentState() == nullptr || (!mClientPart && !mOverlayPart)) {
        return 0;
    }
    if (mClipRegion.IsEmpty()) {
        return DrawPartInRegion(renderer, dirty, mClientRect, true, nullptr);
    }
    RectRegion region;
    MakeDrawingRegion(renderer, dirty, region);
    return DrawPartInRegion(renderer, region, mClientRect, true, nullptr);
}

int32_t LLook::DrawNonClientParts(const RCPtr<LRenderer>& renderer, const RectRegion& dirty)
{
    if (!renderer || renderer->GetCurrentState() == nullptr || mNonClientParts.GetCount() == 0) {
        return 0;
    }
    RectRegion clipped;
    if (!mClipRegion.IsEmpty()) {
        MakeDrawingRegion(renderer, dirty, clipped);
    }
    const RectRegion& region = mClipRegion.IsEmpty() ? dirty : clipped;
    int32_t result = 0;
    for (int32_t i = 0; i < mNonClientParts.GetCount(); ++i) {
        const RCPtr<LVisualPart>& part = *mNonClientParts.At(i);
        if (part) {
            result |= DrawPartInRegion(renderer, region, *mNonClientRects.At(i), false, part);
        }
    }
    return result;
}

int32_t LLook::DrawLabelText(const RCPtr<LRenderer>& renderer, const RectRegion& dirty,
                             const PointT<double>& textOffset)
{
    if (!mTextObject) {
        return 1;
    }
    // Without a foreground part or a font there is nothing to colour or shape the text with.
    if (!renderer || renderer->GetCurrentState() == nullptr || !mTextForegroundPart ||
        !mTextObject->GetFont()) {
        return 0;
    }
    RectRegion clipped;
    if (!mClipRegion.IsEmpty()) {
        MakeDrawingRegion(renderer, dirty, clipped);
    }
    const RectRegion& region = mClipRegion.IsEmpty() ? dirty : clipped;
    const RectT<double> textRect{double(mTextOrigin.x), double(mTextOrigin.y),
                                 double(mTextObject->GetAreaWidth()),
                                 double(mTextObject->GetAreaHeight())};
    const RectT<double> whole{0.0, 0.0, double(mWidth), double(mHeight)};
    // A picture part colours the text with its top left pixel: the text has one colour.
    ColorT color;
    color.FromARGB(mTextForegroundPart->GetColorAtPoint(PointT<int32_t>{0, 0}));
    for (const RectRegion::Node* node = region.GetFirst(); node != nullptr; node = node->next) {
        const RenderState* state = renderer->GetCurrentState();
        RectT<double> piece{double(node->left) - state->origin.x,
                            double(node->top) - state->origin.y, double(node->right - node->left),
                            double(node->bottom - node->top)};
        if (!IntersectRect(piece, textRect, piece) || !Overlaps(piece, state->clip)) {
            continue;
        }
        CAutoClip clip(renderer, whole, piece, nullptr);
        CAutoClip textArea(renderer, textRect, textRect, nullptr);
        const int32_t lines = mTextObject->GetLineCount();
        for (int32_t i = 0; i < lines; ++i) {
            const RectT<float> line = mTextObject->GetLine(i);
            const PointT<int32_t> position{RoundToInt(double(line.x) - textOffset.x),
                                           RoundToInt(double(line.y) - textOffset.y)};
            renderer->DrawText(mTextObject->GetLineText(i), mTextObject->GetFont(), position,
                               color);
        }
    }
    return 0;
}

uint32_t LLook::GetColorAtPoint(const PointT<int32_t>& point) const
{
    uint32_t color = kTransparentColor;
    const auto colorIn = [&](const RCPtr<LVisualPart>& part, const RectT<int32_t>& rect) {
        if (!part) {
            return kTransparentColor;
        }
        return part->GetColorAtPoint(
            PointT<float>{float(point.x - rect.x), float(point.y - rect.y)},
            PointT<float>{float(rect.width), float(rect.height)});
    };
    for (int32_t i = 0; i < mNonClientParts.GetCount() && IsTransparentColor(color); ++i) {
        color = colorIn(*mNonClientParts.At(i), *mNonClientRects.At(i));
    }
    if (IsTransparentColor(color) && mOverlayPart) {
        color = colorIn(mOverlayPart, mClientRect);
    }
    if (IsTransparentColor(color)) {
        color = colorIn(mClientPart, mClientRect);
    }
    return color;
}

int32_t LLook::SetOverlayBitmap(const RCPtr<LBitmap>& bitmap, ResizeType resizeType,
                                bool hidesClient)
{
    if (bitmap) {
        mOverlayPart = CreateVisualPart(WideString(), bitmap, resizeType, nullptr, 1.0f, nullptr);
        mOverlayHidesClient = hidesClient;
        return 0;
    }
    if (mOverlayPart) {
        mOverlayPart = nullptr;
        return 0;
    }
    return 1;
}

int32_t LLook::SetLabelText(const WideString& text)
{
    if (!mTextObject) {
        return 1;
    }
    return mTextObject->SetText(text) ? 0 : 1;
}

} // namespace SV
