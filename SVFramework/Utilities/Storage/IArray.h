// The interface that code throughout the framework takes arrays through: IIterable, the
// read-and-iterate part that Append and Assign accept from any container, and IArray, which adds
// resizing, insertion, removal and raw access. Results are counts or indexes when not negative,
// E_INVALIDARG for an index or range outside the array and E_FAIL when an array cannot grow.
#pragma once

#include "ResultCodes.h"

#include <cstdint>
#include <utility>

namespace SV {

template <class T>
class IIterable
{
public:
    // Two words: the container, which does all stepping and reading, and the position of an
    // element (null for an empty container).
    struct Iterator
    {
        const IIterable* container = nullptr;
        const T* position = nullptr;

        const T& operator*() const { return container->GetItem(*this); }
        Iterator& operator++()
        {
            position = container->Advance(position, 1);
            return *this;
        }
        bool operator==(const Iterator& other) const { return position == other.position; }
    };

    virtual int32_t GetCount() const = 0;

    Iterator Begin() { return std::as_const(*this).Begin(); }
    virtual Iterator Begin() const { return Iterator{this, GetFirst()}; }
    Iterator End() { return std::as_const(*this).End(); }
    virtual Iterator End() const { return Iterator{this, GetEnd()}; }

    T& GetItem(const Iterator& at) { return const_cast<T&>(std::as_const(*this).GetItem(at)); }
    virtual const T& GetItem(const Iterator& at) const { return *at.position; }

    // Moves by whole elements and stops at the first element and at the end, so a walk never
    // leaves the storage whatever the step.
    virtual const T* Advance(const T* position, int32_t steps) const
    {
        const T* first = GetFirst();
        if (first == nullptr) {
            return nullptr;
        }
        const int64_t count = GetEnd() - first;
        const int64_t offset = static_cast<int64_t>(reinterpret_cast<uintptr_t>(position) -
                                                    reinterpret_cast<uintptr_t>(first)) /
                               static_cast<int64_t>(sizeof(T));
        int64_t target = offset + steps;
        if (target < 0) {
            target = 0;
        } else if (target > count) {
            target = count;
        }
        return first + target;
    }

    // The first element and the place behind the last; both null when the container is empty.
    virtual const T* GetFirst() const = 0;
    virtual const T* GetEnd() const = 0;

    // For range-based for loops.
    Iterator begin() const { return Begin(); }
    Iterator end() const { return End(); }

protected:
    // Arrays are members and locals of their owners and are never deleted through an interface.
    ~IIterable() = default;
};

template <class T>
class IArray : public IIterable<T>
{
public:
    using typename IIterable<T>::Iterator;

    static constexpr int32_t kMaxCount = 0x7FFFFFFF;

    virtual int32_t GetMaxCount() const { return kMaxCount; }

    // The address of the element at an index; only SV::Array checks the index.
    virtual T* At(int32_t index) { return GetData() + index; }
    virtual const T* At(int32_t index) const { return GetData() + index; }

    const T* GetFirst() const override { return this->GetCount() != 0 ? GetData() : nullptr; }
    const T* GetEnd() const override
    {
        const int32_t count = this->GetCount();
        return count != 0 ? GetData() + count : nullptr;
    }

    // Answers the new count.
    virtual int32_t SetCount(int32_t count) = 0;
    // Opens `count` new elements at `index`; answers the new count.
    virtual int32_t InsertAt(int32_t index, int32_t count) = 0;
    // Answers the new count.
    virtual int32_t RemoveAt(int32_t index, int32_t count) = 0;

    virtual int32_t RemoveAll() { return SetCount(0) == 0 ? S_OK : E_FAIL; }

    // Answers what the insertion of one element answered: the new count here, the index for
    // SV::Array and the pointer arrays.
    virtual int32_t InsertAt(int32_t index, const T& item)
    {
        // The item may be an element of this array, which the insertion moves: copy it first.
        T copy(item);
        const int32_t result = InsertCountAt(index, 1);
        if (result < 0) {
            return result;
        }
        *At(index) = std::move(copy);
        return result;
    }

    // Copies the element into `item` and removes it; answers the new count. An index outside
    // the array answers E_INVALIDARG and leaves `item` alone.
    virtual int32_t RemoveItem(int32_t index, T& item)
    {
        if (static_cast<uint32_t>(index) >= static_cast<uint32_t>(this->GetCount())) {
            return E_INVALIDARG;
        }
        item = *At(index);
        return RemoveAt(index, 1);
    }

    // Appends every element of the source; answers the new count.
    virtual int32_t Append(const IIterable<T>& source)
    {
        const int32_t count = this->GetCount();
        const int32_t added = source.GetCount();
        if (added <= 0) {
            return count;
        }
        const int64_t total = int64_t(count) + added;
        // A count SetCount cannot reach fails, with the count left where SetCount left it.
        if (total > kMaxCount || SetCount(static_cast<int32_t>(total)) != total) {
            return E_FAIL;
        }
        // The walk starts after the resize, so an array can append itself: its first `added`
        // elements are read from the storage as it is now.
        T* target = GetData() + count;
        typename IIterable<T>::Iterator at = source.Begin();
        for (int32_t i = 0; i < added; ++i) {
            target[i] = source.GetItem(at);
            at.position = source.Advance(at.position, 1);
        }
        return static_cast<int32_t>(total);
    }

    virtual int32_t Add(const T& item) { return InsertItemAt(this->GetCount(), item); }

    virtual int32_t RemoveLast(T& item) { return RemoveItem(this->GetCount() - 1, item); }

    // Replaces the elements by those of the source; answers the new count.
    virtual int32_t Assign(const IIterable<T>& source)
    {
        if (&source == this) {
            return this->GetCount();
        }
        SetCount(0);
        return Append(source);
    }

    virtual int32_t Swap(int32_t first, int32_t second)
    {
        const uint32_t count = static_cast<uint32_t>(this->GetCount());
        if (static_cast<uint32_t>(first) >= count || static_cast<uint32_t>(second) >= count) {
            return E_INVALIDARG;
        }
        using std::swap;
        swap(*At(first), *At(second));
        return S_OK;
    }

    virtual T* GetData() = 0;
    // Not virtual: array classes that are also byte buffers keep the buffer's const GetData.
    const T* GetData() const { return const_cast<IArray*>(this)->GetData(); }

    // The two InsertAt overloads by name: over int32_t elements a call with two integers cannot
    // tell them apart and does not compile.
    int32_t InsertCountAt(int32_t index, int32_t count)
    {
        using InsertCount = int32_t (IArray::*)(int32_t, int32_t);
        return (this->*static_cast<InsertCount>(&IArray::InsertAt))(index, count);
    }
    int32_t InsertItemAt(int32_t index, const T& item)
    {
        using InsertItem = int32_t (IArray::*)(int32_t, const T&);
        return (this->*static_cast<InsertItem>(&IArray::InsertAt))(index, item);
    }

    // The index of the first element equal to the item, -1 when there is none.
    int32_t IndexOf(const T& item) const
    {
        int32_t index = 0;
        for (typename IIterable<T>::Iterator at = this->Begin(); at.position != this->GetEnd();
             at.position = this->Advance(at.position, 1), ++index) {
            if (this->GetItem(at) == item) {
                return index;
            }
        }
        return -1;
    }

protected:
    ~IArray() = default;
};

} // namespace SV
