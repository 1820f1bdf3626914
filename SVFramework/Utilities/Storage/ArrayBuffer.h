// Arrays of plain values (numbers, rectangles, raw pointers) in a framework buffer: elements move
// with raw memory moves and are never constructed or destroyed. ArrayBufferM keeps up to Inline
// elements inside the object, so short arrays never touch the heap.
#pragma once

#include "Utilities/Storage/Buffer.h"
#include "Utilities/Storage/IArray.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace SV {

// Step and Slack are in elements: the capacity is a multiple of Step elements and shrinks only
// when more than Slack elements would be spare. Third is not used; Fourth is passed on to the
// buffer.
template <class T, uint32_t Step = 1, uint32_t Slack = 0, int Third = 1, int Fourth = 8,
          IAllocator* (*GetAllocatorFn)() = GetSystemAllocator>
class ArrayBuffer : public IArray<T>,
                    public BufferT<Step * sizeof(T), Slack * sizeof(T), Fourth, T*, GetAllocatorFn>
{
    static_assert(std::is_trivially_copyable_v<T>, "ArrayBuffer holds plain values only");

protected:
    using Storage = BufferT<Step * sizeof(T), Slack * sizeof(T), Fourth, T*, GetAllocatorFn>;

public:
    using IArray<T>::InsertAt;
    using Storage::GetData;

    ArrayBuffer() = default;

    int32_t GetCount() const override
    {
        return static_cast<int32_t>(Storage::GetSize() / sizeof(T));
    }

    // Sets the storage to `count` elements, keeping those that stay; answers the count it
    // reached, which is the old one when the memory could not be had.
    virtual int32_t SetBufferCount(int32_t count)
    {
        const uint64_t bytes = uint64_t(count) * sizeof(T);
        if (count < 0 || bytes > UINT32_MAX) {
            return GetCount();
        }
        return static_cast<int32_t>(Storage::SetSize(static_cast<uint32_t>(bytes)) / sizeof(T));
    }

    // New elements are zero.
    int32_t SetCount(int32_t count) override
    {
        if (count < 0) {
            return E_INVALIDARG;
        }
        const int32_t old = GetCount();
        const int32_t reached = SetBufferCount(count);
        if (reached == count && count > old) {
            std::memset(static_cast<void*>(GetData() + old), 0, size_t(count - old) * sizeof(T));
        }
        return reached;
    }

    // Opened elements are zero.
    int32_t InsertAt(int32_t index, int32_t count) override
    {
        const int32_t old = GetCount();
        if (count == 0) {
            return old;
        }
        if (count < 0 || static_cast<uint32_t>(index) > static_cast<uint32_t>(old)) {
            return E_INVALIDARG;
        }
        const int64_t total = int64_t(old) + count;
        if (total > this->GetMaxCount()) {
            return E_FAIL;
        }
        if (index == old) {
            return SetCount(static_cast<int32_t>(total)) == total ? static_cast<int32_t>(total)
                                                                  : E_FAIL;
        }
        if (SetBufferCount(static_cast<int32_t>(total)) != total) {
            return E_FAIL;
        }
        T* data = GetData();
        std::memmove(static_cast<void*>(data + index + count), data + index,
                     size_t(old - index) * sizeof(T));
        std::memset(static_cast<void*>(data + index), 0, size_t(count) * sizeof(T));
        return static_cast<int32_t>(total);
    }

    int32_t RemoveAt(int32_t index, int32_t count) override
    {
        const int32_t old = GetCount();
        if (count == 0) {
            return old;
        }
        if (count < 0 || uint64_t(uint32_t(index)) + uint32_t(count) > uint32_t(old)) {
            return E_INVALIDARG;
        }
        T* data = GetData();
        std::memmove(static_cast<void*>(data + index), data + index + count,
                     size_t(old - index - count) * sizeof(T));
        return SetBufferCount(old - count);
    }

    T* GetData() override { return Storage::GetTypedData(); }
};

