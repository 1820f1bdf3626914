// Sorting behind the array interface: Sort reorders a range in place, SortIndecies leaves the
// array alone and writes the indexes of the range in sorted order. Comparators answer true when
// their first argument must come before the second; ties come out in no particular order, so
// callers that need a total order decide ties themselves (by index, say).
#pragma once

#include "ObjectBase/Exception.h"
#include "Utilities/Storage/IArray.h"
#include "Utilities/Storage/RCPtrArray.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

namespace SV::ArrayUtils {

namespace detail {
// first + count in 64 bits: a range whose end wraps around 32 bits is still outside the array.
inline bool RangeFits(uint32_t first, uint32_t count, int32_t arrayCount)
{
    return uint64_t(first) + count <= static_cast<uint32_t>(arrayCount);
}
} // namespace detail

// Sorts the elements first .. first + count - 1 where they are stored. Pointer elements move as
// raw pointers, so no reference count changes. A range of fewer than 2 elements is not looked at.
template <class T, class Compare>
void Sort(IArray<T>& array, uint32_t first, uint32_t count, Compare compare)
{
    if (count < 2) {
        return;
    }
    if (!detail::RangeFits(first, count, array.GetCount())) {
        throw Exception<std::out_of_range>(
            "Out of Range : SV::ArrayUtils::Sort : utilities\\Storage/ArrayUtils : Line 254");
    }
    T* data = array.GetData() + first;
    std::sort(data, data + count, compare);
}

// Fills `indexes` with exactly `count` entries, the values first .. first + count - 1 ordered by
// the comparator, which is called with two index values and compares the elements at them.
template <class T, class Compare>
void SortIndecies(IArray<uint32_t>& indexes, const IArray<T>& array, uint32_t first, uint32_t count,
                  Compare compare)
{
    if (!detail::RangeFits(first, count, array.GetCount())) {
        throw Exception<std::out_of_range>("Out of Range : SV::ArrayUtils::SortIndecies : "
                                           "utilities\\Storage/ArrayUtils : Line 266");
    }
    if (indexes.SetCount(static_cast<int32_t>(count)) != static_cast<int32_t>(count)) {
        throw Exception<std::bad_alloc>();
    }
    uint32_t* data = indexes.GetData();
    for (uint32_t i = 0; i < count; ++i) {
        data[i] = first + i;
    }
    if (count < 2) {
        return;
    }
    std::sort(data, data + count, compare);
}

// An RCPtrArray is two arrays over one storage; these sort it through its RCPtr view.
template <class T, uint32_t Step, uint32_t Slack, class Compare>
void Sort(RCPtrArray<T, Step, Slack>& array, uint32_t first, uint32_t count, Compare compare)
{
    Sort(static_cast<IArray<RCPtr<T>>&>(array), first, count, compare);
}

template <class T, uint32_t Step, uint32_t Slack, class Compare>
void SortIndecies(IArray<uint32_t>& indexes, const RCPtrArray<T, Step, Slack>& array,
                  uint32_t first, uint32_t count, Compare compare)
{
    SortIndecies(indexes, static_cast<const IArray<RCPtr<T>>&>(array), first, count, compare);
}

} // namespace SV::ArrayUtils
