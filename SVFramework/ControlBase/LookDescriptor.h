// One look of the skin: the part that fills the client area, the parts docked around it and where
// the label text goes. A look list is the numbered set of looks a control picks from by index.
#pragma once

#include "ControlBase/DockedPart.h"
#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/RCPtrArray.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace SV {

class LVisualPartDescriptor;

// Where a look places its label: each edge as a factor of the look's size plus pixels, and the
// alignment of the text between the edges.
struct TextPlacement
{
    float leftRel = 0.0f;
    int32_t leftAbs = 0;
    float rightRel = 0.0f;
    int32_t rightAbs = 0;
    float hAlign = 0.0f;
    float topRel = 0.0f;
    int32_t topAbs = 0;
    float bottomRel = 0.0f;
    int32_t bottomAbs = 0;
    float vAlign = 0.0f;
};

class LLookDescriptor : public virtual LRefCountedObject
{
public:
    explicit LLookDescriptor(const WideString& lookName);
    ~LLookDescriptor() override;

    int32_t SetClientPart(const RCPtr<LDockedPart>& part);
    int32_t SetTextProperties(const TextPlacement& placement,
                              const RCPtr<LVisualPartDescriptor>& foregroundPart);

    WideString name;
    RCPtr<LDockedPart> clientPart;
    RCPtrArray<LDockedPart> nonClientParts;
    bool hasTextProperties = false;
    // Valid only while hasTextProperties is set.
    TextPlacement text;
    RCPtr<LVisualPartDescriptor> textForegroundPart;
};

// Made with all its slots empty; a slot the skin does not fill stays empty.
using LookList = LRCPtrArray<LLookDescriptor>;

} // namespace SV
