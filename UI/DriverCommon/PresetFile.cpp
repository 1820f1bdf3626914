#include "PresetFile.h"

#include "ResultCodes.h"
#include "Utilities/Storage/Variant.h"

#include <array>

namespace SV {
namespace {

void AppendWord(std::vector<uint8_t>& bytes, uint32_t word)
{
    for (int shift = 0; shift < 32; shift += 8) {
        bytes.push_back(static_cast<uint8_t>(word >> shift));
    }
}

uint32_t WordAt(std::span<const uint8_t> bytes, size_t offset)
{
    return uint32_t(bytes[offset]) | uint32_t(bytes[offset + 1]) << 8 |
           uint32_t(bytes[offset + 2]) << 16 | uint32_t(bytes[offset + 3]) << 24;
}

// Whether the value is what the program keeps under the id.
bool IsProgramValue(int32_t id, const Variant& value)
{
    return id >= 0 && id < PresetFile::kValueCount && value.GetType() == Variant::kBlob &&
           value.GetLength() == PresetFile::kValueSizes[id];
}

} // namespace

bool PresetFile::Encode(const IArray<ParamValue>& values, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    if (values.GetCount() != kValueCount) {
        return false;
    }
    AppendWord(bytes, kFormatVersion);
    AppendWord(bytes, 0);
    AppendWord(bytes, 0);
    for (int32_t position = 0; position < kValueCount; ++position) {
        const Variant& value = values.At(position)->value;
        if (!IsProgramValue(position, value)) {
            bytes.clear();
            return false;
        }
        const uint32_t recordSize = Variant::kRecordHeadSize + value.GetLength();
        AppendWord(bytes, kRecordHeadSize + recordSize);
        AppendWord(bytes, 0);
        AppendWord(bytes, static_cast<uint32_t>(position));
        const size_t start = bytes.size();
        bytes.resize(start + recordSize);
        if (Variant::Serialize(value, bytes.data() + start, recordSize) !=
            static_cast<int32_t>(recordSize)) {
            bytes.clear();
            return false;
        }
    }
    return true;
}

int32_t PresetFile::Decode(std::span<const uint8_t> bytes, Array<ParamValue>& values)
{
    values.RemoveAll();
    if (bytes.size() < kHeaderSize) {
        return kCorrupt;
    }
    const uint32_t version = WordAt(bytes, 0);
    if (WordAt(bytes, 4) != 0 || WordAt(bytes, 8) != 0) {
        return kWrongDevice;
    }
    if (version >= 2) {
        return kNewerFormat;
    }
    if (version == 0) {
        return kOlderFormat;
    }

    Array<ParamValue> found;
    std::array<bool, kValueCount> seen{};
    size_t offset = kHeaderSize;
    while (offset < bytes.size()) {
        const size_t left = bytes.size() - offset;
        if (left < 4) {
            return kCorrupt;
        }
        // A length below 4 would never move past the record, and one beyond the end of the
        // file would rest on bytes that were never read.
        const uint32_t length = WordAt(bytes, offset);
        if (length < 4 || length > left) {
            return kCorrupt;
        }
        if (length < kRecordHeadSize || WordAt(bytes, offset + 4) != 0 ||
            length < kRecordHeadSize + 4) {
            return kCorrupt;
        }
        const int32_t id = static_cast<int32_t>(WordAt(bytes, offset + 8));
        Variant value;
        if (Variant::Deserialize(value, bytes.data() + offset + kRecordHeadSize,
                                 length - kRecordHeadSize) != 0) {
            return kCorrupt;
        }
        if (!IsProgramValue(id, value) || seen[static_cast<size_t>(id)]) {
            return kCorrupt;
        }
        seen[static_cast<size_t>(id)] = true;
        found.Add(ParamValue(id, Variant(), value));
        offset += length;
    }
    values = std::move(found);
    return kLoaded;
}

} // namespace SV
