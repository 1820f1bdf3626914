// The drawable form of one skin part: a picture (a rectangle of a skin image, recoloured once when
// the part is made) or a plain colour fill from a solid colorizer. It draws itself at the current
// render origin into a destination of any size and answers the colour at a point of such a
// destination, which looks use for transparency and for the colour of their label text.
#pragma once

#include "ControlBase/VisualPartDescriptor.h"
#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"
#include "Renderer/ResizeType.h"
#include "Utilities/Graphics/Bitmap.h"
#include "Utilities/Graphics/Colorizer.h"
#include "Utilities/Graphics/Point.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace SV {

class LRenderer;

// Packed 0xAARRGGBB meaning that nothing is drawn at a point.
inline constexpr uint32_t kTransparentColor = 0x00FFFFFFu;

inline bool IsTransparentColor(uint32_t argb)
{
    return (argb >> 24) == 0;
}

class LVisualPart : public virtual LRefCountedObject
{
public:
    // A colorizer together with a picture, a mask or a gradient is baked into a new picture here;
    // the combinations the bitmap side cannot make (picture and mask, a gradient of two colours)
    // throw its exception.
    LVisualPart(const WideString& name, const RCPtr<LBitmap>& bitmap, ResizeType resizeType,
                const RCPtr<LColorizer>& colorizer, int32_t width, int32_t height,
                float alphaModifier, const RCPtr<LBitmap>& mask);
    ~LVisualPart() override;
    LVisualPart(const LVisualPart&) = delete;
    LVisualPart& operator=(const LVisualPart&) = delete;

    // Draws into (0, 0, destination size rounded) of the current render state; always 0.
    virtual int32_t Draw(const RCPtr<LRenderer>& renderer, const PointT<float>& destinationSize);

    // The part's own pixel; transparent outside the part.
    [[nodiscard]] uint32_t GetColorAtPoint(const PointT<int32_t>& point) const;
    // The colour at a point of a destination of that size filled by the part.
    [[nodiscard]] uint32_t GetColorAtPoint(const PointT<float>& point,
                                           const PointT<float>& destinationSize) const;

    // Records the descriptor whose cache slot holds this part; the slot is emptied when the part
    // goes away.
    void SetDescriptor(LVisualPartDescriptor* descriptor);

    const WideString& GetName() const { return mName; }
    const RCPtr<LBitmap>& GetBitmap() const { return mBitmap; }
    int32_t GetWidth() const { return mWidth; }
    int32_t GetHeight() const { return mHeight; }
    ResizeType GetResizeType() const { return mResizeType; }
    const RCPtr<LColorizer>& GetColorizer() const { return mColorizer; }
    float GetAlphaModifier() const { return mAlphaModifier; }
    // The fill colour of a colour part, 0xAARRGGBB with the alpha modifier applied.
    [[nodiscard]] uint32_t GetFillColor() const;

private:
    WideString mName;
    RCPtr<LBitmap> mBitmap;
    int32_t mWidth = 0;
    int32_t mHeight = 0;
    ResizeType mResizeType = ResizeType::Stretch;
    RCPtr<LColorizer> mColorizer;
    float mAlphaModifier = 1.0f;
    RCPtr<LBitmap> mMask;
    // Kept alive by the part, so the slot it points back to stays valid.
    RCPtr<LVisualPartDescriptor> mOwnerDescriptor;
};

// Empty without a bitmap; otherwise a part of the bitmap's size.
[[nodiscard]] RCPtr<LVisualPart> CreateVisualPart(const WideString& name,
                                                  const RCPtr<LBitmap>& bitmap,
                                                  ResizeType resizeType,
                                                  const RCPtr<LColorizer>& colorizer,
                                                  float alphaModifier, const RCPtr<LBitmap>& mask);
// Empty without a colorizer; otherwise a part of the given size without a picture of its own.
[[nodiscard]] RCPtr<LVisualPart>
CreateColorizerVisualPart(const WideString& name, const RCPtr<LColorizer>& colorizer,
                          const PointT<int32_t>& size, ResizeType resizeType, float alphaModifier,
                          const RCPtr<LBitmap>& mask);
// The named skin image (loaded once and shared) cut to the source's rectangle; empty when the
// image cannot be loaded.
[[nodiscard]] RCPtr<LBitmap> LoadPartBitmap(const PartImageSource& source);

} // namespace SV
