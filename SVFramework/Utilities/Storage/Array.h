// The array of values with constructors and destructors (strings, variants, pairs): elements in
// a standard vector, element access checked against the count.
#pragma once

#include "Utilities/Storage/IArray.h"

#include <stdexcept>
#include <type_traits>
#include <vector>

namespace SV {

template <class T>
class Array : public IArray<T>
{
    // The vector of bool keeps no elements to point at.
    static_assert(!std::is_same_v<T, bool>, "use SV::ArrayBuffer<bool>");

public:
    using IArray<T>::InsertAt;
    using IArray<T>::GetData;

    Array() = default;
    Array(const Array& other) = default;
    Array(Array&& other) noexcept = default;
    Array& operator=(const Array& other) = default;
    Array& operator=(Array&& other) noexcept = default;
    virtual ~Array() = default;

    int32_t GetCount() const override { return static_cast<int32_t>(mItems.size()); }

    T* At(int32_t index) override
    {
        CheckIndex(index);
        return mItems.data() + index;
    }
    const T* At(int32_t index) const override
    {
        CheckIndex(index);
        return mItems.data() + index;
    }

    int32_t SetCount(int32_t count) override
    {
        if (count < 0) {
            return E_INVALIDARG;
        }
        mItems.resize(static_cast<size_t>(count));
        return GetCount();
    }

    int32_t InsertAt(int32_t index, int32_t count) override
    {
        if (static_cast<uint32_t>(index) > mItems.size() || count < 0) {
            return E_INVALIDARG;
        }
        if (int64_t(GetCount()) + count > this->GetMaxCount()) {
            return E_FAIL;
        }
        mItems.insert(mItems.begin() + index, static_cast<size_t>(count), T());
        return GetCount();
    }

    int32_t RemoveAt(int32_t index, int32_t count) override
    {
        if (static_cast<uint32_t>(index) >= mItems.size() || count < 0 ||
            uint64_t(uint32_t(index)) + uint32_t(count) > mItems.size()) {
            return E_INVALIDARG;
        }
        mItems.erase(mItems.begin() + index, mItems.begin() + index + count);
        return GetCount();
    }

    // Answers the index of the new element.
    int32_t InsertAt(int32_t index, const T& item) override
    {
        if (static_cast<uint32_t>(index) > mItems.size()) {
            return E_INVALIDARG;
        }
        if (GetCount() == this->GetMaxCount()) {
            return E_FAIL;
        }
        // The vector copes with an item that is one of its own elements.
        mItems.insert(mItems.begin() + index, item);
        return index;
    }

    // Throws std::out_of_range for an index outside the array.
    int32_t RemoveItem(int32_t index, T& item) override
    {
        item = *At(index);
        return RemoveAt(index, 1);
    }

    T* GetData() override { return mItems.empty() ? nullptr : mItems.data(); }

protected:
    void CheckIndex(int32_t index) const
    {
        if (static_cast<uint32_t>(index) >= mItems.size()) {
            throw std::out_of_range("invalid vector<T> subscript");
        }
    }

    std::vector<T> mItems;
};

} // namespace SV
