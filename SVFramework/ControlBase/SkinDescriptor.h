// The Skin element of a control, or a skin's top-level Skin: its look list and its font.
#pragma once

#include "ControlBase/LookDescriptor.h"
#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace SV {

class LSkinDescriptor : public virtual LRefCountedObject
{
public:
    static constexpr int32_t kNoFontStyle = -1;

    explicit LSkinDescriptor(const WideString& skinName) : name(skinName) {}

    WideString name;
    RCPtr<LookList> lookList;
    bool fontInheritsFromParent = false;
    bool fontSizeIsRelative = false;
    WideString fontName;
    float fontSize = 0.0f;
    int32_t fontStyle = kNoFontStyle;
};

} // namespace SV
