// The payloads of a checked list box's check notifications: an item index with optional data,
// and the same with the check box's value.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"

#include <cstdint>

namespace SV {

class LIndexedDataParam : public virtual LRefCountedObject
{
public:
    LIndexedDataParam(const RCPtr<LRefCountedObject>& data, int32_t index)
        : mData(data), mIndex(index)
    {}

    RCPtr<LRefCountedObject> mData;
    int32_t mIndex;
};

class LIndexedDataWithValueParam : public LIndexedDataParam
{
public:
    LIndexedDataWithValueParam(const RCPtr<LRefCountedObject>& data, int32_t index, double value)
        : LIndexedDataParam(data, index), mValue(value)
    {}

    RCPtr<LRefCountedObject> mSecondData;
    double mValue;
};

} // namespace SV
