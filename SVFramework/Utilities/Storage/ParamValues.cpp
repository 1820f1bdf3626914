#include "Utilities/Storage/ParamValues.h"

#include "ResultCodes.h"

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

ParamDescriptors ParamDescriptors::FromIdRange(const ParamIdRange& range)
{
    ParamDescriptors list;
    const Variant wholeValue;
    const int32_t count = range.count > 0 ? range.count : 0;
    std::vector<Variant> entries;
    for (int32_t i = 0; i < count; ++i) {
        // Counting in uint32 lets the ids wrap instead of overflowing.
        const auto id =
            static_cast<int32_t>(static_cast<uint32_t>(range.firstId) + static_cast<uint32_t>(i));
        const Variant idRecord = Int32Record(id);
        Variant entry;
        if (!MakeEntry(entry, {&idRecord, &wholeValue})) {
            return list;
        }
        if (i == 0) {
            // Every entry has the same size: refuse a range whose list could not be held
            // before building it.
            const uint64_t entrySize = Variant::kRecordHeadSize + uint64_t{entry.GetLength()};
            if (entrySize * static_cast<uint64_t>(count) > std::numeric_limits<uint32_t>::max()) {
                return list;
            }
            entries.reserve(static_cast<size_t>(count));
        }
        entries.push_back(std::move(entry));
    }
    list.SetList(entries.data(), count);
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

} // namespace SV
