// An array of at most Capacity elements held inside the object: it never allocates, so short
// messages can be built on the stack.
#pragma once

#include "Utilities/Storage/IArray.h"

#include <algorithm>

namespace SV {

template <class T, int32_t Capacity>
class SimpleFixedArray : public IArray<T>
{
    static_assert(Capacity > 0);

public:
    using IArray<T>::InsertAt;
    using IArray<T>::GetData;

    SimpleFixedArray() = default;
    SimpleFixedArray(const SimpleFixedArray& other) = default;
    SimpleFixedArray& operator=(const SimpleFixedArray& other) = default;
    virtual ~SimpleFixedArray() = default;

    int32_t GetCount() const override { return mCount; }
    int32_t GetMaxCount() const override { return Capacity; }

    // Clamped to the capacity. Elements that come back into the count keep the values they
    // last had.
    int32_t SetCount(int32_t count) override
    {
        if (count < 0) {
            return E_INVALIDARG;
        }
        mCount = std::min(count, Capacity);
        return mCount;
    }

    // The opened elements are not cleared: the caller writes them.
    int32_t InsertAt(int32_t index, int32_t count) override
    {
        const int32_t old = mCount;
        if (count == 0) {
            return old;
        }
        if (count < 0 || static_cast<uint32_t>(index) > static_cast<uint32_t>(old) ||
            int64_t(old) + count > Capacity) {
            return E_INVALIDARG;
        }
        SetCount(old + count);
        std::move_backward(mItems + index, mItems + old, mItems + old + count);
        return mCount;
    }

    int32_t RemoveAt(int32_t index, int32_t count) override
    {
        const int32_t old = mCount;
        if (count == 0) {
            return old;
        }
        if (count < 0 || uint64_t(uint32_t(index)) + uint32_t(count) > uint32_t(old)) {
            return E_INVALIDARG;
        }
        std::move(mItems + index + count, mItems + old, mItems + index);
        return SetCount(old - count);
    }

    T* GetData() override { return mItems; }

private:
    int32_t mCount = 0;
    T mItems[Capacity] = {};
};

} // namespace SV
