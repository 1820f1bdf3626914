#include "ControlBase/VisualPart.h"

#include "ControlBase/DockedPart.h"
#include "ControlBase/VisualPartDescriptor.h"
#include "Renderer/Renderer.h"
#include "Utilities/Graphics/Bitmap.h"
#include "Utilities/Graphics/Colorizer.h"
#include "Utilities/Graphics/Rect.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace SV {

namespace {

constexpr float kSizeLimit = 8388608.0f; // 2^23
constexpr float kSameSizeTolerance = 1.1920929e-06f;

int32_t RoundToInt(double v)
{
    return static_cast<int32_t>(RoundHalf(std::clamp(v, -2147483648.0, 2147483647.0)));
}

int32_t TruncToInt(double v)
{
    return static_cast<int32_t>(std::clamp(std::trunc(v), -2147483648.0, 2147483647.0));
}

// Rounded down, a value a hair below a whole number counting as that number.
int32_t FloorSnapped(float v)
{
    const float snapped = v + std::fabs(v) * std::numeric_limits<float>::epsilon();
    return static_cast<int32_t>(
        std::clamp(std::floor(double(snapped)), -2147483648.0, 2147483647.0));
}

} // namespace

LVisualPart::LVisualPart(const WideString& name, const RCPtr<LBitmap>& bitmap,
                         ResizeType resizeType, const RCPtr<LColorizer>& colorizer, int32_t width,
                         int32_t height, float alphaModifier, const RCPtr<LBitmap>& mask)
    : mName(name), mBitmap(bitmap), mWidth(width), mHeight(height), mResizeType(resizeType),
      mColorizer(colorizer), mAlphaModifier(alphaModifier), mMask(mask)
{
    if (mBitmap) {
        mWidth = mBitmap->GetWidth();
        mHeight = mBitmap->GetHeight();
    }
    // Colorizing happens once, here: drawing a picture part is then a single renderer call.
    if (mColorizer && (mBitmap || mMask || mColorizer->GetKind() != LColorizer::kSolid)) {
        mBitmap =
            LBitmap::CreatePartBitmap(mColorizer, mAlphaModifier, mWidth, mHeight, mBitmap, mMask);
    }
}

LVisualPart::~LVisualPart()
{
    if (mOwnerDescriptor && mOwnerDescriptor->visualPart == this) {
        mOwnerDescriptor->visualPart = nullptr;
    }
}

void LVisualPart::SetDescriptor(LVisualPartDescriptor* descriptor)
{
    if (mOwnerDescriptor && mOwnerDescriptor->visualPart == this) {
        mOwnerDescriptor->visualPart = nullptr;
    }
    mOwnerDescriptor = descriptor;
    if (descriptor != nullptr) {
        descriptor->visualPart = this;
    }
}

uint32_t LVisualPart::GetFillColor() const
{
    if (!mColorizer) {
        return kTransparentColor;
    }
    ColorT color = mColorizer->GetColor();
    color.alpha *= mAlphaModifier;
    return color.ToARGB();
}

int32_t LVisualPart::Draw(const RCPtr<LRenderer>& renderer, const PointT<float>& destinationSize)
{
    if (!renderer) {
        return 0;
    }
    const int32_t w = RoundToInt(destinationSize.x);
    const int32_t h = RoundToInt(destinationSize.y);
    if (mBitmap) {
        renderer->DrawBitmap(mBitmap, {0, 0, w, h}, mResizeType);
        return 0;
    }
    if (!mColorizer) {
        return 0;
    }
    ColorT color = mColorizer->GetColor();
    color.alpha *= mAlphaModifier;
    if (!(color.alpha > 0.0f)) {
        return 0;
    }
    RectT<int32_t> fill{0, 0, w, h};
    if (mResizeType == ResizeType::Center) {
        fill = {(w - mWidth) / 2, (h - mHeight) / 2, mWidth, mHeight};
    }
    renderer->FillRect(fill, color, true);
    return 0;
}

uint32_t LVisualPart::GetColorAtPoint(const PointT<int32_t>& point) const
{
    if (point.x < 0 || point.y < 0 || point.x >= mWidth || point.y >= mHeight) {
        return kTransparentColor;
    }
    if (mBitmap) {
        return mBitmap->GetPixel(point.x, point.y).ToARGB();
    }
    return GetFillColor();
}

