// Reference-counted byte blocks: the storage of strings and serialised data, held through the
// intrusive pointers and cloned by copy-on-write.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/Buffer.h"

#include <algorithm>
#include <cstring>

namespace SV {

class LIBuffer : public virtual IBuffer, public virtual LRefCountedObject
{
public:
    // A new zero-filled buffer of the same kind and the new size, holding this buffer's bytes
    // from the offset on, as far as they fit.
    virtual RCPtr<LIBuffer> CreateResizedCopy(uint32_t size, uint32_t offset) const = 0;
};

template <uint32_t Granularity, uint32_t Slack, int Unused, class DataPointer,
          IAllocator* (*GetAllocatorFn)()>
class LBufferT : public BufferT<Granularity, Slack, Unused, DataPointer, GetAllocatorFn>,
                 public LIBuffer
{
    using Storage = BufferT<Granularity, Slack, Unused, DataPointer, GetAllocatorFn>;

public:
    explicit LBufferT(uint32_t size = 0, uint32_t reserve = 0, bool zeroFill = false)
        : Storage(size, reserve, zeroFill)
    {}

    void CreateCopy(ConstRCPtr<LRefCountedObject>& copy) const override
    {
        LBufferT* clone = new LBufferT(this->GetSize());
        if (this->GetSize() != 0 && clone->GetData() != nullptr) {
            std::memcpy(clone->GetData(), this->GetData(), this->GetSize());
        }
        copy = ConstRCPtr<LRefCountedObject>(clone);
    }

    RCPtr<LIBuffer> CreateResizedCopy(uint32_t size, uint32_t offset) const override
    {
        RCPtr<LIBuffer> copy(new LBufferT(size, 0, true));
        if (offset < this->GetSize() && copy->GetData() != nullptr) {
            const uint32_t bytes = std::min(size, this->GetSize() - offset);
            std::memcpy(copy->GetData(), static_cast<const uint8_t*>(this->GetData()) + offset,
                        bytes);
        }
        return copy;
    }
};

// The buffer of strings and serialised data: grows exactly, shrinks when more than 128 bytes
// would be spare.
using SharedBuffer = LBufferT<1, 128, 8, uint8_t*, GetSystemAllocator>;
// A buffer that reallocates on every change of size.
using ExactSizeSharedBuffer = LBufferT<1, 0, 8, uint8_t*, GetSystemAllocator>;

RCPtr<LIBuffer> NewSharedBuffer(uint32_t size, uint32_t reserve, bool zeroFill);
RCPtr<LIBuffer> NewExactSizeSharedBuffer(uint32_t size, uint32_t reserve, bool zeroFill);

} // namespace SV
