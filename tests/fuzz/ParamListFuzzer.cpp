// Parameter lists as the device-control library and program files hand them over: any bytes are
// taken as the block of a list and read as values, descriptors and ranges; a value written into
// a list that reads must read back, and the list must go on reading.

#include "FuzzCheck.h"
#include "ResultCodes.h"
#include "Utilities/Storage/ParamValues.h"

#include <cstring>

namespace {

using SV::ParamDescriptor;
using SV::ParamDescriptors;
using SV::ParamIdRange;
using SV::ParamRanges;
using SV::ParamValues;
using SV::Variant;

// Expanding ranges is bounded by the ids they hold; beyond this many the input says nothing new.
constexpr int64_t kMaxExpandedIds = 4096;

// Every entry reads, or says why not; answers whether all of them read.
bool ReadsWhole(const ParamValues& list)
{
    const int32_t count = list.GetListItemCount();
    bool whole = true;
    Variant value;
    Variant subPart;
    int32_t id = 0;
    for (int32_t index = 0; index < count; ++index) {
        const int32_t result = list.GetItem(index, value, id, subPart);
        SV_FUZZ_CHECK(result == 0 || result == SV::kParamListMalformedEntry);
        if (result != 0) {
            SV_FUZZ_CHECK(id == -1 && value.GetType() == Variant::kEmpty);
            whole = false;
        }
    }
    SV_FUZZ_CHECK(list.GetItem(count, value, id, subPart) == SV::kParamListNoEntry);
    SV_FUZZ_CHECK(id == -1);
    return whole;
}

void ExerciseValues(const Variant& block, const uint8_t* data, size_t size)
{
    ParamValues list(block);
    const bool whole = ReadsWhole(list);

    // A value and sub-part taken from the input's first bytes.
    int32_t id = 0;
    if (size >= 4) {
        std::memcpy(&id, data, 4);
    }
    Variant value;
    value.SetBlob(data, static_cast<uint32_t>(size < 3 ? size : 3));
    Variant subPart;
    if (size >= 5 && (data[4] & 1) != 0) {
        const int32_t part = data[4] >> 1;
        subPart.SetData(Variant::kInt32, &part, sizeof part);
    }
    const ParamDescriptor descriptor(id, subPart);
    const ParamValues before = list;
    const int32_t result = list.SetEntry(descriptor, value);
    if (result == 0 || result == 1) {
        SV_FUZZ_CHECK(whole);
        Variant found;
        SV_FUZZ_CHECK(list.FindValue(descriptor, found) == 0);
        SV_FUZZ_CHECK(found.IsEqual(value));
        SV_FUZZ_CHECK(ReadsWhole(list));
    } else {
        SV_FUZZ_CHECK(result < 0);
        SV_FUZZ_CHECK(list.IsEqual(before));
    }
}

void ExerciseDescriptorsAndRanges(const Variant& block)
{
    const ParamDescriptors descriptors(block);
    const int32_t count = descriptors.GetListItemCount();
    int32_t id = 0;
    Variant subPart;
    for (int32_t index = 0; index <= count; ++index) {
        const int32_t result = descriptors.GetDescriptor(index, id, subPart);
        SV_FUZZ_CHECK(result == 0 || result == SV::kParamListMalformedEntry ||
                      (index == count && result == SV::kParamListNoEntry));
    }

    const ParamRanges ranges(block);
    int64_t ids = 0;
    ParamIdRange range;
    for (int32_t index = 0; index < ranges.GetListItemCount(); ++index) {
        if (ranges.GetRange(index, range) == 0 && range.count > 0) {
            ids += range.count;
        }
    }
    if (ids <= kMaxExpandedIds) {
        ParamDescriptors expanded;
        const int32_t result = expanded.SetFromRanges(ranges);
        SV_FUZZ_CHECK(result == 0 || result < 0);
        if (result == 0) {
            SV_FUZZ_CHECK(expanded.GetListItemCount() == ids);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 0xFFFFFFu) {
        return 0;
    }
    // The input is the list's block: its records back to back.
    Variant block;
    block.SetData(Variant::kList, data, static_cast<uint32_t>(size));
    ExerciseValues(block, data, size);
    ExerciseDescriptorsAndRanges(block);
    return 0;
}
