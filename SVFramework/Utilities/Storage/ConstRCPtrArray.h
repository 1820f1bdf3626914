// The array of shared objects: every non-empty slot owns one reference. Inserting takes a
// reference, RemoveItem and RemoveLast hand the slot's reference to the caller's pointer, and
// other removals give references back in ascending index order. Slots are raw pointers in a
// framework buffer, viewed as ConstRCPtr (one raw pointer each); they move with memory moves, so
// counts change only when an object enters or leaves the array.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "Utilities/Storage/Buffer.h"
#include "Utilities/Storage/IArray.h"

#include <cstring>
#include <type_traits>
#include <typeinfo>

namespace SV {

namespace detail {
// "Out of Range : SV::<arrayName><class T,step,slack>::RemoveItem : <path> : Line <line>"
[[noreturn]] void ThrowPointerArrayOutOfRange(const char* arrayName, const std::type_info& pointee,
                                              uint32_t step, uint32_t slack, const char* path,
                                              int line);
} // namespace detail

template <class T, uint32_t Step = 1, uint32_t Slack = 0>
class ConstRCPtrArray
    : public IArray<ConstRCPtr<T>>,
      protected BufferT<Step * sizeof(T*), Slack * sizeof(T*), 8, T**, GetSystemAllocator>
{
    static_assert(sizeof(ConstRCPtr<T>) == sizeof(T*) && sizeof(RCPtr<T>) == sizeof(T*) &&
                      std::is_standard_layout_v<RCPtr<T>>,
                  "slots are viewed as pointers");

protected:
    using Storage = BufferT<Step * sizeof(T*), Slack * sizeof(T*), 8, T**, GetSystemAllocator>;
    using Interface = IArray<ConstRCPtr<T>>;

public:
    using Interface::GetData;
    using Interface::IndexOf;

    // `count` empty slots; room for `reserve` when it is larger, unless the growth rule gives
    // that room back at once.
    explicit ConstRCPtrArray(int32_t count = 0, int32_t reserve = 0)
        : Storage(SlotBytes(count), SlotBytes(reserve), true)
    {}
    ConstRCPtrArray(const ConstRCPtrArray&) = delete;
    ConstRCPtrArray& operator=(const ConstRCPtrArray&) = delete;

    // Every element is released in index order before the storage goes.
    ~ConstRCPtrArray() override { ReleaseFrom(0); }

    int32_t GetCount() const override
    {
        return static_cast<int32_t>(Storage::GetSize() / sizeof(T*));
    }

    int32_t SetCount(int32_t count) override
    {
        if (count < 0) {
            return E_INVALIDARG;
        }
        const int32_t old = GetCount();
        if (count < old) {
            ReleaseFrom(count);
            return GetCount();
        }
        if (count > old && !ResizeSlots(count)) {
            return old;
        }
        return count;
    }

    // Opened slots are empty.
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
        if (total > this->GetMaxCount() || !ResizeSlots(static_cast<int32_t>(total))) {
            return E_FAIL;
        }
        T** slots = Slots();
        std::memmove(slots + index + count, slots + index, size_t(old - index) * sizeof(T*));
        std::memset(slots + index, 0, size_t(count) * sizeof(T*));
        return static_cast<int32_t>(total);
    }

    // Removes `count` elements one by one, each with RemoveItem; a range past the end throws
    // after the elements up to the end are gone.
    int32_t RemoveAt(int32_t index, int32_t count) override
    {
        return RemoveRange<ConstRCPtr<T>>(index, count, &ConstRCPtrArray::ThrowOutOfRange);
    }

    int32_t RemoveAll() override
    {
        SetCount(0);
        return S_OK;
    }

    // Answers the index of the new element.
    int32_t InsertAt(int32_t index, const ConstRCPtr<T>& item) override
    {
        return InsertItem(index, item);
    }

    // Hands the element's reference to `item`, after releasing what `item` held.
    int32_t RemoveItem(int32_t index, ConstRCPtr<T>& item) override
    {
        return RemoveInto(index, item, &ConstRCPtrArray::ThrowOutOfRange);
    }

    // E_FAIL for an empty array, with `item` emptied all the same.
    int32_t RemoveLast(ConstRCPtr<T>& item) override { return RemoveLastInto(item); }

    ConstRCPtr<T>* GetData() override { return reinterpret_cast<ConstRCPtr<T>*>(Slots()); }

    // The index of the object, compared by address and without counting; -1 when absent.
    int32_t IndexOf(const T* object) const
    {
        T** slots = Slots();
        const int32_t count = GetCount();
        for (int32_t i = 0; i < count; ++i) {
            if (slots[i] == object) {
                return i;
            }
        }
        return -1;
    }

protected:
    static uint32_t SlotBytes(int32_t count)
    {
        return count > 0 && uint64_t(count) * sizeof(T*) <= UINT32_MAX
                   ? static_cast<uint32_t>(uint64_t(count) * sizeof(T*))
                   : 0;
    }

