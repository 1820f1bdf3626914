// A hash table with a fixed number of buckets and no rehashing, for small sets that change
// slowly (cached fonts, glyphs, bitmaps, paths). Each entry is a counted LPair of the key and the
// item; a bucket keeps its entries in insertion order and is searched from the newest.
#pragma once

#include "TypeNames.h"
#include "Utilities/Storage/Pair.h"
#include "Utilities/Storage/RCPtrArray.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>
#include <typeinfo>

namespace SV {

template <class T, class Key>
class IHashedList
{
public:
    virtual int32_t GetCount() const = 0;
    virtual void RemoveAll() = 0;
    // True when the item was added; false when it replaced the item of an equal key.
    virtual bool Add(const T& item) = 0;
    // The address of the stored item of the key, `fallback` when there is none; valid until
    // that entry is removed or replaced.
    virtual T* Find(const Key& key, T* fallback) = 0;
    virtual bool Remove(const Key& key) = 0;
    virtual ~IHashedList() = default;
};

// The bucket of most lists: (key >> Shift) & (2^Bits - 1), the shift arithmetic for signed keys.
template <int Bits, int Shift, class Key>
uint32_t GetBits(const Key& key)
{
    return static_cast<uint32_t>((key >> Shift) & ((Key(1) << Bits) - 1));
}

// GetKey gives an item's key, KeyBucket a key's bucket (below 2^Bits).
template <class T, class Key, Key (*GetKey)(const T&), int Bits = 8,
          uint32_t (*KeyBucket)(const Key&) = &GetBits<Bits, 0, Key>>
class HashedList : public IHashedList<T, Key>
{
public:
    static constexpr uint32_t kBucketCount = uint32_t(1) << Bits;

    // The text of an entry, for diagnostics: the name of the key type.
    static WideString KeyToString(const Key& /*key*/)
    {
        return WideString(svp::ClassTypeName(typeid(Key)).c_str());
    }

    using Entry = LPair<Key, T, &HashedList::KeyToString>;
    using Bucket = RCPtrArray<Entry, 1, 0>;

    HashedList() = default;
    HashedList(const HashedList&) = delete;
    HashedList& operator=(const HashedList&) = delete;

    int32_t GetCount() const override { return mCount; }

    void RemoveAll() override
    {
        for (Bucket& bucket : mBuckets) {
            bucket.SetCount(0);
        }
        mCount = 0;
    }

    bool Add(const T& item) override
    {
        const Key key = GetKey(item);
        Bucket& bucket = BucketOf(key);
        const int32_t index = IndexIn(bucket, key);
        if (index >= 0) {
            // For pointer items the assignment does nothing when it is the same object.
            (*bucket.At(index))->second = item;
            return false;
        }
        if (bucket.Add(RCPtr<Entry>(new Entry(key, item))) < 0) {
            return false;
        }
        ++mCount;
        return true;
    }

    T* Find(const Key& key, T* fallback) override
    {
        Bucket& bucket = BucketOf(key);
        const int32_t index = IndexIn(bucket, key);
        return index >= 0 ? &(*bucket.At(index))->second : fallback;
    }
    const T* Find(const Key& key, const T* fallback) const
    {
        return const_cast<HashedList*>(this)->Find(key, const_cast<T*>(fallback));
    }

    bool Remove(const Key& key) override
    {
        Bucket& bucket = BucketOf(key);
        const int32_t index = IndexIn(bucket, key);
        if (index < 0) {
            return false;
        }
        // The count goes first: releasing the entry may run code that reads it.
        --mCount;
        bucket.RemoveAt(index, 1);
        return true;
    }

    // The bucket a key falls in, for tests of the hashing and for walks over every entry.
    const Bucket& GetBucket(uint32_t number) const { return mBuckets[number % kBucketCount]; }

private:
    Bucket& BucketOf(const Key& key) { return mBuckets[KeyBucket(key) % kBucketCount]; }

    // Searched from the newest entry to the oldest.
    static int32_t IndexIn(Bucket& bucket, const Key& key)
    {
        for (int32_t i = bucket.GetCount() - 1; i >= 0; --i) {
            if ((*bucket.At(i))->first == key) {
                return i;
            }
        }
        return -1;
    }

    int32_t mCount = 0;
    Bucket mBuckets[kBucketCount];
};

} // namespace SV
