// A map from one shared object to another, keyed by the key object's identity: the address of
// its LRefCountedObject part as a full pointer-sized integer, so no two live objects share a key.
// Each entry holds a counted LPair (key object, value object), which keeps the key object alive,
// and its address unique, while it is in the map.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/HashedList.h"
#include "Utilities/Storage/Pair.h"

#include <cstdint>

namespace SV {

// The text of a shared object, or an empty string for an empty pointer.
template <class T>
WideString ToString(const ConstRCPtr<T>& object)
{
    return object ? object->ToString() : WideString();
}

// The first object of a pair as a counted LRefCountedObject; empty for an empty pair.
template <class PairPointer>
ConstRCPtr<LRefCountedObject> GetFirstRCPtr(const PairPointer& pair)
{
    return pair ? ConstRCPtr<LRefCountedObject>(pair->first) : ConstRCPtr<LRefCountedObject>();
}

// The bucket of an object address: bits 4 and up, since heap blocks are 16-byte aligned.
template <int Bits>
uint32_t GetHandleBits(const uintptr_t& address)
{
    return GetBits<Bits, 4, uintptr_t>(address);
}

template <class K, class V>
struct RCPtrHalfMapHelper
{
    using PairType = LPair<ConstRCPtr<K>, RCPtr<V>, &ToString<K>>;
    using Item = RCPtr<PairType>;

    // The identity of an object: the address of its one LRefCountedObject part, which is the
    // same whichever interface the object is reached through. 0 for no object.
    static uintptr_t KeyOf(const LRefCountedObject* object)
    {
        return reinterpret_cast<uintptr_t>(object);
    }

    // Read without counting, so taking a key never clones an unshareable key object.
    static uintptr_t GetKey(const Item& item) { return item ? KeyOf(item->first.Get()) : 0; }
};

template <class K, class V, int Bits = 8>
using RCPtrHalfMap = HashedList<typename RCPtrHalfMapHelper<K, V>::Item, uintptr_t,
                                &RCPtrHalfMapHelper<K, V>::GetKey, Bits, &GetHandleBits<Bits>>;

template <class K, class V, int Bits = 8>
class RCPtrMap : public RCPtrHalfMap<K, V, Bits>
{
    using Helper = RCPtrHalfMapHelper<K, V>;

public:
    using PairType = typename Helper::PairType;
    using Item = typename Helper::Item;
    using RCPtrHalfMap<K, V, Bits>::Remove;

    // The stored pair of the key object, or an empty pointer.
    virtual const Item& FindPair(const ConstRCPtr<LRefCountedObject>& key) const
    {
        const Item* found = this->Find(Helper::KeyOf(key.Get()), nullptr);
        return found != nullptr ? *found : EmptyItem();
    }

    // True when the key object had an entry.
    virtual bool Remove(const ConstRCPtr<LRefCountedObject>& key)
    {
        return this->Remove(Helper::KeyOf(key.Get()));
    }

    // The value stored for the key object, or an empty pointer; valid until that entry is
    // removed or replaced.
    virtual const RCPtr<V>& Get(const ConstRCPtr<K>& key) const
    {
        const Item* found = this->Find(Helper::KeyOf(key.Get()), nullptr);
        return found != nullptr && *found ? (*found)->second : EmptyValue();
    }

    // True when the key object was new to the map; false when its pair was replaced.
    virtual bool Set(const ConstRCPtr<K>& key, const RCPtr<V>& value)
    {
        return this->Add(Item(new PairType(key, value)));
    }

private:
    static const Item& EmptyItem()
    {
        static const Item empty;
        return empty;
    }
    static const RCPtr<V>& EmptyValue()
    {
        static const RCPtr<V> empty;
        return empty;
    }
};

} // namespace SV
