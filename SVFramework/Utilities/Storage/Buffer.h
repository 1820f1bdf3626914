// Growable byte blocks. BufferT grows by exactly what is needed, rounded up to its granularity,
// and gives memory back only when more than its slack would be left spare.
#pragma once

#include "ResultCodes.h"
#include "Utilities/Storage/Allocator.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace SV {

class IBuffer
{
public:
    virtual ~IBuffer() = default;
    virtual uint32_t GetSize() const = 0;
    // Room for size bytes without keeping the contents; answers the new size.
    virtual uint32_t Allocate(uint32_t size) = 0;
    // Keeps the contents up to the smaller size; answers the new size.
    virtual uint32_t SetSize(uint32_t size) = 0;
    // A negative count means "to the end of the buffer".
    virtual int32_t Fill(uint8_t value, uint32_t offset, int32_t count) = 0;
    virtual int32_t Fill16(uint16_t value, uint32_t offset, int32_t count) = 0;
    virtual uint32_t GetCapacity() const = 0;
    virtual void* GetData() const = 0;
};

template <uint32_t Granularity, uint32_t Slack, int Unused, class DataPointer,
          IAllocator* (*GetAllocatorFn)()>
class BufferT : public virtual IBuffer
{
    static_assert(Granularity > 0);

public:
    explicit BufferT(uint32_t size = 0, uint32_t reserve = 0, bool zeroFill = false)
    {
        if (size < reserve) {
            mCapacity = reserve;
            mAllocation = GetAllocatorFn()->Malloc(reserve);
            mData = static_cast<DataPointer>(mAllocation);
            if (mAllocation == nullptr) {
                mCapacity = 0;
            }
        }
        SetSize(size);
        if (size != 0 && zeroFill && mData != nullptr) {
            std::memset(mData, 0, mSize);
        }
    }
    BufferT(const BufferT&) = delete;
    BufferT& operator=(const BufferT&) = delete;
    ~BufferT() override
    {
        if (mAllocation != nullptr) {
            GetAllocatorFn()->Free(mAllocation);
        }
        mData = nullptr;
        mAllocation = nullptr;
        mSize = 0;
        mCapacity = 0;
    }

    uint32_t GetSize() const override { return mSize; }
    uint32_t GetCapacity() const override { return mCapacity; }
    void* GetData() const override { return mData; }
    DataPointer GetTypedData() const { return mData; }

    // The byte at offset, or null when the offset lies at or beyond the end.
    void* GetDataAt(uint32_t offset) const
    {
        return offset < mSize ? static_cast<uint8_t*>(static_cast<void*>(mData)) + offset : nullptr;
    }

    uint32_t Allocate(uint32_t size) override
    {
        if (size == 0) {
            Release();
            return mSize;
        }
        const uint32_t capacity = RoundUp(size);
        if (capacity != mCapacity || mAllocation == nullptr) {
            if (mAllocation != nullptr) {
                GetAllocatorFn()->Free(mAllocation);
            }
            mAllocation = GetAllocatorFn()->Malloc(capacity);
            mData = static_cast<DataPointer>(mAllocation);
            if (mAllocation == nullptr) {
                mCapacity = 0;
                mSize = 0;
                return mSize;
            }
            mCapacity = capacity;
        }
        mSize = size;
        return mSize;
    }

    uint32_t SetSize(uint32_t size) override
    {
        if (mCapacity == 0) {
            return Allocate(size);
        }
        const uint32_t spareAllowed = std::max(Slack, Granularity - 1);
        if (mCapacity < size || mCapacity - size > spareAllowed) {
            const uint32_t capacity = RoundUp(size);
            if (capacity == 0) {
                // Shrinking to nothing gives the block back rather than reallocating to 0 bytes.
                Release();
                return mSize;
            }
            void* block = GetAllocatorFn()->Realloc(mAllocation, capacity);
            if (block == nullptr) {
                // The old block and its contents stay as they were.
                return mSize;
            }
            mAllocation = block;
            mData = static_cast<DataPointer>(block);
            mCapacity = capacity;
        }
        mSize = size;
        return mSize;
    }

    int32_t Fill(uint8_t value, uint32_t offset, int32_t count) override
    {
        uint32_t bytes = 0;
        if (!ResolveRange(offset, count, 1, bytes)) {
            return E_INVALIDARG;
        }
        if (bytes != 0) {
            std::memset(static_cast<uint8_t*>(GetData()) + offset, value, bytes);
        }
        return S_OK;
    }

    int32_t Fill16(uint16_t value, uint32_t offset, int32_t count) override
    {
        uint32_t bytes = 0;
        if (!ResolveRange(offset, count, 2, bytes)) {
            return E_INVALIDARG;
        }
        uint8_t* target = static_cast<uint8_t*>(GetData()) + offset;
        for (uint32_t i = 0; i + 2 <= bytes; i += 2) {
            std::memcpy(target + i, &value, 2);
        }
        return S_OK;
    }

private:
    static uint32_t RoundUp(uint32_t size)
    {
        return static_cast<uint32_t>((uint64_t(size) + Granularity - 1) / Granularity *
                                     Granularity);
    }

    void Release()
    {
        if (mAllocation != nullptr) {
            GetAllocatorFn()->Free(mAllocation);
        }
        mSize = 0;
        mData = nullptr;
        mAllocation = nullptr;
        mCapacity = 0;
    }

    // Turns (offset, count of units) into a byte count inside the buffer; false when the range
    // does not lie inside it.
    bool ResolveRange(uint32_t offset, int32_t count, uint32_t unit, uint32_t& bytes) const
    {
        if (offset > mSize) {
            return false;
        }
        if (count < 0) {
            bytes = (mSize - offset) / unit * unit;
            return true;
        }
        const uint64_t wanted = uint64_t(count) * unit;
        if (offset + wanted > mSize) {
            return false;
        }
        bytes = static_cast<uint32_t>(wanted);
        return true;
    }

    DataPointer mData = nullptr;
    uint32_t mSize = 0;
    void* mAllocation = nullptr;
    uint32_t mCapacity = 0;
};

} // namespace SV
