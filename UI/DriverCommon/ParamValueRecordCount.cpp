#include "ParamValueRecordCount.h"

int32_t CountParamValueRecords(const SV::ParamValues& values)
{
    uint32_t size = 0;
    // GetConstData hides a list's bytes; they are only read here.
    const uint8_t* data = values.GetType() == SV::Variant::kList
                              ? const_cast<SV::ParamValues&>(values).SV::Variant::GetData(size)
                              : nullptr;
    if (data == nullptr || size <= 4) {
        return 0;
    }
    int32_t count = 0;
    uint64_t offset = 0;
    do {
        const uint32_t length = uint32_t(data[offset]) | uint32_t(data[offset + 1]) << 8 |
                                uint32_t(data[offset + 2]) << 16 | uint32_t(data[offset + 3]) << 24;
        if (length < 4) {
            break;
        }
        offset += length;
        ++count;
    } while (offset + 4 < size);
    return count;
}
