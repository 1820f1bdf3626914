// The payloads of a control's state changes: the condition payload (previous mask, current mask,
// press point), one per control and rewritten on every change, and the value payload of
// "NID_VALUE_CHANGE" (normalised value, value in the control's range). Both come from recycling
// pools.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"
#include "Threads/ReuseAllocator.h"
#include "Utilities/Graphics/Point.h"

#include <cstdint>

namespace SV {

class LConditionsParam : public virtual LRefCountedObject, public ReusePooled<LConditionsParam>
{
public:
    uint32_t mOldMask = 0;
    uint32_t mNewMask = 0;
    PointT<double> mPoint;
};

class LValueParam : public virtual LRefCountedObject, public ReusePooled<LValueParam>
{
public:
    LValueParam(double normalized, double value) : mNormalizedValue(normalized), mValue(value) {}

    double mNormalizedValue;
    double mValue;
};

[[nodiscard]] RCPtr<LValueParam> CreateValueParam(double normalized, double value);

} // namespace SV
