// One appearance of a control, laid out for the control's size: the client part that fills its
// inner area, the non-client parts docked around or over it, an optional overlay drawn over the
// client part, and the label text placed in the look's text area. A look can be limited to a clip
// region, so that two looks shown at once split the control between them.
#pragma once

#include "ControlBase/FontText.h"
#include "ControlBase/LookDescriptor.h"
#include "ControlBase/VisualPart.h"
#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"
#include "Renderer/ResizeType.h"
#include "Utilities/Graphics/Point.h"
#include "Utilities/Graphics/Rect.h"
#include "Utilities/Graphics/RectRegion.h"
#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/RCPtrArray.h"

#include <cstdint>

namespace SV {

class LBitmap;
class LRenderer;

class LLook : public virtual LRefCountedObject
{
public:
    // Word wrap starts as given; a look whose description has no text properties has no text
    // object. Throws when the skin names a part the bitmap side cannot make.
    [[nodiscard]] static RCPtr<LLook> Create(const ConstRCPtr<LLookDescriptor>& descriptor,
                                             bool wordWrap);
    ~LLook() override;
    LLook(const LLook&) = delete;
    LLook& operator=(const LLook&) = delete;

    // The drawing operations clip to the dirty region (root coordinates) and, when set, to the
    // look's clip region; the renderer's origin is the control's top left corner. 1 when a part
    // did not draw, else 0.
    virtual int32_t DrawNonClientParts(const RCPtr<LRenderer>& renderer, const RectRegion& dirty);
    virtual int32_t DrawClientPart(const RCPtr<LRenderer>& renderer, const RectRegion& dirty);
    // The text moves back by the offset inside the fixed text area; 1 without a text object.
    virtual int32_t DrawLabelText(const RCPtr<LRenderer>& renderer, const RectRegion& dirty,
                                  const PointT<double>& textOffset);

    int32_t SetDescriptor(const ConstRCPtr<LLookDescriptor>& descriptor, bool wordWrap);
    // Lays the look out for the size; always true.
    bool SetSize(int32_t width, int32_t height);
    int32_t GetWidth() const { return mWidth; }
    int32_t GetHeight() const { return mHeight; }

    // 0xAARRGGBB at a point in control coordinates: non-client parts first, then the overlay,
    // then the client part; 0x00FFFFFF where none draws.
    [[nodiscard]] uint32_t GetColorAtPoint(const PointT<int32_t>& point) const;

    // 0 when the overlay changed, 1 when there was none to remove.
    int32_t SetOverlayBitmap(const RCPtr<LBitmap>& bitmap, ResizeType resizeType, bool hidesClient);
    // 1 when the look has no text object, 0 when the text changed, else 1.
    int32_t SetLabelText(const WideString& text);

    // In the control's coordinates, for the current size; never negative in size.
    RectT<double> GetClientRect() const;
    const RectT<int32_t>& GetClientRectPixels() const { return mClientRect; }
    const Array<RectT<int32_t>>& GetNonClientRects() const { return mNonClientRects; }
    const RCPtr<LVisualPart>& GetClientPart() const { return mClientPart; }
    const RCPtr<LVisualPart>& GetOverlayPart() const { return mOverlayPart; }
    const RCPtr<LVisualPart>& GetTextForegroundPart() const { return mTextForegroundPart; }
    void SetTextForegroundPart(const RCPtr<LVisualPart>& part) { mTextForegroundPart = part; }
    const PointT<int32_t>& GetTextOrigin() const { return mTextOrigin; }

    bool HasTextProperties() const { return mDescriptor && mDescriptor->hasTextProperties; }
    const ConstRCPtr<LLookDescriptor>& GetDescriptor() const { return mDescriptor; }
    // The text area for a size: (left, top, right - left, bottom - top) in floats; empty without
    // text properties.
    RectT<float> GetTextRect(float width, float height) const;
    const RCPtr<LFontText>& GetTextObject() const { return mTextObject; }

    // Control coordinates; an empty region draws everywhere.
    RectRegion& GetClipRegion() { return mClipRegion; }
    const RectRegion& GetClipRegion() const { return mClipRegion; }

private:
    LLook() = default;

    // The dirty region limited to the clip region, when there is one.
    void MakeDrawingRegion(const RCPtr<LRenderer>& renderer, const RectRegion& dirty,
                           RectRegion& region) const;
    // Draws the part into the target rectangle, once per piece of the region that meets it and
    // the renderer's clip.
    int32_t DrawPartInRegion(const RCPtr<LRenderer>& renderer, const RectRegion& region,
                             const RectT<int32_t>& target, bool clientPass,
                             const RCPtr<LVisualPart>& part);

    ConstRCPtr<LLookDescriptor> mDescriptor;
    RCPtr<LVisualPart> mTextForegroundPart;
    int32_t mWidth = 0;
    int32_t mHeight = 0;
    RectT<int32_t> mClientRect;
    Array<RectT<int32_t>> mNonClientRects;
    RCPtrArray<LVisualPart> mNonClientParts;
    RCPtr<LVisualPart> mClientPart;
    RCPtr<LVisualPart> mOverlayPart;
    bool mOverlayHidesClient = false;
    RCPtr<LFontText> mTextObject;
    PointT<int32_t> mTextOrigin;
    RectRegion mClipRegion;
};

} // namespace SV
