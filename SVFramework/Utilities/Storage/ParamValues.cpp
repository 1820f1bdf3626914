#include "Utilities/Storage/ParamValues.h"

#include "ResultCodes.h"
#include "Utilities/Storage/Array.h"

#include <cstddef>
#include <initializer_list>
#include <limits>
#include <utility>
#include <vector>

namespace SV {

namespace {

Variant Int32Record(int32_t value)
{
    Variant record;
    record.SetData(Variant::kInt32, &value, sizeof value);
    return record;
}

// One entry of a list type: the records in their layout's order.
bool MakeEntry(Variant& entry, std::initializer_list<const Variant*> records)
{
    return entry.SetList(records.begin(), static_cast<int32_t>(records.size())) == Variant::kList;
}

// Reads the records of entry `index` (taken as unsigned) of a list type into `records`: 0,
// kParamListNoEntry when there is no such entry, kParamListMalformedEntry when the entry is not a
// list of exactly that many readable records.
int32_t ReadEntry(const Variant& list, int32_t index, std::initializer_list<Variant*> records)
{
    if (static_cast<uint32_t>(index) >= static_cast<uint32_t>(list.GetListItemCount())) {
        return kParamListNoEntry;
    }
    Variant entry;
    list.GetListItem(index, entry);
    if (entry.GetType() != Variant::kList ||
        entry.GetListItemCount() != static_cast<int32_t>(records.size())) {
        return kParamListMalformedEntry;
    }
    int32_t record = 0;
    for (Variant* target : records) {
        if (entry.GetListItem(record++, *target) != 0) {
            return kParamListMalformedEntry;
        }
    }
    return 0;
}

// Only an empty Variant and a list hold entries; anything else is a value of its own.
bool CanHoldEntries(const Variant& variant)
{
    return variant.GetType() == Variant::kEmpty || variant.GetType() == Variant::kList;
}

// A value or sub-part an entry can hold: one whose record reads back. A blob or string of 0
// bytes writes a record without payload, which only the empty Variant and the list may have, and
// a reference comes back as a blob; a list holding such a record would answer
// kParamListMalformedEntry to every operation from then on.
bool ReadsBack(const Variant& variant)
{
    switch (variant.GetType()) {
    case Variant::kReference:
    case Variant::kHiddenReference:
        return false;
    case Variant::kBlob:
    case Variant::kString:
        return variant.GetLength() > 0;
    default:
        return true;
    }
}

// True when `entry` is ordered before `descriptor`: by id read as unsigned, then by sub-part.
bool ComesBefore(const ParamDescriptor& entry, const ParamDescriptor& descriptor)
{
    if (entry.id != descriptor.id) {
        return static_cast<uint32_t>(entry.id) < static_cast<uint32_t>(descriptor.id);
    }
    return entry.subPart.IsLess(descriptor.subPart);
}

} // namespace

// The lists free their block through their own class, as the base's destructor would not.
ParamValues::~ParamValues()
{
    Clear();
}

ParamDescriptors::~ParamDescriptors()
{
    Clear();
}

ParamRanges::~ParamRanges()
{
    Clear();
}

int32_t ParamValues::GetItem(int32_t index, Variant& value, int32_t& id, Variant& subPart) const
{
    // The entry is taken before the outputs change, so an output may be this list itself.
    Variant entry;
    const bool found = static_cast<uint32_t>(index) < static_cast<uint32_t>(GetListItemCount());
    if (found) {
        GetListItem(index, entry);
    }
    value.Clear();
    id = -1;
    if (!found) {
        return kParamListNoEntry;
    }
    // An entry whose records do not all decode is as malformed as one of the wrong length.
    Variant newValue;
    Variant idRecord;
    Variant newSubPart;
    if (entry.GetType() != kList || entry.GetListItemCount() != 3 ||
        entry.GetListItem(0, newValue) != 0 || entry.GetListItem(1, idRecord) != 0 ||
        entry.GetListItem(2, newSubPart) != 0) {
        return kParamListMalformedEntry;
    }
    value = std::move(newValue);
    id = idRecord.GetInt32();
    subPart = std::move(newSubPart);
    return 0;
}

int32_t ParamValues::FindValue(const ParamDescriptor& descriptor, Variant& value) const
{
    if (!CanHoldEntries(*this)) {
        value.Clear();
        return kParamListNoEntry;
    }
    const int32_t count = GetListItemCount();
    Variant entryValue;
    Variant subPart;
    int32_t id = -1;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t result = GetItem(i, entryValue, id, subPart);
        if (result != 0) {
            value.Clear();
            return result;
        }
        if (id == descriptor.id && subPart.IsEqual(descriptor.subPart)) {
            value = std::move(entryValue);
            return 0;
        }
    }
    value.Clear();
    return 1;
}