// Up to Inline elements live in the object itself; above that all of them move to the heap
// buffer, and back again when the count falls to Inline or below.
template <class T, int32_t Inline, uint32_t Step = 1, uint32_t Slack = 0, int Third = 1,
          int Fourth = 8, IAllocator* (*GetAllocatorFn)() = GetSystemAllocator>
class ArrayBufferM : public ArrayBuffer<T, Step, Slack, Third, Fourth, GetAllocatorFn>
{
    static_assert(Inline > 0);
    using Heap = ArrayBuffer<T, Step, Slack, Third, Fourth, GetAllocatorFn>;

public:
    ArrayBufferM() = default;

    int32_t GetCount() const override
    {
        return mInlineCount != 0 ? mInlineCount : Heap::GetCount();
    }

    int32_t SetBufferCount(int32_t count) override
    {
        const int32_t old = GetCount();
        if (count < 0) {
            return old;
        }
        if (old <= Inline && count <= Inline) {
            mInlineCount = count;
            return count;
        }
        if (old <= Inline) {
            if (Heap::SetBufferCount(count) != count) {
                return old;
            }
            std::memcpy(static_cast<void*>(Heap::GetData()), mInline, size_t(old) * sizeof(T));
            mInlineCount = 0;
            return count;
        }
        if (count > Inline) {
            return Heap::SetBufferCount(count);
        }
        std::memcpy(static_cast<void*>(mInline), Heap::GetData(), size_t(count) * sizeof(T));
        mInlineCount = count;
        Heap::SetBufferCount(0);
        return count;
    }

    T* GetData() override { return IsInline() ? mInline : Heap::GetData(); }

    // The byte-buffer view follows the elements wherever they are. Allocate stays the heap
    // buffer's own: the buffer calls it from SetSize.
    void* GetData() const override
    {
        return IsInline() ? const_cast<T*>(mInline) : Heap::Storage::GetData();
    }
    uint32_t GetSize() const override { return uint32_t(GetCount()) * sizeof(T); }
    uint32_t SetSize(uint32_t size) override
    {
        return uint32_t(SetBufferCount(static_cast<int32_t>(size / sizeof(T)))) * sizeof(T);
    }
    int32_t Fill(uint8_t value, uint32_t offset, int32_t count) override
    {
        if (!IsInline()) {
            return Heap::Storage::Fill(value, offset, count);
        }
        uint32_t bytes = 0;
        if (!InlineRange(offset, count, 1, bytes)) {
            return E_INVALIDARG;
        }
        std::memset(reinterpret_cast<uint8_t*>(mInline) + offset, value, bytes);
        return S_OK;
    }
    int32_t Fill16(uint16_t value, uint32_t offset, int32_t count) override
    {
        if (!IsInline()) {
            return Heap::Storage::Fill16(value, offset, count);
        }
        uint32_t bytes = 0;
        if (!InlineRange(offset, count, 2, bytes)) {
            return E_INVALIDARG;
        }
        for (uint32_t i = 0; i + 2 <= bytes; i += 2) {
            std::memcpy(reinterpret_cast<uint8_t*>(mInline) + offset + i, &value, 2);
        }
        return S_OK;
    }

private:
    bool IsInline() const { return GetCount() <= Inline; }

    // The buffer's range rule over the inline bytes: a negative count runs to the end.
    bool InlineRange(uint32_t offset, int32_t count, uint32_t unit, uint32_t& bytes) const
    {
        const uint32_t size = GetSize();
        if (offset > size) {
            return false;
        }
        if (count < 0) {
            bytes = (size - offset) / unit * unit;
            return true;
        }
        if (offset + uint64_t(count) * unit > size) {
            return false;
        }
        bytes = uint32_t(count) * unit;
        return true;
    }

    T mInline[Inline] = {};
    int32_t mInlineCount = 0;
};

} // namespace SV