    T** Slots() const { return Storage::GetTypedData(); }

    // Grows or shrinks the slot storage; new slots are empty. False when the memory could not
    // be had, with the slots unchanged.
    bool ResizeSlots(int32_t count)
    {
        const int32_t old = GetCount();
        const uint64_t bytes = uint64_t(count) * sizeof(T*);
        if (count < 0 || bytes > UINT32_MAX) {
            return false;
        }
        if (Storage::SetSize(static_cast<uint32_t>(bytes)) != bytes) {
            return false;
        }
        if (count > old) {
            std::memset(Slots() + old, 0, size_t(count - old) * sizeof(T*));
        }
        return true;
    }

    // Gives back what `item` held, then moves the slot's reference into it and closes the gap.
    // False, with nothing detached, when that release ran a destructor that shrank this array
    // below the index.
    template <class Ptr>
    bool DetachInto(int32_t index, Ptr& item)
    {
        item = nullptr;
        const int32_t count = GetCount();
        if (static_cast<uint32_t>(index) >= static_cast<uint32_t>(count)) {
            return false;
        }
        T** slots = Slots();
        item = std::move(reinterpret_cast<Ptr&>(slots[index]));
        std::memmove(slots + index, slots + index + 1, size_t(count - index - 1) * sizeof(T*));
        // Cleared first, so a shrink the allocator refuses leaves an empty slot behind rather
        // than a second copy of a pointer.
        slots[count - 1] = nullptr;
        ResizeSlots(count - 1);
        return true;
    }

    // Empties the slots from `keep` on in ascending order, each reference given back when the
    // next one is taken and the last after the storage has shrunk. A release may run a
    // destructor that changes this array: every step reads the slots afresh, and the storage
    // shrinks only when no reference is left behind `keep`.
    void ReleaseFrom(int32_t keep)
    {
        ConstRCPtr<T> released;
        while (HoldsAnyFrom(keep)) {
            for (int32_t i = keep; i < GetCount(); ++i) {
                if (Slots()[i] != nullptr) {
                    released = nullptr;
                    if (i < GetCount()) {
                        released = std::move(reinterpret_cast<ConstRCPtr<T>&>(Slots()[i]));
                    }
                }
            }
        }
        if (GetCount() > keep) {
            ResizeSlots(keep);
        }
    }

    bool HoldsAnyFrom(int32_t index) const
    {
        const int32_t count = GetCount();
        T** slots = Slots();
        for (int32_t i = index; i < count; ++i) {
            if (slots[i] != nullptr) {
                return true;
            }
        }
        return false;
    }

    template <class Ptr>
    int32_t RemoveInto(int32_t index, Ptr& item, void (*throwOutOfRange)())
    {
        if (static_cast<uint32_t>(index) >= static_cast<uint32_t>(GetCount()) ||
            !DetachInto(index, item)) {
            throwOutOfRange();
        }
        return GetCount();
    }

    template <class Ptr>
    int32_t RemoveRange(int32_t index, int32_t count, void (*throwOutOfRange)())
    {
        if (count < 0) {
            return E_INVALIDARG;
        }
        // One local pointer: each removed reference is given back when the next one is
        // detached into it, the last when the local ends.
        Ptr released;
        for (int32_t i = 0; i < count; ++i) {
            RemoveInto(index, released, throwOutOfRange);
        }
        return GetCount();
    }

    template <class Ptr>
    int32_t InsertItem(int32_t index, const Ptr& item)
    {
        if (static_cast<uint32_t>(index) > static_cast<uint32_t>(GetCount())) {
            return E_INVALIDARG;
        }
        // Counted before the insertion moves the slots: the item may be one of them.
        Ptr copy(item);
        const int32_t result = InsertAt(index, 1);
        if (result < 0) {
            return result;
        }
        reinterpret_cast<Ptr&>(Slots()[index]) = std::move(copy);
        return index;
    }

    template <class Ptr>
    int32_t RemoveLastInto(Ptr& item)
    {
        item = nullptr;
        const int32_t count = GetCount();
        if (count == 0) {
            return E_FAIL;
        }
        item = std::move(reinterpret_cast<Ptr&>(Slots()[count - 1]));
        return SetCount(count - 1);
    }

private:
    [[noreturn]] static void ThrowOutOfRange()
    {
        detail::ThrowPointerArrayOutOfRange("ConstRCPtrArray", typeid(T), Step, Slack,
                                            "utilities\\Storage/ConstRCPtrArray", 216);
    }
};

} // namespace SV
