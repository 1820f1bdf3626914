// Parameter values as the device model moves them: a parameter id with an optional sub-part
// selector, a value for it, and the lists of them that travel as one Variant between the model,
// the engine and the device-control binding, so that a whole request or answer can be queued,
// copied and serialised.
#pragma once

#include "Utilities/Storage/IArray.h"
#include "Utilities/Storage/Variant.h"

#include <cstdint>

namespace SV {

// Answers of the list operations besides 0.
constexpr int32_t kParamListNoEntry = -4;        // no list, no ranges or no entry at the index
constexpr int32_t kParamListMalformedEntry = -7; // an entry without the records of its layout

// One addressable parameter; an empty sub-part means the whole value.
struct ParamDescriptor
{
    ParamDescriptor() = default;
    explicit ParamDescriptor(int32_t parameterId) : id(parameterId) {}
    ParamDescriptor(int32_t parameterId, const Variant& part) : id(parameterId), subPart(part) {}

    int32_t id = 0;
    Variant subPart;
};

// One parameter with its value. Both Variants are deep copies of what it was built from.
struct ParamValue
{
    ParamValue() = default;
    ParamValue(int32_t id, const Variant& subPart, const Variant& newValue)
        : descriptor(id, subPart), value(newValue)
    {}

    ParamDescriptor descriptor;
    Variant value;
};

// A run of `count` ids starting at `firstId`.
struct ParamIdRange
{
    int32_t firstId = 0;
    int32_t count = 0;
};

// The three list types hold a list (type 16) whose entries are lists of records themselves; they
// start empty (type 0), which reads as a list without entries.

// Entries of 3 records: the value, the id (int32), the sub-part.
class ParamValues : public Variant
{
public:
    ParamValues() = default;
    explicit ParamValues(const Variant& list) : Variant(list) {}
    ParamValues(const ParamValues&) = default;
    ParamValues(ParamValues&&) noexcept = default;
    ParamValues& operator=(const ParamValues&) = default;
    ParamValues& operator=(ParamValues&&) noexcept = default;
    ~ParamValues() override;

    // Entry `index` (taken as unsigned): 0; kParamListNoEntry when there is no such entry;
    // kParamListMalformedEntry when it is not a list of 3 readable records. `value` is cleared
    // and `id` is -1 unless the entry is read; `subPart` changes only then.
    int32_t GetItem(int32_t index, Variant& value, int32_t& id, Variant& subPart) const;

    // The value of the first entry with the descriptor's id and an equal sub-part: 0. None (an
    // empty list too): 1. An entry that cannot be read before it is found: its code. `value` is
    // cleared unless an entry is found. A Variant that is neither empty nor a list answers
    // kParamListNoEntry.
    int32_t FindValue(const ParamDescriptor& descriptor, Variant& value) const;

    // Sets the value of the entry with the descriptor's id and an equal sub-part, or inserts one
    // where it keeps the entries ordered: by id read as unsigned, then by sub-part (IsLess).
    // 1 when that entry already holds an equal value, 0 when the list changed, else a negative
    // code with the list unchanged: the code of an entry that cannot be read, kParamListNoEntry
    // for a Variant that is neither empty nor a list (its value is never replaced by a list),
    // E_INVALIDARG for a value or sub-part whose record would not read back (a blob or string
    // of 0 bytes, a reference).
    int32_t SetEntry(const ParamDescriptor& descriptor, const Variant& value);

    // One entry per element, the first `count` elements in order: 0. No array or a count of 0:
    // kParamListNoEntry; a count below 0 or above the array's, or an element whose value or
    // sub-part would not read back (as for SetEntry): E_INVALIDARG; a list that cannot
    // be built: E_FAIL. The list changes only on success.
    int32_t SetFromArray(const IArray<ParamValue>* values, int32_t count);
};

class ParamRanges;

// Entries of 2 records: the id (int32), the sub-part.
class ParamDescriptors : public Variant
{
public:
    ParamDescriptors() = default;
    explicit ParamDescriptors(const Variant& list) : Variant(list) {}
    ParamDescriptors(const ParamDescriptors&) = default;
    ParamDescriptors(ParamDescriptors&&) noexcept = default;
    ParamDescriptors& operator=(const ParamDescriptors&) = default;
    ParamDescriptors& operator=(ParamDescriptors&&) noexcept = default;
    ~ParamDescriptors() override;

    // One entry for each id of the range in increasing order, each with an empty sub-part; a
    // count of 0 or less gives an empty list. Ids past the largest int32 wrap around. A range
    // too long for a list of 4 GiB gives an empty Variant.
    static ParamDescriptors FromIdRange(const ParamIdRange& range);

    // Entry `index` (taken as unsigned): 0 with its id and sub-part. kParamListNoEntry when
    // there is no such entry, kParamListMalformedEntry when it is not a list of 2 readable
    // records; then `id` is -1 and `subPart` empty.
    int32_t GetDescriptor(int32_t index, int32_t& id, Variant& subPart) const;

    // One entry with an empty sub-part for each id of each range, ranges in list order and ids
    // increasing within a range (past the largest int32 they wrap); a count of 0 or less adds
    // nothing: 0. A range that cannot be read answers its code, a list too long for 4 GiB
    // E_OUTOFMEMORY; the list then stays as it was.
    int32_t SetFromRanges(const ParamRanges& ranges);
};

// Entries of 2 records: the first id, the number of ids (both int32).
class ParamRanges : public Variant
{
public:
    ParamRanges() = default;
    explicit ParamRanges(const Variant& list) : Variant(list) {}
    ParamRanges(const ParamRanges&) = default;
    ParamRanges(ParamRanges&&) noexcept = default;
    ParamRanges& operator=(const ParamRanges&) = default;
    ParamRanges& operator=(ParamRanges&&) noexcept = default;
    ~ParamRanges() override;

    // One entry per range in array order: 0; kParamListNoEntry with the list unchanged when
    // there are no ranges; E_OUTOFMEMORY (the list then empty) when the list cannot be built.
    int32_t SetRanges(const ParamIdRange* ranges, int32_t count);

    // Entry `index` (taken as unsigned): 0 with its first id and count. kParamListNoEntry when
    // there is no such entry, kParamListMalformedEntry when it is not a list of 2 readable
    // records; then `range` is {-1, 0}.
    int32_t GetRange(int32_t index, ParamIdRange& range) const;
};

} // namespace SV
