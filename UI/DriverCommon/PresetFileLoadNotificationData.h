// The payload of "NID_PRESETFILE_POST_LOAD": the result of the load that just ended.
#pragma once

#include "ObjectBase/RefCountedObject.h"

#include <cstdint>

namespace SV {

class LPresetFileLoadNotificationData : public virtual LRefCountedObject
{
public:
    explicit LPresetFileLoadNotificationData(int32_t result) : mResult(result) {}

    int32_t GetResult() const { return mResult; }

private:
    int32_t mResult;
};

} // namespace SV
