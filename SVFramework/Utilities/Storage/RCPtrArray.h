// The array of shared objects with non-const access. It is two arrays over one storage: its own
// interface over RCPtr, and the ConstRCPtrArray it derives from, so it can be passed wherever
// either kind is taken. LRCPtrArray is the same list as a reference-counted, taggable object.
#pragma once

#include "ObjectBase/TaggableObject.h"
#include "Utilities/Storage/ConstRCPtrArray.h"

namespace SV {

template <class T, uint32_t Step = 1, uint32_t Slack = 0>
class RCPtrArray : public IArray<RCPtr<T>>, public ConstRCPtrArray<T, Step, Slack>
{
    using Interface = IArray<RCPtr<T>>;
    using ConstArray = ConstRCPtrArray<T, Step, Slack>;

public:
    // Called on the array itself, the operations take and give RCPtr.
    using ConstArray::IndexOf;
    using Interface::Add;
    using Interface::Advance;
    using Interface::Append;
    using Interface::Assign;
    using Interface::At;
    using Interface::Begin;
    using Interface::begin;
    using Interface::End;
    using Interface::end;
    using Interface::GetData;
    using Interface::GetEnd;
    using Interface::GetFirst;
    using Interface::GetItem;
    using Interface::GetMaxCount;
    using Interface::IndexOf;
    using Interface::RemoveAll;
    using Interface::Swap;
    using Iterator = typename Interface::Iterator;

    explicit RCPtrArray(int32_t count = 0, int32_t reserve = 0) : ConstArray(count, reserve) {}

    // These serve both interfaces.
    int32_t GetCount() const override { return ConstArray::GetCount(); }
    int32_t SetCount(int32_t count) override { return ConstArray::SetCount(count); }
    int32_t InsertAt(int32_t index, int32_t count) override
    {
        return ConstArray::InsertAt(index, count);
    }
    int32_t RemoveAt(int32_t index, int32_t count) override
    {
        return this->template RemoveRange<RCPtr<T>>(index, count, &RCPtrArray::ThrowOutOfRange);
    }
    RCPtr<T>* GetData() override { return reinterpret_cast<RCPtr<T>*>(this->Slots()); }

    // Answers the index of the new element.
    int32_t InsertAt(int32_t index, const RCPtr<T>& item) override
    {
        return this->InsertItem(index, item);
    }

    // Hands the element's reference to `item`, after releasing what `item` held.
    int32_t RemoveItem(int32_t index, RCPtr<T>& item) override
    {
        return this->RemoveInto(index, item, &RCPtrArray::ThrowOutOfRange);
    }

    // E_FAIL for an empty array, with `item` emptied all the same.
    int32_t RemoveLast(RCPtr<T>& item) override { return this->RemoveLastInto(item); }

    // The view that gives ConstRCPtr.
    ConstArray& AsConst() { return *this; }
    const ConstArray& AsConst() const { return *this; }

private:
    [[noreturn]] static void ThrowOutOfRange()
    {
        detail::ThrowPointerArrayOutOfRange("RCPtrArray", typeid(T), Step, Slack,
                                            "utilities\\Storage/RCPtrArray", 175);
    }
};

template <class T, uint32_t Step = 1, uint32_t Slack = 0>
class LRCPtrArray : public RCPtrArray<T, Step, Slack>, public LTaggableObject
{
public:
    using LRefCountedObject::AddRef;
    using LRefCountedObject::Release;

    explicit LRCPtrArray(int32_t count = 0, int32_t reserve = 0)
        : RCPtrArray<T, Step, Slack>(count, reserve)
    {}
};

} // namespace SV
