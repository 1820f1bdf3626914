// A job that a framework thread runs: the threaders, the thread pool's workers and its
// dispatcher all run LThreadWorker objects.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"

#include <cstdint>

namespace SV {

class LThreadWorker : public virtual LRefCountedObject
{
public:
    // Runs the job once with the parameter it was given; the result is the job's result code.
    virtual int32_t Run(const ConstRCPtr<LRefCountedObject>& parameter) = 0;
};

} // namespace SV