uint32_t LVisualPart::GetColorAtPoint(const PointT<float>& point,
                                      const PointT<float>& destinationSize) const
{
    const float partWidth = std::clamp(float(mWidth), -kSizeLimit, kSizeLimit);
    const float partHeight = std::clamp(float(mHeight), -kSizeLimit, kSizeLimit);
    if (std::fabs(destinationSize.x - partWidth) < kSameSizeTolerance &&
        std::fabs(destinationSize.y - partHeight) < kSameSizeTolerance) {
        return GetColorAtPoint(PointT<int32_t>{RoundToInt(point.x), RoundToInt(point.y)});
    }
    if (!(point.x >= 0.0f && point.y >= 0.0f && point.x < destinationSize.x &&
          point.y < destinationSize.y)) {
        return kTransparentColor;
    }
    switch (mResizeType) {
    case ResizeType::Tile: {
        const int32_t tileWidth = TruncToInt(double(mWidth) + 0.5);
        const int32_t tileHeight = TruncToInt(double(mHeight) + 0.5);
        // A part without area has nothing to repeat.
        if (tileWidth <= 0 || tileHeight <= 0) {
            return kTransparentColor;
        }
        return GetColorAtPoint(PointT<int32_t>{TruncToInt(double(point.x) + 0.5) % tileWidth,
                                               TruncToInt(double(point.y) + 0.5) % tileHeight});
    }
    case ResizeType::Center:
        return GetColorAtPoint(
            PointT<int32_t>{RoundToInt(point.x - (destinationSize.x - partWidth) * 0.5f),
                            RoundToInt(point.y - (destinationSize.y - partHeight) * 0.5f)});
    case ResizeType::Stretch:
    default:
        break;
    }
    const float fx = partWidth / destinationSize.x;
    const float fy = partHeight / destinationSize.y;
    if (destinationSize.x >= partWidth && destinationSize.y >= partHeight) {
        return GetColorAtPoint(PointT<int32_t>{TruncToInt(fx * point.x), TruncToInt(fy * point.y)});
    }
    // One destination pixel stands for a block of part pixels: the first one that is not
    // transparent, column by column, answers.
    const float startX = fx * point.x;
    const float startY = fy * point.y;
    const int32_t left = FloorSnapped(startX);
    const int32_t top = FloorSnapped(startY);
    const int32_t right = FloorSnapped(startX + std::max(fx, 1.0f));
    const int32_t bottom = FloorSnapped(startY + std::max(fy, 1.0f));
    uint32_t color = kTransparentColor;
    for (int32_t x = left; x < right; ++x) {
        for (int32_t y = top; y < bottom; ++y) {
            color = GetColorAtPoint(PointT<int32_t>{x, y});
            if (!IsTransparentColor(color)) {
                return color;
            }
        }
    }
    return color;
}

RCPtr<LVisualPart> CreateVisualPart(const WideString& name, const RCPtr<LBitmap>& bitmap,
                                    ResizeType resizeType, const RCPtr<LColorizer>& colorizer,
                                    float alphaModifier, const RCPtr<LBitmap>& mask)
{
    if (!bitmap) {
        return nullptr;
    }
    return RCPtr<LVisualPart>(new LVisualPart(name, bitmap, resizeType, colorizer,
                                              bitmap->GetWidth(), bitmap->GetHeight(),
                                              alphaModifier, mask));
}

RCPtr<LVisualPart> CreateColorizerVisualPart(const WideString& name,
                                             const RCPtr<LColorizer>& colorizer,
                                             const PointT<int32_t>& size, ResizeType resizeType,
                                             float alphaModifier, const RCPtr<LBitmap>& mask)
{
    if (!colorizer) {
        return nullptr;
    }
    return RCPtr<LVisualPart>(
        new LVisualPart(name, nullptr, resizeType, colorizer, size.x, size.y, alphaModifier, mask));
}

RCPtr<LBitmap> LoadPartBitmap(const PartImageSource& source)
{
    const RCPtr<LBitmap> image = LBitmap::GetBitmap(source.file);
    if (!image) {
        return nullptr;
    }
    return image->CreateSubBitmap(source.x, source.y, source.width, source.height);
}

RCPtr<LVisualPart> LVisualPartDescriptor::GetVisualPart()
{
    if (visualPart != nullptr) {
        return RCPtr<LVisualPart>(visualPart);
    }
    const RCPtr<LBitmap> maskBitmap = mask.file.IsEmpty() ? nullptr : LoadPartBitmap(mask);
    RCPtr<LVisualPart> part;
    if (HasImage()) {
        part = CreateVisualPart(name, LoadPartBitmap(image), resizeType, colorizer, alphaModifier,
                                maskBitmap);
    } else {
        part = CreateColorizerVisualPart(name, colorizer, {width, height}, resizeType,
                                         alphaModifier, maskBitmap);
    }
    if (part) {
        part->SetDescriptor(this);
    }
    return part;
}

RCPtr<LVisualPart> LDockedPart::GetVisualPart() const
{
    return part ? part->GetVisualPart() : nullptr;
}

} // namespace SV
