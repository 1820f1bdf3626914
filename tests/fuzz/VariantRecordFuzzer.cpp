// Variant records as files and the device-control library hand them over: any bytes are read as
// one record; a record that loads must answer every getter, write itself back to the same record
// and be walked as a list as deep as it goes.

#include "FuzzCheck.h"
#include "ResultCodes.h"
#include "Utilities/Storage/Variant.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

using SV::Variant;

constexpr int kMaxDepth = 8;

std::vector<uint8_t> RecordOf(const Variant& variant)
{
    // Room for the widest scalar or the whole block.
    std::vector<uint8_t> record(Variant::kRecordHeadSize +
                                std::max<uint32_t>(8, variant.GetLength()));
    const int32_t written =
        Variant::Serialize(variant, record.data(), static_cast<uint32_t>(record.size()));
    SV_FUZZ_CHECK(written >= static_cast<int32_t>(Variant::kRecordHeadSize));
    SV_FUZZ_CHECK(static_cast<size_t>(written) <= record.size());
    record.resize(static_cast<size_t>(written));
    // One byte less than the record is refused.
    std::vector<uint8_t> tooSmall(record.size() - 1);
    SV_FUZZ_CHECK(Variant::Serialize(variant, tooSmall.data(),
                                     static_cast<uint32_t>(tooSmall.size())) == E_FAIL);
    return record;
}

void Exercise(const Variant& variant, int depth)
{
    // Every getter answers every type.
    volatile bool flag = variant.GetBool();
    // Added as unsigned: only that the getters answer matters, not the sum.
    volatile uint64_t sum =
        uint64_t{variant.GetUInt8()} + static_cast<uint64_t>(variant.GetInt16()) +
        static_cast<uint64_t>(variant.GetInt32()) + static_cast<uint64_t>(variant.GetInt64()) +
        static_cast<uint64_t>(variant.GetInt8()) + variant.GetUInt16() + variant.GetUInt32() +
        variant.GetUInt64();
    volatile double real = variant.GetFloat() + variant.GetDouble();
    (void)flag;
    (void)sum;
    (void)real;

    uint32_t size = 0;
    const uint8_t* data = variant.GetConstData(size);
    SV_FUZZ_CHECK(data != nullptr || size == 0);
    if (size > 0) {
        volatile uint8_t last = data[size - 1];
        (void)last;
    }
    if (const char* text = variant.GetString(); text != nullptr) {
        SV_FUZZ_CHECK(std::strlen(text) + 1 == variant.GetLength());
    }

    // Written and read back, a record gives the same record again.
    const std::vector<uint8_t> record = RecordOf(variant);
    Variant reread;
    SV_FUZZ_CHECK(
        Variant::Deserialize(reread, record.data(), static_cast<uint32_t>(record.size())) == S_OK);
    SV_FUZZ_CHECK(RecordOf(reread) == record);
    SV_FUZZ_CHECK(reread.GetType() == variant.GetType());
    SV_FUZZ_CHECK(!variant.IsLess(reread) || !reread.IsLess(variant));
    SV_FUZZ_CHECK(!variant.IsLess(variant));

    Variant copy;
    SV_FUZZ_CHECK(copy.Assign(variant) == variant.GetType());
    SV_FUZZ_CHECK(RecordOf(copy) == record);

    if (variant.GetType() != Variant::kList || depth >= kMaxDepth) {
        return;
    }
    const int32_t count = variant.GetListItemCount();
    SV_FUZZ_CHECK(count >= 0);
    Variant item;
    for (int32_t index = 0; index < count; ++index) {
        if (variant.GetListItem(index, item) == 0) {
            Exercise(item, depth + 1);
        } else {
            SV_FUZZ_CHECK(item.GetType() == Variant::kEmpty);
        }
    }
    SV_FUZZ_CHECK(variant.GetListItem(count, item) == -1);
    SV_FUZZ_CHECK(item.GetType() == Variant::kEmpty);
    // An item decoded into the list that holds it.
    Variant self(variant);
    self.GetListItem(0, self);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 0xFFFFFFFFu) {
        return 0;
    }
    Variant variant;
    if (Variant::Deserialize(variant, data, static_cast<uint32_t>(size)) != S_OK) {
        SV_FUZZ_CHECK(variant.GetType() == Variant::kEmpty);
        return 0;
    }
    Exercise(variant, 0);
    return 0;
}
