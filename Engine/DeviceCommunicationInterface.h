// The model's door to the keyboard through the device-control client library. The root of the
// model writes every value to it and reads the system values from it; the library binding, the
// connection and the delivery of incoming values grow on this class.
#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/ParamValues.h"
#include "Utilities/Storage/Variant.h"

#include <cstdint>

class LDeviceCommunicationInterface : public virtual SV::LRefCountedObject
{
public:
    // Reads one value from the device side into `value`; answers a result code.
    virtual int32_t GetParamValue(const SV::ParamDescriptor& descriptor, SV::Variant& value) = 0;
    // Writes one value to the device side; answers a result code.
    virtual int32_t SetParamValue(const SV::ParamDescriptor& descriptor,
                                  const SV::Variant& value) = 0;
};
