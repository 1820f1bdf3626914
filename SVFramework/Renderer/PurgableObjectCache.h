// The renderers' bounded caches of derived drawing objects (pre-scaled bitmaps, paths, display
// lists, textures, glyph atlases), keyed by what each was made from. A fixed number of entries,
// a hashed index from key to entry, least-recently-used eviction with use counts as tie-break,
// and a purge of the entries not used since a given clock value. Not thread-safe: each cache
// belongs to one renderer on the user-interface thread.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "Utilities/Storage/HashedList.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>

namespace SV {

template <class Object, class Key>
class PurgableCacheEntry
{
public:
    virtual ~PurgableCacheEntry() = default;

    virtual bool IsFree() const { return !object; }

    void Reset()
    {
        object = nullptr;
        stamp = 0;
        useCount = 0;
    }

    Key key{};
    RCPtr<Object> object;
    // The clock value of the last lookup; 0 when free.
    uint32_t stamp = 0;
    uint32_t useCount = 0;
};

// The usual bucket of an integer key: bits 4 to 4 + Bits - 1.
template <class Key, int Bits = 8>
uint32_t PurgableCacheHash(const Key& key)
{
    return GetBits<Bits, 4, Key>(key);
}

template <class Object, class Source, class Key, Key (*GetKey)(const Source&), int HashBits,
          uint32_t (*GetHash)(const Key&)>
class PurgableObjectCache
{
public:
    using Entry = PurgableCacheEntry<Object, Key>;

    explicit PurgableObjectCache(int32_t capacity)
        // Lookups hand out a reference into the entries, so there is always at least one.
        : mCapacity(std::max(capacity, int32_t(1))),
          mEntries(std::make_unique<Entry[]>(static_cast<size_t>(mCapacity)))
    {}
    PurgableObjectCache(const PurgableObjectCache&) = delete;
    PurgableObjectCache& operator=(const PurgableObjectCache&) = delete;

    // The slot of the source's object: empty when the caller has to make the object and store
    // it there. The reference stays valid until the next lookup may give the entry to another
    // key. With `invalidate` a present object is dropped first.
    RCPtr<Object>& Lookup(const Source& source, bool invalidate)
    {
        const Key key = GetKey(source);
        Entry* entry = nullptr;
        if (Entry** found = mIndex.Find(key, nullptr)) {
            entry = *found;
            if (invalidate) {
                entry->Reset();
            }
        } else if (mIndex.GetCount() < mCapacity) {
            // Entries are taken in order while the index fills.
            entry = &mEntries[static_cast<size_t>(mIndex.GetCount())];
            Assign(entry, key);
        } else {
            entry = FindFreeOrOldest();
            mIndex.Remove(entry->key);
            Assign(entry, key);
        }
        if (entry->useCount != std::numeric_limits<uint32_t>::max()) {
            ++entry->useCount;
        }
        entry->stamp = ++mClock;
        return entry->object;
    }

    // Frees every entry used before `stamp` (as a signed difference, so the clock may wrap);
    // keys stay in the index. Answers the number of entries freed.
    int32_t Purge(uint32_t stamp)
    {
        int32_t freed = 0;
        for (int32_t i = 0; i < mCapacity; ++i) {
            Entry& entry = mEntries[static_cast<size_t>(i)];
            if (static_cast<int32_t>(entry.stamp - stamp) < 0) {
                entry.Reset();
                ++freed;
            }
        }
        return freed;
    }

    // Frees the entry of one key, which stays in the index: 0, or 1 when the key is unknown.
    int32_t Discard(const Source& source)
    {
        Entry** found = mIndex.Find(GetKey(source), nullptr);
        if (found == nullptr) {
            return 1;
        }
        (*found)->Reset();
        return 0;
    }

    int32_t GetCapacity() const { return mCapacity; }
    uint32_t GetClock() const { return mClock; }
    uint32_t GetPurgeMark() const { return mPurgeMark; }
    void SetPurgeMark(uint32_t mark) { mPurgeMark = mark; }
    // Number of keys in the index.
    int32_t GetKeyCount() const { return mIndex.GetCount(); }
    Entry& GetEntry(int32_t index) { return mEntries[static_cast<size_t>(index)]; }
    const Entry& GetEntry(int32_t index) const { return mEntries[static_cast<size_t>(index)]; }

private:
    static Key KeyOf(Entry* const& entry) { return entry->key; }

    void Assign(Entry* entry, const Key& key)
    {
        entry->Reset();
        entry->key = key;
        mIndex.Add(entry);
    }

    // The first free entry, else the oldest one, the least used among equally old ones, the
    // first among equals.
    Entry* FindFreeOrOldest()
    {
        Entry* victim = &mEntries[0];
        uint32_t victimAge = 0;
        uint32_t victimUses = std::numeric_limits<uint32_t>::max();
        for (int32_t i = 0; i < mCapacity; ++i) {
            Entry& entry = mEntries[static_cast<size_t>(i)];
            if (entry.IsFree()) {
                return &entry;
            }
            const uint32_t age = mClock - entry.stamp;
            if (age > victimAge || (age == victimAge && entry.useCount < victimUses)) {
                victim = &entry;
                victimAge = age;
                victimUses = entry.useCount;
            }
        }
        return victim;
    }

    int32_t mCapacity;
    uint32_t mClock = 0;
    uint32_t mPurgeMark = 0;
    std::unique_ptr<Entry[]> mEntries;
    HashedList<Entry*, Key, &PurgableObjectCache::KeyOf, HashBits, GetHash> mIndex;
};

} // namespace SV
