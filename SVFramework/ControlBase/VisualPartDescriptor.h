// One part of the skin: a piece of an image, or a colour fill, with how it is resized and
// optionally recoloured and masked. Looks share parts, and every look that shows a part shares
// the one drawable made from it.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"
#include "Renderer/ResizeType.h"
#include "Utilities/Graphics/Colorizer.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace SV {

class LVisualPart;

// A rectangle of an image file, or of a resource when the file begins with "::".
struct PartImageSource
{
    WideString file;
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

class LVisualPartDescriptor : public virtual LRefCountedObject
{
public:
    // An image part takes the size of its image rectangle whatever size is given.
    LVisualPartDescriptor(const WideString& partName, const PartImageSource& imageSource,
                          ResizeType resize, const RCPtr<LColorizer>& partColorizer,
                          int32_t partWidth, int32_t partHeight, float partAlphaModifier,
                          const PartImageSource& maskSource);
    ~LVisualPartDescriptor() override;

    bool HasImage() const { return !image.file.IsEmpty(); }
    // The drawable of this part, made on first use and shared until its last holder lets it go;
    // empty when the part has neither image nor colorizer. Throws when the bitmap side cannot
    // make the part's picture.
    RCPtr<LVisualPart> GetVisualPart();

    WideString name;
    PartImageSource image;
    int32_t width = 0;
    int32_t height = 0;
    ResizeType resizeType = ResizeType::Stretch;
    RCPtr<LColorizer> colorizer;
    float alphaModifier = 1.0f;
    PartImageSource mask;
    // The drawable made from this part on first use. Not a counted reference: the drawable
    // lives in its own cache and empties this slot when it is released.
    LVisualPart* visualPart = nullptr;
};

} // namespace SV
