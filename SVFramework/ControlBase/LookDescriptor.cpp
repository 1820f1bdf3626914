#include "ControlBase/LookDescriptor.h"

#include "ControlBase/VisualPartDescriptor.h"
#include "ResultCodes.h"

namespace SV {

LLookDescriptor::LLookDescriptor(const WideString& lookName) : name(lookName)
{}

LLookDescriptor::~LLookDescriptor() = default;

int32_t LLookDescriptor::SetClientPart(const RCPtr<LDockedPart>& part)
{
    clientPart = part;
    return S_OK;
}

int32_t LLookDescriptor::SetTextProperties(const TextPlacement& placement,
                                           const RCPtr<LVisualPartDescriptor>& foregroundPart)
{
    text = placement;
    textForegroundPart = foregroundPart;
    hasTextProperties = true;
    return S_OK;
}

} // namespace SV