int32_t ParamValues::SetEntry(const ParamDescriptor& descriptor, const Variant& value)
{
    if (!CanHoldEntries(*this)) {
        return kParamListNoEntry;
    }
    if (!ReadsBack(value) || !ReadsBack(descriptor.subPart)) {
        return E_INVALIDARG;
    }
    const int32_t count = GetListItemCount();
    Array<ParamValue> entries;
    int32_t replaced = -1;
    int32_t insertion = -1;
    for (int32_t i = 0; i < count; ++i) {
        ParamValue entry;
        const int32_t result =
            GetItem(i, entry.value, entry.descriptor.id, entry.descriptor.subPart);
        if (result != 0) {
            return result;
        }
        if (entry.descriptor.id == descriptor.id &&
            entry.descriptor.subPart.IsEqual(descriptor.subPart)) {
            if (entry.value.IsEqual(value)) {
                return 1;
            }
            // A list that came out of order holds the entry after where it belongs: it is still
            // the one that changes, so the list never holds the descriptor twice.
            if (replaced < 0) {
                replaced = i;
            }
        } else if (insertion < 0 && !ComesBefore(entry.descriptor, descriptor)) {
            insertion = i;
        }
        entries.Add(entry);
    }
    if (replaced >= 0) {
        entries.At(replaced)->value = value;
    } else {
        const ParamValue entry(descriptor.id, descriptor.subPart, value);
        entries.InsertItemAt(insertion >= 0 ? insertion : count, entry);
    }
    return SetFromArray(&entries, entries.GetCount());
}

int32_t ParamValues::SetFromArray(const IArray<ParamValue>* values, int32_t count)
{
    if (values == nullptr || count == 0) {
        return kParamListNoEntry;
    }
    if (count < 0 || count > values->GetCount()) {
        return E_INVALIDARG;
    }
    for (int32_t i = 0; i < count; ++i) {
        const ParamValue& item = *values->At(i);
        if (!ReadsBack(item.value) || !ReadsBack(item.descriptor.subPart)) {
            return E_INVALIDARG;
        }
    }
    std::vector<Variant> entries(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        const ParamValue& item = *values->At(i);
        const Variant idRecord = Int32Record(item.descriptor.id);
        if (!MakeEntry(entries[static_cast<size_t>(i)],
                       {&item.value, &idRecord, &item.descriptor.subPart})) {
            return E_FAIL;
        }
    }
    Variant list;
    if (list.SetList(entries.data(), count) != kList) {
        return E_FAIL;
    }
    Variant::operator=(std::move(list));
    return 0;
}

int32_t ParamDescriptors::GetDescriptor(int32_t index, int32_t& id, Variant& subPart) const
{
    // The entry is read before the outputs change, so an output may be this list itself.
    Variant idRecord;
    Variant part;
    const int32_t result = ReadEntry(*this, index, {&idRecord, &part});
    subPart.Clear();
    id = -1;
    if (result != 0) {
        return result;
    }
    id = idRecord.GetInt32();
    subPart = std::move(part);
    return 0;
}

int32_t ParamDescriptors::SetFromRanges(const ParamRanges& ranges)
{
    const int32_t rangeCount = ranges.GetListItemCount();
    std::vector<ParamIdRange> parts(static_cast<size_t>(rangeCount));
    uint64_t total = 0;
    for (int32_t i = 0; i < rangeCount; ++i) {
        ParamIdRange& range = parts[static_cast<size_t>(i)];
        if (const int32_t result = ranges.GetRange(i, range); result != 0) {
            return result;
        }
        total += range.count > 0 ? static_cast<uint64_t>(range.count) : 0;
    }
    // Every entry has the size of this one: a range whose list could not be held is refused
    // before anything is built.
    const Variant wholeValue;
    const Variant firstRecord = Int32Record(0);
    Variant sizing;
    if (!MakeEntry(sizing, {&firstRecord, &wholeValue})) {
        return E_OUTOFMEMORY;
    }
    const uint64_t entrySize = Variant::kRecordHeadSize + uint64_t{sizing.GetLength()};
    if (total > std::numeric_limits<uint32_t>::max() / entrySize) {
        return E_OUTOFMEMORY;
    }
    std::vector<Variant> entries;
    entries.reserve(static_cast<size_t>(total));
    for (const ParamIdRange& range : parts) {
        for (int32_t k = 0; k < range.count; ++k) {
            // Counting in uint32 lets the ids wrap instead of overflowing.
            const auto id = static_cast<int32_t>(static_cast<uint32_t>(range.firstId) +
                                                 static_cast<uint32_t>(k));
            const Variant idRecord = Int32Record(id);
            entries.emplace_back();
            if (!MakeEntry(entries.back(), {&idRecord, &wholeValue})) {
                return E_OUTOFMEMORY;
            }
        }
    }
    Variant list;
    if (list.SetList(entries.data(), static_cast<int32_t>(entries.size())) != kList) {
        return E_OUTOFMEMORY;
    }
    Variant::operator=(std::move(list));
    return 0;
}

ParamDescriptors ParamDescriptors::FromIdRange(const ParamIdRange& range)
{
    ParamDescriptors list;
    ParamRanges ranges;
    if (ranges.SetRanges(&range, 1) == 0) {
        list.SetFromRanges(ranges);
    }
    return list;
}

int32_t ParamRanges::SetRanges(const ParamIdRange* ranges, int32_t count)
{
    if (ranges == nullptr || count <= 0) {
        return kParamListNoEntry;
    }
    std::vector<Variant> entries(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        const Variant first = Int32Record(ranges[i].firstId);
        const Variant length = Int32Record(ranges[i].count);
        if (!MakeEntry(entries[static_cast<size_t>(i)], {&first, &length})) {
            Clear();
            return E_OUTOFMEMORY;
        }
    }
    if (SetList(entries.data(), count) != kList) {
        return E_OUTOFMEMORY;
    }
    return 0;
}

int32_t ParamRanges::GetRange(int32_t index, ParamIdRange& range) const
{
    Variant first;
    Variant count;
    const int32_t result = ReadEntry(*this, index, {&first, &count});
    if (result != 0) {
        range = {-1, 0};
        return result;
    }
    range = {first.GetInt32(), count.GetInt32()};
    return 0;
}

} // namespace SV
